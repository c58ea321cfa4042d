// Lunar texts, festivals and the label under each day number.
#include <gtest/gtest.h>

#include <climits>

#include "engine/LunarCalendar.h"

using namespace LunarCalendar;

namespace {
DayLabel Label(int y, int m, int d) { return GetDayLabel(y, m, d, GetFirstWeekday(y, m)); }
}  // namespace

TEST(LunarText, TextsAndWhereTheyStop) {
    const struct { LunarDate date; const char* text; } cases[] = {
        {{2024, 1, 1, 0}, "龙(甲辰)年正月初一"},   {{2023, 2, 15, 1}, "兔(癸卯)年闰二月十五"},
        {{2023, 11, 20, 0}, "兔(癸卯)年十一月二十"}, {{2023, 12, 30, 0}, "兔(癸卯)年腊月三十"},
        {{1900, 8, 21, 1}, "鼠(庚子)年闰八月廿一"}, {{1984, 10, 10, 0}, "鼠(甲子)年十月初十"},
        {{2044, 1, 1, 0}, "鼠(甲子)年正月初一"},    {{4, 1, 1, 0}, "鼠(甲子)年正月初一"},
        {{3, 1, 1, 0}, ""},       {{2024, 13, 1, 0}, ""}, {{2024, -1, 1, 0}, ""},
        {{2024, 1, 31, 0}, ""},   {{2024, 1, -1, 0}, ""}, {{INT_MIN, 1, 1, 0}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(GetLunarDateText(c.date), c.text) << c.date.nYear;
}

TEST(Festivals, LookupsReachEveryRow) {
    EXPECT_EQ(FindSolarFestival("0101"), "元旦");
    EXPECT_EQ(FindSolarFestival("1225"), "圣诞节");
    EXPECT_EQ(FindLunarFestival("0101"), "春节");
    EXPECT_EQ(FindLunarFestival("1230"), "除夕");
    EXPECT_TRUE(FindSolarFestival("0102").empty() && FindLunarFestival("").empty());
}

TEST(DayLabel, WorkedExamples) {
    const struct { int y, m, d; const char* text; DayLabelKind kind; } cases[] = {
        {2024, 2, 10, "春节", LabelFestival},       {2024, 2, 14, "情人节", LabelFestival},
        {2010, 2, 14, "春节/情人节", LabelFestival}, {2015, 2, 19, "雨水", LabelTerm},  // 春节 too
        {2024, 6, 16, "父亲节", LabelFestival},     {2024, 5, 12, "母亲节", LabelFestival},
        {2020, 6, 21, "夏至/父亲节", LabelTerm},    {1991, 6, 16, "端午/父亲节", LabelFestival},
        {2024, 9, 17, "中秋", LabelFestival},       {2024, 10, 1, "国庆节", LabelFestival},
        {2024, 2, 24, "元宵", LabelFestival},       {2023, 8, 22, "七夕", LabelFestival},
        {2024, 2, 9, "除夕", LabelFestival},        {2025, 1, 28, "除夕", LabelFestival},  // 12-29
        {2026, 2, 16, "除夕", LabelFestival},       {2019, 2, 4, "立春", LabelTerm},      // also 除夕
        {2024, 3, 24, "十五", LabelLunarDay},       {2024, 3, 29, "二十", LabelLunarDay},
        {2024, 3, 30, "廿一", LabelLunarDay},       {2024, 2, 11, "初二", LabelLunarDay},
        {2024, 3, 10, "二月", LabelLunarDay},       {2023, 3, 22, "闰二", LabelLunarDay},
        {2023, 12, 13, "十一月", LabelLunarDay},    {2024, 1, 11, "腊月", LabelLunarDay},
        {2033, 12, 22, "闰十", LabelLunarDay},      // the first day of 闰十一月
        {2023, 6, 21, "夏至", LabelTerm},           {2023, 6, 22, "端午", LabelFestival},
        {2026, 6, 5, "芒种", LabelTerm},            {2048, 6, 20, "夏至", LabelTerm},
        {2033, 9, 8, "中秋", LabelFestival},        {1996, 7, 15, "三十", LabelLunarDay},
        {1996, 7, 16, "六月", LabelLunarDay},       {2028, 5, 28, "端午", LabelFestival},
        {2028, 6, 27, "初五", LabelLunarDay},       {2028, 6, 28, "初六", LabelLunarDay},  // leap fifth month
    };
    for (const auto& c : cases) {
        const DayLabel label = Label(c.y, c.m, c.d);
        EXPECT_EQ(label.text, c.text) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(label.kind, c.kind) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(DayLabel, EveryDayOfTheTable) {
    for (int n = GetAbsoluteDay(1900, 1, 31); n <= GetAbsoluteDay(2050, 1, 22); ++n) {
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

TEST(DayLabel, DaysWithoutALunarDateAreEmpty) {
    // Before the first lunar day and after the last: empty, even on a term (1900-01-06 小寒) or 元旦.
    for (auto [y, m, d] : {std::tuple{1900, 1, 1}, {1900, 1, 6}, {1900, 1, 30}, {2050, 1, 23}, {2050, 10, 1}}) {
        EXPECT_EQ(Label(y, m, d).text, "") << y << "-" << m << "-" << d;
    }
    EXPECT_EQ(Label(1900, 1, 31).text, "春节");
    EXPECT_EQ(Label(2050, 1, 20).text, "大寒");
}

TEST(Gbk, CutsKeepWholeCharacters) {
    EXPECT_EQ(GbkLeft("十一月", 2), "十一");
    EXPECT_EQ(GbkLeft("ab十", 3), "ab十");
    EXPECT_EQ(GbkLeft("ab", 5), "ab");
    EXPECT_EQ(GbkCutBytes("ab十一", 3), "ab");
    EXPECT_EQ(GbkCutBytes("ab十一", 4), "ab十");
    EXPECT_EQ(GbkCutBytes("十", 1), "");
    EXPECT_EQ(GbkCutBytes("a\x81", 2), "a\x81");  // a lone lead byte at the end
}
