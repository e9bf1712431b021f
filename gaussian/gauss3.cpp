#include "gauss3.hpp"

#include <algorithm>
#include <cmath>

#include "simd_level.hpp"

namespace {

using ExponentBlock = void (*)(const double*, const double*, const double*, double, double, double, double, double,
                               int32_t, double*);

// The exponent arguments of a block of samples, in a loop the compiler
// vectorises: the same IEEE operations on every sample, so the same bits as
// one sample at a time. The wider instances divide more samples per
// instruction; the widest the processor runs is chosen once.
inline __attribute__((always_inline)) void exponent_block(const double* x, const double* y, const double* z, double cx,
                                                          double cy, double cz, double sxy, double sz, int32_t count,
                                                          double* out) {
    for (int32_t i = 0; i < count; ++i) out[i] = gauss3_exponent(x[i], y[i], z[i], cx, cy, cz, sxy, sz);
}

void exponent_block_sse2(const double* x, const double* y, const double* z, double cx, double cy, double cz, double sxy,
                         double sz, int32_t count, double* out) {
    exponent_block(x, y, z, cx, cy, cz, sxy, sz, count, out);
}

#ifdef SIMD_LEVEL_X86
__attribute__((target("avx2"))) void exponent_block_avx2(const double* x, const double* y, const double* z, double cx,
                                                         double cy, double cz, double sxy, double sz, int32_t count,
                                                         double* out) {
    exponent_block(x, y, z, cx, cy, cz, sxy, sz, count, out);
}

__attribute__((target("avx512f"))) void exponent_block_avx512(const double* x, const double* y, const double* z,
                                                              double cx, double cy, double cz, double sxy, double sz,
                                                              int32_t count, double* out) {
    exponent_block(x, y, z, cx, cy, cz, sxy, sz, count, out);
}
#endif

ExponentBlock exponent_block_for(SimdLevel level) {
#ifdef SIMD_LEVEL_X86
    if (level == SimdLevel::avx512) return exponent_block_avx512;
    if (level == SimdLevel::avx2) return exponent_block_avx2;
#else
    (void)level;
#endif
    return exponent_block_sse2;
}

}  // namespace

void gauss3_eval_rows_on(SimdLevel level, const double* x, const double* y, const double* z, const double* c,
                         const double* sxy, const double* sz, int32_t m, double* out) {
    if (m <= 0) return;
    const ExponentBlock exponents = exponent_block_for(level);
    const double cx = c[0];
    const double cy = c[1];
    const double cz = c[2];
    const double lateral = *sxy;
    const double axial = *sz;
    // Exponentiate each block in place while it is still in cache.
    constexpr int32_t kBlock = 512;
    for (int32_t start = 0; start < m; start += kBlock) {
        const int32_t count = std::min(kBlock, m - start);
        double* block = out + start;
        exponents(x + start, y + start, z + start, cx, cy, cz, lateral, axial, count, block);
        for (int32_t i = 0; i < count; ++i) block[i] = std::exp(block[i]);
    }
}

void gauss3_eval_rows(const double* x, const double* y, const double* z, const double* c, const double* sxy,
                      const double* sz, int32_t m, double* out) {
    gauss3_eval_rows_on(widest_simd_level(), x, y, z, c, sxy, sz, m, out);
}
