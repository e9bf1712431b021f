#include "adtest.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "float_bits.hpp"
#include "samples.hpp"

namespace {

const char* const kCaseMessage = "'adCase' must be an integer between 0 and 4.";
const char* const kAlphaMessage = "Admissible 'alpha' values: 0.25,  0.15,  0.10,  0.05,  0.025, 0.01, 0.005";

double statistic(const std::vector<double>& x, double mean, double sd, int32_t adCase) {
    return adtest_statistic(x.data(), static_cast<int32_t>(x.size()), mean, sd, adCase);
}

// The message of the std::invalid_argument that call() throws, or "" if none.
template <class Call>
std::string invalid_argument_of(Call call) {
    try {
        call();
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(AdtestCore, StatisticMatchesAnIndependentEvaluation) {
    // References from tests/normality/reference_values.py: mpmath at 60
    // digits, and scipy.stats.anderson for the estimated mean and deviation.
    const std::vector<double> mod101 = modular_sample(101, 37, 101, 50, 16.0);
    const std::vector<double> mod500 = modular_sample(500, 7919, 1013, 506, 128.0);
    const std::vector<double> normal = normal_sample();
    struct Case {
        const char* name;
        std::vector<double> x;
        double mean, sd;
        int32_t adCase;
        double reference;
    } cases[] = {
        {"mod101", mod101, 0.3, 1.7, 0, 3.2487006672072625615},
        {"mod101", mod101, 0.3, 1.7, 3, 3.2735412369594600401},
        {"mod500", mod500, -0.25, 2.5, 4, 6.5442592838776026965},
        {"normal", normal, 10.0, 2.0, 0, 1.643123258986648834},
        {"normal", normal, 9.0, 2.5, 3, 2.1563352477376322301},
        {"normal", normal, 9.0, 2.5, 4, 2.1454363255174849084},
        {"normal, scipy.stats.anderson", normal, 9.492067233545287, 1.7485574066426108, 0, 0.3141183473067386},
        {"single value", {0.5}, 0.0, 1.0, 0, 0.54485817688227500195},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << ", case " << c.adCase);
        EXPECT_NEAR(statistic(c.x, c.mean, c.sd, c.adCase), c.reference, 1e-12 * c.reference);
    }
}

TEST(AdtestCore, StatisticKeepsTheDefinedOrderOfOperations) {
    // Spelled out one rounding at a time; volatile keeps each step separate.
    std::mt19937_64 rng(11);
    std::normal_distribution<double> draw(3.0, 1.5);
    std::vector<double> x(2001);
    for (double& v : x) v = draw(rng);
    std::sort(x.begin(), x.end());
    const double mean = 2.9, sd = 1.45;
    const int32_t n = static_cast<int32_t>(x.size());
    std::vector<double> F(x.size());
    volatile double scale = sd * 1.4142135623730951;
    for (int32_t i = 0; i < n; ++i) {
        volatile double diff = x[i] - mean;
        volatile double z = diff / scale;
        volatile double e = std::erf(z) + 1.0;
        F[i] = e * 0.5;
    }
    volatile double S = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        volatile double weight = 2.0 * i + 1.0;
        volatile double low = std::log(F[i]);
        volatile double upper = 1.0 - F[n - 1 - i];
        volatile double high = std::log(upper);
        volatile double pair = low + high;
        volatile double term = weight * pair;
        S = S + term;
    }
    volatile double count = n;
    volatile double mean_term = S / count;
    volatile double A = -count - mean_term;
    volatile double square = count * count;
    volatile double f3 = 2.25 / square + (1.0 + 0.75 / count);
    volatile double f4 = 0.6 / count + 1.0;
    EXPECT_EQ(bits_of(adtest_statistic(x.data(), n, mean, sd, 0)), bits_of(A));
    EXPECT_EQ(bits_of(adtest_statistic(x.data(), n, mean, sd, 2)), bits_of(A));
    EXPECT_EQ(bits_of(adtest_statistic(x.data(), n, mean, sd, 3)), bits_of(A * f3));
    EXPECT_EQ(bits_of(adtest_statistic(x.data(), n, mean, sd, 4)), bits_of(A * f4));
}

TEST(AdtestCore, NumericalEdgeCases) {
    const double one = statistic({0.5}, 0.0, 1.0, 0);
    struct Case {
        const char* name;
        std::vector<double> x;
        double mean, sd;
        int32_t adCase;
        double statistic;  // NaN: expect NaN
        bool decision;     // at alpha 0.05
    } cases[] = {
        {"empty sample", {}, 0.0, 1.0, 0, kNaN, false},
        {"empty sample, case 3", {}, 0.0, 1.0, 3, kNaN, false},
        {"n = 1, case 3 factor 4", {0.5}, 0.0, 1.0, 3, one * 4.0, true},
        {"n = 1, case 4 factor 1.6", {0.5}, 0.0, 1.0, 4, one * (0.6 + 1.0), false},
        {"far upper tail", {-1.0, 0.0, 40.0}, 0.0, 1.0, 0, kInf, true},
        {"far lower tail", {-40.0, 0.0, 1.0}, 0.0, 1.0, 4, kInf, true},
        {"sd 0, values off the mean", {1.0, 2.0}, 1.5, 0.0, 0, kInf, true},
        {"sd 0, a value at the mean", {1.0, 1.5, 2.0}, 1.5, 0.0, 0, kNaN, false},
        {"NaN in the sample", {-1.0, kNaN, 1.0}, 0.0, 1.0, 0, kNaN, false},
        {"infinite value", {0.0, kInf}, 0.0, 1.0, 0, kInf, true},
        {"NaN mean", {0.0, 1.0}, kNaN, 1.0, 0, kNaN, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t n = static_cast<int32_t>(c.x.size());
        const double A = adtest_statistic(c.x.data(), n, c.mean, c.sd, c.adCase);
        if (std::isnan(c.statistic)) {
            EXPECT_TRUE(std::isnan(A)) << A;
        } else {
            EXPECT_EQ(bits_of(A), bits_of(c.statistic)) << A;
        }
        EXPECT_EQ(adtest_sorted_data(c.x.data(), n, c.mean, c.sd, 0.05, c.adCase), c.decision);
        EXPECT_EQ(adtest(c.x.data(), n, c.mean, c.sd, 0.05, c.adCase), c.decision);
    }
}

TEST(AdtestCore, DecisionsFollowTheCriticalValueTable) {
    // One row per case, one character per level in alphaVec order.
    const std::vector<double> x = normal_sample();
    const char* const expected[5] = {"1100000", "1111110", "1100000", "1111111", "1111100"};
    for (int32_t adCase = 0; adCase < 5; ++adCase) {
        std::string row;
        for (double alpha : {0.25, 0.15, 0.10, 0.05, 0.025, 0.01, 0.005}) {
            row += adtest_sorted_data(x.data(), 40, 10.0, 2.0, alpha, adCase) ? '1' : '0';
        }
        EXPECT_EQ(row, expected[adCase]) << "case " << adCase;
    }
    // Levels within 1e-10 of a table entry select it.
    EXPECT_FALSE(adtest_sorted_data(x.data(), 40, 10.0, 2.0, 0.05 + 5e-11, 0));
    EXPECT_TRUE(adtest_sorted_data(x.data(), 40, 10.0, 2.0, 0.15 - 5e-11, 0));
}

TEST(AdtestCore, ParameterErrors) {
    const std::vector<double> x = normal_sample();
    struct Case {
        double alpha;
        int32_t adCase;
        const char* message;
    } cases[] = {
        {0.05, -1, kCaseMessage},        {0.05, 5, kCaseMessage},          {0.05, INT32_MIN, kCaseMessage},
        {0.05, INT32_MAX, kCaseMessage}, {0.05 + 2e-10, 0, kAlphaMessage}, {0.05 - 2e-10, 4, kAlphaMessage},
        {0.5, 0, kAlphaMessage},         {kNaN, 0, kAlphaMessage},         {kInf, 2, kAlphaMessage},
        {0.07, 7, kCaseMessage},  // both wrong: the case is checked first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "alpha " << c.alpha << ", case " << c.adCase);
        EXPECT_EQ(invalid_argument_of([&] { adtest_sorted_data(x.data(), 40, 10.0, 2.0, c.alpha, c.adCase); }),
                  c.message);
        EXPECT_EQ(invalid_argument_of([&] { adtest(x.data(), 40, 10.0, 2.0, c.alpha, c.adCase); }), c.message);
    }
    // The case is rejected before the sample is read.
    EXPECT_EQ(invalid_argument_of([] { adtest_sorted_data(nullptr, 1000, 0.0, 1.0, 0.05, 5); }), kCaseMessage);
    EXPECT_EQ(invalid_argument_of([] { adtest(nullptr, 1000, 0.0, 1.0, 0.05, -3); }), kCaseMessage);
    EXPECT_EQ(invalid_argument_of([] { adtest_statistic(nullptr, 1000, 0.0, 1.0, 9); }), kCaseMessage);
    EXPECT_EQ(invalid_argument_of([] { adtest(nullptr, -1, 0.0, 1.0, 0.05, 0); }),
              "The sample count must not be negative.");
}

TEST(AdtestCore, AdtestSortsACopy) {
    // Descending order breaks the pairing of smallest with largest values.
    const std::vector<double> sorted = normal_sample();
    const std::vector<double> descending(sorted.rbegin(), sorted.rend());
    std::vector<double> shuffled = sorted;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
    EXPECT_FALSE(adtest_sorted_data(sorted.data(), 40, 10.0, 2.0, 0.005, 0));
    EXPECT_TRUE(adtest_sorted_data(descending.data(), 40, 10.0, 2.0, 0.005, 0));
    for (const std::vector<double>& x : {descending, shuffled}) {
        const std::vector<double> before = x;
        for (double alpha : {0.25, 0.15, 0.10, 0.05, 0.025, 0.01, 0.005}) {
            for (int32_t adCase = 0; adCase < 5; ++adCase) {
                EXPECT_EQ(adtest(x.data(), 40, 10.0, 2.0, alpha, adCase),
                          adtest_sorted_data(sorted.data(), 40, 10.0, 2.0, alpha, adCase));
            }
        }
        EXPECT_EQ(x, before);
    }
    // A NaN anywhere makes the statistic NaN, sorted or not: never a rejection.
    std::vector<double> with_nan = descending;
    with_nan[17] = kNaN;
    EXPECT_FALSE(adtest(with_nan.data(), 40, 10.0, 2.0, 0.25, 3));
    EXPECT_TRUE(std::isnan(with_nan[17]) && with_nan[0] == descending[0]);
    // An empty sample needs no data at all.
    EXPECT_FALSE(adtest(nullptr, 0, 0.0, 1.0, 0.05, 0));
}

TEST(AdtestCore, CompDoubleOrdersAndTreatsNaNAsEqual) {
    struct Case {
        double a, b;
        int expected;
    } cases[] = {
        {1.0, 2.0, -1}, {2.0, 1.0, 1},  {3.0, 3.0, 0},   {-0.0, 0.0, 0},   {-kInf, kInf, -1},
        {kNaN, 1.0, 0}, {1.0, kNaN, 0}, {kNaN, kNaN, 0}, {kNaN, -kInf, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compDouble(&c.a, &c.b), c.expected) << c.a << " vs " << c.b;
    }
}
