// Samples per second of gauss3_eval_rows, against a plain loop over the math
// library's exp on the same exponent arguments: the limit for an exact
// evaluation, since exp dominates the cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "gauss3.hpp"

namespace {

struct Samples {
    std::vector<double> x, y, z, out;
    double c[3] = {0.5, -0.25, 1.0};
    double sxy = 1.5;
    double sz = 3.0;

    explicit Samples(size_t m) : x(m), y(m), z(m), out(m) {
        std::mt19937_64 rng(1);
        std::uniform_real_distribution<double> coordinate(-4, 4);
        for (size_t i = 0; i < m; ++i) {
            x[i] = coordinate(rng);
            y[i] = coordinate(rng);
            z[i] = coordinate(rng);
        }
    }
};

void BM_gauss3_eval_rows(benchmark::State& state) {
    Samples s(static_cast<size_t>(state.range(0)));
    const auto m = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        gauss3_eval_rows(s.x.data(), s.y.data(), s.z.data(), s.c, &s.sxy, &s.sz, m, s.out.data());
        benchmark::DoNotOptimize(s.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_plain_exp_loop(benchmark::State& state) {
    Samples s(static_cast<size_t>(state.range(0)));
    std::vector<double> arguments(s.x.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        arguments[i] = gauss3_exponent(s.x[i], s.y[i], s.z[i], s.c[0], s.c[1], s.c[2], s.sxy, s.sz);
    }
    for (auto _ : state) {
        for (size_t i = 0; i < arguments.size(); ++i) s.out[i] = std::exp(arguments[i]);
        benchmark::DoNotOptimize(s.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_gauss3_eval_rows)->Arg(1 << 10)->Arg(1 << 20)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_plain_exp_loop)->Arg(1 << 10)->Arg(1 << 20)->Arg(10000000)->Unit(benchmark::kMillisecond);
