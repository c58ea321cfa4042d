// Day counting, the lunar conversion and the solar terms.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "engine/LunarCalendar.h"

using namespace LunarCalendar;

// In the global namespace, where argument-dependent lookup finds them for LunarDate.
static bool operator==(const LunarDate& a, const LunarDate& b) {
    return a.nYear == b.nYear && a.nMonth == b.nMonth && a.nDay == b.nDay && a.bLeap == b.bLeap;
}
static std::ostream& operator<<(std::ostream& os, const LunarDate& d) {
    return os << d.nYear << "-" << d.nMonth << "-" << d.nDay << (d.bLeap ? " leap" : "");
}

namespace {

LunarDate Lunar(int y, int m, int d) { return SolarToLunar(SolarDate{y, m, d}); }

// The plain walk over years and months that the fast conversion replaces;
// every day of the range must give the same answer.
LunarDate WalkToLunar(int y, int m, int d) {
    int n = GetDayNumber(y, m, d) - 31;
    int year = 1900;
    while (year < 2049 && n >= GetLunarYearDays(year)) n -= GetLunarYearDays(year++);
    const int leap = GetLeapMonth(year);
    for (int month = 1; month <= 12; ++month) {
        if (n < GetLunarMonthDays(year, month)) return {year, month, n + 1, 0};
        n -= GetLunarMonthDays(year, month);
        if (month == leap) {
            if (n < GetLeapMonthDays(year)) return {year, month, n + 1, 1};
            n -= GetLeapMonthDays(year);
        }
    }
    return {0, 0, 0, 0};
}

}  // namespace

TEST(Gregorian, DayCountsAndWeekdays) {
    EXPECT_EQ(GetDayNumber(1900, 1, 1), 1);
    EXPECT_EQ(GetDayNumber(1900, 1, 31), 31);
    EXPECT_EQ(GetAbsoluteDay(1900, 1, 1), 693961);
    EXPECT_EQ(GetAbsoluteDay(1900, 1, 6), 693966);
    EXPECT_EQ(GetDayNumber(2024, 2, 31), GetDayNumber(2024, 3, 2));  // days count on
    EXPECT_EQ(GetDayNumber(2023, 2, 29), GetDayNumber(2023, 3, 1));
    EXPECT_EQ(GetFirstWeekday(2024, 1), 1);
    EXPECT_EQ(GetFirstWeekday(2023, 1), 0);
    EXPECT_EQ(GetFirstWeekday(2024, 6), 6);
    EXPECT_EQ(GetFirstWeekday(1900, 1), 1);  // a Monday
}

TEST(Gregorian, LeapYearsAndMonthLengths) {
    EXPECT_EQ(IsLeapYear(2024), 1);
    EXPECT_EQ(IsLeapYear(1900), 0);
    EXPECT_EQ(IsLeapYear(2000), 1);
    EXPECT_EQ(IsLeapYear(2023), 0);
    EXPECT_EQ(GetDaysInMonth(2024, 2), 29);
    EXPECT_EQ(GetDaysInMonth(1900, 2), 28);
    EXPECT_EQ(GetDaysInMonth(2023, 11), 30);
    EXPECT_EQ(GetDaysInMonth(2023, 0), 0);
    EXPECT_EQ(GetDaysInMonth(2023, 13), 0);
}

TEST(Gregorian, CountsAndWeekdaysAgreeOverCenturies) {
    // Consecutive days differ by one, and the first weekday of each month is
    // the day number's weekday (1900-01-01 was a Monday).
    for (int y = 1600; y <= 2400; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int first = GetDayNumber(y, m, 1);
            ASSERT_EQ(GetFirstWeekday(y, m), (((first % 7) + 7) % 7)) << y << "-" << m;
            const int next = m == 12 ? GetDayNumber(y + 1, 1, 1) : GetDayNumber(y, m + 1, 1);
            ASSERT_EQ(next - first, GetDaysInMonth(y, m)) << y << "-" << m;
            for (int d = 1; d <= GetDaysInMonth(y, m); ++d) {
                const SolarDate back = AbsoluteDayToDate(GetAbsoluteDay(y, m, d));
                ASSERT_TRUE(back.nYear == y && back.nMonth == m && back.nDay == d)
                    << y << "-" << m << "-" << d;
            }
        }
    }
}

TEST(LunarTable, YearAndMonthLengths) {
    EXPECT_EQ(GetLunarYearDays(1900), 384);
    EXPECT_EQ(GetLeapMonth(1900), 8);
    EXPECT_EQ(GetLeapMonthDays(1900), 29);
    EXPECT_EQ(GetLunarMonthDays(1900, 1), 29);
    EXPECT_EQ(GetLunarMonthDays(1900, 2), 30);
    EXPECT_EQ(GetLunarMonthDays(1900, 12), 30);
    EXPECT_EQ(GetLeapMonth(2023), 2);
    EXPECT_EQ(GetLeapMonthDays(2023), 29);
    EXPECT_EQ(GetLeapMonthDays(2024), 0);

    int leapYears = 0, minLeap = 13, maxLeap = 0;
    for (int y = 1900; y <= 2049; ++y) {
        const int leap = GetLeapMonth(y);
        if (leap == 0) continue;
        ++leapYears;
        minLeap = std::min(minLeap, leap);
        maxLeap = std::max(maxLeap, leap);
    }
    EXPECT_EQ(leapYears, 55);
    EXPECT_EQ(minLeap, 2);
    EXPECT_EQ(maxLeap, 11);  // 2033
}

TEST(LunarTable, OutsideTheTableIsZeroNotARead) {
    for (int y : {INT_MIN, -1, 0, 1899, 2050, 9999, INT_MAX}) {
        EXPECT_EQ(GetLeapMonth(y), 0);
        EXPECT_EQ(GetLeapMonthDays(y), 0);
        EXPECT_EQ(GetLunarYearDays(y), 0);
        EXPECT_EQ(GetLunarMonthDays(y, 1), 0);
    }
    EXPECT_EQ(GetLunarMonthDays(2024, 0), 0);
    EXPECT_EQ(GetLunarMonthDays(2024, 13), 0);
    EXPECT_EQ(GetLunarMonthDays(2024, -5), 0);
}

TEST(SolarToLunar, WorkedExamples) {
    EXPECT_EQ(Lunar(1900, 1, 31), (LunarDate{1900, 1, 1, 0}));
    EXPECT_EQ(Lunar(1900, 2, 28), (LunarDate{1900, 1, 29, 0}));
    EXPECT_EQ(Lunar(2024, 2, 9), (LunarDate{2023, 12, 30, 0}));
    EXPECT_EQ(Lunar(2024, 2, 10), (LunarDate{2024, 1, 1, 0}));
    EXPECT_EQ(Lunar(1902, 2, 7), (LunarDate{1901, 12, 29, 0}));
    EXPECT_EQ(Lunar(2023, 3, 21), (LunarDate{2023, 2, 30, 0}));
    EXPECT_EQ(Lunar(2023, 3, 22), (LunarDate{2023, 2, 1, 1}));
    EXPECT_EQ(Lunar(2023, 4, 19), (LunarDate{2023, 2, 29, 1}));
    EXPECT_EQ(Lunar(2023, 4, 20), (LunarDate{2023, 3, 1, 0}));
    EXPECT_EQ(Lunar(2049, 12, 31), (LunarDate{2049, 12, 7, 0}));
    EXPECT_EQ(Lunar(2050, 1, 22), (LunarDate{2049, 12, 29, 0}));
    EXPECT_EQ(Lunar(2024, 1, 40), Lunar(2024, 2, 9));  // counts on past the month's end
}

TEST(SolarToLunar, OutsideTheRangeHasNoLunarDate) {
    const LunarDate none{0, 0, 0, 0};
    EXPECT_EQ(Lunar(1900, 1, 30), none);
    EXPECT_EQ(Lunar(1900, 1, 1), none);
    EXPECT_EQ(Lunar(1899, 12, 31), none);
    EXPECT_EQ(Lunar(2050, 1, 23), none);
    EXPECT_EQ(Lunar(2050, 12, 31), none);
    EXPECT_EQ(Lunar(9999, 13, 99), none);
    EXPECT_EQ(Lunar(2024, 1, -500000), none);
    EXPECT_EQ(Lunar(INT_MAX, INT_MAX, INT_MAX), none);
    EXPECT_EQ(Lunar(INT_MIN, INT_MIN, INT_MIN), none);
    EXPECT_EQ(Lunar(0, 0, 0), none);
}

TEST(SolarToLunar, EveryDayMatchesTheWalkAndStepsConsistently) {
    const int first = GetDayNumber(1900, 1, 31);
    const int last = GetDayNumber(2050, 1, 22);
    LunarDate prev{};
    int checked = 0;
    for (int n = first; n <= last; ++n) {
        const SolarDate day = AbsoluteDayToDate(n + 693960);
        const LunarDate got = SolarToLunar(day);
        ASSERT_EQ(got, WalkToLunar(day.nYear, day.nMonth, day.nDay))
            << day.nYear << "-" << day.nMonth << "-" << day.nDay;
        if (n == first) {
            ASSERT_EQ(got, (LunarDate{1900, 1, 1, 0}));
        } else if (got.nDay != 1) {
            // Within a month: same month, next day.
            ASSERT_TRUE(got.nYear == prev.nYear && got.nMonth == prev.nMonth &&
                        got.bLeap == prev.bLeap && got.nDay == prev.nDay + 1);
        } else {
            // A new month starts only after the last day of the previous one.
            const int prevLength = prev.bLeap ? GetLeapMonthDays(prev.nYear)
                                              : GetLunarMonthDays(prev.nYear, prev.nMonth);
            ASSERT_EQ(prev.nDay, prevLength) << got;
            if (!prev.bLeap && prev.nMonth == GetLeapMonth(prev.nYear)) {
                ASSERT_TRUE(got.nYear == prev.nYear && got.nMonth == prev.nMonth && got.bLeap);
            } else if (prev.nMonth == 12) {
                ASSERT_TRUE(got.nYear == prev.nYear + 1 && got.nMonth == 1 && !got.bLeap);
            } else {
                ASSERT_TRUE(got.nYear == prev.nYear && got.nMonth == prev.nMonth + 1 && !got.bLeap)
                    << got;
            }
        }
        prev = got;
        ++checked;
    }
    EXPECT_EQ(checked, last - first + 1);
    EXPECT_EQ(prev, (LunarDate{2049, 12, 29, 0}));
}

TEST(SolarToLunar, LeapMonthBoundariesOfEveryLeapYear) {
    // Around each leap month L: last day of ordinary L, leap L day 1, last leap day, L+1 day 1.
    for (int y = 1900; y <= 2049; ++y) {
        const int leap = GetLeapMonth(y);
        if (leap == 0) continue;
        int n = GetDayNumber(1900, 1, 31);
        for (int k = 1900; k < y; ++k) n += GetLunarYearDays(k);
        for (int k = 1; k <= leap; ++k) n += GetLunarMonthDays(y, k);
        auto at = [](int dayNumber) {
            const SolarDate d = AbsoluteDayToDate(dayNumber + 693960);
            return SolarToLunar(d);
        };
        EXPECT_EQ(at(n - 1), (LunarDate{y, leap, GetLunarMonthDays(y, leap), 0}));
        EXPECT_EQ(at(n), (LunarDate{y, leap, 1, 1}));
        EXPECT_EQ(at(n + GetLeapMonthDays(y) - 1), (LunarDate{y, leap, GetLeapMonthDays(y), 1}));
        EXPECT_EQ(at(n + GetLeapMonthDays(y)), (LunarDate{y, leap + 1, 1, 0}));
    }
}

namespace {
struct TermDay {
    int year;
    const char* name;
    int mmdd;
};
int TermIndex(const char* name) {
    for (int i = 0; i < 24; ++i) {
        if (std::strcmp(g_szSolarTerm[i], name) == 0) return i;
    }
    return -1;
}
}  // namespace

TEST(SolarTerms, KnownDays) {
    const TermDay days[] = {
        {1900, "小寒", 106}, {1900, "大寒", 120}, {1900, "立春", 204}, {1900, "春分", 321},
        {1900, "夏至", 622}, {1900, "冬至", 1222}, {2024, "小寒", 106}, {2024, "立春", 204},
        {2024, "惊蛰", 305}, {2024, "春分", 320}, {2024, "清明", 404}, {2024, "夏至", 621},
        {2024, "立秋", 807}, {2024, "秋分", 922}, {2024, "冬至", 1221}, {2025, "小寒", 105},
        {2025, "立春", 203}, {2025, "谷雨", 420}, {2025, "小满", 521}, {2025, "小暑", 707},
        {2025, "冬至", 1221}, {2049, "大寒", 119}, {2049, "冬至", 1221},
    };
    for (const TermDay& t : days) {
        const int index = TermIndex(t.name);
        ASSERT_GE(index, 0);
        EXPECT_EQ(FindSolarTerm(t.year, t.mmdd / 100, t.mmdd % 100), index) << t.year << " " << t.mmdd;
        EXPECT_EQ(FindSolarTerm(t.year, t.mmdd / 100, t.mmdd % 100 + 1), -1) << t.year << " " << t.mmdd;
    }
    EXPECT_NEAR(GetSolarTermDay(1900, 0), 693966.08680556, 1e-9);
}

TEST(SolarTerms, EveryYearStaysInItsDays) {
    const int lo[24] = {5, 19, 3, 18, 5, 20, 4, 19, 5, 20, 5, 20, 6, 22, 7, 22, 7, 22, 7, 23, 7, 21, 6, 21};
    const int hi[24] = {7, 21, 5, 20, 7, 22, 6, 21, 7, 22, 7, 22, 8, 24, 9, 24, 9, 24, 9, 24, 8, 23, 8, 23};
    for (int y = 1900; y <= 2049; ++y) {
        for (int m = 1; m <= 12; ++m) {
            int found[2] = {0, 0};
            for (int d = 1; d <= GetDaysInMonth(y, m); ++d) {
                const int t = FindSolarTerm(y, m, d);
                if (t < 0) continue;
                ASSERT_TRUE(t == 2 * m - 2 || t == 2 * m - 1) << y << "-" << m << "-" << d;
                ASSERT_GE(d, lo[t]) << y << " " << g_szSolarTerm[t];
                ASSERT_LE(d, hi[t]) << y << " " << g_szSolarTerm[t];
                ++found[t - (2 * m - 2)];
            }
            ASSERT_EQ(found[0], 1) << y << "-" << m;  // each term exactly once, in its month
            ASSERT_EQ(found[1], 1) << y << "-" << m;
        }
    }
}

TEST(SolarTerms, AbsurdArgumentsFindNothing) {
    EXPECT_EQ(FindSolarTerm(2024, 0, 6), -1);
    EXPECT_EQ(FindSolarTerm(2024, 13, 6), -1);
    EXPECT_EQ(FindSolarTerm(2024, -1, 6), -1);
    EXPECT_EQ(FindSolarTerm(2024, 1, -6), -1);
    EXPECT_EQ(GetSolarTermDay(2024, 24), 0.0);
    EXPECT_EQ(GetSolarTermDay(2024, -1), 0.0);
    // Far years still compute without reading outside the tables.
    for (int d = 18; d <= 26; ++d) {
        const int t = FindSolarTerm(9999, 12, d);
        EXPECT_TRUE(t == -1 || t == 22 || t == 23);
    }
    EXPECT_EQ(FindSolarTerm(INT_MAX, 6, 40), -1);
    EXPECT_EQ(FindSolarTerm(INT_MIN, 6, 40), -1);
}
