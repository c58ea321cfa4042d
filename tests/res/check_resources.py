#!/usr/bin/env python3
"""Compile res/Quorvel.rc and check the compiled resources.

The dialogs, the menu and the strings are what the C++ code addresses by
number and what the user reads, so this looks at the binary the resource
compiler produced rather than at the script: default styles the compiler
adds on its own, the UTF-8 -> UTF-16 conversion of the Chinese texts,
picture sizes, the manifest and the version block.

    python3 tests/res/check_resources.py [windres ...]

Without arguments it uses every mingw-w64 windres found on PATH. It compiles
from a scratch working directory, so the art/ paths must resolve relative to
the script's folder. Exit status 0 when everything matches.
"""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RES_DIR = os.path.join(ROOT, "res")
RC_FILE = os.path.join(RES_DIR, "Quorvel.rc")

# ---------------------------------------------------------------- constants
WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_CAPTION, WS_BORDER, WS_SYSMENU = 0x00C00000, 0x00800000, 0x00080000
WS_VSCROLL, WS_GROUP, WS_TABSTOP = 0x00200000, 0x00020000, 0x00010000
DS_MODALFRAME, DS_SETFONT, DS_CENTER = 0x80, 0x40, 0x800
WS_EX_TOOLWINDOW, WS_EX_APPWINDOW = 0x80, 0x40000
BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_GROUPBOX = 0x1, 0x3, 0x7
BS_AUTORADIOBUTTON, BS_OWNERDRAW, BS_FLAT = 0x9, 0xB, 0x8000
SS_LEFT, SS_ICON, SS_BITMAP, SS_NOPREFIX = 0x0, 0x3, 0xE, 0x80
ES_MULTILINE, ES_AUTOVSCROLL, ES_AUTOHSCROLL = 0x4, 0x40, 0x80
ES_WANTRETURN, ES_NUMBER = 0x1000, 0x2000
CBS_DROPDOWN, CBS_DROPDOWNLIST, CBS_SORT = 0x2, 0x3, 0x100
DTS_SHORTDATEFORMAT, DTS_UPDOWN, DTS_RIGHTALIGN, DTS_TIMEFORMAT = 0x0, 0x1, 0x20, 0x9
TBS_HORZ, TBS_NOTICKS = 0x0, 0x10
LVS_REPORT, LVS_SINGLESEL = 0x1, 0x4

CHILD = WS_CHILD | WS_VISIBLE
EDITOR = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT

# Standard control classes are stored as ordinals.
CLASS_ORDINALS = {0x80: "button", 0x81: "edit", 0x82: "static", 0x83: "listbox",
                  0x84: "scrollbar", 0x85: "combobox"}

# --------------------------------------------------- what the dialogs hold
# (id, class, text, (x, y, cx, cy), style without WS_CHILD|WS_VISIBLE)
# A text of ("#", n) is a resource ordinal (picture statics).
DIALOGS = {
    100: dict(style=DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT,
              exstyle=0, size=(235, 55), caption="关于 Quorvel", controls=[
        (-1, "static", ("#", 128), (11, 17, 20, 20), SS_ICON),
        (-1, "static", "Quorvel 1.0 版", (40, 10, 119, 8), SS_LEFT | SS_NOPREFIX | WS_GROUP),
        (-1, "static", None, (40, 25, 119, 8), SS_LEFT | WS_GROUP),
        (1, "button", "确定", (178, 7, 50, 14), BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP),
    ]),
    102: dict(style=WS_POPUP | WS_VISIBLE | DS_SETFONT,
              exstyle=WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, size=(276, 180), caption="", controls=[
        (1004, "combobox", "", (11, 9, 48, 108), CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP),
        (1025, "button", "<", (96, 9, 16, 14), BS_FLAT | WS_TABSTOP),
        (1026, "button", ">", (168, 9, 15, 14), BS_FLAT | WS_TABSTOP),
    ]),
    130: dict(style=EDITOR, exstyle=0, size=(236, 167), caption="新建备忘录", controls=[
        (-1, "static", "备忘录名称：", (82, 11, 49, 8), SS_LEFT | WS_GROUP),
        (1000, "edit", "", (138, 9, 91, 12), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        (1029, "static", ("#", 147), (7, 7, 66, 61), SS_BITMAP),
        (1001, "button", "仅仅提醒一次", (82, 32, 64, 10), BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP),
        (1002, "button", "循环（每", (82, 54, 48, 10), BS_AUTORADIOBUTTON),
        (1020, "edit", "", (130, 52, 20, 13), ES_NUMBER | WS_BORDER | WS_GROUP | WS_TABSTOP),
        (1004, "combobox", "", (151, 52, 37, 85), CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP),
        (-1, "static", "提醒一次）", (191, 54, 41, 8), SS_LEFT | WS_GROUP),
        (-1, "static", "开始日期：", (8, 78, 41, 8), SS_LEFT | WS_GROUP),
        (1005, "sysdatetimepick32", "", (54, 75, 58, 13), DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN | WS_TABSTOP),
        (-1, "static", "开始时间：", (123, 78, 41, 8), SS_LEFT | WS_GROUP),
        (1006, "sysdatetimepick32", "", (170, 75, 58, 13), DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP),
        (-1, "static", "备忘录描述：", (8, 96, 49, 8), SS_LEFT | WS_GROUP),
        (1007, "edit", "", (7, 111, 222, 30),
         ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP),
        (1008, "button", "确定", (119, 146, 50, 14), BS_OWNERDRAW | WS_TABSTOP),
        (1017, "button", "取消", (179, 146, 50, 14), BS_OWNERDRAW | WS_TABSTOP),
    ]),
    132: dict(style=EDITOR, exstyle=0, size=(251, 189), caption="新建纪念日", controls=[
        (-1, "static", "纪念日名称：", (15, 13, 49, 8), SS_LEFT | WS_GROUP),
        (1000, "edit", "", (67, 11, 170, 12), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        (-1, "static", "提醒时间：", (135, 32, 41, 8), SS_LEFT | WS_GROUP),
        (1006, "sysdatetimepick32", "", (180, 29, 58, 13),
         DTS_TIMEFORMAT | DTS_UPDOWN | DTS_RIGHTALIGN | WS_TABSTOP),
        (1010, "button", "当天提醒", (34, 69, 48, 10), BS_AUTOCHECKBOX | WS_TABSTOP),
        (-1, "button", "提醒设置", (12, 51, 226, 59), BS_GROUPBOX),
        (1011, "button", "提前一天", (101, 69, 48, 10), BS_AUTOCHECKBOX | WS_TABSTOP),
        (1012, "button", "提前三天", (168, 69, 48, 10), BS_AUTOCHECKBOX | WS_TABSTOP),
        (1013, "button", "提前一周", (34, 89, 48, 10), BS_AUTOCHECKBOX | WS_TABSTOP),
        (1014, "button", "提前一个月", (101, 89, 56, 10), BS_AUTOCHECKBOX | WS_TABSTOP),
        (-1, "static", "纪念日描述：", (14, 116, 49, 8), SS_LEFT | WS_GROUP),
        (1020, "edit", "", (13, 130, 224, 31),
         ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP),
        (1008, "button", "确定", (132, 167, 50, 14), BS_OWNERDRAW | WS_TABSTOP),
        (1017, "button", "取消", (186, 167, 50, 14), BS_OWNERDRAW | WS_TABSTOP),
        (1018, "button", "农历提醒", (13, 169, 48, 10), BS_AUTOCHECKBOX | WS_TABSTOP),
        (-1, "static", "提醒日期：", (15, 31, 41, 8), SS_LEFT | WS_GROUP),
        (1005, "sysdatetimepick32", "", (67, 29, 58, 13), DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN | WS_TABSTOP),
    ]),
    133: dict(style=EDITOR, exstyle=0, size=(334, 183), caption="备忘录列表", controls=[
        (1019, "syslistview32", "", (0, 42, 333, 134), LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP),
    ]),
    134: dict(style=EDITOR, exstyle=0, size=(310, 207), caption="纪念日列表", controls=[
        (1019, "syslistview32", "", (0, 42, 309, 153), LVS_REPORT | WS_BORDER | WS_TABSTOP),
    ]),
    135: dict(style=EDITOR, exstyle=0, size=(264, 155), caption="窗口设置", controls=[
        (-1, "button", "窗口风格设置", (7, 7, 250, 40), BS_GROUPBOX),
        (1001, "button", "普通窗口", (26, 25, 48, 10), BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP),
        (1002, "button", "总在最前", (107, 25, 48, 10), BS_AUTORADIOBUTTON),
        (1003, "button", "嵌入桌面", (188, 25, 48, 10), BS_AUTORADIOBUTTON),
        (1011, "button", "鼠标穿透", (107, 78, 48, 10), BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP),
        (-1, "button", "系统设置", (7, 58, 250, 65), BS_GROUPBOX),
        (1010, "button", "开机自动运行", (26, 78, 64, 10), BS_AUTOCHECKBOX | WS_TABSTOP),
        (-1, "static", "透明度：", (26, 100, 33, 8), SS_LEFT | WS_GROUP),
        (1021, "msctls_trackbar32", "", (65, 99, 172, 12), TBS_HORZ | TBS_NOTICKS | WS_TABSTOP),
        (1024, "button", "确定", (146, 131, 50, 14), BS_OWNERDRAW | WS_TABSTOP),
        (1023, "button", "取消", (207, 131, 50, 14), BS_OWNERDRAW | WS_TABSTOP),
    ]),
    148: dict(style=DS_CENTER | WS_POPUP | DS_SETFONT, exstyle=0, size=(133, 88), caption="", controls=[
        (1000, "edit", "", (4, 22, 125, 60), ES_MULTILINE | WS_TABSTOP),
    ]),
}

MENU_129 = [
    (32787, "每日星座运势"), (32786, "休闲游戏"), (32785, "音乐下载"), (32783, "网络收音机"),
    (32781, "网络对时-世界时钟"), None, (32784, "老黄历"), (32782, "天气预报"), None,
    (32771, "新建闹钟"), (32772, "新建纪念日"), None, (32773, "闹钟列表"), (32774, "纪念日列表"),
    None, (32775, "窗口设置"), (32788, "隐藏本菜单"), (32776, "系统退出"),
]

# id -> (width, height, bits per pixel)
BITMAPS = {136: (26, 20, 24), 137: (26, 20, 24), 144: (414, 268, 24),
           147: (98, 93, 24), 149: (200, 132, 24), 279: (190, 93, 24)}
# id -> square sizes an icon must offer
ICONS = {128: {16, 32}, 138: {16}, 139: {16}, 140: {32}, 141: {32}, 142: {32}, 143: {32}}
ICONS.update({d: {16} for d in range(248, 279)})

HEADER_IDS = {
    "IDD_ABOUTBOX": 100, "IDS_ABOUTBOX": 101, "IDD_CALENDAR_DIALOG": 102, "IDR_MAINFRAME": 128,
    "IDR_MENU_POPUP": 129, "IDD_MEMO_DIALOG": 130, "IDD_ANNIVERSARY_DIALOG": 132,
    "IDD_MEMOLIST_DIALOG": 133, "IDD_ANNIVERSARYLIST_DIALOG": 134, "IDD_WINDOWSET_DIALOG": 135,
    "IDB_MENU_BANNER": 136, "IDB_MENU_SELECTED": 137, "IDI_OK": 138, "IDI_CANCEL": 139,
    "IDI_TOOL_NEW": 140, "IDI_TOOL_MODIFY": 141, "IDI_TOOL_DELETE": 142, "IDI_TOOL_EXIT": 143,
    "IDB_BACKGROUND": 144, "IDB_CLOCK": 147, "IDD_NOTICE_DIALOG": 148, "IDB_NOTICE": 149,
    "IDI_DAY1": 248, "IDI_DAY31": 278, "IDB_EDIT_BACK": 279, "IDM_ABOUTBOX": 16,
    "IDC_COMBO_YEAR": 1004, "IDC_BTN_PREV": 1025, "IDC_BTN_NEXT": 1026,
    "ID_MENU_NEW_MEMO": 32771, "ID_MENU_NEW_ANNIVERSARY": 32772, "ID_MENU_MEMO_LIST": 32773,
    "ID_MENU_ANNIVERSARY_LIST": 32774, "ID_MENU_WINDOW_SET": 32775, "ID_MENU_EXIT": 32776,
    "ID_MENU_WORLD_CLOCK": 32781, "ID_MENU_WEATHER": 32782, "ID_MENU_RADIO": 32783,
    "ID_MENU_ALMANAC": 32784, "ID_MENU_MUSIC": 32785, "ID_MENU_GAMES": 32786,
    "ID_MENU_HOROSCOPE": 32787, "ID_MENU_HIDE": 32788, "ID_TOOL_NEW": 13001,
    "ID_TOOL_MODIFY": 13002, "ID_TOOL_DELETE": 13003, "ID_TOOL_EXIT": 13004,
}

LANG_ZH_CN = 0x0804

# ------------------------------------------------------------------ helpers
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


class Reader:
    def __init__(self, data, pos=0):
        self.d, self.p = data, pos

    def u8(self):
        self.p += 1
        return self.d[self.p - 1]

    def u16(self):
        self.p += 2
        return struct.unpack_from("<H", self.d, self.p - 2)[0]

    def i16(self):
        self.p += 2
        return struct.unpack_from("<h", self.d, self.p - 2)[0]

    def u32(self):
        self.p += 4
        return struct.unpack_from("<I", self.d, self.p - 4)[0]

    def i32(self):
        self.p += 4
        return struct.unpack_from("<i", self.d, self.p - 4)[0]

    def wstr(self):
        end = self.p
        while self.d[end:end + 2] != b"\0\0":
            end += 2
        s = self.d[self.p:end].decode("utf-16-le")
        self.p = end + 2
        return s

    def sz_or_ord(self):
        if struct.unpack_from("<H", self.d, self.p)[0] == 0xFFFF:
            self.p += 2
            return ("#", self.u16())
        return self.wstr()

    def align(self, n=4):
        self.p = (self.p + n - 1) & ~(n - 1)


def read_res(path):
    """Entries of a .res file: {(type, name): [(lang, data), ...]}."""
    data = open(path, "rb").read()
    out, p = {}, 0
    while p < len(data):
        size, hsize = struct.unpack_from("<II", data, p)
        r = Reader(data, p + 8)
        rtype, name = r.sz_or_ord(), r.sz_or_ord()
        r.align()
        r.u32()
        r.u16()
        lang = r.u16()
        body = data[p + hsize:p + hsize + size]
        if size:
            key = (rtype[1] if isinstance(rtype, tuple) else rtype,
                   name[1] if isinstance(name, tuple) else name)
            out.setdefault(key, []).append((lang, body))
        p = (p + hsize + size + 3) & ~3
    return out


def one(res, rtype, name):
    entries = res.get((rtype, name), [])
    if not check(len(entries) == 1, f"resource type {rtype} id {name}: {len(entries)} copies"):
        return None, None
    return entries[0]


def parse_dialogex(body):
    r = Reader(body)
    ver, sig = r.u16(), r.u16()
    assert (ver, sig) == (1, 0xFFFF), "not a DIALOGEX template"
    r.u32()
    dlg = dict(exstyle=r.u32(), style=r.u32())
    count = r.u16()
    dlg["rect"] = (r.i16(), r.i16(), r.i16(), r.i16())
    dlg["menu"], dlg["class"], dlg["caption"] = r.sz_or_ord(), r.sz_or_ord(), r.wstr()
    if dlg["style"] & DS_SETFONT:
        dlg["font"] = (r.u16(), r.u16(), r.u8(), r.u8(), r.wstr())
    items = []
    for _ in range(count):
        r.align()
        r.u32()
        exstyle, style = r.u32(), r.u32()
        rect = (r.i16(), r.i16(), r.i16(), r.i16())
        cid = r.i32()
        cls, text = r.sz_or_ord(), r.sz_or_ord()
        extra = r.u16()
        r.p += extra
        if isinstance(cls, tuple):
            cls = CLASS_ORDINALS.get(cls[1], str(cls[1]))
        items.append(dict(id=cid, cls=cls.lower(), text=text, rect=rect, style=style, exstyle=exstyle))
    dlg["items"] = items
    return dlg


def parse_menu(body):
    r = Reader(body)
    assert r.u16() == 0, "not a MENU template"
    skip = r.u16()
    r.p += skip

    def level():
        items = []
        while True:
            flags = r.u16()
            if flags & 0x10:  # MF_POPUP
                items.append((r.wstr(), level()))
            else:
                cmd = r.u16()
                items.append((cmd, r.wstr(), flags & ~0x80))
            if flags & 0x80:  # MF_END
                return items
    return level()


def parse_version(body):
    """Version block as {key path: value}."""
    out = {}

    def node(p, path):
        length, vlen, vtype = struct.unpack_from("<HHH", body, p)
        r = Reader(body, p + 6)
        key = r.wstr()
        r.align()
        here = path + "/" + key
        if vlen:
            if vtype == 1:
                out[here] = body[r.p:r.p + vlen * 2].decode("utf-16-le").rstrip("\0")
                r.p += vlen * 2
            else:
                out[here] = body[r.p:r.p + vlen]
                r.p += vlen
        r.align()
        end = p + length
        while r.p < end:
            r.p = node(r.p, here)
            r.align()
        return end
    node(0, "")
    return out


# ------------------------------------------------------------------- checks
def check_dialogs(res):
    for did, want in DIALOGS.items():
        lang, body = one(res, 5, did)
        if body is None:
            continue
        check(lang == LANG_ZH_CN, f"dialog {did}: language {lang:#06x}")
        dlg = parse_dialogex(body)
        where = f"dialog {did}"
        check(dlg["style"] == want["style"], f"{where}: style {dlg['style']:#010x} != {want['style']:#010x}")
        check(dlg["exstyle"] == want["exstyle"], f"{where}: exstyle {dlg['exstyle']:#x}")
        check(dlg["rect"] == (0, 0) + want["size"], f"{where}: rect {dlg['rect']}")
        check(dlg["caption"] == want["caption"], f"{where}: caption {dlg['caption']!r}")
        check(dlg["menu"] == "" and dlg["class"] == "", f"{where}: menu/class set")
        check(dlg.get("font") == (9, 0, 0, 0x86, "宋体"), f"{where}: font {dlg.get('font')}")
        got, exp = dlg["items"], want["controls"]
        if not check(len(got) == len(exp), f"{where}: {len(got)} controls, expected {len(exp)}"):
            continue
        for i, (g, (cid, cls, text, rect, style)) in enumerate(zip(got, exp)):
            w = f"{where} control #{i} (id {cid})"
            check(g["id"] == cid, f"{w}: id {g['id']}")
            check(g["cls"] == cls, f"{w}: class {g['cls']!r}")
            if text is not None:
                check(g["text"] == text, f"{w}: text {g['text']!r} != {text!r}")
            check(g["rect"] == rect, f"{w}: rect {g['rect']} != {rect}")
            check(g["style"] == CHILD | style, f"{w}: style {g['style']:#010x} != {CHILD | style:#010x}")
            check(g["exstyle"] == 0, f"{w}: exstyle {g['exstyle']:#x}")
    # Template 102 is captionless and borderless; 148 too.
    for did in (102, 148):
        lang, body = one(res, 5, did)
        if body is not None:
            st = parse_dialogex(body)["style"]
            check(not st & (WS_CAPTION | WS_BORDER | DS_MODALFRAME), f"dialog {did}: has a frame")


def check_menu(res):
    lang, body = one(res, 4, 129)
    if body is None:
        return
    top = parse_menu(body)
    if not check(len(top) == 1 and isinstance(top[0][1], list), "menu 129: not one popup"):
        return
    title, items = top[0]
    check(title == "Tavimor", f"menu 129: title {title!r}")
    flat = [None if (it[0] == 0 and it[1] == "") else (it[0], it[1]) for it in items]
    check(flat == MENU_129, f"menu 129: items {flat}")
    check(all(it[2] == 0 for it in items), "menu 129: item flags set (grayed/checked/...)")


def check_strings(res):
    lang, body = one(res, 6, 101 // 16 + 1)
    if body is None:
        return
    r, strings = Reader(body), []
    for _ in range(16):
        n = r.u16()
        strings.append(body[r.p:r.p + 2 * n].decode("utf-16-le"))
        r.p += 2 * n
    check(strings[101 % 16] == "关于 Quorvel(&A)...", f"string 101: {strings[101 % 16]!r}")
    check(sum(1 for s in strings if s) == 1, "string block 7 holds more than string 101")


def check_pictures(res):
    for bid, (w, h, bpp) in BITMAPS.items():
        lang, body = one(res, 2, bid)
        if body is not None:
            bw, bh, planes, bits = struct.unpack_from("<iiHH", body, 4)
            check((bw, abs(bh), bits) == (w, h, bpp), f"bitmap {bid}: {bw}x{bh}x{bits}, expected {w}x{h}x{bpp}")
    icon_images = {name: body for (t, name), [(lang, body)] in
                   ((k, v) for k, v in res.items() if k[0] == 3 and len(v) == 1)}
    for iid, sizes in ICONS.items():
        lang, body = one(res, 14, iid)
        if body is None:
            continue
        reserved, kind, count = struct.unpack_from("<HHH", body, 0)
        have = set()
        for k in range(count):
            w, h, _, _, planes, bits, nbytes, img = struct.unpack_from("<BBBBHHIH", body, 6 + 14 * k)
            w, h = w or 256, h or 256
            check(img in icon_images, f"icon {iid}: image {img} missing")
            have.add(w if w == h else -1)
        check(kind == 1 and sizes <= have, f"icon {iid}: sizes {sorted(have)}, needs {sorted(sizes)}")


def check_manifest(res):
    entries = res.get((24, 1), [])
    if not check(len(entries) == 1, "manifest: resource 1 of type 24 missing or doubled"):
        return
    root = ET.fromstring(entries[0][1])
    ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
          "c": "urn:schemas-microsoft-com:compatibility.v1",
          "w5": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
          "w16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
    deps = root.findall("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", ns)
    check(any(d.get("name") == "Microsoft.Windows.Common-Controls" and d.get("version") == "6.0.0.0"
              and d.get("publicKeyToken") == "6595b64144ccf1df" for d in deps),
          "manifest: no common controls 6.0 dependency")
    lvl = root.find("v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel", ns)
    check(lvl is not None and lvl.get("level") == "asInvoker" and lvl.get("uiAccess") == "false",
          "manifest: execution level is not asInvoker")
    oses = {e.get("Id") for e in root.findall("c:compatibility/c:application/c:supportedOS", ns)}
    check("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" in oses and len(oses) == 5, f"manifest: supportedOS {oses}")
    aware = root.find("v3:application/v3:windowsSettings/w5:dpiAware", ns)
    check(aware is not None and aware.text.strip().lower() == "false", "manifest: dpiAware is not false")
    awareness = root.find("v3:application/v3:windowsSettings/w16:dpiAwareness", ns)
    check(awareness is None or awareness.text.strip().lower() == "unaware", "manifest: dpiAwareness not unaware")


def check_version(res):
    lang, body = one(res, 16, 1)
    if body is None:
        return
    v = parse_version(body)
    fixed = v.get("/VS_VERSION_INFO")
    if check(fixed is not None and len(fixed) == 52, "version: no fixed file info"):
        sig, _, fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<6I", fixed)
        check(sig == 0xFEEF04BD, "version: bad signature")
        check((fv_ms, fv_ls, pv_ms, pv_ls) == (0x10000, 0, 0x10000, 0), "version: not 1.0.0.0")
    block = "/VS_VERSION_INFO/StringFileInfo/080404b0/"
    check(v.get(block + "ProductName") == "Quorvel", "version: ProductName")
    check(v.get(block + "FileDescription") == "Quorvel 日历", f"version: FileDescription {v.get(block + 'FileDescription')!r}")
    check(v.get(block + "ProductVersion") == "1.0", "version: ProductVersion")
    check(v.get("/VS_VERSION_INFO/VarFileInfo/Translation") == struct.pack("<HH", 0x0804, 1200), "version: Translation")


def check_header():
    text = open(os.path.join(RES_DIR, "resource.h"), encoding="ascii").read()
    defs = {}
    for name, value in re.findall(r"^#define\s+(\w+)\s+(\S+)", text, re.M):
        try:
            defs[name] = int(value.strip("()"), 0)
        except ValueError:
            pass
    for name, value in HEADER_IDS.items():
        check(defs.get(name) == value, f"resource.h: {name} = {defs.get(name)}, expected {value}")
    # Every control id used in a template has a name.
    named = set(defs.values())
    for did, want in DIALOGS.items():
        for cid, *_ in want["controls"]:
            check(cid in named or cid in (-1, 1), f"resource.h: no name for control {cid} of dialog {did}")


def windres_list(argv):
    if argv:
        return argv
    found = [shutil.which(p + "-w64-mingw32-windres") for p in ("i686", "x86_64")]
    return [f for f in found if f]


def main(argv):
    tools = windres_list(argv)
    if not tools:
        print("check_resources: no windres found", file=sys.stderr)
        return 77  # skipped
    check_header()
    for tool in tools:
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "q.res")
            # Compile from an unrelated directory: paths in the script must
            # resolve against its own folder, as they do in any build tree.
            proc = subprocess.run([tool, "--codepage=65001", "-I", RES_DIR, RC_FILE, "-O", "res", "-o", out],
                                  cwd=tmp, capture_output=True, text=True)
            if not check(proc.returncode == 0, f"{tool}: {proc.stderr.strip()}"):
                continue
            res = read_res(out)
            before = len(failures)
            check_dialogs(res)
            check_menu(res)
            check_strings(res)
            check_pictures(res)
            check_manifest(res)
            check_version(res)
            print(f"{os.path.basename(tool)}: {'ok' if len(failures) == before else 'FAILED'}")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
