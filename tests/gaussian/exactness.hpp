// Helpers of the Gaussian kernel tests: bit patterns, and a mixture of
// ordinary and special values to feed the kernels.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "float_bits.hpp"

// Mostly ordinary values in [-range, range]; one in `special_one_in` draws
// is NaN, ±inf, ±0, a subnormal, the smallest normal or a huge value.
class ValueMix {
public:
    ValueMix(uint64_t seed, double range, int special_one_in)
        : rng_(seed), uniform_(-range, range), special_one_in_(special_one_in) {}

    double operator()() {
        if (std::uniform_int_distribution<int>(0, special_one_in_ - 1)(rng_) != 0) return uniform_(rng_);
        static constexpr double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                                              std::numeric_limits<double>::infinity(),
                                              -std::numeric_limits<double>::infinity(),
                                              0.0,
                                              -0.0,
                                              std::numeric_limits<double>::denorm_min(),
                                              -4.0e-310,
                                              std::numeric_limits<double>::min(),
                                              1.0e300,
                                              -1.0e300};
        return specials[std::uniform_int_distribution<size_t>(0, std::size(specials) - 1)(rng_)];
    }

    std::mt19937_64& rng() { return rng_; }

private:
    std::mt19937_64 rng_;
    std::uniform_real_distribution<double> uniform_;
    int special_one_in_;
};
