// accum_derivs3_rows against a plain scalar version of the same sums. Built
// twice: optimised, and at -O0.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "derivs3.hpp"
#include "exactness.hpp"
#include "float_bits.hpp"

namespace {

struct Sums {
    std::array<double, 3> g{};
    std::array<double, 9> H{};
};

// Each step on its own, one sample and one running entry at a time;
// volatile keeps every rounding separate.
Sums reference(const std::vector<double>& u, const std::vector<double>& v, const std::vector<double>& w,
               const std::vector<double>& a, const std::vector<double>& b, double sxy, double sz) {
    Sums s;
    const double widths[3] = {sxy, sxy, sz};
    for (size_t i = 0; i < u.size(); ++i) {
        const double k[3] = {u[i], v[i], w[i]};
        volatile double twice = a[i] + a[i];
        volatile double P = b[i] * twice;
        volatile double twice_a = twice * a[i];
        volatile double Q = twice_a - P;
        for (int r = 0; r < 3; ++r) {
            volatile double Pk = P * k[r];
            s.g[r] = s.g[r] - Pk;
        }
        for (int c = 0; c < 3; ++c) {
            for (int r = c; r < 3; ++r) {
                volatile double kQ = k[c] * Q;
                volatile double term = kQ * k[r];
                if (r == c) {
                    volatile double square = widths[r] * widths[r];
                    volatile double ratio = P / square;
                    term = term + ratio;
                }
                s.H[r + 3 * c] = s.H[r + 3 * c] + term;
            }
        }
    }
    s.H[3] = s.H[1], s.H[6] = s.H[2], s.H[7] = s.H[5];
    return s;
}

Sums accumulate(const std::vector<double>& u, const std::vector<double>& v, const std::vector<double>& w,
                const std::vector<double>& a, const std::vector<double>& b, double sxy, double sz) {
    Sums s;
    accum_derivs3_rows(u.data(), v.data(), w.data(), a.data(), b.data(), &sxy, &sz, static_cast<int32_t>(u.size()),
                       s.g.data(), s.H.data());
    return s;
}

void expect_same(const Sums& actual, const Sums& expected) {
    for (int r = 0; r < 3; ++r) EXPECT_TRUE(same_value(actual.g[r], expected.g[r])) << "g" << r;
    for (int e = 0; e < 9; ++e) EXPECT_TRUE(same_value(actual.H[e], expected.H[e])) << "H index " << e;
}

}  // namespace

TEST(AccumDerivs3, WorkedExamples) {
    // P = 1, Q = 1; then the same sample twice; then b = 1, where Q = 0.
    Sums once = accumulate({1}, {2}, {3}, {1}, {0.5}, 1, 2);
    EXPECT_EQ(once.g, (std::array<double, 3>{-1, -2, -3}));
    EXPECT_EQ(once.H, (std::array<double, 9>{2, 2, 3, 2, 5, 6, 3, 6, 9.25}));
    Sums twice = accumulate({1, 1}, {2, 2}, {3, 3}, {1, 1}, {0.5, 0.5}, 1, 2);
    EXPECT_EQ(twice.g, (std::array<double, 3>{-2, -4, -6}));
    EXPECT_EQ(twice.H, (std::array<double, 9>{4, 4, 6, 4, 10, 12, 6, 12, 18.5}));
    Sums flat = accumulate({1}, {2}, {3}, {1}, {1}, 1, 2);
    EXPECT_EQ(flat.g, (std::array<double, 3>{-2, -4, -6}));
    EXPECT_EQ(flat.H, (std::array<double, 9>{2, 0, 0, 0, 2, 0, 0, 0, 0.5}));
}

TEST(AccumDerivs3, NoSamplesLeaveZerosAndReadNoWidths) {
    for (int32_t m : {0, -4}) {
        Sums s;
        accum_derivs3_rows(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, m, s.g.data(), s.H.data());
        EXPECT_EQ(s.g, (std::array<double, 3>{}));
        EXPECT_EQ(s.H, (std::array<double, 9>{}));
    }
}

TEST(AccumDerivs3, NaNAndZeroWidthsReachOnlyTheirEntries) {
    const std::vector<double> u = {0.5, -1, 2}, v = {1, 0.25, -3}, w = {-2, 1, 0.5};
    const std::vector<double> a = {0.9, 0.3, 0.6}, b = {0.1, -0.2, 0.05};
    const Sums clean = accumulate(u, v, w, a, b, 1.5, 2.5);
    struct Case {
        const char* what;
        std::vector<double> u, a, b;
        double sxy, sz;
        std::vector<int> g_hit, H_hit;  // entries that must be NaN or infinite
    } cases[] = {
        {"NaN in a", u, {0.9, kNaN, 0.6}, b, 1.5, 2.5, {0, 1, 2}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"NaN in b", u, a, {0.1, -0.2, kNaN}, 1.5, 2.5, {0, 1, 2}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"NaN in u", {0.5, kNaN, 2}, a, b, 1.5, 2.5, {0}, {0, 1, 2, 3, 6}},
        {"sxy = 0", u, a, b, 0, 2.5, {}, {0, 4}},
        {"sz = 0", u, a, b, 1.5, 0, {}, {8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Sums s = accumulate(c.u, v, w, c.a, c.b, c.sxy, c.sz);
        expect_same(s, reference(c.u, v, w, c.a, c.b, c.sxy, c.sz));
        for (int r = 0; r < 3; ++r) {
            const bool hit = std::find(c.g_hit.begin(), c.g_hit.end(), r) != c.g_hit.end();
            EXPECT_TRUE(hit ? !std::isfinite(s.g[r]) : bits_of(s.g[r]) == bits_of(clean.g[r])) << "g" << r;
        }
        for (int e = 0; e < 9; ++e) {
            const bool hit = std::find(c.H_hit.begin(), c.H_hit.end(), e) != c.H_hit.end();
            EXPECT_TRUE(hit ? !std::isfinite(s.H[e]) : bits_of(s.H[e]) == bits_of(clean.H[e])) << "H index " << e;
        }
    }
}

TEST(AccumDerivs3, MatchesTheReferenceOnMixedInputs) {
    ValueMix value(21, 3.0, 40);
    ValueMix width(22, 4.0, 6);
    for (int trial = 0; trial < 300; ++trial) {
        const size_t m = trial == 0 ? 200001 : static_cast<size_t>(trial % 23);
        std::vector<double> u(m), v(m), w(m), a(m), b(m);
        for (size_t i = 0; i < m; ++i) u[i] = value(), v[i] = value(), w[i] = value(), a[i] = value(), b[i] = value();
        const double sxy = width(), sz = width();
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        const Sums s = accumulate(u, v, w, a, b, sxy, sz);
        expect_same(s, reference(u, v, w, a, b, sxy, sz));
        EXPECT_EQ(bits_of(s.H[3]), bits_of(s.H[1]));
        EXPECT_EQ(bits_of(s.H[6]), bits_of(s.H[2]));
        EXPECT_EQ(bits_of(s.H[7]), bits_of(s.H[5]));
    }
}
