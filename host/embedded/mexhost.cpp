#include "mexhost.hpp"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "host_state.hpp"

namespace mexhost {

using detail::Abort;
using detail::CallScope;

Array::Array(const Array& other) : array_(other.array_ ? mxDuplicateArray(other.array_) : nullptr) {}

Array& Array::operator=(Array other) noexcept {
    std::swap(array_, other.array_);
    return *this;
}

Array::~Array() { detail::destroy_array(array_); }

mxArray* Array::release() noexcept { return std::exchange(array_, nullptr); }

Array Array::matrix(size_t m, size_t n, const std::vector<double>& column_major) {
    Array result(mxCreateDoubleMatrix_730(m, n, mxREAL));
    if (!column_major.empty()) {
        if (column_major.size() != m * n) throw std::invalid_argument("matrix: m*n values expected");
        std::copy(column_major.begin(), column_major.end(), mxGetPr(result.get()));
    }
    return result;
}

Array Array::column(const std::vector<double>& values) { return matrix(values.size(), 1, values); }
Array Array::row(const std::vector<double>& values) { return matrix(1, values.size(), values); }
Array Array::scalar(double value) { return Array(mxCreateDoubleScalar(value)); }

Array Array::numeric(mxClassID class_id, const std::vector<size_t>& dims) {
    return Array(mxCreateNumericArray_730(dims.size(), dims.data(), class_id, mxREAL));
}

Array Array::complex_matrix(size_t m, size_t n) { return Array(mxCreateDoubleMatrix_730(m, n, mxCOMPLEX)); }
Array Array::char_row(const std::string& text) { return Array(mxCreateString(text.c_str())); }

Array Array::string_object(const std::string& text) {
    const size_t one[2] = {1, 1};
    Array result(detail::new_array(mxOBJECT_CLASS, 2, one, true, false));
    result.get()->object_class = "string";
    result.get()->object_text = text;
    return result;
}

Array Array::cell(size_t m, size_t n) { return Array(mxCreateCellMatrix_730(m, n)); }
Array Array::structure(size_t m, size_t n) { return Array(mxCreateStructMatrix_730(m, n, 0, nullptr)); }

std::vector<size_t> Array::dims() const {
    const size_t* dims = mxGetDimensions_730(array_);
    return {dims, dims + mxGetNumberOfDimensions_730(array_)};
}

std::vector<double> Array::values() const {
    if (class_id() != mxDOUBLE_CLASS) throw std::logic_error("values: not a double array");
    const double* data = mxGetPr(array_);
    return {data, data + numel()};
}

namespace {

using Entry = void (*)(int, mxArray**, int, const mxArray**);

Entry load_entry(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, Entry> loaded;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = loaded.find(path);
    if (found != loaded.end()) return found->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw std::runtime_error("cannot load module " + path + ": " + dlerror());
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "mexFunction"));
    if (entry == nullptr) throw std::runtime_error("module " + path + " exports no mexFunction");
    loaded.emplace(path, entry);
    return entry;
}

// Makes a call scope current for the duration of one call.
class ActiveCall {
public:
    explicit ActiveCall(CallScope& scope) : previous_(detail::current_call()) { detail::set_current_call(&scope); }
    ~ActiveCall() { detail::set_current_call(previous_); }
    ActiveCall(const ActiveCall&) = delete;
    ActiveCall& operator=(const ActiveCall&) = delete;

private:
    CallScope* previous_;
};

}  // namespace

Module::Module(const std::string& path) : path_(path), entry_(load_entry(path)) {}

CallResult Module::call(int nlhs, const std::vector<Array>& inputs) const {
    std::vector<const mxArray*> rhs;
    for (const Array& input : inputs) rhs.push_back(input.get());
    // Slot 0 exists even when no output is requested.
    std::vector<mxArray*> lhs(static_cast<size_t>(std::max(nlhs, 1)), nullptr);

    CallResult result;
    CallScope scope;
    {
        ActiveCall active(scope);
        try {
            entry_(nlhs, lhs.data(), static_cast<int>(rhs.size()), rhs.data());
        } catch (const Abort& abort) {
            result.failed = true;
            result.identifier = abort.identifier;
            result.message = abort.message;
        } catch (const std::exception& escaped) {
            result.failed = true;
            result.identifier = "mexhost:uncaughtException";
            result.message = escaped.what();
        }
    }
    if (!result.failed) {
        for (mxArray* output : lhs) {
            if (output != nullptr) detail::adopt(scope, output);
            result.outputs.emplace_back(output);
        }
    }
    detail::reclaim(scope);
    result.printed = std::move(scope.printed);
    return result;
}

size_t live_allocations() { return detail::live_allocations(); }

}  // namespace mexhost
