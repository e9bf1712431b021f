// The instruction sets the vectorised Gaussian kernels choose from at run
// time. Every kernel gives the same bits on each; the widest one the
// processor runs is used by default, and tests and benchmarks can force a
// narrower one to compare them.
#pragma once

#include <vector>

enum class SimdLevel { sse2, avx2, avx512 };

// The avx2 and avx512 kernels exist on x86 only; elsewhere every kernel runs
// its portable sse2 code and only that level is supported.
#if defined(__x86_64__) || defined(__i386__)
#define SIMD_LEVEL_X86 1
#endif

// avx512 stands for AVX-512 F, DQ, VL and BW together: without DQ the
// compiler splits some lane comparisons into scalar code, and every CPU with
// DQ also has VL and BW.
bool simd_level_supported(SimdLevel level);

// The widest supported level, found once.
SimdLevel widest_simd_level();

// Every supported level, narrowest first.
std::vector<SimdLevel> supported_simd_levels();

// "sse2", "avx2" or "avx512", for test traces and benchmark labels.
const char* simd_level_name(SimdLevel level);
