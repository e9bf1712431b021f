// Copy of a single or double array with every NaN replaced by a fill value.
#pragma once

#include <cstdint>

enum class NanFillType { Double, Single };

// destination[i] = source[i], or *fill where source[i] is NaN (any sign,
// payload, quiet or signalling), for i in [0, count). Elements are copied bit
// for bit; the fill keeps its own bits, a NaN fill included. *fill, of the
// same element type, is read only when a NaN is met, so it may be invalid when
// the data hold none. One OpenMP parallel loop with a static schedule: each
// thread copies one contiguous block in increasing order, and every output
// element is written once. Runs with the runtime's default thread count.
void fillNaN(const void* source, void* destination, uint64_t count, const void* fill, NanFillType type);

// Whether any element is NaN; the check for a call whose fill is missing.
bool containsNaN(const void* source, uint64_t count, NanFillType type);
