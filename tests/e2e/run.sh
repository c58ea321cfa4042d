#!/usr/bin/env bash
# End-to-end tests: the Windows x86_64 build under wine64 in a throw-away prefix
# on a private Xvfb display, driven by QDriver from inside the same wine desktop.
#
#   bash tests/e2e/run.sh BUILD_DIR [unittest names, e.g. test_calendar]
#
# BUILD_DIR is the Windows x86_64 build; this script builds nothing. Screenshots,
# logs and each test's working directory stay in build/e2e-artifacts/latest/.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WIN_BUILD=$(cd "${1:?usage: run.sh BUILD_DIR [tests...]}" && pwd)
shift
for f in app/Quorvel.exe tests/e2e/QDriver.exe tests/e2e/QDriverHook.dll; do
  [ -f "$WIN_BUILD/$f" ] || { echo "e2e: $WIN_BUILD/$f is not built" >&2; exit 1; }
done
# shellcheck source=tests/support/odbc-env.sh
source "$ROOT/tests/support/odbc-env.sh" "$ROOT/build/native"

started=$(date +%s)
run=$ROOT/build/e2e/run-$$
export E2E_ROOT=$ROOT E2E_WIN_BUILD=$WIN_BUILD E2E_ARTIFACTS=$ROOT/build/e2e-artifacts/$(date +%Y%m%d-%H%M%S)
mkdir -p "$run" "$E2E_ARTIFACTS"
ln -sfn "$E2E_ARTIFACTS" "$ROOT/build/e2e-artifacts/latest"
ls -1d "$ROOT"/build/e2e-artifacts/2*/ | sort | head -n -3 | xargs -r rm -rf || true
# shellcheck source=tools/wine/world.sh
source "$ROOT/tools/wine/world.sh"
cleanup() {
  wine_world_stop
  rm -rf "$run"
}
trap cleanup EXIT
wine_world_start "$ROOT" "$WIN_BUILD" "$run"

status=0
cd "$HERE"
PYTHONDONTWRITEBYTECODE=1 timeout --kill-after=30 1500 python3 -m unittest -v ${*:-$(ls test_*.py | sed 's/\.py$//')} || status=$?
echo "e2e: $(( $(date +%s) - started )) s; artifacts in $E2E_ARTIFACTS"
exit "$status"
