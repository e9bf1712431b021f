#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "mex.h"
#include "mexhost.hpp"
#include "module_test.hpp"

using mexhost::Array;

namespace {

const mexhost::Module& probe() {
    static const mexhost::Module module = load_module("probe_module");
    return module;
}

}  // namespace

TEST(EmbeddedHostArrays, DimensionsFollowTheHostRules) {
    struct Case {
        std::vector<size_t> requested;
        std::vector<size_t> kept;
        size_t numel;
    } cases[] = {
        {{}, {1, 1}, 1},           {{5}, {5, 1}, 5},          {{2, 3, 1}, {2, 3}, 6},
        {{2, 3, 4, 1, 1}, {2, 3, 4}, 24}, {{0, 3, 4}, {0, 3, 4}, 0}, {{1, 1, 1, 2}, {1, 1, 1, 2}, 2},
    };
    for (const Case& c : cases) {
        const Array array = Array::numeric(mxSINGLE_CLASS, c.requested);
        EXPECT_EQ(array.dims(), c.kept);
        EXPECT_EQ(array.numel(), c.numel);
        EXPECT_EQ(mxGetNumberOfDimensions_700(array.get()), static_cast<int>(c.kept.size()));
        EXPECT_EQ(mxGetDimensions_700(array.get())[0], static_cast<int>(c.kept[0]));
    }
    const Array matrix = Array::numeric(mxINT16_CLASS, {2, 3, 4});
    EXPECT_EQ(mxGetM(matrix.get()), 2u);
    EXPECT_EQ(mxGetN(matrix.get()), 12u);
}

TEST(EmbeddedHostArrays, ClassesAndZeroFill) {
    struct Case {
        mxClassID id;
        const char* name;
        size_t element_size;
    } cases[] = {{mxDOUBLE_CLASS, "double", 8}, {mxSINGLE_CLASS, "single", 4}, {mxLOGICAL_CLASS, "logical", 1},
                 {mxINT8_CLASS, "int8", 1},     {mxUINT16_CLASS, "uint16", 2}, {mxINT32_CLASS, "int32", 4},
                 {mxUINT64_CLASS, "uint64", 8}};
    for (const Case& c : cases) {
        const Array array = Array::numeric(c.id, {3, 5});
        EXPECT_STREQ(mxGetClassName(array.get()), c.name);
        EXPECT_TRUE(mxIsClass(array.get(), c.name));
        EXPECT_EQ(mxGetElementSize(array.get()), c.element_size);
        const auto* bytes = array.data<unsigned char>();
        for (size_t i = 0; i < 15 * c.element_size; ++i) ASSERT_EQ(bytes[i], 0);
    }
    EXPECT_EQ(static_cast<int>(mxDOUBLE_CLASS), 6);
    EXPECT_EQ(static_cast<int>(mxSINGLE_CLASS), 7);
    EXPECT_TRUE(mxIsClass(Array::string_object("a").get(), "string"));
    EXPECT_TRUE(mxIsChar(Array::char_row("a").get()));
    EXPECT_TRUE(mxIsCell(Array::cell(1, 2).get()));
    EXPECT_TRUE(mxIsStruct(Array::structure(1, 1).get()));
    EXPECT_TRUE(mxIsComplex(Array::complex_matrix(2, 2).get()));
}

TEST(EmbeddedHostArrays, LargeArraysAreHugePageAlignedAndZero) {
    const Array big = Array::matrix(1 << 20, 3);  // 24 MiB
    EXPECT_EQ(reinterpret_cast<uintptr_t>(mxGetPr(big.get())) % (2u << 20), 0u);
    const double* data = mxGetPr(big.get());
    for (size_t i = 0; i < big.numel(); i += 4096) ASSERT_EQ(data[i], 0.0);
    const Array copy = big;  // duplicates
    EXPECT_NE(mxGetPr(copy.get()), data);
}

TEST(EmbeddedHostArrays, TextConversions) {
    char* text = mxArrayToString(Array::char_row("~/stack.tif").get());
    EXPECT_STREQ(text, "~/stack.tif");
    mxFree(text);
    EXPECT_EQ(mxArrayToString(Array::scalar(1).get()), nullptr);
}

TEST(EmbeddedHostCalls, ErrorsCarryIdentifierAndMessageAndFreeTheCallsMemory) {
    const Array raise = Array::char_row("raise");
    const size_t before = mexhost::live_allocations();
    expect_error(probe().call(1, {raise}), "probe:raised", "raised 42%");
    expect_error(probe().call(1, {Array::char_row("raise_plain")}), "", "plain message");
    EXPECT_EQ(mexhost::live_allocations(), before);
}

TEST(EmbeddedHostCalls, MemoryNotReturnedIsReclaimedAndOutputsAreKept) {
    const Array abandon = Array::char_row("abandon");
    const size_t before = mexhost::live_allocations();
    {
        const auto result = probe().call(1, {abandon});
        const auto& outputs = expect_success(result);
        ASSERT_EQ(outputs.size(), 1u);
        EXPECT_EQ(outputs[0].values(), std::vector<double>{7});
        EXPECT_EQ(mexhost::live_allocations(), before + 1);
    }
    EXPECT_EQ(mexhost::live_allocations(), before);
}

TEST(EmbeddedHostCalls, SlotZeroExistsWithoutOutputsAndEveryRequestedSlotComesBack) {
    EXPECT_EQ(expect_success(probe().call(0, {Array::char_row("outputs")})).size(), 1u);
    const auto result = probe().call(3, {Array::char_row("outputs")});
    ASSERT_EQ(expect_success(result).size(), 3u);
    EXPECT_EQ(result.outputs[2].values(), std::vector<double>{2});
}

TEST(EmbeddedHostCalls, PrintingIsCaptured) {
    EXPECT_EQ(probe().call(0, {Array::char_row("print")}).printed, "answer=42\nsecond line\n");
}

TEST(EmbeddedHostCalls, CharOfStringObjectAndOfCharRow) {
    for (const Array& input : {Array::string_object("stack.tif"), Array::char_row("stack.tif")}) {
        const auto result = probe().call(1, {Array::char_row("char"), input});
        ASSERT_EQ(expect_success(result).size(), 1u);
        char* text = mxArrayToString(result.outputs[0].get());
        EXPECT_STREQ(text, "stack.tif");
        mxFree(text);
    }
}

TEST(EmbeddedHostCalls, UninitialisedCreationHasTheRequestedShape) {
    const auto result = probe().call(1, {Array::char_row("uninit")});
    ASSERT_EQ(expect_success(result).size(), 1u);
    EXPECT_EQ(result.outputs[0].class_id(), mxSINGLE_CLASS);
    EXPECT_EQ(result.outputs[0].dims(), (std::vector<size_t>{2, 3, 4}));
}

TEST(EmbeddedHostCalls, LoadingAgainReusesTheModule) {
    const mexhost::Module again = load_module("probe_module");
    EXPECT_FALSE(again.call(1, {Array::char_row("ok"), Array::row({1, 2, 3})}).failed);
    EXPECT_THROW(mexhost::Module("/nonexistent/none.mexa64"), std::runtime_error);
}

TEST(GatewayHelpers, CountsValidationAndCoreExceptionsBecomeHostErrors) {
    const Array ok = Array::char_row("ok");
    expect_errors(probe(),
                  {
                      {1, {ok}, "", "Two input required."},
                      {2, {ok, Array::row({1, 2, 3})}, "", "One output required."},
                      {1,
                       {ok, Array::row({1, 2})},
                       "probe:tooFewElements",
                       "Input 2 (values) must hold at least 3 elements, but holds 2."},
                      {1,
                       {ok, Array::numeric(mxSINGLE_CLASS, {1, 3})},
                       "probe:notRealDouble",
                       "Input 2 (values) must be a real double array, not single."},
                      {1,
                       {ok, Array::complex_matrix(1, 3)},
                       "probe:notRealDouble",
                       "Input 2 (values) must be a real double array, not complex double."},
                      {1, {Array::char_row("throw"), Array::row({1, 2, 3})}, "probe:error", "core failed"},
                      {1, {Array::char_row("bad_alloc"), Array::row({1, 2, 3})}, "probe:outOfMemory", "Out of memory."},
                  });
    const auto result = probe().call(1, {ok, Array::row({1, 2, 3})});
    EXPECT_EQ(expect_success(result)[0].values(), std::vector<double>{3});
}
