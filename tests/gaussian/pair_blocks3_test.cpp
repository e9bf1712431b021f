#include "pair_blocks3.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "float_bits.hpp"
#include "module_test.hpp"

using mexhost::Array;

namespace {

// Equal bit for bit; any two NaNs count as equal, since which operand's
// payload a NaN-with-NaN operation keeps is up to the compiler.
bool same(double x, double y) { return (std::isnan(x) && std::isnan(y)) || bits_of(x) == bits_of(y); }

// M-by-N samples of the four inputs, column-major.
struct Samples {
    int64_t m, n;
    std::vector<double> u, v, w, a;

    Samples(int64_t m_, int64_t n_) : m(m_), n(n_), u(m * n), v(m * n), w(m * n), a(m * n) {}
    double* input(int which) { return (which == 0 ? u : which == 1 ? v : which == 2 ? w : a).data(); }
};

// Random values with a share of the awkward ones: NaN, infinities, signed
// zeros, subnormals, and magnitudes whose products overflow or underflow.
Samples random_samples(int64_t m, int64_t n, double special_share, uint64_t seed) {
    static const double specials[] = {kNaN, kInf, -kInf, 0.0, -0.0, 4.9e-324, -2.2e-310, 1e300, -1e-300, 1e-160};
    Samples s(m, n);
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> normal;
    std::uniform_real_distribution<double> unit;
    std::uniform_int_distribution<size_t> pick(0, std::size(specials) - 1);
    for (int which = 0; which < 4; ++which) {
        double* x = s.input(which);
        for (int64_t e = 0; e < m * n; ++e) x[e] = unit(rng) < special_share ? specials[pick(rng)] : normal(rng);
    }
    return s;
}

// The operation written out plainly: sample loop outermost, each term formed
// in the defined grouping and added to a running sum starting from zero,
// volatile so that no optimisation level can merge or reorder a step.
std::vector<double> reference(const Samples& s) {
    const int64_t m = s.m, n = s.n, ld = 3 * n;
    std::vector<double> k(static_cast<size_t>(ld * ld), 0.0);
    for (int64_t i = 0; i < m; ++i) {
        for (int64_t j = 0; j + 1 < n; ++j) {
            const double kj[3] = {s.u[i + j * m], s.v[i + j * m], s.w[i + j * m]};
            volatile double doubled = s.a[i + j * m] + s.a[i + j * m];
            for (int64_t c2 = j + 1; c2 < n; ++c2) {
                const double kk[3] = {s.u[i + c2 * m], s.v[i + c2 * m], s.w[i + c2 * m]};
                volatile double t = s.a[i + c2 * m] * doubled;
                for (int r = 0; r < 3; ++r) {
                    for (int c = 0; c < 3; ++c) {
                        volatile double scaled = kj[r] * t;
                        volatile double term = scaled * kk[c];
                        double& entry = k[(3 * j + r) + (3 * c2 + c) * ld];
                        entry = entry + term;
                    }
                }
            }
        }
    }
    for (int64_t j = 0; j + 1 < n; ++j) {
        for (int64_t c2 = j + 1; c2 < n; ++c2) {
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 3; ++c) k[(3 * c2 + c) + (3 * j + r) * ld] = k[(3 * j + r) + (3 * c2 + c) * ld];
            }
        }
    }
    return k;
}

// On the given level, or on the one chosen at run time when there is none.
std::vector<double> fill(const Samples& s, std::optional<SimdLevel> level = std::nullopt) {
    std::vector<double> k(static_cast<size_t>(9 * s.n * s.n), 0.0);
    if (level) {
        pair_blocks3_fill_on(*level, s.u.data(), s.v.data(), s.w.data(), s.a.data(), s.m, s.n, k.data());
    } else {
        pair_blocks3_fill(s.u.data(), s.v.data(), s.w.data(), s.a.data(), s.m, s.n, k.data());
    }
    return k;
}

// Index of the first entry where the two results differ, or -1.
int64_t first_difference(const std::vector<double>& x, const std::vector<double>& y) {
    if (x.size() != y.size()) return 0;
    for (size_t e = 0; e < x.size(); ++e) {
        if (!same(x[e], y[e])) return static_cast<int64_t>(e);
    }
    return -1;
}

// The run-time choice and every level this CPU supports.
std::vector<std::optional<SimdLevel>> levels() {
    std::vector<std::optional<SimdLevel>> all = {std::nullopt};
    for (SimdLevel level : supported_simd_levels()) all.push_back(level);
    return all;
}

const char* name_of(std::optional<SimdLevel> level) { return level ? simd_level_name(*level) : "dispatched"; }

// M = 1, N = 2: k_00 = (1, 2, 3), k_01 = (4, 5, 6), t = 2.
Samples worked_example() {
    Samples s(1, 2);
    s.u = {1, 4};
    s.v = {2, 5};
    s.w = {3, 6};
    s.a = {1, 1};
    return s;
}

const std::vector<double> kWorkedResult = {
    0,  0,  0,  8,  10, 12,  //
    0,  0,  0,  16, 20, 24,  //
    0,  0,  0,  24, 30, 36,  //
    8,  16, 24, 0,  0,  0,   //
    10, 20, 30, 0,  0,  0,   //
    12, 24, 36, 0,  0,  0,   //
};                           // symmetric, so row- and column-major read the same

const mexhost::Module& module() {
    static const mexhost::Module m = load_module("pair_blocks3");
    return m;
}

Array matrix_of(const std::vector<double>& x, int64_t m, int64_t n) {
    return Array::matrix(static_cast<size_t>(m), static_cast<size_t>(n), x);
}

}  // namespace

TEST(PairBlocks3Core, WorkedExampleOnEveryInstructionSet) {
    for (std::optional<SimdLevel> level : levels()) {
        SCOPED_TRACE(name_of(level));
        EXPECT_EQ(fill(worked_example(), level), kWorkedResult);
    }
}

TEST(PairBlocks3Core, MatchesTheScalarLoopBitForBit) {
    // Sizes around the vector widths (2, 4, 8), the tile of two components
    // and the 512-sample block, with and without awkward values.
    struct Case {
        int64_t m, n;
        double special_share;
    } cases[] = {{1, 2, 0},    {3, 3, 0.3},     {7, 5, 0.1},     {2, 9, 0.5},       {40, 17, 0.05}, {511, 8, 0.02},
                 {512, 10, 0}, {513, 19, 0.01}, {600, 26, 0.01}, {1100, 35, 0.002}, {90, 70, 0}};
    uint64_t seed = 1;
    for (const Case& c : cases) {
        const Samples s = random_samples(c.m, c.n, c.special_share, seed++);
        const std::vector<double> expected = reference(s);
        for (std::optional<SimdLevel> level : levels()) {
            SCOPED_TRACE(testing::Message() << "M=" << c.m << " N=" << c.n << " " << name_of(level));
            const std::vector<double> k = fill(s, level);
            const int64_t at = first_difference(k, expected);
            EXPECT_EQ(at, -1) << "row " << at % (3 * c.n) << ", column " << at / (3 * c.n) << ": " << k[at]
                              << " instead of " << expected[at];
        }
    }
}

TEST(PairBlocks3Core, SymmetricBitForBitWithZeroDiagonalBlocks) {
    const Samples s = random_samples(300, 23, 0.05, 99);
    const std::vector<double> k = fill(s);
    const int64_t ld = 3 * s.n;
    for (int64_t row = 0; row < ld; ++row) {
        for (int64_t col = 0; col < ld; ++col) {
            const double x = k[row + col * ld];
            if (row / 3 == col / 3) {
                ASSERT_EQ(bits_of(x), 0u) << row << "," << col;
            } else {
                ASSERT_EQ(bits_of(x), bits_of(k[col + row * ld])) << row << "," << col;
            }
        }
    }
}

TEST(PairBlocks3Core, NaNFillsTheRowAndColumnOfItsComponent) {
    // One NaN in input `which` at (sample 1, component 2) of finite data:
    // U, V, W poison row and column 3*2 + which; A poisons the whole block
    // row and column 2. The diagonal blocks stay zero.
    const int64_t m = 4, n = 5, ld = 3 * n, j = 2;
    for (int which = 0; which < 4; ++which) {
        Samples s = random_samples(m, n, 0, 5);
        s.input(which)[1 + j * m] = kNaN;
        const std::vector<double> k = fill(s);
        for (int64_t row = 0; row < ld; ++row) {
            for (int64_t col = 0; col < ld; ++col) {
                const double x = k[row + col * ld];
                const bool diagonal = row / 3 == col / 3;
                const bool hit =
                    which == 3 ? (row / 3 == j || col / 3 == j) : (row == 3 * j + which || col == 3 * j + which);
                SCOPED_TRACE(testing::Message() << "input " << which << " at " << row << "," << col);
                if (diagonal) {
                    ASSERT_EQ(bits_of(x), 0u);
                } else {
                    ASSERT_EQ(std::isnan(x), hit);
                }
            }
        }
    }
}

TEST(PairBlocks3Core, ZeroValueColumnGivesZeroBlockRowAndColumn) {
    Samples s = random_samples(50, 6, 0, 11);
    for (int64_t i = 0; i < s.m; ++i) s.a[i + 4 * s.m] = 0.0;
    const std::vector<double> k = fill(s);
    const int64_t ld = 3 * s.n;
    for (int64_t row = 0; row < ld; ++row) {
        for (int64_t col = 0; col < ld; ++col) {
            const double x = k[row + col * ld];
            if (row / 3 == 4 || col / 3 == 4) {
                EXPECT_EQ(x, 0.0);
            } else if (row / 3 != col / 3) {
                EXPECT_NE(x, 0.0);
            }
        }
    }
}

TEST(PairBlocks3Core, WithoutPairsOrSamplesNothingIsReadOrWritten) {
    // The output sentinel shows that nothing is written; null inputs that
    // nothing is read.
    std::vector<double> k(9 * 4 * 4, 42.0);
    pair_blocks3_fill(nullptr, nullptr, nullptr, nullptr, 0, 4, k.data());
    pair_blocks3_fill(nullptr, nullptr, nullptr, nullptr, -1, 4, k.data());
    pair_blocks3_fill(nullptr, nullptr, nullptr, nullptr, 10, 1, k.data());
    pair_blocks3_fill(nullptr, nullptr, nullptr, nullptr, 10, 0, k.data());
    pair_blocks3_fill(nullptr, nullptr, nullptr, nullptr, 10, -2, k.data());
    for (double x : k) ASSERT_EQ(x, 42.0);
}

TEST(PairBlocks3Gateway, WorkedExampleAndRandomDataMatchTheCore) {
    const Samples example = worked_example();
    auto result = module().call(1, {matrix_of(example.u, 1, 2), matrix_of(example.v, 1, 2), matrix_of(example.w, 1, 2),
                                    matrix_of(example.a, 1, 2)});
    const auto& outputs = expect_success(result);
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{6, 6}));
    EXPECT_EQ(outputs[0].values(), kWorkedResult);

    const Samples s = random_samples(130, 12, 0.02, 3);
    result = module().call(
        1, {matrix_of(s.u, s.m, s.n), matrix_of(s.v, s.m, s.n), matrix_of(s.w, s.m, s.n), matrix_of(s.a, s.m, s.n)});
    const auto& random_outputs = expect_success(result);
    ASSERT_EQ(random_outputs.size(), 1u);
    EXPECT_EQ(random_outputs[0].dims(), (std::vector<size_t>{36, 36}));
    EXPECT_EQ(first_difference(random_outputs[0].values(), reference(s)), -1);
}

TEST(PairBlocks3Gateway, ZeroResultsWithoutReadingTheOtherInputs) {
    // N = 0, N = 1 and M = 0 read nothing but U's size: the other inputs may
    // be anything.
    const Array junk[] = {Array::cell(0, 0), Array::char_row("x"), Array::numeric(mxINT8_CLASS, {0, 0})};
    struct Case {
        Array u;
        size_t size;
    } cases[] = {
        {Array::matrix(5, 0), 0}, {Array::matrix(0, 0), 0}, {Array::matrix(4, 1), 3}, {Array::matrix(0, 3), 9}};
    for (const Case& c : cases) {
        const auto result = module().call(1, {c.u, junk[0], junk[1], junk[2]});
        const auto& outputs = expect_success(result);
        ASSERT_EQ(outputs.size(), 1u);
        EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{c.size, c.size}));
        for (double x : outputs[0].values()) EXPECT_EQ(bits_of(x), 0u);
    }
}

TEST(PairBlocks3Gateway, CountAndValidationErrors) {
    const Array x = Array::matrix(2, 3);
    const Array short_x = Array::matrix(2, 2);
    expect_errors(module(), {
                                {1, {x, x, x}, "", "Four input required."},
                                {0, {x, x, x, x, x}, "", "Four input required."},
                                {0, {x, x, x, x}, "", "One output required."},
                                {2, {x, x, x, x}, "", "One output required."},
                                {1,
                                 {Array::numeric(mxSINGLE_CLASS, {2, 3}), x, x, x},
                                 "pair_blocks3:notRealDouble",
                                 "Input 1 (U) must be a real double array, not single."},
                                {1,
                                 {x, short_x, x, x},
                                 "pair_blocks3:tooFewElements",
                                 "Input 2 (V) must hold at least 6 elements, but holds 4."},
                                {1,
                                 {x, x, Array::complex_matrix(2, 3), x},
                                 "pair_blocks3:notRealDouble",
                                 "Input 3 (W) must be a real double array, not complex double."},
                                {1,
                                 {x, x, x, Array::numeric(mxINT32_CLASS, {2, 3})},
                                 "pair_blocks3:notRealDouble",
                                 "Input 4 (A) must be a real double array, not int32."},
                                {1,
                                 {x, x, x, short_x},
                                 "pair_blocks3:tooFewElements",
                                 "Input 4 (A) must hold at least 6 elements, but holds 4."},
                                // An empty U of 400 million columns asks for a result whose byte
                                // count does not fit in 64 bits.
                                {1,
                                 {Array::matrix(0, 400000000), x, x, x},
                                 "pair_blocks3:tooLarge",
                                 "Input 1 (U) has 400000000 columns; the 3N-by-3N result allows at most 357913941."},
                            });
}
