// Bit patterns of floating-point values, for tests that compare results bit
// for bit, and the special values they feed in.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

inline uint64_t bits_of(double value) {
    uint64_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

inline uint32_t bits_of(float value) {
    uint32_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

inline float float_from_bits(uint32_t b) {
    float value;
    std::memcpy(&value, &b, sizeof value);
    return value;
}

// Equal bit for bit; any NaN matches any NaN (IEEE leaves payloads open).
template <class T>
bool same_value(T a, T b) {
    return (std::isnan(a) && std::isnan(b)) || bits_of(a) == bits_of(b);
}
