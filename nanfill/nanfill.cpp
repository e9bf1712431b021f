#include "nanfill.hpp"

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace {

// Elements per iteration of the parallel loop: large enough to amortise the
// per-iteration work, small enough that the static partition stays even.
constexpr uint64_t kBlockBytes = 64 * 1024;

// Outputs larger than this do not stay in the caches: streaming stores then
// spare the read for ownership of every destination line.
constexpr uint64_t kStreamingBytes = uint64_t{8} << 20;

// What differs between the two element types: the SSE2 vector and its
// operations. All of them move bits; nothing is rounded.
struct Double {
    using Scalar = double;
    using Vector = __m128d;
    static Vector load(const Scalar* p) { return _mm_loadu_pd(p); }
    static Vector nan_mask(Vector v) { return _mm_cmpunord_pd(v, v); }
    static Vector any(Vector a, Vector b) { return _mm_or_pd(a, b); }
    static int bits(Vector mask) { return _mm_movemask_pd(mask); }
    static Vector broadcast(Scalar value) { return _mm_set1_pd(value); }
    static Vector select(Vector mask, Vector fill, Vector v) {
        return _mm_or_pd(_mm_and_pd(mask, fill), _mm_andnot_pd(mask, v));
    }
    static void store(Scalar* p, Vector v) { _mm_storeu_pd(p, v); }
    static void stream(Scalar* p, Vector v) { _mm_stream_pd(p, v); }
};

struct Single {
    using Scalar = float;
    using Vector = __m128;
    static Vector load(const Scalar* p) { return _mm_loadu_ps(p); }
    static Vector nan_mask(Vector v) { return _mm_cmpunord_ps(v, v); }
    static Vector any(Vector a, Vector b) { return _mm_or_ps(a, b); }
    static int bits(Vector mask) { return _mm_movemask_ps(mask); }
    static Vector broadcast(Scalar value) { return _mm_set1_ps(value); }
    static Vector select(Vector mask, Vector fill, Vector v) {
        return _mm_or_ps(_mm_and_ps(mask, fill), _mm_andnot_ps(mask, v));
    }
    static void store(Scalar* p, Vector v) { _mm_storeu_ps(p, v); }
    static void stream(Scalar* p, Vector v) { _mm_stream_ps(p, v); }
};

// Copies source[begin, end) to destination, replacing NaN by *fill. The fill
// is fetched at the first NaN only.
template <class T, bool Streaming>
void fill_range(const typename T::Scalar* source, typename T::Scalar* destination, uint64_t begin, uint64_t end,
                const typename T::Scalar* fill) {
    using Scalar = typename T::Scalar;
    constexpr uint64_t lanes = sizeof(typename T::Vector) / sizeof(Scalar);
    constexpr uint64_t group = 4 * lanes;
    uint64_t i = begin;
    auto scalar = [&](uint64_t k) {
        const Scalar v = source[k];
        destination[k] = v != v ? *fill : v;  // only NaN compares unequal to itself
    };
    if (Streaming) {
        // Streaming stores need 16-byte alignment; elements are naturally aligned.
        while (i < end && (reinterpret_cast<uintptr_t>(destination + i) & 15) != 0) scalar(i++);
    }
    typename T::Vector fill_vector{};
    bool have_fill = false;
    for (; i + group <= end; i += group) {
        typename T::Vector v[4];
        for (int k = 0; k < 4; ++k) v[k] = T::load(source + i + k * lanes);
        const auto any = T::any(T::any(T::nan_mask(v[0]), T::nan_mask(v[1])),
                                T::any(T::nan_mask(v[2]), T::nan_mask(v[3])));
        if (T::bits(any) != 0) {
            if (!have_fill) {
                fill_vector = T::broadcast(*fill);
                have_fill = true;
            }
            for (int k = 0; k < 4; ++k) v[k] = T::select(T::nan_mask(v[k]), fill_vector, v[k]);
        }
        for (int k = 0; k < 4; ++k) {
            if (Streaming) {
                T::stream(destination + i + k * lanes, v[k]);
            } else {
                T::store(destination + i + k * lanes, v[k]);
            }
        }
    }
    for (; i < end; ++i) scalar(i);
    // Streaming stores are weakly ordered: drain them before the thread joins.
    if (Streaming) _mm_sfence();
}

template <class T, bool Streaming>
void fill_parallel(const void* source, void* destination, uint64_t count, const void* fill) {
    using Scalar = typename T::Scalar;
    const auto* in = static_cast<const Scalar*>(source);
    auto* out = static_cast<Scalar*>(destination);
    const auto* value = static_cast<const Scalar*>(fill);
    constexpr uint64_t block = kBlockBytes / sizeof(Scalar);
    const uint64_t blocks = (count + block - 1) / block;
    // The static schedule hands each thread one contiguous run of blocks, so
    // each thread streams through one contiguous part of the arrays.
#pragma omp parallel for schedule(static)
    for (uint64_t b = 0; b < blocks; ++b) {
        const uint64_t begin = b * block;
        const uint64_t end = count - begin < block ? count : begin + block;
        fill_range<T, Streaming>(in, out, begin, end, value);
    }
}

template <class T>
void fill_typed(const void* source, void* destination, uint64_t count, const void* fill) {
    if (count * sizeof(typename T::Scalar) >= kStreamingBytes) {
        fill_parallel<T, true>(source, destination, count, fill);
    } else {
        fill_parallel<T, false>(source, destination, count, fill);
    }
}

template <class Scalar>
bool any_nan(const Scalar* source, uint64_t count) {
    for (uint64_t i = 0; i < count; ++i) {
        if (source[i] != source[i]) return true;
    }
    return false;
}

}  // namespace

void fillNaN(const void* source, void* destination, uint64_t count, const void* fill, NanFillType type) {
    if (count == 0) return;
    if (type == NanFillType::Double) {
        fill_typed<Double>(source, destination, count, fill);
    } else {
        fill_typed<Single>(source, destination, count, fill);
    }
}

bool containsNaN(const void* source, uint64_t count, NanFillType type) {
    if (type == NanFillType::Double) return any_nan(static_cast<const double*>(source), count);
    return any_nan(static_cast<const float*>(source), count);
}
