// Gradient and Hessian sums of a sum of squared residuals with respect to the
// centre of one Gaussian, from per-sample terms the caller prepares.
#pragma once

#include <cstdint>

// For each sample i < m in order, with k = (u[i], v[i], w[i]), widths
// s = (sxy, sxy, sz), P = b·(a+a) and Q = (a+a)·a − P:
//   g[r]    -= P·k_r
//   H(r, c) += (k_c·Q)·k_r                        for r > c
//   H(r, r) += (k_r·Q)·k_r + P/(s_r·s_r)
// each a running sum in sample order, starting from what g and H hold (the
// host's zeros). H is 3×3 column-major; its upper entries are then copied
// from the lower ones (also when m <= 0). *sxy and *sz are read only when
// m >= 1.
void accum_derivs3_rows(const double* u, const double* v, const double* w, const double* a, const double* b,
                        const double* sxy, const double* sz, int32_t m, double* g, double* H);
