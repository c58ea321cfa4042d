# The wine world that the end-to-end tests and the performance figures run in:
# a private Xvfb display, a copy of a wine prefix made once per machine, and
# the prefix's desktop (taskbar and tray) held open by the driver. Source it:
#
#   . tools/wine/world.sh
#   trap wine_world_stop EXIT
#   wine_world_start ROOT WIN_BUILD RUN_DIR
#
# WIN_BUILD is a Windows x86_64 build holding tests/e2e/QDriver.exe and the
# stand-in driver's QuorvelOdbcSetup.dll; RUN_DIR is a scratch folder (the
# prefix copy goes into RUN_DIR/prefix). Exports DISPLAY, WINEPREFIX and the
# wine settings; wine_world_stop ends wine and the display.

export WINEDEBUG=${QUORVEL_WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEARCH=win64
_world_xvfb=""
_world_hold=""

wine_world_start() {
  local root=$1 win_build=$2 run=$3 driver=$2/tests/e2e/QDriver.exe
  mkdir -p "$run"
  Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp -noreset 7>"$run/display" 2>/dev/null &
  _world_xvfb=$!
  for _ in $(seq 100); do grep -q '[0-9]' "$run/display" && break; sleep 0.1; done
  export DISPLAY=":$(tr -dc '0-9' <"$run/display")"

  # Making a prefix takes about 20 s: wineboot, the fonts and the virtual
  # desktop "shell" that every wine program joins. A new wine or a new recipe
  # makes a new template.
  local key template
  key=$(cat <(wine --version) "$root/tools/wine/prepare-prefix.sh" "$root/tools/wine/make_song_font.py" |
        sha1sum | cut -c1-12)
  template=$root/build/e2e/prefix-$key
  if [ ! -f "$template/.complete" ]; then
    echo "wine: making the prefix $template (once per machine)"
    rm -rf "$root"/build/e2e/prefix-*
    mkdir -p "$template"
    (export WINEPREFIX=$template; wineserver -p; timeout 180 wineboot -i >/dev/null 2>&1
     bash "$root/tools/wine/prepare-prefix.sh" >/dev/null
     timeout 60 wine "$driver" find class=Shell_TrayWnd --timeout 30000 >/dev/null
     wineserver -k; timeout 30 wineserver -w || true)
    touch "$template/.complete"
  fi
  export WINEPREFIX=$run/prefix
  cp -a "$template" "$WINEPREFIX"
  wineserver -p
  # Wine's installer DLL finds a driver's set-up library in wine's registry, not
  # in unixODBC: name the stand-in's, so that a program can create a database.
  # Wine 8.0 reads it from the value "Driver" (later wines: "Setup").
  local setup="Z:${win_build//\//\\}\\tests\\e2e\\QuorvelOdbcSetup.dll"
  timeout 60 wine reg add 'HKLM\Software\ODBC\ODBCINST.INI\Microsoft Access Driver (*.mdb)' \
    /v Driver /d "$setup" /f >/dev/null
  # Wine closes an idle desktop after a few seconds; a driver holds it open.
  wine "$driver" hold --timeout 86400000 >/dev/null 2>&1 &
  _world_hold=$!
  timeout 60 wine "$driver" find class=Shell_TrayWnd --timeout 30000 >/dev/null
}

wine_world_stop() {
  if [ -n "$_world_hold" ]; then kill "$_world_hold" 2>/dev/null; fi
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null; timeout 20 wineserver -w 2>/dev/null; fi
  if [ -n "$_world_xvfb" ]; then kill "$_world_xvfb" 2>/dev/null; fi
  _world_hold="" _world_xvfb=""
  return 0
}
