// Border marking and the orientation maps.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "thinning.hpp"
#include "volumes.hpp"

namespace {

int positionOf(int u, int v, int w) { return 9 * (u + 1) + 3 * (v + 1) + (w + 1); }

int positionOfCode(int code) {
    return positionOf(kDirectionSteps[code][0], kDirectionSteps[code][1], kDirectionSteps[code][2]);
}

}  // namespace

// Each map as the signed permutation of axes it is: destination offset
// (u, v, w) takes the source element at the offset given here.
TEST(Orientation, MapsAreTheSignedAxisPermutations) {
    using Source = std::array<int, 3> (*)(int, int, int);
    const Source sources[12] = {
        [](int u, int v, int w) {
            return std::array<int, 3>{u, v, w};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{v, -u, -w};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{w, -v, -u};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{v, -u, w};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{w, v, -u};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{u, -v, -w};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{-v, u, w};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{u, v, -w};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{-w, -v, u};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{-v, u, -w};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{-w, v, u};
        },
        [](int u, int v, int w) {
            return std::array<int, 3>{u, -v, w};
        },
    };
    for (int t = 0; t < 12; ++t) {
        for (int p = 0; p < 27; ++p) {
            const auto s = sources[t](p / 9 - 1, p / 3 % 3 - 1, p % 3 - 1);
            EXPECT_EQ(kOrientationMaps[t][p], positionOf(s[0], s[1], s[2])) << "map " << t << ", position " << p;
        }
    }
}

// Subiteration t marks two face directions whose sum is edge direction t,
// and its map brings exactly those two onto +j (16) and -k (12).
TEST(Orientation, SubiterationsPairFacesWithTheirEdgeAndReferenceDirections) {
    for (int t = 0; t < 12; ++t) {
        SCOPED_TRACE(t);
        const int a = kSubiterationFaces[t][0], b = kSubiterationFaces[t][1];
        ASSERT_TRUE(a >= 12 && a < 18 && b >= 12 && b < 18);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_EQ(kDirectionSteps[t][axis], kDirectionSteps[a][axis] + kDirectionSteps[b][axis]);
        }
        EXPECT_EQ(kOrientationMaps[t][13], 13);
        const int onJ = kOrientationMaps[t][16], onMinusK = kOrientationMaps[t][12];
        EXPECT_TRUE((onJ == positionOfCode(a) && onMinusK == positionOfCode(b)) ||
                    (onJ == positionOfCode(b) && onMinusK == positionOfCode(a)));
    }
}

TEST(Orientation, TransformNeighborhood) {
    bool source[3][3][3], destination[3][3][3];
    unsigned char* src = reinterpret_cast<unsigned char*>(source);
    unsigned char* dst = reinterpret_cast<unsigned char*>(destination);
    for (int p = 0; p < 27; ++p) src[p] = p % 2;

    TransformNeighborhood(source, 0, destination);
    EXPECT_EQ(std::memcmp(src, dst, 27), 0);

    std::memset(src, 0, 27);
    src[10] = 1;  // column -1
    src[14] = 1;  // slice +1
    TransformNeighborhood(source, 5, destination);
    for (int p = 0; p < 27; ++p) EXPECT_EQ(dst[p], p == 16 || p == 12) << p;

    for (char code : {char{12}, char{-1}, char{100}}) {
        std::memset(dst, 7, 27);
        EXPECT_TRUE(TransformNeighborhood(source, code, destination));
        for (int p = 0; p < 27; ++p) EXPECT_EQ(dst[p], 7);
    }
}

TEST(Marking, EachCodeTestsItsOwnNeighbour) {
    // Object everywhere but one voxel y: only the voxel whose neighbour in
    // the direction is y gets marked.
    const int M = 5, N = 6, P = 7;
    for (int code = 0; code < 18; ++code) {
        SCOPED_TRACE(code);
        Volume v(M, N, P);
        std::fill(v.bytes.begin(), v.bytes.end(), 1);
        v.at(2, 3, 3) = 0;
        ASSERT_TRUE(markBoundaryInDirection(v.bytes.data(), M, N, P, static_cast<char>(code)));
        const int r = 2 - kDirectionSteps[code][0], c = 3 - kDirectionSteps[code][1], s = 3 - kDirectionSteps[code][2];
        EXPECT_EQ(v.at(r, c, s), 100);
        EXPECT_EQ(v.count(), v.bytes.size() - 1);
        size_t marked = 0;
        for (unsigned char b : v.bytes) marked += b == 100;
        EXPECT_EQ(marked, 1u);
        EXPECT_EQ(r + static_cast<int64_t>(c) * M + static_cast<int64_t>(s) * M * N + directionOffset(code, M, N),
                  2 + 3 * M + 3 * M * N);
    }
}

TEST(Marking, OnlyInteriorVoxelsEqualToOneAreMarked) {
    // A 5x5x5 cube of object voxels: the outer layer is never marked, voxels
    // next to it are, and 100/200 neither get marked nor let a neighbour be.
    Volume v(5, 5, 5);
    std::fill(v.bytes.begin(), v.bytes.end(), 1);
    v.at(0, 2, 2) = 0;  // outer-layer background below (1, 2, 2)
    v.at(3, 1, 1) = 200;
    v.at(2, 3, 3) = 100;
    v.at(2, 1, 1) = 0;  // background below (3, 1, 1), which is already marked
    Volume expected = v;
    expected.at(1, 2, 2) = 100;  // its row -1 neighbour is the background
    ASSERT_TRUE(markBoundaryInDirection(v.bytes.data(), 5, 5, 5, 15));
    EXPECT_EQ(v.bytes, expected.bytes);

    // Outer-layer objects next to background stay unmarked.
    Volume shell(4, 4, 4);
    std::fill(shell.bytes.begin(), shell.bytes.end(), 1);
    shell.at(1, 1, 1) = shell.at(2, 1, 1) = shell.at(1, 2, 1) = shell.at(2, 2, 1) = 0;
    shell.at(1, 1, 2) = shell.at(2, 1, 2) = shell.at(1, 2, 2) = shell.at(2, 2, 2) = 0;
    const Volume before = shell;
    for (int code = 0; code < 18; ++code) markBoundaryInDirection(shell.bytes.data(), 4, 4, 4, static_cast<char>(code));
    EXPECT_EQ(shell.bytes, before.bytes);
}

TEST(Marking, SmallVolumesAndInvalidCodesMarkNothing) {
    for (auto dims : {std::array<int, 3>{2, 5, 5}, {5, 2, 5}, {5, 5, 2}, {1, 1, 1}, {0, 4, 4}}) {
        Volume v(dims[0], dims[1], dims[2]);
        for (auto& b : v.bytes) b = 1;
        if (!v.bytes.empty()) v.bytes[0] = 0;
        const Volume before = v;
        for (int code = 12; code < 18; ++code) markBoundaryInDirection(v.bytes.data(), v.M, v.N, v.P, char(code));
        EXPECT_EQ(v.bytes, before.bytes);
    }
    Volume cube(3, 3, 3);
    cube.at(1, 1, 1) = 1;
    ASSERT_TRUE(markBoundaryInDirection(cube.bytes.data(), 3, 3, 3, 12));
    EXPECT_EQ(cube.at(1, 1, 1), 100);
    EXPECT_EQ(cube.count(), 1u);

    Volume v = noise(6, 6, 6, 0.5, 1);
    const Volume before = v;
    EXPECT_FALSE(markBoundaryInDirection(v.bytes.data(), 6, 6, 6, 18));
    EXPECT_FALSE(markBoundaryInDirection(v.bytes.data(), 6, 6, 6, -1));
    EXPECT_EQ(v.bytes, before.bytes);
}

TEST(Marking, TheTwoFaceDirectionsCommute) {
    for (uint64_t seed = 0; seed < 20; ++seed) {
        for (int t = 0; t < 12; ++t) {
            Volume a = noise(7, 8, 9, 0.6, seed), b = a;
            markBoundaryInDirection(a.bytes.data(), 7, 8, 9, kSubiterationFaces[t][0]);
            markBoundaryInDirection(a.bytes.data(), 7, 8, 9, kSubiterationFaces[t][1]);
            markBoundaryInDirection(b.bytes.data(), 7, 8, 9, kSubiterationFaces[t][1]);
            markBoundaryInDirection(b.bytes.data(), 7, 8, 9, kSubiterationFaces[t][0]);
            ASSERT_EQ(a.bytes, b.bytes);
        }
    }
}
