// fill_nan on 10^8 doubles and 10^8 singles with 1 % NaN: the kernel into
// warm memory with the runtime's default threads, against a two-thread
// memcpy of the same bytes, and the module end to end in the embedded host
// (a fresh output on every call).
//
//   bench_nanfill --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "mexhost.hpp"
#include "nanfill.hpp"

namespace {

constexpr size_t kCount = 100000000;

template <class T>
void put_data_with_nan(T* x, size_t count) {
    std::mt19937_64 rng(1);
    for (size_t i = 0; i < count; ++i) {
        const uint64_t r = rng();
        x[i] = r % 100 == 0 ? std::numeric_limits<T>::quiet_NaN() : static_cast<T>(r >> 40);
    }
}

template <class T>
std::vector<T> data_with_nan(size_t count) {
    std::vector<T> x(count);
    put_data_with_nan(x.data(), count);
    return x;
}

template <class T>
void BM_fillNaN(benchmark::State& state) {
    const auto x = data_with_nan<T>(kCount);
    std::vector<T> y(kCount, 1);  // warm
    const T fill = 0;
    for (auto _ : state) {
        fillNaN(x.data(), y.data(), kCount, &fill, sizeof(T) == 8 ? NanFillType::Double : NanFillType::Single);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kCount * sizeof(T)));
    state.counters["threads"] = omp_get_max_threads();
}

// The reference: the same bytes copied by two threads, one half each.
template <class T>
void BM_memcpy_two_threads(benchmark::State& state) {
    const auto x = data_with_nan<T>(kCount);
    std::vector<T> y(kCount, 1);
    const size_t half = kCount / 2;
    for (auto _ : state) {
#pragma omp parallel num_threads(2)
        {
            const size_t begin = omp_get_thread_num() == 0 ? 0 : half;
            const size_t end = omp_get_thread_num() == 0 ? half : kCount;
            std::memcpy(y.data() + begin, x.data() + begin, (end - begin) * sizeof(T));
        }
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kCount * sizeof(T)));
}

template <class T>
void BM_fill_nan_embedded(benchmark::State& state) {
    const mexhost::Module module(std::string(MEX_MODULE_DIR) + "/fill_nan.mexa64");
    mexhost::Array x = mexhost::Array::numeric(sizeof(T) == 8 ? mxDOUBLE_CLASS : mxSINGLE_CLASS, {kCount, 1});
    put_data_with_nan(x.data<T>(), kCount);
    // Built once: the argument list holds copies of the arrays.
    const std::vector<mexhost::Array> inputs{x, mexhost::Array::scalar(0)};
    x = mexhost::Array();
    for (auto _ : state) {
        auto result = module.call(1, inputs);
        if (result.failed) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.outputs.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kCount * sizeof(T)));
}

}  // namespace

BENCHMARK(BM_fillNaN<double>)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_memcpy_two_threads<double>)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_fill_nan_embedded<double>)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_fillNaN<float>)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_memcpy_two_threads<float>)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_fill_nan_embedded<float>)->Unit(benchmark::kMillisecond)->UseRealTime();
