// v = gauss3_eval(x, y, z, c, sxy, sz): the Gaussian at every sample.
#include "gauss3.hpp"
#include "gauss3_gateway.hpp"

MEX_FILE_REQUIRED_API_VERSION(0x2019B, 0x7300000)

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    gauss3_gateway("gauss3_eval", gauss3_eval_rows, nlhs, plhs, nrhs, prhs);
}
