#!/usr/bin/env bash
# test.sh: every test. Installs what is missing, then builds and runs
#   1. the release build: C++ tests (GoogleTest under CTest), module export
#      checks, and the Octave suite against the modules build_mex.m built;
#   2. the same C++ tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the concurrency tests under ThreadSanitizer.
# Fails on the first failing step.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
for preset in release asan tsan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" -j "$jobs" > "build/$preset.build.log" 2>&1 ||
    { tail -50 "build/$preset.build.log"; exit 1; }
  echo "== $preset: test"
  ctest --preset "$preset" -j "$jobs" --no-tests=ignore
done
echo "test.sh: all test runs passed"
