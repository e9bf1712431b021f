#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "float_bits.hpp"
#include "gauss3.hpp"
#include "module_test.hpp"

using mexhost::Array;

namespace {

struct Model {
    double c[3];
    double sxy;
    double sz;
};

double eval_one(double x, double y, double z, const Model& g) {
    double out = -1;
    gauss3_eval_rows(&x, &y, &z, g.c, &g.sxy, &g.sz, 1, &out);
    return out;
}

const mexhost::Module& module() {
    static const mexhost::Module m = load_module("gauss3_eval");
    return m;
}

}  // namespace

TEST(Gauss3Core, WorkedValues) {
    const Model unit{{0, 0, 0}, 1, 2};
    const Model lateral_zero{{0, 0, 0}, 0, 1};
    const Model axial_zero{{0, 0, 0}, 1, 0};
    struct Case {
        double x, y, z;
        Model g;
        double expected;
    } cases[] = {
        {1, 0, 2, unit, 0.36787944117144233},
        {5, -3, 7, {{5, -3, 7}, 0.5, 3}, 1.0},           // at the centre
        {1, 1, 2, {{0, 0, 0}, -1, -2}, std::exp(-1.5)},  // widths enter as squares
        {0, 0, 1, lateral_zero, kNaN},                   // 0/0 laterally
        {1, 0, 0, lateral_zero, 0.0},
        {0, 0, 0, axial_zero, kNaN},
        {0, 0, 3, axial_zero, 0.0},
        {kNaN, 0, 0, unit, kNaN},
        {0, 0, 0, {{kNaN, 0, 0}, 1, 1}, kNaN},
        {40, 0, 0, unit, 0.0},               // exponent −800 underflows to 0
        {38, 0, 0, unit, std::exp(-722.0)},  // a subnormal result
        {kInf, 0, 0, unit, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z);
        const double value = eval_one(c.x, c.y, c.z, c.g);
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(value));
        } else {
            EXPECT_EQ(bits_of(value), bits_of(c.expected));
        }
    }
}

TEST(Gauss3Core, ExponentKeepsTheDefinedOrderOfOperations) {
    // Spelled out step by step; volatile keeps each rounding separate here.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> coordinate(-20, 20), width(0.1, 5);
    for (int i = 0; i < 10000; ++i) {
        const double x = coordinate(rng), y = coordinate(rng), z = coordinate(rng);
        const double cx = coordinate(rng), cy = coordinate(rng), cz = coordinate(rng);
        const double sxy = width(rng), sz = width(rng);
        volatile double dx = x - cx, dy = y - cy, dz = z - cz;
        volatile double dx2 = dx * dx, dy2 = dy * dy, dz2 = dz * dz;
        volatile double r = dx2 + dy2;
        volatile double sxy2 = sxy * sxy, sz2 = sz * sz;
        volatile double a = r / sxy2, b = dz2 / sz2;
        volatile double sum = a + b;
        const double expected = sum * -0.5;
        ASSERT_EQ(bits_of(gauss3_exponent(x, y, z, cx, cy, cz, sxy, sz)), bits_of(expected));
    }
}

TEST(Gauss3Core, EveryLevelGivesTheBitsOfOneSampleAtATime) {
    // Lengths around the vector widths and the 512-sample block, with a
    // share of NaN and infinite coordinates.
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> coordinate(-30, 30), width(0.2, 6), share(0, 1);
    const auto value = [&] {
        const double p = share(rng);
        return p < 0.01 ? kNaN : p < 0.02 ? -kInf : coordinate(rng);
    };
    for (int32_t m : {1, 3, 7, 8, 17, 511, 512, 513, 1100}) {
        std::vector<double> x(m), y(m), z(m);
        for (int32_t i = 0; i < m; ++i) x[i] = value(), y[i] = value(), z[i] = value();
        const double c[3] = {coordinate(rng), coordinate(rng), coordinate(rng)};
        const double sxy = width(rng), sz = width(rng);
        for (SimdLevel level : supported_simd_levels()) {
            SCOPED_TRACE(testing::Message() << "m=" << m << " " << simd_level_name(level));
            std::vector<double> out(static_cast<size_t>(m) + 1, -7.0);
            gauss3_eval_rows_on(level, x.data(), y.data(), z.data(), c, &sxy, &sz, m, out.data());
            for (int32_t i = 0; i < m; ++i) {
                const double expected = std::exp(gauss3_exponent(x[i], y[i], z[i], c[0], c[1], c[2], sxy, sz));
                ASSERT_EQ(bits_of(out[i]), bits_of(expected)) << "sample " << i;
            }
            ASSERT_EQ(out[m], -7.0);  // nothing written past the end
        }
    }
}

TEST(Gauss3Core, NothingIsReadOrWrittenWithoutSamples) {
    double out = 42;
    gauss3_eval_rows(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &out);
    gauss3_eval_rows(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -3, &out);
    for (SimdLevel level : supported_simd_levels()) {
        gauss3_eval_rows_on(level, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &out);
    }
    EXPECT_EQ(out, 42);
}

TEST(Gauss3Gateway, EvaluatesTheFirstColumnOfX) {
    const Array x = Array::matrix(2, 3, {1, 0, 9, 9, 9, 9});
    const auto result = module().call(1, {x, Array::column({0, 0}), Array::column({2, 0}), Array::row({0, 0, 0}),
                                          Array::scalar(1), Array::scalar(2)});
    const auto& outputs = expect_success(result);
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{2, 1}));
    EXPECT_EQ(outputs[0].values(), (std::vector<double>{0.36787944117144233, 1.0}));
}

TEST(Gauss3Gateway, NoSamplesGiveAnEmptyColumnWithoutReadingTheRest) {
    for (const Array& x : {Array::matrix(0, 1), Array::matrix(0, 4)}) {
        const auto result = module().call(1, {x, Array::cell(0, 0), Array::char_row(""), Array::matrix(0, 0),
                                              Array::matrix(0, 0), Array::numeric(mxINT8_CLASS, {0, 0})});
        const auto& outputs = expect_success(result);
        ASSERT_EQ(outputs.size(), 1u);
        EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{0, 1}));
    }
}

TEST(Gauss3Gateway, CountAndValidationErrors) {
    const Array x = Array::column({1, 2});
    const Array c = Array::row({0, 0, 0});
    const Array one = Array::scalar(1);
    expect_errors(module(), {
                                {1, {x, x, x, c, one}, "", "Six input required."},
                                {0, {x, x, x, c, one, one, one}, "", "Six input required."},
                                {0, {x, x, x, c, one, one}, "", "One output required."},
                                {2, {x, x, x, c, one, one}, "", "One output required."},
                                {1,
                                 {Array::numeric(mxSINGLE_CLASS, {2, 1}), x, x, c, one, one},
                                 "gauss3_eval:notRealDouble",
                                 "Input 1 (x) must be a real double array, not single."},
                                {1,
                                 {x, Array::scalar(1), x, c, one, one},
                                 "gauss3_eval:tooFewElements",
                                 "Input 2 (y) must hold at least 2 elements, but holds 1."},
                                {1,
                                 {x, x, Array::complex_matrix(2, 1), c, one, one},
                                 "gauss3_eval:notRealDouble",
                                 "Input 3 (z) must be a real double array, not complex double."},
                                {1,
                                 {x, x, x, Array::row({0, 0}), one, one},
                                 "gauss3_eval:tooFewElements",
                                 "Input 4 (c) must hold at least 3 elements, but holds 2."},
                                {1,
                                 {x, x, x, c, Array::matrix(0, 0), one},
                                 "gauss3_eval:tooFewElements",
                                 "Input 5 (sxy) must hold at least 1 element, but holds 0."},
                                {1,
                                 {x, x, x, c, one, Array::numeric(mxINT32_CLASS, {1, 1})},
                                 "gauss3_eval:notRealDouble",
                                 "Input 6 (sz) must be a real double array, not int32."},
                            });
}
