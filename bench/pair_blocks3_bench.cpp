// pair_blocks3 at the sizes (M, N) = (2000, 100), (2000, 500), (500, 1500) and
// a few more for the growth with M*N^2:
//  - BM_pair_blocks3_fill: the core into warm output memory (the output is
//    summed into again on every iteration; values do not change the time),
//    with the instruction set chosen at run time;
//  - BM_pair_blocks3_isa: the same with each instruction set forced;
//  - BM_pair_blocks3_module: end to end through the embedded host, including
//    the fresh zero-filled output and its first touch.
// "Time" is wall-clock, "CPU" the thread's own time: on a shared machine the
// CPU column is the steadier one. pair_samples/s counts M*N(N-1)/2 per call.
// The NumPy/BLAS formulation for comparison: bench/peers/pair_blocks3.py.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "mexhost.hpp"
#include "pair_blocks3.hpp"

namespace {

struct Inputs {
    int64_t m, n;
    std::vector<double> u, v, w, a;

    Inputs(int64_t m_, int64_t n_) : m(m_), n(n_) {
        std::mt19937_64 rng(1);
        std::normal_distribution<double> normal;
        for (auto* x : {&u, &v, &w, &a}) {
            x->resize(static_cast<size_t>(m * n));
            for (double& e : *x) e = normal(rng);
        }
    }
};

void count_pairs(benchmark::State& state, int64_t m, int64_t n) {
    const double pairs = static_cast<double>(m) * static_cast<double>(n) * static_cast<double>(n - 1) / 2;
    state.counters["pair_samples/s"] = benchmark::Counter(pairs * state.iterations(), benchmark::Counter::kIsRate);
}

void run_fill(benchmark::State& state, SimdLevel level) {
    if (!simd_level_supported(level)) {
        state.SkipWithError("instruction set not supported here");
        return;
    }
    const Inputs in(state.range(0), state.range(1));
    std::vector<double> k(static_cast<size_t>(9 * in.n * in.n), 0.0);
    for (auto _ : state) {
        pair_blocks3_fill_on(level, in.u.data(), in.v.data(), in.w.data(), in.a.data(), in.m, in.n, k.data());
        benchmark::DoNotOptimize(k.data());
        benchmark::ClobberMemory();
    }
    count_pairs(state, in.m, in.n);
}

void BM_pair_blocks3_fill(benchmark::State& state) { run_fill(state, widest_simd_level()); }

void BM_pair_blocks3_isa(benchmark::State& state) {
    const auto level = static_cast<SimdLevel>(state.range(2));
    state.SetLabel(simd_level_name(level));
    run_fill(state, level);
}

void BM_pair_blocks3_module(benchmark::State& state) {
    const Inputs in(state.range(0), state.range(1));
    const auto matrix = [&](const std::vector<double>& x) {
        return mexhost::Array::matrix(static_cast<size_t>(in.m), static_cast<size_t>(in.n), x);
    };
    const std::vector<mexhost::Array> inputs = {matrix(in.u), matrix(in.v), matrix(in.w), matrix(in.a)};
    const mexhost::Module module(std::string(MEX_MODULE_DIR) + "/pair_blocks3.mexa64");
    for (auto _ : state) {
        const mexhost::CallResult result = module.call(1, inputs);
        if (result.failed) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.outputs.data());
    }
    count_pairs(state, in.m, in.n);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"M", "N"});
    for (const auto& [m, n] :
         std::vector<std::pair<int64_t, int64_t>>{{2000, 100}, {2000, 250}, {2000, 500}, {2000, 1000}, {500, 1500}}) {
        b->Args({m, n});
    }
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_pair_blocks3_fill)->Apply(sizes);
BENCHMARK(BM_pair_blocks3_isa)
    ->ArgNames({"M", "N", "isa"})
    ->Args({2000, 500, static_cast<int64_t>(SimdLevel::sse2)})
    ->Args({2000, 500, static_cast<int64_t>(SimdLevel::avx2)})
    ->Args({2000, 500, static_cast<int64_t>(SimdLevel::avx512)})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_pair_blocks3_module)->Apply(sizes);
