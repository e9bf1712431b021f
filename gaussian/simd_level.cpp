#include "simd_level.hpp"

bool simd_level_supported(SimdLevel level) {
#ifdef SIMD_LEVEL_X86
    __builtin_cpu_init();
    switch (level) {
        case SimdLevel::avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                   __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw");
        case SimdLevel::avx2:
            return __builtin_cpu_supports("avx2");
        case SimdLevel::sse2:
            return true;
    }
    return false;
#else
    return level == SimdLevel::sse2;
#endif
}

SimdLevel widest_simd_level() {
    static const SimdLevel widest = simd_level_supported(SimdLevel::avx512) ? SimdLevel::avx512
                                    : simd_level_supported(SimdLevel::avx2) ? SimdLevel::avx2
                                                                            : SimdLevel::sse2;
    return widest;
}

std::vector<SimdLevel> supported_simd_levels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel level : {SimdLevel::sse2, SimdLevel::avx2, SimdLevel::avx512}) {
        if (simd_level_supported(level)) levels.push_back(level);
    }
    return levels;
}

const char* simd_level_name(SimdLevel level) {
    switch (level) {
        case SimdLevel::avx512:
            return "avx512";
        case SimdLevel::avx2:
            return "avx2";
        case SimdLevel::sse2:
            break;
    }
    return "sse2";
}
