#!/usr/bin/python3
"""NumPy peer of pairwise_offsets: broadcasting dx = q[:, 0] - p[:, 0, None] and
dy = q[:, 1] - p[:, 1, None] at m = n = 5000 and m = 20000, n = 2000. Prints the
median time of several calls and the time per output entry (one dx and one dy).

    /usr/bin/python3 bench/peers/offsets.py [--repeats R] [--json]

With --json: the rows of bench/peers/peer_output.py instead (size "MxN").
"""
import argparse
import statistics
import time

import numpy as np

import peer_output


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeats", type=int, default=7)
    peer_output.add_json_flag(parser)
    args = parser.parse_args()
    rows = []
    rng = np.random.default_rng(1)
    for m, n in ((5000, 5000), (20000, 2000)):
        p = rng.uniform(-1e3, 1e3, (m, 2))
        q = rng.uniform(-1e3, 1e3, (n, 2))
        times = []
        for _ in range(args.repeats):
            start = time.perf_counter()
            dx = q[:, 0] - p[:, 0, None]
            dy = q[:, 1] - p[:, 1, None]
            times.append(time.perf_counter() - start)
            del dx, dy
        median = statistics.median(times)
        rows.append(peer_output.row("numpy_broadcasting", f"{m}x{n}", times))
        if args.json:
            continue
        print(f"numpy broadcasting m={m} n={n}: {median * 1e3:8.1f} ms  "
              f"{median / (m * n) * 1e9:6.2f} ns/entry  {2 * m * n * 8 / median / 1e9:6.2f} GB/s written")
    if args.json:
        peer_output.emit("numpy", rows, numpy=np.__version__)


if __name__ == "__main__":
    main()
