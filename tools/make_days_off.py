#!/usr/bin/env python3
"""Writes engine/DaysOffTable.cpp, the built-in days off (休) and adjusted
workdays (班), from engine/data/cn-days-off-2004-2026.tsv.

Standard library only; the output is committed, so the build needs no Python.

    python3 tools/make_days_off.py

Days in a row within one month that share mark and holiday become one run, so
that a lookup compares yyyymmdd keys and never has to count across a month end.
"""
import datetime
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE = "engine/data/cn-days-off-2004-2026.tsv"
TARGET = "engine/DaysOffTable.cpp"
MARKS = {"休": "DayOffRest", "班": "DayOffWork"}


def read_days(path):
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\r\n").split("\t") for line in f if line.strip() and not line.startswith("#")]
    days = [(datetime.date.fromisoformat(d), MARKS[m], name) for d, m, name in rows[1:]]
    if [d for d, _, _ in days] != sorted({d for d, _, _ in days}):
        raise SystemExit("%s: the dates must be in order, each once" % path)
    return days


def runs_of(days):
    runs = []
    for day, mark, name in days:
        last = runs[-1] if runs else None
        if (last and last[1:3] == [mark, name] and last[0] + datetime.timedelta(days=last[3]) == day
                and last[0].month == day.month):
            last[3] += 1
        else:
            runs.append([day, mark, name, 1])
    return runs


def main():
    runs = runs_of(read_days(os.path.join(ROOT, SOURCE)))
    names = list(dict.fromkeys(run[2] for run in runs))
    if not 2000 <= runs[0][0].year <= runs[-1][0].year <= 2127 or len(names) > 16 or max(r[3] for r in runs) > 31:
        raise SystemExit("the table holds the years 2000-2127 and 16 holidays")
    lines = ["// Written by tools/make_days_off.py from %s; do not edit." % SOURCE,
             '#include "engine/DaysOffTable.h"', "", "namespace LunarCalendar {", "",
             "const char* const g_szDayOffHoliday[] = {%s};" % ", ".join('"%s"' % n for n in names), "",
             "const DayOffRun g_dayOffRuns[] = {"]
    for year in sorted({r[0].year for r in runs}):
        cells = ["{DayOffKey(%s), %d, %s, %d}" % (d.strftime("%Y%m%d"), n, m, names.index(h)) for d, m, h, n in runs
                 if d.year == year]
        for i in range(0, len(cells), 3):
            lines.append("    " + ", ".join(cells[i:i + 3]) + ",")
    lines += ["};", "const int g_nDayOffRuns = static_cast<int>(sizeof g_dayOffRuns / sizeof g_dayOffRuns[0]);", "",
              "}  // namespace LunarCalendar", ""]
    with open(os.path.join(ROOT, TARGET), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))
    print("%s: %d runs of %d holidays" % (TARGET, len(runs), len(names)))


if __name__ == "__main__":
    main()
