// s = tiff_stack_dims(path): [height, width, slices] of a TIFF stack.
#include <string>
#include <utility>

#include "gateway.hpp"
#include "mex.h"
#include "stack_geometry.hpp"

MEX_FILE_REQUIRED_API_VERSION(0x2022A, 0x7300000)

namespace {

constexpr const char* kInputError = "tiff:inputError";
constexpr const char* kCountMessage = "Function only accepts one input argument";
constexpr const char* kTypeMessage = "The first argument must be a string";

// Host memory this call made for itself, released on every path.
struct OwnedArray {
    mxArray* array = nullptr;
    ~OwnedArray() {
        if (array != nullptr) mxDestroyArray(array);
    }
};

struct OwnedText {
    char* text = nullptr;
    ~OwnedText() {
        if (text != nullptr) mxFree(text);
    }
};

std::string takeText(const OwnedText& converted) {
    if (converted.text == nullptr) throw mexgw::Error(kInputError, kTypeMessage);
    return converted.text;
}

// The path as text: a string object through the host's "char", a char
// array as it is.
std::string pathText(const mxArray* input) {
    OwnedText converted;
#ifndef HAVE_OCTAVE  // Octave has no string class
    if (mxIsClass(input, "string")) {
        OwnedArray copy{mxDuplicateArray(input)};
        OwnedArray chars;
        mxArray* arguments[1] = {copy.array};
        if (copy.array != nullptr && mexCallMATLABWithObject(1, &chars.array, 1, arguments, "char") == 0 &&
            chars.array != nullptr && mxIsChar(chars.array)) {
            converted.text = mxArrayToString(chars.array);
        }
        return takeText(converted);
    }
#endif
    if (!mxIsChar(input)) throw mexgw::Error(kInputError, kTypeMessage);
    converted.text = mxArrayToString(input);
    return takeText(converted);
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    (void)nlhs;  // the result goes to slot 0 whatever was asked for
    mexgw::run("tiff_stack_dims", [&](const mexgw::Gateway&) {
        if (nrhs < 1) throw mexgw::Error(kInputError, kCountMessage);
        std::string path = pathText(prhs[0]);
        if (path.find('~') != std::string::npos) {
            try {
                path = expandTilde(path);
            } catch (const StackPathError& error) {
                throw mexgw::Error(kInputError, error.what());
            }
        }
        TiffHandle handle = openStackFile(path.c_str());
        if (!handle) throw mexgw::Error(kInputError, "File \"" + path + "\" cannot be opened");
        // Extra inputs are noticed only once the first has proved to be a file.
        if (nrhs > 1) throw mexgw::Error(kInputError, kCountMessage);

        const StackGeometry geometry = readStackGeometry(std::move(handle), path.c_str());
        if (geometry.manySlices) mexPrintf("Number of slices > 32768\n");
        plhs[0] = mxCreateNumericMatrix(1, 3, mxDOUBLE_CLASS, mxREAL);
        double* out = mxGetPr(plhs[0]);
        out[0] = static_cast<double>(geometry.height);
        out[1] = static_cast<double>(geometry.width);
        out[2] = static_cast<double>(geometry.slices);
    });
}
