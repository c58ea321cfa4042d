"""The calendar's main window under wine: its shape, what it draws, month and year
navigation, the three ways it ends, dragging, and the start-up report of a missing
database. Skipped until build/win-x86_64/app/Quorvel.exe exists."""

import os
import time
import unittest

from harness import (ARTIFACTS, DB_NAME, IDCANCEL, IDOK, QUORVEL_EXE, VK_ESCAPE, VK_RETURN, WM_CLOSE,
                     WS_BORDER, WS_DLGFRAME, WineTestCase, bbox, control, describe_windows, drag,
                     drive, is_dark, is_magenta, is_red, make_database, odbc_ready, read_ini, screenshot,
                     today, wait_until, window_list)

SECTION, POSITION_KEY = "窗口设置", "窗口位置"
MONTH_NAMES = ["一月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月", "十月", "十一月", "十二月"]
FIRST_START_S = 20  # the first wine start of a run is slow


def sunday_first(date):
    return (date.weekday() + 1) % 7


@unittest.skipUnless(os.path.exists(QUORVEL_EXE), "Quorvel.exe not built yet (%s)" % QUORVEL_EXE)
class MainWindowTest(WineTestCase):

    # ------------------------------------------------------------ helpers

    def start_quorvel(self, with_database=True):
        if with_database:
            make_database(self.workdir)
        started = time.monotonic()
        self.program = self.start(QUORVEL_EXE)
        deadline = started + FIRST_START_S
        while True:
            found = drive("find", "main", timeout_ms=500, check=False)
            if found["ok"]:
                break
            box = drive("dialog", "caption:Quorvel", timeout_ms=0, check=False)
            if box["ok"] and with_database and odbc_ready():
                self.fail("start-up reported %r although %s is there" % (box.get("message"), DB_NAME))
            if box["ok"] and with_database:
                # No stand-in Access driver built: the open fails; go on without the store.
                drive("click", "caption:Quorvel", IDOK)
            if not self.program.running():
                self.fail("Quorvel ended during start-up (exit code %s)" % self.program.proc.returncode)
            if time.monotonic() > deadline:
                self.fail("no calendar window within %d s; windows:\n%s" % (
                    FIRST_START_S, describe_windows(window_list())))
        with open(os.path.join(ARTIFACTS, "timings.txt"), "a") as f:
            f.write("%s: window after %.2f s\n" % (self.id(), time.monotonic() - started))
        self.window = found
        self.origin = found["client_origin"]
        return found

    def shot(self, label=None):
        """A screenshot, kept as label.png among the test's artifacts when labelled."""
        return screenshot(os.path.join(self.artifacts, label + ".png") if label else None)

    def client_rect(self, x0, y0, x1, y1):
        ox, oy = self.origin
        return (ox + x0, oy + y0, ox + x1, oy + y1)

    def grid(self):
        """Column width and client height as the month view lays them out."""
        width = self.window["client"][0] - 10
        return width // 7, self.window["client"][1], width

    def title_area(self):
        """Between the '<' and '>' buttons (their dark edges are not title text)."""
        if not hasattr(self, "_title_area"):
            kids = drive("children", "main")
            left, right = control(kids, 1025)["rect"][2], control(kids, 1026)["rect"][0]
            self._title_area = self.client_rect(left + 1, 13, right - 1, 40)
        return self._title_area

    def grid_area(self):
        _, height, width = self.grid()
        return self.client_rect(0, 50, width + 10, height)

    def combo_selection(self):
        return control(drive("children", "main"), 1004)["cursel"]

    def wait_region(self, rect, predicate, what, timeout=5):
        """Screenshots until the region's bytes satisfy predicate; the window may
        reach the X screen a moment after the program drew it."""
        return wait_until(lambda: predicate(self.shot().region_bytes(*rect)), timeout, 0.15, what)

    def ini(self):
        return read_ini(os.path.join(self.workdir, "Quorvel.ini"))

    def saved_position(self):
        return self.ini().get(SECTION, {}).get(POSITION_KEY)

    def windows_of_program(self):
        pid = self.window["pid"]
        return [w for w in window_list() if w.get("pid") == pid and w.get("visible")]

    def click(self, ident):
        drive("click", "main", ident, "--send")

    # ------------------------------------------------------------ tests

    # The template's 276 x 180 dialog units in 宋体 9 (6 x 12 pixels) are the
    # background picture's size; the prefix's stand-in 宋体 has those metrics.
    def test_client_area_has_the_background_size(self):
        w = self.start_quorvel()
        cw, ch = w["client"]
        self.shot("window")
        self.assertLessEqual(abs(cw - 414), 4, "client width %d" % cw)
        self.assertLessEqual(abs(ch - 268), 4, "client height %d" % ch)

    def test_window_shape_style_and_controls(self):
        w = self.start_quorvel()
        cw, ch = w["client"]
        self.assertLessEqual(abs(cw - 414), 4, "client width %d" % cw)
        self.assertEqual(w["caption"], "")
        self.assertEqual(w["style"] & (WS_BORDER | WS_DLGFRAME), 0, "caption or border bits set")
        self.assertEqual(w["rect"][2] - w["rect"][0], cw, "the window has a frame")
        self.assertTrue(w["toolwindow"], "no WS_EX_TOOLWINDOW: it would get a taskbar button")
        self.assertFalse(w["appwindow"], "WS_EX_APPWINDOW left on: it would get a taskbar button")
        # No settings file: the template's place and opacity 95 of 255.
        self.assertEqual(w["rect"][:2], [0, 0])
        self.assertTrue(w["layered"])
        self.assertEqual(w["alpha"], 95)

        kids = drive("children", "main")
        combo = control(kids, 1004)
        self.assertEqual(combo["class"], "ComboBox")
        self.assertEqual(combo["count"], 150)
        self.assertEqual(combo["cursel"], today().year - 1900)
        self.assertEqual(combo["seltext"], str(today().year))
        for ident, text in ((1025, "<"), (1026, ">")):
            button = control(kids, ident)
            self.assertEqual((button["class"], button["text"], button["visible"]), ("Button", text, True))
        self.assertIsNone(self.saved_position(), "start-up must not write the position")

    def test_month_view_shows_title_header_and_today(self):
        self.start_quorvel()
        d = today()
        shot = wait_until(lambda: (lambda s: s if s.matching(self.grid_area(), is_magenta) else None)(
            self.shot("month")), 5, 0.2, "today's number to be drawn")
        col_w, height, width = self.grid()
        self.assertEqual(col_w, 57, "client width %d gives columns of %d px" % (width + 10, col_w))

        title = shot.matching(self.title_area(), is_dark)
        self.assertTrue(title, "no month title (%s) drawn" % MONTH_NAMES[d.month - 1])
        x0, y0, x1, y1 = bbox(title)
        centre = (x0 + x1) / 2 - self.origin[0]
        self.assertLessEqual(abs(centre - width / 2), 6, "title centred at x %.1f, not over the grid" % centre)
        self.assertGreaterEqual(y0 - self.origin[1], 13)

        self.assertTrue(shot.matching(self.client_rect(310, 15, width, 40), is_dark), "no lunar year text")

        for k in range(7):
            cell = self.client_rect(10 + k * col_w, 50, 10 + (k + 1) * col_w, 68)
            red, dark = shot.matching(cell, is_red), shot.matching(cell, is_dark)
            if k == 0:
                self.assertTrue(red and not dark, "日 must be red")
            else:
                self.assertTrue(dark and not red, "weekday %d must be black" % k)

        first = sunday_first(d.replace(day=1))
        c, r = sunday_first(d), (first + d.day - 1) // 7
        marks = shot.matching(self.grid_area(), is_magenta)
        self.assertGreater(len(marks), 8, "today's number is not magenta")
        bx0, by0, bx1, by1 = bbox(marks)
        ox, oy = self.origin
        cell_x0, cell_y0 = ox + 10 + c * col_w, oy + 70 + 30 * r
        self.assertTrue(cell_x0 <= bx0 and bx1 <= cell_x0 + col_w and cell_y0 <= by0 and by1 <= cell_y0 + 20,
                        "magenta at %s, today's cell is column %d row %d (x %d..%d, y %d..)" % (
                            (bx0 - ox, by0 - oy, bx1 - ox, by1 - oy), c, r, cell_x0 - ox,
                            cell_x0 - ox + col_w, cell_y0 - oy))

    def test_month_buttons_follow_the_year_end_and_come_back(self):
        self.start_quorvel()
        d = today()
        title, grid = self.title_area(), self.grid_area()
        first = self.shot("start")
        title0, grid0 = first.region_bytes(*title), first.region_bytes(*grid)

        self.click(1025)  # '<'
        self.wait_region(title, lambda b: b != title0, "the title to change after '<'")
        for _ in range(d.month - 2):
            self.click(1025)
        if d.month > 1:
            self.assertEqual(self.combo_selection(), d.year - 1900, "'<' within the year moved the combo")
        # Now January (or, for a January today, December of last year already).
        if d.month > 1:
            self.click(1025)
        self.assertEqual(self.combo_selection(), d.year - 1 - 1900, "'<' in January: last year's item")
        self.shot("december-last-year")
        self.click(1026)  # '>' in December
        self.assertEqual(self.combo_selection(), d.year - 1900, "'>' in December: next year's item")
        for _ in range(d.month - 1):
            self.click(1026)
        self.wait_region(title, lambda b: b == title0, "the title of this month again")
        self.wait_region(grid, lambda b: b == grid0, "this month's grid, today marked, again")
        self.assertEqual(self.combo_selection(), d.year - 1900)
        self.shot("back")

    def test_year_combo_changes_the_year_and_keeps_the_month(self):
        self.start_quorvel()
        d = today()
        title, grid = self.title_area(), self.grid_area()
        first = self.shot("start")
        title0, grid0 = first.region_bytes(*title), first.region_bytes(*grid)
        other = d.year + 1 if d.year < 2049 else d.year - 1

        drive("select", "main", 1004, other - 1900, "--send")
        self.assertEqual(self.combo_selection(), other - 1900)
        self.wait_region(grid, lambda b: b != grid0, "the grid of %d to be drawn" % other)
        shot = self.shot("other-year")
        self.assertEqual(shot.region_bytes(*title), title0, "the month changed with the year")
        self.assertEqual(shot.matching(grid, is_magenta), [], "today marked in another year")

        drive("select", "main", 1004, d.year - 1900, "--send")
        self.wait_region(grid, lambda b: b == grid0, "this year's grid, today marked, again")

    def test_enter_does_nothing_and_escape_ends_at_once(self):
        self.start_quorvel()
        drive("key", "main", VK_RETURN)
        time.sleep(0.5)
        self.assertTrue(self.program.running(), "Enter ended the program")
        drive("find", "main", timeout_ms=0)

        drive("key", "main", VK_ESCAPE)
        if self.program.wait_exit(10) is None:
            question = drive("find", "caption:信息", timeout_ms=0, check=False)
            self.fail("Esc did not end the program%s" % (" (it asked instead)" if question["ok"] else ""))
        self.assertEqual(self.windows_of_program(), [])
        self.assertIsNone(self.saved_position(), "Esc must not save the position")

    def test_close_asks_cancel_keeps_ok_saves_position(self):
        w = self.start_quorvel()
        drive("post", "main", WM_CLOSE)
        box = drive("dialog", "caption:信息", timeout_ms=5000)
        self.shot("question")
        self.assertEqual(box["message"], "确定要退出Tavimor吗？")
        self.assertEqual(sorted(c["id"] for c in box["controls"] if c["class"] == "Button"), [IDOK, IDCANCEL])
        drive("click", "caption:信息", IDCANCEL)
        drive("gone", "caption:信息", timeout_ms=5000)
        time.sleep(0.3)
        self.assertTrue(self.program.running(), "Cancel ended the program")
        drive("find", "main", timeout_ms=1000)
        self.assertIsNone(self.saved_position(), "Cancel saved the position")

        rect = drive("find", "main")["rect"]
        drive("post", "main", WM_CLOSE)
        drive("dialog", "caption:信息", timeout_ms=5000)
        drive("click", "caption:信息", IDOK)
        self.assertIsNotNone(self.program.wait_exit(10), "OK did not end the program")
        self.assertEqual(self.windows_of_program(), [])
        self.assertEqual(self.saved_position(), ",".join(map(str, rect)))
        self.assertEqual(w["rect"], rect)

    def test_background_drag_moves_window_and_saves_position(self):
        w = self.start_quorvel()
        ox, oy = self.origin
        dx, dy = 60, 40
        drag(ox + 380, oy + 250, dx, dy)
        expected = [w["rect"][0] + dx, w["rect"][1] + dy, w["rect"][2] + dx, w["rect"][3] + dy]
        wait_until(lambda: drive("find", "main")["rect"] == expected, 5, what="the window to move by the drag")
        wait_until(lambda: self.saved_position() == ",".join(map(str, expected)), 5,
                   what="%s to hold the new rectangle (it holds %r)" % (POSITION_KEY, self.saved_position()))
        self.shot("dragged")

    def test_missing_database_is_reported_once_before_the_window(self):
        self.assertFalse(os.path.exists(os.path.join(self.workdir, DB_NAME)))
        self.program = self.start(QUORVEL_EXE)
        box = drive("dialog", "caption:Quorvel", timeout_ms=FIRST_START_S * 1000)
        self.shot("database-message")
        text = box.get("message") or " ".join(box["texts"])
        self.assertTrue(text.strip(), "the message box has no text")
        self.assertEqual([c["id"] for c in box["controls"] if c["class"] == "Button"], [IDOK])
        self.assertFalse(drive("find", "main", timeout_ms=0, check=False)["ok"],
                         "the calendar window showed before the report")
        drive("click", "caption:Quorvel", IDOK)
        self.window = drive("find", "main", timeout_ms=10000)
        self.origin = self.window["client_origin"]
        again = drive("find", "caption:Quorvel", timeout_ms=2000, check=False)
        self.assertFalse(again["ok"], "the database failure was reported twice")
        wait_until(lambda: self.shot("calendar").matching(self.grid_area(), is_magenta), 5, 0.2,
                   "the calendar to be drawn")
        self.assertTrue(self.program.running())


if __name__ == "__main__":
    unittest.main()
