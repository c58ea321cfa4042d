"""Self-test of the e2e harness on QTestWin, a stand-in window of our own: proves the
driver, screenshots, drags, keys, message boxes and GBK settings files work under wine
before any result about the real program is trusted. Runs whether or not Quorvel.exe
has been built."""

import time
import unittest

from harness import (IDCANCEL, IDOK, TESTWIN_EXE, VK_ESCAPE, WM_CLOSE, WM_TRAYNOTIFY, WS_CAPTION,
                     WineTestCase, bbox, control, drag, drive, is_dark, is_magenta, main_window,
                     read_ini, today, wait_until, window_list)

WM_RBUTTONUP = 0x0205
BACKGROUND = (200, 220, 240)
AT = (100, 80)


class HarnessSelfTest(WineTestCase):

    def start_testwin(self, *extra):
        program = self.start(TESTWIN_EXE, ["--at", str(AT[0]), str(AT[1])] + list(extra))
        return program

    def windows_of(self, pid):
        return [w for w in window_list() if w.get("pid") == pid and w.get("visible")]

    def test_driver_shares_the_desktop_and_fails_cleanly(self):
        d = drive("desktop")
        self.assertEqual(d["desktop"], "shell")
        self.assertEqual(d["screen"], [1024, 768])
        started = time.monotonic()
        r = drive("find", "caption:no such window", timeout_ms=300, check=False)
        self.assertFalse(r["ok"])
        self.assertIn("no window matches", r["error"])
        self.assertLess(time.monotonic() - started, 10)
        self.assertFalse(drive("frobnicate", check=False)["ok"])

    def test_window_info_children_and_screenshot(self):
        self.start_testwin()
        w = main_window()
        self.assertEqual(w["rect"], [AT[0], AT[1], AT[0] + 414, AT[1] + 268])
        self.assertEqual(w["client"], [414, 268])
        self.assertEqual(w["client_origin"], list(AT))
        self.assertEqual(w["style"] & WS_CAPTION, 0)
        self.assertFalse(w["has_border"])
        self.assertTrue(w["toolwindow"])
        self.assertFalse(w["appwindow"])
        self.assertTrue(w["layered"])
        self.assertEqual(w["alpha"], 95)
        self.assertEqual(w["caption"], "")

        kids = drive("children", "main")
        combo = control(kids, 1004)
        year = today().year
        self.assertEqual(combo["class"], "ComboBox")
        self.assertEqual(combo["count"], 150)
        self.assertEqual(combo["cursel"], year - 1900)
        self.assertEqual(combo["seltext"], str(year))
        self.assertEqual(control(kids, 1025)["text"], "<")
        self.assertEqual(control(kids, 1026)["text"], ">")

        # Screen pixels are exact even though the window is layered with alpha 95:
        # nothing composites under Xvfb.
        shot = self.shot("testwin")
        ox, oy = w["client_origin"]
        self.assertEqual(shot.pixel(ox + 110, oy + 108), (255, 0, 255))
        self.assertEqual(shot.pixel(ox + 300, oy + 200), BACKGROUND)
        marks = shot.matching((ox, oy + 50, ox + 414, oy + 268), is_magenta)
        self.assertEqual(bbox(marks), (ox + 100, oy + 100, ox + 120, oy + 116))
        # The title sits between the month buttons; the combo box is dark too.
        title = shot.matching((ox + 170, oy + 10, ox + 245, oy + 40), is_dark)
        self.assertTrue(title, "no title text drawn")
        x0, _, x1, _ = bbox(title)
        self.assertLess(abs((x0 + x1) / 2 - (ox + 207)), 8)

    def test_buttons_combo_and_redraw(self):
        self.start_testwin()
        w = main_window()
        ox, oy = w["client_origin"]
        title = (ox, oy + 10, ox + 414, oy + 40)
        before = self.shot("before").region_bytes(*title)
        month = today().month
        for _ in range(12 - month):
            drive("click", "main", 1026, "--send")
        combo = control(drive("children", "main"), 1004)
        self.assertEqual(combo["cursel"], today().year - 1900, "December: still this year")
        drive("click", "main", 1026, "--send")
        combo = control(drive("children", "main"), 1004)
        self.assertEqual(combo["cursel"], today().year + 1 - 1900, "'>' in December selects next year")
        wait_until(lambda: self.shot("after").region_bytes(*title) != before or month == 1, 5,
                   what="the title to change")
        drive("select", "main", 1004, 10, "--send")
        self.assertEqual(control(drive("children", "main"), 1004)["cursel"], 10)

    def test_close_question_cancel_then_ok_writes_gbk_ini(self):
        program = self.start_testwin()
        w = main_window()
        drive("post", "main", WM_CLOSE)
        box = drive("dialog", "caption:信息", timeout_ms=5000)
        self.assertEqual(box["message"], "确定要退出吗？")
        buttons = sorted(c["id"] for c in box["controls"] if c["class"] == "Button")
        self.assertEqual(buttons, [IDOK, IDCANCEL])
        drive("click", "caption:信息", IDCANCEL)
        drive("gone", "caption:信息", timeout_ms=5000)
        time.sleep(0.3)
        self.assertTrue(program.running())
        main_window(timeout_ms=1000)

        drive("post", "main", WM_CLOSE)
        drive("dialog", "caption:信息", timeout_ms=5000)
        drive("click", "caption:信息", "确定")
        self.assertEqual(program.wait_exit(10), 10)
        self.assertEqual(self.windows_of(w["pid"]), [])
        ini = read_ini(self.workdir + "/QTestWin.ini")
        self.assertEqual(ini["窗口设置"]["窗口位置"], ",".join(map(str, w["rect"])))

    def test_escape_posted_to_focus_ends_at_once(self):
        program = self.start_testwin()
        w = main_window()
        r = drive("key", "main", VK_ESCAPE)
        self.assertTrue(r["target_class"])
        self.assertEqual(program.wait_exit(10), 2)
        self.assertEqual(self.windows_of(w["pid"]), [])

    def test_escape_through_send_input(self):
        program = self.start_testwin()
        main_window()
        r = drive("key", "main", VK_ESCAPE, "--input")
        self.assertTrue(r["foreground"])
        self.assertEqual(program.wait_exit(10), 2)

    def test_background_drag_moves_window(self):
        self.start_testwin()
        w = main_window()
        ox, oy = w["client_origin"]
        drag(ox + 380, oy + 250, 60, 40)
        expected = [w["rect"][0] + 60, w["rect"][1] + 40, w["rect"][2] + 60, w["rect"][3] + 40]
        wait_until(lambda: main_window(1000)["rect"] == expected, 5, what="the window to move")
        ini = wait_until(lambda: read_ini(self.workdir + "/QTestWin.ini"), 5, what="QTestWin.ini")
        self.assertEqual(ini["窗口设置"]["窗口位置"], ",".join(map(str, expected)))

    def test_message_box_before_window(self):
        self.start_testwin("--msgbox", "找不到文件")
        box = drive("dialog", "caption:QTestWin", timeout_ms=20000)
        self.assertEqual(box["message"], "找不到文件")
        self.assertEqual([c["id"] for c in box["controls"] if c["class"] == "Button"], [IDOK])
        self.assertFalse(drive("find", "main", timeout_ms=0, check=False)["ok"])
        drive("click", "caption:QTestWin", IDOK)
        main_window(timeout_ms=10000)
        self.assertFalse(drive("find", "caption:QTestWin", timeout_ms=500, check=False)["ok"])

    def test_popup_menu_opens_and_closes(self):
        program = self.start_testwin()
        w = main_window()
        drive("post", "main", WM_TRAYNOTIFY, 0, WM_RBUTTONUP)
        menu = drive("menu", timeout_ms=5000)
        self.assertEqual(menu["pid"], w["pid"])
        self.assertEqual(menu["count"], 2)
        self.assertEqual([i["id"] for i in menu["items"]], [32771, 32776])
        self.assertEqual([i["ownerdraw"] for i in menu["items"]], [False, True])
        self.assertEqual(menu["items"][0]["text"], "新建闹钟")
        # Item rectangles lie inside the menu window, so a test can click an item.
        mx0, my0, mx1, my1 = menu["rect"]
        for item in menu["items"]:
            x0, y0, x1, y1 = item["rect"]
            self.assertTrue(mx0 <= x0 < x1 <= mx1 and my0 <= y0 < y1 <= my1, item)
        self.shot("menu")
        drive("menu-close", timeout_ms=5000)
        self.assertFalse(drive("find", "menu", timeout_ms=0, check=False)["ok"])
        self.assertTrue(program.running())


if __name__ == "__main__":
    unittest.main()
