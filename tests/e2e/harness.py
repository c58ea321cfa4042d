"""Linux side of the end-to-end tests: the driver, programs under wine, screenshots,
GBK settings files and working directories.

run.sh prepares the wine world (wine-env.sh) and exports:
  E2E_ROOT        the repository
  E2E_WIN_BUILD   the Windows x86_64 build directory
  E2E_ARTIFACTS   where this run keeps screenshots, logs and working directories
  ODBCSYSINI      the stand-in Access driver's list, when it has been built
Python 3 standard library only.
"""

import datetime
import json
import os
import shutil
import subprocess
import sys
import time
import unittest

ROOT = os.environ.get("E2E_ROOT", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
WIN_BUILD = os.environ.get("E2E_WIN_BUILD", os.path.join(ROOT, "build", "win-x86_64"))
ARTIFACTS = os.environ.get("E2E_ARTIFACTS", os.path.join(ROOT, "build", "e2e-artifacts", "manual"))

DRIVER_EXE = os.path.join(WIN_BUILD, "tests", "e2e", "QDriver.exe")
TESTWIN_EXE = os.path.join(WIN_BUILD, "tests", "e2e", "QTestWin.exe")
QUORVEL_EXE = os.path.join(WIN_BUILD, "app", "Quorvel.exe")
QUORVEL_DB_TOOL = os.path.join(ROOT, "build", "native", "storage", "QuorvelDb")
DB_NAME = "db_Quorvel.mdb"

# Window messages and keys the tests use.
WM_CLOSE = 0x0010
WM_KEYDOWN = 0x0100
WM_COMMAND = 0x0111
WM_TIMER = 0x0113
WM_TRAYNOTIFY = 12001
VK_RETURN = 0x0D
VK_ESCAPE = 0x1B
IDOK, IDCANCEL = 1, 2
WS_BORDER = 0x00800000
WS_DLGFRAME = 0x00400000
WS_CAPTION = 0x00C00000
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_APPWINDOW = 0x00040000

_log_file = None  # the current test's driver log


def log(text):
    if _log_file:
        _log_file.write(text + "\n")
        _log_file.flush()


def wine_ready():
    return bool(os.environ.get("WINEPREFIX")) and bool(os.environ.get("DISPLAY"))


class DriverError(AssertionError):
    def __init__(self, message, result=None):
        super().__init__(message)
        self.result = result or {}


def drive(*args, timeout_ms=None, check=True):
    """Runs one QDriver command in the wine desktop and returns its JSON answer."""
    cmd = ["wine", DRIVER_EXE] + [str(a) for a in args]
    if timeout_ms is not None:
        cmd += ["--timeout", str(int(timeout_ms))]
    limit = (timeout_ms if timeout_ms is not None else 5000) / 1000.0 + 30
    started = time.monotonic()
    try:
        p = subprocess.run(cmd, stdin=subprocess.DEVNULL, capture_output=True, timeout=limit)
    except subprocess.TimeoutExpired:
        raise DriverError("QDriver %s did not answer within %.0f s" % (" ".join(map(str, args)), limit))
    lines = [l for l in p.stdout.decode("utf-8", "replace").splitlines() if l.startswith("{")]
    log("[%6.2fs] QDriver %s\n    -> %s" % (time.monotonic() - started, " ".join(map(str, args)),
                                          lines[-1] if lines else "(no answer) " + p.stderr.decode("utf-8", "replace")[-500:]))
    if not lines:
        raise DriverError("QDriver %s gave no answer (exit %d): %s" % (
            " ".join(map(str, args)), p.returncode, p.stderr.decode("utf-8", "replace")[-2000:]))
    result = json.loads(lines[-1])
    if check and not result.get("ok"):
        raise DriverError("QDriver %s: %s" % (" ".join(map(str, args)), result.get("error")), result)
    return result


def window_list():
    try:
        return drive("list", "--all", timeout_ms=0, check=False).get("windows", [])
    except DriverError as e:
        return [{"error": str(e)}]


def describe_windows(windows):
    out = []
    for w in windows:
        if "error" in w:
            out.append("  " + w["error"])
            continue
        out.append("  %s %-16s %-14r pid %-5s %s rect %s%s" % (
            w["hwnd"], w["class"], w["caption"], w["pid"], "visible" if w["visible"] else "hidden ",
            w["rect"], " topmost" if w["topmost"] else ""))
    return "\n".join(out)


# ---------------------------------------------------------------- screenshots

class Shot:
    """A screenshot of the whole virtual screen; pixels as (r, g, b)."""

    def __init__(self, width, height, data, path):
        self.width, self.height, self.data, self.path = width, height, data, path

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def region(self, x0, y0, x1, y1):
        """Pixels of [x0, x1) x [y0, y1), clipped to the screen, as a list of (x, y, rgb)."""
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x1), min(self.height, y1)
        return [(x, y, self.pixel(x, y)) for y in range(y0, y1) for x in range(x0, x1)]

    def region_bytes(self, x0, y0, x1, y1):
        rows = []
        for y in range(max(0, y0), min(self.height, y1)):
            a = (y * self.width + max(0, x0)) * 3
            b = (y * self.width + min(self.width, x1)) * 3
            rows.append(bytes(self.data[a:b]))
        return b"".join(rows)

    def matching(self, rect, predicate):
        return [(x, y) for x, y, rgb in self.region(*rect) if predicate(rgb)]


# Text is antialiased: a black stroke shows as greys over the light background, a
# coloured one as a lighter tint of its colour. The classes allow for that.
def is_dark(rgb):
    """Black text: dark and without colour."""
    return max(rgb) < 160 and max(rgb) - min(rgb) < 48


def is_red(rgb):
    r, g, b = rgb
    return r > 180 and g < 150 and b < 150 and r - max(g, b) > 80


def is_magenta(rgb):
    r, g, b = rgb
    return r > 180 and b > 180 and g < 150 and min(r, b) - g > 80


def bbox(points):
    if not points:
        return None
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def screenshot(path=None):
    """Takes the whole X screen, saves it as PNG at path (when given) and returns it."""
    xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, timeout=30, check=True).stdout
    if path:
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["convert", "xwd:-", path], input=xwd, timeout=60, check=True)
    ppm = subprocess.run(["convert", "xwd:-", "-depth", "8", "ppm:-"], input=xwd, capture_output=True,
                         timeout=60, check=True).stdout
    # P6 header: magic, width, height, maxval, each followed by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        if ppm[pos:pos + 1] == b"#":
            pos = ppm.index(b"\n", pos) + 1
            continue
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    return Shot(width, height, ppm[pos:pos + width * height * 3], path)


# ---------------------------------------------------------------- settings files

def write_ini(path, sections):
    """Writes a Windows private-profile file as the program reads it: GBK, CRLF."""
    lines = []
    for section, keys in sections.items():
        lines.append("[%s]" % section)
        lines += ["%s=%s" % (k, v) for k, v in keys.items()]
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("gbk"))


def read_ini(path):
    """{section: {key: value}} of a GBK private-profile file; {} when it is missing."""
    if not os.path.exists(path):
        return {}
    with open(path, "rb") as f:
        text = f.read().decode("gbk")
    result, section = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = result.setdefault(line[1:-1], {})
        elif section is not None and "=" in line:
            k, v = line.split("=", 1)
            section[k.strip()] = v.strip()
    return result


# ---------------------------------------------------------------- the database

def odbc_ready():
    ini = os.environ.get("ODBCSYSINI")
    return bool(ini) and os.path.exists(os.path.join(ini, "odbcinst.ini"))


def make_database(workdir):
    """Creates db_Quorvel.mdb in workdir, with the store's own tool when it is built."""
    path = os.path.join(workdir, DB_NAME)
    if os.path.exists(QUORVEL_DB_TOOL):
        p = subprocess.run([QUORVEL_DB_TOOL], cwd=workdir, capture_output=True, timeout=60)
        if p.returncode != 0 or not os.path.exists(path):
            raise AssertionError("QuorvelDb could not create %s: %s" % (
                path, (p.stdout + p.stderr).decode("utf-8", "replace")))
        return path
    # Until the tool exists: the two empty tables, as the program's statements use them.
    import sqlite3
    con = sqlite3.connect(path)
    con.executescript("""
        CREATE TABLE tb_memo (备忘录名称 TEXT NOT NULL, 提醒时间 TEXT NOT NULL, 提醒单位 TEXT NOT NULL,
            开始日期 TEXT NOT NULL, 开始时间 TEXT NOT NULL, 备忘录描述 TEXT NOT NULL, 提醒次数 INTEGER NOT NULL);
        CREATE TABLE tb_remeber (纪念日名称 TEXT NOT NULL, 提醒日期 TEXT NOT NULL, 提醒时间 TEXT NOT NULL,
            提醒设置 INTEGER NOT NULL, 纪念日描述 TEXT NOT NULL, 农历提醒 INTEGER NOT NULL);
    """)
    con.commit()
    con.close()
    return path


# ---------------------------------------------------------------- programs under wine

class Program:
    """A Windows program started with `wine EXE` in a Linux working directory. The
    prefix makes it join the "shell" desktop; the wine launcher process is the
    program itself, so its PID and exit code are the program's."""

    def __init__(self, exe, workdir, args=(), name=None):
        self.exe, self.workdir, self.args = exe, workdir, list(args)
        self.name = name or os.path.splitext(os.path.basename(exe))[0]
        self.proc = None
        self.started_at = None

    def start(self):
        os.makedirs(self.workdir, exist_ok=True)
        out = open(os.path.join(self.workdir, "..", "%s.out.log" % self.name), "ab")
        self.started_at = time.monotonic()
        self.proc = subprocess.Popen(["wine", self.exe] + self.args, cwd=self.workdir, stdin=subprocess.DEVNULL,
                                     stdout=out, stderr=subprocess.STDOUT)
        out.close()
        log("started %s %s in %s (pid %d)" % (self.exe, self.args, self.workdir, self.proc.pid))
        return self

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout):
        """The exit code, or None when the program still runs after timeout seconds."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.running():
            log("killing %s (pid %d)" % (self.name, self.proc.pid))
            self.proc.kill()
            self.proc.wait(timeout=30)


def main_window(timeout_ms=20000):
    return drive("find", "main", timeout_ms=timeout_ms)


def control(children, ident):
    for c in children["controls"]:
        if c["id"] == ident or (c["id"] & 0xFFFF) == (ident & 0xFFFF):
            return c
    raise AssertionError("no control %d among %s" % (ident, [c["id"] for c in children["controls"]]))


def drag(x0, y0, dx, dy, steps=4):
    """Drags with the left button from screen point (x0, y0) by (dx, dy). The virtual
    desktop sits at the X screen's origin, so screen and X coordinates agree."""
    cmds = [["mousemove", str(x0), str(y0)], ["mousedown", "1"]]
    for i in range(1, steps + 1):
        cmds.append(["mousemove", str(x0 + dx * i // steps), str(y0 + dy * i // steps)])
    cmds.append(["mouseup", "1"])
    for c in cmds:
        subprocess.run(["xdotool"] + c, timeout=10, check=True)
        time.sleep(0.15)
    log("dragged from (%d, %d) by (%d, %d)" % (x0, y0, dx, dy))


def wait_until(predicate, timeout, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


# ---------------------------------------------------------------- the tray and the registry

NIM_ADD, NIM_MODIFY, NIM_DELETE = 0, 1, 2
NIF_MESSAGE, NIF_ICON, NIF_TIP = 1, 2, 4


def tray_icon_present(hwnd, ident):
    """Whether the taskbar knows an icon of window hwnd (a number or "0x..") with id ident."""
    return drive("tray", int(str(hwnd), 0), ident)["present"]


def tray_tips():
    """The tray icons' tips as the taskbar's tooltips hold them: [{text, rect, ...}];
    rect is in the taskbar window's client coordinates, empty for a tool in no place."""
    return drive("tray-tips")["tools"]


class TrayWatch:
    """Logs every Shell_NotifyIcon request that reaches the taskbar, from start() until
    stop(): requests() gives them in order as {message, hwnd, id, flags, callback, tick}
    (message NIM_ADD, NIM_MODIFY or NIM_DELETE)."""

    def __init__(self):
        self.proc, self.pid = None, None

    def start(self):
        self.proc = subprocess.Popen(["wine", DRIVER_EXE, "tray-watch", "--timeout", "600000"],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.proc.stdout.readline().decode("utf-8", "replace")
        log("tray-watch -> %s" % line.strip())
        answer = json.loads(line) if line.startswith("{") else {"ok": False, "error": "no answer"}
        if not answer.get("ok"):
            self.stop()
            raise DriverError("tray-watch: %s" % answer.get("error"), answer)
        self.pid = answer["pid"]
        return self

    def requests(self):
        return drive("tray-log", self.pid)["requests"]

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=30)
        if self.proc:
            self.proc.stdout.close()


def windows_path(path):
    """The Windows name of a Linux path, as programs under wine see it."""
    return subprocess.run(["winepath", "-w", path], capture_output=True, timeout=30,
                          check=True).stdout.decode("utf-8").strip()


def _value_args(name):
    return ["/ve"] if name is None else ["/v", name]


def reg_value(key, name):
    """The data of a REG_SZ value as text (name None: the key's default value), or
    None when the key or value is missing."""
    p = subprocess.run(["wine", "reg", "query", key] + _value_args(name), stdin=subprocess.DEVNULL,
                       capture_output=True, timeout=60)
    text = p.stdout.decode("gbk", "replace")  # reg writes in the prefix's code page
    log("reg query %s %s -> exit %d %r" % (key, name, p.returncode, text.strip()))
    if p.returncode != 0:
        return None
    for line in text.splitlines():
        # "    NAME    REG_SZ    DATA"; the default value's name is localised.
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1] == "REG_SZ" and (name is None or parts[0] == name):
            return parts[2] if len(parts) > 2 else ""
    return None


def reg_set(key, name, data):
    """Sets a REG_SZ value (name None: the key's default value)."""
    subprocess.run(["wine", "reg", "add", key] + _value_args(name) + ["/t", "REG_SZ", "/d", data, "/f"],
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=60, check=True)
    log("reg add %s %s = %r" % (key, name, data))


def reg_delete(key, name):
    """Deletes a value; a missing one is no error."""
    subprocess.run(["wine", "reg", "delete", key, "/v", name, "/f"], stdin=subprocess.DEVNULL,
                   capture_output=True, timeout=60)
    log("reg delete %s /v %s" % (key, name))


# ---------------------------------------------------------------- test cases

class WineTestCase(unittest.TestCase):
    """One test, one folder under ARTIFACTS: its working directory `work/` (the
    program's current directory), its screenshots and its driver log. A failing test
    also leaves a screenshot and the window list there, and prints them."""

    def setUp(self):
        global _log_file
        if not wine_ready():
            self.skipTest("no wine environment: run through tests/e2e/run.sh")
        name = self.id()
        self.artifacts = os.path.join(ARTIFACTS, name)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        self.workdir = os.path.join(self.artifacts, "work")
        os.makedirs(self.workdir)
        _log_file = open(os.path.join(self.artifacts, "driver.log"), "a", encoding="utf-8")
        self.programs = []
        self.addCleanup(self._cleanup)
        # A calendar window left over from an earlier test would answer for ours.
        if not drive("gone", "main", timeout_ms=5000, check=False)["ok"]:
            self.fail("a calendar window of an earlier program is still open:\n%s" % describe_windows(window_list()))

    def start(self, exe, args=(), name=None):
        p = Program(exe, self.workdir, args, name).start()
        self.programs.append(p)
        return p

    def shot(self, label):
        return screenshot(os.path.join(self.artifacts, label + ".png"))

    def _failed(self):
        # By the time cleanups run, a failure of the test body is already recorded.
        result = getattr(getattr(self, "_outcome", None), "result", None)
        if result is None:
            return False
        return any(test is self for test, _ in list(result.errors) + list(result.failures))

    def _cleanup(self):
        global _log_file
        try:
            if self._failed():
                windows = window_list()
                path = os.path.join(self.artifacts, "failure.png")
                try:
                    screenshot(path)
                except Exception as e:  # keep the original failure visible
                    path = "(screenshot failed: %s)" % e
                report = "windows at failure:\n%s\nscreenshot: %s\nlog: %s" % (
                    describe_windows(windows), path, os.path.join(self.artifacts, "driver.log"))
                with open(os.path.join(self.artifacts, "failure.txt"), "w", encoding="utf-8") as f:
                    f.write(report + "\n")
                sys.stderr.write("\n--- %s\n%s\n" % (self.id(), report))
        finally:
            for p in self.programs:
                p.stop()
            if _log_file:
                _log_file.close()
                _log_file = None


def today():
    return datetime.date.today()
