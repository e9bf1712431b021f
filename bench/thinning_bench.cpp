// Seconds per volume of the thinning drivers on the benchmark volumes that
// bench/thinning_volumes.py writes (ball, tubes, blobs).
//
// usage: bench_thinning --volumes=DIR [google benchmark flags]
//
// thin_fast/<volume> is thinVolume, the driver that thin_volume uses;
// thin_reference/<volume> the straightforward driver that rescans the whole
// volume in every subiteration. Each iteration thins a fresh copy.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "thinning.hpp"

namespace {

struct BenchVolume {
    std::string name;
    int dims[3] = {0, 0, 0};
    std::vector<unsigned char> bytes;
};

bool load(const std::string& path, BenchVolume& volume) {
    std::ifstream in(path, std::ios::binary);
    int64_t dims[3];
    if (!in.read(reinterpret_cast<char*>(dims), sizeof dims)) return false;
    for (int a = 0; a < 3; ++a) volume.dims[a] = static_cast<int>(dims[a]);
    volume.bytes.resize(static_cast<size_t>(dims[0] * dims[1] * dims[2]));
    return static_cast<bool>(in.read(reinterpret_cast<char*>(volume.bytes.data()), volume.bytes.size()));
}

template <void (*Driver)(unsigned char*, int, int, int, std::vector<int64_t>*)>
void thin(benchmark::State& state, const BenchVolume* volume) {
    std::vector<unsigned char> work(volume->bytes.size());
    size_t remaining = 0;
    for (auto _ : state) {
        std::memcpy(work.data(), volume->bytes.data(), work.size());
        Driver(work.data(), volume->dims[0], volume->dims[1], volume->dims[2], nullptr);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    for (unsigned char b : work) remaining += b;
    state.counters["skeleton_voxels"] = static_cast<double>(remaining);
}

}  // namespace

int main(int argc, char** argv) {
    std::string directory = "thinning_volumes";
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--volumes=", 10) == 0) {
            directory = argv[i] + 10;
        } else {
            args.push_back(argv[i]);
        }
    }
    static std::vector<BenchVolume> volumes;
    for (const char* name : {"ball", "tubes", "blobs"}) {
        BenchVolume v;
        v.name = name;
        if (!load(directory + "/" + name + ".vol", v)) {
            std::fprintf(stderr,
                         "bench_thinning: cannot read %s/%s.vol; make the volumes with "
                         "bench/thinning_volumes.py %s\n",
                         directory.c_str(), name, directory.c_str());
            return 1;
        }
        volumes.push_back(std::move(v));
    }
    for (const BenchVolume& v : volumes) {
        benchmark::RegisterBenchmark(("thin_fast/" + v.name).c_str(), thin<thinVolume>, &v)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        // Slow: a few seconds per run, so few runs.
        benchmark::RegisterBenchmark(("thin_reference/" + v.name).c_str(), thin<thinVolumeReference>, &v)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
