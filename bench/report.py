#!/usr/bin/env python3
"""Turns the figures tools/perf.sh gathered (JSON files in one folder) into
the tables it prints and keeps in docs/performance.md.

    python3 bench/report.py RESULTS_DIR [--sizes] [--write FILE]

A benchmark or tool that failed to measure is named under "Failed" and makes
the report exit with status 1 without writing FILE: a missing figure is never
shown as a time.
"""

import datetime
import json
import os
import platform
import subprocess
import sys

COMMAND = "bash tools/perf.sh"
SIZE_NOTE = ("Most of the resources are pictures. The background (a 24-bit bitmap of 524 colours, 326 KB) is drawn "
             "at start-up, so it is kept as a packed DIB compressed with LZNT1 (62 KB), which ntdll inflates in well "
             "under a millisecond; the clock dial, the notice and its flowers are PNG, decoded when a dialog first "
             "shows them (40 KB instead of 156 KB), and so are the larger sets drawn for 150 % and 200 %. Icon images "
             "of a few colours that are either opaque or transparent are stored with a palette, those with soft edges "
             "as 32-bit with their mask; the tray icons' 32 x 32 images, which the tray never shows, as PNG. The "
             "Windows Release builds are compiled without exceptions (nothing in the program throws or catches), "
             "the 32-bit one also without unwind tables.")


def lines(path):
    """The JSON objects of a file with one per line (other lines skipped)."""
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8", errors="replace") as f:
        out = []
        for l in f:
            if l.startswith("{"):
                try:
                    out.append(json.loads(l))
                except ValueError:
                    out.append({"ok": False, "error": "%s: unreadable line %r" % (os.path.basename(path), l[:80])})
        return out


def benchmarks(path, name, problems):
    """The runs of one Google Benchmark JSON file; failed runs are named in problems."""
    if not os.path.exists(path):
        problems.append("%s: no output" % name)
        return []
    try:
        with open(path) as f:
            runs = json.load(f).get("benchmarks", [])
    except ValueError as e:
        problems.append("%s: unreadable output (%s)" % (name, e))
        return []
    if not runs:
        problems.append("%s: no benchmark ran" % name)
    for b in runs:
        if b.get("error_occurred"):
            problems.append("%s %s: %s" % (name, b["name"], b.get("error_message", "failed")))
    return runs


def kb(n):
    return "%.1f KB" % (n / 1024.0)


def table(head, rows):
    out = ["| " + " | ".join(head) + " |", "|" + "|".join("---" for _ in head) + "|"]
    out += ["| " + " | ".join(str(c) for c in r) + " |" for r in rows]
    return "\n".join(out)


def failures(*groups):
    return [x.get("error", "failed") for g in groups for x in g if not x.get("ok", True)]


def sizes_table(results):
    rows = []
    for s in lines(os.path.join(results, "sizes.json")):
        target = "≤ 800 KB" if s["target"] == "i686" else ""
        rows.append(["Quorvel.exe %s, stripped" % s["target"], kb(s["bytes"]),
                     "%s resources, %s code and data" % (kb(s["resources"]), kb(s["bytes"] - s["resources"])),
                     target])
    return table(["executable", "size", "of which", "target"], rows)


def machine():
    cpu = ""
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next(l.split(":", 1)[1].strip() for l in f if l.startswith("model name"))
    except (OSError, StopIteration):
        pass
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return "%s, %d cores, %s, %s" % (cpu or platform.machine(), os.cpu_count() or 0, platform.system(), wine)


def ms(x):
    return "%.1f ms" % x


def duration(value, unit):
    """A Google Benchmark time in the largest unit that keeps it at 1 or more."""
    ns = value * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[unit]
    for scale, name in ((1e9, "s"), (1e6, "ms"), (1e3, "µs")):
        if ns >= scale:
            return "%.3g %s" % (ns / scale, name)
    return "%.3g ns" % ns


def report(results):
    parts = []
    startup = lines(os.path.join(results, "startup.json"))
    stress = lines(os.path.join(results, "stress.json"))
    wine_checks = lines(os.path.join(results, "checks-wine.json"))
    problems = failures(startup, stress, wine_checks, lines(os.path.join(results, "failed.json")))
    native = {}
    for name in ("engine_bench", "store_bench", "reminder_bench"):
        native[name] = benchmarks(os.path.join(results, name + ".json"), name, problems)
    timed = (lines(os.path.join(results, "timed.json")) or [{}])[0]
    sizes = {s["target"]: s for s in lines(os.path.join(results, "sizes.json"))}

    parts.append("## Size\n\n" + sizes_table(results) + "\n\n" + SIZE_NOTE)

    by_exe = {s["exe"]: s for s in startup if s.get("ok")}
    for exe in ("Quorvel.exe", "MinimalDialog.exe"):
        if exe not in by_exe:
            problems.append("start-up: no figure for %s" % exe)
    if "Quorvel.exe" in by_exe and "MinimalDialog.exe" in by_exe:
        q, m = by_exe["Quorvel.exe"], by_exe["MinimalDialog.exe"]
        programs = [("Quorvel.exe", q), ("minimal dialog program", m)]
        if "MinimalDialogImports.exe" in by_exe:
            programs.append(("the same, loading the calendar's DLLs, with its manifest",
                             by_exe["MinimalDialogImports.exe"]))
        if "CalendarWindowOnly.exe" in by_exe:
            programs.append(("the same, showing the calendar's main window template with no code behind it",
                             by_exe["CalendarWindowOnly.exe"]))
        rows = [[name, ms(s["median_ms"]), "%s – %s" % (ms(s["min_ms"]), ms(s["max_ms"]))] for name, s in programs]
        rows.append(["ratio Quorvel.exe / minimal dialog", "%.2f" % (q["median_ms"] / m["median_ms"]),
                     "target ≤ 1.3"])
        target = timed.get("target", "x86_64")
        build = "Timed: `%s`, the %s %s build" % (timed.get("exe", "build/win-%s/app/Quorvel.exe" % target),
                                                   target, timed.get("config", "Release"))
        if target in sizes:
            build += " (%s stripped)" % kb(sizes[target]["bytes"])
        if timed.get("commit"):
            build += " of commit %s" % timed["commit"]
        build += ("; the i686 build cannot run on this machine's 64-bit wine." if target != "i686" else ".")
        parts.append("## Start-up under wine\n\nFrom just before `CreateProcess` until the first dialog window "
                     "is visible, has no update region left and answers a message; median of %d runs after one "
                     "unmeasured run, the programs taking turns. %s\n\n" % (q["runs"], build) +
                     table(["program", "median", "range"], rows))

    if not any(s.get("ok") for s in stress):
        problems.append("GDI and USER objects: no counts")
    if stress:
        rows = []
        for s in stress:
            if not s.get("ok"):
                continue
            c = s["counts"]
            stage = s["stage"] if s["round"] == 0 else "round %d: %s" % (s["round"], s["stage"])
            detail = ", ".join("%s %d" % (k, c[k]) for k in ("dc", "bitmap", "brush", "pen", "font", "region",
                                                           "windows", "menus", "icons") if k in c)
            rows.append([stage, c["gdi"], c["user"], "%.1f MB" % (s["working_set_kb"] / 1024.0),
                         "%.1f s" % s["seconds"], detail])
        method = stress[0].get("counts", {}).get("method", "")
        note = ("GetGuiResources answers 0 under wine (a stub), so the objects are counted inside the calendar's "
                "process: every GDI handle slot whose object type is known, the process's windows, and the menus "
                "and icons in the USER handle slots. " if method == "probe" else "")
        parts.append("## GDI and USER objects, working set\n\n" + note +
                     "The first round fills wine's caches (device contexts and their regions); a count that grows "
                     "in the second round is a leak.\n\n" +
                     table(["after", "GDI", "USER", "working set", "took", "GDI and USER by kind"], rows))

    rows = []
    tick = {b["name"]: b for b in native.get("reminder_bench", []) if b["name"].startswith("BM_MinuteTick")}
    wine_by_minutes = {w["minutes"]: w for w in wine_checks if w.get("ok")}
    for minutes, what in ((1, "one minute"), (1440, "24-hour catch-up")):
        n = tick.get("BM_MinuteTick/%d" % minutes)
        w = wine_by_minutes.get(minutes)
        if not w:
            problems.append("minute checks under wine: no figure for %d minute(s)" % minutes)
        native_time = "–" if not n else "failed" if n.get("error_occurred") else ms(n["real_time"])
        rows.append([what, native_time, ms(w["median_ms"]) if w else "failed",
                     "≤ 100 ms natively" if minutes == 1 else "each table read once"])
    parts.append("## Minute checks over 10 000 alarms and 10 000 anniversaries\n\nBoth checks as a tick runs "
                 "them, the tables read through the stand-in Access driver (natively: unixODBC; under wine: "
                 "wine's ODBC, then unixODBC).\n\n" + table(["check", "native", "under wine", "note"], rows))

    rows = []
    for name, benches in native.items():
        for b in benches:
            counters = ", ".join("%s=%g" % (k, b[k]) for k in ("minutes", "notices", "rows", "days") if k in b)
            time = "failed" if b.get("error_occurred") else duration(b["real_time"], b["time_unit"])
            rows.append([name, b["name"], time, counters])
    if rows:
        parts.append("## Native benchmarks (Google Benchmark)\n\n" + table(["binary", "benchmark", "time", ""], rows))
    if problems:
        parts.append("## Failed\n\n" + "\n".join("- " + p for p in problems))
    return "\n\n".join(parts), problems


def main(argv):
    results = argv[1]
    if "--sizes" in argv:
        print(sizes_table(results))
        return 0
    body, problems = report(results)
    print(body)
    if problems:
        print("\nperf: %d failed, nothing written: %s" % (len(problems), "; ".join(problems)), file=sys.stderr)
        return 1
    if "--write" in argv:
        path = argv[argv.index("--write") + 1]
        with open(path, "w", encoding="utf-8") as f:
            f.write("# Performance\n\nThe latest figures, made with\n\n    %s\n\non %s (%s). Figures are measured "
                    "in one run and reported, never judged; on a shared machine they vary by some per cent from "
                    "run to run, the ratios less.\n\n%s\n" % (COMMAND, datetime.date.today().isoformat(),
                                                            machine(), body))
        print("\nperf: written to %s" % path, file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
