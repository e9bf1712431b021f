// State shared by the embedded host's libraries (libmx, libmex, mexhost):
// the array representation, host memory, and the bookkeeping of the call in
// progress. Not part of the MEX interface; gateways never include it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "mex.h"

struct mxArray_tag {
    mxClassID class_id = mxDOUBLE_CLASS;
    std::vector<size_t> dims;   // at least two, no trailing singletons past two
    std::vector<int> dims_int;  // the same, for the 32-bit generation
    size_t numel = 0;
    size_t element_size = 0;
    void* real = nullptr;
    void* imag = nullptr;
    std::string object_class;  // class name of an object, such as "string"
    std::string object_text;   // the text a string object holds
};

namespace mexhost::detail {

// Thrown by mexErrMsgTxt and mexErrMsgIdAndTxt. Deliberately not derived
// from std::exception, so that a gateway's own handlers never catch it.
struct Abort {
    std::string identifier;
    std::string message;
};

// Host memory: blocks of a few MiB and up are mapped with huge-page advice,
// because the first touch of a fresh 4 KiB page costs far more than a
// streaming kernel's own work on it.
void* allocate(size_t bytes, bool zero);
void release(void* pointer);
// The same for mxMalloc blocks, which belong to the call in progress.
void* allocate_block(size_t bytes, bool zero);
void release_block(void* pointer);

// Arrays and mxMalloc blocks made while a call is in progress belong to it
// and are reclaimed when it ends, except the outputs handed to the caller.
struct CallScope {
    std::vector<mxArray*> arrays;
    std::vector<void*> blocks;
    std::string printed;
};
CallScope* current_call();
void set_current_call(CallScope* scope);

// Detaches an output array from the call so that it outlives it.
void adopt(CallScope& scope, mxArray* array);
// Frees everything the call still owns.
void reclaim(CallScope& scope);

mxArray* new_array(mxClassID class_id, size_t ndim, const size_t* dims, bool zero,
                   bool complex);
void destroy_array(mxArray* array);

// Number of host arrays and memory blocks alive, to check for leaks.
size_t live_allocations();

}  // namespace mexhost::detail
