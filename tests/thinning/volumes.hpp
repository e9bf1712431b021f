// Test volumes for the thinning tests: boxes, random noise, blobs, tubes and
// plates, as column-major byte volumes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct Volume {
    int M = 0, N = 0, P = 0;
    std::vector<unsigned char> bytes;

    Volume() = default;
    Volume(int m, int n, int p) : M(m), N(n), P(p), bytes(static_cast<size_t>(m) * n * p, 0) {}
    unsigned char& at(int r, int c, int s) {
        return bytes[r + static_cast<size_t>(c) * M + static_cast<size_t>(s) * M * N];
    }
    unsigned char at(int r, int c, int s) const {
        return bytes[r + static_cast<size_t>(c) * M + static_cast<size_t>(s) * M * N];
    }
    size_t count() const {
        size_t n = 0;
        for (unsigned char b : bytes) n += b != 0;
        return n;
    }
};

// Sets the box of rows r0..r1, columns c0..c1, slices s0..s1 (0-based, inclusive).
inline void fillBox(Volume& v, int r0, int r1, int c0, int c1, int s0, int s1) {
    for (int s = s0; s <= s1; ++s)
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r) v.at(r, c, s) = 1;
}

inline Volume noise(int M, int N, int P, double density, uint64_t seed) {
    Volume v(M, N, P);
    std::mt19937_64 rng(seed);
    std::bernoulli_distribution object(density);
    for (auto& b : v.bytes) b = object(rng);
    return v;
}

// Noise smoothed by a few box filters and thresholded: rounded blobs with
// holes and tunnels.
inline Volume blobs(int M, int N, int P, double threshold, uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::vector<double> field(static_cast<size_t>(M) * N * P), next(field.size());
    for (auto& f : field) f = uniform(rng);
    const int64_t strides[3] = {1, M, static_cast<int64_t>(M) * N};
    const int sizes[3] = {M, N, P};
    for (int round = 0; round < 2; ++round) {
        for (int axis = 0; axis < 3; ++axis) {
            for (size_t x = 0; x < field.size(); ++x) {
                const int coordinate = static_cast<int>(x / strides[axis] % sizes[axis]);
                double sum = 0;
                int terms = 0;
                for (int d = -1; d <= 1; ++d) {
                    if (coordinate + d < 0 || coordinate + d >= sizes[axis]) continue;
                    sum += field[x + d * strides[axis]];
                    ++terms;
                }
                next[x] = sum / terms;
            }
            field.swap(next);
        }
    }
    Volume v(M, N, P);
    for (size_t x = 0; x < field.size(); ++x) v.bytes[x] = field[x] > threshold;
    return v;
}

// Random straight-ish tubes of the given radius between random points.
inline Volume tubes(int M, int N, int P, int count, double radius, uint64_t seed) {
    Volume v(M, N, P);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> ur(0, M), uc(0, N), us(0, P);
    for (int t = 0; t < count; ++t) {
        const double a[3] = {ur(rng), uc(rng), us(rng)}, b[3] = {ur(rng), uc(rng), us(rng)};
        const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double length2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2] + 1e-12;
        for (int s = 0; s < P; ++s)
            for (int c = 0; c < N; ++c)
                for (int r = 0; r < M; ++r) {
                    const double p[3] = {r - a[0], c - a[1], s - a[2]};
                    double u = (p[0] * d[0] + p[1] * d[1] + p[2] * d[2]) / length2;
                    u = u < 0 ? 0 : u > 1 ? 1 : u;
                    const double e[3] = {p[0] - u * d[0], p[1] - u * d[1], p[2] - u * d[2]};
                    if (e[0] * e[0] + e[1] * e[1] + e[2] * e[2] <= radius * radius) v.at(r, c, s) = 1;
                }
    }
    return v;
}

// Random axis-aligned plates (boxes thin in one dimension).
inline Volume plates(int M, int N, int P, int count, uint64_t seed) {
    Volume v(M, N, P);
    std::mt19937_64 rng(seed);
    for (int t = 0; t < count; ++t) {
        int lo[3], hi[3];
        const int sizes[3] = {M, N, P};
        const int thin = static_cast<int>(rng() % 3);
        for (int a = 0; a < 3; ++a) {
            const int extent = a == thin ? 1 + static_cast<int>(rng() % 3) : 2 + static_cast<int>(rng() % sizes[a]);
            lo[a] = static_cast<int>(rng() % sizes[a]);
            hi[a] = std::min(sizes[a] - 1, lo[a] + extent - 1);
        }
        fillBox(v, lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
    }
    return v;
}
