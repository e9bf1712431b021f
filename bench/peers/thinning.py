#!/usr/bin/python3
"""Volume thinning side by side: thin_volume's driver, the straightforward
driver and scikit-image's skeletonize_3d, in seconds per volume.

usage: bench/peers/thinning.py [--bench PATH] [--volumes DIR] [--repeats N] [--json]

  --bench    the bench_thinning executable (default build/release/bench/bench_thinning);
             without it only scikit-image is timed
  --volumes  where the benchmark volumes are kept; made there by
             bench/thinning_volumes.py when missing (default build/thinning_volumes)
  --repeats  runs per volume and tool (default 5; the straightforward driver
             runs 1 + N // 3 times); the median is reported

Prints one table row per volume, and the same figures as JSON on the last
line for scripts. With --json, only scikit-image is timed and its rows are
printed in the format of bench/peers/peer_output.py (bench/report.py times
the drivers through bench_thinning itself).
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.dirname(HERE))

import peer_output  # noqa: E402
from thinning_volumes import NAMES, load_volume, write_all  # noqa: E402


def time_skimage(volumes, repeats, rows=None):
    from skimage.morphology import skeletonize_3d

    seconds = {}
    for name, volume in volumes.items():
        runs = []
        for _ in range(repeats):
            start = time.perf_counter()
            skeletonize_3d(volume)
            runs.append(time.perf_counter() - start)
        seconds[name] = statistics.median(runs)
        if rows is not None:
            rows.append(peer_output.row("skeletonize_3d", name, runs))
    return seconds


def time_drivers(bench, directory, repeats):
    """Median seconds of thin_fast/<volume> and thin_reference/<volume>."""
    seconds = {}
    for driver, runs in (("thin_fast", repeats), ("thin_reference", 1 + repeats // 3)):
        out = subprocess.run(
            [bench, f"--volumes={directory}", f"--benchmark_filter=^{driver}/",
             f"--benchmark_repetitions={runs}", "--benchmark_format=json"],
            check=True, capture_output=True, text=True).stdout
        for b in json.loads(out)["benchmarks"]:
            if b.get("aggregate_name") == "median" or (runs == 1 and b.get("run_type") == "iteration"):
                name = b["run_name"].split("/")[1]
                scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
                seconds[(driver, name)] = b["real_time"] * scale
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bench", default=os.path.join(ROOT, "build/release/bench/bench_thinning"))
    parser.add_argument("--volumes", default=os.path.join(ROOT, "build/thinning_volumes"))
    parser.add_argument("--repeats", type=int, default=5)
    peer_output.add_json_flag(parser)
    args = parser.parse_args()

    write_all(args.volumes)
    volumes = {name: load_volume(os.path.join(args.volumes, name + ".vol")) for name in NAMES}
    if args.json:
        import skimage

        rows = []
        time_skimage(volumes, args.repeats, rows)
        peer_output.emit("scikit-image", rows, skimage=skimage.__version__)
        return
    have_bench = os.path.exists(args.bench)
    drivers = time_drivers(args.bench, args.volumes, args.repeats) if have_bench else {}
    skimage = time_skimage(volumes, args.repeats)

    print(f"{'volume':<8} {'size':<14} {'objects':>9} {'fast (s)':>10} {'straightfwd (s)':>16} "
          f"{'skimage (s)':>12} {'fast/skimage':>13}")
    rows = []
    for name in NAMES:
        v = volumes[name]
        fast = drivers.get(("thin_fast", name))
        reference = drivers.get(("thin_reference", name))
        sk = skimage[name]
        fmt = lambda s: f"{s:.4f}" if s is not None else "-"
        ratio = f"{fast / sk:.2f}" if fast is not None else "-"
        print(f"{name:<8} {'x'.join(map(str, v.shape)):<14} {int(v.sum()):>9} {fmt(fast):>10} {fmt(reference):>16} "
              f"{fmt(sk):>12} {ratio:>13}")
        rows.append({"volume": name, "fast_s": fast, "straightforward_s": reference, "skeletonize_3d_s": sk})
    if not have_bench:
        print(f"(no {args.bench}: build it with cmake --build --preset release --target bench_thinning)")
    print(json.dumps({"thinning": rows}))


if __name__ == "__main__":
    main()
