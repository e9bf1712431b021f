#!/usr/bin/python3
"""NumPy peers of gauss3_eval / gauss3_eval_approx and accum_derivs3.

What a user would write in NumPy for the same work, timed on the same sizes
as bench/gaussian_fast_bench.cpp (10^7 samples for the evaluation, 10^6 for
the derivative sums). NumPy's sums are pairwise, not in sample order, so they
are a speed reference only.

Usage: /usr/bin/python3 bench/peers/gaussian_fast.py [--repeats N] [--json]
Prints one line per case: name, median milliseconds, samples per second
(with --json, the rows of bench/peers/peer_output.py).
"""
import argparse
import time

import numpy as np

import peer_output


def seconds_of(function, repeats):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        function()
        times.append(time.perf_counter() - start)
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeats", type=int, default=5)
    peer_output.add_json_flag(parser)
    args = parser.parse_args()
    repeats = args.repeats

    rng = np.random.default_rng(1)
    m = 10_000_000
    x, y, z = (rng.uniform(-6, 6, m) for _ in range(3))
    cx, cy, cz, sxy, sz = 0.5, -0.25, 1.0, 1.5, 3.0

    def argument():
        return (((x - cx) ** 2 + (y - cy) ** 2) / (sxy * sxy) + (z - cz) ** 2 / (sz * sz)) * -0.5

    cases = [
        ("numpy_gauss3_eval (float64 exp)", lambda: np.exp(argument()), m),
        ("numpy_gauss3_eval_float32 (float32 exp)", lambda: np.exp(argument().astype(np.float32)), m),
    ]

    n = 1_000_000
    u, v, w, a, b = (rng.uniform(-1, 1, n) for _ in range(5))

    def derivs():
        P = b * (a + a)
        Q = (a + a) * a - P
        k = np.stack((u, v, w))
        g = -(k @ P)
        H = (k * Q) @ k.T
        H[np.diag_indices(3)] += P.sum() / np.array([sxy * sxy, sxy * sxy, sz * sz])
        return g, H

    cases.append(("numpy_accum_derivs3", derivs, n))

    rows = []
    for name, function, samples in cases:
        function()  # warm up
        times = seconds_of(function, repeats)
        rows.append(peer_output.row(name.split()[0], samples, times))
        if not args.json:
            ms = float(np.median(times)) * 1e3
            print(f"{name:45s} {ms:10.2f} ms {samples / ms / 1e3:12.1f} M samples/s")
    if args.json:
        peer_output.emit("numpy", rows, numpy=np.__version__)


if __name__ == "__main__":
    main()
