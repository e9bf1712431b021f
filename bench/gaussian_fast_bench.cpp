// gauss3_eval_approx against gauss3_eval, and accum_derivs3, two ways:
//   - the cores into warm output memory (the output is written once before
//     timing, so no first-touch page faults are counted);
//   - end to end through the embedded host (Module::call), as MATLAB would
//     call them: validation, a fresh zero-filled output, the core.
// Run: build/release/bench/bench_gaussian --benchmark_filter='Approx|Exact|Derivs'
//      --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "derivs3.hpp"
#include "gauss3.hpp"
#include "gauss3_approx.hpp"
#include "mexhost.hpp"

namespace {

constexpr int64_t kEvalSamples = 10000000;
constexpr int64_t kDerivSamples = 1000000;

// Columns of uniform values in [lo, hi), as host arrays (the kernels read
// their data in place, so the same arrays serve both ways of timing).
std::vector<mexhost::Array> columns(int count, int64_t m, double lo, double hi, uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> value(lo, hi);
    std::vector<mexhost::Array> out;
    for (int k = 0; k < count; ++k) {
        mexhost::Array column = mexhost::Array::matrix(static_cast<size_t>(m), 1);
        double* data = column.data<double>();
        for (int64_t i = 0; i < m; ++i) data[i] = value(rng);
        out.push_back(std::move(column));
    }
    return out;
}

// Samples within about 6 widths of the centre, the working range of a fit.
struct EvalInputs {
    std::vector<mexhost::Array> xyz = columns(3, kEvalSamples, -6, 6, 1);
    mexhost::Array c = mexhost::Array::row({0.5, -0.25, 1.0});
    mexhost::Array sxy = mexhost::Array::scalar(1.5);
    mexhost::Array sz = mexhost::Array::scalar(3.0);
    std::vector<double> out = std::vector<double>(kEvalSamples, 0.0);

    std::vector<mexhost::Array> arguments() const { return {xyz[0], xyz[1], xyz[2], c, sxy, sz}; }
};

EvalInputs& eval_inputs() {
    static EvalInputs inputs;
    return inputs;
}

const mexhost::Module& module(const char* name) {
    static std::deque<mexhost::Module> loaded;
    for (const mexhost::Module& m : loaded) {
        if (m.path().find(std::string("/") + name + ".") != std::string::npos) return m;
    }
    loaded.emplace_back(std::string(MEX_MODULE_DIR) + "/" + name + ".mexa64");
    return loaded.back();
}

template <class Rows>
void run_eval_kernel(benchmark::State& state, Rows rows) {
    EvalInputs& in = eval_inputs();
    const auto m = static_cast<int32_t>(kEvalSamples);
    for (auto _ : state) {
        rows(in.xyz[0].data<double>(), in.xyz[1].data<double>(), in.xyz[2].data<double>(), in.c.data<double>(),
             in.sxy.data<double>(), in.sz.data<double>(), m, in.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kEvalSamples);
}

void BM_Exact_kernel(benchmark::State& state) { run_eval_kernel(state, gauss3_eval_rows); }

void BM_Approx_kernel(benchmark::State& state) { run_eval_kernel(state, gauss3_eval_approx_rows); }

// Each instruction-set path on its own (skipped where the CPU lacks it).
void BM_Approx_kernel_path(benchmark::State& state) {
    const auto path = static_cast<SimdLevel>(state.range(0));
    state.SetLabel(simd_level_name(path));
    if (!simd_level_supported(path)) {
        state.SkipWithError("not supported by this CPU");
        return;
    }
    run_eval_kernel(state, [path](auto... arguments) { gauss3_eval_approx_rows_on(path, arguments...); });
}

void run_module(benchmark::State& state, const char* name, const std::vector<mexhost::Array>& arguments, int nlhs,
                int64_t samples) {
    const mexhost::Module& m = module(name);
    for (auto _ : state) {
        mexhost::CallResult result = m.call(nlhs, arguments);
        if (result.failed) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.outputs.data());
    }
    state.SetItemsProcessed(state.iterations() * samples);
}

void BM_Exact_module(benchmark::State& state) {
    run_module(state, "gauss3_eval", eval_inputs().arguments(), 1, kEvalSamples);
}

void BM_Approx_module(benchmark::State& state) {
    run_module(state, "gauss3_eval_approx", eval_inputs().arguments(), 1, kEvalSamples);
}

struct DerivInputs {
    std::vector<mexhost::Array> uvwab = columns(5, kDerivSamples, -1, 1, 2);
    mexhost::Array sxy = mexhost::Array::scalar(1.5);
    mexhost::Array sz = mexhost::Array::scalar(3.0);
};

DerivInputs& deriv_inputs() {
    static DerivInputs inputs;
    return inputs;
}

void BM_Derivs_kernel(benchmark::State& state) {
    DerivInputs& in = deriv_inputs();
    double g[3], H[9];
    for (auto _ : state) {
        std::fill(g, g + 3, 0.0);
        std::fill(H, H + 9, 0.0);
        accum_derivs3_rows(in.uvwab[0].data<double>(), in.uvwab[1].data<double>(), in.uvwab[2].data<double>(),
                           in.uvwab[3].data<double>(), in.uvwab[4].data<double>(), in.sxy.data<double>(),
                           in.sz.data<double>(), static_cast<int32_t>(kDerivSamples), g, H);
        benchmark::DoNotOptimize(g);
        benchmark::DoNotOptimize(H);
    }
    state.SetItemsProcessed(state.iterations() * kDerivSamples);
}

void BM_Derivs_module(benchmark::State& state) {
    DerivInputs& in = deriv_inputs();
    run_module(state, "accum_derivs3", {in.uvwab[0], in.uvwab[1], in.uvwab[2], in.uvwab[3], in.uvwab[4], in.sxy, in.sz},
               2, kDerivSamples);
}

}  // namespace

BENCHMARK(BM_Exact_kernel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Approx_kernel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Approx_kernel_path)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Exact_module)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Approx_module)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Derivs_kernel)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Derivs_module)->Unit(benchmark::kMicrosecond)->UseRealTime();
