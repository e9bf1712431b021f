// Anderson–Darling test of a sample against a normal distribution of given
// mean and standard deviation, with the critical values of five test cases at
// seven significance levels.
//
// Plain functions over raw pointers and scalars; no host is needed. The two
// parameter errors are thrown as std::invalid_argument carrying the exact
// message text, before a decision is formed and with nothing left allocated.
// Scratch memory that cannot be obtained is reported as std::bad_alloc.
#pragma once

#include <cstdint>

// The admissible significance levels; the position of alpha here is the
// column of ctable.
extern const double alphaVec[7];

// Critical values, 5 rows (adCase 0..4) of 7 columns (alphaVec order), stored
// row after row: the value for adCase r and level k is ctable[7 * r + k].
extern const double ctable[35];

// qsort comparator over doubles: -1, 1, or 0 when neither is smaller (which
// includes every comparison with a NaN).
int compDouble(const void* a, const void* b);

// The statistic A of the n values x[0..n-1], taken to be in ascending order,
// corrected for adCase 3 and 4 (cases 0 to 2 use it as it is). Every step is
// one IEEE double operation in a fixed order, so the value is reproducible
// bit for bit. n = 0 gives NaN; a NaN anywhere gives NaN; a value whose
// distribution value rounds to 0 or 1 gives +Inf.
// Throws std::invalid_argument "'adCase' must be an integer between 0 and 4."
// when adCase is outside 0..4 (checked before anything else), and for n < 0.
double adtest_statistic(const double* x, int32_t n, double mean, double sd, int32_t adCase);

// The decision for a sample in ascending order (the order is not checked):
// true when the statistic exceeds the critical value of adCase at level
// alpha. Besides the adCase error, throws std::invalid_argument "Admissible
// 'alpha' values: 0.25,  0.15,  0.10,  0.05,  0.025, 0.01, 0.005" when alpha
// is not within 1e-10 of one of the seven levels; that check follows the
// statistic. A NaN statistic gives false.
bool adtest_sorted_data(const double* x, int32_t n, double mean, double sd, double alpha, int32_t adCase);

// The same for a sample in any order: a sorted copy (qsort with compDouble)
// is tested, and x itself is left unchanged. A sample holding a NaN is not
// sorted (compDouble orders nothing against a NaN): its statistic is NaN in
// any order, so the decision is false.
bool adtest(const double* x, int32_t n, double mean, double sd, double alpha, int32_t adCase);
