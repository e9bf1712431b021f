// v = gauss3_eval_approx(x, y, z, c, sxy, sz): the Gaussian at every sample,
// exponentiated by fast_exp in single precision.
#include "gauss3_approx.hpp"
#include "gauss3_gateway.hpp"

MEX_FILE_REQUIRED_API_VERSION(0x2019B, 0x7300000)

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    gauss3_gateway("gauss3_eval_approx", gauss3_eval_approx_rows, nlhs, plhs, nrhs, prhs);
}
