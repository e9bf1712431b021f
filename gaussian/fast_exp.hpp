// fast_exp: a single-precision approximation of e^x with no table and no
// library call. e^x = 2^n · 2^f with n = floor(x·log2(e)); 2^f comes from a
// quadratic, and n is added straight into the exponent bits of its value.
// Within its valid range the result is within 0.18 % of e^x.
#pragma once

#include <cstdint>

// log2(e) rounded to float, and the quadratic for 2^f on 0 <= f < 1.
constexpr float kFastExpL2E = 1.44269502162933349609375f;  // 0x3FB8AA3B
constexpr float kFastExpC2 = 0.3371894359588623046875f;    // 0x3EACA418
constexpr float kFastExpC1 = 0.65763628482818603515625f;   // 0x3F285ADA
constexpr float kFastExpC0 = 1.001724720001220703125f;     // 0x3F803884

// W independent samples side by side, as GCC/Clang vector types: every
// operation on them is the IEEE operation on each lane, rounded on its own,
// so a function written once over these types gives the same bits at any
// width and on any instruction set the compiler emits for it.
template <int W>
struct Lanes {
    typedef double Doubles __attribute__((vector_size(8 * W)));
    typedef float Floats __attribute__((vector_size(4 * W)));
    typedef int32_t Ints __attribute__((vector_size(4 * W)));  // also the mask type of a float comparison
    typedef uint32_t Bits __attribute__((vector_size(4 * W)));
};

// fast_exp on each lane of x. Always inlined, so that it compiles for the
// instruction set of the function that uses it.
//
// Range guard: n below -126 gives 0 and n above 127 gives +inf. Without it the
// integer addition would carry out of the exponent field into the sign bit
// and give NaN patterns or large negative numbers, for example for Gaussian
// samples more than about 13 widths from the centre. NaN stays NaN.
template <int W>
__attribute__((always_inline)) inline void fast_exp_lanes(const typename Lanes<W>::Floats& x,
                                                          typename Lanes<W>::Floats& result) {
    using Floats = typename Lanes<W>::Floats;
    using Ints = typename Lanes<W>::Ints;
    using Bits = typename Lanes<W>::Bits;
    const Floats t = x * kFastExpL2E;
    // Floor of t. Below 2^23 in magnitude: truncate to an integer, back to
    // float (exact), and step down where that rounded up. Every float of
    // larger magnitude is an integer already (as are infinities; NaN fails
    // the comparison and stays). Only lanes that are converted get t.
    const Ints small = (Floats)((Bits)t & 0x7FFFFFFFu) < 8388608.0f;  // |t| < 2^23
    const Floats truncated = __builtin_convertvector(__builtin_convertvector(small ? t : 0.0f, Ints), Floats);
    const Floats below = truncated > t ? truncated - 1.0f : truncated;
    const Floats fl = small ? below : t;
    const Floats f = t - fl;
    const Floats p = (kFastExpC2 * f + kFastExpC1) * f + kFastExpC0;
    // n = fl joins p's biased exponent (127) by an integer addition. Lanes
    // with |t| >= 2^23 have no 32-bit n; the guard below sets them (NaN stays
    // NaN as long as n adds nothing).
    const Ints n = small ? __builtin_convertvector(below, Ints) : 0;
    Bits bits = (Bits)p + ((Bits)n << 23);
    bits = fl < -126.0f ? 0u : bits;
    bits = fl > 127.0f ? 0x7F800000u : bits;
    result = (Floats)bits;
}

// fast_exp of one float: the lane function on a single lane.
inline float fast_exp(float x) {
    const Lanes<1>::Floats lane = {x};
    Lanes<1>::Floats result;
    fast_exp_lanes<1>(lane, result);
    return result[0];
}
