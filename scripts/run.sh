#!/usr/bin/env bash
# Starts Kiv on a demo data folder with a simulated device on COM1.
#
#   scripts/run.sh               the program in a window (needs a display)
#   scripts/run.sh --offscreen   the program without a window, until Ctrl+C
#   scripts/run.sh --smoke       a scripted check that needs no display
#   ... --fast                   the simulator answers at once instead of at
#                                the station's baud rate
#
# Installs what is missing, builds the dev preset, writes ./demo once (kept
# between runs; delete it for a fresh one), starts kiv-devsim on a
# pseudo-terminal for the station whose station file says ComNumber=COM1, with
# archives continuing the demo archive up to the current hour, maps COM1 to
# that pseudo-terminal in demo/Kiv.ini ([Ports]) and starts kiv in demo/.
# The simulator sends its replies at the station's BaudRate, so a read-out
# takes as long as on a real line. It is stopped when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

usage() { sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; }

MODE=window
FAST=
for arg in "$@"; do
  case "$arg" in
    --offscreen) MODE=offscreen ;;
    --smoke) MODE=smoke ;;
    --fast) FAST=1 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "run.sh: unknown option \"$arg\"" >&2; usage >&2; exit 2 ;;
  esac
done

if [ "$MODE" = window ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'EOF'
run.sh: there is no display (neither $DISPLAY nor $WAYLAND_DISPLAY is set), so
the Kiv window cannot be shown. Start it from a desktop session, or use:
  scripts/run.sh --offscreen   the program without a window (stop it with Ctrl+C)
  scripts/run.sh --smoke       the scripted smoke test: reads the simulated COM1
                               station and starts and stops the program offscreen
EOF
  exit 1
fi

# KIV_RUN_BUILD names another build folder, already built, and KIV_RUN_DEMO
# another demo folder: the test of the smoke mode runs on its own build tree
# and must not touch ./demo.
BUILD=${KIV_RUN_BUILD:-build/dev}
if [ -z "${KIV_RUN_BUILD:-}" ]; then
  . scripts/packages.sh
  kiv_install_packages
  export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kiv-ccache}"
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  echo "== building ($BUILD)"
  cmake --preset dev >/dev/null
  mkdir -p build
  if ! cmake --build "$BUILD" --target kiv kiv-cli kiv-devsim kiv-demodata kiv_demo_profiles \
      >"$BUILD-run-build.log" 2>&1; then
    grep -v -E '^\[[0-9]+/[0-9]+\] ' "$BUILD-run-build.log" | tail -n 100
    exit 1
  fi
fi
for program in kiv kiv-cli kiv-devsim kiv-demodata; do
  [ -x "$BUILD/bin/$program" ] || { echo "run.sh: $BUILD/bin/$program is missing" >&2; exit 1; }
done
BUILD=$(cd "$BUILD" && pwd)
BIN=$BUILD/bin
DEMO=${KIV_RUN_DEMO:-$ROOT/demo}
mkdir -p "$(dirname "$DEMO")"
DEMO=$(cd "$(dirname "$DEMO")" && pwd)/$(basename "$DEMO")
RUNLOG=$BUILD/run
mkdir -p "$RUNLOG"

# A demo folder written for another checkout names another DataPath: write it anew.
ini_value() { # FILE SECTION KEY
  awk -v s="[$2]" -v k="$3" '{ sub(/\r$/, "") } /^\[/ { in_s = ($0 == s) } in_s && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$1"
}
if [ -f "$DEMO/demo-manifest.txt" ] && [ "$(ini_value "$DEMO/Kiv.ini" Catalogues DataPath)" != "$DEMO/" ]; then
  echo "== demo/ was written for another folder; writing it anew"
  rm -rf "$DEMO"
fi
if [ ! -f "$DEMO/demo-manifest.txt" ]; then
  echo "== writing the demo data folder $DEMO"
  "$BIN/kiv-demodata" "$DEMO"
fi

# The station wired to COM1 and its device profile file.
ADDRESS= ; PROFILE_NAME= ; SERIAL= ; BAUD=
for ini in "$DEMO"/FC_*/*.INI; do
  [ "$(ini_value "$ini" Communication ComNumber)" = COM1 ] || continue
  PROFILE_NAME=$(ini_value "$ini" Hardware DeviceProfile)
  [ -n "$PROFILE_NAME" ] || continue
  ADDRESS=$((10#$(basename "$ini" .INI)))
  SERIAL=$(ini_value "$ini" Hardware SerialNumber)
  BAUD=$(ini_value "$ini" Communication BaudRate)
  break
done
if [ -z "$ADDRESS" ]; then
  echo "run.sh: no station of demo/ with a device profile has ComNumber=COM1" >&2
  exit 1
fi
PROFILE_FILE=
for fcp in "$BIN"/*.FCP; do
  if [ "$("$BIN/kiv-cli" profile "$fcp" | head -n 1 | cut -f 3)" = "$PROFILE_NAME" ]; then PROFILE_FILE=$fcp; break; fi
done
[ -n "$PROFILE_FILE" ] || { echo "run.sh: no profile named \"$PROFILE_NAME\" in $BIN" >&2; exit 1; }
LAST=$(awk -F'\t' '$1 == "com1" { print $5 }' "$DEMO/demo-manifest.txt")
FROM=$(awk -F'\t' '$1 == "from" { print $2 }' "$DEMO/demo-manifest.txt")

# The device's memory: the demo archive of that station, continued up to now.
rm -rf "$DEMO/.sim"
"$BIN/kiv-demodata" "$DEMO/.sim" --only "$ADDRESS" --from "$FROM" --until now

SIM_PID=
KIV_PID=
stop_all() {
  if [ -n "$KIV_PID" ] && kill -0 "$KIV_PID" 2>/dev/null; then kill "$KIV_PID" 2>/dev/null || true; fi
  if [ -n "$SIM_PID" ] && kill -0 "$SIM_PID" 2>/dev/null; then
    kill "$SIM_PID" 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
  fi
}
trap stop_all EXIT
trap 'exit 130' INT TERM

# Without --baud the simulator answers as fast as the pseudo-terminal carries bytes.
PACE=()
if [ -z "$FAST" ]; then
  case "$BAUD" in ''|*[!0-9]*) BAUD=9600 ;; esac
  PACE=(--baud "$BAUD")
fi
"$BIN/kiv-devsim" --profile "$PROFILE_FILE" --address "$ADDRESS" --data "$DEMO/.sim" ${PACE[@]+"${PACE[@]}"} \
  --serial "$SERIAL" --last "${LAST:-FW 3.04}" >"$RUNLOG/devsim.out" 2>"$RUNLOG/devsim.err" &
SIM_PID=$!
PTY=
for _ in $(seq 50); do
  PTY=$(head -n 1 "$RUNLOG/devsim.out" 2>/dev/null || true)
  [ -n "$PTY" ] && break
  kill -0 "$SIM_PID" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$PTY" ]; then
  echo "run.sh: the simulator did not start:" >&2
  cat "$RUNLOG/devsim.err" >&2
  exit 1
fi
"$BIN/kiv-demodata" --set-port "$DEMO" COM1 "$PTY"
echo "== station $ADDRESS ($PROFILE_NAME) is simulated on COM1 = $PTY, ${PACE[1]:-unpaced}${PACE[1]:+ Bd}"

if [ "$MODE" = smoke ]; then
  fail() { echo "SMOKE FAILED: $*" >&2; exit 1; }
  echo "== smoke: station list"
  "$BIN/kiv-cli" stations "$DEMO" >"$RUNLOG/stations.txt"
  STATIONS=$(grep -c -v '^group' "$RUNLOG/stations.txt" || true)
  NGROUPS=$(grep -c '^group' "$RUNLOG/stations.txt" || true)
  [ "$STATIONS" -ge 12 ] && [ "$NGROUPS" -ge 3 ] || fail "expected 12 stations in 3 groups, got $STATIONS in $NGROUPS"
  echo "   $STATIONS stations in $NGROUPS groups"
  echo "== smoke: reading station $ADDRESS over COM1"
  if ! (cd "$DEMO" && timeout 300 "$BIN/kiv-cli" read . "$ADDRESS") >"$RUNLOG/read.txt" 2>&1; then
    tail -n 20 "$RUNLOG/read.txt" >&2
    fail "the read-out of station $ADDRESS failed"
  fi
  grep -q "Odczyt zakończony" "$RUNLOG/read.txt" || fail "the read-out did not end with \"Odczyt zakończony\""
  # The result and the summary close the read-out's output.
  tail -n 6 "$RUNLOG/read.txt" | sed 's/^/   /'
  echo "== smoke: kiv offscreen for 5 s"
  (cd "$DEMO" && QT_QPA_PLATFORM=offscreen exec "$BIN/kiv") >"$RUNLOG/kiv.out" 2>&1 &
  KIV_PID=$!
  sleep 5
  kill -0 "$KIV_PID" 2>/dev/null || { cat "$RUNLOG/kiv.out" >&2; fail "kiv ended by itself within 5 s"; }
  kill "$KIV_PID"
  for _ in $(seq 50); do kill -0 "$KIV_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$KIV_PID" 2>/dev/null && fail "kiv did not stop within 5 s of SIGTERM"
  wait "$KIV_PID" 2>/dev/null || true
  KIV_PID=
  kill "$SIM_PID"
  wait "$SIM_PID" || fail "the simulator did not end cleanly"
  kill -0 "$SIM_PID" 2>/dev/null && fail "the simulator is still running"
  SIM_PID=
  echo "SMOKE OK"
  exit 0
fi

echo "== starting kiv in demo/ (close its window to stop the simulator too)"
if [ "$MODE" = offscreen ]; then export QT_QPA_PLATFORM=offscreen; fi
cd "$DEMO"
"$BIN/kiv" &
KIV_PID=$!
wait "$KIV_PID" || true
KIV_PID=
