// The calendar engine and the month grid fed arbitrary 32-bit integers.
//
// Every call must return without undefined behaviour, and the results must
// keep the rules of the calendar: dates round-trip through day counts, a
// lunar date is in the table or all zero and consecutive days give
// consecutive lunar days, labels fit their cells, cuts never split a GBK
// character, and a month grid has one cell per day after the leading blanks.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "engine/LunarCalendar.h"
#include "view/MonthGrid.h"

using namespace LunarCalendar;
using fuzz::IsWellFormedGbk;
using fuzz::StartsWith;

namespace {

// Years whose day counts all fit in an int (about +-5.8 million years do).
constexpr int kSafeYear = 5000000;

long long FloorMod(long long a, long long n) { return ((a % n) + n) % n; }

bool IsZero(const LunarDate& l) { return l.nYear == 0 && l.nMonth == 0 && l.nDay == 0 && l.bLeap == 0; }
bool SameLunar(const LunarDate& a, const LunarDate& b) {
    return a.nYear == b.nYear && a.nMonth == b.nMonth && a.nDay == b.nDay && a.bLeap == b.bLeap;
}
bool SameSolar(const SolarDate& a, const SolarDate& b) {
    return a.nYear == b.nYear && a.nMonth == b.nMonth && a.nDay == b.nDay;
}
bool IsDayOfMonth(int y, int m, int d) { return m >= 1 && m <= 12 && d >= 1 && d <= GetDaysInMonth(y, m); }

// Occurs as whole characters, not as the halves of two neighbours.
bool ContainsGbk(const std::string& s, const std::string& word) {
    for (std::size_t i = 0; i < s.size(); i += fuzz::CharSizeAt(s, i)) {
        if (s.compare(i, word.size(), word) == 0) return true;
    }
    return false;
}

std::size_t GbkCharCount(const std::string& s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += fuzz::CharSizeAt(s, i)) ++n;
    return n;
}

int LunarMonthLength(const LunarDate& l) {
    return l.bLeap ? GetLeapMonthDays(l.nYear) : GetLunarMonthDays(l.nYear, l.nMonth);
}

// The lunar day after l: the next day of the month, else the leap month that
// repeats this one, else the next month, else the next year's first month.
LunarDate NextLunarDay(const LunarDate& l) {
    if (l.nDay < LunarMonthLength(l)) return LunarDate{l.nYear, l.nMonth, l.nDay + 1, l.bLeap};
    if (!l.bLeap && GetLeapMonth(l.nYear) == l.nMonth) return LunarDate{l.nYear, l.nMonth, 1, 1};
    if (l.nMonth < 12) return LunarDate{l.nYear, l.nMonth + 1, 1, 0};
    return LunarDate{l.nYear + 1, 1, 1, 0};
}

void CheckGregorian(int y, int m, int d, int a) {
    const int leap = IsLeapYear(y);
    FUZZ_CHECK(leap == 0 || leap == 1);
    const int dim = GetDaysInMonth(y, m);
    if (m >= 1 && m <= 12) {
        FUZZ_CHECK(dim >= 28 && dim <= 31);
        if (m == 2) FUZZ_CHECK(dim == 28 + leap);
    } else {
        FUZZ_CHECK(dim == 0);
    }

    const int wd = GetFirstWeekday(y, m);
    FUZZ_CHECK(wd >= 0 && wd <= 6);
    if (m >= 1 && m <= 11) FUZZ_CHECK(GetFirstWeekday(y, m + 1) == (wd + dim) % 7);
    if (m == 12 && y < INT_MAX) FUZZ_CHECK(GetFirstWeekday(y + 1, 1) == (wd + dim) % 7);

    if (y >= -kSafeYear && y <= kSafeYear && m >= 1 && m <= 12) {
        const long long first = GetAbsoluteDay(y, m, 1);
        if (IsDayOfMonth(y, m, d)) {
            const int abs = GetAbsoluteDay(y, m, d);
            FUZZ_CHECK(SameSolar(AbsoluteDayToDate(abs), SolarDate{y, m, d}));
            FUZZ_CHECK(static_cast<long long>(GetDayNumber(y, m, d)) == static_cast<long long>(abs) - 693960);
            FUZZ_CHECK(FloorMod(static_cast<long long>(abs) - 1, 7) == (wd + d - 1) % 7);
        }
        // Days past the month's end (or before its start) count on.
        const long long counted = first - 1 + d;
        if (counted >= INT_MIN && counted <= INT_MAX) FUZZ_CHECK(GetAbsoluteDay(y, m, d) == counted);
    }

    const SolarDate date = AbsoluteDayToDate(a);
    FUZZ_CHECK(IsDayOfMonth(date.nYear, date.nMonth, date.nDay));
    FUZZ_CHECK(GetAbsoluteDay(date.nYear, date.nMonth, date.nDay) == a);
}

void CheckLunarTable(int ly, int m) {
    const int leapMonth = GetLeapMonth(ly);
    const int leapDays = GetLeapMonthDays(ly);
    const int yearDays = GetLunarYearDays(ly);
    if (m < 1 || m > 12) FUZZ_CHECK(GetLunarMonthDays(ly, m) == 0);
    if (ly < kFirstLunarYear || ly > kLastLunarYear) {
        FUZZ_CHECK(leapMonth == 0 && leapDays == 0 && yearDays == 0 && GetLunarMonthDays(ly, 1) == 0);
        return;
    }
    FUZZ_CHECK(leapMonth >= 0 && leapMonth <= 12);
    FUZZ_CHECK(leapMonth == 0 ? leapDays == 0 : (leapDays == 29 || leapDays == 30));
    int sum = leapDays;
    for (int k = 1; k <= 12; ++k) {
        const int days = GetLunarMonthDays(ly, k);
        FUZZ_CHECK(days == 29 || days == 30);
        sum += days;
    }
    FUZZ_CHECK(sum == yearDays);
    // A common lunar year has 353..355 days, a year with a leap month 383..385.
    FUZZ_CHECK(leapMonth == 0 ? (yearDays >= 353 && yearDays <= 355) : (yearDays >= 383 && yearDays <= 385));
}

void CheckSolarToLunar(int y, int m, int d) {
    const LunarDate l = SolarToLunar(SolarDate{y, m, d});
    if (!IsZero(l)) {
        FUZZ_CHECK(l.nYear >= kFirstLunarYear && l.nYear <= kLastLunarYear);
        FUZZ_CHECK(l.nMonth >= 1 && l.nMonth <= 12);
        FUZZ_CHECK(l.nDay >= 1 && l.nDay <= 30);
        FUZZ_CHECK(l.bLeap == 0 || l.bLeap == 1);
        FUZZ_CHECK(l.nDay <= LunarMonthLength(l));
        if (l.bLeap) FUZZ_CHECK(GetLeapMonth(l.nYear) == l.nMonth);
        const std::string text = GetLunarDateText(l);
        FUZZ_CHECK(!text.empty() && IsWellFormedGbk(text));
    }
    if (y < -kSafeYear || y > kSafeYear || m < 1 || m > 12) return;

    if (IsDayOfMonth(y, m, d)) {
        const int n = GetDayNumber(y, m, d);
        const bool inTable = n >= GetDayNumber(1900, 1, 31) && n <= GetDayNumber(2050, 1, 22);
        FUZZ_CHECK(IsZero(l) != inTable);
        if (!inTable) return;
        // The lunar year begins between 21 January and 20 February.
        FUZZ_CHECK(l.nYear == y || (l.nYear == y - 1 && m <= 2));
        const LunarDate next = SolarToLunar(AbsoluteDayToDate(GetAbsoluteDay(y, m, d) + 1));
        if (IsZero(next)) {
            FUZZ_CHECK(y == 2050 && m == 1 && d == 22);
        } else {
            FUZZ_CHECK(SameLunar(next, NextLunarDay(l)));
        }
    } else {
        // A day outside the month is the day it counts on to.
        const long long abs = static_cast<long long>(GetAbsoluteDay(y, m, 1)) - 1 + d;
        if (abs >= INT_MIN && abs <= INT_MAX) {
            FUZZ_CHECK(SameLunar(l, SolarToLunar(AbsoluteDayToDate(static_cast<int>(abs)))));
        }
    }
}

void CheckLunarText(int y, int m, int d, int leap) {
    const std::string text = GetLunarDateText(LunarDate{y, m, d, leap});
    const bool noText = y < 4 || m < 0 || m > 12 || d < 0 || d > 30;
    FUZZ_CHECK(text.empty() == noText);
    if (noText) return;
    // 龙(甲辰)年闰十一月廿九 is the longest: 11 characters.
    FUZZ_CHECK(text.size() <= 22);
    FUZZ_CHECK(IsWellFormedGbk(text));
    // The sexagenary cycle repeats every 60 years.
    if (y <= INT_MAX - 60) FUZZ_CHECK(GetLunarDateText(LunarDate{y + 60, m, d, leap}) == text);
    // A leap month adds the one character 闰.
    const std::string plain = GetLunarDateText(LunarDate{y, m, d, 0});
    const std::string leapText = GetLunarDateText(LunarDate{y, m, d, 1});
    FUZZ_CHECK(leapText.size() == plain.size() + 2 && ContainsGbk(leapText, "闰"));
}

void CheckSolarTerms(int y, int m, int d, int t) {
    const double day = GetSolarTermDay(y, t);
    if (t < 0 || t > 23) {
        FUZZ_CHECK(day == 0.0);
    } else {
        FUZZ_CHECK(std::isfinite(day));
        // Consecutive terms are 14.7 to 15.8 days apart.
        if (t < 23) {
            const double gap = GetSolarTermDay(y, t + 1) - day;
            FUZZ_CHECK(gap > 14.5 && gap < 16.0);
        }
    }

    const int term = FindSolarTerm(y, m, d);
    if (m < 1 || m > 12) {
        FUZZ_CHECK(term == -1);
    } else {
        FUZZ_CHECK(term == -1 || term == 2 * m - 2 || term == 2 * m - 1);
    }
    // Within the Gregorian calendar's reach (the term formula's year drifts
    // from the Gregorian one by a day every 3 300 years; FindSolarTerm
    // compares month and day only, so past a million years or so a term of
    // another year can match), a term is found on its own day, each month
    // holds its two terms on two different days, and each is found on its day.
    if (term >= 0 && y >= 1 && y <= 9999) {
        FUZZ_CHECK(IsDayOfMonth(y, m, d));
        FUZZ_CHECK(static_cast<long long>(GetSolarTermDay(y, term)) == GetAbsoluteDay(y, m, d));
    }
    if (y >= 1 && y <= 9999 && m >= 1 && m <= 12) {
        int days[2];
        for (int k = 0; k < 2; ++k) {
            const int n = 2 * m - 2 + k;
            const SolarDate date = AbsoluteDayToDate(static_cast<int>(GetSolarTermDay(y, n)));
            FUZZ_CHECK(date.nYear == y && date.nMonth == m);
            FUZZ_CHECK(FindSolarTerm(y, m, date.nDay) == n);
            days[k] = date.nDay;
        }
        FUZZ_CHECK(days[0] < days[1]);
    }
}

void CheckDayLabel(int y, int m, int d, int w) {
    const bool hasLunar = !IsZero(SolarToLunar(SolarDate{y, m, d}));
    const int term = FindSolarTerm(y, m, d);
    const int firstWeekday = GetFirstWeekday(y, m);
    for (const int weekday : {w, firstWeekday}) {
        const DayLabel label = GetDayLabel(y, m, d, weekday);
        FUZZ_CHECK(label.text.size() <= 18);  // the room a cell has for its label
        FUZZ_CHECK(IsWellFormedGbk(label.text));
        FUZZ_CHECK(label.kind == LabelTerm || label.kind == LabelFestival || label.kind == LabelLunarDay);
        FUZZ_CHECK(label.text.empty() != hasLunar);
        if (!hasLunar) continue;
        FUZZ_CHECK((label.kind == LabelTerm) == (term >= 0));
        if (term >= 0) FUZZ_CHECK(StartsWith(label.text, g_szSolarTerm[term]));
    }

    // Mother's Day is the second Sunday of May, Father's Day the third of June.
    if (hasLunar && IsDayOfMonth(y, m, d)) {
        const std::string text = GetDayLabel(y, m, d, firstWeekday).text;
        const bool sunday = (firstWeekday + d - 1) % 7 == 0;
        FUZZ_CHECK(ContainsGbk(text, "母亲节") == (m == 5 && sunday && d >= 8 && d <= 14));
        FUZZ_CHECK(ContainsGbk(text, "父亲节") == (m == 6 && sunday && d >= 15 && d <= 21));
    }
}

void CheckGbkCuts(const std::string& s, std::uint32_t n) {
    for (const std::size_t bytes : {static_cast<std::size_t>(n), static_cast<std::size_t>(n % 40)}) {
        fuzz::CheckGbkCut(s, GbkCutBytes(s, bytes), bytes);
    }
    for (const int chars : {static_cast<int>(n), static_cast<int>(n % 20)}) {
        const std::string left = GbkLeft(s, chars);
        FUZZ_CHECK(StartsWith(s, left));
        FUZZ_CHECK(fuzz::IsCharBoundary(s, left.size()));
        const std::size_t want = chars <= 0 ? 0 : static_cast<std::size_t>(chars);
        const std::size_t all = GbkCharCount(s);
        FUZZ_CHECK(GbkCharCount(left) == (want < all ? want : all));
    }
}

void CheckMonthGrid(int y, int m, int viewDay, int nowY, int nowM) {
    const MonthGrid g = BuildMonthGrid(y, m, viewDay, nowY, nowM);
    FUZZ_CHECK(g.nYear == y && g.nMonth == m);
    FUZZ_CHECK(g.nCellCount >= 0 && g.nCellCount <= 37);
    FUZZ_CHECK(g.cells.size() == static_cast<std::size_t>(g.nCellCount));
    FUZZ_CHECK(g.nRows == (g.nCellCount + 6) / 7);

    const int dim = GetDaysInMonth(y, m);
    if (dim == 0) {
        FUZZ_CHECK(g.nCellCount == 0);
    } else {
        FUZZ_CHECK(g.nDayCount == dim);
        FUZZ_CHECK(g.nFirstWeekday == GetFirstWeekday(y, m));
        FUZZ_CHECK(g.nCellCount == g.nFirstWeekday + dim);
    }

    int today = 0;
    for (int i = 0; i < g.nCellCount; ++i) {
        const MonthCell& cell = g.cells[static_cast<std::size_t>(i)];
        if (i < g.nFirstWeekday) {
            FUZZ_CHECK(cell.nDay == 0 && cell.strDayText.empty() && cell.label.text.empty());
            continue;
        }
        FUZZ_CHECK(cell.nDay == i - g.nFirstWeekday + 1);
        FUZZ_CHECK(cell.strDayText == std::to_string(cell.nDay));
        const DayLabel label = GetDayLabel(y, m, cell.nDay, g.nFirstWeekday);
        FUZZ_CHECK(cell.label.text == label.text && cell.label.kind == label.kind);
        if (cell.crDay == kColorMagenta) {
            ++today;
            FUZZ_CHECK(cell.nDay == viewDay);
        }
    }
    const bool showsToday = y == nowY && m == nowM && dim > 0 && viewDay >= 1 && viewDay <= dim;
    FUZZ_CHECK(today == (showsToday ? 1 : 0));

    for (int k = 0; k < 7; ++k) {
        FUZZ_CHECK(!g.header[k].text.empty() && IsWellFormedGbk(g.header[k].text));
        FUZZ_CHECK(g.header[k].cr == (k == 0 ? kColorRed : kColorBlack));  // Sunday in red
    }

    // The header's year: the year part of the view day's lunar text.
    const std::string full = GetLunarDateText(SolarToLunar(SolarDate{y, m, viewDay}));
    FUZZ_CHECK(g.strYearText.empty() == full.empty());
    FUZZ_CHECK(StartsWith(full, g.strYearText));
    if (!full.empty()) {
        FUZZ_CHECK(g.strYearText.size() <= 10);  // 龙(甲辰)年
        FUZZ_CHECK(fuzz::IsCharBoundary(full, g.strYearText.size()));
        FUZZ_CHECK(g.strYearText.size() >= 2 &&
                   g.strYearText.compare(g.strYearText.size() - 2, 2, "年") == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The copy of the sources that clang compiles must hold GBK literals:
    // 一月 is D2BB D4C2 in code page 936.
    FUZZ_CHECK(GetMonthName(1) == "\xD2\xBB\xD4\xC2");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint8_t steer = in.ConsumeIntegral<std::uint8_t>();
    int y = in.ConsumeIntegral<int>();
    int m = in.ConsumeIntegral<int>();
    int d = in.ConsumeIntegral<int>();
    int w = in.ConsumeIntegral<int>();
    int viewDay = in.ConsumeIntegral<int>();
    int nowY = in.ConsumeIntegral<int>();
    int nowM = in.ConsumeIntegral<int>();
    const int t = in.ConsumeIntegral<int>();
    const int a = in.ConsumeIntegral<int>();
    int ly = in.ConsumeIntegral<int>();
    int lm = in.ConsumeIntegral<int>();
    int ld = in.ConsumeIntegral<int>();
    const int leap = in.ConsumeIntegral<int>();
    const std::uint32_t n = in.ConsumeIntegral<std::uint32_t>();
    const std::string text = in.ConsumeRemainingBytesAsString();

    // Raw integers rarely land inside the lunar table; some bits of the first
    // byte fold values into the ranges where the calendar has something to say.
    if (steer & 0x01) y = 1890 + static_cast<int>(FloorMod(y, 171));
    if (steer & 0x02) m = static_cast<int>(FloorMod(m, 14));
    if (steer & 0x04) d = static_cast<int>(FloorMod(d, 35)) - 1;
    if (steer & 0x08) w = static_cast<int>(FloorMod(w, 7));
    if (steer & 0x10) nowM = m;
    if (steer & 0x80) nowY = y;
    if (steer & 0x20) viewDay = static_cast<int>(FloorMod(viewDay, 33));
    if (steer & 0x40) {
        ly = 1890 + static_cast<int>(FloorMod(ly, 171));
        lm = static_cast<int>(FloorMod(lm, 14)) - 1;
        ld = static_cast<int>(FloorMod(ld, 32)) - 1;
    }

    CheckGregorian(y, m, d, a);
    CheckLunarTable(ly, lm);
    CheckLunarTable(y, m);
    CheckSolarToLunar(y, m, d);
    CheckLunarText(ly, lm, ld, leap);
    CheckSolarTerms(y, m, d, t);
    CheckDayLabel(y, m, d, w);
    CheckGbkCuts(text, n);
    CheckMonthGrid(y, m, viewDay, nowY, nowM);
    return 0;
}
