// The gateway of both Gaussian evaluations: v = f(x, y, z, c, sxy, sz). They
// take the same inputs, check them the same way and return the same M×1
// column; only the core that fills it differs.
#pragma once

#include <cstdint>

#include "gateway.hpp"
#include "mex.h"

using Gauss3Rows = void (*)(const double* x, const double* y, const double* z, const double* c, const double* sxy,
                            const double* sz, int32_t m, double* out);

inline void gauss3_gateway(const char* function, Gauss3Rows rows, int nlhs, mxArray* plhs[], int nrhs,
                           const mxArray* prhs[]) {
    mexgw::run(function, [&](const mexgw::Gateway& gw) {
        gw.check_counts(nrhs, 6, "Six input required.", nlhs, 1, "One output required.");
        gw.require_real_double(prhs[0], 1, "x");
        const int32_t m = gw.count32(mxGetM(prhs[0]), 1, "x", "rows");
        // With no samples the core reads nothing else, so nothing else is checked.
        if (m > 0) {
            const size_t samples = static_cast<size_t>(m);
            gw.require_double_elements(prhs[1], 2, "y", samples);
            gw.require_double_elements(prhs[2], 3, "z", samples);
            gw.require_double_elements(prhs[3], 4, "c", 3);
            gw.require_double_elements(prhs[4], 5, "sxy", 1);
            gw.require_double_elements(prhs[5], 6, "sz", 1);
        }
        plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(m), 1, mxREAL);
        if (m > 0) {
            rows(mxGetPr(prhs[0]), mxGetPr(prhs[1]), mxGetPr(prhs[2]), mxGetPr(prhs[3]), mxGetPr(prhs[4]),
                 mxGetPr(prhs[5]), m, mxGetPr(plhs[0]));
        }
    });
}
