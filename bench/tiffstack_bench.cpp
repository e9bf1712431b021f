// Time to count the directories of a TIFF stack of 100, 10,000 and 70,000
// one-pixel pages: the probe (countStackSlices, and the whole readStackGeometry)
// against libtiff's TIFFNumberOfDirectories and a 21-probe search through
// TIFFSetDirectory, each with libtiff memory-mapping the file ("r", label
// "mapped") and reading it ("rm", label "unmapped"). On a mapped handle the
// probe reads the chain as tiff_stack_dims does (DirectoryAccess::automatic),
// on an unmapped one by block reads only. Every figure includes opening and
// closing the file.
//
//   bench_tiffstack [--stacks=FOLDER] [benchmark flags]
//
// FOLDER holds stack_<N>.tif as tiffstack_fixture writes them; without it the
// files are written to a temporary folder first.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "stack_geometry.hpp"
#include "tiff_fixtures.hpp"

namespace {

std::string stacksFolder;

std::string stackPath(int64_t pages) {
    const std::string path = stacksFolder + "/stack_" + std::to_string(pages) + ".tif";
    tiff_fixtures::Stack stack;
    stack.pages = static_cast<uint32_t>(pages);
    if (!std::filesystem::exists(path)) tiff_fixtures::write(path, stack);
    return path;
}

const char* modeOf(const benchmark::State& state) { return state.range(1) != 0 ? "r" : "rm"; }

TiffHandle openQuietly(const std::string& path, const char* mode) {
    const TiffMessagesSilenced silenced;
    TiffHandle handle(TIFFOpen(path.c_str(), mode));
    if (!handle) std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return handle;
}

void report(benchmark::State& state, uint64_t slices) {
    state.counters["slices"] = static_cast<double>(slices);
    state.SetLabel(state.range(1) != 0 ? "mapped" : "unmapped");
}

// Opens the file as the benchmark's mode says, counts with `count` and
// closes it, once per iteration.
template <class Count>
void timeCount(benchmark::State& state, Count count) {
    const std::string path = stackPath(state.range(0));
    uint64_t slices = 0;
    for (auto _ : state) {
        const TiffHandle handle = openQuietly(path, modeOf(state));
        slices = count(handle.get());
        benchmark::DoNotOptimize(slices);
    }
    report(state, slices);
}

void BM_countStackSlices(benchmark::State& state) {
    // As tiff_stack_dims reads the chain, and, on an unmapped handle, by block reads only.
    const DirectoryAccess access = state.range(1) != 0 ? DirectoryAccess::automatic : DirectoryAccess::reads;
    timeCount(state, [access](TIFF* handle) { return countStackSlices(handle, access).slices; });
}

// The whole probe behind tiff_stack_dims: open, tags, count, ImageJ check.
void BM_readStackGeometry(benchmark::State& state) {
    const std::string path = stackPath(state.range(0));
    uint64_t slices = 0;
    for (auto _ : state) {
        slices = readStackGeometry(openStackFile(path.c_str()), path.c_str()).slices;
        benchmark::DoNotOptimize(slices);
    }
    report(state, slices);
}

void BM_TIFFNumberOfDirectories(benchmark::State& state) {
    timeCount(state, [](TIFF* handle) { return uint64_t{TIFFNumberOfDirectories(handle)}; });
}

// The same growing-then-halving search, each probe a TIFFSetDirectory, which
// walks the chain from the first directory again.
void BM_TIFFSetDirectory_search(benchmark::State& state) {
    timeCount(state, [](TIFF* handle) {
        const TiffMessagesSilenced silenced;
        return searchSliceCount(
                   [handle](uint32_t index) { return TIFFSetDirectory(handle, static_cast<tdir_t>(index)) != 0; })
            .slices;
    });
}

void stackSizes(benchmark::internal::Benchmark* b) {
    for (const int mapped : {1, 0}) {
        for (const int64_t pages : {100, 10000, 70000}) b->Args({pages, mapped});
    }
    b->ArgNames({"pages", "mapped"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_countStackSlices)->Apply(stackSizes);
BENCHMARK(BM_readStackGeometry)
    ->Args({100, 1})
    ->Args({10000, 1})
    ->Args({70000, 1})
    ->ArgNames({"pages", "mapped"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TIFFNumberOfDirectories)->Apply(stackSizes);
BENCHMARK(BM_TIFFSetDirectory_search)->Apply(stackSizes);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::unique_ptr<tiff_fixtures::TempDir> temporary;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--stacks=", 9) == 0) stacksFolder = argv[i] + 9;
    }
    if (stacksFolder.empty()) {
        temporary = std::make_unique<tiff_fixtures::TempDir>();
        stacksFolder = temporary->path();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
