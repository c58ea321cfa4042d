#!/usr/bin/env bash
# The performance figures in one run: builds what they need, measures, prints a
# table and writes it, with this command, to docs/performance.md.
#
#   bash tools/perf.sh            # everything (about three minutes)
#   bash tools/perf.sh --sizes    # only the executable sizes (no wine, no benchmarks)
#
# Figures: stripped sizes of Quorvel.exe; start-up under wine beside a minimal
# dialog program; GDI and USER objects and working set through start-up, month
# steps, menu openings and notices; the minute checks over 10 000 alarms and
# 10 000 anniversaries natively and under wine; the engine, grid and store
# benchmarks. Figures are reported, never judged: nothing here fails on a value,
# but a benchmark or tool that fails to measure makes the run fail and is named.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=$ROOT/build/perf
JOBS=2
say() { printf 'perf: %s\n' "$*" >&2; }

configure() {  # build dir, toolchain name or "" for native
  local extra=()
  [ -n "$2" ] && extra=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$2-w64-mingw32.cmake")
  cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Release "${extra[@]}" >/dev/null
}

bash tools/setup.sh >/dev/null
mkdir -p "$OUT"
rm -f "$OUT/sizes.json"
say "building"
configure build/win-i686 i686
cmake --build build/win-i686 -j"$JOBS" --target Quorvel >/dev/null
configure build/win-x86_64 x86_64
cmake --build build/win-x86_64 -j"$JOBS" --target Quorvel >/dev/null
for t in i686 x86_64; do
  exe=build/win-$t/app/Quorvel.exe
  rsrc=$(( 0x$("$t-w64-mingw32-objdump" -h "$exe" | awk '$2 == ".rsrc" { print $3 }') ))
  printf '{"target":"%s","bytes":%d,"resources":%d}\n' "$t" "$(stat -c %s "$exe")" "$rsrc" >>"$OUT/sizes.json"
done
if [ "${1:-}" = "--sizes" ]; then
  exec python3 bench/report.py "$OUT" --sizes
fi
find "$OUT" -maxdepth 1 -name '*.json' ! -name sizes.json -delete
# Which build the start-up and the wine figures time.
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -n "$(git status --porcelain 2>/dev/null)" ] && commit="$commit with uncommitted changes"
printf '{"exe":"build/win-x86_64/app/Quorvel.exe","target":"x86_64","config":"Release","commit":"%s"}\n' "$commit" \
  >"$OUT/timed.json"

configure build/native ""
cmake --build build/native -j"$JOBS" --target engine_bench store_bench reminder_bench QuorvelDb quorvel_odbc_shim \
  >/dev/null
cmake --build build/win-x86_64 -j"$JOBS" --target QDriver QDriverHook QPerf MinimalDialog MinimalDialogImports CalendarWindowOnly CheckBench >/dev/null

# Native benchmarks first, while nothing else of ours runs.
say "native benchmarks"
for b in engine_bench store_bench reminder_bench; do
  status=0
  "build/native/bench/$b" --benchmark_format=json --benchmark_min_time=0.5 >"$OUT/$b.json" 2>/dev/null || status=$?
  [ "$status" = 0 ] || printf '{"ok":false,"error":"%s exited with status %d"}\n' "$b" "$status" >>"$OUT/failed.json"
done

# shellcheck source=tests/support/odbc-env.sh
source tests/support/odbc-env.sh build/native
# shellcheck source=tools/wine/world.sh
source tools/wine/world.sh
run=$ROOT/build/perf/run-$$
cleanup() {
  wine_world_stop
  rm -rf "$run"
}
trap cleanup EXIT
say "making the wine world"
wine_world_start "$ROOT" "$ROOT/build/win-x86_64" "$run"
work=$run/work
mkdir -p "$work"
cp build/win-x86_64/app/Quorvel.exe build/win-x86_64/bench/win/{QPerf.exe,QPerfHook.dll,MinimalDialog.exe,MinimalDialogImports.exe,CalendarWindowOnly.exe,CheckBench.exe} \
  "$work/"
cd "$work"
"$ROOT/build/native/storage/QuorvelDb" >/dev/null

say "start-up, twenty runs each"
# A tool that cannot measure says so in its output, and the report lists it.
wine QPerf.exe start --runs 20 --tray 248-278 Quorvel.exe MinimalDialog.exe MinimalDialogImports.exe \
  CalendarWindowOnly.exe \
  >"$OUT/startup.json" || true

say "GDI and USER objects and working set (two rounds; the second waits for a minute tick)"
# Fifty notices due in each of the first two minutes of a clock started at 08:30.
python3 - <<'PY'
import sqlite3
with sqlite3.connect("db_Quorvel.mdb") as con:
    con.executemany(
        "insert into tb_memo (备忘录名称,提醒时间,提醒单位,开始日期,开始时间,备忘录描述,提醒次数) "
        "values (?, 'NULL', 'NULL', '2025-03-16', ?, '提醒正文。', '0')",
        [("提醒%d" % i, t) for t in ("08:30:00", "08:31:00") for i in range(50)])
PY
faketime "2025-03-16 08:30:00" wine Quorvel.exe >/dev/null 2>&1 &
calendar=$!
wine QPerf.exe stress --rounds 2 --navigations 1000 --menus 100 --notices 50 >"$OUT/stress.json" || true
kill "$calendar" 2>/dev/null || true

say "minute checks under wine"
mkdir -p "$work/checks"
cd "$work/checks"
"$ROOT/build/native/storage/QuorvelDb" >/dev/null
wine ../CheckBench.exe --runs 5 >"$OUT/checks-wine.json" || true
cd "$ROOT"

python3 bench/report.py "$OUT" --write docs/performance.md
