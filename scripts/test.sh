#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer build, runs every test of both,
# then runs each fuzz target for a short time (KIV_FUZZ_SECONDS each, default 5; see scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
kiv_install_packages

export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kiv-ccache}"
# Relative paths in the cache keys let a fresh clone in another folder reuse the cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
export QT_QPA_PLATFORM=offscreen
for preset in dev asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  mkdir -p build
  if ! cmake --build --preset "$preset" >"build/$preset-build.log" 2>&1; then
    grep -v -E '^\[[0-9]+/[0-9]+\] ' "build/$preset-build.log" | tail -n 200
    exit 1
  fi
  echo "== $preset: tests"
  ctest --preset "$preset"
done
echo "== fuzz: every target for ${KIV_FUZZ_SECONDS:-5} s"
scripts/fuzz.sh "${KIV_FUZZ_SECONDS:-5}"
