#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

#include "adtest.hpp"
#include "samples.hpp"

// The core keeps no state: calls on different data may run at once, and
// each gives what it gives alone.
TEST(AdtestConcurrency, ParallelCallsGiveTheSerialResults) {
    constexpr int kThreads = 4;
    std::vector<std::vector<double>> samples;
    std::vector<double> serial;
    for (int t = 0; t < kThreads; ++t) {
        std::vector<double> x = normal_sample();
        std::shuffle(x.begin(), x.end(), std::mt19937(static_cast<unsigned>(t)));
        for (double& v : x) v += 0.25 * t;
        samples.push_back(x);
        serial.push_back(adtest_statistic(x.data(), 40, 10.0, 2.0, 3));
    }
    std::vector<double> statistics(kThreads);
    std::vector<int> decisions(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int repeat = 0; repeat < 50; ++repeat) {
                statistics[t] = adtest_statistic(samples[t].data(), 40, 10.0, 2.0, 3);
                decisions[t] = adtest(samples[t].data(), 40, 10.0, 2.0, 0.05, 3);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(statistics[t], serial[t]);
        std::vector<double> sorted = samples[t];
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(decisions[t], adtest_sorted_data(sorted.data(), 40, 10.0, 2.0, 0.05, 3));
    }
}
