// Y = fill_nan(X, v): X with every NaN replaced by v, computed in parallel.
#include <cstdint>
#include <cstring>

#include "gateway.hpp"
#include "mex.h"
#include "nanfill.hpp"

MEX_FILE_REQUIRED_API_VERSION(131610, 0x7300000)

namespace {

// The first element of a real numeric or logical array, converted to the
// data's element type the way assignment into a single or double array
// converts it: one rounding to nearest, integers and logicals by value, and
// a value of the data's own class copied bit for bit.
template <class To>
To first_element_as(const mxArray* array) {
    const void* data = mxGetData(array);
    auto first = [data](auto typed) {
        decltype(typed) value;
        std::memcpy(&value, data, sizeof value);
        return static_cast<To>(value);
    };
    switch (mxGetClassID(array)) {
        case mxDOUBLE_CLASS: return first(double{});
        case mxSINGLE_CLASS: return first(float{});
        case mxLOGICAL_CLASS: return first(uint8_t{}) != 0 ? To(1) : To(0);
        case mxINT8_CLASS: return first(int8_t{});
        case mxUINT8_CLASS: return first(uint8_t{});
        case mxINT16_CLASS: return first(int16_t{});
        case mxUINT16_CLASS: return first(uint16_t{});
        case mxINT32_CLASS: return first(int32_t{});
        case mxUINT32_CLASS: return first(uint32_t{});
        case mxINT64_CLASS: return first(int64_t{});
        case mxUINT64_CLASS: return first(uint64_t{});
        default: throw mexgw::Error("fill_nan:badFill", "Input 2 (v) has an unsupported class.");
    }
}

bool is_real_numeric_or_logical(const mxArray* array) {
    return (mxIsNumeric(array) || mxIsLogical(array)) && !mxIsComplex(array) && !mxIsSparse(array);
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    mexgw::run("fill_nan", [&](const mexgw::Gateway& gw) {
        gw.check_counts(nrhs, 2, "Two input required.", nlhs, 1, "One output required.");
        const mxArray* data = prhs[0];
        const mxArray* fill = prhs[1];
        const mxClassID class_id = mxGetClassID(data);
        if (class_id != mxDOUBLE_CLASS && class_id != mxSINGLE_CLASS) {
            throw mexgw::Error("data:TypeError", "Only single and double types are supported!\n");
        }
        // Only real full data can be copied element for element into a real output.
        if (mxIsComplex(data) || mxIsSparse(data)) {
            gw.fail("notReal", "Input 1 (X) must be a real full single or double array, not " +
                                   mexgw::Gateway::type_of(data) + ".");
        }
        if (!is_real_numeric_or_logical(fill)) {
            gw.fail("badFill", "Input 2 (v) must be a real numeric or logical value, not " +
                                   mexgw::Gateway::type_of(fill) + ".");
        }
        const NanFillType type = class_id == mxDOUBLE_CLASS ? NanFillType::Double : NanFillType::Single;
        const uint64_t count = mxGetNumberOfElements(data);
        const void* source = mxGetData(data);
        // The fill in the data's type; without a fill the core must meet no NaN.
        double fill_double = 0;
        float fill_single = 0;
        const void* fill_value = nullptr;
        if (!mxIsEmpty(fill)) {
            if (type == NanFillType::Double) {
                fill_double = first_element_as<double>(fill);
                fill_value = &fill_double;
            } else {
                fill_single = first_element_as<float>(fill);
                fill_value = &fill_single;
            }
        } else if (containsNaN(source, count, type)) {
            gw.fail("emptyFill", "Input 2 (v) is empty, but input 1 (X) holds NaN to replace.");
        }
        // Every element is written by the core, so the output is not zero-filled first.
        const mwSize ndim = mxGetNumberOfDimensions(data);
        const mwSize* dims = mxGetDimensions(data);
        plhs[0] = mxCreateUninitNumericArray(ndim, const_cast<mwSize*>(dims), class_id, mxREAL);
        void* destination = mxGetData(plhs[0]);
        mexgw::advise_huge_pages(destination, count * mxGetElementSize(data));
        fillNaN(source, destination, count, fill_value, type);
    });
}
