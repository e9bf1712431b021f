// The symmetric 3N-by-3N matrix of 3x3 blocks that couple the centres of N
// Gaussians, summed over M samples of per-component data.
#pragma once

#include <cstdint>

#include "simd_level.hpp"

// u, v, w, a: M-by-N column-major arrays (element (i, j) at i + j*m), the
// 3-vector k_ij = (u, v, w) and the value a_ij of component j at sample i.
// k: 3N-by-3N column-major, zeros on entry. For j < k the block (j, k) gets
//
//   K(3j+r, 3k+c) = sum over i = 0, 1, ... of (k_ij[r] * (a_ik * (a_ij + a_ij))) * k_ik[c]
//
// each term rounded exactly in this grouping (no fused multiply-add) and added
// to the running value in increasing sample order. Block (k, j) becomes the
// bitwise transpose of block (j, k); diagonal blocks are not written. Counts
// and indices are 64-bit, so neither 9N^2 nor M*N is limited to 2^31.
// Nothing is read or written when m <= 0 or n <= 1: k keeps its zeros.
void pair_blocks3_fill(const double* u, const double* v, const double* w, const double* a, int64_t m, int64_t n,
                       double* k);

// The summation kernel runs on the widest instruction set the processor
// supports; every level gives the same bits. pair_blocks3_fill_on forces one
// level (which must be supported), so tests and benchmarks can compare them.
void pair_blocks3_fill_on(SimdLevel level, const double* u, const double* v, const double* w, const double* a,
                          int64_t m, int64_t n, double* k);
