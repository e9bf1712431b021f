// The thinning driver. Instead of scanning the whole interior several times
// per subiteration, it keeps a list of active voxels: object voxels with a
// background face neighbour whose neighbourhood changed within the last
// twelve subiterations. A voxel that has been tested in all twelve
// orientations since its neighbourhood last changed gets the same answers
// again, so it leaves the list until a neighbour is deleted. Decisions of a
// subiteration are all taken before any deletion is applied, as the
// straightforward driver does with its marks, so both give the same volume.
#include <algorithm>
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

// Gathering reads each of the nine rows of the 3x3x3 block (three voxels
// along the first dimension) with one 32-bit load, turns it into three bits,
// and maps each 9-bit plane (one slice step) straight into the reference
// orientation of the subiteration through a table. Object bytes always have
// bit 0 set, background bytes are 0.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "row gathering reads bytes of a 32-bit word");

// Bits 0, 8 and 16 of w (voxels row -1, 0, +1) as bits 2, 1 and 0.
inline uint32_t rowTriple(uint32_t w) { return (((w & 0x010101u) * 0x040201u) >> 16) & 7u; }

// The row starting at p[0] (row -1), read with a load at p or at p - 1,
// whichever stays inside the volume.
inline uint32_t rowAt(const unsigned char* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return rowTriple(w);
}
inline uint32_t rowEndingAt(const unsigned char* p) {
    uint32_t w;
    std::memcpy(&w, p - 1, 4);
    return rowTriple(w >> 8);
}

// For each orientation and slice step a, the reference-orientation bits of
// every 9-bit plane: plane bit 3b + (2 - i) is the voxel at row step i - 1,
// column step b - 1.
struct OrientedPlanes {
    NeighborhoodBits bits[12][3][512];

    OrientedPlanes() {
        for (int t = 0; t < 12; ++t) {
            for (int a = 0; a < 3; ++a) {
                for (int plane = 0; plane < 512; ++plane) {
                    NeighborhoodBits out = 0;
                    for (int p = 0; p < 27; ++p) {
                        const int q = kOrientationMaps[t][p];  // gathered position 9i + 3j + k
                        const int i = q / 9, j = q / 3 % 3, k = q % 3;
                        if (k == a && ((plane >> (3 * j + 2 - i)) & 1)) out |= NeighborhoodBits{1} << p;
                    }
                    bits[t][a][plane] = out;
                }
            }
        }
    }
};

// Constant once built; shared by every thinning.
const OrientedPlanes& orientedPlanes() {
    static const OrientedPlanes planes;
    return planes;
}

// The neighbourhood of the voxel at x in the orientation given by planes.
inline NeighborhoodBits gather(const unsigned char* x, int64_t M, int64_t S, const NeighborhoodBits (*planes)[512]) {
    const unsigned char* below = x - S - 1;  // slice -1, row -1
    const unsigned char* same = x - 1;
    const unsigned char* above = x + S - 1;
    const uint32_t p0 = rowAt(below - M) | rowAt(below) << 3 | rowAt(below + M) << 6;
    const uint32_t p1 = rowEndingAt(same - M) | rowEndingAt(same) << 3 | rowEndingAt(same + M) << 6;
    const uint32_t p2 = rowEndingAt(above - M) | rowEndingAt(above) << 3 | rowEndingAt(above + M) << 6;
    return planes[0][p0] | planes[1][p1] | planes[2][p2];
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
    const OrientedPlanes& planes = orientedPlanes();
    const int64_t S = M * N;
    // The two face directions of each subiteration, the neighbours that
    // reference positions +j (16) and -k (12) are gathered from. A gathered
    // position 9i + 3j + k (i along rows) sits at table entry 9k + 3j + i.
    int64_t faces[12][2];
    for (int t = 0; t < 12; ++t) {
        for (int f = 0; f < 2; ++f) {
            const int q = kOrientationMaps[t][f == 0 ? 16 : 12];
            faces[t][f] = volNeighbors[9 * (q % 3) + 3 * (q / 3 % 3) + q / 9];
        }
    }

    std::vector<Index> active;
    std::vector<Index> deletions, added;
    seedActiveList(volume, M, N, P, active);

    std::vector<int64_t> perPass;
    for (int64_t subiteration = 0; !active.empty(); ++subiteration) {
        const int t = static_cast<int>(subiteration % 12);
        const NeighborhoodBits(*orientation)[512] = planes.bits[t];
        // Candidates have a background neighbour at +j or -k of the reference
        // orientation, that is in one of the two face directions of this
        // subiteration.
        const int64_t towardsJ = faces[t][0];
        const int64_t towardsMinusK = faces[t][1];
        deletions.clear();
        size_t kept = 0;
        for (size_t i = 0; i < active.size(); ++i) {
            const Index x = active[i];
            unsigned char* voxel = volume + x;
            if ((voxel[towardsJ] == 0 || voxel[towardsMinusK] == 0) &&
                matchesTemplateBits(gather(voxel, M, S, orientation))) {
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
        // Every interior object neighbour of a deleted voxel becomes active
        // for the next twelve subiterations.
        added.clear();
        for (const Index x : deletions) {
            for (int p = 0; p < 27; ++p) {
                const int64_t y = static_cast<int64_t>(x) + volNeighbors[p];
                const unsigned char v = volume[y];
                if (v == 0 || (v & kOuterLayer)) continue;
                if (!(v & kInList)) added.push_back(static_cast<Index>(y));
                volume[y] = kFresh;
            }
        }
        // The list stays in storage order, so that each subiteration walks
        // the volume forwards instead of jumping around it. The merge runs
        // from the back, in place.
        std::sort(added.begin(), added.end());
        active.resize(kept + added.size());
        size_t from = kept, take = added.size(), to = active.size();
        while (take > 0) {
            if (from > 0 && active[from - 1] > added[take - 1]) {
                active[--to] = active[--from];
            } else {
                active[--to] = added[--take];
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
