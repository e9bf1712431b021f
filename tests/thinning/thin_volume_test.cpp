// The thin_volume module through the embedded host.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "module_test.hpp"
#include "thinning.hpp"
#include "volumes.hpp"

using mexhost::Array;

namespace {

const mexhost::Module& module() {
    static const mexhost::Module m = load_module("thin_volume");
    return m;
}

Array logicalVolume(const Volume& v) {
    Array a = Array::numeric(mxLOGICAL_CLASS, {size_t(v.M), size_t(v.N), size_t(v.P)});
    if (!v.bytes.empty()) std::memcpy(a.data<unsigned char>(), v.bytes.data(), v.bytes.size());
    return a;
}

const char* const kInputs = "This function accepts exactly 1 input argument - a binary 3D matrix!";
const char* const kOutputs = "This function has exactly 1 output argument - a binary 3D matrix!";

}  // namespace

TEST(ThinVolumeGateway, ThinsAndLeavesTheInputAlone) {
    const Volume input = blobs(15, 14, 13, 0.5, 4);
    Volume expected = input;
    thinVolumeReference(expected.bytes.data(), expected.M, expected.N, expected.P);
    const Array a = logicalVolume(input);
    const auto result = module().call(1, {a});
    const auto& outputs = expect_success(result);
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(outputs[0].class_id(), mxLOGICAL_CLASS);
    EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{15, 14, 13}));
    const unsigned char* out = outputs[0].data<unsigned char>();
    EXPECT_EQ(std::vector<unsigned char>(out, out + expected.bytes.size()), expected.bytes);
    EXPECT_EQ(std::memcmp(a.data<unsigned char>(), input.bytes.data(), input.bytes.size()), 0);
}

TEST(ThinVolumeGateway, EmptyDimensionsGiveAnEmptyLogicalArray) {
    for (auto dims : {std::vector<size_t>{0, 3, 4}, {3, 0, 4}, {3, 4, 0}, {0, 0, 0}}) {
        const auto result = module().call(1, {Array::numeric(mxLOGICAL_CLASS, dims)});
        const auto& outputs = expect_success(result);
        ASSERT_EQ(outputs.size(), 1u);
        EXPECT_EQ(outputs[0].class_id(), mxLOGICAL_CLASS);
        EXPECT_EQ(outputs[0].dims(), dims);
    }
}

TEST(ThinVolumeGateway, CountAndValidationErrors) {
    const Array good = Array::numeric(mxLOGICAL_CLASS, {3, 3, 3});
    const char* const not3D = "The input matrix must be 3D!";
    const char* const notLogical = "The input matrix must be logical!";
    expect_errors(
        module(),
        {
            {1, {}, "", kInputs},
            {1, {good, good}, "", kInputs},
            {0, {good, good}, "", kInputs},  // inputs are checked first
            {0, {good}, "", kOutputs},
            {2, {good}, "", kOutputs},
            {1, {Array::numeric(mxLOGICAL_CLASS, {3, 3})}, "thin_volume:not3D", not3D},
            {1, {Array::numeric(mxLOGICAL_CLASS, {3, 3, 3, 2})}, "thin_volume:not3D", not3D},
            {1, {Array::numeric(mxDOUBLE_CLASS, {3, 3})}, "thin_volume:not3D", not3D},  // dimensions come first
            {1, {Array::cell(1, 1)}, "thin_volume:not3D", not3D},
            {1, {Array::numeric(mxDOUBLE_CLASS, {3, 3, 3})}, "thin_volume:notLogical", notLogical},
            {1, {Array::numeric(mxUINT8_CLASS, {3, 3, 3})}, "thin_volume:notLogical", notLogical},
        });
}

// With the address space capped so that the output fits but the working
// volume does not, the call fails with a clear error instead of crashing.
// Runs in a child process, since the cap cannot be lifted again.
TEST(ThinVolumeGateway, WorkingVolumeThatCannotBeAllocated) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers reserve address space of their own";
#endif
    // 64 MiB, passed as it is: the call's input list is made before the cap.
    const std::vector<Array> inputs{Array::numeric(mxLOGICAL_CLASS, {512, 512, 256})};
    module();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        long pages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%ld", &pages) != 1) _exit(2);
        std::fclose(statm);
        const rlim_t cap = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (96u << 20);
        const rlimit limit{cap, cap};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
        mexhost::CallResult result;
        try {
            result = module().call(1, inputs);
        } catch (...) {
            _exit(4);
        }
        const bool clear =
            result.failed && result.identifier == "thin_volume:outOfMemory" &&
            result.message ==
                "Cannot allocate the working volume of 67108864 bytes; free memory or thin a smaller volume.";
        _exit(clear ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
