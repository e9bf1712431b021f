#include "gauss3_approx.hpp"

#include <cstring>

#include "fast_exp.hpp"
#include "gauss3.hpp"

namespace {

// Samples i … i+W-1: the exponent argument of every lane by the same steps
// as gauss3_exponent (with the squared widths, the same values, computed once
// per call), rounded to float, fast_exp, widened back.
template <int W>
__attribute__((always_inline)) inline void approx_lanes(const double* x, const double* y, const double* z, double cx,
                                                        double cy, double cz, double sxy2, double sz2, double* out) {
    using Doubles = typename Lanes<W>::Doubles;
    using Floats = typename Lanes<W>::Floats;
    Doubles dx, dy, dz;
    std::memcpy(&dx, x, sizeof dx);
    std::memcpy(&dy, y, sizeof dy);
    std::memcpy(&dz, z, sizeof dz);
    dx = dx - cx;
    dy = dy - cy;
    dz = dz - cz;
    const Doubles lateral = (dx * dx + dy * dy) / sxy2;
    const Doubles axial = (dz * dz) / sz2;
    const Floats e = __builtin_convertvector((lateral + axial) * -0.5, Floats);
    Floats value;
    fast_exp_lanes<W>(e, value);
    const Doubles widened = __builtin_convertvector(value, Doubles);
    std::memcpy(out, &widened, sizeof widened);
}

template <int W>
__attribute__((always_inline)) inline void approx_rows(const double* x, const double* y, const double* z,
                                                       const double* c, const double* sxy, const double* sz, int32_t m,
                                                       double* out) {
    if (m <= 0) return;
    const double cx = c[0], cy = c[1], cz = c[2], lateral = *sxy, axial = *sz;
    int32_t i = 0;
    for (; i <= m - W; i += W) {
        approx_lanes<W>(x + i, y + i, z + i, cx, cy, cz, lateral * lateral, axial * axial, out + i);
    }
    for (; i < m; ++i) {
        const float e = static_cast<float>(gauss3_exponent(x[i], y[i], z[i], cx, cy, cz, lateral, axial));
        out[i] = static_cast<double>(fast_exp(e));
    }
}

// Four samples fill one SSE2 register of floats (two of doubles).
void rows_sse2(const double* x, const double* y, const double* z, const double* c, const double* sxy, const double* sz,
               int32_t m, double* out) {
    approx_rows<4>(x, y, z, c, sxy, sz, m, out);
}

#ifdef SIMD_LEVEL_X86
// Wider paths for CPUs that have them. Only the register width changes: no
// fused multiply-add is enabled, and each lane's operations are the same.
__attribute__((target("avx2"))) void rows_avx2(const double* x, const double* y, const double* z, const double* c,
                                               const double* sxy, const double* sz, int32_t m, double* out) {
    approx_rows<8>(x, y, z, c, sxy, sz, m, out);
}

__attribute__((target("avx512f,avx512dq,avx512vl,avx512bw"))) void rows_avx512(const double* x, const double* y,
                                                                               const double* z, const double* c,
                                                                               const double* sxy, const double* sz,
                                                                               int32_t m, double* out) {
    approx_rows<16>(x, y, z, c, sxy, sz, m, out);
}
#endif

using Rows = void (*)(const double*, const double*, const double*, const double*, const double*, const double*, int32_t,
                      double*);

Rows rows_for(SimdLevel level) {
#ifdef SIMD_LEVEL_X86
    if (level == SimdLevel::avx512) return rows_avx512;
    if (level == SimdLevel::avx2) return rows_avx2;
#else
    (void)level;
#endif
    return rows_sse2;
}

}  // namespace

void gauss3_eval_approx_rows_on(SimdLevel level, const double* x, const double* y, const double* z, const double* c,
                                const double* sxy, const double* sz, int32_t m, double* out) {
    rows_for(level)(x, y, z, c, sxy, sz, m, out);
}

void gauss3_eval_approx_rows(const double* x, const double* y, const double* z, const double* c, const double* sxy,
                             const double* sz, int32_t m, double* out) {
    static const Rows rows = rows_for(widest_simd_level());
    rows(x, y, z, c, sxy, sz, m, out);
}
