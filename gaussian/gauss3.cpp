#include "gauss3.hpp"

#include <cmath>

void gauss3_eval_rows(const double* x, const double* y, const double* z, const double* c, const double* sxy,
                      const double* sz, int32_t m, double* out) {
    if (m <= 0) return;
    const double cx = c[0];
    const double cy = c[1];
    const double cz = c[2];
    const double lateral = *sxy;
    const double axial = *sz;
    for (int32_t i = 0; i < m; ++i) {
        out[i] = std::exp(gauss3_exponent(x[i], y[i], z[i], cx, cy, cz, lateral, axial));
    }
}
