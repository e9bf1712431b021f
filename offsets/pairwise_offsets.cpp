// [DX, DY] = pairwise_offsets(P, Q): x and y offsets from every point of P to
// every point of Q.
#include "gateway.hpp"
#include "mex.h"
#include "offsets.hpp"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    mexgw::run("pairwise_offsets", [&](const mexgw::Gateway& gw) {
        gw.check_counts(nrhs, 2, "Two input parameters required.", nlhs, 2, "Two output parameters required.");
        const int32_t m = gw.count32(mxGetM(prhs[0]), 1, "P", "rows");
        const size_t p_columns = mxGetN(prhs[0]);
        const int32_t n = gw.count32(mxGetM(prhs[1]), 2, "Q", "rows");
        const size_t q_columns = mxGetN(prhs[1]);
        if (p_columns != 2 || q_columns != 2) throw mexgw::Error("Only 2D point coordinates are supported.");
        // The core reads the lists as doubles: any other class would be read
        // past its end.
        gw.require_real_double(prhs[0], 1, "P");
        gw.require_real_double(prhs[1], 2, "Q");
        // The core writes every entry, so the outputs are not zero-filled first.
        mwSize dims[2] = {static_cast<mwSize>(m), static_cast<mwSize>(n)};
        plhs[0] = mxCreateUninitNumericArray(2, dims, mxDOUBLE_CLASS, mxREAL);
        plhs[1] = mxCreateUninitNumericArray(2, dims, mxDOUBLE_CLASS, mxREAL);
        const size_t bytes = static_cast<size_t>(m) * static_cast<size_t>(n) * sizeof(double);
        mexgw::advise_huge_pages(mxGetPr(plhs[0]), bytes);
        mexgw::advise_huge_pages(mxGetPr(plhs[1]), bytes);
        calcDiffMatrix(mxGetPr(plhs[0]), mxGetPr(plhs[1]), mxGetPr(prhs[0]), mxGetPr(prhs[1]), m, n);
    });
}
