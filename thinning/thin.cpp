// The thinning driver. Instead of scanning the whole interior several times
// per subiteration, it keeps a list of active voxels: object voxels with a
// background face neighbour whose neighbourhood changed within the last
// twelve subiterations. A voxel that has been tested in all twelve
// orientations since its neighbourhood last changed gets the same answers
// again, so it leaves the list until a neighbour is deleted. Decisions of a
// subiteration are all taken before any deletion is applied, as the
// straightforward driver does with its marks, so both give the same volume.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "thinning.hpp"

namespace {

// Working byte of a voxel during thinning: 0 is background; any object voxel
// has kObject set. Other bits: in the active list, outer layer (never
// deleted), and how many more subiterations the voxel stays active.
constexpr unsigned char kObject = 1;
constexpr unsigned char kInList = 2;
constexpr unsigned char kOuterLayer = 4;
constexpr int kCountdownShift = 3;
constexpr unsigned char kCountdownOne = 1 << kCountdownShift;
constexpr unsigned char kCountdownMask = 15 << kCountdownShift;
constexpr unsigned char kFresh = kObject | kInList | (12 << kCountdownShift);

inline NeighborhoodBits gather(const unsigned char* voxel, const int64_t offsets[27]) {
    NeighborhoodBits bits = 0;
    for (int p = 0; p < 27; ++p) bits |= NeighborhoodBits{voxel[offsets[p]] != 0} << p;
    return bits;
}

// Calls f(index) for every voxel of the outer layer (some more than once
// when a dimension is 1 or 2).
template <class F>
void forEachOuterVoxel(int64_t M, int64_t N, int64_t P, F f) {
    const int64_t slice = M * N;
    for (int64_t s : {int64_t{0}, P - 1}) {
        for (int64_t x = s * slice; x < (s + 1) * slice; ++x) f(x);
    }
    for (int64_t s = 1; s < P - 1; ++s) {
        for (int64_t c : {int64_t{0}, N - 1}) {
            for (int64_t r = 0; r < M; ++r) f(r + c * M + s * slice);
        }
        for (int64_t c = 1; c < N - 1; ++c) {
            f(c * M + s * slice);
            f(M - 1 + c * M + s * slice);
        }
    }
}

// Normalises the volume to 0/1, tags the outer layer and lists every
// interior object voxel with a background face neighbour.
template <class Index>
void seedActiveList(unsigned char* volume, int64_t M, int64_t N, int64_t P, std::vector<Index>& active) {
    const int64_t slice = M * N;
    for (int64_t s = 0; s < P; ++s) {
        for (int64_t c = 0; c < N; ++c) {
            unsigned char* column = volume + s * slice + c * M;
            const bool interiorColumn = s > 0 && s < P - 1 && c > 0 && c < N - 1;
            for (int64_t r = 0; r < M; ++r) {
                // Skip background eight voxels at a time: most of a volume is.
                uint64_t word;
                if (r + 8 <= M && (std::memcpy(&word, column + r, 8), word == 0)) {
                    r += 7;
                    continue;
                }
                unsigned char& v = column[r];
                if (v == 0) continue;
                if (!interiorColumn || r == 0 || r == M - 1) {
                    v = kObject | kOuterLayer;
                } else if (column[r - 1] == 0 || column[r + 1] == 0 || column[r - M] == 0 || column[r + M] == 0 ||
                           column[r - slice] == 0 || column[r + slice] == 0) {
                    v = kFresh;
                    active.push_back(static_cast<Index>(s * slice + c * M + r));
                } else {
                    v = kObject;
                }
            }
        }
    }
}

template <class Index>
void thinActive(unsigned char* volume, int64_t M, int64_t N, int64_t P, std::vector<int64_t>* passDeletions) {
    int64_t volNeighbors[27];
    fillVolNeighbors(volNeighbors, static_cast<int>(M), static_cast<int>(N));
    // Gathering through these offsets yields the neighbourhood already in the
    // reference orientation of each subiteration. A gathered position
    // 9i + 3j + k (i along rows) sits at table entry 9k + 3j + i.
    int64_t oriented[12][27];
    for (int t = 0; t < 12; ++t) {
        for (int p = 0; p < 27; ++p) {
            const int q = kOrientationMaps[t][p];
            oriented[t][p] = volNeighbors[9 * (q % 3) + 3 * (q / 3 % 3) + q / 9];
        }
    }

    std::vector<Index> active;
    std::vector<Index> deletions;
    seedActiveList(volume, M, N, P, active);

    std::vector<int64_t> perPass;
    for (int64_t subiteration = 0; !active.empty(); ++subiteration) {
        const int64_t* offsets = oriented[subiteration % 12];
        // Candidates have a background neighbour at +j or -k of the reference
        // orientation, that is in one of the two face directions of this
        // subiteration.
        const int64_t towardsJ = offsets[16];
        const int64_t towardsMinusK = offsets[12];
        deletions.clear();
        size_t kept = 0;
        for (size_t i = 0; i < active.size(); ++i) {
            const Index x = active[i];
            unsigned char* voxel = volume + x;
            if ((voxel[towardsJ] == 0 || voxel[towardsMinusK] == 0) && matchesTemplateBits(gather(voxel, offsets))) {
                deletions.push_back(x);
                continue;
            }
            const unsigned char next = static_cast<unsigned char>(*voxel - kCountdownOne);
            if ((next & kCountdownMask) == 0) {
                *voxel = kObject;
            } else {
                *voxel = next;
                active[kept++] = x;
            }
        }
        active.resize(kept);
        if (deletions.empty()) continue;

        for (const Index x : deletions) volume[x] = 0;
        for (const Index x : deletions) {
            for (int p = 0; p < 27; ++p) {
                const int64_t y = static_cast<int64_t>(x) + volNeighbors[p];
                const unsigned char v = volume[y];
                if (v == 0 || (v & kOuterLayer)) continue;
                if (!(v & kInList)) active.push_back(static_cast<Index>(y));
                volume[y] = kFresh;
            }
        }
        const size_t pass = static_cast<size_t>(subiteration / 12);
        if (perPass.size() <= pass) perPass.resize(pass + 1, 0);
        perPass[pass] += static_cast<int64_t>(deletions.size());
    }

    forEachOuterVoxel(M, N, P, [volume](int64_t x) {
        if (volume[x]) volume[x] = 1;
    });
    if (passDeletions) {
        // The last pass is the one that finds nothing to delete.
        perPass.push_back(0);
        *passDeletions = std::move(perPass);
    }
}

}  // namespace

void thinVolume(unsigned char* volume, int M, int N, int P, std::vector<int64_t>* passDeletions) {
    if (M <= 0 || N <= 0 || P <= 0) {
        if (passDeletions) passDeletions->assign(1, 0);
        return;
    }
    const uint64_t voxels = uint64_t{static_cast<uint32_t>(M)} * static_cast<uint32_t>(N) * static_cast<uint32_t>(P);
    // 32-bit list entries halve the lists' memory wherever they suffice.
    if (voxels <= uint64_t{UINT32_MAX} + 1) {
        thinActive<uint32_t>(volume, M, N, P, passDeletions);
    } else {
        thinActive<uint64_t>(volume, M, N, P, passDeletions);
    }
}

void thinVolumeWithWideIndices(unsigned char* volume, int M, int N, int P, std::vector<int64_t>* passDeletions) {
    if (M <= 0 || N <= 0 || P <= 0) {
        if (passDeletions) passDeletions->assign(1, 0);
        return;
    }
    thinActive<uint64_t>(volume, M, N, P, passDeletions);
}
