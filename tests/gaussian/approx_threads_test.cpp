// gauss3_eval_approx_rows picks its instruction-set path on the first call:
// first calls from several threads at once must agree and not race.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "gauss3_approx.hpp"

TEST(Gauss3ApproxThreads, ConcurrentFirstCallsAgree) {
    constexpr int kThreads = 4;
    constexpr int32_t kSamples = 1000;
    std::vector<double> x(kSamples), zeros(kSamples, 0.0);
    for (int32_t i = 0; i < kSamples; ++i) x[i] = 0.01 * i;
    const double c[3] = {0, 0, 0}, sxy = 1, sz = 1;
    std::vector<std::vector<double>> out(kThreads, std::vector<double>(kSamples));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            gauss3_eval_approx_rows(x.data(), zeros.data(), zeros.data(), c, &sxy, &sz, kSamples, out[t].data());
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::vector<double> expected(kSamples);
    gauss3_eval_approx_rows_on(SimdLevel::sse2, x.data(), zeros.data(), zeros.data(), c, &sxy, &sz, kSamples,
                               expected.data());
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(out[t], expected) << "thread " << t;
}
