// Lunar texts, festivals and the label under each day number.
#include <gtest/gtest.h>

#include <climits>

#include "engine/LunarCalendar.h"

using namespace LunarCalendar;

TEST(LunarText, TextsAndWhereTheyStop) {
    const struct { LunarDate date; const char* text; } cases[] = {
        {{2024, 1, 1, 0}, "龙(甲辰)年正月初一"},   {{2023, 2, 15, 1}, "兔(癸卯)年闰二月十五"},
        {{2023, 11, 20, 0}, "兔(癸卯)年十一月二十"}, {{2023, 12, 30, 0}, "兔(癸卯)年腊月三十"},
        {{1900, 8, 21, 1}, "鼠(庚子)年闰八月廿一"}, {{1984, 10, 10, 0}, "鼠(甲子)年十月初十"},
        {{2044, 1, 1, 0}, "鼠(甲子)年正月初一"},    {{4, 1, 1, 0}, "鼠(甲子)年正月初一"},
        {{3, 1, 1, 0}, ""},  // the other bounds: RandomArguments
    };
    for (const auto& c : cases) EXPECT_EQ(GetLunarDateText(c.date), c.text) << c.date.nYear;
}

TEST(DayLabel, WorkedExamples) {
    // The rules the whole-table walk below does not see: which festival falls on
    // which day, what a term or a festival does to the other, the month names.
    const struct { int y, m, d; const char* text; DayLabelKind kind; } cases[] = {
        {2024, 2, 10, "春节", LabelFestival},       {2024, 2, 14, "情人节", LabelFestival},
        {2010, 2, 14, "春节/情人节", LabelFestival}, {2015, 2, 19, "雨水", LabelTerm},  // 春节 too
        {2020, 6, 21, "夏至/父亲节", LabelTerm},    {1991, 6, 16, "端午/父亲节", LabelFestival},
        {2024, 9, 17, "中秋", LabelFestival},       {2024, 10, 1, "国庆节", LabelFestival},
        {2024, 2, 24, "元宵", LabelFestival},       {2023, 8, 22, "七夕", LabelFestival},
        {2023, 6, 22, "端午", LabelFestival},       {2019, 2, 4, "立春", LabelTerm},  // 夏至 was moved; also 除夕
        {2024, 2, 11, "初二", LabelLunarDay},       {2024, 3, 10, "二月", LabelLunarDay},
        {2023, 3, 22, "闰二", LabelLunarDay},       {2023, 12, 13, "十一月", LabelLunarDay},
        {2024, 1, 11, "腊月", LabelLunarDay},       {2033, 12, 22, "闰十", LabelLunarDay},  // first of 闰十一月
        {1900, 1, 31, "春节", LabelFestival},       {2050, 1, 20, "大寒", LabelTerm},
        {2101, 1, 28, "除夕", LabelFestival},       {2101, 1, 29, "", LabelLunarDay},  // the table's end
    };
    for (const auto& c : cases) {
        const DayLabel label = GetDayLabel(c.y, c.m, c.d, GetFirstWeekday(c.y, c.m));
        EXPECT_EQ(label.text, c.text) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(label.kind, c.kind) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(DayLabel, EveryDayOfTheTable) {
    for (int n = GetAbsoluteDay(1900, 1, 31); n <= GetAbsoluteDay(2101, 1, 28); ++n) {
        const SolarDate day = AbsoluteDayToDate(n);
        const int y = day.nYear, m = day.nMonth, d = day.nDay, w = GetFirstWeekday(y, m);
        const LunarDate lunar = SolarToLunar(day);
        const DayLabel label = GetDayLabel(y, m, d, w);
        SCOPED_TRACE(testing::Message() << y << "-" << m << "-" << d);
        ASSERT_TRUE(!label.text.empty() && label.text.size() <= 18);
        // 除夕 on the last day of each lunar year, unless a term takes that day.
        const LunarDate next = SolarToLunar(AbsoluteDayToDate(n + 1));
        const bool lastDay = (next.nMonth == 1 && next.nDay == 1 && !next.bLeap) || next.nYear == 0;
        ASSERT_EQ(label.text.find("除夕") != std::string::npos, lastDay && label.kind != LabelTerm);
        // A leap month does not repeat the lunar festivals.
        for (const char* name : g_szLunarFestival) {
            ASSERT_TRUE(!lunar.bLeap || label.text.find(name) == std::string::npos) << name;
        }
        // Mother's Day is the second Sunday of May, Father's Day the third of June.
        const bool sunday = (w + d - 1) % 7 == 0;
        ASSERT_EQ(label.text.find("母亲节") != std::string::npos, m == 5 && sunday && d >= 8 && d <= 14);
        ASSERT_EQ(label.text.find("父亲节") != std::string::npos, m == 6 && sunday && d >= 15 && d <= 21);
    }
}

TEST(DayLabel, ExtremeWeekdayArgumentsStayDefined) {
    // Only the first weekday picks Mother's and Father's Day; an extreme one
    // must not overflow on the way (a fuzzer found INT_MIN).
    EXPECT_EQ(GetDayLabel(2024, 5, 12, INT_MIN).kind, LabelLunarDay);
    EXPECT_EQ(GetDayLabel(2024, 6, 16, INT_MAX).kind, LabelLunarDay);
    EXPECT_EQ(GetDayLabel(2024, 5, 12, 3).text, "母亲节");
}
