# Sourceable: a throw-away wine world for the end-to-end tests.
#
#   source tests/e2e/wine-env.sh
#   e2e_env_up RUN_DIR [DRIVER_EXE]
#                           # Xvfb on a free display, a fresh prefix in RUN_DIR/prefix
#                           # (a copy of a template made once per machine), one
#                           # persistent wineserver; exports what wine needs. With
#                           # QDriver.exe given, it also opens the desktop and keeps it
#                           # open for the whole run
#   ...                     # wine programs now all join the virtual desktop "shell"
#   e2e_env_down            # wineserver -k, Xvfb killed by its PID; safe to call twice
#
# Every wine process of the run joins one virtual desktop named "shell" (1024x768,
# with taskbar and tray): the prefix's registry makes it the default desktop, so
# `wine X.exe` behaves like `wine explorer /desktop=shell,1024x768 X.exe` but the
# launcher waits for the program and returns its exit code, and a driver started
# later finds the program's windows.

E2E_SCREEN=${E2E_SCREEN:-1024x768}
_E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

_e2e_log() { printf 'e2e-env: %s\n' "$*" >&2; }

# Finds the ODBC driver list of the stand-in Access driver, when the storage
# helpers have built it, and exports ODBCSYSINI. Returns 1 when there is none.
e2e_find_odbc() {
  local root=$1 f
  if [ -f "$root/tests/support/odbc-env.sh" ]; then
    # shellcheck disable=SC1091
    source "$root/tests/support/odbc-env.sh" "$root/build/native" >/dev/null 2>&1 || true
    if [ -n "${ODBCSYSINI:-}" ] && [ -f "$ODBCSYSINI/odbcinst.ini" ]; then return 0; fi
  fi
  for f in "$root/build/native/tests/support/odbcinst.ini" \
           "$root/build/native/storage/odbcinst.ini"; do
    if [ -f "$f" ]; then
      ODBCSYSINI=$(dirname "$f")
      export ODBCSYSINI
      return 0
    fi
  done
  unset ODBCSYSINI
  return 1
}


# Opens the desktop "shell" with QDriver.exe and keeps it open: wine closes an idle
# desktop after a few seconds, and re-creating it costs the next program 2-3 s.
_e2e_open_desktop() {
  local driver=$1 log=$2
  wine "$driver" hold --timeout 86400000 >/dev/null 2>&1 &
  E2E_HOLD_PID=$!
  export E2E_HOLD_PID
  if ! timeout 60 wine "$driver" desktop >"$log" 2>&1 || ! grep -q '"desktop":"shell"' "$log"; then
    _e2e_log "the desktop \"shell\" did not come up:"; cat "$log" >&2
    return 1
  fi
}

_e2e_close_desktop() {
  if [ -n "${E2E_HOLD_PID:-}" ]; then
    kill "$E2E_HOLD_PID" 2>/dev/null || true
    wait "$E2E_HOLD_PID" 2>/dev/null || true
    unset E2E_HOLD_PID
  fi
}

# The whole recipe into $WINEPREFIX, with a wineserver of its own that is gone
# afterwards (so the registry is on disk). About 20 s, most of it wineboot and the
# first start of the desktop, which builds wine's font cache.
_e2e_build_prefix() {
  local driver=$1 log=$2 f
  mkdir -p "$WINEPREFIX"
  wineserver -p
  if ! timeout 180 wineboot -i >"$log" 2>&1; then
    _e2e_log "wineboot failed or took over 180 s:"; tail -20 "$log" >&2
    wineserver -k 2>/dev/null; return 1
  fi
  if ! bash "$_E2E_ROOT/tools/wine/prepare-prefix.sh" "$E2E_SCREEN" >>"$log" 2>&1; then
    _e2e_log "preparing the prefix failed:"; tail -20 "$log" >&2; wineserver -k 2>/dev/null; return 1
  fi
  if [ -n "$driver" ] && ! _e2e_open_desktop "$driver" "$log.desktop"; then
    _e2e_close_desktop; wineserver -k 2>/dev/null; return 1
  fi
  _e2e_close_desktop
  wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
}

e2e_env_up() {
  local run_dir=$1 driver=${2:-} fdfile i key cache template tmp
  mkdir -p "$run_dir"
  E2E_RUN_DIR=$(cd "$run_dir" && pwd)
  export E2E_RUN_DIR
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  export WINEARCH=win64

  # Xvfb picks a free display itself and tells which one through the fd.
  fdfile="$E2E_RUN_DIR/display"
  rm -f "$fdfile"
  Xvfb -displayfd 7 -screen 0 "${E2E_SCREEN}x24" -nolisten tcp -noreset \
    7>"$fdfile" >"$E2E_RUN_DIR/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  export E2E_XVFB_PID
  for i in $(seq 1 100); do
    if grep -q '[0-9]' "$fdfile" 2>/dev/null; then break; fi
    if ! kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
      _e2e_log "Xvfb did not start:"; cat "$E2E_RUN_DIR/xvfb.log" >&2; return 1
    fi
    sleep 0.1
  done
  if ! grep -q '[0-9]' "$fdfile"; then _e2e_log "Xvfb gave no display within 10 s"; return 1; fi
  DISPLAY=":$(tr -dc '0-9' < "$fdfile")"
  export DISPLAY

  # Each run gets its own copy of a prefix made once per machine: the copy takes a
  # fraction of a second, making it takes about 20 s. The template's name changes
  # with the wine version and with this file, so a change of recipe makes a new
  # one. E2E_FRESH_PREFIX=1 builds the run's prefix from scratch instead.
  export WINEPREFIX="$E2E_RUN_DIR/prefix"
  rm -rf "$WINEPREFIX"
  if [ -n "${E2E_FRESH_PREFIX:-}" ]; then
    _e2e_build_prefix "$driver" "$E2E_RUN_DIR/wineboot.log" || return 1
  else
    cache=${E2E_PREFIX_CACHE:-$(dirname "$E2E_RUN_DIR")/prefix-cache}
    key=$( { wine --version; echo "$E2E_SCREEN ${driver:+desktop}"; cat "${BASH_SOURCE[0]}" \
             "$_E2E_ROOT/tools/wine/prepare-prefix.sh" "$_E2E_ROOT/tools/wine/make_song_font.py"; } |
           sha1sum | cut -c1-12)
    template="$cache/$key"
    if [ ! -f "$template/.complete" ]; then
      _e2e_log "making the template prefix $template (once per machine)"
      mkdir -p "$cache"
      tmp="$cache/tmp.$$"
      rm -rf "$tmp"
      WINEPREFIX="$tmp/prefix" _e2e_build_prefix "$driver" "$E2E_RUN_DIR/wineboot.log" || {
        rm -rf "$tmp"; return 1; }
      touch "$tmp/prefix/.complete"
      # Another run may have finished one meanwhile; either is good.
      if ! mv -T "$tmp/prefix" "$template" 2>/dev/null; then rm -rf "$tmp/prefix"; fi
      rm -rf "$tmp"
      find "$cache" -mindepth 1 -maxdepth 1 ! -name "$key" ! -name 'tmp.*' -exec rm -rf {} +
    fi
    cp -a "$template" "$WINEPREFIX"
  fi

  wineserver -p
  E2E_WINESERVER_UP=1
  export E2E_WINESERVER_UP
  if [ -n "$driver" ]; then
    _e2e_open_desktop "$driver" "$E2E_RUN_DIR/desktop.json" || return 1
  fi
  _e2e_log "prefix $WINEPREFIX ready on display $DISPLAY"
}

e2e_env_down() {
  _e2e_close_desktop
  if [ -n "${E2E_WINESERVER_UP:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    timeout 20 wineserver -w 2>/dev/null || true
    unset E2E_WINESERVER_UP
  fi
  if [ -n "${E2E_XVFB_PID:-}" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    unset E2E_XVFB_PID
  fi
}
