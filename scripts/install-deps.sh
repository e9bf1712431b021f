#!/usr/bin/env bash
# install-deps.sh [--bench]
# Installs, with apt-get, the Debian packages the build and tests need and
# that are missing, and says what it did. --bench adds the peers that the
# benchmark report compares against (NumPy, SciPy, scikit-image, tifffile).
set -euo pipefail

# libomp-14-dev: LLVM's OpenMP runtime and its Archer tool, for the ThreadSanitizer build.
packages=(cmake make g++ binutils libgtest-dev libbenchmark-dev libtiff-dev octave liboctave-dev libomp-14-dev)
if [[ "${1:-}" == "--bench" ]]; then
  packages+=(python3 python3-numpy python3-scipy python3-skimage python3-tifffile hyperfine)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "install-deps: every needed package is already installed (${packages[*]})"
  exit 0
fi

echo "install-deps: installing missing packages with apt-get: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps: run as root (or install the packages above yourself)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
echo "install-deps: installed ${missing[*]}"
