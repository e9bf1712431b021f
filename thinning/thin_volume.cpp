// B = thin_volume(A): thins the object of a logical 3-D array.
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "gateway.hpp"
#include "mex.h"
#include "thinning.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    mexgw::run("thin_volume", [&](const mexgw::Gateway& gw) {
        gw.check_counts(nrhs, 1, "This function accepts exactly 1 input argument - a binary 3D matrix!", nlhs, 1,
                        "This function has exactly 1 output argument - a binary 3D matrix!");
        const mxArray* input = prhs[0];
        if (mxGetNumberOfDimensions(input) != 3) gw.fail("not3D", "The input matrix must be 3D!");
        if (!mxIsLogical(input)) gw.fail("notLogical", "The input matrix must be logical!");

        const mwSize* dims = mxGetDimensions(input);
        const int32_t M = gw.count32(static_cast<size_t>(dims[0]), 1, "A", "rows");
        const int32_t N = gw.count32(static_cast<size_t>(dims[1]), 1, "A", "columns");
        const int32_t P = gw.count32(static_cast<size_t>(dims[2]), 1, "A", "slices");
        plhs[0] = mxCreateLogicalArray(3, dims);

        const uint64_t voxels =
            uint64_t{static_cast<uint32_t>(M)} * static_cast<uint32_t>(N) * static_cast<uint32_t>(P);
        if (voxels == 0) return;
        if (voxels > SIZE_MAX) gw.fail("tooLarge", "Input 1 (A) has more elements than this platform can address.");
        std::unique_ptr<unsigned char[]> work(new (std::nothrow) unsigned char[voxels]);
        if (!work) {
            gw.fail("outOfMemory", "Cannot allocate the working volume of " + std::to_string(voxels) +
                                       " bytes; free memory or thin a smaller volume.");
        }
        std::memcpy(work.get(), mxGetData(input), voxels);
        thinVolume(work.get(), M, N, P);
        // The working volume holds only 0 and 1 now: the output's bytes.
        std::memcpy(mxGetData(plhs[0]), work.get(), voxels);
    });
}
