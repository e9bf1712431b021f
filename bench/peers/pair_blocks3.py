#!/usr/bin/env python3
"""NumPy/BLAS peer of pair_blocks3: K = 2 * X^T X with X the M x 3N matrix of
A-weighted components (columns u, v, w of component j at 3j, 3j+1, 3j+2), the
diagonal 3x3 blocks zeroed afterwards. This is the formulation a user would
write; it rounds differently (fused multiply-adds, blocked sums), so only its
time is compared.

Usage: pair_blocks3.py [--repeats R] [--json] [M N ...]   (default sizes: 2000 100, 2000 500, 500 1500)

Prints two lines per size: the whole formulation (forming X, the product,
the doubling and the zeroed diagonal blocks) and the product X^T X alone,
each with the median and minimum wall-clock time and the median CPU time of
the process (with one BLAS thread, the time the computation itself used on a
shared machine; with more, the sum over the threads). The BLAS thread count follows
OPENBLAS_NUM_THREADS / OMP_NUM_THREADS as set by the caller. With --json:
the rows of bench/peers/peer_output.py instead (size "MxN").
"""
import argparse
import os
import statistics
import time

import numpy as np

import peer_output


def blas_kernel():
    """Which BLAS core NumPy's OpenBLAS reports, when it can tell."""
    try:
        import ctypes

        for name in ("libopenblas.so.0", "libblas.so.3"):
            try:
                lib = ctypes.CDLL(name)
                lib.openblas_get_config.restype = ctypes.c_char_p
                lib.openblas_get_corename.restype = ctypes.c_char_p
                return "%s, core %s" % (lib.openblas_get_config().decode(), lib.openblas_get_corename().decode())
            except (OSError, AttributeError):
                continue
    except ImportError:
        pass
    return "unknown"


def weighted_components(U, V, W, A):
    m, n = U.shape
    X = np.empty((m, 3 * n))
    X[:, 0::3] = U * A
    X[:, 1::3] = V * A
    X[:, 2::3] = W * A
    return X


def pair_blocks_blas(U, V, W, A):
    n = U.shape[1]
    X = weighted_components(U, V, W, A)
    K = X.T @ X
    K *= 2.0
    for j in range(n):
        K[3 * j:3 * j + 3, 3 * j:3 * j + 3] = 0.0
    return K


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--repeats", type=int, default=9)
    parser.add_argument("sizes", nargs="*", type=int)
    peer_output.add_json_flag(parser)
    args = parser.parse_args()
    sizes = args.sizes or [2000, 100, 2000, 500, 500, 1500]
    if len(sizes) % 2:
        parser.error("sizes come in pairs M N")
    threads = os.environ.get("OPENBLAS_NUM_THREADS") or os.environ.get("OMP_NUM_THREADS") or "default"
    if not args.json:
        print("numpy %s, BLAS %s, threads %s" % (np.__version__, blas_kernel(), threads))
    rows = []
    rng = np.random.default_rng(1)
    for m, n in zip(sizes[0::2], sizes[1::2]):
        U, V, W, A = (rng.standard_normal((m, n)) for _ in range(4))
        X = weighted_components(U, V, W, A)
        for label, run in (("numpy_blas", lambda: pair_blocks_blas(U, V, W, A)), ("numpy_XtX_only", lambda: X.T @ X)):
            run()  # warm up
            wall, cpu = [], []
            for _ in range(args.repeats):
                w0, c0 = time.perf_counter(), time.process_time()
                run()
                cpu.append(time.process_time() - c0)
                wall.append(time.perf_counter() - w0)
            rows.append(peer_output.row(label, "%dx%d" % (m, n), wall, cpu_median_s=statistics.median(cpu)))
            if args.json:
                continue
            print("%s M=%d N=%d: wall median %.2f ms min %.2f ms, cpu median %.2f ms"
                  % (label, m, n, statistics.median(wall) * 1e3, min(wall) * 1e3, statistics.median(cpu) * 1e3))
    if args.json:
        peer_output.emit("numpy", rows, numpy=np.__version__, blas=blas_kernel(), threads=threads)


if __name__ == "__main__":
    main()
