// Lunar texts, festivals and the label rule of a day cell.
#include <gtest/gtest.h>

#include <climits>

#include "engine/LunarCalendar.h"

using namespace LunarCalendar;

namespace {
DayLabel Label(int y, int m, int d) { return GetDayLabel(y, m, d, GetFirstWeekday(y, m)); }
std::string YearPart(int y) { return GbkLeft(GetLunarDateText(LunarDate{y, 1, 1, 0}), 6); }
}  // namespace

TEST(LunarText, FullTexts) {
    EXPECT_EQ(GetLunarDateText(SolarToLunar({2024, 2, 10})), "龙(甲辰)年正月初一");
    EXPECT_EQ(GetLunarDateText(LunarDate{2023, 2, 15, 1}), "兔(癸卯)年闰二月十五");
    EXPECT_EQ(GetLunarDateText(LunarDate{2023, 11, 20, 0}), "兔(癸卯)年十一月二十");
    EXPECT_EQ(GetLunarDateText(LunarDate{2023, 12, 30, 0}), "兔(癸卯)年腊月三十");
    EXPECT_EQ(YearPart(1900), "鼠(庚子)年");
    EXPECT_EQ(YearPart(1984), "鼠(甲子)年");
    EXPECT_EQ(YearPart(2044), "鼠(甲子)年");
    EXPECT_EQ(YearPart(2023), "兔(癸卯)年");
    EXPECT_EQ(YearPart(2024), "龙(甲辰)年");
    EXPECT_EQ(GetLunarDateText(LunarDate{2024, 1, 1, 0}).size(), 18u);  // 10-byte year part
}

TEST(LunarText, NoTextOutsideTheTables) {
    EXPECT_EQ(GetLunarDateText(LunarDate{0, 0, 0, 0}), "");
    EXPECT_EQ(GetLunarDateText(LunarDate{3, 1, 1, 0}), "");
    EXPECT_EQ(GetLunarDateText(LunarDate{2024, 13, 1, 0}), "");
    EXPECT_EQ(GetLunarDateText(LunarDate{2024, -1, 1, 0}), "");
    EXPECT_EQ(GetLunarDateText(LunarDate{2024, 1, 31, 0}), "");
    EXPECT_EQ(GetLunarDateText(LunarDate{2024, 1, -1, 0}), "");
    EXPECT_EQ(GetLunarDateText(LunarDate{INT_MIN, 1, 1, 0}), "");
    EXPECT_FALSE(GetLunarDateText(LunarDate{INT_MAX, 12, 30, 1}).empty());
}

TEST(Festivals, Lookups) {
    EXPECT_EQ(FindSolarFestival("1001"), "国庆节");
    EXPECT_EQ(FindSolarFestival("1225"), "圣诞节");
    EXPECT_EQ(FindSolarFestival("0102"), "");
    EXPECT_EQ(FindSolarFestival(""), "");
    EXPECT_EQ(FindLunarFestival("0815"), "中秋");
    EXPECT_EQ(FindLunarFestival("1230"), "除夕");
    EXPECT_EQ(FindLunarFestival("1229"), "");
}

TEST(DayLabel, FestivalsTermsAndTheirPriority) {
    struct Case {
        int y, m, d;
        const char* text;
        DayLabelKind kind;
    } cases[] = {
        {2024, 2, 10, "春节", LabelFestival},
        {2024, 2, 14, "情人节", LabelFestival},
        {2010, 2, 14, "春节/情人节", LabelFestival},
        {2015, 2, 19, "雨水", LabelTerm},            // 春节 too, but the term wins
        {2024, 6, 16, "父亲节", LabelFestival},
        {2024, 5, 12, "母亲节", LabelFestival},
        {2020, 6, 21, "夏至/父亲节", LabelTerm},
        {1991, 6, 16, "端午/父亲节", LabelFestival},
        {2024, 9, 17, "中秋", LabelFestival},
        {2024, 10, 1, "国庆节", LabelFestival},
        {2024, 12, 21, "冬至", LabelTerm},
        {2024, 2, 9, "除夕", LabelFestival},          // lunar 2023-12-30
        {2023, 1, 1, "元旦", LabelFestival},
        {2023, 8, 22, "七夕", LabelFestival},
        {2024, 2, 24, "元宵", LabelFestival},
    };
    for (const Case& c : cases) {
        const DayLabel label = Label(c.y, c.m, c.d);
        EXPECT_EQ(label.text, c.text) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(label.kind, c.kind) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(DayLabel, LunarDaysAndMonthNames) {
    struct Case {
        int y, m, d;
        const char* text;
    } cases[] = {
        {2024, 3, 24, "十五"},  // lunar 02-15
        {2024, 3, 29, "二十"},  // lunar 02-20
        {2024, 3, 30, "廿一"},  // lunar 02-21
        {2024, 3, 10, "二月"},  // lunar 02-01
        {2023, 3, 22, "闰二"},  // first day of the leap second month
        {2023, 12, 13, "十一月"},  // lunar 11-01
        {2024, 1, 11, "腊月"},  // lunar 12-01
        {2024, 2, 11, "初二"},
    };
    for (const Case& c : cases) {
        const DayLabel label = Label(c.y, c.m, c.d);
        EXPECT_EQ(label.text, c.text) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(label.kind, LabelLunarDay) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(DayLabel, LeapTenthMonthIsCutToTwoCharacters) {
    int found = 0;
    for (int n = GetDayNumber(1900, 1, 31); n <= GetDayNumber(2050, 1, 22); ++n) {
        const SolarDate day = AbsoluteDayToDate(n + 693960);
        const LunarDate lunar = SolarToLunar(day);
        if (lunar.bLeap && lunar.nDay == 1 && lunar.nMonth >= 10) {
            EXPECT_EQ(Label(day.nYear, day.nMonth, day.nDay).text, "闰十");
            ++found;
        }
    }
    EXPECT_GT(found, 0);
}

TEST(DayLabel, NewYearsEveOnTheLastDayOfEveryYear) {
    // 除夕 is the last day of the twelfth month, the 29th in the 56 years whose
    // twelfth month is short (unless a term takes the day).
    int shortYears = 0;
    for (int n = GetDayNumber(1900, 1, 31); n <= GetDayNumber(2050, 1, 22); ++n) {
        const SolarDate day = AbsoluteDayToDate(n + 693960);
        const LunarDate lunar = SolarToLunar(day);
        if (lunar.nMonth != 12 || lunar.bLeap || lunar.nDay < 29) continue;
        const DayLabel label = Label(day.nYear, day.nMonth, day.nDay);
        const int length = GetLunarMonthDays(lunar.nYear, 12);
        if (lunar.nDay == 29 && length == 29) ++shortYears;
        if (label.kind == LabelTerm) continue;
        const bool eve = label.text.find("除夕") != std::string::npos;
        EXPECT_EQ(eve, lunar.nDay == length) << day.nYear << "-" << day.nMonth << "-" << day.nDay;
    }
    EXPECT_EQ(shortYears, 56);
}

TEST(DayLabel, DaysWithoutALunarDateAreEmpty) {
    // January 1900 before the lunar new year and 2050 after the table: empty, even for
    // terms (小寒 1900-01-06) and Gregorian festivals (元旦).
    for (auto [y, m, d] : {std::tuple{1900, 1, 1}, {1900, 1, 6}, {1900, 1, 30}, {2050, 1, 23},
                           {2050, 10, 1}, {1899, 12, 25}, {9999, 13, 1}, {2024, 1, -400000}}) {
        const DayLabel label = GetDayLabel(y, m, d, GetFirstWeekday(y, m));
        EXPECT_EQ(label.text, "") << y << "-" << m << "-" << d;
        EXPECT_EQ(label.kind, LabelLunarDay);
    }
    EXPECT_EQ(Label(1900, 1, 31).text, "春节");
    EXPECT_EQ(Label(2050, 1, 20).text, "大寒");
}

TEST(DayLabel, EveryDayOfTheRangeHasAShortLabel) {
    for (int n = GetDayNumber(1900, 1, 31); n <= GetDayNumber(2050, 1, 22); ++n) {
        const SolarDate day = AbsoluteDayToDate(n + 693960);
        const DayLabel label = Label(day.nYear, day.nMonth, day.nDay);
        ASSERT_FALSE(label.text.empty()) << day.nYear << "-" << day.nMonth << "-" << day.nDay;
        ASSERT_LE(label.text.size(), 18u);  // e.g. 春节/情人节/父亲节 never happens, but bounded
    }
}

TEST(Gbk, CutsNeverSplitACharacter) {
    const std::string text = "Tavimor\r\n公历:2024年";
    EXPECT_EQ(GbkLeft("十一月", 2), "十一");
    EXPECT_EQ(GbkLeft("ab十", 3), "ab十");
    EXPECT_EQ(GbkLeft("ab", 5), "ab");
    EXPECT_EQ(GbkCutBytes("ab十一", 3), "ab");
    EXPECT_EQ(GbkCutBytes("ab十一", 4), "ab十");
    EXPECT_EQ(GbkCutBytes("ab十一", 100), "ab十一");
    EXPECT_EQ(GbkCutBytes("十", 1), "");
    EXPECT_EQ(GbkCutBytes(std::string("a\x81"), 2), std::string("a\x81"));  // lone lead byte at the end
}

TEST(DayLabel, AbsurdWeekdayArgumentsStayDefined) {
    // Only the weekday of the month's first day picks Mother's and Father's Day;
    // an extreme value must not overflow on the way.
    EXPECT_EQ(GetDayLabel(2024, 5, 12, INT_MIN).kind, LabelLunarDay);
    EXPECT_EQ(GetDayLabel(2024, 6, 16, INT_MAX).kind, LabelLunarDay);
    EXPECT_EQ(GetDayLabel(2024, 5, 12, 3).text, "母亲节");
}
