// d = normality_check(x, mu, sigma, alpha, adCase): Anderson–Darling test of
// the sample x, taken in storage order as already sorted, against N(mu, sigma^2).
#include <cstdint>
#include <stdexcept>

#include "adtest.hpp"
#include "gateway.hpp"
#include "mex.h"

MEX_FILE_REQUIRED_API_VERSION(0x2019B, 0)

namespace {

// adCase is given as a double and truncated toward zero. NaN and values whose
// truncation leaves the 32-bit range become -1, which the core rejects with
// its own message.
int32_t test_case_from(double value) {
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
    return -1;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    mexgw::run("normality_check", [&](const mexgw::Gateway& gw) {
        gw.check_counts(nrhs, 5, "Five input required.", nlhs, 1, "One output required.");
        gw.require_real_double(prhs[0], 1, "x");
        const int32_t n = gw.count32(mxGetNumberOfElements(prhs[0]), 1, "x", "elements");
        gw.require_double_elements(prhs[1], 2, "mu", 1);
        gw.require_double_elements(prhs[2], 3, "sigma", 1);
        gw.require_double_elements(prhs[3], 4, "alpha", 1);
        gw.require_double_elements(prhs[4], 5, "adCase", 1);

        bool reject;
        try {
            reject = adtest_sorted_data(mxGetPr(prhs[0]), n, mxGetPr(prhs[1])[0], mxGetPr(prhs[2])[0],
                                        mxGetPr(prhs[3])[0], test_case_from(mxGetPr(prhs[4])[0]));
        } catch (const std::invalid_argument& error) {
            // The core's parameter errors reach the caller as plain messages.
            throw mexgw::Error(error.what());
        }
        plhs[0] = mxCreateDoubleScalar(reject ? 1.0 : 0.0);
    });
}
