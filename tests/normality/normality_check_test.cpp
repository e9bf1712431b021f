#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "float_bits.hpp"
#include "module_test.hpp"
#include "samples.hpp"

using mexhost::Array;

namespace {

const char* const kCaseMessage = "'adCase' must be an integer between 0 and 4.";
const char* const kAlphaMessage = "Admissible 'alpha' values: 0.25,  0.15,  0.10,  0.05,  0.025, 0.01, 0.005";

const mexhost::Module& module() {
    static const mexhost::Module m = load_module("normality_check");
    return m;
}

// The decision of a successful call, checked to be a real double 1×1.
double decide(const Array& x, double mu, double sigma, double alpha, double adCase) {
    const auto result =
        module().call(1, {x, Array::scalar(mu), Array::scalar(sigma), Array::scalar(alpha), Array::scalar(adCase)});
    const auto& outputs = expect_success(result);
    if (outputs.size() != 1) {
        ADD_FAILURE() << "expected one output";
        return -1;
    }
    EXPECT_EQ(outputs[0].class_id(), mxDOUBLE_CLASS);
    EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{1, 1}));
    return outputs[0].values().at(0);
}

}  // namespace

TEST(NormalityCheckGateway, Decisions) {
    // Against N(10, 2^2) the statistic of normal_sample() is 1.6431, or
    // 1.6678 with the case-4 factor.
    const Array x = Array::column(normal_sample());
    struct Case {
        const char* name;
        Array x;
        double mu, sigma, alpha, adCase;
        double expected;
    } cases[] = {
        {"case 0 below 2.492", x, 10, 2, 0.05, 0, 0},
        {"case 0 above 1.610", x, 10, 2, 0.15, 0, 1},
        {"case 4 above 1.321", x, 10, 2, 0.05, 4, 1},
        {"adCase 4.9 runs case 4", x, 10, 2, 0.05, 4.9, 1},
        {"adCase -0.5 runs case 0", x, 10, 2, 0.05, -0.5, 0},
        {"adCase 0.9 runs case 0", x, 10, 2, 0.05, 0.9, 0},
        {"alpha 0.05 + 5e-11 selects 0.05", x, 10, 2, 0.05 + 5e-11, 4, 1},
        {"a row vector", Array::row(normal_sample()), 10, 2, 0.05, 4, 1},
        {"empty sample: NaN statistic", Array::matrix(0, 0), 0, 1, 0.05, 0, 0},
        {"far tail: infinite statistic", Array::column({-1, 0, 40}), 0, 1, 0.005, 0, 1},
        {"NaN in the sample", Array::column({-1, kNaN, 1}), 0, 1, 0.25, 3, 0},
        {"sigma 0, values off the mean", Array::column({1, 2}), 1.5, 0, 0.005, 0, 1},
        {"sigma 0, a value at the mean", Array::column({1, 1.5, 2}), 1.5, 0, 0.25, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decide(c.x, c.mu, c.sigma, c.alpha, c.adCase), c.expected);
    }
}

TEST(NormalityCheckGateway, SampleIsReadInStorageOrderAndNotSorted) {
    // Column-major storage of this 8x5 matrix is the ascending sample; read
    // row by row it is not sorted, and neither is the descending copy.
    const std::vector<double> sorted = normal_sample();
    std::vector<double> by_rows(40);
    for (size_t r = 0; r < 8; ++r) {
        for (size_t c = 0; c < 5; ++c) by_rows[c * 8 + r] = sorted[r * 5 + c];
    }
    EXPECT_EQ(decide(Array::column(sorted), 10, 2, 0.005, 0), 0);
    EXPECT_EQ(decide(Array::matrix(8, 5, sorted), 10, 2, 0.005, 0), 0);
    EXPECT_EQ(decide(Array::matrix(8, 5, by_rows), 10, 2, 0.005, 0), 1);
    EXPECT_EQ(decide(Array::column(std::vector<double>(sorted.rbegin(), sorted.rend())), 10, 2, 0.005, 0), 1);
}

TEST(NormalityCheckGateway, Errors) {
    const Array x = Array::column(normal_sample());
    const Array s = Array::scalar(1);
    const Array alpha = Array::scalar(0.05);
    const Array empty = Array::matrix(0, 0);
    expect_errors(module(),
                  {
                      {1, {x, s, s, alpha}, "", "Five input required."},
                      {1, {x, s, s, alpha, s, s}, "", "Five input required."},
                      {0, {x, s, s, alpha, s}, "", "One output required."},
                      {2, {x, s, s, alpha, s}, "", "One output required."},
                      {1,
                       {Array::numeric(mxSINGLE_CLASS, {3, 1}), s, s, alpha, s},
                       "normality_check:notRealDouble",
                       "Input 1 (x) must be a real double array, not single."},
                      {1,
                       {Array::complex_matrix(3, 1), s, s, alpha, s},
                       "normality_check:notRealDouble",
                       "Input 1 (x) must be a real double array, not complex double."},
                      {1,
                       {Array::cell(1, 3), s, s, alpha, s},
                       "normality_check:notRealDouble",
                       "Input 1 (x) must be a real double array, not cell."},
                      {1,
                       {x, empty, s, alpha, s},
                       "normality_check:tooFewElements",
                       "Input 2 (mu) must hold at least 1 element, but holds 0."},
                      {1,
                       {x, s, Array::numeric(mxINT32_CLASS, {1, 1}), alpha, s},
                       "normality_check:notRealDouble",
                       "Input 3 (sigma) must be a real double array, not int32."},
                      {1,
                       {x, s, s, Array::char_row("a"), s},
                       "normality_check:notRealDouble",
                       "Input 4 (alpha) must be a real double array, not char."},
                      {1,
                       {x, s, s, alpha, empty},
                       "normality_check:tooFewElements",
                       "Input 5 (adCase) must hold at least 1 element, but holds 0."},
                      {1, {x, s, s, alpha, Array::scalar(-1)}, "", kCaseMessage},
                      {1, {x, s, s, alpha, Array::scalar(5)}, "", kCaseMessage},
                      {1, {x, s, s, alpha, Array::scalar(kNaN)}, "", kCaseMessage},
                      {1, {x, s, s, alpha, Array::scalar(-kInf)}, "", kCaseMessage},
                      {1, {x, s, s, alpha, Array::scalar(4294967296.0 + 3)}, "", kCaseMessage},  // would wrap to 3
                      {1, {x, s, s, Array::scalar(0.05 + 2e-10), s}, "", kAlphaMessage},
                      {1, {x, s, s, Array::scalar(kNaN), s}, "", kAlphaMessage},
                      {1, {empty, s, s, Array::scalar(0.3), s}, "", kAlphaMessage},
                      {1, {x, s, s, Array::scalar(0.3), Array::scalar(5)}, "", kCaseMessage},
                  });
}

TEST(NormalityCheckGateway, SampleBeyondThe32BitCountIsRejected) {
    // 2^31 doubles: 16 GiB of address space that is never touched.
    Array x;
    try {
        x = Array::numeric(mxDOUBLE_CLASS, {size_t{1} << 31, 1});
    } catch (const std::bad_alloc&) {
        GTEST_SKIP() << "no address space for a 2^31-element array";
    }
    // Moved, never copied: a copy would write all 16 GiB.
    std::vector<Array> inputs;
    inputs.push_back(std::move(x));
    for (double value : {1.0, 1.0, 0.05, 1.0}) inputs.push_back(Array::scalar(value));
    expect_error(module().call(1, inputs), "normality_check:tooLarge",
                 "Input 1 (x) has 2147483648 elements; at most 2147483647 are supported.");
}
