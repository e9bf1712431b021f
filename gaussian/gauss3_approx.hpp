// The axially symmetric 3-D Gaussian of gauss3.hpp, exponentiated with
// fast_exp in single precision instead of the math library's exp.
#pragma once

#include <cstdint>

#include "simd_level.hpp"

// out[i] = fast_exp(float(gauss3_exponent(x[i], y[i], z[i], c…, sxy, sz))),
// widened to double, for i < m. Reads c[0..2], *sxy and *sz only when m >= 1.
// Vectorised across samples on the widest instruction set this CPU runs
// (chosen once); every path gives the same bits.
void gauss3_eval_approx_rows(const double* x, const double* y, const double* z, const double* c, const double* sxy,
                             const double* sz, int32_t m, double* out);

// The same on a forced level, for tests and benchmarks.
// Precondition: simd_level_supported(level).
void gauss3_eval_approx_rows_on(SimdLevel level, const double* x, const double* y, const double* z, const double* c,
                                const double* sxy, const double* sz, int32_t m, double* out);
