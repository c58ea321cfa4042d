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
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEARCH=win64

xvfb=""
hold=""
cleanup() {
  [ -n "$hold" ] && kill "$hold" 2>/dev/null
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null; timeout 20 wineserver -w 2>/dev/null; fi
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$run"
}
trap cleanup EXIT
Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp -noreset 7>"$run/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do grep -q '[0-9]' "$run/display" && break; sleep 0.1; done
export DISPLAY=":$(tr -dc '0-9' <"$run/display")"

# Every run copies a prefix made once per machine (about 20 s to make): wineboot,
# the fonts and the virtual desktop "shell" (taskbar and tray) that every wine
# program joins. A new wine or a new recipe makes a new template.
key=$(cat <(wine --version) "$ROOT/tools/wine/prepare-prefix.sh" "$ROOT/tools/wine/make_song_font.py" | sha1sum | cut -c1-12)
template=$ROOT/build/e2e/prefix-$key
if [ ! -f "$template/.complete" ]; then
  echo "e2e: making the wine prefix $template (once per machine)"
  rm -rf "$ROOT"/build/e2e/prefix-*
  mkdir -p "$template"
  (export WINEPREFIX=$template; wineserver -p; timeout 180 wineboot -i >/dev/null 2>&1
   bash "$ROOT/tools/wine/prepare-prefix.sh" >/dev/null
   timeout 60 wine "$WIN_BUILD/tests/e2e/QDriver.exe" find class=Shell_TrayWnd --timeout 30000 >/dev/null
   wineserver -k; timeout 30 wineserver -w || true)
  touch "$template/.complete"
fi
export WINEPREFIX=$run/prefix
cp -a "$template" "$WINEPREFIX"
wineserver -p
# Wine closes an idle desktop after a few seconds; a driver holds it open.
wine "$WIN_BUILD/tests/e2e/QDriver.exe" hold --timeout 86400000 >/dev/null 2>&1 &
hold=$!
timeout 60 wine "$WIN_BUILD/tests/e2e/QDriver.exe" find class=Shell_TrayWnd --timeout 30000 >/dev/null

status=0
cd "$HERE"
PYTHONDONTWRITEBYTECODE=1 timeout --kill-after=30 1500 python3 -m unittest -v ${*:-$(ls test_*.py | sed 's/\.py$//')} || status=$?
echo "e2e: $(( $(date +%s) - started )) s; artifacts in $E2E_ARTIFACTS"
exit "$status"
