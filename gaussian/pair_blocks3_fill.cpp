// The pair blocks are summed tile by tile: a tile of J components j by W
// components k (W = lanes of one vector) lives in 9*J vector registers while a
// block of samples streams by, so the output is read and written once per
// sample block instead of once per sample. Lanes run across output entries
// only; every entry still takes its terms one by one in increasing sample
// order, each term a separate multiply and add, so all instruction sets give
// the bits of the plain scalar loop.
#include <algorithm>
#include <cstring>

#include "pair_blocks3.hpp"

namespace {

#define PB3_INLINE inline __attribute__((always_inline))

typedef double Vec2 __attribute__((vector_size(16)));
typedef double Vec4 __attribute__((vector_size(32)));
typedef double Vec8 __attribute__((vector_size(64)));

// Samples per block. The packed k-side panel (kBlock x 4 x W doubles, 128 KiB
// at the widest) sits on the stack and is read from the near caches while
// every j passes over it; each output tile is loaded and stored once a block,
// so a longer block means less traffic to the output.
constexpr int64_t kBlock = 512;

// Vectors pass by reference only: by value their calling convention would
// depend on the instruction set.
template <class V>
PB3_INLINE void load(V& x, const double* p) {
    std::memcpy(&x, p, sizeof x);
}

template <class V>
PB3_INLINE void store(double* p, const V& x) {
    std::memcpy(p, &x, sizeof x);
}

// Column-major 3N x 3N output with 64-bit indices.
struct Output {
    double* k;
    int64_t ld;  // 3N
    PB3_INLINE double& at(int64_t row, int64_t col) const { return k[row + col * ld]; }
};

// Sums samples [i0, i0 + count) into the tile of components j0 .. j0+J-1 by
// k0 .. k0+W-1. panel holds, per sample, the k-side a, u, v, w as four W-lane
// rows. Lanes outside j < k < n are computed but neither read nor written.
template <class V, int J>
PB3_INLINE void sum_tile(const double* panel, int64_t count, const double* const* u, const double* const* v,
                         const double* const* w, const double* const* a, int64_t i0, int64_t j0, int64_t k0, int64_t n,
                         const Output& out) {
    constexpr int W = sizeof(V) / sizeof(double);
    V acc[J][3][3];
    alignas(64) double lanes[W];
    // Most tiles lie wholly above the diagonal and inside the matrix.
    const bool full = j0 + J - 1 < k0 && k0 + W <= n;
    for (int jj = 0; jj < J; ++jj) {
        const int64_t j = j0 + jj;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                if (full) {
                    for (int l = 0; l < W; ++l) lanes[l] = out.at(3 * j + r, 3 * (k0 + l) + c);
                } else {
                    for (int l = 0; l < W; ++l) {
                        const int64_t k = k0 + l;
                        lanes[l] = (j < k && k < n) ? out.at(3 * j + r, 3 * k + c) : 0.0;
                    }
                }
                load(acc[jj][r][c], lanes);
            }
        }
    }
    for (int64_t i = 0; i < count; ++i) {
        const double* p = panel + i * 4 * W;
        V ak, uk, vk, wk;
        load(ak, p);
        load(uk, p + W);
        load(vk, p + 2 * W);
        load(wk, p + 3 * W);
#pragma GCC unroll 4
        for (int jj = 0; jj < J; ++jj) {
            const double aj = a[jj][i0 + i];
            const double doubled = aj + aj;
            const V t = ak * doubled;
            const V p0 = u[jj][i0 + i] * t;
            const V p1 = v[jj][i0 + i] * t;
            const V p2 = w[jj][i0 + i] * t;
            acc[jj][0][0] += p0 * uk;
            acc[jj][0][1] += p0 * vk;
            acc[jj][0][2] += p0 * wk;
            acc[jj][1][0] += p1 * uk;
            acc[jj][1][1] += p1 * vk;
            acc[jj][1][2] += p1 * wk;
            acc[jj][2][0] += p2 * uk;
            acc[jj][2][1] += p2 * vk;
            acc[jj][2][2] += p2 * wk;
        }
    }
    for (int jj = 0; jj < J; ++jj) {
        const int64_t j = j0 + jj;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                store(lanes, acc[jj][r][c]);
                if (full) {
                    for (int l = 0; l < W; ++l) out.at(3 * j + r, 3 * (k0 + l) + c) = lanes[l];
                } else {
                    for (int l = 0; l < W; ++l) {
                        const int64_t k = k0 + l;
                        if (j < k && k < n) out.at(3 * j + r, 3 * k + c) = lanes[l];
                    }
                }
            }
        }
    }
}

// The upper blocks. Sample blocks run outermost, so each entry's running sum
// goes through the blocks in sample order; within a block the k-side data of
// W components are packed once and reused by every j below them.
template <class V, int J>
PB3_INLINE void sum_upper(const double* u, const double* v, const double* w, const double* a, int64_t m, int64_t n,
                          const Output& out) {
    constexpr int W = sizeof(V) / sizeof(double);
    alignas(64) double panel[kBlock * 4 * W];
    for (int64_t i0 = 0; i0 < m; i0 += kBlock) {
        const int64_t count = std::min(kBlock, m - i0);
        for (int64_t k0 = 1; k0 < n; k0 += W) {
            for (int64_t i = 0; i < count; ++i) {
                double* p = panel + i * 4 * W;
                for (int l = 0; l < W; ++l) {
                    const int64_t k = k0 + l;
                    const bool inside = k < n;
                    const int64_t at = i0 + i + k * m;
                    p[l] = inside ? a[at] : 0.0;
                    p[W + l] = inside ? u[at] : 0.0;
                    p[2 * W + l] = inside ? v[at] : 0.0;
                    p[3 * W + l] = inside ? w[at] : 0.0;
                }
            }
            // Components j < the panel's last k; a j past n-1 in the last
            // group reads column n-1 and only feeds lanes that are dropped.
            const int64_t j_end = std::min(k0 + W, n) - 1;
            for (int64_t j0 = 0; j0 < j_end; j0 += J) {
                const double* uj[J];
                const double* vj[J];
                const double* wj[J];
                const double* aj[J];
                for (int jj = 0; jj < J; ++jj) {
                    const int64_t column = std::min(j0 + jj, n - 1) * m;
                    uj[jj] = u + column;
                    vj[jj] = v + column;
                    wj[jj] = w + column;
                    aj[jj] = a + column;
                }
                sum_tile<V, J>(panel, count, uj, vj, wj, aj, i0, j0, k0, n, out);
            }
        }
    }
}

void upper_sse2(const double* u, const double* v, const double* w, const double* a, int64_t m, int64_t n,
                const Output& out) {
    sum_upper<Vec2, 1>(u, v, w, a, m, n, out);
}

#ifdef SIMD_LEVEL_X86

__attribute__((target("avx2"))) void upper_avx2(const double* u, const double* v, const double* w, const double* a,
                                                int64_t m, int64_t n, const Output& out) {
    sum_upper<Vec4, 1>(u, v, w, a, m, n, out);
}

__attribute__((target("avx512f"))) void upper_avx512(const double* u, const double* v, const double* w, const double* a,
                                                     int64_t m, int64_t n, const Output& out) {
    sum_upper<Vec8, 2>(u, v, w, a, m, n, out);
}
#endif

// Block (k, j) = transpose of block (j, k), copied in square tiles of
// components so that both the reads and the strided writes stay in cache.
void mirror_lower(const Output& out, int64_t n) {
    constexpr int64_t kTile = 16;
    for (int64_t kb = 0; kb < n; kb += kTile) {
        const int64_t k_end = std::min(kb + kTile, n);
        for (int64_t jb = 0; jb < k_end; jb += kTile) {
            for (int64_t k = std::max(kb, jb + 1); k < k_end; ++k) {
                const int64_t j_end = std::min(jb + kTile, k);
                for (int c = 0; c < 3; ++c) {
                    const int64_t col = 3 * k + c;
                    for (int64_t row = 3 * jb; row < 3 * j_end; ++row) out.at(col, row) = out.at(row, col);
                }
            }
        }
    }
}

}  // namespace

void pair_blocks3_fill_on(SimdLevel level, const double* u, const double* v, const double* w, const double* a,
                          int64_t m, int64_t n, double* k) {
    // Without samples or pairs the zeros on entry are already the result, and
    // a large empty result is left untouched.
    if (m <= 0 || n <= 1) return;
    const Output out{k, 3 * n};
    switch (level) {
#ifdef SIMD_LEVEL_X86
        case SimdLevel::avx512:
            upper_avx512(u, v, w, a, m, n, out);
            break;
        case SimdLevel::avx2:
            upper_avx2(u, v, w, a, m, n, out);
            break;
#endif
        default:
            upper_sse2(u, v, w, a, m, n, out);
            break;
    }
    mirror_lower(out, n);
}

void pair_blocks3_fill(const double* u, const double* v, const double* w, const double* a, int64_t m, int64_t n,
                       double* k) {
    pair_blocks3_fill_on(widest_simd_level(), u, v, w, a, m, n, k);
}
