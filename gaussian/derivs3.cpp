#include "derivs3.hpp"

void accum_derivs3_rows(const double* u, const double* v, const double* w, const double* a, const double* b,
                        const double* sxy, const double* sz, int32_t m, double* g, double* H) {
    if (m > 0) {
        const double lateral = *sxy;
        const double axial = *sz;
        // The nine running sums stay in registers for the whole pass.
        double g0 = g[0], g1 = g[1], g2 = g[2];
        double h00 = H[0], h10 = H[1], h20 = H[2], h11 = H[4], h21 = H[5], h22 = H[8];
        for (int32_t i = 0; i < m; ++i) {
            const double twice = a[i] + a[i];
            const double P = b[i] * twice;
            const double Q = twice * a[i] - P;
            const double k0 = u[i], k1 = v[i], k2 = w[i];
            g0 = g0 - P * k0;
            g1 = g1 - P * k1;
            g2 = g2 - P * k2;
            const double k0Q = k0 * Q, k1Q = k1 * Q, k2Q = k2 * Q;
            const double lateral_term = P / (lateral * lateral);
            h00 = h00 + (k0Q * k0 + lateral_term);
            h10 = h10 + k0Q * k1;
            h20 = h20 + k0Q * k2;
            h11 = h11 + (k1Q * k1 + lateral_term);
            h21 = h21 + k1Q * k2;
            h22 = h22 + (k2Q * k2 + P / (axial * axial));
        }
        g[0] = g0, g[1] = g1, g[2] = g2;
        H[0] = h00, H[1] = h10, H[2] = h20, H[4] = h11, H[5] = h21, H[8] = h22;
    }
    H[3] = H[1];
    H[6] = H[2];
    H[7] = H[5];
}
