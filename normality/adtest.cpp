#include "adtest.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#if defined(__linux__)
#include <sys/mman.h>
#endif

const double alphaVec[7] = {0.25, 0.15, 0.10, 0.05, 0.025, 0.01, 0.005};

const double ctable[35] = {
    1.248, 1.610, 1.933, 2.492, 3.070, 3.857, 4.500,  // adCase 0
    0.644, 0.782, 0.894, 1.087, 1.285, 1.551, 1.756,  // adCase 1
    1.072, 1.430, 1.743, 2.308, 2.898, 3.702, 4.324,  // adCase 2
    0.470, 0.561, 0.631, 0.752, 0.873, 1.035, 1.159,  // adCase 3
    0.736, 0.916, 1.062, 1.321, 1.591, 1.959, 2.244,  // adCase 4
};

int compDouble(const void* a, const void* b) {
    const double x = *static_cast<const double*>(a);
    const double y = *static_cast<const double*>(b);
    if (x < y) return -1;
    if (x > y) return 1;
    return 0;
}

namespace {

struct FreeDeleter {
    void operator()(double* block) const noexcept { std::free(block); }
};
using Scratch = std::unique_ptr<double[], FreeDeleter>;

// An uninitialised heap array of n doubles. Blocks of 2 MiB and more are
// aligned to 2 MiB and advised as huge pages: for large samples the first
// touch of 4 KiB pages otherwise costs more than all the arithmetic.
Scratch scratch(int32_t n) {
    constexpr size_t kHugePage = size_t{2} << 20;
    const size_t bytes = std::max<size_t>(static_cast<size_t>(n) * sizeof(double), 1);
    void* block = nullptr;
    if (bytes >= kHugePage) {
        const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        block = std::aligned_alloc(kHugePage, rounded);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (block != nullptr) madvise(block, rounded, MADV_HUGEPAGE);  // advice only
#endif
    } else {
        block = std::malloc(bytes);
    }
    if (block == nullptr) throw std::bad_alloc();
    return Scratch(static_cast<double*>(block));
}

// Both checks come before any memory is taken or any value is read.
void check_arguments(int32_t n, int32_t adCase) {
    // As unsigned, every value outside 0..4 (negative ones included) is above 4.
    if (static_cast<uint32_t>(adCase) > 4u) {
        throw std::invalid_argument("'adCase' must be an integer between 0 and 4.");
    }
    if (n < 0) throw std::invalid_argument("The sample count must not be negative.");
}

// The corrected statistic of the ascending values x[0..n-1]. F receives the
// n distribution values and may be x itself: each F[i] depends on x[i] alone.
double corrected_statistic(const double* x, int32_t n, double mean, double sd, int32_t adCase, double* F) {
    const double scale = sd * 1.4142135623730951;
    for (int32_t i = 0; i < n; ++i) {
        const double z = (x[i] - mean) / scale;
        F[i] = (std::erf(z) + 1.0) * 0.5;
    }
    // Term i pairs the i-th smallest value with the i-th largest; the sum
    // takes its terms in increasing i.
    double S = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        const double weight = static_cast<double>(2 * static_cast<int64_t>(i) + 1);
        S += weight * (std::log(F[i]) + std::log(1.0 - F[n - 1 - i]));
    }
    const double count = static_cast<double>(n);
    double A = -count - S / count;
    if (adCase == 3) {
        A = A * (2.25 / (count * count) + (1.0 + 0.75 / count));
    } else if (adCase == 4) {
        A = A * (0.6 / count + 1.0);
    }
    return A;
}

bool decide(double A, double alpha, int32_t adCase) {
    for (int k = 0; k < 7; ++k) {
        if (std::fabs(alpha - alphaVec[k]) < 1e-10) return A > ctable[7 * adCase + k];
    }
    throw std::invalid_argument("Admissible 'alpha' values: 0.25,  0.15,  0.10,  0.05,  0.025, 0.01, 0.005");
}

}  // namespace

double adtest_statistic(const double* x, int32_t n, double mean, double sd, int32_t adCase) {
    check_arguments(n, adCase);
    const Scratch F = scratch(n);
    return corrected_statistic(x, n, mean, sd, adCase, F.get());
}

bool adtest_sorted_data(const double* x, int32_t n, double mean, double sd, double alpha, int32_t adCase) {
    // The scratch array is gone before alpha is looked up.
    const double A = adtest_statistic(x, n, mean, sd, adCase);
    return decide(A, alpha, adCase);
}

bool adtest(const double* x, int32_t n, double mean, double sd, double alpha, int32_t adCase) {
    check_arguments(n, adCase);
    double A;
    {
        // The sorted copy doubles as the array of distribution values.
        const Scratch sorted = scratch(n);
        const size_t count = static_cast<size_t>(n);
        if (count > 0) std::memcpy(sorted.get(), x, count * sizeof(double));
        // With a NaN, compDouble is no consistent order, which qsort is not
        // required to survive; and any NaN makes the statistic NaN whatever
        // the order. So such a sample is left unsorted.
        const bool has_nan = std::any_of(sorted.get(), sorted.get() + count, [](double v) { return std::isnan(v); });
        if (count > 1 && !has_nan) std::qsort(sorted.get(), count, sizeof(double), compDouble);
        A = corrected_statistic(sorted.get(), n, mean, sd, adCase, sorted.get());
    }
    return decide(A, alpha, adCase);
}
