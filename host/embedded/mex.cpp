// libmex of the embedded host: errors, printing and host function calls.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "host_state.hpp"

using namespace mexhost::detail;

namespace {

std::string format_text(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.pop_back();
    return text;
}

// "char" of a string object gives its text as a char row; of a char array,
// a copy.
mxArray* call_char(const mxArray* argument) {
    if (mxIsClass(argument, "string")) return mxCreateString(argument->object_text.c_str());
    if (mxIsChar(argument)) return mxDuplicateArray(argument);
    return nullptr;
}

}  // namespace

extern "C" {

void mexErrMsgTxt(const char* message) { throw Abort{"", message}; }

void mexErrMsgIdAndTxt(const char* identifier, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = format_text(format, args);
    va_end(args);
    throw Abort{identifier, std::move(message)};
}

int mexPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = format_text(format, args);
    va_end(args);
    if (CallScope* scope = current_call()) {
        scope->printed += text;
    } else {
        std::fputs(text.c_str(), stdout);
    }
    return static_cast<int>(text.size());
}

int mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name) {
    if (std::strcmp(name, "char") != 0 || nrhs != 1 || nlhs > 1) return 1;
    mxArray* result = call_char(prhs[0]);
    if (result == nullptr) return 1;
    plhs[0] = result;
    return 0;
}

int mexCallMATLABWithObject(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[], const char* name) {
    return mexCallMATLAB(nlhs, plhs, nrhs, prhs, name);
}

}  // extern "C"
