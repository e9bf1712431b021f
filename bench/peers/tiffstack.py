#!/usr/bin/env python3
"""Peer of bench_tiffstack: tifffile counting the pages of the same stacks.

usage: python3 bench/peers/tiffstack.py [--json] FOLDER [REPEATS]

FOLDER holds stack_<N>.tif as build/release/bench/tiffstack_fixture writes
them. Each file is opened and its pages counted REPEATS times (default 15);
the median and the fastest time are printed in milliseconds, one line per
file, including opening and closing the file as bench_tiffstack does. With
--json: the rows of bench/peers/peer_output.py instead.
"""
import glob
import os
import re
import statistics
import sys
import time

import tifffile

import peer_output


def count_pages(path):
    with tifffile.TiffFile(path) as tif:
        return len(tif.pages)


def main():
    as_json = "--json" in sys.argv[1:]
    arguments = [a for a in sys.argv[1:] if a != "--json"]
    if not arguments:
        sys.exit(__doc__)
    folder = arguments[0]
    repeats = int(arguments[1]) if len(arguments) > 1 else 15
    stacks = []
    for path in glob.glob(os.path.join(folder, "stack_*.tif")):
        match = re.search(r"stack_(\d+)\.tif$", path)
        if match:
            stacks.append((int(match.group(1)), path))
    if not stacks:
        sys.exit(f"no stack_<N>.tif in {folder}; write them with tiffstack_fixture")
    rows = []
    if not as_json:
        print(f"tifffile {tifffile.__version__}: open, len(pages), close; {repeats} repeats")
    for pages, path in sorted(stacks):
        times = []
        for _ in range(repeats):
            start = time.perf_counter()
            counted = count_pages(path)
            times.append((time.perf_counter() - start) * 1e3)
        rows.append(peer_output.row("tifffile_len_pages", pages, [t / 1e3 for t in times], pages_counted=counted))
        if not as_json:
            print(f"tifffile_len_pages/pages:{pages:<6} median {statistics.median(times):9.3f} ms"
                  f"  fastest {min(times):9.3f} ms  pages={counted}")
    if as_json:
        peer_output.emit("tifffile", rows, tifffile=tifffile.__version__)


if __name__ == "__main__":
    main()
