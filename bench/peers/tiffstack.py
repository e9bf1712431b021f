#!/usr/bin/env python3
"""Peer of bench_tiffstack: tifffile counting the pages of the same stacks.

usage: python3 bench/peers/tiffstack.py FOLDER [REPEATS]

FOLDER holds stack_<N>.tif as build/release/bench/tiffstack_fixture writes
them. Each file is opened and its pages counted REPEATS times (default 15);
the median and the fastest time are printed in milliseconds, one line per
file, including opening and closing the file as bench_tiffstack does.
"""
import glob
import os
import re
import statistics
import sys
import time

import tifffile


def count_pages(path):
    with tifffile.TiffFile(path) as tif:
        return len(tif.pages)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    stacks = []
    for path in glob.glob(os.path.join(folder, "stack_*.tif")):
        match = re.search(r"stack_(\d+)\.tif$", path)
        if match:
            stacks.append((int(match.group(1)), path))
    if not stacks:
        sys.exit(f"no stack_<N>.tif in {folder}; write them with tiffstack_fixture")
    print(f"tifffile {tifffile.__version__}: open, len(pages), close; {repeats} repeats")
    for pages, path in sorted(stacks):
        times = []
        for _ in range(repeats):
            start = time.perf_counter()
            counted = count_pages(path)
            times.append((time.perf_counter() - start) * 1e3)
        print(f"tifffile_len_pages/pages:{pages:<6} median {statistics.median(times):9.3f} ms"
              f"  fastest {min(times):9.3f} ms  pages={counted}")


if __name__ == "__main__":
    main()
