#!/usr/bin/env bash
# bench.sh [report options]: the benchmark report. Installs what is missing
# (with the peers: NumPy, SciPy, scikit-image, tifffile), builds the release
# tree, then runs every benchmark of bench/ and its peers side by side and
# writes bench/RESULTS.md. About ten minutes on two cores; not part of the
# tests. Options go to bench/report.py (--help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
# A peer that cannot be installed is reported as missing in the table.
bash scripts/install-deps.sh --bench || echo "bench: not every peer could be installed; the report marks what is missing"

echo "== build"
cmake --preset release > /dev/null
cmake --build --preset release -j "$(nproc)" > build/release.build.log 2>&1 ||
  { tail -50 build/release.build.log; exit 1; }
echo "== benchmarks and peers"
/usr/bin/python3 bench/report.py --build build/release --out bench/RESULTS.md "$@"
