// libmx of the embedded host: arrays and host memory.
#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <unordered_map>

#include "host_state.hpp"

namespace mexhost::detail {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

std::atomic<size_t> live_count{0};
thread_local CallScope* active_call = nullptr;

std::mutex mapping_mutex;
std::unordered_map<void*, size_t>& mappings() {
    static std::unordered_map<void*, size_t> table;
    return table;
}

void* map_huge(size_t bytes) {
    const size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    const size_t span = length + kHugePage;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    // Trim the mapping to a 2 MiB aligned window so that every page of it can
    // be a huge page.
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const uintptr_t end = start + span;
    if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, length, MADV_HUGEPAGE);
    std::lock_guard<std::mutex> lock(mapping_mutex);
    mappings().emplace(block, length);
    return block;
}

size_t checked_product(const size_t* dims, size_t ndim, size_t element_size) {
    size_t total = element_size;
    for (size_t i = 0; i < ndim; ++i) {
        if (dims[i] != 0 && total > std::numeric_limits<size_t>::max() / dims[i]) throw std::bad_alloc();
        total *= dims[i];
    }
    return total;
}

size_t element_size_of(mxClassID class_id) {
    switch (class_id) {
        case mxLOGICAL_CLASS:
        case mxINT8_CLASS:
        case mxUINT8_CLASS: return 1;
        case mxCHAR_CLASS:
        case mxINT16_CLASS:
        case mxUINT16_CLASS: return 2;
        case mxSINGLE_CLASS:
        case mxINT32_CLASS:
        case mxUINT32_CLASS: return 4;
        case mxOBJECT_CLASS: return 0;
        default: return 8;  // double, 64-bit integers, and cell or struct slots
    }
}

}  // namespace

void* allocate(size_t bytes, bool zero) {
    void* block = nullptr;
    if (bytes >= kHugePage) {
        block = map_huge(bytes);  // anonymous mappings are zero-filled
    } else {
        // Never hand out a null pointer, even for empty data.
        block = zero ? std::calloc(std::max<size_t>(bytes, 1), 1) : std::malloc(std::max<size_t>(bytes, 1));
    }
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void release(void* pointer) {
    if (pointer == nullptr) return;
    {
        std::lock_guard<std::mutex> lock(mapping_mutex);
        auto found = mappings().find(pointer);
        if (found != mappings().end()) {
            munmap(pointer, found->second);
            mappings().erase(found);
            return;
        }
    }
    std::free(pointer);
}

void* allocate_block(size_t bytes, bool zero) {
    void* block = allocate(bytes, zero);
    ++live_count;
    if (CallScope* scope = active_call) scope->blocks.push_back(block);
    return block;
}

void release_block(void* pointer) {
    release(pointer);
    --live_count;
}

CallScope* current_call() { return active_call; }
void set_current_call(CallScope* scope) { active_call = scope; }

void adopt(CallScope& scope, mxArray* array) {
    auto& arrays = scope.arrays;
    arrays.erase(std::remove(arrays.begin(), arrays.end(), array), arrays.end());
}

void reclaim(CallScope& scope) {
    for (mxArray* array : scope.arrays) destroy_array(array);
    for (void* block : scope.blocks) release_block(block);
    scope.arrays.clear();
    scope.blocks.clear();
}

mxArray* new_array(mxClassID class_id, size_t ndim, const size_t* dims, bool zero, bool complex) {
    auto* array = new mxArray_tag;
    array->class_id = class_id;
    array->dims.assign(dims, dims + ndim);
    while (array->dims.size() < 2) array->dims.push_back(1);
    while (array->dims.size() > 2 && array->dims.back() == 1) array->dims.pop_back();
    for (size_t d : array->dims) array->dims_int.push_back(d > size_t{INT32_MAX} ? -1 : static_cast<int>(d));
    array->element_size = element_size_of(class_id);
    try {
        array->numel = checked_product(array->dims.data(), array->dims.size(), 1);
        const size_t bytes = checked_product(array->dims.data(), array->dims.size(), array->element_size);
        array->real = allocate(bytes, zero);
        if (complex) array->imag = allocate(bytes, zero);
    } catch (...) {
        release(array->real);
        delete array;
        throw;
    }
    ++live_count;
    if (CallScope* scope = active_call) scope->arrays.push_back(array);
    return array;
}

void destroy_array(mxArray* array) {
    if (array == nullptr) return;
    release(array->real);
    release(array->imag);
    delete array;
    --live_count;
}

size_t live_allocations() { return live_count.load(); }

}  // namespace mexhost::detail

using namespace mexhost::detail;

namespace {

mxArray* create(mxClassID class_id, size_t ndim, const size_t* dims, bool zero, mxComplexity complexity) {
    return new_array(class_id, ndim, dims, zero, complexity == mxCOMPLEX);
}

template <class Int>
mxArray* create_from(mxClassID class_id, Int ndim, const Int* dims, bool zero, mxComplexity complexity) {
    std::vector<size_t> sizes;
    for (Int i = 0; i < ndim; ++i) sizes.push_back(dims[i] < 0 ? 0 : static_cast<size_t>(dims[i]));
    return create(class_id, sizes.size(), sizes.data(), zero, complexity);
}

mxArray* create_matrix(mxClassID class_id, size_t m, size_t n, mxComplexity complexity) {
    const size_t dims[2] = {m, n};
    return create(class_id, 2, dims, true, complexity);
}

size_t to_size(int value) { return value < 0 ? 0 : static_cast<size_t>(value); }

}  // namespace

extern "C" {

double* mxGetPr(const mxArray* array) { return static_cast<double*>(array->real); }
double* mxGetPi(const mxArray* array) { return static_cast<double*>(array->imag); }
void* mxGetData(const mxArray* array) { return array->real; }
void* mxGetImagData(const mxArray* array) { return array->imag; }
mxLogical* mxGetLogicals(const mxArray* array) {
    return array->class_id == mxLOGICAL_CLASS ? static_cast<mxLogical*>(array->real) : nullptr;
}
mxChar* mxGetChars(const mxArray* array) {
    return array->class_id == mxCHAR_CLASS ? static_cast<mxChar*>(array->real) : nullptr;
}

double mxGetScalar(const mxArray* array) {
    if (array->numel == 0 || array->element_size == 0) return 0.0;
    switch (array->class_id) {
        case mxDOUBLE_CLASS: return *static_cast<const double*>(array->real);
        case mxSINGLE_CLASS: return *static_cast<const float*>(array->real);
        case mxLOGICAL_CLASS:
        case mxUINT8_CLASS: return *static_cast<const uint8_t*>(array->real);
        case mxINT8_CLASS: return *static_cast<const int8_t*>(array->real);
        case mxCHAR_CLASS:
        case mxUINT16_CLASS: return *static_cast<const uint16_t*>(array->real);
        case mxINT16_CLASS: return *static_cast<const int16_t*>(array->real);
        case mxINT32_CLASS: return *static_cast<const int32_t*>(array->real);
        case mxUINT32_CLASS: return *static_cast<const uint32_t*>(array->real);
        case mxINT64_CLASS: return static_cast<double>(*static_cast<const int64_t*>(array->real));
        case mxUINT64_CLASS: return static_cast<double>(*static_cast<const uint64_t*>(array->real));
        default: return 0.0;
    }
}

size_t mxGetM(const mxArray* array) { return array->dims[0]; }
size_t mxGetN(const mxArray* array) {
    size_t n = 1;
    for (size_t i = 1; i < array->dims.size(); ++i) n *= array->dims[i];
    return n;
}
size_t mxGetNumberOfElements(const mxArray* array) { return array->numel; }
size_t mxGetElementSize(const mxArray* array) { return array->element_size; }
mxClassID mxGetClassID(const mxArray* array) { return array->class_id; }

const char* mxGetClassName(const mxArray* array) {
    switch (array->class_id) {
        case mxCELL_CLASS: return "cell";
        case mxSTRUCT_CLASS: return "struct";
        case mxLOGICAL_CLASS: return "logical";
        case mxCHAR_CLASS: return "char";
        case mxDOUBLE_CLASS: return "double";
        case mxSINGLE_CLASS: return "single";
        case mxINT8_CLASS: return "int8";
        case mxUINT8_CLASS: return "uint8";
        case mxINT16_CLASS: return "int16";
        case mxUINT16_CLASS: return "uint16";
        case mxINT32_CLASS: return "int32";
        case mxUINT32_CLASS: return "uint32";
        case mxINT64_CLASS: return "int64";
        case mxUINT64_CLASS: return "uint64";
        case mxOBJECT_CLASS: return array->object_class.c_str();
        default: return "unknown";
    }
}

bool mxIsLogical(const mxArray* array) { return array->class_id == mxLOGICAL_CLASS; }
bool mxIsChar(const mxArray* array) { return array->class_id == mxCHAR_CLASS; }
bool mxIsDouble(const mxArray* array) { return array->class_id == mxDOUBLE_CLASS; }
bool mxIsSingle(const mxArray* array) { return array->class_id == mxSINGLE_CLASS; }
bool mxIsNumeric(const mxArray* array) {
    return array->class_id >= mxDOUBLE_CLASS && array->class_id <= mxUINT64_CLASS;
}
bool mxIsComplex(const mxArray* array) { return array->imag != nullptr; }
bool mxIsSparse(const mxArray*) { return false; }
bool mxIsEmpty(const mxArray* array) { return array->numel == 0; }
bool mxIsCell(const mxArray* array) { return array->class_id == mxCELL_CLASS; }
bool mxIsStruct(const mxArray* array) { return array->class_id == mxSTRUCT_CLASS; }
bool mxIsClass(const mxArray* array, const char* class_name) {
    return std::strcmp(mxGetClassName(array), class_name) == 0;
}

char* mxArrayToString(const mxArray* array) {
    if (array->class_id != mxCHAR_CLASS) return nullptr;
    std::string text;
    const auto* chars = static_cast<const mxChar*>(array->real);
    for (size_t i = 0; i < array->numel; ++i) {
        const unsigned c = chars[i];
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    auto* result = static_cast<char*>(mxMalloc(text.size() + 1));
    std::memcpy(result, text.c_str(), text.size() + 1);
    return result;
}

int mxGetNumberOfDimensions_700(const mxArray* array) { return static_cast<int>(array->dims.size()); }
const int* mxGetDimensions_700(const mxArray* array) { return array->dims_int.data(); }
size_t mxGetNumberOfDimensions_730(const mxArray* array) { return array->dims.size(); }
const size_t* mxGetDimensions_730(const mxArray* array) { return array->dims.data(); }

mxArray* mxCreateDoubleScalar(double value) {
    mxArray* array = create_matrix(mxDOUBLE_CLASS, 1, 1, mxREAL);
    *mxGetPr(array) = value;
    return array;
}

mxArray* mxCreateString(const char* text) {
    const size_t length = std::strlen(text);
    mxArray* array = create_matrix(mxCHAR_CLASS, length == 0 ? 0 : 1, length, mxREAL);
    auto* chars = static_cast<mxChar*>(array->real);
    for (size_t i = 0; i < length; ++i) chars[i] = static_cast<unsigned char>(text[i]);
    return array;
}

mxArray* mxDuplicateArray(const mxArray* array) {
    mxArray* copy = create(array->class_id, array->dims.size(), array->dims.data(), false,
                           array->imag != nullptr ? mxCOMPLEX : mxREAL);
    const size_t bytes = array->numel * array->element_size;
    if (bytes > 0) std::memcpy(copy->real, array->real, bytes);
    if (bytes > 0 && array->imag != nullptr) std::memcpy(copy->imag, array->imag, bytes);
    copy->object_class = array->object_class;
    copy->object_text = array->object_text;
    return copy;
}

void mxDestroyArray(mxArray* array) {
    if (array == nullptr) return;
    if (CallScope* scope = current_call()) adopt(*scope, array);
    destroy_array(array);
}

mxArray* mxCreateDoubleMatrix_700(int m, int n, mxComplexity complexity) {
    return create_matrix(mxDOUBLE_CLASS, to_size(m), to_size(n), complexity);
}
mxArray* mxCreateNumericMatrix_700(int m, int n, mxClassID class_id, mxComplexity complexity) {
    return create_matrix(class_id, to_size(m), to_size(n), complexity);
}
mxArray* mxCreateNumericArray_700(int ndim, const int* dims, mxClassID class_id, mxComplexity complexity) {
    return create_from(class_id, ndim, dims, true, complexity);
}
mxArray* mxCreateUninitNumericArray_700(size_t ndim, int* dims, mxClassID class_id, mxComplexity complexity) {
    return create_from(class_id, static_cast<int>(ndim), dims, false, complexity);
}
mxArray* mxCreateLogicalArray_700(int ndim, const int* dims) {
    return create_from(mxLOGICAL_CLASS, ndim, dims, true, mxREAL);
}
mxArray* mxCreateCharArray_700(int ndim, const int* dims) {
    return create_from(mxCHAR_CLASS, ndim, dims, true, mxREAL);
}
mxArray* mxCreateCellMatrix_700(int m, int n) { return create_matrix(mxCELL_CLASS, to_size(m), to_size(n), mxREAL); }
mxArray* mxCreateStructMatrix_700(int m, int n, int, const char**) {
    return create_matrix(mxSTRUCT_CLASS, to_size(m), to_size(n), mxREAL);
}

mxArray* mxCreateDoubleMatrix_730(size_t m, size_t n, mxComplexity complexity) {
    return create_matrix(mxDOUBLE_CLASS, m, n, complexity);
}
mxArray* mxCreateNumericMatrix_730(size_t m, size_t n, mxClassID class_id, mxComplexity complexity) {
    return create_matrix(class_id, m, n, complexity);
}
mxArray* mxCreateNumericArray_730(size_t ndim, const size_t* dims, mxClassID class_id, mxComplexity complexity) {
    return create(class_id, ndim, dims, true, complexity);
}
mxArray* mxCreateUninitNumericArray_730(size_t ndim, size_t* dims, mxClassID class_id, mxComplexity complexity) {
    return create(class_id, ndim, dims, false, complexity);
}
mxArray* mxCreateLogicalArray_730(size_t ndim, const size_t* dims) {
    return create(mxLOGICAL_CLASS, ndim, dims, true, mxREAL);
}
mxArray* mxCreateCharArray_730(size_t ndim, const size_t* dims) {
    return create(mxCHAR_CLASS, ndim, dims, true, mxREAL);
}
mxArray* mxCreateCellMatrix_730(size_t m, size_t n) { return create_matrix(mxCELL_CLASS, m, n, mxREAL); }
mxArray* mxCreateStructMatrix_730(size_t m, size_t n, int, const char**) {
    return create_matrix(mxSTRUCT_CLASS, m, n, mxREAL);
}

void* mxMalloc(size_t bytes) { return allocate_block(bytes, false); }

void* mxCalloc(size_t count, size_t bytes) {
    if (bytes != 0 && count > std::numeric_limits<size_t>::max() / bytes) throw std::bad_alloc();
    return allocate_block(count * bytes, true);
}

void mxFree(void* pointer) {
    if (pointer == nullptr) return;
    if (CallScope* scope = current_call()) {
        auto& blocks = scope->blocks;
        blocks.erase(std::remove(blocks.begin(), blocks.end(), pointer), blocks.end());
    }
    release_block(pointer);
}

}  // extern "C"
