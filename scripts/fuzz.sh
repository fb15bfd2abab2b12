#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS is the time per target (default 60); TARGETs are names such as ini,
# fcd_open or reply_archive (default: every target). KIV_FUZZ_RUNS=N also
# ends a target after N executions, whichever comes first.
#
# Installs what is missing, builds build/fuzz with clang-14 and
# -fsanitize=fuzzer,address,undefined, writes a demo data folder there once,
# and seeds each target from it, the program folder's profiles and
# tests/data. The targets run one after another on one core; their corpora
# (build/fuzz/corpus/<target>) are kept between runs, and the kept findings
# tests/data/fuzz/<target>/ are run first. A crashing input is left in
# build/fuzz/findings/<target>/ and fails the run: fix the parser and keep
# the input under tests/data/fuzz/<target>/, where the normal test suite
# runs it again. The last lines give executions and coverage per target.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; }

LIMIT=60
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then LIMIT=$1; shift; fi
case "${1:-}" in -h|--help) usage; exit 0 ;; esac
[ "$LIMIT" -ge 1 ] || { echo "fuzz.sh: SECONDS must be 1 or more" >&2; exit 2; }
RUNS=${KIV_FUZZ_RUNS:-}
[ -z "$RUNS" ] || [[ "$RUNS" =~ ^[0-9]+$ ]] || { echo "fuzz.sh: KIV_FUZZ_RUNS must be a number" >&2; exit 2; }

. scripts/packages.sh
kiv_install_packages
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kiv-ccache}"
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

BUILD=build/fuzz
SANITIZE="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
echo "== fuzz: configure and build ($BUILD)"
mkdir -p build
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DKIV_FUZZ=ON -DKIV_BUILD_GUI=OFF -DKIV_BUILD_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link $SANITIZE" "-DCMAKE_EXE_LINKER_FLAGS=$SANITIZE" >"$BUILD-configure.log" 2>&1 ||
  { tail -n 50 "$BUILD-configure.log"; exit 1; }
if ! cmake --build "$BUILD" --target fuzz_all >"$BUILD-build.log" 2>&1; then
  grep -v -E '^\[[0-9]+/[0-9]+\] ' "$BUILD-build.log" | tail -n 100
  exit 1
fi

TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  for program in "$BUILD"/fuzz/fuzz_*; do TARGETS+=("${program##*/fuzz_}"); done
fi
for target in "${TARGETS[@]}"; do
  [ -x "$BUILD/fuzz/fuzz_$target" ] || { echo "fuzz.sh: no fuzz target \"$target\"" >&2; exit 2; }
done

# A fixed span, so that the archive seeds always hold the March 2025 the
# month file targets fuzz, whatever today's date.
DEMO="$BUILD/demo-2025"
if [ ! -f "$DEMO/demo-manifest.txt" ]; then
  rm -rf "$DEMO"
  "$BUILD/bin/kiv-demodata" "$DEMO" --from 2024-12-01 --until 2025-06-30 >/dev/null
fi
rm -rf "$BUILD/seeds"
"$BUILD/fuzz/kiv-fuzz-seeds" "$DEMO" "$BUILD/bin" tests/data "$BUILD/seeds" >/dev/null

# Sanitizer reports end the run with the input kept; leaks of the parsers count too.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:symbolize=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
FAILED=()
SUMMARY=()
for target in "${TARGETS[@]}"; do
  corpus="$BUILD/corpus/$target" findings="$BUILD/findings/$target" log="$BUILD/logs/$target.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")" "$BUILD/seeds/$target"
  inputs=("$corpus" "$BUILD/seeds/$target")
  [ -d "tests/data/fuzz/$target" ] && inputs+=("tests/data/fuzz/$target")
  options=(-max_total_time="$LIMIT" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/")
  [ -n "$RUNS" ] && options+=(-runs="$RUNS")
  echo "== fuzz: $target (${LIMIT} s${RUNS:+ or $RUNS runs})"
  status=0
  "$BUILD/fuzz/fuzz_$target" "${options[@]}" "${inputs[@]}" >"$log" 2>&1 &
  pid=$!
  wait "$pid" || status=$?
  # A target that crashed leaves its scratch data folder behind.
  rm -rf "/dev/shm/kiv-fuzz-$pid" "${TMPDIR:-/tmp}/kiv-fuzz-$pid"
  execs=$(awk '/stat::number_of_executed_units/ { n = $2 } END { print n }' "$log")
  coverage=$(awk '/^#[0-9]+/ { line = $0 } END { print line }' "$log" |
             sed -n 's/.*\(cov: [0-9]*\).*\(ft: [0-9]*\).*\(corp: [^ ]*\).*/\1 \2 \3/p')
  line=$(printf '%-16s %10s runs  %s' "$target" "${execs:-?}" "${coverage:-no coverage line}")
  if [ "$status" -ne 0 ]; then
    FAILED+=("$target")
    line="$line  FINDING (see $log, input in $findings/)"
    grep -E 'ERROR|SUMMARY|==[0-9]+==|runtime error' "$log" | head -n 5 | sed 's/^/   /'
  fi
  SUMMARY+=("$line")
done
echo "== fuzz: executions and coverage"
printf '%s\n' "${SUMMARY[@]}"
if [ ${#FAILED[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in: ${FAILED[*]}" >&2
  exit 1
fi
