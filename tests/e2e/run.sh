#!/usr/bin/env bash
# End-to-end tests: the Windows x86_64 build under wine64 in a throw-away prefix on
# a private Xvfb display, driven by QDriver from inside the same wine desktop.
#
#   bash tests/e2e/run.sh BUILD_DIR [unittest names...]
#
# BUILD_DIR is the Windows x86_64 build (build/win-x86_64); this script builds
# nothing. Without names every test_*.py here runs; a name selects one module,
# class or test, e.g.
#   bash tests/e2e/run.sh build/win-x86_64 test_main_window.MainWindowTest.test_enter_does_nothing_and_escape_ends_at_once
# Screenshots, logs and each test's working directory stay under
# build/e2e-artifacts/<run>/ (build/e2e-artifacts/latest points at the last run).
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: bash tests/e2e/run.sh BUILD_DIR [unittest names...]" >&2
  exit 2
fi
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WIN_BUILD=$(cd "$1" 2>/dev/null && pwd) || { echo "e2e: no build directory $1" >&2; exit 1; }
shift

if [ ! -f "$WIN_BUILD/tests/e2e/QDriver.exe" ] || [ ! -f "$WIN_BUILD/tests/e2e/QTestWin.exe" ]; then
  echo "e2e: $WIN_BUILD/tests/e2e/QDriver.exe or QTestWin.exe is missing; build the Windows x86_64 configuration first" >&2
  exit 1
fi
for tool in wine wineserver Xvfb xdotool xwd convert python3; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed (bash tools/setup.sh)" >&2; exit 1; }
done

started=$(date +%s%N)
stamp="$(date +%Y%m%d-%H%M%S)-$$"
export E2E_ROOT="$ROOT" E2E_WIN_BUILD="$WIN_BUILD"
export E2E_ARTIFACTS="$ROOT/build/e2e-artifacts/$stamp"
mkdir -p "$E2E_ARTIFACTS"
ln -sfn "$stamp" "$ROOT/build/e2e-artifacts/latest"
# Keep the last five runs' artifacts.
ls -1d "$ROOT"/build/e2e-artifacts/2*/ 2>/dev/null | sort | head -n -5 | xargs -r rm -rf

# shellcheck source=tests/e2e/wine-env.sh
source "$HERE/wine-env.sh"
run_dir="$ROOT/build/e2e/run-$$"
cleanup() {
  e2e_env_down
  rm -rf "$run_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if e2e_find_odbc "$ROOT"; then
  echo "e2e: stand-in Access driver: $ODBCSYSINI/odbcinst.ini"
else
  echo "e2e: no stand-in Access driver built (build/native/tests/support/odbcinst.ini); the program's database open will fail"
fi
if [ ! -f "$WIN_BUILD/app/Quorvel.exe" ]; then
  echo "e2e: $WIN_BUILD/app/Quorvel.exe not built yet: the Quorvel tests will be skipped, the harness self-test runs"
fi

setup_start=$(date +%s%N)
e2e_env_up "$run_dir" "$WIN_BUILD/tests/e2e/QDriver.exe"
setup_ms=$(( ($(date +%s%N) - setup_start) / 1000000 ))

status=0
cd "$HERE"
export PYTHONDONTWRITEBYTECODE=1
# Every wait inside has its own timeout; this bounds the whole run as a last resort.
if [ $# -gt 0 ]; then
  timeout --kill-after=30 1800 python3 -m unittest -v "$@" || status=$?
else
  timeout --kill-after=30 1800 python3 -m unittest discover -v -s "$HERE" -p 'test_*.py' || status=$?
fi
if [ "$status" -eq 124 ]; then echo "e2e: the tests did not finish within 30 minutes" >&2; fi

wall_ms=$(( ($(date +%s%N) - started) / 1000000 ))
secs() { printf '%d.%d' $(( $1 / 1000 )) $(( $1 % 1000 / 100 )); }
echo "e2e: wall time $(secs $wall_ms) s (wine prefix and display $(secs $setup_ms) s)"
echo "e2e: artifacts in $E2E_ARTIFACTS"
printf 'wall_seconds=%s\nsetup_seconds=%s\nstatus=%d\n' "$(secs $wall_ms)" "$(secs $setup_ms)" "$status" \
  > "$E2E_ARTIFACTS/timing.txt"
exit "$status"
