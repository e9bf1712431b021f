#include "offsets.hpp"

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace {

// Outputs larger than this go past the caches, so they are stored with
// non-temporal stores: no read for ownership and no eviction of the inputs.
constexpr size_t kStreamingBytes = size_t{8} << 20;

// One output column: out[i] = q - p[i]. SSE2 subtraction rounds exactly as the
// scalar one, so the vector and scalar paths give the same bits.
template <bool Streaming>
void column(double* out, const double* p, double q, size_t m) {
    size_t i = 0;
    // Streaming stores need 16-byte alignment; doubles are at least 8-aligned.
    if (Streaming && (reinterpret_cast<uintptr_t>(out) & 15) != 0 && m > 0) {
        out[0] = q - p[0];
        i = 1;
    }
    const __m128d qv = _mm_set1_pd(q);
    for (; i + 4 <= m; i += 4) {
        const __m128d a = _mm_sub_pd(qv, _mm_loadu_pd(p + i));
        const __m128d b = _mm_sub_pd(qv, _mm_loadu_pd(p + i + 2));
        if (Streaming) {
            _mm_stream_pd(out + i, a);
            _mm_stream_pd(out + i + 2, b);
        } else {
            _mm_storeu_pd(out + i, a);
            _mm_storeu_pd(out + i + 2, b);
        }
    }
    for (; i < m; ++i) out[i] = q - p[i];
}

// Both output columns of one point of Q, written side by side; dx and dy
// share their alignment here.
void column_pair(double* dx, double* dy, const double* p, double qx, double qy, size_t m) {
    size_t i = 0;
    if ((reinterpret_cast<uintptr_t>(dx) & 15) != 0 && m > 0) {
        dx[0] = qx - p[0];
        dy[0] = qy - p[m];
        i = 1;
    }
    const __m128d xv = _mm_set1_pd(qx);
    const __m128d yv = _mm_set1_pd(qy);
    for (; i + 4 <= m; i += 4) {
        _mm_stream_pd(dx + i, _mm_sub_pd(xv, _mm_loadu_pd(p + i)));
        _mm_stream_pd(dx + i + 2, _mm_sub_pd(xv, _mm_loadu_pd(p + i + 2)));
        _mm_stream_pd(dy + i, _mm_sub_pd(yv, _mm_loadu_pd(p + m + i)));
        _mm_stream_pd(dy + i + 2, _mm_sub_pd(yv, _mm_loadu_pd(p + m + i + 2)));
    }
    for (; i < m; ++i) {
        dx[i] = qx - p[i];
        dy[i] = qy - p[i + m];
    }
}

template <bool Streaming>
void all_columns(double* dx, double* dy, const double* p, const double* q, size_t m, size_t n) {
    const bool paired = Streaming && ((reinterpret_cast<uintptr_t>(dx) ^ reinterpret_cast<uintptr_t>(dy)) & 15) == 0;
    for (size_t j = 0; j < n; ++j) {
        const double qx = q[j];
        const double qy = q[j + n];
        if (paired) {
            column_pair(dx + j * m, dy + j * m, p, qx, qy, m);
            continue;
        }
        column<Streaming>(dx + j * m, p, qx, m);
        column<Streaming>(dy + j * m, p + m, qy, m);
    }
    // Streaming stores are weakly ordered: make them visible before returning.
    if (Streaming) _mm_sfence();
}

}  // namespace

void calcDiffMatrix(double* dx, double* dy, const double* p, const double* q, int32_t m, int32_t n) {
    if (m <= 0 || n <= 0) return;
    const size_t rows = static_cast<size_t>(m);
    const size_t cols = static_cast<size_t>(n);
    if (2 * rows * cols * sizeof(double) >= kStreamingBytes) {
        all_columns<true>(dx, dy, p, q, rows, cols);
    } else {
        all_columns<false>(dx, dy, p, q, rows, cols);
    }
}
