"""Alarms and anniversaries as a user meets them: a reminder due now with its sound, put
off (稍后提醒) and coming again, the editors, the lists with their tool bars, changing and
deleting rows, and a database that fails."""

import datetime
import os
import sqlite3

from harness import (BOX, MAIN, NOTICE, VK_ESCAPE, WM_COMMAND, WM_TIMER, Calendar, WineTestCase, answer, centre,
                     click_at, close, control, drive, make_database, movable_clock, set_clock, wait_until, wine,
                     xdotool)

MEMO_EDITOR, MEMO_LIST = "caption=新建备忘录", "caption=备忘录列表"  # (many rows: test_bad_input)
NEW_ANNIV, MODIFY_ANNIV, ANNIV_LIST = "caption=新建纪念日", "caption=修改纪念日", "caption=纪念日列表"
TOOL_BAR = 0xE800
UNITS = ["天", "周", "月", "年"]
# The columns in the order QuorvelDb makes them.
MEMO_INSERT, MEMO_SELECT = "insert into tb_memo values (?,?,?,?,?,?,?)", "select * from tb_memo"
ANNIV_INSERT, ANNIV_SELECT = "insert into tb_remeber values (?,?,?,?,?,?)", "select * from tb_remeber"
BOXES = [1010, 1011, 1012, 1013, 1014]
SCHEME = r"HKCU\AppEvents\Schemes\Apps\.Default\Notification.Reminder\.Current"


def is_red(rgb):
    return rgb[0] > 200 and rgb[1] < 80 and rgb[2] < 80


class RemindersTest(WineTestCase):

    def start_with(self, *rows, **start):
        """The calendar started on a database holding rows (statement, values)."""
        make_database(self.workdir, *((statement, [values]) for statement, values in rows))
        cal = Calendar(self, **start)
        cal.window()
        return cal

    def snoozed(self):
        """What the file of reminders put off holds: [(due, title, text)]."""
        path = os.path.join(self.workdir, "稍后提醒.txt")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            lines = [line.split("\t") for line in f.read().decode("gbk").splitlines()[1:]]
        return [(datetime.datetime.strptime(due, "%Y-%m-%d %H:%M"), title, text) for due, title, text in lines]

    def list_state(self, selector):
        window = drive("controls", selector)
        return control(window, 1019), control(window, TOOL_BAR)["buttons"]

    def click_row(self, selector, row):
        click_at(*centre(self.list_state(selector)[0]["row_rects"][row]))

    def test_alarm_notice_editor_and_list(self):
        # The sound of each notice: the scheme's reminder sound, PlaySoundA in wine's trace.
        wine("reg", "add", SCHEME, "/ve", "/d", r"C:\windows\media\ding.wav", "/f")
        wine("reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/d", "winmm.PlaySoundA", "/f")
        clock = os.path.join(self.artifacts, "clock")
        start = {"env": dict(movable_clock(clock), WINEDEBUG="+relay")}
        minute, today = self.fresh_minute(), datetime.date.today().isoformat()
        cal = self.start_with((MEMO_INSERT, ("喝水", "NULL", "NULL", today, minute, "起来走走", 0)), **start)
        # Another program holds the database in the due minute: told once, shown at the next tick after.
        held = sqlite3.connect(cal.db_path(), isolation_level=None)
        held.execute("begin exclusive")
        drive("post", MAIN, WM_TIMER, 1)
        self.assertIn("locked", answer(timeout_ms=10000))
        drive("post", MAIN, WM_TIMER, 1)
        self.assertFalse(drive("find", BOX, timeout_ms=4000, check=False)["ok"], "told twice")
        held.close()

        def sounds():
            with open(os.path.join(self.artifacts, "quorvel.log"), encoding="utf-8", errors="replace") as f:
                return f.read().count("Call winmm.PlaySoundA(")

        # Put off by 5 minutes, kept in its file, it comes again at that minute, not before, with
        # its sound; put off again; with the sound switched off, it comes silently.
        self.notice_once("起来走走", "alarm-notice", snooze=5)
        [(due, title, text)] = self.snoozed()
        self.assertTrue((title, text) == ("喝水", "起来走走") and 180 < (due - datetime.datetime.now()).total_seconds() <= 300)
        for when, shown in ((due - datetime.timedelta(seconds=40), False), (due + datetime.timedelta(seconds=10), True)):
            set_clock(clock, when)
            drive("post", MAIN, WM_TIMER, 1)
            self.assertEqual(drive("find", NOTICE, timeout_ms=1500, check=False)["ok"], shown, when)
        self.assertEqual(sounds(), 2)
        self.notice_once("起来走走", "snoozed-notice", snooze=10)
        self.assertEqual([d for d, _, _ in self.snoozed()], [due + datetime.timedelta(minutes=10)])
        drive("post", MAIN, WM_COMMAND, 32775)
        self.assertEqual(control(drive("controls", "caption=窗口设置"), 1013)["check"], 1)
        drive("click", "caption=窗口设置", 1013, "--send")
        close("caption=窗口设置", 1024)
        self.assertEqual(cal.settings().get("提醒声音"), "0")
        set_clock(clock, due + datetime.timedelta(minutes=10, seconds=10))
        drive("post", MAIN, WM_TIMER, 1)
        notice = drive("controls", NOTICE)
        self.assertEqual(control(notice, 1000)["text"], "起来走走")
        click_at(notice["origin"][0] + 5, notice["origin"][1] + 5)
        drive("gone", NOTICE)
        self.assertEqual((sounds(), self.snoozed()), (2, []))
        set_clock(clock, datetime.datetime.now())

        # A new alarm: now in both pickers, N = 1, once, the repeat fields off; the clock ticks.
        drive("post", MAIN, WM_COMMAND, 32771)
        editor = drive("controls", MEMO_EDITOR)
        self.assertEqual([control(editor, i)["check"] for i in (1001, 1002)], [1, 0])
        self.assertEqual([control(editor, i)["enabled"] for i in (1004, 1020)], [False, False])
        combo = control(editor, 1004)
        self.assertEqual((combo["items"], combo["cursel"], control(editor, 1020)["text"]), (UNITS, -1, "1"))
        for ident in (1005, 1006):
            shown = datetime.datetime.strptime(control(editor, ident)["value"], "%Y-%m-%d %H:%M:%S")
            self.assertLess(abs((shown - datetime.datetime.now()).total_seconds()), 90)
        clock = control(editor, 1029)["rect"]
        first = wait_until(lambda: [s for s in [self.shot("alarm-editor")] if s.points(clock, is_red)],
                           what="the clock's red second hand")[0]
        wait_until(lambda: self.shot().region(clock) != first.region(clock), what="the clock to tick")

        # Refused: an empty name, and an N that is no integer even while N is off.
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "备忘录名称不能为空！")
        for ident, text in ((1000, "晨会"), (1020, "x1"), (1005, "2024-03-10 00:00:00"),
                            (1006, "2001-01-01 08:30:45"), (1007, "带上报告")):
            drive("set", MEMO_EDITOR, ident, text)
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "请键入一个整数。")
        self.assertEqual(cal.sql(MEMO_SELECT)[1:], [])

        # Once, then repeating every 2 weeks: the form stays open with its values between; a
        # second 确定 with the name unchanged would store the alarm twice.
        drive("set", MEMO_EDITOR, 1020, "5")
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "备忘录创建成功！")
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "备忘录名称已存在！")
        drive("click", MEMO_EDITOR, 1002, "--send")
        self.assertEqual([control(drive("controls", MEMO_EDITOR), i)["enabled"] for i in (1004, 1020)], [True] * 2)
        drive("set", MEMO_EDITOR, 1000, "周报")
        drive("select", MEMO_EDITOR, 1004, 1)
        drive("set", MEMO_EDITOR, 1020, "2")
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "备忘录创建成功！")
        self.assertEqual(cal.sql(MEMO_SELECT)[1:], [("晨会", "NULL", "NULL", "2024-03-10", "08:30:45", "带上报告", 0),
                                                  ("周报", "2", "周", "2024-03-10", "08:30:45", "带上报告", -1)])
        close(MEMO_EDITOR, 1017)

        # The list: its tool bar and columns; 修改 and 删除 wait for a click in the list.
        drive("post", MAIN, WM_COMMAND, 32773)
        listing, buttons = self.list_state(MEMO_LIST)
        self.assertEqual([(b["text"], b["enabled"]) for b in buttons if not b["separator"]],
                         [("新建", True), ("修改", False), ("删除", False), ("退出", True)])
        self.assertEqual((listing["exstyle"], listing["columns"]),
                         (0x171, ["备忘录名称", "开始时间", "提醒方式", "备忘录描述", "是否过期"]))
        self.assertEqual(listing["rows"], [["喝水", today + " " + minute, "仅仅一次", "起来走走", "已过期"],
                                           ["晨会", "2024-03-10 08:30:45", "仅仅一次", "带上报告", "已过期"],
                                           ["周报", "2024-03-10 08:30:45", "2周循环", "带上报告", ""]])
        self.shot("alarm-list")
        x0, _, x1, y1 = listing["rect"]
        click_at((x0 + x1) // 2, y1 - 10)  # below the rows
        self.assertEqual([b["enabled"] for b in self.list_state(MEMO_LIST)[1]], [True] * 5)
        drive("command", MEMO_LIST, 13002)
        self.assertEqual(answer(), "请选择要修改的记录")

        # 修改 shows the repeating alarm; a new N and unit are saved under its name.
        self.click_row(MEMO_LIST, 2)
        drive("command", MEMO_LIST, 13002)
        editor = drive("controls", MEMO_EDITOR)
        name = control(editor, 1000)
        self.assertEqual((name["text"], name["enabled"], control(editor, 1002)["check"]), ("周报", False, 1))
        self.assertEqual([control(editor, i)["text"] for i in (1004, 1020)], ["周", "2"])
        self.assertEqual([control(editor, i)["value"] for i in (1005, 1006)], ["2024-03-10 08:30:45"] * 2)
        drive("set", MEMO_EDITOR, 1020, "3")
        drive("set", MEMO_EDITOR, 1004, "月")
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "备忘录修改成功！")
        drive("click", MEMO_EDITOR, 1017)
        wait_until(lambda: self.list_state(MEMO_LIST)[0]["rows"][2][2] == "3月循环", what="the list refilled")

        # 删除 of a row another program has deleted says so and reads the table again; a row
        # stored by other means is listed as stored and opens on now.
        self.click_row(MEMO_LIST, 1)
        cal.sql("delete from tb_memo where 备忘录名称 = '晨会'")
        drive("command", MEMO_LIST, 13003)
        self.assertEqual(answer(), "所选记录已不在数据库中，没有删除任何记录。")
        wait_until(lambda: [r[0] for r in self.list_state(MEMO_LIST)[0]["rows"]] == ["喝水", "周报"], what="read again")
        cal.sql(MEMO_INSERT, ("坏行", "NULL", "NULL", "2024-13-99", "8点", "", 0))
        drive("command", MEMO_LIST, 13001)
        drive("click", MEMO_EDITOR, 1017)
        wait_until(lambda: len(self.list_state(MEMO_LIST)[0]["rows"]) == 3, what="the list refilled")
        self.assertEqual(self.list_state(MEMO_LIST)[0]["rows"][2], ["坏行", "2024-13-99 8点", "仅仅一次", "", ""])
        self.click_row(MEMO_LIST, 2)
        drive("command", MEMO_LIST, 13002)
        self.assertEqual(control(drive("controls", MEMO_EDITOR), 1005)["value"][:10], datetime.date.today().isoformat())
        drive("click", MEMO_EDITOR, 1017)
        close(MEMO_LIST, 13004, "command")

        # An alarm set for the minute whose tick has passed shows as its editor closes, once.
        self.fresh_minute(40)
        drive("post", MAIN, WM_TIMER, 1)
        drive("post", MAIN, WM_COMMAND, 32771)
        drive("set", MEMO_EDITOR, 1000, "此刻")
        drive("set", MEMO_EDITOR, 1007, "就是现在")
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "备忘录创建成功！")
        drive("click", MEMO_EDITOR, 1017)
        self.assertEqual(control(drive("controls", NOTICE), 1000)["text"], "就是现在")
        drive("key", NOTICE, VK_ESCAPE)
        drive("gone", NOTICE)
        drive("post", MAIN, WM_TIMER, 1)
        self.assertFalse(drive("find", NOTICE, timeout_ms=1500, check=False)["ok"], "shown twice")

    def test_anniversary_notice_editor_list_and_failing_store(self):
        minute, today = self.fresh_minute(), datetime.date.today()
        cal = self.start_with((ANNIV_INSERT, ("生日", today.isoformat(), minute, 1, "买蛋糕", 0)),
                              (ANNIV_INSERT, ("结婚纪念", "2008-03-05", "08:30:00", 18, "订餐厅", -1)))
        self.notice_once("买蛋糕", "anniversary-notice")

        # A new anniversary: today, nothing checked; an empty name is refused.
        drive("post", MAIN, WM_COMMAND, 32772)
        editor = drive("controls", NEW_ANNIV)
        self.assertEqual([control(editor, i)["check"] for i in BOXES + [1018]], [0] * 6)
        self.assertEqual(control(editor, 1005)["value"][:10], today.isoformat())
        drive("click", NEW_ANNIV, 1008)
        self.assertEqual(answer(), "纪念日名称不能为空！")
        for ident, text in ((1000, "母亲生日"), (1005, "2024-05-20 00:00:00"), (1006, "2001-01-01 09:05:00"),
                            (1020, "回家")):
            drive("set", NEW_ANNIV, ident, text)
        for ident in (1010, 1012, 1018):
            drive("click", NEW_ANNIV, ident, "--send")
        self.shot("anniversary-editor")
        drive("click", NEW_ANNIV, 1008)
        self.assertEqual(answer(), "纪念日创建成功！")
        close(NEW_ANNIV, 1017)
        self.assertEqual(cal.sql(ANNIV_SELECT)[2:], [("母亲生日", "2024-05-20", "09:05:00", 5, "回家", -1)])

        # The list and its columns.
        drive("post", MAIN, WM_COMMAND, 32774)
        listing, buttons = self.list_state(ANNIV_LIST)
        self.assertEqual([b["text"] for b in buttons], ["添加", "修改", "删除", "", "退出"])
        self.assertEqual((listing["exstyle"], listing["columns"]),
                         (0x171, ["纪念日名称", "纪念日时间", "提醒方式", "纪念日描述", "是否农历"]))
        self.assertEqual(listing["rows"], [["生日", today.strftime("%m-%d  ") + minute, "当天提醒", "买蛋糕", ""],
                                           ["结婚纪念", "03-05  08:30:00", "提前一个月，提前一天", "订餐厅", "农历"],
                                           ["母亲生日", "05-20  09:05:00", "提前三天，当天提醒", "回家", "农历"]])
        self.shot("anniversary-list")

        # Two rows selected: 修改 opens the one selected last, with its boxes.
        self.click_row(ANNIV_LIST, 0)
        xdotool("keydown", "ctrl")
        self.click_row(ANNIV_LIST, 1)
        xdotool("keyup", "ctrl")
        self.assertEqual(self.list_state(ANNIV_LIST)[0]["selected"], [0, 1])
        drive("command", ANNIV_LIST, 13002)
        editor = drive("controls", MODIFY_ANNIV)
        self.assertEqual([control(editor, i)["check"] for i in BOXES + [1018]], [0, 1, 0, 0, 1, 1])
        self.assertEqual((control(editor, 1000)["text"], control(editor, 1000)["enabled"]), ("结婚纪念", False))
        self.assertEqual([control(editor, i)["value"] for i in (1005, 1006)], ["2008-03-05 08:30:00"] * 2)
        cal.sql("update tb_remeber set 纪念日名称 = '结婚' where 纪念日名称 = '结婚纪念'")  # by another program
        drive("click", MODIFY_ANNIV, 1008)
        self.assertEqual(answer(), "纪念日“结婚纪念”已不存在（可能已被删除），修改没有保存。")
        close(MODIFY_ANNIV, 1017)
        self.click_row(ANNIV_LIST, 0)
        drive("command", ANNIV_LIST, 13003)
        wait_until(lambda: len(self.list_state(ANNIV_LIST)[0]["rows"]) == 2, what="the row deleted")
        self.assertEqual([r[0] for r in cal.sql(ANNIV_SELECT)], ["结婚", "母亲生日"])

        # The table goes away under the open list: every failure is told, nothing claims
        # success, the row that could not be deleted stays listed, the program goes on.
        self.fresh_minute(45)  # no minute tick of the checks in between, even on a busy machine
        cal.sql("alter table tb_remeber rename to kept")
        self.click_row(ANNIV_LIST, 1)
        drive("command", ANNIV_LIST, 13003)
        self.assertIn("tb_remeber", answer())
        self.assertEqual(len(self.list_state(ANNIV_LIST)[0]["rows"]), 2)
        drive("command", ANNIV_LIST, 13001)
        drive("set", NEW_ANNIV, 1000, "新的")
        drive("click", NEW_ANNIV, 1008)
        self.assertIn("tb_remeber", answer())
        self.assertFalse(drive("find", BOX, timeout_ms=1000, check=False)["ok"], "a failed save claimed success")
        drive("click", NEW_ANNIV, 1017)
        self.assertIn("tb_remeber", answer())  # the list's refill
        self.assertEqual(self.list_state(ANNIV_LIST)[0]["rows"], [])
        close(ANNIV_LIST, 13004, "command")
        self.assertEqual(len(cal.sql("select * from kept")), 2)
        self.assertTrue(drive("find", MAIN)["ok"])
