// gauss3_eval_approx and accum_derivs3 through the embedded host: outputs,
// argument counts, validation of every input the cores read, no leaks.
#include <gtest/gtest.h>

#include <vector>

#include "module_test.hpp"

using mexhost::Array;

namespace {

const mexhost::Module& approx() {
    static const mexhost::Module m = load_module("gauss3_eval_approx");
    return m;
}

const mexhost::Module& derivs() {
    static const mexhost::Module m = load_module("accum_derivs3");
    return m;
}

}  // namespace

TEST(Gauss3EvalApproxGateway, EvaluatesTheFirstColumnOfX) {
    const Array x = Array::matrix(3, 2, {1, 0, 40, 9, 9, 9});
    const auto result = approx().call(1, {x, Array::column({0, 0, 0}), Array::column({2, 0, 0}), Array::row({0, 0, 0}),
                                          Array::scalar(1), Array::scalar(2)});
    const auto& outputs = expect_success(result);
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{3, 1}));
    EXPECT_EQ(outputs[0].values(), (std::vector<double>{0.36823898553848267, 1.001724720001220703125, 0.0}));
}

TEST(Gauss3EvalApproxGateway, EmptyAndErrors) {
    const auto empty = approx().call(1, {Array::matrix(0, 3), Array::cell(0, 0), Array::char_row(""),
                                         Array::matrix(0, 0), Array::matrix(0, 0), Array::matrix(0, 0)});
    EXPECT_EQ(expect_success(empty).at(0).dims(), (std::vector<size_t>{0, 1}));
    const Array x = Array::column({1, 2});
    const Array c = Array::row({0, 0, 0});
    const Array one = Array::scalar(1);
    expect_errors(approx(), {
                                {1, {x, x, x, c, one}, "", "Six input required."},
                                {2, {x, x, x, c, one, one}, "", "One output required."},
                                {1,
                                 {Array::numeric(mxSINGLE_CLASS, {2, 1}), x, x, c, one, one},
                                 "gauss3_eval_approx:notRealDouble",
                                 "Input 1 (x) must be a real double array, not single."},
                                {1,
                                 {x, x, Array::scalar(0), c, one, one},
                                 "gauss3_eval_approx:tooFewElements",
                                 "Input 3 (z) must hold at least 2 elements, but holds 1."},
                            });
}

TEST(AccumDerivs3Gateway, SumsTheFirstColumnIntoGAndH) {
    // The second column of u is never read.
    const Array u = Array::matrix(2, 2, {1, 1, 99, 99});
    const auto result = derivs().call(2, {u, Array::column({2, 2}), Array::column({3, 3}), Array::column({1, 1}),
                                          Array::column({0.5, 0.5}), Array::scalar(1), Array::scalar(2)});
    const auto& outputs = expect_success(result);
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{3, 1}));
    EXPECT_EQ(outputs[1].dims(), (std::vector<size_t>{3, 3}));
    EXPECT_EQ(outputs[0].values(), (std::vector<double>{-2, -4, -6}));
    EXPECT_EQ(outputs[1].values(), (std::vector<double>{4, 4, 6, 4, 10, 12, 6, 12, 18.5}));
}

TEST(AccumDerivs3Gateway, NoSamplesGiveZerosWithoutReadingTheRest) {
    const auto result =
        derivs().call(2, {Array::matrix(0, 2), Array::cell(0, 0), Array::char_row(""), Array::matrix(0, 0),
                          Array::structure(1, 1), Array::matrix(0, 0), Array::numeric(mxINT8_CLASS, {0, 0})});
    const auto& outputs = expect_success(result);
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(outputs[0].values(), std::vector<double>(3, 0.0));
    EXPECT_EQ(outputs[1].values(), std::vector<double>(9, 0.0));
}

TEST(AccumDerivs3Gateway, CountAndValidationErrors) {
    const Array s = Array::column({1, 2});
    const Array one = Array::scalar(1);
    expect_errors(derivs(), {
                                {2, {s, s, s, s, s, one}, "", "Seven input required."},
                                {1, {s, s, s, s, s, one, one, one}, "", "Seven input required."},
                                {1, {s, s, s, s, s, one, one}, "", "Two output required."},
                                {0, {s, s, s, s, s, one, one}, "", "Two output required."},
                                {3, {s, s, s, s, s, one, one}, "", "Two output required."},
                                {2,
                                 {Array::char_row("ab"), s, s, s, s, one, one},
                                 "accum_derivs3:notRealDouble",
                                 "Input 1 (u) must be a real double array, not char."},
                                {2,
                                 {s, s, s, s, Array::scalar(1), one, one},
                                 "accum_derivs3:tooFewElements",
                                 "Input 5 (b) must hold at least 2 elements, but holds 1."},
                                {2,
                                 {s, s, Array::complex_matrix(2, 1), s, s, one, one},
                                 "accum_derivs3:notRealDouble",
                                 "Input 3 (w) must be a real double array, not complex double."},
                                {2,
                                 {s, s, s, s, s, Array::matrix(0, 0), one},
                                 "accum_derivs3:tooFewElements",
                                 "Input 6 (sxy) must hold at least 1 element, but holds 0."},
                                {2,
                                 {s, s, s, s, s, one, Array::numeric(mxSINGLE_CLASS, {1, 1})},
                                 "accum_derivs3:notRealDouble",
                                 "Input 7 (sz) must be a real double array, not single."},
                            });
}
