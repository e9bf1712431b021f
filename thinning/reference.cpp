// The straightforward driver: mark, test and clear by whole-volume scans in
// every subiteration. Slow on large volumes, but plainly right; the tests
// hold the fast driver to it.
#include "thinning.hpp"

void thinVolumeReference(unsigned char* volume, int M, int N, int P, std::vector<int64_t>* passDeletions) {
    if (passDeletions) passDeletions->clear();
    const int64_t slice = int64_t{M} * N;
    const int64_t voxels = M > 0 && N > 0 && P > 0 ? slice * P : 0;
    int64_t volNeighbors[27];
    fillVolNeighbors(volNeighbors, M, N);
    for (;;) {
        int64_t deleted = 0;
        for (int s = 0; s < 12; ++s) {
            markBoundaryInDirection(volume, M, N, P, kSubiterationFaces[s][0]);
            markBoundaryInDirection(volume, M, N, P, kSubiterationFaces[s][1]);
            for (int64_t k = 1; k < P - 1; ++k) {
                for (int64_t j = 1; j < N - 1; ++j) {
                    for (int64_t i = 1; i < M - 1; ++i) {
                        const int64_t x = i + j * M + k * slice;
                        if (volume[x] != 100) continue;
                        bool gathered[3][3][3], oriented[3][3][3];
                        for (int a = 0; a < 3; ++a) {
                            for (int b = 0; b < 3; ++b) {
                                for (int c = 0; c < 3; ++c)
                                    gathered[a][b][c] = volume[x + volNeighbors[9 * c + 3 * b + a]] != 0;
                            }
                        }
                        TransformNeighborhood(gathered, static_cast<char>(s), oriented);
                        if (MatchesATemplate(oriented)) {
                            volume[x] = 200;
                            ++deleted;
                        }
                    }
                }
            }
            for (int64_t x = 0; x < voxels; ++x) {
                if (volume[x] == 200) {
                    volume[x] = 0;
                } else if (volume[x] != 0) {
                    volume[x] = 1;
                }
            }
        }
        if (passDeletions) passDeletions->push_back(deleted);
        if (deleted == 0) break;
    }
}
