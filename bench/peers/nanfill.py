#!/usr/bin/python3
"""NumPy peer of fill_nan: y = np.where(np.isnan(x), v, x) on 10^8 doubles and
10^8 singles with 1 % NaN. Prints the median time of several calls and the
copied bytes per second, one line per type.

    /usr/bin/python3 bench/peers/nanfill.py [--count N] [--repeats R] [--json]

With --json: the rows of bench/peers/peer_output.py instead (size "N dtype").
"""
import argparse
import statistics
import time

import numpy as np

import peer_output


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, default=100_000_000)
    parser.add_argument("--repeats", type=int, default=5)
    peer_output.add_json_flag(parser)
    args = parser.parse_args()
    rows = []
    rng = np.random.default_rng(1)
    for dtype in (np.float64, np.float32):
        x = rng.random(args.count, dtype=dtype)
        x[rng.random(args.count) < 0.01] = np.nan
        v = dtype(0)
        times = []
        for _ in range(args.repeats):
            start = time.perf_counter()
            y = np.where(np.isnan(x), v, x)
            times.append(time.perf_counter() - start)
            del y
        median = statistics.median(times)
        rows.append(peer_output.row("numpy_where_isnan", f"{args.count} {np.dtype(dtype).name}", times))
        if not args.json:
            print(f"numpy np.where(np.isnan(x), v, x) {np.dtype(dtype).name:8s} n={args.count}: "
                  f"{median * 1e3:8.1f} ms  {args.count * x.itemsize / median / 1e9:6.2f} GB/s")
        del x
    if args.json:
        peer_output.emit("numpy", rows, numpy=np.__version__)


if __name__ == "__main__":
    main()
