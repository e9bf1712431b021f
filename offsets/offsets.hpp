// Pairwise x and y offsets between two lists of 2-D points.
#pragma once

#include <cstdint>

// For every point i of P (m points) and j of Q (n points), both lists held
// column-major as [x; y] columns:
//   dx[i + j*m] = Q[j]     - P[i]
//   dy[i + j*m] = Q[j + n] - P[i + m]
// Both outputs are written once, column after column in storage order; with
// m <= 0 or n <= 0 nothing is read or written.
void calcDiffMatrix(double* dx, double* dy, const double* p, const double* q, int32_t m, int32_t n);
