"""Bad input, one row per case: what the user sees of each, and that nothing stored is
lost or changed. The clock stands at 2030-05-01 08:30 (faketime), when the rows marked
due are due."""

import os
import random
import sqlite3
import subprocess

from harness import BOX, MAIN, NOTICE, VK_ESCAPE, VK_RETURN, WM_COMMAND, WM_TIMER, Calendar, WineTestCase, answer, \
    click_at, close, control, data_files, drive, make_database

NOW = "2030-05-01 08:30:10"
MEMO = "insert into tb_memo values (?, 'NULL', 'NULL', ?, ?, ?, 0)"
ANNIVERSARY = "insert into tb_remeber values (?, ?, ?, 1, ?, 0)"
LONG = "长" * 1000
MB = ("兆" * 1000 + "\r\n") * 524
MEMO_EDITOR = "caption=新建备忘录"


def rows(*statements):
    """A setup that adds rows to the database the program starts with."""
    return lambda work: make_database(work, *statements)


def file(name, data):
    def setup(work):
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)
    return setup


def nullable_tables(work):
    with sqlite3.connect(os.path.join(work, "db_Quorvel.mdb")) as con:
        con.executescript("create table tb_memo (备忘录名称, 提醒时间, 提醒单位, 开始日期, 开始时间, 备忘录描述, 提醒次数);"
                          "create table tb_remeber (纪念日名称, 提醒日期, 提醒时间, 提醒设置, 纪念日描述, 农历提醒);"
                          "insert into tb_memo default values; insert into tb_remeber default values;")


SECTION = "[窗口设置]\r\n".encode("gbk")
PLACE = SECTION + "窗口风格=0\r\n窗口位置=30,40,444,308\r\n".encode("gbk")


def lists(memos, anniversaries):
    """Both lists show the rows as stored: their names, or how many there are."""
    def check(test):
        for command, caption, expected in ((32773, "备忘录列表", memos), (32774, "纪念日列表", anniversaries)):
            drive("post", MAIN, WM_COMMAND, command)
            rows = control(drive("controls", "caption=" + caption, timeout_ms=20000), 1019)["rows"]
            test.shot(os.path.join(test.row, caption))
            test.assertEqual([r[0] for r in rows] if isinstance(expected, list) else len(rows), expected)
            close("caption=" + caption, 13004, "command")
    return check


LOCKED = []


def read_only(name, data=None):
    def setup(work):
        path = os.path.join(work, name)
        if data:
            file(name, data)(work)
        os.chmod(path, 0o444)
        if os.geteuid() == 0:  # root writes read-only files: make it immutable
            subprocess.run(["chattr", "+i", path], check=True)
            LOCKED.append(path)
    return setup


def unlock():
    while LOCKED:
        subprocess.run(["chattr", "-i", LOCKED.pop()])


def save_alarm(expected):
    """确定 in a new alarm's editor: the message, and the editor still open with what was typed."""
    def check(test):
        drive("post", MAIN, WM_COMMAND, 32771)
        drive("set", MEMO_EDITOR, 1000, "同名")
        drive("click", MEMO_EDITOR, 1008)
        test.answer_boxes([expected], "save")
        test.assertEqual(control(drive("controls", MEMO_EDITOR), 1000)["text"], "同名")
        close(MEMO_EDITOR, 1017)
    return check


def save_settings(test):
    """The settings dialog's OK on a file that cannot take them: the user is told."""
    drive("post", MAIN, WM_COMMAND, 32775)
    drive("click", "caption=窗口设置", 1024)
    test.answer_boxes(["只读"], "settings")
    drive("gone", "caption=窗口设置")

# name, database made by the tool, setup, messages at start, messages at the first tick,
# the texts of the notices shown, in order, where the window stands (None: anywhere),
# and what the user does then
CASES = [
    ("random bytes", False, file("db_Quorvel.mdb", random.Random(7).randbytes(8192)), [],
     ["not a database"], [], None),
    ("no tables", False, file("db_Quorvel.mdb", b""), [], ["tb_memo", "tb_remeber"], [], None, save_alarm("tb_memo")),
    ("a folder of that name", False, lambda work: os.mkdir(os.path.join(work, "db_Quorvel.mdb")), [""], [], [], None),
    ("a read-only database", True, read_only("db_Quorvel.mdb"), [], [], [], None, save_alarm("readonly")),
    ("two rows of one name", True, rows((MEMO, [("同名", "2030-05-01", "08:30:00", text) for text in "一二"])),
     [], [], ["一", "二"], None, lists(["同名", "同名"], []), save_alarm("备忘录名称已存在！")),
    ("NULL in every column", False, nullable_tables, [], [], [], None),
    ("2 000 rows each, one due", True, rows(
        (MEMO, [("闹钟%d" % i, "2030-05-0%d" % (2 + i % 7), "08:30:00", "") for i in range(1999)]
         + [("到了", "2030-05-01", "08:30:00", "")]),
        (ANNIVERSARY, [("纪念%d" % i, "2000-06-%02d" % (1 + i % 28), "08:30:00", "") for i in range(2000)])),
     [], [], [""], None, lists(2000, 2000)),
    ("quotes, 1 000 characters, 1 MB, CR LF", True, rows(
        (MEMO, [("It's '引号'", "2030-05-01", "08:30:45", "a'b\r\n第二行"), (LONG, "2030-05-01", "08:30:00", LONG),
                ("大", "2030-05-01", "08:30:00", MB)]),
        (ANNIVERSARY, [("周年'", "1999-05-01", "08:30:00", "x\r\ny")])),
     [], [], ["a'b\r\n第二行", LONG, MB, "x\r\ny"], None,
     lists(["It's '引号'", LONG, "大"], ["周年'"])),
    ("dates and times that do not parse", True, rows(
        (MEMO, [("坏%d" % i, d, t, "") for i, (d, t) in enumerate(
            [("2030-13-01", "08:30:00"), ("", ""), ("abc", "08:30:00"), ("2030-05-01", "8:61:00"),
             ("2030-05-01", "x"), ("2030-05-32", "08:30:00"), ("-1-1-1", "08:30"), ("2026-02-30", "08:30:00"),
             ("2030-05-01", "24:00:00")])]),
        ("insert into tb_memo values ('2^32+1天', '4294967297', '天', '2030-04-30', '08:30:00', '', -1)", [()]),
        (ANNIVERSARY, [("坏", "2030/05/01", "08:30:00", ""), ("坏2", "2030-05-01", "", ""),
                       ("坏3", "2026-02-30", "08:30:00", ""), ("坏4", "2030-05-01", "24:00:00", "")])),
     [], [], [], None, lists(["坏%d" % i for i in range(9)] + ["2^32+1天"], ["坏", "坏2", "坏3", "坏4"])),
    ("settings of garbage", True, file("Quorvel.ini", random.Random(8).randbytes(4096)), [], [], [], [0, 0]),
    ("overlong settings values", True, file("Quorvel.ini", SECTION + "窗口风格=0\r\n透明度=".encode("gbk")
                                             + b"9" * 300 + "\r\n窗口位置=".encode("gbk") + b"1," * 4000),
     [], [], [], "centred"),
    ("a place far off the screen", True, file("Quorvel.ini", SECTION + "窗口风格=1\r\n窗口位置=-20000,-20000,-19586,-19732"
                                              .encode("gbk")), [], [], [], "centred"),
    ("a read-only settings file", True, read_only("Quorvel.ini", PLACE), [], [], [], [30, 40], save_settings),
    ("a 5 MB settings file", True, file("Quorvel.ini", b"; " + b"x" * (5 << 20) + b"\r\n" + PLACE),
     [], [], [], [30, 40]),
]


class BadInputTest(WineTestCase):

    def answer_boxes(self, expected, label):
        for i, text in enumerate(expected):
            drive("find", BOX, timeout_ms=20000)
            self.shot(os.path.join(self.row, "%s-%d" % (label, i)))
            self.assertIn(text, answer())
        self.assertFalse(drive("find", BOX, timeout_ms=1000, check=False)["ok"], "an unexpected message")

    def test_matrix(self):
        self.addCleanup(unlock)
        cal = None
        for name, database, setup, at_start, at_tick, notices, place, *then in CASES:
            with self.subTest(name):
                if cal:
                    cal.kill()  # a row that failed leaves its calendar running
                self.row = name.replace(" ", "-")
                self.workdir = os.path.join(self.artifacts, self.row)
                os.makedirs(self.workdir)
                if database:
                    make_database(self.workdir)
                if setup:
                    setup(self.workdir)
                before = data_files(self.workdir)
                cal = Calendar(self, database=False, faketime=NOW)
                self.answer_boxes(at_start, "start")
                main = cal.window()
                if place == "centred":
                    place = [(1024 - main["client"][0]) // 2, (768 - main["client"][1]) // 2]
                if place:
                    self.assertEqual(main["rect"][:2], place)
                for tick in range(2):
                    drive("post", MAIN, WM_TIMER, 1)
                    self.answer_boxes(at_tick if tick == 0 else [], "tick")
                    for text in notices if tick == 0 else []:
                        notice = drive("controls", NOTICE, timeout_ms=60000)  # wine sets 1 MB in 13 s
                        self.shot(os.path.join(self.row, "notice-%d" % notices.index(text)))
                        self.assertEqual(control(notice, 1000)["text"], text)
                        if notices.index(text) % 3:  # Esc, Enter
                            drive("key", "hwnd=%d" % notice["hwnd"], (VK_ESCAPE, VK_RETURN)[notices.index(text) % 3 - 1])
                        else:
                            click_at(notice["rect"][0] + 5, notice["rect"][1] + 5)  # the title band
                        drive("gone", "hwnd=%d" % notice["hwnd"])
                    self.assertFalse(drive("find", NOTICE, timeout_ms=500, check=False)["ok"], "a notice too many")
                for action in then:
                    action(self)
                self.shot(os.path.join(self.row, "end"))
                drive("key", MAIN, VK_ESCAPE)
                self.assertEqual(cal.wait_exit(), 0)
                self.assertEqual(data_files(self.workdir), before, "something stored changed")
