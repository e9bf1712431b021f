// A module for testing the embedded host and the gateway helpers: its first
// input names what to do.
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "gateway.hpp"
#include "mex.h"

MEX_FILE_REQUIRED_API_VERSION(1, 2)

namespace {

std::string mode_of(const mxArray* array) {
    char* text = mxArrayToString(array);
    std::string mode = text != nullptr ? text : "";
    mxFree(text);
    return mode;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    const std::string mode = nrhs > 0 ? mode_of(prhs[0]) : "";
    if (mode == "raise") {
        // Host memory made before an error is reclaimed with the call.
        plhs[0] = mxCreateDoubleMatrix(3, 3, mxREAL);
        mxMalloc(100);
        mexErrMsgIdAndTxt("probe:raised", "raised %d%%", 42);
    } else if (mode == "raise_plain") {
        mexErrMsgTxt("plain message");
    } else if (mode == "abandon") {
        // Arrays and blocks neither returned nor freed are reclaimed.
        mxCreateDoubleMatrix(10, 10, mxREAL);
        mxCalloc(10, 8);
        mxDuplicateArray(prhs[0]);
        plhs[0] = mxCreateDoubleScalar(7);
    } else if (mode == "print") {
        mexPrintf("%s=%d\n", "answer", 42);
        mexPrintf("second line\n");
    } else if (mode == "char") {
        // A string object becomes text through the host's "char".
        mxArray* copy = mxDuplicateArray(prhs[1]);
        mexCallMATLABWithObject(1, plhs, 1, &copy, "char");
        mxDestroyArray(copy);
    } else if (mode == "uninit") {
        size_t dims[3] = {2, 3, 4};
        plhs[0] = mxCreateUninitNumericArray(3, dims, mxSINGLE_CLASS, mxREAL);
        std::memset(mxGetData(plhs[0]), 0, 24 * sizeof(float));
    } else if (mode == "outputs") {
        for (int k = 0; k < nlhs; ++k) plhs[k] = mxCreateDoubleScalar(k);
    } else {
        // The gateway helpers: counts, validation, and exceptions from a core.
        mexgw::run("probe", [&](const mexgw::Gateway& gw) {
            gw.check_counts(nrhs, 2, "Two input required.", nlhs, 1, "One output required.");
            std::vector<double> scratch(1000);  // released before the error is raised
            if (mode == "throw") throw std::runtime_error("core failed");
            if (mode == "bad_alloc") throw std::bad_alloc();
            gw.require_double_elements(prhs[1], 2, "values", 3);
            plhs[0] = mxCreateDoubleScalar(mxGetPr(prhs[1])[2] + scratch[0]);
        });
    }
}
