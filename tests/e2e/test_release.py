"""The release as a Windows user meets it (tools/package.sh makes dist/): the x64 MSI installed,
started from its shortcut with no database, installed over, removed; the zip unpacked into a
folder with a Chinese name, where the database cannot be made at first."""

import getpass
import os
import pathlib
import re
import subprocess
import zipfile

from harness import (IDOK, IDYES, MAIN, ROOT, VK_ESCAPE, WIN_BUILD, WM_COMMAND, WineTestCase, answer, data_files, drive,
                     message_of, wine)
from test_reminders import MEMO_EDITOR, MEMO_SELECT

VERSION = re.search(r'TEXT "(.*)"', pathlib.Path(WIN_BUILD, "res", "QuorvelVersion.h").read_text())[1]
DIST = os.path.join(ROOT, "dist", "Quorvel-%s-x64." % VERSION)
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\%s"


def msi_table(msi, table):
    rows = subprocess.run(["msiinfo", "export", msi, table], capture_output=True, text=True, check=True).stdout
    return dict(line.split("\t", 1) for line in rows.splitlines()[3:])


class ReleaseTest(WineTestCase):

    def unix(self, path):
        return os.path.join(os.environ["WINEPREFIX"], "drive_c", *path[3:].split("\\"))

    def made(self, folder, **start):
        """是 at the first start in folder: the database with both tables, nothing else said."""
        cal, said = self.first_start(IDYES, folder, os.path.join(folder, "Quorvel.exe"), **start)
        self.assertEqual((said, cal.sql("select name from sqlite_master")), (None, [("tb_memo",), ("tb_remeber",)]))
        return cal

    def test_msi_install_first_start_upgrade_and_removal(self):
        msi = DIST + "msi"
        info = subprocess.run(["msiinfo", "suminfo", msi], capture_output=True, text=True, check=True).stdout
        self.assertEqual(int(re.search(r"Source: (\d+)", info)[1]) & 8, 8, "asks for administrator rights")
        wine("msiexec", "/i", msi, "/qn")
        user = r"C:\users\%s\AppData" % getpass.getuser()
        folder = user + r"\Local\Programs\Quorvel"
        link = pathlib.Path(self.unix(user + r"\Roaming\Microsoft\Windows\Start Menu\Programs\Quorvel.lnk"))
        self.assertIn((folder + r"\Quorvel.exe").encode(), link.read_bytes())  # the target
        self.assertIn((folder + "\\\0").encode("utf-16-le"), link.read_bytes())  # the working folder
        code = msi_table(msi, "Property")["ProductCode"]
        self.assertEqual([drive("reg", UNINSTALL % code, n)["value"] for n in ("DisplayName", "DisplayVersion",
                                                                             "Publisher")], ["Quorvel", VERSION, "Quorvel"])
        products = wine("reg", "query", r"HKCU\Software\Microsoft\Installer\Products", "/s").decode("utf-8")
        self.assertTrue(os.path.isfile(self.unix(re.search(r"ProductIcon\s+REG_SZ\s+(.*)", products)[1].strip())))

        # From the shortcut's folder: 是 makes both tables; an alarm saved in the editor is
        # stored and its notice shows at its minute.
        cal = self.made(self.unix(folder), faketime="2030-03-10 08:29:00")
        drive("post", MAIN, WM_COMMAND, 32771)
        for ident, text in ((1000, "喝水"), (1006, "2001-01-01 08:29:00"), (1007, "起来走走")):
            drive("set", MEMO_EDITOR, ident, text)
        drive("click", MEMO_EDITOR, 1008)
        self.assertEqual(answer(), "备忘录创建成功！")
        drive("click", MEMO_EDITOR, 1017)
        self.assertEqual(cal.sql(MEMO_SELECT), [("喝水", "NULL", "NULL", "2030-03-10", "08:29:00", "起来走走", 0)])
        self.notice_once("起来走走", "notice")
        drive("post", MAIN, WM_COMMAND, 32776)
        answer(IDOK, "caption=信息")
        self.assertEqual(cal.wait_exit(), 0)
        kept = data_files(cal.workdir)

        # The same version rebuilt, then a newer one, installed over it: one entry, the data kept.
        for version in (VERSION, re.sub(r"\.(\d+)\.\d+$", lambda m: ".%d.0" % (int(m[1]) + 1), VERSION)):
            newer = os.path.join(self.artifacts, version + ".msi")
            subprocess.run(["bash", os.path.join(ROOT, "tools", "package.sh"), "--msi", "x64",
                            os.path.join(WIN_BUILD, "app", "Quorvel.exe"), version, newer], check=True)
            wine("msiexec", "/i", newer, "/qn")
            self.assertIsNone(drive("reg", UNINSTALL % code, "DisplayName")["value"], "two entries")
            code = msi_table(newer, "Property")["ProductCode"]
            self.assertEqual(drive("reg", UNINSTALL % code, "DisplayVersion")["value"], version)
            self.assertEqual(data_files(cal.workdir), kept)

        wine("msiexec", "/x", newer, "/qn")
        self.assertEqual(sorted(os.listdir(cal.workdir)), ["Quorvel.ini", "db_Quorvel.mdb"])
        self.assertEqual((link.exists(), drive("reg", UNINSTALL % code, "DisplayName")["value"]), (False, None))
        self.assertEqual(data_files(cal.workdir), kept)

    def test_zip_in_a_chinese_folder_read_only_then_not(self):
        with zipfile.ZipFile(DIST + "zip") as z:
            z.extractall(os.path.join(self.artifacts, "日历 便携"))
        folder = os.path.join(self.artifacts, "日历 便携", "Quorvel-" + VERSION)
        text = pathlib.Path(folder, "说明.txt").read_bytes()  # as Notepad shows it
        self.assertTrue(text.startswith(b"\xef\xbb\xbf") and text.count(b"\n") == text.count(b"\r\n"))

        # Read-only (for root: immutable): the driver's message, nothing left, the calendar goes on.
        os.chmod(folder, 0o555)
        unlock = ["chattr", "-i", folder] if os.geteuid() == 0 else ["true"]
        self.addCleanup(subprocess.run, unlock)
        subprocess.run(unlock[:1] + ["+i"] + unlock[2:], check=True)
        cal, said = self.first_start(IDYES, folder, os.path.join(folder, "Quorvel.exe"))
        self.assertIn("无法创建 db_Quorvel.mdb：驱动程序“Microsoft Access Driver (*.mdb)”报告：", said)
        self.assertEqual(sorted(os.listdir(folder)), ["Quorvel.exe", "说明.txt"])  # the zip's two, no more
        drive("key", MAIN, VK_ESCAPE)
        self.assertEqual(cal.wait_exit(), 0)
        subprocess.run(unlock, check=True)
        os.chmod(folder, 0o755)

        self.made(folder)
        drive("post", MAIN, 0x112, 16)  # WM_SYSCOMMAND, the About box
        self.assertIn("Quorvel %s 版" % VERSION, message_of(drive("controls", "caption=关于 Quorvel")))
        answer(IDOK, "caption=关于 Quorvel")
