#!/usr/bin/python3
"""Peers of bench_normality: the Anderson-Darling statistic of a presorted
normal sample, evaluated with vectorised NumPy (the same formula as the core,
known mean and deviation), and scipy.stats.anderson (which sorts and
estimates both parameters itself).

    /usr/bin/python3 bench/peers/normality.py [--sizes 1000000 10000000] [--repeats 7] [--json]

Prints one line per peer and size: the median, minimum and maximum wall time
of the repeats in milliseconds, the median CPU time of this process (the
figure to compare on a busy machine, like Google Benchmark's CPU column), and
values per second at the median wall time. With --json: the rows of
bench/peers/peer_output.py instead.
"""
import argparse
import statistics
import time

import numpy as np
import scipy.special
import scipy.stats

import peer_output


def numpy_statistic(x, mean, sd):
    """Case 0 statistic, in the core's order of operations, vectorised."""
    n = x.size
    z = (x - mean) / (sd * 1.4142135623730951)
    F = (scipy.special.erf(z) + 1.0) * 0.5
    weights = 2.0 * np.arange(n, dtype=np.float64) + 1.0
    terms = weights * (np.log(F) + np.log(1.0 - F[::-1]))
    return -float(n) - terms.sum() / n


def scipy_anderson(x, mean, sd):
    return scipy.stats.anderson(x, "norm").statistic


def time_peer(function, x, repeats):
    wall, cpu = [], []
    for _ in range(repeats):
        start, start_cpu = time.perf_counter(), time.process_time()
        function(x, 0.0, 1.0)
        wall.append(time.perf_counter() - start)
        cpu.append(time.process_time() - start_cpu)
    return wall, cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", type=int, nargs="+", default=[1000000, 10000000])
    parser.add_argument("--repeats", type=int, default=7)
    peer_output.add_json_flag(parser)
    args = parser.parse_args()
    rng = np.random.default_rng(42)
    rows = []
    if not args.json:
        print(f"{'peer':<22} {'n':>9} {'median ms':>10} {'min ms':>8} {'max ms':>8} {'cpu ms':>8} {'values/s':>9}")
    for n in args.sizes:
        x = np.sort(rng.standard_normal(n))
        for name, function in (("numpy_statistic", numpy_statistic), ("scipy.stats.anderson", scipy_anderson)):
            function(x, 0.0, 1.0)  # warm up
            wall, cpu = time_peer(function, x, args.repeats)
            median = statistics.median(wall)
            rows.append(peer_output.row(name, n, wall, cpu_median_s=statistics.median(cpu)))
            if args.json:
                continue
            print(f"{name:<22} {n:>9} {median * 1e3:>10.1f} {min(wall) * 1e3:>8.1f} {max(wall) * 1e3:>8.1f} "
                  f"{statistics.median(cpu) * 1e3:>8.1f} {n / median:>9.3g}", flush=True)
    if args.json:
        peer_output.emit("numpy/scipy", rows, numpy=np.__version__, scipy=scipy.__version__)


if __name__ == "__main__":
    main()
