// Thinnings running at the same time, in threads of one process, must not
// see each other's state: each uses its own neighbour table and lists.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "module_test.hpp"
#include "thinning.hpp"
#include "volumes.hpp"

namespace {

struct Job {
    Volume input;
    std::vector<unsigned char> expected;
};

// Different shapes, so that a shared offset table would give wrong
// neighbours to one of them.
std::vector<Job> jobs() {
    std::vector<Job> result;
    for (const Volume& v : {blobs(31, 17, 23, 0.5, 1), tubes(19, 29, 21, 3, 2.0, 2)}) {
        Volume thinned = v;
        thinVolumeReference(thinned.bytes.data(), thinned.M, thinned.N, thinned.P);
        result.push_back({v, thinned.bytes});
    }
    return result;
}

}  // namespace

TEST(ThinningConcurrency, TwoCoreThinningsAtOnce) {
    const std::vector<Job> work = jobs();
    std::vector<int> mismatches(work.size(), 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < work.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                Volume v = work[t].input;
                thinVolume(v.bytes.data(), v.M, v.N, v.P);
                mismatches[t] += v.bytes != work[t].expected;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int m : mismatches) EXPECT_EQ(m, 0);
}

TEST(ThinningConcurrency, TwoModuleCallsAtOnce) {
    const std::vector<Job> work = jobs();
    const mexhost::Module module = load_module("thin_volume");
    std::vector<int> mismatches(work.size(), 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < work.size(); ++t) {
        threads.emplace_back([&, t] {
            const Volume& v = work[t].input;
            mexhost::Array a = mexhost::Array::numeric(mxLOGICAL_CLASS, {size_t(v.M), size_t(v.N), size_t(v.P)});
            std::memcpy(a.data<unsigned char>(), v.bytes.data(), v.bytes.size());
            for (int round = 0; round < 10; ++round) {
                const auto result = module.call(1, {a});
                const unsigned char* out = result.failed ? nullptr : result.outputs[0].data<unsigned char>();
                mismatches[t] += !out || std::memcmp(out, work[t].expected.data(), v.bytes.size()) != 0;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int m : mismatches) EXPECT_EQ(m, 0);
}
