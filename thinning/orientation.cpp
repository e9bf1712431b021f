// Border marking in one direction and the twelve orientation maps that bring
// a neighbourhood into the reference orientation of the deletion templates.
#include <cstdint>
#include <cstring>

#include "thinning.hpp"

// clang-format off
const int8_t kDirectionSteps[18][3] = {
    // edge directions, codes 0 to 11
    {0, 1, -1}, {1, 0, 1}, {-1, -1, 0}, {1, 0, -1}, {-1, 1, 0}, {0, -1, 1},
    {-1, 0, -1}, {0, 1, 1}, {1, -1, 0}, {-1, 0, 1}, {1, 1, 0}, {0, -1, -1},
    // face directions, codes 12 to 17
    {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1},
};
// clang-format on

const int8_t kSubiterationFaces[12][2] = {
    {12, 17}, {16, 14}, {15, 13}, {14, 17}, {12, 15}, {16, 13},
    {17, 15}, {12, 16}, {14, 13}, {16, 15}, {12, 14}, {17, 13},
};

// Each map sends the two face directions of its subiteration onto +j and -k.
const uint8_t kOrientationMaps[12][27] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26},
    {8, 7, 6, 17, 16, 15, 26, 25, 24, 5, 4, 3, 14, 13, 12, 23, 22, 21, 2, 1, 0, 11, 10, 9, 20, 19, 18},
    {8, 17, 26, 5, 14, 23, 2, 11, 20, 7, 16, 25, 4, 13, 22, 1, 10, 19, 6, 15, 24, 3, 12, 21, 0, 9, 18},
    {6, 7, 8, 15, 16, 17, 24, 25, 26, 3, 4, 5, 12, 13, 14, 21, 22, 23, 0, 1, 2, 9, 10, 11, 18, 19, 20},
    {2, 11, 20, 5, 14, 23, 8, 17, 26, 1, 10, 19, 4, 13, 22, 7, 16, 25, 0, 9, 18, 3, 12, 21, 6, 15, 24},
    {8, 7, 6, 5, 4, 3, 2, 1, 0, 17, 16, 15, 14, 13, 12, 11, 10, 9, 26, 25, 24, 23, 22, 21, 20, 19, 18},
    {18, 19, 20, 9, 10, 11, 0, 1, 2, 21, 22, 23, 12, 13, 14, 3, 4, 5, 24, 25, 26, 15, 16, 17, 6, 7, 8},
    {2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 17, 16, 15, 20, 19, 18, 23, 22, 21, 26, 25, 24},
    {24, 15, 6, 21, 12, 3, 18, 9, 0, 25, 16, 7, 22, 13, 4, 19, 10, 1, 26, 17, 8, 23, 14, 5, 20, 11, 2},
    {20, 19, 18, 11, 10, 9, 2, 1, 0, 23, 22, 21, 14, 13, 12, 5, 4, 3, 26, 25, 24, 17, 16, 15, 8, 7, 6},
    {18, 9, 0, 21, 12, 3, 24, 15, 6, 19, 10, 1, 22, 13, 4, 25, 16, 7, 20, 11, 2, 23, 14, 5, 26, 17, 8},
    {6, 7, 8, 3, 4, 5, 0, 1, 2, 15, 16, 17, 12, 13, 14, 9, 10, 11, 24, 25, 26, 21, 22, 23, 18, 19, 20},
};

int64_t directionOffset(int code, int M, int N) {
    const int8_t* step = kDirectionSteps[code];
    return step[0] + int64_t{step[1]} * M + int64_t{step[2]} * M * N;
}

bool markBoundaryInDirection(unsigned char* volume, int M, int N, int P, char code) {
    if (code < 0 || code >= 18) return false;
    if (M < 3 || N < 3 || P < 3) return true;
    const int64_t slice = int64_t{M} * N;
    const int64_t offset = directionOffset(code, M, N);
    for (int64_t s = 1; s < P - 1; ++s) {
        for (int64_t c = 1; c < N - 1; ++c) {
            unsigned char* column = volume + s * slice + c * M;
            for (int64_t r = 1; r < M - 1; ++r) {
                if (column[r] == 1 && column[r + offset] == 0) column[r] = 100;
            }
        }
    }
    return true;
}

bool TransformNeighborhood(bool (*source)[3][3], char code, bool (*destination)[3][3]) {
    if (code < 0 || code >= 12) return true;
    // Copied as bytes: the buffers may hold nonzero values other than 1.
    unsigned char from[27], to[27];
    std::memcpy(from, source, sizeof from);
    for (int p = 0; p < 27; ++p) to[p] = from[kOrientationMaps[static_cast<int>(code)][p]];
    std::memcpy(destination, to, sizeof to);
    return true;
}

void fillVolNeighbors(int64_t volNeighbors[27], int M, int N) {
    const int64_t slice = int64_t{M} * N;
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            for (int c = 0; c < 3; ++c)
                volNeighbors[9 * a + 3 * b + c] = (a - 1) * slice + (b - 1) * int64_t{M} + (c - 1);
        }
    }
}
