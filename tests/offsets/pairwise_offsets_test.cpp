#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "float_bits.hpp"
#include "module_test.hpp"
#include "offsets.hpp"

using mexhost::Array;

namespace {

const mexhost::Module& module() {
    static const mexhost::Module m = load_module("pairwise_offsets");
    return m;
}

// The offsets spelled out entry by entry.
void reference(const std::vector<double>& p, const std::vector<double>& q, size_t m, size_t n, std::vector<double>& dx,
               std::vector<double>& dy) {
    dx.assign(m * n, 0);
    dy.assign(m * n, 0);
    for (size_t j = 0; j < n; ++j) {
        for (size_t i = 0; i < m; ++i) {
            dx[i + j * m] = q[j] - p[i];
            dy[i + j * m] = q[j + n] - p[i + m];
        }
    }
}

std::vector<double> random_points(size_t count, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> coordinate(-1e3, 1e3);
    std::vector<double> points(2 * count);
    for (double& v : points) v = coordinate(rng);
    return points;
}

}  // namespace

TEST(OffsetsCore, SecondListMinusFirstInStorageOrder) {
    // P = [0 0; 10 20; -1 5], Q = [1 2; 4 -8]: rows follow P, columns Q.
    const std::vector<double> p = {0, 10, -1, 0, 20, 5};
    const std::vector<double> q = {1, 4, 2, -8};
    std::vector<double> dx(6, kNaN), dy(6, kNaN);
    calcDiffMatrix(dx.data(), dy.data(), p.data(), q.data(), 3, 2);
    EXPECT_EQ(dx, (std::vector<double>{1, -9, 2, 4, -6, 5}));
    EXPECT_EQ(dy, (std::vector<double>{2, -18, -3, -8, -28, -13}));
}

TEST(OffsetsCore, MatchesTheEntryByEntryDefinitionAtEveryShapeAndAlignment) {
    // Odd and even row counts shift each column's alignment; the large case
    // takes the streaming path.
    std::mt19937_64 rng(3);
    const size_t shapes[][2] = {{1, 1}, {2, 3}, {3, 5}, {7, 4}, {17, 9}, {1001, 3}, {1200, 700}, {1201, 701}};
    for (const auto& shape : shapes) {
        const size_t m = shape[0], n = shape[1];
        SCOPED_TRACE(testing::Message() << m << "x" << n);
        const std::vector<double> p = random_points(m, rng), q = random_points(n, rng);
        std::vector<double> expected_dx, expected_dy;
        reference(p, q, m, n, expected_dx, expected_dy);
        // DX starts off a 16-byte boundary; DY does too for odd m only, so the
        // outputs share their alignment or not.
        const size_t dy_offset = m % 2;
        std::vector<double> dx(m * n + 1, 42), dy(m * n + 1, 42);
        calcDiffMatrix(dx.data() + 1, dy.data() + dy_offset, p.data(), q.data(), static_cast<int32_t>(m),
                       static_cast<int32_t>(n));
        EXPECT_EQ(dx[0], 42);
        EXPECT_EQ(dy[dy_offset == 0 ? m * n : 0], 42);
        EXPECT_TRUE(std::equal(expected_dx.begin(), expected_dx.end(), dx.begin() + 1));
        EXPECT_TRUE(std::equal(expected_dy.begin(), expected_dy.end(), dy.begin() + dy_offset));
    }
}

TEST(OffsetsCore, NonFiniteCoordinatesFollowIeeeSubtraction) {
    const std::vector<double> p = {kInf, -0.0, kNaN, 0.0, 1, 2};
    const std::vector<double> q = {kInf, 0.0};
    std::vector<double> dx(3), dy(3);
    calcDiffMatrix(dx.data(), dy.data(), p.data(), q.data(), 3, 1);
    EXPECT_TRUE(std::isnan(dx[0]));           // inf - inf
    EXPECT_EQ(dx[1], kInf);                   // inf - (-0)
    EXPECT_TRUE(std::isnan(dx[2]));           // NaN propagates
    EXPECT_EQ(bits_of(dy[0]), bits_of(0.0));  // 0 - 0 is +0
    EXPECT_EQ(dy[1], -1);
    EXPECT_EQ(dy[2], -2);
}

TEST(OffsetsCore, EmptyListsWriteNothing) {
    double sentinel = 42;
    const int32_t shapes[][2] = {{0, 3}, {3, 0}, {-1, 2}};
    for (const auto& shape : shapes) calcDiffMatrix(&sentinel, &sentinel, nullptr, nullptr, shape[0], shape[1]);
    EXPECT_EQ(sentinel, 42);
}

TEST(OffsetsGateway, ReturnsBothOffsetMatrices) {
    const auto result = module().call(2, {Array::matrix(1, 2, {0, 0}), Array::matrix(1, 2, {1, 2})});
    const auto& outputs = expect_success(result);
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(outputs[0].values(), std::vector<double>{1});
    EXPECT_EQ(outputs[1].values(), std::vector<double>{2});

    const auto result32 =
        module().call(2, {Array::matrix(3, 2, {0, 10, -1, 0, 20, 5}), Array::matrix(2, 2, {1, 4, 2, -8})});
    const auto& out = expect_success(result32);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].dims(), (std::vector<size_t>{3, 2}));
    EXPECT_EQ(out[0].values(), (std::vector<double>{1, -9, 2, 4, -6, 5}));
    EXPECT_EQ(out[1].values(), (std::vector<double>{2, -18, -3, -8, -28, -13}));
}

TEST(OffsetsGateway, EmptyListsGiveEmptyOutputs) {
    struct Case {
        size_t m, n;
    } cases[] = {{0, 4}, {3, 0}, {0, 0}};
    for (const Case& c : cases) {
        const auto result = module().call(2, {Array::matrix(c.m, 2), Array::matrix(c.n, 2)});
        const auto& outputs = expect_success(result);
        ASSERT_EQ(outputs.size(), 2u);
        for (const Array& output : outputs) {
            EXPECT_EQ(output.class_id(), mxDOUBLE_CLASS);
            EXPECT_EQ(output.dims(), (std::vector<size_t>{c.m, c.n}));
        }
    }
}

TEST(OffsetsGateway, CountAndValidationErrors) {
    const Array p = Array::matrix(2, 2, {0, 1, 2, 3});
    const char* const dims_message = "Only 2D point coordinates are supported.";
    expect_errors(module(), {
                                {2, {p}, "", "Two input parameters required."},
                                {2, {p, p, p}, "", "Two input parameters required."},
                                {1, {p, Array::matrix(1, 3)}, "", "Two output parameters required."},
                                {0, {p, p}, "", "Two output parameters required."},
                                {1, {p, p}, "", "Two output parameters required."},
                                {3, {p, p}, "", "Two output parameters required."},
                                {2, {Array::matrix(2, 1), p}, "", dims_message},
                                {2, {p, Array::matrix(2, 3)}, "", dims_message},
                                {2, {Array::matrix(0, 0), p}, "", dims_message},
                                {2, {Array::numeric(mxDOUBLE_CLASS, {2, 2, 2}), p}, "", dims_message},  // reads as 2x4
                                {2,
                                 {Array::numeric(mxSINGLE_CLASS, {3, 2}), p},
                                 "pairwise_offsets:notRealDouble",
                                 "Input 1 (P) must be a real double array, not single."},
                                {2,
                                 {p, Array::numeric(mxINT32_CLASS, {1, 2})},
                                 "pairwise_offsets:notRealDouble",
                                 "Input 2 (Q) must be a real double array, not int32."},
                                {2,
                                 {p, Array::complex_matrix(1, 2)},
                                 "pairwise_offsets:notRealDouble",
                                 "Input 2 (Q) must be a real double array, not complex double."},
                                {2,
                                 {Array::numeric(mxLOGICAL_CLASS, {1, 2}), p},
                                 "pairwise_offsets:notRealDouble",
                                 "Input 1 (P) must be a real double array, not logical."},
                                {2,
                                 {Array::cell(1, 2), p},
                                 "pairwise_offsets:notRealDouble",
                                 "Input 1 (P) must be a real double array, not cell."},
                            });
}
