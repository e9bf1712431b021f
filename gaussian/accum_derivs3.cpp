// [g, H] = accum_derivs3(u, v, w, a, b, sxy, sz): gradient and Hessian sums
// with respect to one Gaussian's centre.
#include "derivs3.hpp"
#include "gateway.hpp"
#include "mex.h"

MEX_FILE_REQUIRED_API_VERSION(0x2019B, 0x7300000)

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    mexgw::run("accum_derivs3", [&](const mexgw::Gateway& gw) {
        gw.check_counts(nrhs, 7, "Seven input required.", nlhs, 2, "Two output required.");
        static const char* const names[] = {"u", "v", "w", "a", "b", "sxy", "sz"};
        gw.require_real_double(prhs[0], 1, names[0]);
        const int32_t m = gw.count32(mxGetM(prhs[0]), 1, names[0], "rows");
        // With no samples the core reads none of the other inputs.
        const double* data[7] = {mxGetPr(prhs[0])};
        if (m > 0) {
            for (int k = 1; k < 7; ++k) {
                gw.require_double_elements(prhs[k], k + 1, names[k], k < 5 ? static_cast<size_t>(m) : 1);
                data[k] = mxGetPr(prhs[k]);
            }
        }
        // The host's zero fill is where the sums start.
        plhs[0] = mxCreateDoubleMatrix(3, 1, mxREAL);
        plhs[1] = mxCreateDoubleMatrix(3, 3, mxREAL);
        accum_derivs3_rows(data[0], data[1], data[2], data[3], data[4], data[5], data[6], m, mxGetPr(plhs[0]),
                           mxGetPr(plhs[1]));
    });
}
