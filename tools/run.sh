#!/usr/bin/env bash
# Builds Quorvel and starts it under wine, as on a Chinese Windows desktop.
#
#   bash tools/run.sh
#
# Its working directory (database db_Quorvel.mdb, settings Quorvel.ini) and its
# wine prefix live in $QUORVEL_HOME (default ~/.quorvel), so reminders and
# settings stay from one run to the next. The database is created on the first
# run. With a display ($DISPLAY) the calendar opens in a wine desktop window
# until you end it (tray menu 系统退出, or Esc). Without one it runs on a private
# Xvfb display, saves a screenshot, prints its path and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
HOME_DIR=${QUORVEL_HOME:-$HOME/.quorvel}
say() { printf 'quorvel: %s\n' "$*"; }

bash tools/setup.sh >/dev/null
say "building"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$(nproc)" --target QuorvelDb quorvel_odbc_shim >/dev/null
cmake -S . -B build/win-x86_64 -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
cmake --build build/win-x86_64 -j"$(nproc)" --target Quorvel QDriver QDriverHook >/dev/null
EXE="$ROOT/build/win-x86_64/app/Quorvel.exe"

# The stand-in for the Access driver (wine's ODBC forwards to unixODBC).
# shellcheck source=tests/support/odbc-env.sh
source tests/support/odbc-env.sh build/native

export WINEPREFIX="$HOME_DIR/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
mkdir -p "$HOME_DIR"

xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  fd="$HOME_DIR/.display"
  rm -f "$fd"
  Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp 7>"$fd" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do grep -q '[0-9]' "$fd" 2>/dev/null && break; sleep 0.1; done
  export DISPLAY=":$(tr -dc '0-9' < "$fd")"
fi

if [ ! -f "$WINEPREFIX/.quorvel-ready" ]; then
  say "making the wine prefix $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1
  bash tools/wine/prepare-prefix.sh >/dev/null
  touch "$WINEPREFIX/.quorvel-ready"
fi

cd "$HOME_DIR"
if [ ! -f db_Quorvel.mdb ]; then
  "$ROOT/build/native/storage/QuorvelDb"
fi

if [ -z "$xvfb_pid" ]; then
  say "starting the calendar in $HOME_DIR (display $DISPLAY)"
  exec wine "$EXE"
fi

wine "$EXE" >/dev/null 2>&1 &
if ! wine "$ROOT/build/win-x86_64/tests/e2e/QDriver.exe" find "class=#32770,has=1025" --timeout 30000 >/dev/null 2>&1; then
  say "the calendar window did not appear within 30 s"
  exit 1
fi
sleep 1
shot="$HOME_DIR/quorvel-screenshot.png"
xwd -root -silent | convert xwd:- "$shot"
say "no display: the calendar ran on Xvfb; screenshot: $shot"
