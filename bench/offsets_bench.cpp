// pairwise_offsets: the kernel writing its 2·m·n outputs into warm memory,
// against the machine's single-thread write bandwidth for the same bytes
// (memset and a streaming-store fill), and the module end to end in the
// embedded host (fresh outputs on every call).
//
//   bench_offsets --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <emmintrin.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "mexhost.hpp"
#include "offsets.hpp"

namespace {

std::vector<double> points(size_t count, uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> coordinate(-1e3, 1e3);
    std::vector<double> p(2 * count);
    for (double& v : p) v = coordinate(rng);
    return p;
}

void set_bytes(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    // Time per output entry (one DX and one DY value).
    state.counters["per_entry"] = benchmark::Counter(static_cast<double>(bytes / 16),
                                                        benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}

void BM_calcDiffMatrix(benchmark::State& state) {
    const auto m = static_cast<int32_t>(state.range(0)), n = static_cast<int32_t>(state.range(1));
    const auto p = points(m, 1), q = points(n, 2);
    std::vector<double> dx(size_t(m) * n, 1), dy(size_t(m) * n, 1);  // warm
    for (auto _ : state) {
        calcDiffMatrix(dx.data(), dy.data(), p.data(), q.data(), m, n);
        benchmark::DoNotOptimize(dx.data());
        benchmark::DoNotOptimize(dy.data());
        benchmark::ClobberMemory();
    }
    set_bytes(state, 2 * dx.size() * sizeof(double));
}

// Write bandwidth references: the same bytes, written by one thread.
void BM_write_memset(benchmark::State& state) {
    std::vector<double> out(2 * size_t(state.range(0)) * size_t(state.range(1)), 1);
    for (auto _ : state) {
        std::memset(out.data(), 0, out.size() * sizeof(double));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    set_bytes(state, out.size() * sizeof(double));
}

void BM_write_streaming(benchmark::State& state) {
    std::vector<double> out(2 * size_t(state.range(0)) * size_t(state.range(1)), 1);
    for (auto _ : state) {
        const __m128d zero = _mm_setzero_pd();
        for (size_t i = 0; i + 4 <= out.size(); i += 4) {
            _mm_stream_pd(out.data() + i, zero);
            _mm_stream_pd(out.data() + i + 2, zero);
        }
        _mm_sfence();
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    set_bytes(state, out.size() * sizeof(double));
}

// End to end: arguments in, two fresh outputs back, outputs released.
void BM_pairwise_offsets_embedded(benchmark::State& state) {
    const size_t m = state.range(0), n = state.range(1);
    const mexhost::Module module(std::string(MEX_MODULE_DIR) + "/pairwise_offsets.mexa64");
    const auto p = points(m, 1), q = points(n, 2);
    // Built once: the argument list holds copies of the arrays.
    const std::vector<mexhost::Array> inputs{mexhost::Array::matrix(m, 2, p), mexhost::Array::matrix(n, 2, q)};
    for (auto _ : state) {
        auto result = module.call(2, inputs);
        if (result.failed) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.outputs.data());
    }
    set_bytes(state, 2 * m * n * sizeof(double));
}

void shapes(benchmark::internal::Benchmark* b) {
    b->Args({5000, 5000})->Args({20000, 2000})->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(BM_calcDiffMatrix)->Apply(shapes);
BENCHMARK(BM_write_memset)->Apply(shapes);
BENCHMARK(BM_write_streaming)->Apply(shapes);
BENCHMARK(BM_pairwise_offsets_embedded)->Apply(shapes);
