#!/usr/bin/env python3
"""Writes the seed inputs of fuzz/corpus/<target>/ (committed; run again after
changing a fuzzer's input layout).

The fuzzers read their input through FuzzedDataProvider: integers from the
end of the data (the first one read is the last bytes), strings and the
remaining bytes from the front. Input lays the values out that way, so that
each seed says in plain values which case it starts the fuzzer from.

usage: make_seeds.py [OUT_DIR]   (default: the corpus folder next to this file)
"""
import os
import shutil
import sys

INT_MIN, INT_MAX = -2**31, 2**31 - 1


def gbk(text):
    return text.encode("gbk")


class Input:
    def __init__(self):
        self.front = b""
        self.back = b""  # bytes in the order they are consumed from the end

    def _integral(self, offset_value, size):
        # Consumed from the end, most significant byte first.
        self.back += offset_value.to_bytes(size, "big")
        return self

    def u8(self, v):
        return self._integral(v, 1)

    def i32(self, v):
        return self._integral((v - INT_MIN) & 0xFFFFFFFF, 4)

    def u32(self, v):
        return self._integral(v, 4)

    def string(self, data, terminate=True):
        """A ConsumeRandomLengthString: backslashes doubled, ended by '\\' + another byte."""
        self.front += data.replace(b"\\", b"\\\\") + (b"\\e" if terminate else b"")
        return self

    def rest(self, data):
        self.front += data
        return self

    def data(self):
        return self.front + self.back[::-1]


def engine(y, m, d, w=None, view=None, now=None, term=0, absolute=730000, lunar=(2024, 8, 15, 0),
           n=63, text=b"", steer=0):
    """EngineFuzzer: steer byte, then y m d w viewDay nowY nowM t a ly lm ld leap n, text."""
    import datetime
    if w is None:
        w = (datetime.date(y, m, 1).isoweekday() % 7) if 1 <= m <= 12 and 1 <= y <= 9999 else 0
    now = now if now is not None else (y, m)
    view = view if view is not None else d
    inp = Input().u8(steer)
    for v in (y, m, d, w, view, now[0], now[1], term, absolute) + tuple(lunar):
        inp.i32(v)
    return inp.u32(n).rest(text).data()


def settings(first, second, rect=(100, 200, 420, 680)):
    """SettingsFuzzer: a rectangle, then two texts."""
    inp = Input()
    for v in rect:
        inp.i32(v)
    return inp.string(first).rest(second).data()


def store_statements(values, a=0, b=-1):
    """StoreFuzzer, statements half: six texts and two integers."""
    assert len(values) == 6
    inp = Input().u8(1)
    for v in values:
        inp.string(v)
    return inp.i32(a).i32(b).data()


def store_bytes(data):
    """StoreFuzzer, quoting and conversion half: the bytes themselves."""
    return Input().u8(0).rest(data).data()


def seeds():
    tip_date = gbk("2024年9月17日 星期二")
    tip_lunar = gbk("龙(甲辰)年八月十五 中秋")
    return {
        "engine": {
            # The ends of the lunar table.
            "table-first-day": engine(1900, 1, 31),
            "table-day-before": engine(1900, 1, 30),
            "table-last-day": engine(2050, 1, 22),
            "table-day-after": engine(2050, 1, 23),
            # Leap months: 闰二月 2023, 闰四月 2020, 闰十一月 2033.
            "leap-2023-second-month": engine(2023, 3, 22, lunar=(2023, 2, 1, 1)),
            "leap-2020-fourth-month": engine(2020, 5, 23, lunar=(2020, 4, 30, 1)),
            "leap-2033-eleventh-month": engine(2033, 12, 22, lunar=(2033, 11, 29, 1)),
            # Festivals, terms, the Sundays of May and June.
            "spring-festival-2024": engine(2024, 2, 10),
            "new-year-eve-2024": engine(2024, 2, 9),
            "mid-autumn-2024": engine(2024, 9, 17),
            "national-day-2024": engine(2024, 10, 1),
            "mothers-day-2024": engine(2024, 5, 12),
            "fathers-day-2024": engine(2024, 6, 16),
            "start-of-spring-2024": engine(2024, 2, 4, term=2),
            "winter-solstice-2024": engine(2024, 12, 21, term=23),
            # Leap days and days outside their month.
            "feb-29-2024": engine(2024, 2, 29),
            "feb-29-1900-counts-on": engine(1900, 2, 29),
            "day-zero": engine(2024, 3, 0),
            "day-400": engine(2024, 1, 400),
            "month-13": engine(2024, 13, 1),
            "month-0": engine(2024, 0, 15),
            # A month shown with today in it, and one shown while today is elsewhere.
            "grid-today": engine(2024, 9, 17, view=17, now=(2024, 9)),
            "grid-other-year": engine(2024, 9, 17, view=17, now=(2023, 9)),
            "grid-view-day-31-in-february": engine(2024, 2, 1, view=31, now=(2024, 2)),
            # The ends of int.
            "int-max": engine(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, (INT_MAX, INT_MAX), INT_MAX,
                              INT_MAX, (INT_MAX,) * 4, n=0xFFFFFFFF),
            "int-min-year": engine(INT_MIN, 12, 31, 0, 1, (0, 0), INT_MIN, INT_MIN,
                                   (INT_MIN, 0, 0, 0)),
            "lunar-text-year-4": engine(2024, 1, 1, lunar=(4, 0, 0, 0)),
            "lunar-text-leap-eleventh": engine(2024, 1, 1, lunar=(2024, 11, 29, 1)),
            # GBK texts to cut: Chinese, a lone lead byte at the end, mixed.
            "cut-chinese": engine(2024, 1, 1, n=5, text=gbk("农历八月十五")),
            "cut-lone-lead": engine(2024, 1, 1, n=3, text=b"ab\xb4"),
            "cut-mixed": engine(2024, 1, 1, n=7, text=gbk("Tavimor\r\n公历:2024") + b"\x81\xff\x80"),
            # Every steering bit on: the fuzzer's folded ranges.
            "steered": engine(2024, 9, 17, steer=0xFF),
        },
        "settings": {
            "alpha-0": settings(b"0", b"1"),
            "alpha-160": settings(b"160", b"2"),
            "negative-with-space": settings(b" \t-42xyz", b"+7"),
            "int-overflow": settings(b"2147483648", b"-2147483649"),
            "huge-number": settings(b"99999999999999999999999", b"-"),
            "position": settings(b"100,200,420,680", b"default"),
            "position-negative": settings(b"-1920,-10,-1500,400", b""),
            "position-short": settings(b"1,2", b",,,"),
            "position-extra-fields": settings(b"1,2,3,4,5,6", b"a,b,c,d"),
            "position-extreme": settings(b"-2147483648,2147483647,0,-0", b"2147483647,,,"),
            "rect-extremes": settings(b"1", b"0", rect=(INT_MIN, INT_MAX, INT_MIN, INT_MAX)),
            "tray-tip": settings(tip_date, tip_lunar),
            "tray-tip-long": settings(tip_date * 3, tip_lunar * 3),
            "tray-tip-cut-at-62": settings(gbk("公") * 20, b"a" + gbk("历") * 10),
            "tray-tip-lone-lead": settings(b"2024\xb4", b"\x81"),
        },
        "store": {
            "quote": store_statements([b"Tom's", b"''", b"'", b"it''s", b"%s%d'", b"\\"], 5, 3),
            "chinese": store_statements([gbk("生日"), b"1", gbk("天"), b"2024-09-17", b"08:30:00",
                                         gbk("第一行\r\n第二行")], -1, 0),
            "lone-lead-before-quote": store_statements([b"\x81'", b"\xb4", b"a\x81", b"\xff'",
                                                        b"\x80", b"\x81\x7f'"], 31, -1),
            "empty": store_statements([b""] * 6, 0, 0),
            "int-ends": store_statements([b"x"] * 6, INT_MIN, INT_MAX),
            "bytes-chinese": store_bytes(gbk("备忘录名称 纪念日\r\n第二行\t?")),
            "bytes-quote": store_bytes(b"Tom's ''"),
            "bytes-bad": store_bytes(b"a\x81 b\xff" + gbk("春") + b"\xb4"),
            "bytes-euro-and-ff": store_bytes(b"\x80\xff\x80"),
            "bytes-utf16-surrogates": store_bytes(b"\x00\xd8\x00\xdc" b"=\xd8" b"\x00\xdc" b"A\x00"),
            "bytes-utf16-thai": store_bytes("a\u0e01b\u6625".encode("utf-16-le")),
        },
    }


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    for target, files in seeds().items():
        folder = os.path.join(out, target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        print("%s: %d seeds" % (folder, len(files)))


if __name__ == "__main__":
    main()
