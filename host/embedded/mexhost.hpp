// A small C++ API over the embedded host: build host arrays, load a module
// file, call its mexFunction, and read back outputs, the error it raised and
// what it printed. Used by the tests and by any C++ program that wants to
// drive a module the way MATLAB or Octave would.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "mex.h"

namespace mexhost {

// An owned host array (or none). Copies duplicate the data.
class Array {
public:
    Array() = default;
    explicit Array(mxArray* adopted) : array_(adopted) {}
    Array(const Array& other);
    Array(Array&& other) noexcept : array_(other.release()) {}
    Array& operator=(Array other) noexcept;
    ~Array();

    // Real double column-major matrix of m rows and n columns.
    static Array matrix(size_t m, size_t n, const std::vector<double>& column_major = {});
    static Array column(const std::vector<double>& values);
    static Array row(const std::vector<double>& values);
    static Array scalar(double value);
    // Zero-filled array of any numeric or logical class and any dimensions.
    static Array numeric(mxClassID class_id, const std::vector<size_t>& dims);
    static Array complex_matrix(size_t m, size_t n);
    static Array char_row(const std::string& text);
    static Array string_object(const std::string& text);
    static Array cell(size_t m, size_t n);
    static Array structure(size_t m, size_t n);

    mxArray* get() const { return array_; }
    mxArray* release() noexcept;
    explicit operator bool() const { return array_ != nullptr; }

    mxClassID class_id() const { return mxGetClassID(array_); }
    std::vector<size_t> dims() const;
    size_t numel() const { return mxGetNumberOfElements(array_); }
    template <class T>
    T* data() const {
        return static_cast<T*>(mxGetData(array_));
    }
    // The elements of a real double array, in storage order.
    std::vector<double> values() const;

private:
    mxArray* array_ = nullptr;
};

struct CallResult {
    std::vector<Array> outputs;  // slots 0 … max(nlhs, 1) − 1 when the call succeeded
    bool failed = false;
    std::string identifier;  // of the raised error, empty when it had none
    std::string message;
    std::string printed;     // everything mexPrintf wrote during the call
};

// A loaded module file. Loading the same file again reuses the loaded copy.
class Module {
public:
    explicit Module(const std::string& path);
    CallResult call(int nlhs, const std::vector<Array>& inputs) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    void (*entry_)(int, mxArray**, int, const mxArray**) = nullptr;
};

// Host arrays and memory blocks alive now; equal before and after a call
// (less the outputs) when the call leaked nothing.
size_t live_allocations();

}  // namespace mexhost
