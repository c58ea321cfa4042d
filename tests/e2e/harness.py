"""The Linux side of the end-to-end tests: the driver, the program under wine,
screenshots, settings files and the database. run.sh prepares the wine world and
exports E2E_ROOT, E2E_WIN_BUILD, E2E_ARTIFACTS and ODBCSYSINI."""

import datetime
import glob
import hashlib
import json
import os
import pathlib
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import time
import unittest

ROOT = os.environ.get("E2E_ROOT", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
WIN_BUILD = os.environ.get("E2E_WIN_BUILD", os.path.join(ROOT, "build", "win-x86_64"))
ARTIFACTS = os.environ.get("E2E_ARTIFACTS", os.path.join(ROOT, "build", "e2e-artifacts", "manual"))
DRIVER = os.path.join(WIN_BUILD, "tests", "e2e", "QDriver.exe")
QUORVEL = os.path.join(WIN_BUILD, "app", "Quorvel.exe")
DB_TOOL = os.path.join(ROOT, "build", "native", "storage", "QuorvelDb")

MAIN = "class=#32770,has=1025"           # the calendar: the only window with the '<' button
NOTICE = "class=#32770,caption=,has=1000"  # the reminder notice: no caption, a text field
BOX = "caption=Quorvel"                    # the program's message boxes
WM_CLOSE, WM_COMMAND, WM_TIMER, WM_TRAYNOTIFY, WM_RBUTTONDOWN = 0x10, 0x111, 0x113, 12001, 0x204
VK_RETURN, VK_ESCAPE, IDOK, IDCANCEL, IDYES, IDNO = 0x0D, 0x1B, 1, 2, 6, 7
SECTION = "窗口设置"

_log = None


def log(text):
    if _log:
        _log.write(text + "\n")
        _log.flush()


def drive(*args, timeout_ms=5000, check=True):
    """One driver command in the wine desktop; its JSON answer."""
    cmd = ["wine", DRIVER] + [str(a) for a in args] + ["--timeout", str(timeout_ms)]
    for _ in range(2):
        started = time.monotonic()
        p = subprocess.run(cmd, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout_ms / 1000 + 30)
        lines = [l for l in p.stdout.decode("utf-8", "replace").splitlines() if l.startswith("{")]
        log("QDriver %s -> %s" % (" ".join(map(str, args)), lines[-1][:2000] if lines else "no answer, exit %d "
                                  "after %.1f s %r" % (p.returncode, time.monotonic() - started, p.stderr[-500:])))
        # Now and then, on a busy machine, a driver process ends with 1 and says nothing
        # (wine's doing: every path of the driver answers). Another one is started.
        if lines or p.returncode != 1 or p.stderr:
            break
    result = json.loads(lines[-1]) if lines else {"ok": False, "error": "no answer (exit %d)" % p.returncode}
    if check and not result["ok"]:
        raise AssertionError("QDriver %s: %s" % (" ".join(map(str, args)), result["error"]))
    return result


def control(window, ident):
    """The control ident of a `controls` answer."""
    found = [c for c in window["controls"] if c["id"] == ident]
    if not found:
        raise AssertionError("no control %d in %s" % (ident, [c["id"] for c in window["controls"]]))
    return found[0]


def message_of(box):
    return " ".join(c["text"] for c in box["controls"] if c["class"] == "Static" and c["text"])


def answer(ident=IDOK, selector=BOX, timeout_ms=5000):
    """The text of the message box shown now, once the button ident has closed it."""
    box = drive("controls", selector, timeout_ms=timeout_ms)
    drive("click", "hwnd=%d" % box["hwnd"], ident)
    drive("gone", "hwnd=%d" % box["hwnd"])
    return message_of(box)


def close(selector, ident, how="click"):
    """Closes a window with its button ident (or its tool bar's command, how="command")."""
    drive(how, selector, ident)
    drive("gone", selector)


def wait_until(predicate, timeout=5, what="condition", interval=0.2):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %s s waiting for %s" % (timeout, what))
        time.sleep(interval)
    return value


def wine(*args, check=True):
    return subprocess.run(["wine"] + list(args), capture_output=True, timeout=60, check=check).stdout


def movable_clock(path):
    """The environment of a program whose clock set_clock(path, ...) moves."""
    set_clock(path, datetime.datetime.now())
    return {"LD_PRELOAD": glob.glob("/usr/lib/*/faketime/libfaketime.so.1")[0], "FAKETIME_TIMESTAMP_FILE": path,
            "FAKETIME_CACHE_DURATION": "1", "FAKETIME_DONT_FAKE_MONOTONIC": "1"}


def set_clock(path, when):
    """The clock of the program started with movable_clock(path) at when, and running. libfaketime
    reads the file again at its first clock call two whole seconds after its last reading."""
    with open(path, "w") as f:
        f.write("%+d\n" % round((when - datetime.datetime.now()).total_seconds()))
    time.sleep(2.2)


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], timeout=10, check=True)
    time.sleep(0.15)


def click_at(x, y, button=1):
    xdotool("mousemove", x, y)
    xdotool("click", button)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class Shot:
    """A screenshot of the whole screen; pixel(x, y) is (r, g, b)."""

    def __init__(self, path=None):
        xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, timeout=30, check=True).stdout
        if path:
            subprocess.run(["convert", "xwd:-", path], input=xwd, timeout=60, check=True)
        ppm = subprocess.run(["convert", "xwd:-", "-depth", "8", "ppm:-"], input=xwd, capture_output=True,
                             timeout=60, check=True).stdout
        header = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+\d+\s", ppm)
        self.width, self.height = int(header[1]), int(header[2])
        self.data = ppm[header.end():]

    def save(self, path):
        subprocess.run(["convert", "ppm:-", path], input=b"P6 %d %d 255\n" % (self.width, self.height) + self.data,
                       timeout=60, check=True)
        return self

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region(self, rect, holes=()):
        """The pixels of rect as bytes, those inside any of the holes blacked out."""
        x0, y0, x1, y1 = rect
        rows = []
        for y in range(y0, y1):
            row = bytearray(self.data[(y * self.width + x0) * 3:(y * self.width + x1) * 3])
            for hx0, hy0, hx1, hy1 in holes:
                if hy0 <= y < hy1 and hx0 < x1 and hx1 > x0:
                    a, b = max(hx0, x0) - x0, min(hx1, x1) - x0
                    row[a * 3:b * 3] = bytes((b - a) * 3)
            rows.append(bytes(row))
        return b"".join(rows)

    def points(self, rect, predicate):
        return [(x, y) for y in range(rect[1], rect[3]) for x in range(rect[0], rect[2])
                if predicate(self.pixel(x, y))]


def is_magenta(rgb):
    r, g, b = rgb
    return r > 180 and b > 180 and g < 150


def is_dark(rgb):
    return max(rgb) < 160 and max(rgb) - min(rgb) < 48


def read_ini(path):
    """The settings section of a GBK private-profile file; {} when missing."""
    if not os.path.exists(path):
        return {}
    with open(path, "rb") as f:
        text = f.read().decode("gbk", "replace")
    section = re.search(r"^\[%s\][^\n]*\n(.*?)(?=^\[|\Z)" % SECTION, text, re.M | re.S)
    return dict(line.split("=", 1) for line in (section[1] if section else "").splitlines() if "=" in line)


def data_files(folder):
    """A digest of each of the database and the settings file that folder holds."""
    return {n: hashlib.sha1(p.read_bytes()).hexdigest() for n in ("db_Quorvel.mdb", "Quorvel.ini")
            if (p := pathlib.Path(folder, n)).is_file()}


def make_database(folder, *rows):
    """db_Quorvel.mdb with its two tables, made as users make it (by QuorvelDb, which leaves
    a file that is there alone), then rows added: (statement, [values of each row])."""
    subprocess.run([DB_TOOL], cwd=folder, check=True, capture_output=True, timeout=60)
    with sqlite3.connect(os.path.join(folder, "db_Quorvel.mdb")) as con:
        for statement, values in rows:
            con.executemany(statement, values)


class Calendar:
    """Quorvel (exe) under wine, its database and settings in workdir (the test's by
    default), started in cwd (workdir by default) with args, its clock starting
    at faketime ("YYYY-MM-DD hh:mm:ss") when given, with env added to the environment; with
    trace, wine logs its text output to quorvel.log (see text_drawn)."""

    def __init__(self, test, database=True, ini=None, args=(), workdir=None, cwd=None, faketime=None, exe=QUORVEL,
                 trace=False, env=None):
        self.workdir = workdir or test.workdir
        if database and not os.path.exists(self.db_path()):
            make_database(self.workdir)
        if isinstance(ini, dict):
            ini = ("[%s]\r\n" % SECTION + "".join("%s=%s\r\n" % kv for kv in ini.items())).encode("gbk")
        if ini is not None:
            with open(os.path.join(self.workdir, "Quorvel.ini"), "wb") as f:
                f.write(ini)
        clock = ["faketime", faketime] if faketime else []
        self.log = os.path.join(test.artifacts, "quorvel.log")
        env = dict(os.environ, **(env or {}), **({"WINEDEBUG": "trace+font"} if trace else {}))
        with open(self.log, "ab") as out:
            self.proc = subprocess.Popen(clock + ["wine", exe] + list(args), cwd=cwd or self.workdir, env=env,
                                         stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                         start_new_session=True)
        test.addCleanup(self.kill)

    def window(self, timeout_ms=20000):
        self.main = drive("find", MAIN, timeout_ms=timeout_ms)
        self.hwnd = self.main["hwnd"]
        return self.main

    def text_drawn(self, since=0, until=None):
        """Every text output of wine's trace from byte `since` of the log up to `until`: (text,
        x, y, box), box being the (left, top, right, bottom) that DrawText was given."""
        with open(self.log, "rb") as f:
            f.seek(since)
            log = f.read(-1 if until is None else until - since).decode("utf-8", "replace")
        return [(re.sub(r"\\([0-9a-f]{4})", lambda m: chr(int(m[1], 16)), t), int(x), int(y),
                 tuple(map(int, box)) if box[0] else None)
                for x, y, *box, t in re.findall(r"NtGdiExtTextOutW \S+, (-?\d+), (-?\d+), \w+, "
                                               r"(?:\((-?\d+),(-?\d+)\)-\((-?\d+),(-?\d+)\)|\S+), L\"(.*?)\", ", log)]

    def db_path(self):
        return os.path.join(self.workdir, "db_Quorvel.mdb")

    def sql(self, statement, params=()):
        with sqlite3.connect(self.db_path()) as con:
            return con.execute(statement, params).fetchall()

    def settings(self):
        return read_ini(os.path.join(self.workdir, "Quorvel.ini"))

    def wait_exit(self, timeout=15):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the calendar did not end")

    def kill(self):  # the whole group: faketime waits for the calendar instead of becoming it
        if self.proc.poll() is not None:
            log("the calendar had ended, exit status %d" % self.proc.returncode)
        else:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(timeout=30)


class WineTestCase(unittest.TestCase):
    """A folder per test under ARTIFACTS: the working directory work/, screenshots, the
    driver log; on failure also failure.png and the window list."""

    def setUp(self):
        global _log
        if not os.environ.get("WINEPREFIX"):
            self.skipTest("no wine world: run through tests/e2e/run.sh")
        self.artifacts = os.path.join(ARTIFACTS, self.id().split(".", 1)[1])
        shutil.rmtree(self.artifacts, ignore_errors=True)
        self.workdir = os.path.join(self.artifacts, "work")
        os.makedirs(self.workdir)
        _log = open(os.path.join(self.artifacts, "driver.log"), "a", encoding="utf-8")
        self.addCleanup(self._finish)

    def shot(self, label=None):
        return Shot(os.path.join(self.artifacts, label + ".png") if label else None)

    def first_start(self, reply, folder=None, exe=QUORVEL, **start):
        """The calendar started with no database in folder (the test's): it asks first, reply
        answers; then the text of the one box that comes before the window, if any."""
        cal = Calendar(self, database=False, workdir=folder, exe=exe, **start)
        drive("find", BOX, timeout_ms=20000)
        self.shot("question")
        where = wine("winepath", "-w", cal.workdir).decode("utf-8").strip()
        self.assertEqual(answer(reply), "找不到保存闹钟和纪念日的数据库 db_Quorvel.mdb。\n\n要在文件夹\n%s\n"
                                        "中创建一个空的数据库吗？" % where)
        said = None
        if drive("find", BOX, timeout_ms=3000, check=False)["ok"]:
            self.assertFalse(drive("find", MAIN, timeout_ms=0, check=False)["ok"], "the window came before the box")
            said = answer()
        self.assertFalse(drive("find", BOX, timeout_ms=1500, check=False)["ok"], "a second box")
        cal.window()
        return cal, said

    def fresh_minute(self, left=20):
        """The time of day of a minute with `left` seconds left, as stored: a row due in it
        and made before the calendar starts is still due at its first tick."""
        if datetime.datetime.now().second > 60 - left:
            time.sleep(61 - datetime.datetime.now().second)
        return datetime.datetime.now().strftime("%H:%M:00")

    def notice_once(self, text, label, snooze=None):
        """A tick shows the notice of the row due now, its title and the hint below its text;
        a click closes it, or the right-click menu's item of `snooze` minutes puts it off; a
        second tick in the same minute shows nothing."""
        drive("post", MAIN, WM_TIMER, 1)
        notice = drive("controls", NOTICE)
        self.assertEqual(control(notice, 1000)["text"], text)
        x, y = notice["origin"]
        shot = self.shot(label)
        self.assertTrue(shot.points((x + 10, y + 8, x + 190, y + 30), is_dark), "no title")
        self.assertTrue(shot.points((x + 10, y + 114, x + 190, y + 128), lambda p: max(p) < 160), "no hint")
        if snooze:
            click_at(x + 100, y + 60, 3)  # on the text
            items = drive("menu")["items"]
            self.assertEqual([(i["id"], i["ownerdraw"]) for i in items], [(5, True), (10, True), (30, True), (60, True)])
            shot = self.shot(label + "-snooze-menu")
            self.assertTrue(all(shot.points((i["rect"][0] + 30, i["rect"][1], *i["rect"][2:]), is_dark) for i in items))
            click_at(*centre(next(i["rect"] for i in items if i["id"] == snooze)))
        else:
            click_at(x + 5, y + 5)
        drive("gone", NOTICE)
        drive("post", MAIN, WM_TIMER, 1)
        self.assertFalse(drive("find", NOTICE, timeout_ms=1500, check=False)["ok"], "shown twice in one minute")

    def _finish(self):
        global _log
        outcome = getattr(self, "_outcome", None)
        failed = outcome and any(t is self for t, _ in outcome.result.errors + outcome.result.failures)
        if failed:
            self.shot("failure")
            windows = drive("list", timeout_ms=0, check=False).get("windows", [])
            listing = "\n".join("  %(hwnd)s %(class)s %(caption)r pid %(pid)s %(rect)s" % w for w in windows)
            sys.stderr.write("\n%s: windows at failure:\n%s\nartifacts: %s\n" % (self.id(), listing, self.artifacts))
        _log.close()
        _log = None
