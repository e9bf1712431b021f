// The thinning drivers: worked volumes, the fast driver against the
// straightforward one, topology, and volumes beyond 32-bit indexing.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "thinning.hpp"
#include "volumes.hpp"

namespace {

using Positions = std::vector<std::array<int, 3>>;  // 1-based (row, column, slice)

Positions objectPositions(const Volume& v) {
    Positions result;
    for (int s = 0; s < v.P; ++s)
        for (int c = 0; c < v.N; ++c)
            for (int r = 0; r < v.M; ++r)
                if (v.at(r, c, s)) result.push_back({r + 1, c + 1, s + 1});
    return result;
}

struct Thinned {
    Volume volume;
    std::vector<int64_t> passes;
};

Thinned thinFast(Volume v) {
    std::vector<int64_t> passes;
    thinVolume(v.bytes.data(), v.M, v.N, v.P, &passes);
    return {std::move(v), passes};
}

Thinned thinReference(Volume v) {
    std::vector<int64_t> passes;
    thinVolumeReference(v.bytes.data(), v.M, v.N, v.P, &passes);
    return {std::move(v), passes};
}

// Components of the object (26-connected) or of the background
// (6-connected), within the array.
int components(const Volume& v, bool object) {
    std::vector<char> seen(v.bytes.size(), 0);
    std::vector<std::array<int, 3>> stack;
    int count = 0;
    for (int s = 0; s < v.P; ++s)
        for (int c = 0; c < v.N; ++c)
            for (int r = 0; r < v.M; ++r) {
                const size_t x = r + static_cast<size_t>(c) * v.M + static_cast<size_t>(s) * v.M * v.N;
                if ((v.bytes[x] != 0) != object || seen[x]) continue;
                ++count;
                seen[x] = 1;
                stack.push_back({r, c, s});
                while (!stack.empty()) {
                    const auto p = stack.back();
                    stack.pop_back();
                    for (int ds = -1; ds <= 1; ++ds)
                        for (int dc = -1; dc <= 1; ++dc)
                            for (int dr = -1; dr <= 1; ++dr) {
                                const int steps = (dr != 0) + (dc != 0) + (ds != 0);
                                if (steps == 0 || (!object && steps > 1)) continue;
                                const int rr = p[0] + dr, cc = p[1] + dc, ss = p[2] + ds;
                                if (rr < 0 || cc < 0 || ss < 0 || rr >= v.M || cc >= v.N || ss >= v.P) continue;
                                const size_t y =
                                    rr + static_cast<size_t>(cc) * v.M + static_cast<size_t>(ss) * v.M * v.N;
                                if ((v.bytes[y] != 0) != object || seen[y]) continue;
                                seen[y] = 1;
                                stack.push_back({rr, cc, ss});
                            }
                }
            }
    return count;
}

// Varied volumes: noise at several densities, blobs, tubes, plates, boxes,
// and degenerate sizes.
std::vector<std::pair<std::string, Volume>> variedVolumes() {
    std::vector<std::pair<std::string, Volume>> volumes;
    uint64_t seed = 100;
    for (double density : {0.05, 0.2, 0.4, 0.6, 0.8, 0.95}) {
        volumes.emplace_back("noise " + std::to_string(density), noise(13, 11, 12, density, seed++));
    }
    for (double threshold : {0.45, 0.5, 0.55}) {
        volumes.emplace_back("blobs " + std::to_string(threshold), blobs(20, 18, 16, threshold, seed++));
    }
    volumes.emplace_back("tubes", tubes(24, 20, 18, 4, 2.5, seed++));
    volumes.emplace_back("thin tubes", tubes(16, 16, 16, 6, 1.2, seed++));
    volumes.emplace_back("plates", plates(18, 16, 14, 6, seed++));
    for (auto dims :
         {std::array<int, 3>{1, 9, 9}, {9, 2, 9}, {9, 9, 3}, {3, 3, 3}, {3, 40, 3}, {40, 4, 5}, {4, 4, 4}}) {
        for (double density : {0.5, 0.9}) {
            volumes.emplace_back("degenerate", noise(dims[0], dims[1], dims[2], density, seed++));
        }
    }
    Volume filled(8, 9, 10);
    std::fill(filled.bytes.begin(), filled.bytes.end(), 1);
    volumes.emplace_back("all object", filled);
    Volume box(12, 13, 14);
    fillBox(box, 1, 10, 1, 11, 1, 12);  // touching the outer layer nowhere
    volumes.emplace_back("box", box);
    Volume edge(12, 13, 14);
    fillBox(edge, 0, 8, 0, 12, 3, 9);  // touching the outer layer
    volumes.emplace_back("box at the edge", edge);
    return volumes;
}

}  // namespace

TEST(Thinning, WorkedVolumes) {
    struct Case {
        const char* name;
        std::array<int, 3> dims;
        std::array<int, 6> box;  // 1-based inclusive rows, columns, slices
        Positions expected;
        std::vector<int64_t> passes;  // empty: not checked
    } cases[] = {
        {"5x5x5 block", {7, 7, 7}, {2, 6, 2, 6, 2, 6}, {{4, 4, 4}}, {124, 0}},
        {"3x3x3 block", {5, 5, 5}, {2, 4, 2, 4, 2, 4}, {{3, 3, 3}}, {26, 0}},
        {"2x2x2 block", {4, 4, 4}, {2, 3, 2, 3, 2, 3}, {{2, 2, 3}, {3, 2, 3}}, {6, 0}},
        {"3x4x5 block", {5, 6, 7}, {2, 4, 2, 5, 2, 6}, {{3, 3, 4}, {3, 3, 5}}, {58, 0}},
        {"plate", {9, 9, 5}, {2, 8, 2, 8, 3, 4}, {{5, 5, 4}}, {97, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Volume v(c.dims[0], c.dims[1], c.dims[2]);
        fillBox(v, c.box[0] - 1, c.box[1] - 1, c.box[2] - 1, c.box[3] - 1, c.box[4] - 1, c.box[5] - 1);
        for (const Thinned& t : {thinFast(v), thinReference(v)}) {
            EXPECT_EQ(objectPositions(t.volume), c.expected);
            EXPECT_EQ(t.passes, c.passes);
        }
    }
}

TEST(Thinning, VolumesThatStayAsTheyAre) {
    std::vector<Volume> volumes;
    Volume full(6, 7, 8);
    std::fill(full.bytes.begin(), full.bytes.end(), 1);
    volumes.push_back(full);
    volumes.emplace_back(6, 7, 8);  // empty
    for (auto dims : {std::array<int, 3>{2, 9, 9}, {9, 2, 9}, {9, 9, 2}, {1, 1, 1}}) {
        volumes.push_back(noise(dims[0], dims[1], dims[2], 0.6, 5));
    }
    for (int axis = 0; axis < 3; ++axis) {  // lines along each axis, off the outer layer
        Volume line(9, 9, 9);
        for (int t = 1; t < 8; ++t) line.at(axis == 0 ? t : 4, axis == 1 ? t : 4, axis == 2 ? t : 4) = 1;
        volumes.push_back(line);
    }
    for (const Volume& v : volumes) {
        for (const Thinned& t : {thinFast(v), thinReference(v)}) {
            EXPECT_EQ(t.volume.bytes, v.bytes);
            EXPECT_EQ(t.passes, std::vector<int64_t>{0});
        }
    }
}

TEST(Thinning, ZeroSizedVolumes) {
    std::vector<int64_t> passes{7};
    thinVolume(nullptr, 0, 5, 5, &passes);
    EXPECT_EQ(passes, std::vector<int64_t>{0});
    thinVolume(nullptr, 5, 0, 5);
    thinVolume(nullptr, 5, 5, 0);
}

// The fast driver gives the straightforward driver's volume and per-pass
// counts; the result is a subset of the input with the outer layer intact,
// and thinning it again deletes nothing.
TEST(Thinning, FastDriverMatchesTheReference) {
    for (const auto& [name, input] : variedVolumes()) {
        SCOPED_TRACE(name);
        const Thinned fast = thinFast(input);
        const Thinned reference = thinReference(input);
        ASSERT_EQ(fast.volume.bytes, reference.volume.bytes);
        EXPECT_EQ(fast.passes, reference.passes);
        for (int s = 0; s < input.P; ++s)
            for (int c = 0; c < input.N; ++c)
                for (int r = 0; r < input.M; ++r) {
                    const unsigned char out = fast.volume.at(r, c, s), in = input.at(r, c, s);
                    ASSERT_LE(out, in);
                    const bool outer =
                        r == 0 || c == 0 || s == 0 || r == input.M - 1 || c == input.N - 1 || s == input.P - 1;
                    if (outer) {
                        ASSERT_EQ(out, in);
                    }
                }
        EXPECT_EQ(thinFast(fast.volume).passes, std::vector<int64_t>{0});
    }
}

TEST(Thinning, FastDriverMatchesTheReferenceOnManyRandomVolumes) {
    std::mt19937_64 rng(2024);
    for (int trial = 0; trial < 300; ++trial) {
        const int M = 1 + static_cast<int>(rng() % 18), N = 1 + static_cast<int>(rng() % 18),
                  P = 1 + static_cast<int>(rng() % 18);
        const double density = 0.05 + 0.9 * static_cast<double>(rng() % 1000) / 1000;
        const Volume input = trial % 3 == 0 ? blobs(M, N, P, 0.5, rng()) : noise(M, N, P, density, rng());
        SCOPED_TRACE(testing::Message() << M << "x" << N << "x" << P << " trial " << trial);
        const Thinned fast = thinFast(input), reference = thinReference(input);
        ASSERT_EQ(fast.volume.bytes, reference.volume.bytes);
        ASSERT_EQ(fast.passes, reference.passes);
        // The list entries used for volumes of more than 2^32 voxels.
        Volume wide = input;
        std::vector<int64_t> passes;
        thinVolumeWithWideIndices(wide.bytes.data(), wide.M, wide.N, wide.P, &passes);
        ASSERT_EQ(wide.bytes, reference.volume.bytes);
        ASSERT_EQ(passes, reference.passes);
    }
}

TEST(Thinning, PreservesTopology) {
    for (const auto& [name, input] : variedVolumes()) {
        SCOPED_TRACE(name);
        const Volume output = thinFast(input).volume;
        EXPECT_EQ(components(output, true), components(input, true));
        EXPECT_EQ(components(output, false), components(input, false));
    }
}

TEST(Thinning, AcceptsNonzeroBytesOtherThanOneAsObject) {
    Volume ones = blobs(12, 12, 12, 0.5, 9);
    Volume mixed = ones;
    for (size_t x = 0; x < mixed.bytes.size(); ++x) mixed.bytes[x] *= static_cast<unsigned char>(1 + x % 250);
    EXPECT_EQ(thinFast(mixed).volume.bytes, thinFast(ones).volume.bytes);
}

// A volume of more than 2^31 voxels, where 32-bit signed index arithmetic
// would overflow: an object at its far end thins as it does in a small
// volume. Pages that are never written take no memory.
TEST(Thinning, VolumesBeyondThirtyOneBitIndices) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "scanning gigabytes of sparse mapping is too slow under the sanitizers";
#endif
    Volume small(5, 6, 7);
    fillBox(small, 1, 3, 1, 4, 1, 5);
    const Thinned expected = thinFast(small);
    const int M = 2048, N = 2048, P = 513;
    const size_t slice = static_cast<size_t>(M) * N, bytes = slice * P;
    void* mapping = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(mapping, MAP_FAILED);
    madvise(mapping, bytes, MADV_HUGEPAGE);
    unsigned char* volume = static_cast<unsigned char*>(mapping);
    // The small volume's block (rows 1..3, columns 1..4, slices 1..5) moved to
    // rows 2000.., columns 100.., slices P - 6.., plus an outer-layer voxel on
    // the last slice.
    const auto index = [&](int r, int c, int s) {
        return r + 1999 + (c + 99) * static_cast<size_t>(M) + (s + P - 7) * slice;
    };
    for (int s = 1; s <= 5; ++s)
        for (int c = 1; c <= 4; ++c)
            for (int r = 1; r <= 3; ++r) volume[index(r, c, s)] = 1;
    volume[5 + 7 * static_cast<size_t>(M) + (P - 1) * slice] = 1;

    std::vector<int64_t> passes;
    thinVolume(volume, M, N, P, &passes);
    EXPECT_EQ(passes, expected.passes);
    for (const auto& p : objectPositions(expected.volume)) EXPECT_EQ(volume[index(p[0] - 1, p[1] - 1, p[2] - 1)], 1);
    size_t objects = 0;
    for (size_t x = slice * (P - 8); x < bytes; ++x) objects += volume[x];
    EXPECT_EQ(objects, expected.volume.count() + 1);
    munmap(mapping, bytes);
}
