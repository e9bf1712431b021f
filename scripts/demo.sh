#!/usr/bin/env bash
# demo.sh: the main job. Installs what is missing, builds every module for
# the embedded host and for GNU Octave, and runs the demo in examples/ in
# Octave.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== build"
cmake --preset release > /dev/null
cmake --build --preset release -j "$(nproc)" > build/release.build.log 2>&1 ||
  { tail -50 build/release.build.log; exit 1; }
echo "== demo"
# The stack and the picture stay in build/demo.
octave-cli -q --no-history --no-gui \
  --eval "addpath('$PWD/build/release/octave'); addpath('$PWD/examples');
          toolkit_demo('$PWD/build/demo', '$PWD/build/release/bin/write_tiff_stack');"
