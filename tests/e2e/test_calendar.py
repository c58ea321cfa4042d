"""The calendar as a user meets it: the month window and its navigation, the tray
icon, the command menu, a web shortcut, the window settings, and ending."""

import datetime
import json
import os
import re

from harness import (BOX, DRIVER, IDCANCEL, IDNO, IDOK, MAIN, NOTICE, QUORVEL, ROOT, SECTION, VK_ESCAPE, VK_RETURN,
                     WM_CLOSE, WM_COMMAND, WM_TIMER, WM_RBUTTONDOWN, WM_TRAYNOTIFY, Calendar, WineTestCase, answer,
                     centre, click_at, close, control, drive, is_dark, is_magenta, make_database,
                     wait_until, wine, xdotool)

WS_CAPTION, WS_EX_TOOLWINDOW, WS_EX_APPWINDOW = 0x00C00000, 0x80, 0x40000
MENU_IDS = [32787, 32786, 32785, 32783, 32781, 0, 32784, 32782, 0, 32771, 32772, 0, 32773, 32774, 0,
            32775, 32788, 32776]
LUNAR = re.compile(r"^.\(..\)年闰?(正|二|三|四|五|六|七|八|九|十|十一|腊)月(初.|十.|二十|廿.|三十)$")
with open(os.path.join(ROOT, "engine", "LunarCalendar.h"), encoding="utf-8") as header:
    ENGINE = header.read()
FIRST, LAST = (int(re.search(r"k%sLunarYear = (\d+);" % end, ENGINE)[1]) for end in ("First", "Last"))  # the year list
MEMO_INSERT = "insert into tb_memo values (?,?,?,?,?,?,?)"
RUN_KEYS = [r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"]


def windows_path(path):
    return wine("winepath", "-w", path).decode().strip()


def run_values():
    """The start-with-Windows values under HKLM and HKCU (None where there is none)."""
    return [drive("reg", key, "QuorvelRun")["value"] for key in RUN_KEYS]


def is_coloured(rgb):
    return max(rgb) - min(rgb) > 60


def is_red(rgb):
    return rgb[0] > 180 and max(rgb[1:]) < 100


class CalendarTest(WineTestCase):

    def client(self, shot, main):
        """What the window draws itself; its controls show focus and are left out."""
        if not hasattr(self, "holes"):
            self.holes = [c["rect"] for c in drive("controls", MAIN)["controls"]]
        x, y = main["origin"]
        return shot.region((x, y, x + main["client"][0], y + main["client"][1]), self.holes)

    def today_marks(self, main, label=None):
        x, y = main["origin"]
        return self.shot(label).points((x, y + 50, x + main["client"][0], y + main["client"][1]), is_magenta)

    def settled_shot(self, label, rect, unlike=None):
        """The screen, kept as label, once rect shows the same in two shots in a row and
        something other than in unlike (without it: some text). Wine shows a paint a moment
        after the call that made it has returned, several paints one after another."""
        shots = [unlike] if unlike else []

        def settled():
            shots.append(self.shot())
            if len(shots) < 2 or shots[-1].region(rect) != shots[-2].region(rect):
                return None
            drawn = shots[-1].region(rect) != unlike.region(rect) if unlike else shots[-1].points(rect, is_dark)
            return shots[-1] if drawn else None
        return wait_until(settled, 10, label).save(os.path.join(self.artifacts, label + ".png"))

    def shot_unlike(self, main, before, label):
        """The screen once the window's days show something other than before's."""
        (x, y), (w, h) = main["origin"], main["client"]
        return self.settled_shot(label, (x, y + 50, x + w, y + h), before)

    def grid(self, shot, main):
        """The weekdays and days as the window draws them, below its controls."""
        (x, y), (w, h) = main["origin"], main["client"]
        return shot.region((x, y + 50, x + w, y + h))

    def days_off_drawn(self, cal, main, year, month, since, until):
        """The 休 and 班 that wine's trace shows drawn between two places of its log, each in
        the top right corner of its day's cell: {day: mark}."""
        first, width = (datetime.date(year, month, 1).weekday() + 1) % 7, (main["client"][0] - 10) // 7
        found = {}
        for text, x, y, box in cal.text_drawn(since, until):
            if text in ("休", "班"):
                cell = (box[1] - 68) // 30 * 7 + (box[0] - 10) // width
                self.assertTrue(box[0] + width // 2 < x < box[2] and box[1] <= y < box[1] + 15, (text, x, y, box))
                found[cell - first + 1] = text
        return found

    def press(self, ident, times=1):
        for _ in range(times):
            drive("click", MAIN, ident, "--send")

    def check_marks(self, main, marked, plain, year, month, marks):
        """What the marks changed lies in the top right corners of their days, clear of the
        numbers and the labels; 休 red, 班 dark."""
        (x0, y0), (w, h) = main["origin"], main["client"]
        cw, first = (w - 10) // 7, (datetime.date(year, month, 1).weekday() + 1) % 7
        boxes = {}
        for day in marks:
            r, c = divmod(first + day - 1, 7)
            boxes[day] = (x0 + 10 + c * cw + cw // 2 + 10, y0 + 66 + 30 * r, x0 + 10 + (c + 1) * cw, y0 + 84 + 30 * r)
        inside = lambda p, b: b[0] <= p[0] < b[2] and b[1] <= p[1] < b[3]
        changed = [(x, y) for y in range(y0 + 50, y0 + h) for x in range(x0, x0 + w)
                   if marked.pixel(x, y) != plain.pixel(x, y)]
        self.assertEqual([p for p in changed if not any(inside(p, b) for b in boxes.values())], [])
        for day, mark in marks.items():
            ink = [marked.pixel(*p) for p in changed if inside(p, boxes[day])]
            self.assertTrue(ink and any(map(is_red if mark == "休" else is_dark, ink)), (month, day, mark))
            self.assertTrue(mark == "休" or not any(map(is_red, ink)), (month, day))

    def test_month_window_navigation_and_closing(self):
        drive("traylog")  # from now on the taskbar's requests are kept
        cal = Calendar(self, trace=True)
        main = cal.window()
        today = datetime.date.today()
        # Captionless, no taskbar button, the size of its skin, opacity 95 without settings.
        self.assertEqual((main["caption"], main["style"] & WS_CAPTION), ("", 0))
        self.assertEqual((main["exstyle"] & WS_EX_TOOLWINDOW, main["exstyle"] & WS_EX_APPWINDOW), (WS_EX_TOOLWINDOW, 0))
        self.assertLessEqual(abs(main["client"][0] - 414) + abs(main["client"][1] - 268), 8, main["client"])
        self.assertEqual((main["rect"][:2], main["alpha"]), ([0, 0], 95))
        combo = control(drive("controls", MAIN), 1004)
        self.assertEqual((len(combo["items"]), combo["cursel"], combo["items"][combo["cursel"]]),
                         (LAST - FIRST + 1, today.year - FIRST, str(today.year)))

        # Today is marked once, in its weekday's column.
        marks = wait_until(lambda: self.today_marks(main, "month"), what="today's mark")
        column = (sum(x for x, _ in marks) / len(marks) - main["origin"][0]) * 7 // main["client"][0]
        self.assertEqual(column, (today.weekday() + 1) % 7)
        start = self.client(self.shot(), main)

        # Another year of the list shows this month without today; December of last
        # year looks the same whether reached by the list and '>' or by '<'.
        drive("select", MAIN, 1004, today.year - 1 - FIRST)
        wait_until(lambda: self.client(self.shot(), main) != start, what="last year's month")
        self.assertEqual(self.today_marks(main), [])
        self.press(1026, 12 - today.month)
        by_list = self.client(self.shot("december-by-list"), main)
        drive("select", MAIN, 1004, today.year - FIRST)
        self.press(1025, today.month)
        self.assertEqual(control(drive("controls", MAIN), 1004)["cursel"], today.year - 1 - FIRST)
        wait_until(lambda: self.client(self.shot(), main) == by_list, what="December as by the list")
        self.press(1026, today.month)
        self.assertEqual(control(drive("controls", MAIN), 1004)["cursel"], today.year - FIRST)
        wait_until(lambda: self.client(self.shot(), main) == start, what="this month as at the start")
        # Past the list's last year the list selects nothing.
        drive("select", MAIN, 1004, LAST - FIRST)
        self.press(1026, 13 - today.month)
        self.assertEqual(control(drive("controls", MAIN), 1004)["cursel"], -1)
        self.press(1025)
        self.assertEqual(control(drive("controls", MAIN), 1004)["cursel"], LAST - FIRST)
        drive("select", MAIN, 1004, today.year - FIRST)

        drive("key", MAIN, VK_RETURN)
        self.assertIsNone(cal.proc.poll(), "Enter ended the calendar")

        # The background drags the window, and the new place is kept.
        ox, oy = main["origin"]
        for step in (["mousemove", ox + 380, oy + 250], ["mousedown", 1], ["mousemove", ox + 410, oy + 270],
                     ["mousemove", ox + 440, oy + 290], ["mouseup", 1]):
            xdotool(*step)
        moved = [main["rect"][0] + 60, main["rect"][1] + 40, main["rect"][2] + 60, main["rect"][3] + 40]
        wait_until(lambda: drive("find", MAIN)["rect"] == moved, what="the window to follow the drag")
        wait_until(lambda: cal.settings().get("窗口位置") == ",".join(map(str, moved)), what="the place saved")

        # A right click on it opens the menu there; 隐藏本菜单 only closes it.
        click_at(ox + 100, oy + 250, 3)
        items = drive("menu")["items"]
        self.assertEqual(drive("find", "class=#32768")["rect"][:2], [ox + 100, oy + 250])
        click_at(*centre(next(i["rect"] for i in items if i["id"] == 32788)))
        drive("gone", "class=#32768")
        self.assertIsNone(cal.proc.poll())

        # 休 and 班 (显示休班, on by default): October 2026 with National Day, September with
        # its 班 on the 20th and 中秋; without the switch neither shows them.
        main = drive("find", MAIN)
        before = self.shot()
        drive("select", MAIN, 1004, 2026 - 1900)
        self.press(1026 if today.month < 10 else 1025, abs(10 - today.month))

        def october_and_september(label, before):
            """Both months' screenshots and the 休 and 班 that wine's trace shows drawn in each."""
            october = self.shot_unlike(main, before, label + "-2026-10")
            at = [os.path.getsize(cal.log)]
            self.press(1025)
            september = self.shot_unlike(main, october, label + "-2026-09")
            at.append(os.path.getsize(cal.log))
            self.press(1026)
            wait_until(lambda: self.grid(self.shot(), main) == self.grid(october, main), what="October again")
            at.append(os.path.getsize(cal.log))
            return (october, september, self.days_off_drawn(cal, main, 2026, 10, at[1], at[2]),
                    self.days_off_drawn(cal, main, 2026, 9, at[0], at[1]))

        marked = october_and_september("days-off", before if (today.year, today.month) != (2026, 10) else None)
        self.assertEqual(marked[2:], (dict([(d, "休") for d in range(1, 8)] + [(10, "班")]),
                                      {20: "班", 25: "休", 26: "休", 27: "休"}))
        drive("post", MAIN, WM_COMMAND, 32775)
        self.assertEqual(control(drive("controls", "caption=窗口设置"), 1012)["check"], 1)
        drive("click", "caption=窗口设置", 1012, "--send")
        close("caption=窗口设置", 1024)
        self.assertEqual(cal.settings().get("显示休班"), "0")
        plain = october_and_september("no-days-off", marked[0])
        self.assertEqual(plain[2:], ({}, {}))
        self.check_marks(main, marked[0], plain[0], 2026, 10, dict([(d, "休") for d in range(1, 8)] + [(10, "班")]))
        self.check_marks(main, marked[1], plain[1], 2026, 9, {20: "班", 25: "休", 26: "休", 27: "休"})

        # Closing asks first and Cancel keeps the calendar; Esc ends it at once.
        drive("post", MAIN, WM_CLOSE)
        self.assertEqual(answer(IDCANCEL, "caption=信息"), "确定要退出Tavimor吗？")
        self.assertIsNone(cal.proc.poll(), "Cancel ended the calendar")
        drive("key", MAIN, VK_ESCAPE)
        self.assertEqual(cal.wait_exit(), 0)
        self.assertIn([2, main["hwnd"], 247 + today.day], drive("traylog")["requests"], "Esc left the icon")

    def test_drawn_at_each_dpi(self):
        # At 96, 144 and 192 dpi (the prefix's LogPixels, read by each new process) the
        # window is its skin at that scale, each day's number and label lies in its scaled
        # cell, and the menu and a notice keep their texts inside them.
        self.addCleanup(wine, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", "96", "/f")
        rows = [(MEMO_INSERT, [("喝水", "NULL", "NULL", "2026-03-10", "08:30:00", "起来走走，看看窗外", 0)])]
        for dpi in (96, 144, 192):
            px = lambda n: int(n * dpi / 96 + 0.5)
            wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
            workdir = os.path.join(self.workdir, str(dpi))
            os.makedirs(workdir)
            make_database(workdir, *rows)
            # A place saved at 96 dpi keeps its corner and takes the window's size here.
            cal = Calendar(self, workdir=workdir, faketime="2026-03-10 08:30:05", trace=True,
                           ini={"窗口风格": "0", "窗口位置": "30,40,444,310"})
            main = cal.window()
            self.assertEqual(main["rect"][:2], [30, 40])
            self.assertLessEqual(max(abs(main["client"][0] - px(414)), abs(main["client"][1] - px(270))), 1, dpi)
            self.settled_shot("main-%d" % dpi, main["rect"])
            # March 2026 starts on a Sunday: day d in cell d - 1.
            width = (main["client"][0] - px(10)) // 7
            cells = {}
            for text, x, y, box in cal.text_drawn():
                if box and box[3] == main["client"][1] and box[1] >= px(70):
                    column, row = (box[0] - px(10)) // width, (box[1] - px(70)) // px(30)
                    top, bottom = px(70 + 30 * row), px(70 + 30 * (row + 1))
                    size = px(12 * 4 / 3) if text.isdigit() else px(8.5 * 4 / 3)
                    self.assertTrue(box[0] == px(10) + column * width <= x <= (box[0] + box[2]) / 2 and
                                    top <= y and y + size <= bottom, (dpi, text, x, y, box))
                    cells.setdefault(row * 7 + column, set()).add(text)
            self.assertEqual([str(d) in cells.get(d - 1, ()) for d in range(1, 32)], [True] * 31, dpi)
            self.assertTrue(all(len(texts) == 2 for texts in cells.values()), cells)

            mark = os.path.getsize(cal.log)
            drive("post", MAIN, WM_TRAYNOTIFY, 247 + 10, WM_RBUTTONDOWN)
            items = drive("menu")["items"]
            menu = drive("find", "class=#32768")
            self.settled_shot("menu-%d" % dpi, menu["rect"])
            x0, y0, x1, y1 = menu["rect"]
            for item in items:
                self.assertTrue(x0 <= item["rect"][0] < item["rect"][2] <= x1 and y0 <= item["rect"][1] and
                                item["rect"][3] <= y1, (dpi, item))
                self.assertEqual(item["rect"][3] - item["rect"][1], px(1 if item["separator"] else 22), item)
            self.assert_inside(cal.text_drawn(mark), menu["client"], dpi)
            click_at(*centre(next(i["rect"] for i in items if i["id"] == 32788)))
            drive("gone", "class=#32768")

            mark = os.path.getsize(cal.log)
            drive("post", MAIN, WM_TIMER, 1)
            notice = drive("controls", NOTICE)
            # (At 192 dpi wine leaves the notice black on the screen, also before this
            # program drew at the screen's DPI; the trace shows what it drew.)
            wait_until(lambda: "喝水" in [t[0] for t in cal.text_drawn(mark)], what="the notice's title")
            self.settled_shot("notice-%d" % dpi, notice["rect"])
            self.assertLessEqual(abs(notice["client"][0] - px(200)) + abs(notice["client"][1] - px(132)), 2, notice)
            self.assert_inside(cal.text_drawn(mark), notice["client"], dpi)
            drive("key", NOTICE, VK_ESCAPE)
            drive("gone", NOTICE)
            drive("key", MAIN, VK_ESCAPE)
            cal.wait_exit()

    def assert_inside(self, drawn, size, dpi):
        self.assertTrue(drawn, "nothing drawn")
        for text, x, y, _ in drawn:
            self.assertTrue(0 <= x < size[0] and 0 <= y <= size[1] - dpi // 8, (dpi, text, x, y, size))

    def test_tray_menu_shortcut_settings_and_exit(self):
        # No database, not made when offered, and a damaged settings file: the user is told
        # about the one, the other reads as no settings (its place, off every screen, too).
        garbage = b"junk\x81\xfe =\r\n[" + SECTION.encode("gbk") + b"]\r\n\xb4\xba=\x81\r\n" \
                  + "窗口位置=-20000, -20000 ,-19586,-19732x\r\n透明度=abc\r\n窗口风格=7\r\n".encode("gbk")
        drive("traylog")  # from now on the taskbar's requests are kept
        cal, said = self.first_start(IDNO, ini=garbage)
        self.assertIn("db_Quorvel.mdb", said)
        main = cal.main
        # A list the user opens says so again; the minute checks stay quiet.
        drive("post", MAIN, WM_TIMER, 1)
        self.assertFalse(drive("find", BOX, timeout_ms=1500, check=False)["ok"], "the minute check reported")
        drive("post", MAIN, WM_COMMAND, 32773)
        self.assertIn("数据库没有打开", answer())
        self.assertEqual(control(drive("controls", "caption=备忘录列表"), 1019)["rows"], [])
        close("caption=备忘录列表", 13004, "command")
        self.assertEqual((main["rect"][:2], main["alpha"], main["topmost"]), ([0, 0], 95, False))

        # The tray icon with today's dates in its tip; a restarted taskbar gets it again.
        today = datetime.date.today()
        tray_id = 247 + today.day
        self.assertTrue(drive("tray", main["hwnd"], tray_id)["present"])
        tips = [t["text"] for t in drive("tips")["tools"] if t["text"].startswith("Tavimor") and t["rect"][2]]
        head = today.strftime("Tavimor\r\n公历:%Y年%m月%d日\r\n农历:")
        self.assertEqual(len(tips), 1, tips)
        self.assertTrue(tips[0].startswith(head) and LUNAR.match(tips[0][len(head):]), tips[0])
        drive("tray", main["hwnd"], tray_id, "delete")
        drive("post", MAIN, "reg:TaskbarCreated")
        wait_until(lambda: drive("tray", main["hwnd"], tray_id)["present"], what="the icon to come back")

        # Its menu: owner-drawn items, captions drawn, coloured separators, the item
        # under the pointer lit.
        xdotool("mousemove", 500, 200)  # the menu opens at the pointer
        drive("post", MAIN, WM_TRAYNOTIFY, tray_id, WM_RBUTTONDOWN)
        items = drive("menu")["items"]
        self.assertEqual([i["id"] for i in items], MENU_IDS)
        self.assertEqual(drive("find", "class=#32768")["rect"][:2], [500, 200])
        self.assertTrue(all(i["ownerdraw"] for i in items))
        shot = self.shot("menu")
        for item in items:
            x0, y0, x1, y1 = item["rect"]
            kind = is_coloured if item["separator"] else is_dark
            self.assertTrue(shot.points((x0 + 30, y0, x1, y1), kind), "item %d is not drawn" % item["id"])
        hover = items[3]["rect"]
        xdotool("mousemove", *centre(hover))
        wait_until(lambda: self.shot().region(hover) != shot.region(hover), what="the item under the pointer lit")
        self.shot("menu-hover")

        # A web shortcut goes, maximised, to the shell's handler of web addresses (the driver).
        opened = os.path.join(self.artifacts, "opened.txt")
        handler = '"%s" record "%s" "%%1"' % (windows_path(DRIVER), windows_path(opened))
        wine("reg", "add", r"HKLM\Software\Classes\http\shell\open\command", "/ve", "/d", handler, "/f")
        click_at(*centre(next(i["rect"] for i in items if i["id"] == 32782)))
        wait_until(lambda: os.path.exists(opened), what="the weather page to be opened")
        with open(opened, encoding="utf-8") as f:
            page = json.loads(f.read())
        self.assertEqual((page["w"].split()[-1], page["show"]), ('"http://www.baidu.com/s?wd=天气预报"', 3))

        # Settings: on top, click-through, start with Windows, more opaque; applied at
        # once and kept; then start with Windows off again.
        drive("post", MAIN, WM_COMMAND, 32775)
        dialog = drive("controls", "caption=窗口设置")
        self.assertEqual([control(dialog, i)["check"] for i in (1010, 1011)] + [control(dialog, 1021)["pos"]], [0] * 3)
        self.assertFalse(drive("find", MAIN)["enabled"], "the settings are not modal")
        for ident in (1002, 1010, 1011):
            drive("click", "caption=窗口设置", ident, "--send")
        drive("send", "hwnd=%d" % control(dialog, 1021)["hwnd"], 0x405, 1, 100)  # TBM_SETPOS
        self.shot("settings")
        close("caption=窗口设置", 1024)
        stored = {k: cal.settings().get(k) for k in ("透明度", "窗口风格", "开机运行", "鼠标穿透")}
        self.assertEqual(stored, {"透明度": "100", "窗口风格": "1", "开机运行": "1", "鼠标穿透": "1"})
        main = drive("find", MAIN)
        self.assertEqual((main["topmost"], main["alpha"], bool(main["exstyle"] & 0x20)), (True, 195, True))
        left, top = (1024 - main["client"][0]) // 2, (768 - main["client"][1]) // 2
        self.assertEqual(main["rect"][:2], [left, top], "a place off the screen is not centred")
        self.assertEqual(run_values(), ['"%s" /dir "%s"' % (windows_path(QUORVEL), windows_path(cal.workdir)), None])
        drive("post", MAIN, WM_COMMAND, 32775)
        dialog = drive("controls", "caption=窗口设置")
        self.assertEqual([control(dialog, i)["check"] for i in (1002, 1010, 1011)] + [control(dialog, 1021)["pos"]],
                         [1, 1, 1, 100])
        drive("click", "caption=窗口设置", 1010, "--send")
        close("caption=窗口设置", 1024)
        self.assertEqual(run_values(), [None, None])

        # 系统退出 asks, ends, keeps the place and takes the icon away.
        drive("post", MAIN, WM_COMMAND, 32776)
        drive("click", "caption=信息", IDOK)
        self.assertEqual(cal.wait_exit(), 0)
        self.assertEqual(cal.settings()["窗口位置"], ",".join(map(str, main["rect"])))
        ours = [r for r in drive("traylog")["requests"] if r[1] == main["hwnd"] and r[0] in (0, 2)]
        # Added, taken away by the "restarted" taskbar, added again, removed at the end.
        self.assertEqual(ours, [[0, main["hwnd"], tray_id], [2, main["hwnd"], tray_id]] * 2)

    def test_started_at_logon_one_copy_bottom_mode_midnight_and_keys(self):
        # Started in another folder with /dir, as the start-with-Windows entry does,
        # a folder whose name is outside the ANSI code page; the clock just before
        # midnight at the end of a month.
        folder = os.path.join(self.workdir, "日历ก")
        os.makedirs(folder)
        ini = {"窗口风格": "2", "透明度": "160", "鼠标穿透": "1", "窗口位置": "30,40,444,308"}
        start = dict(workdir=folder, cwd=self.workdir, args=["/dir", windows_path(folder)])
        # (The stand-in database driver finds a bare file name in the folder wine
        # started in, not in the program's current folder: a database there too.)
        make_database(self.workdir)
        # The user's days off for a year after the built-in ones, as Notepad saves
        # them; a line that does not read is named once, the others are used.
        with open(os.path.join(folder, "节假日.txt"), "wb") as f:
            f.write("\ufeff# 2030 年\r\n2030-02-01 休 春节\r\n2030-02-31 休 春节\r\n".encode("utf-8"))
        cal = Calendar(self, ini=ini, faketime="2030-01-31 23:59:45", **start)
        self.assertIn("节假日.txt 第 3 行", answer(timeout_ms=20000))
        main = cal.window()
        self.assertEqual((main["rect"], main["alpha"], main["exstyle"] & 0x20, main["bottom"]),
                         ([30, 40, 444, 308], 255, 0x20, True))
        tip = lambda: [t["text"] for t in drive("tips")["tools"] if t["text"].startswith("Tavimor") and t["rect"][2]]
        self.assertIn("公历:2030年01月31日", tip()[0])

        # A second start brings the running calendar forward and ends.
        self.assertEqual(Calendar(self, database=False, **start).wait_exit(), 0)
        self.assertEqual(len(tip()), 1)

        # The menu lifts the window to the front; when it closes the window is back at the bottom.
        drive("post", MAIN, WM_TRAYNOTIFY, 247 + 31, WM_RBUTTONDOWN)
        drive("menu")
        click_at(900, 500)
        drive("gone", "class=#32768")
        wait_until(lambda: drive("find", MAIN)["bottom"], what="the window back at the bottom")

        # At midnight the tip, the icon's picture and today's mark move to the new day;
        # the view that showed January follows to February.
        wait_until(lambda: "公历:2030年02月01日 春节 休\r\n" in tip()[0], 30, "the tip of the new day")
        self.assertTrue(drive("tray", main["hwnd"], 247 + 31)["present"], "the icon lost its place")
        wait_until(lambda: self.today_marks(main, "new-day"), what="the mark of the new day")
        self.assertEqual(control(drive("controls", MAIN), 1004)["cursel"], 2030 - FIRST)

        # Enter on a focused 取消 cancels; on a check box it saves. Start with Windows
        # then leaves one value, with the folder's name intact, where a stale one was.
        wine("reg", "add", RUN_KEYS[1].replace("HKCU", "HKEY_CURRENT_USER"), "/v", "QuorvelRun", "/d", "stale", "/f")
        with open(os.path.join(folder, "Quorvel.ini"), "rb") as f:
            saved = f.read()
        for focus, ticks in ((1023, ()), (1010, (1011, 1010))):
            drive("post", MAIN, WM_COMMAND, 32775)
            dialog = drive("controls", "caption=窗口设置")
            for ident in ticks:
                drive("click", "caption=窗口设置", ident, "--send")
            drive("send", "caption=窗口设置", 0x28, control(dialog, focus)["hwnd"], 1)  # WM_NEXTDLGCTL
            drive("key", "caption=窗口设置", VK_RETURN)
            drive("gone", "caption=窗口设置")
            if focus == 1023:
                with open(os.path.join(folder, "Quorvel.ini"), "rb") as f:
                    self.assertEqual(f.read(), saved, "Enter on 取消 saved")
        self.assertEqual((cal.settings().get("鼠标穿透"), cal.settings().get("开机运行")), ("0", "1"))
        self.assertEqual(run_values(), ['"%s" /dir "%s"' % (windows_path(QUORVEL), windows_path(folder)), None])
        drive("key", MAIN, VK_ESCAPE)
        self.assertEqual(cal.wait_exit(), 0)

        # A start folder that is gone is named, and the calendar still opens.
        Calendar(self, args=["/dir", r"Z:\no\such\folder"])
        self.assertIn(r"Z:\no\such\folder", answer(timeout_ms=20000))
        drive("find", MAIN)
