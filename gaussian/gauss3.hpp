// Axially symmetric 3-D Gaussian of unit peak: centre (cx, cy, cz), lateral
// width sxy shared by x and y, axial width sz.
#pragma once

#include <cstdint>

#include "simd_level.hpp"

// The exponent argument at one sample, the one value that both the exact and
// the fast evaluation exponentiate. Every operation is rounded on its own
// (the build forbids contraction), in this order; the lateral sum is divided
// once by the square of its width.
inline double gauss3_exponent(double x, double y, double z, double cx, double cy, double cz, double sxy, double sz) {
    const double dx = x - cx;
    const double dy = y - cy;
    const double dz = z - cz;
    const double r = dx * dx + dy * dy;
    const double a = r / (sxy * sxy);
    const double b = (dz * dz) / (sz * sz);
    return (a + b) * -0.5;
}

// out[i] = exp(gauss3_exponent(x[i], y[i], z[i], c…, sxy, sz)) for i < m, with
// the math library's exp. Reads c[0..2], *sxy and *sz only when m >= 1.
// Vectorised on the widest instruction set this CPU runs; every level gives
// the same bits.
void gauss3_eval_rows(const double* x, const double* y, const double* z, const double* c, const double* sxy,
                      const double* sz, int32_t m, double* out);

// The same on a forced level, for tests and benchmarks.
// Precondition: simd_level_supported(level).
void gauss3_eval_rows_on(SimdLevel level, const double* x, const double* y, const double* z, const double* c,
                         const double* sxy, const double* sz, int32_t m, double* out);
