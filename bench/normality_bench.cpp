// The Anderson–Darling core on presorted normal samples of 10^6 and 10^7
// values: the statistic alone, the full decision, and adtest, which sorts a
// copy first. Compare with bench/peers/normality.py (NumPy and SciPy).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "adtest.hpp"

namespace {

// A presorted N(0, 1) sample, built once per size.
const std::vector<double>& sorted_normal(int64_t n) {
    static std::vector<double> sample;
    if (static_cast<int64_t>(sample.size()) != n) {
        sample.resize(static_cast<size_t>(n));
        std::mt19937_64 rng(42);
        std::normal_distribution<double> draw(0.0, 1.0);
        for (double& v : sample) v = draw(rng);
        std::sort(sample.begin(), sample.end());
    }
    return sample;
}

void BM_adtest_statistic(benchmark::State& state) {
    const std::vector<double>& x = sorted_normal(state.range(0));
    const auto n = static_cast<int32_t>(x.size());
    for (auto _ : state) benchmark::DoNotOptimize(adtest_statistic(x.data(), n, 0.0, 1.0, 0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_adtest_sorted_data(benchmark::State& state) {
    const std::vector<double>& x = sorted_normal(state.range(0));
    const auto n = static_cast<int32_t>(x.size());
    for (auto _ : state) benchmark::DoNotOptimize(adtest_sorted_data(x.data(), n, 0.0, 1.0, 0.05, 3));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_adtest_unsorted(benchmark::State& state) {
    std::vector<double> x = sorted_normal(state.range(0));
    std::shuffle(x.begin(), x.end(), std::mt19937_64(7));
    const auto n = static_cast<int32_t>(x.size());
    for (auto _ : state) benchmark::DoNotOptimize(adtest(x.data(), n, 0.0, 1.0, 0.05, 3));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_adtest_statistic)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_adtest_sorted_data)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_adtest_unsorted)->Arg(1000000)->Unit(benchmark::kMillisecond);
