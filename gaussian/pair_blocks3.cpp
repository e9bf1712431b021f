// K = pair_blocks3(U, V, W, A): the 3N-by-3N matrix of 3x3 blocks coupling
// every pair of the N components, summed over the M samples.
#include "pair_blocks3.hpp"

#include <cstdint>
#include <string>

#include "gateway.hpp"
#include "mex.h"

MEX_FILE_REQUIRED_API_VERSION(0x2019B, 0x7300000)

namespace {

// Largest N whose 3N-by-3N double result has a byte count within a signed
// 64-bit range: (3N)^2 * 8 <= 2^63.
constexpr size_t kMaxComponents = (size_t{1} << 30) / 3;

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    mexgw::run("pair_blocks3", [&](const mexgw::Gateway& gw) {
        gw.check_counts(nrhs, 4, "Four input required.", nlhs, 1, "One output required.");
        gw.require_real_double(prhs[0], 1, "U");
        const size_t m = mxGetM(prhs[0]);
        const size_t n = mxGetN(prhs[0]);
        if (n > kMaxComponents) {
            gw.fail("tooLarge", mexgw::Gateway::describe(1, "U") + " has " + std::to_string(n) +
                                    " columns; the 3N-by-3N result allows at most " + std::to_string(kMaxComponents) +
                                    ".");
        }
        // The samples are read only when there are at least two components.
        const bool reads = m > 0 && n > 1;
        if (reads) {
            const size_t elements = m * n;  // U's own element count, so no overflow
            gw.require_double_elements(prhs[1], 2, "V", elements);
            gw.require_double_elements(prhs[2], 3, "W", elements);
            gw.require_double_elements(prhs[3], 4, "A", elements);
        }
        plhs[0] = mxCreateDoubleMatrix(3 * n, 3 * n, mxREAL);
        if (n == 0) return;
        const double* u = reads ? mxGetPr(prhs[0]) : nullptr;
        const double* v = reads ? mxGetPr(prhs[1]) : nullptr;
        const double* w = reads ? mxGetPr(prhs[2]) : nullptr;
        const double* a = reads ? mxGetPr(prhs[3]) : nullptr;
        pair_blocks3_fill(u, v, w, a, static_cast<int64_t>(m), static_cast<int64_t>(n), mxGetPr(plhs[0]));
    });
}
