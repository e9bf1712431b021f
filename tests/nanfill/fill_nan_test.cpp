#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "module_test.hpp"
#include "nanfill.hpp"

// libomp is not instrumented: its own accesses are left out, while its
// fork, barrier and join reach ThreadSanitizer through the Archer tool, so
// races in the fill loop itself are still reported.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
#endif

using mexhost::Array;

namespace {

template <class T>
using Bits = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;

template <class T>
T from_bits(Bits<T> b) {
    T value;
    std::memcpy(&value, &b, sizeof value);
    return value;
}

template <class T>
Bits<T> bits(T value) {
    Bits<T> b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

template <class T>
constexpr NanFillType type_of() {
    return sizeof(T) == 8 ? NanFillType::Double : NanFillType::Single;
}

const mexhost::Module& module() {
    static const mexhost::Module m = load_module("fill_nan");
    return m;
}

template <class T>
Array numeric(const std::vector<size_t>& dims, const std::vector<T>& values) {
    Array array = Array::numeric(sizeof(T) == 8 ? mxDOUBLE_CLASS : mxSINGLE_CLASS, dims);
    if (!values.empty()) std::memcpy(array.data<T>(), values.data(), values.size() * sizeof(T));
    return array;
}

template <class T>
std::vector<Bits<T>> bits_of(const Array& array) {
    std::vector<Bits<T>> out(array.numel());
    if (!out.empty()) std::memcpy(out.data(), array.data<T>(), out.size() * sizeof(T));
    return out;
}

// Values that must pass unchanged, and NaN of every kind that must be replaced.
template <class T>
struct Specials;

template <>
struct Specials<double> {
    static std::vector<uint64_t> kept() {
        return {0x0000000000000000, 0x8000000000000000,   // +0, -0
                0x7ff0000000000000, 0xfff0000000000000,   // +inf, -inf
                0x0000000000000001, 0x7fefffffffffffff,   // smallest subnormal, largest finite
                0x3ff0000000000000, 0xbff8000000000000};  // 1, -1.5
    }
    static std::vector<uint64_t> nans() {
        return {0x7ff8000000000000, 0xfff8000000000000,   // quiet, negative quiet
                0x7ff0000000000001, 0xfff0000000000001,   // signalling
                0x7ffdeadbeef00000, 0xfff4000000000000};  // payloads
    }
    static uint64_t nan_fill() { return 0xfff80000cafe0001; }
};

template <>
struct Specials<float> {
    static std::vector<uint32_t> kept() {
        return {0x00000000, 0x80000000, 0x7f800000, 0xff800000, 0x00000001, 0x7f7fffff, 0x3f800000, 0xbfc00000};
    }
    static std::vector<uint32_t> nans() { return {0x7fc00000, 0xffc00000, 0x7f800001, 0xff800001, 0x7fdead00, 0xffa00000}; }
    static uint32_t nan_fill() { return 0xffc0beef; }
};

// Data with about 1 % NaN of assorted kinds among the special values and
// random numbers, and the expected result for the given fill.
template <class T>
void make_case(size_t count, uint64_t seed, Bits<T> fill, std::vector<T>& data, std::vector<Bits<T>>& expected) {
    std::mt19937_64 rng(seed);
    const auto kept = Specials<T>::kept();
    const auto nans = Specials<T>::nans();
    data.resize(count);
    expected.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint64_t r = rng();
        Bits<T> b;
        if (r % 100 == 0) {
            b = nans[(r >> 8) % nans.size()];
            expected[i] = fill;
        } else {
            b = r % 7 == 0 ? kept[(r >> 8) % kept.size()] : static_cast<Bits<T>>(bits(static_cast<T>(r >> 20)));
            expected[i] = b;
        }
        data[i] = from_bits<T>(b);
    }
}

template <class T>
void check_threads_and_sizes() {
    // Below and above the size where the copy switches to streaming stores;
    // the destination offset by one element exercises the unaligned start.
    const Bits<T> fill = bits(static_cast<T>(-7.25));
    for (size_t count : {size_t{1}, size_t{3}, size_t{1000} + 3, (size_t{8} << 20) / sizeof(T) + 13}) {
        std::vector<T> data;
        std::vector<Bits<T>> expected;
        make_case<T>(count, count, fill, data, expected);
        const T fill_value = from_bits<T>(fill);
        for (int threads : {1, 2, 7}) {
            SCOPED_TRACE(testing::Message() << count << " elements, " << threads << " threads");
            omp_set_num_threads(threads);
            std::vector<T> out(count + 1);
            fillNaN(data.data(), out.data() + 1, count, &fill_value, type_of<T>());
            std::vector<Bits<T>> got(count);
            std::memcpy(got.data(), out.data() + 1, count * sizeof(T));
            EXPECT_EQ(got, expected);
        }
    }
    omp_set_num_threads(omp_get_num_procs());
}

}  // namespace

TEST(FillNaNCore, ResultIsTheSameForOneTwoAndSevenThreads) {
    check_threads_and_sizes<double>();
    check_threads_and_sizes<float>();
}

TEST(FillNaNCore, SpecialValuesAreKeptAndEveryNaNReplacedBitForBit) {
    // Including a NaN fill, which keeps its own payload and sign.
    auto check = [](auto zero) {
        using T = decltype(zero);
        const auto kept = Specials<T>::kept();
        const auto nans = Specials<T>::nans();
        std::vector<T> data;
        std::vector<Bits<T>> expected;
        const Bits<T> fill = Specials<T>::nan_fill();
        for (auto b : kept) {
            data.push_back(from_bits<T>(b));
            expected.push_back(b);
        }
        for (auto b : nans) {
            data.push_back(from_bits<T>(b));
            expected.push_back(fill);
        }
        const T fill_value = from_bits<T>(fill);
        std::vector<T> out(data.size());
        fillNaN(data.data(), out.data(), data.size(), &fill_value, type_of<T>());
        std::vector<Bits<T>> got(out.size());
        std::memcpy(got.data(), out.data(), out.size() * sizeof(T));
        EXPECT_EQ(got, expected);
    };
    check(0.0);
    check(0.0f);
}

TEST(FillNaNCore, FillIsReadOnlyWhenANaNIsMet) {
    const std::vector<double> data(5000, 2.5);
    std::vector<double> out(data.size());
    fillNaN(data.data(), out.data(), data.size(), nullptr, NanFillType::Double);
    EXPECT_EQ(out, data);
    fillNaN(nullptr, nullptr, 0, nullptr, NanFillType::Single);
    EXPECT_FALSE(containsNaN(data.data(), data.size(), NanFillType::Double));
    const float with_nan[] = {1, NAN, 2};
    EXPECT_TRUE(containsNaN(with_nan, 3, NanFillType::Single));
}

TEST(FillNaNGateway, KeepsClassAndShape) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto result = module().call(1, {numeric<double>({1, 3}, {1, nan, 3}), Array::scalar(0)});
    ASSERT_EQ(expect_success(result).size(), 1u);
    EXPECT_EQ(result.outputs[0].values(), (std::vector<double>{1, 0, 3}));

    struct Case {
        std::vector<size_t> dims;
    } shapes[] = {{{2, 3, 4}}, {{0, 0}}, {{0, 3}}, {{2, 0, 4}}, {{1, 1, 1, 5}}};
    for (const Case& c : shapes) {
        size_t count = 1;
        for (size_t d : c.dims) count *= d;
        for (bool single : {false, true}) {
            SCOPED_TRACE(testing::Message() << count << (single ? " single" : " double"));
            std::vector<double> values(count);
            for (size_t i = 0; i < count; ++i) values[i] = i % 5 == 1 ? nan : double(i);
            const Array data = single ? numeric<float>(c.dims, std::vector<float>(values.begin(), values.end()))
                                      : numeric<double>(c.dims, values);
            const auto r = module().call(1, {data, Array::scalar(-1)});
            ASSERT_EQ(expect_success(r).size(), 1u);
            const Array& y = r.outputs[0];
            EXPECT_EQ(y.class_id(), data.class_id());
            EXPECT_EQ(y.dims(), data.dims());
            for (size_t i = 0; i < count; ++i) {
                const double expected = i % 5 == 1 ? -1 : double(i);
                EXPECT_EQ(single ? double(y.data<float>()[i]) : y.data<double>()[i], expected);
            }
        }
    }
}

TEST(FillNaNGateway, FillIsConvertedAsByAssignment) {
    auto with = [](mxClassID class_id, auto value) {
        Array array = Array::numeric(class_id, {1, 2});
        using V = decltype(value);
        std::memcpy(array.data<V>(), &value, sizeof value);  // first element; the second is ignored
        return array;
    };
    const float nan_single = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        Array fill;
        double as_double;
        float as_single;
    } cases[] = {
        {Array::scalar(0.1), 0.1, 0.1f},                        // double → single rounds
        {with(mxSINGLE_CLASS, 0.1f), double(0.1f), 0.1f},       // single → double is exact
        {Array::scalar(1e300), 1e300, INFINITY},                // overflows single
        {with(mxINT8_CLASS, int8_t{-5}), -5, -5},
        {with(mxUINT8_CLASS, uint8_t{200}), 200, 200},
        {with(mxINT16_CLASS, int16_t{-30000}), -30000, -30000},
        {with(mxUINT32_CLASS, uint32_t{4294967295u}), 4294967295.0, 4294967296.0f},
        {with(mxINT32_CLASS, int32_t{16777217}), 16777217, 16777216.0f},  // ties to even in single
        {with(mxINT64_CLASS, int64_t{9007199254740993}), 9007199254740992.0, 9007199254740992.0f},
        {with(mxUINT64_CLASS, UINT64_MAX), 18446744073709551616.0, 18446744073709551616.0f},
        {with(mxLOGICAL_CLASS, uint8_t{1}), 1, 1},
        {with(mxLOGICAL_CLASS, uint8_t{0}), 0, 0},
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.as_double << " from " << mxGetClassName(c.fill.get()));
        const auto d = module().call(1, {numeric<double>({1, 2}, {nan, 4}), c.fill});
        ASSERT_EQ(expect_success(d).size(), 1u);
        EXPECT_EQ(bits(d.outputs[0].data<double>()[0]), bits(c.as_double));
        EXPECT_EQ(d.outputs[0].data<double>()[1], 4);
        const auto s = module().call(1, {numeric<float>({2, 1}, {nan_single, 4}), c.fill});
        ASSERT_EQ(expect_success(s).size(), 1u);
        EXPECT_EQ(bits(s.outputs[0].data<float>()[0]), bits(c.as_single));
    }
}

TEST(FillNaNGateway, EmptyFillIsAcceptedOnlyWithoutNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto ok = module().call(1, {numeric<double>({1, 3}, {1, 2, 3}), Array::matrix(0, 0)});
    ASSERT_EQ(expect_success(ok).size(), 1u);
    EXPECT_EQ(ok.outputs[0].values(), (std::vector<double>{1, 2, 3}));
    const auto empty = module().call(1, {Array::matrix(0, 3), Array::cell(0, 0)});
    EXPECT_TRUE(empty.failed) << "a cell fill is rejected even when nothing is filled";
    const auto none = module().call(1, {Array::matrix(0, 3), Array::numeric(mxINT8_CLASS, {0, 0})});
    ASSERT_EQ(expect_success(none).size(), 1u);
    EXPECT_EQ(none.outputs[0].dims(), (std::vector<size_t>{0, 3}));

    const size_t before = mexhost::live_allocations();
    expect_error(module().call(1, {numeric<double>({1, 3}, {1, nan, 3}), Array::matrix(1, 0)}), "fill_nan:emptyFill",
                 "Input 2 (v) is empty, but input 1 (X) holds NaN to replace.");
    EXPECT_EQ(mexhost::live_allocations(), before);
}

TEST(FillNaNGateway, CountAndClassErrors) {
    const Array x = Array::row({1, 2});
    const Array v = Array::scalar(0);
    const char* const type_message = "Only single and double types are supported!\n";
    expect_errors(module(), {
        {1, {x}, "", "Two input required."},
        {1, {x, v, v}, "", "Two input required."},
        {0, {x, v}, "", "One output required."},
        {2, {x, v}, "", "One output required."},
        {1, {Array::numeric(mxINT32_CLASS, {2, 2}), v}, "data:TypeError", type_message},
        {1, {Array::numeric(mxUINT8_CLASS, {1, 1}), v}, "data:TypeError", type_message},
        {1, {Array::numeric(mxINT64_CLASS, {0, 0}), v}, "data:TypeError", type_message},
        {1, {Array::numeric(mxLOGICAL_CLASS, {2, 1}), v}, "data:TypeError", type_message},
        {1, {Array::char_row("ab"), v}, "data:TypeError", type_message},
        {1, {Array::cell(1, 1), v}, "data:TypeError", type_message},
        {1, {Array::structure(1, 1), v}, "data:TypeError", type_message},
        {1, {Array::complex_matrix(2, 2), v}, "fill_nan:notReal",
         "Input 1 (X) must be a real full single or double array, not complex double."},
        {1, {x, Array::char_row("a")}, "fill_nan:badFill",
         "Input 2 (v) must be a real numeric or logical value, not char."},
        {1, {x, Array::cell(1, 1)}, "fill_nan:badFill", "Input 2 (v) must be a real numeric or logical value, not cell."},
        {1, {x, Array::structure(1, 1)}, "fill_nan:badFill",
         "Input 2 (v) must be a real numeric or logical value, not struct."},
        {1, {x, Array::complex_matrix(1, 1)}, "fill_nan:badFill",
         "Input 2 (v) must be a real numeric or logical value, not complex double."},
    });
}

TEST(FillNaNGateway, ResultIsTheSameForOneTwoAndSevenThreads) {
    std::vector<double> data;
    std::vector<uint64_t> expected;
    make_case<double>(100003, 11, bits(3.5), data, expected);
    const Array x = numeric<double>({100003, 1}, data);
    for (int threads : {1, 2, 7}) {
        SCOPED_TRACE(threads);
        omp_set_num_threads(threads);
        const auto r = module().call(1, {x, Array::scalar(3.5)});
        ASSERT_EQ(expect_success(r).size(), 1u);
        EXPECT_EQ(bits_of<double>(r.outputs[0]), expected);
    }
    omp_set_num_threads(omp_get_num_procs());
}
