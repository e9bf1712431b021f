// Helpers shared by every gateway: argument-count checks, validation of what
// a gateway reads, and the glue that turns a C++ exception into the host's
// error only after everything the gateway held has been released.
//
// Uses only the standard MEX API, so the same gateway builds for MATLAB,
// GNU Octave and the embedded host.
//
// The pattern, in every gateway:
//
//   void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
//       mexgw::run("name", [&](const mexgw::Gateway& gw) {
//           gw.check_counts(nrhs, 6, "Six input required.", nlhs, 1, "One output required.");
//           ... validate, create outputs, call the core (which may throw) ...
//       });
//   }
//
// Inside the body, failures are thrown (mexgw::Error, std::bad_alloc, or any
// std::exception from a core). run() catches them, lets the body's objects
// be destroyed, and only then raises the host error, which does not return.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "mex.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

// Defines the version export that tells the host which API a module was
// built for. Each module states its own pair.
#define MEX_FILE_REQUIRED_API_VERSION(built_by_release, target_api_version)                  \
    extern "C" __attribute__((visibility("default"))) void mexfilerequiredapiversion(unsigned int* built_by, unsigned int* target) { \
        *built_by = (built_by_release);                                                     \
        *target = (target_api_version);                                                     \
    }

namespace mexgw {

// An error to raise through the host, with an optional identifier.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
    Error(const std::string& identifier, const std::string& message)
        : std::runtime_error(message), identifier_(identifier) {}
    const std::string& identifier() const noexcept { return identifier_; }

private:
    std::string identifier_;
};

// Argument checks that name the function in their identifiers
// ("function:mnemonic") and the argument in their messages.
class Gateway {
public:
    explicit Gateway(const char* function) : function_(function) {}

    const char* function() const { return function_; }

    // The fixed count messages carry no identifier, as the hosts raise them.
    static void check_counts(int nrhs, int inputs, const char* input_message, int nlhs, int outputs,
                             const char* output_message) {
        if (nrhs != inputs) throw Error(input_message);
        if (nlhs != outputs) throw Error(output_message);
    }

    [[noreturn]] void fail(const char* mnemonic, const std::string& message) const {
        throw Error(std::string(function_) + ":" + mnemonic, message);
    }

    // A real, full (non-sparse) array of the given class.
    void require_real(const mxArray* array, int position, const char* name, mxClassID class_id,
                      const char* class_name) const {
        if (mxGetClassID(array) != class_id || mxIsComplex(array) || mxIsSparse(array)) {
            fail(class_id == mxDOUBLE_CLASS ? "notRealDouble" : "wrongClass",
                 describe(position, name) + " must be a real " + class_name + " array, not " +
                     type_of(array) + ".");
        }
    }

    void require_real_double(const mxArray* array, int position, const char* name) const {
        require_real(array, position, name, mxDOUBLE_CLASS, "double");
    }

    void require_elements(const mxArray* array, int position, const char* name, size_t at_least) const {
        if (mxGetNumberOfElements(array) < at_least) {
            fail("tooFewElements", describe(position, name) + " must hold at least " + std::to_string(at_least) +
                                       " element" + (at_least == 1 ? "" : "s") + ", but holds " +
                                       std::to_string(mxGetNumberOfElements(array)) + ".");
        }
    }

    // A real double array holding at least the elements the core reads.
    void require_double_elements(const mxArray* array, int position, const char* name, size_t at_least) const {
        require_real_double(array, position, name);
        require_elements(array, position, name, at_least);
    }

    // A count the core holds as a 32-bit signed integer.
    int32_t count32(size_t count, int position, const char* name, const char* what) const {
        if (count > static_cast<size_t>(INT32_MAX)) {
            fail("tooLarge", describe(position, name) + " has " + std::to_string(count) + " " + what +
                                 "; at most 2147483647 are supported.");
        }
        return static_cast<int32_t>(count);
    }

    static std::string describe(int position, const char* name) {
        return "Input " + std::to_string(position) + " (" + name + ")";
    }

    static std::string type_of(const mxArray* array) {
        std::string type = mxIsSparse(array) ? "sparse " : "";
        if (mxIsComplex(array)) type += "complex ";
        return type + mxGetClassName(array);
    }

private:
    const char* function_;
};

// Asks the kernel to back the pages of a fresh, large output with transparent
// huge pages, before its first write. A host that allocates with 4 KiB pages
// (GNU Octave by default) otherwise pays a page fault per 4 KiB, which costs
// more than writing the page. Only outputs far above the C library's largest
// mmap threshold are advised, so the range lies in the output's own mapping
// and no neighbouring heap memory changes. Values are unaffected; a failure
// of the advice is ignored.
inline void advise_huge_pages(void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr size_t kAdvisedBytes = size_t{64} << 20;
    if (data == nullptr || bytes < kAdvisedBytes) return;
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(page - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Runs a gateway body and raises what it threw as the host's error, after the
// body's objects have been destroyed. The text is kept in fixed buffers on
// this frame, so raising (which does not return) leaks nothing.
template <class Body>
void run(const char* function, Body&& body) {
    char identifier[128] = "";
    char message[1024] = "";
    try {
        const Gateway gateway(function);
        body(gateway);
        return;
    } catch (const Error& error) {
        std::snprintf(identifier, sizeof identifier, "%s", error.identifier().c_str());
        std::snprintf(message, sizeof message, "%s", error.what());
    } catch (const std::bad_alloc&) {
        std::snprintf(identifier, sizeof identifier, "%s:outOfMemory", function);
        std::snprintf(message, sizeof message, "Out of memory.");
    } catch (const std::exception& error) {
        std::snprintf(identifier, sizeof identifier, "%s:error", function);
        std::snprintf(message, sizeof message, "%s", error.what());
    }
    if (identifier[0] == '\0') mexErrMsgTxt(message);
    mexErrMsgIdAndTxt(identifier, "%s", message);
}

}  // namespace mexgw
