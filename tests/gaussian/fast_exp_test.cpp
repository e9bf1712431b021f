// fast_exp and gauss3_eval_approx_rows against a plain scalar version of
// the same steps. Built twice: optimised, and at -O0, so every path gives the
// reference's bits at both ends of the optimisation range.
#include "fast_exp.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "exactness.hpp"
#include "gauss3.hpp"
#include "gauss3_approx.hpp"

namespace {

constexpr float kInfF = std::numeric_limits<float>::infinity();

// The steps one at a time; volatile keeps each rounding separate. Constants
// from their bit patterns.
float reference_fast_exp(float x) {
    const float l2e = float_from_bits(0x3FB8AA3B), c2 = float_from_bits(0x3EACA418);
    const float c1 = float_from_bits(0x3F285ADA), c0 = float_from_bits(0x3F803884);
    volatile float t = x * l2e;
    float fl = t;
    if (std::fabs(t) < 8388608.0f) {
        volatile float k = static_cast<float>(static_cast<int32_t>(t));
        if (k > t) k = k - 1.0f;
        fl = k;
    }
    volatile float f = t - fl;
    volatile float c2f = c2 * f;
    volatile float sum1 = c2f + c1;
    volatile float product = sum1 * f;
    volatile float p = product + c0;
    if (fl < -126.0f) return 0.0f;
    if (fl > 127.0f) return kInfF;
    const int32_t n = std::isnan(fl) ? 0 : static_cast<int32_t>(fl);
    return float_from_bits(bits_of(static_cast<float>(p)) + (static_cast<uint32_t>(n) << 23));
}

void reference_rows(const double* x, const double* y, const double* z, const double* c, double sxy, double sz,
                    int32_t m, double* out) {
    for (int32_t i = 0; i < m; ++i) {
        const double e = gauss3_exponent(x[i], y[i], z[i], c[0], c[1], c[2], sxy, sz);
        out[i] = reference_fast_exp(static_cast<float>(e));
    }
}

}  // namespace

TEST(FastExp, WorkedBitPatternsAndRangeEnds) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float x;
        uint32_t expected;
    } cases[] = {
        {0.0f, 0x3F803884},
        {-0.0f, 0x3F803884},
        {1.0f, 0x402DF1B7},
        {-0.5f, 0x3F1B073E},
        {-1.0f, 0x3EBC89D2},
        {-10.0f, 0x383EA1BF},
        // Last floats with n = -126 and n = 127, then the first ones beyond,
        // which the guard sends to 0 and +inf.
        {float_from_bits(0xC2AEAC50), bits_of(reference_fast_exp(float_from_bits(0xC2AEAC50)))},
        {float_from_bits(0xC2AEAC51), 0x00000000},
        {float_from_bits(0x42B17217), bits_of(reference_fast_exp(float_from_bits(0x42B17217)))},
        {float_from_bits(0x42B17218), 0x7F800000},
        {-1.0e30f, 0x00000000},
        {1.0e30f, 0x7F800000},
        {-kInfF, 0x00000000},
        {kInfF, 0x7F800000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x);
        EXPECT_EQ(bits_of(fast_exp(c.x)), c.expected);
        EXPECT_EQ(bits_of(reference_fast_exp(c.x)), c.expected);
    }
    EXPECT_EQ(bits_of(fast_exp(float_from_bits(0xC2AEAC50))) >> 23, 1u);    // biased exponent 127 - 126
    EXPECT_EQ(bits_of(fast_exp(float_from_bits(0x42B17217))) >> 23, 254u);  // 127 + 127
    EXPECT_TRUE(std::isnan(fast_exp(nan)));
    EXPECT_TRUE(std::isnan(fast_exp(-nan)));
}

TEST(FastExp, EveryLaneWidthMatchesTheReferenceAcrossTheFloats) {
    // A stride through all 2^32 patterns (NaNs, infinities, subnormals and
    // the valid range included), one lane and sixteen lanes at a time.
    constexpr uint32_t kStride = 1021;
    constexpr int kW = 16;
    Lanes<kW>::Floats lanes{}, results;
    int filled = 0;
    uint32_t pending[kW];
    for (uint64_t pattern = 0; pattern <= 0xFFFFFFFFu; pattern += kStride) {
        const float x = float_from_bits(static_cast<uint32_t>(pattern));
        const float expected = reference_fast_exp(x);
        ASSERT_TRUE(same_value(fast_exp(x), expected)) << std::hex << pattern;
        pending[filled] = static_cast<uint32_t>(pattern);
        lanes[filled++] = x;
        if (filled == kW) {
            fast_exp_lanes<kW>(lanes, results);
            for (int j = 0; j < kW; ++j) {
                ASSERT_TRUE(same_value(results[j], reference_fast_exp(float_from_bits(pending[j]))))
                    << std::hex << pending[j];
            }
            filled = 0;
        }
    }
}

TEST(FastExp, StaysWithinItsErrorBoundInTheValidRange) {
    const float lo = float_from_bits(0xC2AEAC50), hi = float_from_bits(0x42B17217);
    for (float x = lo; x <= hi; x += 0.0137f) {
        const double relative = static_cast<double>(fast_exp(x)) / std::exp(static_cast<double>(x)) - 1.0;
        ASSERT_LT(std::fabs(relative), 0.0018) << x;
    }
}

TEST(Gauss3Approx, WorkedValues) {
    const double origin[3] = {0, 0, 0};
    const double unit = 1, two = 2;
    struct Case {
        double x, y, z;
        double expected;
    } cases[] = {
        {1, 0, 2, 0.36823898553848267},      // exponent argument -1: pattern 0x3EBC89D2
        {0, 0, 0, 1.001724720001220703125},  // the centre: C0 itself, not 1
        {0, 0, 26.5, 0.0},                   // argument -87.78, below the valid range
        {14, 0, 0, 0.0},                     // 14 widths out: 0, not a garbage pattern
        {std::numeric_limits<double>::infinity(), 0, 0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z);
        double out = -1;
        gauss3_eval_approx_rows(&c.x, &c.y, &c.z, origin, &unit, &two, 1, &out);
        EXPECT_EQ(bits_of(out), bits_of(c.expected));
    }
}

TEST(Gauss3Approx, NaNStaysInItsSampleAndZeroWidthsFollowIEEE) {
    const double c[3] = {0, 0, 0};
    const double x[4] = {0, 1, 0, 0}, y[4] = {0, 0, 0, 0}, z[4] = {1, 0, 0, 3};
    const double zero = 0, one = 1;
    double lateral_zero[4], axial_zero[4];
    gauss3_eval_approx_rows(x, y, z, c, &zero, &one, 4, lateral_zero);
    gauss3_eval_approx_rows(x, y, z, c, &one, &zero, 4, axial_zero);
    EXPECT_TRUE(std::isnan(lateral_zero[0]));  // 0/0 laterally
    EXPECT_EQ(lateral_zero[1], 0.0);           // 1/0: argument -inf
    EXPECT_TRUE(std::isnan(axial_zero[2]));    // 0/0 axially
    EXPECT_EQ(axial_zero[3], 0.0);

    // Seventeen samples reach the vector loop of every path; the NaN stays in
    // its own sample.
    std::vector<double> xs(17, 0.5), ys(17, -0.25), zs(17, 1.0), out(17);
    xs[9] = std::nan("");
    gauss3_eval_approx_rows(xs.data(), ys.data(), zs.data(), c, &one, &one, 17, out.data());
    for (int i = 0; i < 17; ++i) {
        if (i == 9) {
            EXPECT_TRUE(std::isnan(out[i]));
        } else {
            EXPECT_EQ(out[i], reference_fast_exp(static_cast<float>((0.25 + 0.0625 + 1.0) * -0.5)));
        }
    }
}

TEST(Gauss3Approx, EveryPathMatchesTheReferenceOnMixedInputs) {
    ValueMix coordinate(11, 15.0, 25);
    ValueMix width(12, 4.0, 8);
    std::uniform_int_distribution<int32_t> count(0, 70);
    std::vector<SimdLevel> paths = supported_simd_levels();
    for (int trial = 0; trial < 400; ++trial) {
        const int32_t m = trial == 0 ? 100003 : count(coordinate.rng());
        std::vector<double> x(m), y(m), z(m), expected(m);
        for (int32_t i = 0; i < m; ++i) x[i] = coordinate(), y[i] = coordinate(), z[i] = coordinate();
        const double c[3] = {coordinate(), coordinate(), coordinate()};
        const double sxy = width(), sz = width();
        reference_rows(x.data(), y.data(), z.data(), c, sxy, sz, m, expected.data());
        for (int p = -1; p < static_cast<int>(paths.size()); ++p) {
            SCOPED_TRACE(testing::Message()
                         << "trial " << trial << ", " << (p < 0 ? "dispatched" : simd_level_name(paths[p])));
            // One slot past the end shows that nothing more is written.
            std::vector<double> out(static_cast<size_t>(m) + 1, -7.0);
            if (p < 0) {
                gauss3_eval_approx_rows(x.data(), y.data(), z.data(), c, &sxy, &sz, m, out.data());
            } else {
                gauss3_eval_approx_rows_on(paths[p], x.data(), y.data(), z.data(), c, &sxy, &sz, m, out.data());
            }
            for (int32_t i = 0; i < m; ++i) ASSERT_TRUE(same_value(out[i], expected[i])) << "sample " << i;
            ASSERT_EQ(out[m], -7.0);
        }
    }
}

TEST(Gauss3Approx, NothingIsReadOrWrittenWithoutSamples) {
    double out = 42;
    for (SimdLevel path : supported_simd_levels()) {
        gauss3_eval_approx_rows_on(path, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &out);
        gauss3_eval_approx_rows_on(path, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -5, &out);
    }
    gauss3_eval_approx_rows(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &out);
    EXPECT_EQ(out, 42);
}
