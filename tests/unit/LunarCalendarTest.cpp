// Day counting, the lunar conversion and the solar terms: worked examples,
// properties over the whole table, and a seeded run over arbitrary arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "engine/LunarCalendar.h"
#include "view/MonthGrid.h"

using namespace LunarCalendar;

// In the global namespace, where argument-dependent lookup finds them for LunarDate.
static bool operator==(const LunarDate& a, const LunarDate& b) {
    return a.nYear == b.nYear && a.nMonth == b.nMonth && a.nDay == b.nDay && a.bLeap == b.bLeap;
}
static std::ostream& operator<<(std::ostream& os, const LunarDate& d) {
    return os << d.nYear << "-" << d.nMonth << "-" << d.nDay << (d.bLeap ? " leap" : "");
}

namespace {

// The lunar day after l by the table: the next day of the month, else the leap
// month that repeats this one, else the next month, else the next year's first.
LunarDate NextLunarDay(const LunarDate& l) {
    const int length = l.bLeap ? GetLeapMonthDays(l.nYear) : GetLunarMonthDays(l.nYear, l.nMonth);
    if (l.nDay < length) return LunarDate{l.nYear, l.nMonth, l.nDay + 1, l.bLeap};
    if (!l.bLeap && GetLeapMonth(l.nYear) == l.nMonth) return LunarDate{l.nYear, l.nMonth, 1, 1};
    if (l.nMonth < 12) return LunarDate{l.nYear, l.nMonth + 1, 1, 0};
    return LunarDate{l.nYear + 1, 1, 1, 0};
}

// The rows of a table in engine/data: tab-separated, without comments and header.
std::vector<std::vector<std::string>> DataRows(const char* name) {
    std::ifstream in(std::string(QUORVEL_DATA_DIR "/") + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    for (bool header = true; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || std::exchange(header, false)) continue;
        std::istringstream fields(line);
        rows.emplace_back();
        for (std::string f; std::getline(fields, f, '\t');) rows.back().push_back(f);
    }
    return rows;
}

// "2050-01-23" as an absolute day.
int AbsoluteDayOf(const std::string& date) {
    return GetAbsoluteDay(std::stoi(date.substr(0, 4)), std::stoi(date.substr(5, 2)), std::stoi(date.substr(8, 2)));
}

}  // namespace

TEST(Gregorian, WorkedExamples) {
    EXPECT_EQ(GetDayNumber(1900, 1, 1), 1);  // a Monday: the weekdays below count from it
    EXPECT_EQ(GetAbsoluteDay(1900, 1, 6), 693966);
    EXPECT_EQ(GetDayNumber(2024, 2, 31), GetDayNumber(2024, 3, 2));  // days count on
    for (auto [y, leap] : {std::pair{1900, 0}, {2000, 1}, {2024, 1}, {2023, 0}}) {
        EXPECT_EQ(IsLeapYear(y), leap) << y;
        EXPECT_EQ(GetDaysInMonth(y, 2), 28 + leap) << y;
    }
}

TEST(Gregorian, CountsWeekdaysAndDatesAgreeOverCenturies) {
    for (int y = 1600; y <= 2400; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int first = GetDayNumber(y, m, 1);
            ASSERT_EQ(GetFirstWeekday(y, m), (first % 7 + 7) % 7) << y << "-" << m;  // 1900-01-01: Monday
            const int next = m == 12 ? GetDayNumber(y + 1, 1, 1) : GetDayNumber(y, m + 1, 1);
            ASSERT_EQ(next - first, GetDaysInMonth(y, m)) << y << "-" << m;
            for (int d = 1; d <= GetDaysInMonth(y, m); ++d) {
                const SolarDate back = AbsoluteDayToDate(GetAbsoluteDay(y, m, d));
                ASSERT_TRUE(back.nYear == y && back.nMonth == m && back.nDay == d) << y << "-" << m << "-" << d;
            }
        }
    }
}

TEST(SolarToLunar, WorkedExamples) {
    const struct { int y, m, d; LunarDate lunar; } cases[] = {
        {1900, 1, 31, {1900, 1, 1, 0}},   {1900, 2, 28, {1900, 1, 29, 0}},  {1902, 2, 7, {1901, 12, 29, 0}},
        {2024, 2, 9, {2023, 12, 30, 0}},  {2024, 2, 10, {2024, 1, 1, 0}},   {2024, 1, 40, {2023, 12, 30, 0}},
        {2023, 3, 21, {2023, 2, 30, 0}},  {2023, 3, 22, {2023, 2, 1, 1}},   {2023, 4, 19, {2023, 2, 29, 1}},
        {2023, 4, 20, {2023, 3, 1, 0}},   {2049, 12, 31, {2049, 12, 7, 0}}, {2050, 1, 22, {2049, 12, 29, 0}},
        // The months of the years that follow the new moons in UTC+8.
        {1933, 7, 22, {1933, 5, 30, 1}},  {1954, 11, 25, {1954, 11, 1, 0}}, {1956, 12, 2, {1956, 11, 1, 0}},
        {1978, 9, 2, {1978, 7, 30, 0}},   {1996, 7, 15, {1996, 5, 30, 0}},  {1996, 7, 16, {1996, 6, 1, 0}},
        {1996, 9, 12, {1996, 7, 30, 0}},  {2033, 8, 25, {2033, 8, 1, 0}},   {2033, 9, 8, {2033, 8, 15, 0}},
        {2033, 12, 22, {2033, 11, 1, 1}}, {2034, 1, 19, {2033, 11, 29, 1}}, {2034, 1, 20, {2033, 12, 1, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(SolarToLunar({c.y, c.m, c.d}), c.lunar) << c.y << "-" << c.m << "-" << c.d;
}

TEST(SolarToLunar, EveryDayStepsToTheNextLunarDay) {
    const int first = GetAbsoluteDay(1900, 1, 31), last = GetAbsoluteDay(2101, 1, 28);
    EXPECT_EQ(SolarToLunar(AbsoluteDayToDate(first - 1)), (LunarDate{0, 0, 0, 0}));
    EXPECT_EQ(SolarToLunar(AbsoluteDayToDate(last + 1)), (LunarDate{0, 0, 0, 0}));
    LunarDate expected{1900, 1, 1, 0};
    for (int n = first; n <= last; ++n) {
        const SolarDate day = AbsoluteDayToDate(n);
        const LunarDate got = SolarToLunar(day);
        ASSERT_EQ(got, expected) << day.nYear << "-" << day.nMonth << "-" << day.nDay;
        if (got.nMonth == 1 && got.nDay == 1) {  // every lunar new year falls in 01-21 .. 02-20
            const int mmdd = day.nMonth * 100 + day.nDay;
            ASSERT_TRUE(mmdd >= 121 && mmdd <= 220 && day.nYear == got.nYear) << got.nYear;
        }
        expected = NextLunarDay(got);
    }
    EXPECT_EQ(expected, (LunarDate{2101, 1, 1, 0}));
}

// Every lunar month 2050..2100 starts and ends where the data puts it, except on
// the days where two month starts hang on how Earth's rotation slows.
TEST(LunarTable, EveryMonthFrom2050AsTheDataGivesIt) {
    const int uncertain[] = {GetAbsoluteDay(2057, 9, 28), GetAbsoluteDay(2057, 9, 29), GetAbsoluteDay(2097, 8, 7),
                             GetAbsoluteDay(2097, 8, 8)};
    const auto expect = [&](int day, const LunarDate& lunar) {
        if (std::find(std::begin(uncertain), std::end(uncertain), day) != std::end(uncertain)) return;
        EXPECT_EQ(SolarToLunar(AbsoluteDayToDate(day)), lunar);
    };
    const auto rows = DataRows("lunar-2050-2100.tsv");
    ASSERT_EQ(rows.size(), 51u);
    for (const auto& row : rows) {
        const int y = std::stoi(row[0]);
        EXPECT_TRUE(GetLunarYearDays(y) == std::stoi(row[5]) && GetLeapMonth(y) == std::stoi(row[2])) << y;
        std::istringstream lengths(row[3]), months(row[6]);
        int start = AbsoluteDayOf(row[4]);
        for (std::string length, month; std::getline(lengths, length, ',') && std::getline(months, month, ',');) {
            const int m = std::stoi(month.substr(month[0] == 'L')), leap = month[0] == 'L', days = std::stoi(length);
            expect(start, {y, m, 1, leap});
            expect(start + days - 1, {y, m, days, leap});
            start += days;
        }
    }
}

// Every term day 2050..2100 as the data gives it, and no other day with a term;
// 2084's 春分 (a minute before midnight, hanging on Earth's rotation) on either day.
TEST(SolarTerms, EveryTermFrom2050AsTheDataGivesIt) {
    const auto rows = DataRows("solar-term-days-2050-2100.tsv");
    ASSERT_EQ(rows.size(), 51u * 24);
    for (const auto& row : rows) {
        const int y = std::stoi(row[0]), term = std::stoi(row[1]), day = AbsoluteDayOf(row[3]);
        const SolarDate date = AbsoluteDayToDate(day), next = AbsoluteDayToDate(day + 1);
        const bool found = FindSolarTerm(date.nYear, date.nMonth, date.nDay) == term;
        if (y == 2084 && term == 5) {
            EXPECT_TRUE(found || FindSolarTerm(next.nYear, next.nMonth, next.nDay) == term);
        } else {
            EXPECT_TRUE(found && std::floor(GetSolarTermDay(y, term)) == day) << row[3];
        }
    }
    int termDays = 0;
    for (int n = GetAbsoluteDay(2050, 1, 1); n < GetAbsoluteDay(2101, 1, 1); ++n) {
        const SolarDate date = AbsoluteDayToDate(n);
        termDays += FindSolarTerm(date.nYear, date.nMonth, date.nDay) >= 0;
    }
    EXPECT_EQ(termDays, 51 * 24);
}

TEST(SolarTerms, KnownDays) {
    const struct { int year; const char* name; int mmdd; } days[] = {
        {1900, "小寒", 106}, {1900, "春分", 321}, {1900, "冬至", 1222}, {2024, "立春", 204}, {2024, "惊蛰", 305},
        {2024, "清明", 404}, {2024, "立秋", 807}, {2024, "秋分", 922}, {2024, "冬至", 1221}, {2025, "小寒", 105},
        {2025, "谷雨", 420}, {2025, "小满", 521}, {2025, "小暑", 707}, {2049, "大寒", 119}, {2049, "冬至", 1221},
        // Days the mean-year formula misses by a midnight, first and last of them too.
        {1935, "芒种", 606}, {1942, "大寒", 121}, {2023, "夏至", 621}, {2023, "霜降", 1024}, {2026, "芒种", 605},
        {2048, "夏至", 620}, {2049, "大雪", 1207},
    };
    for (const auto& t : days) {
        const auto isName = [&](const char* name) { return std::strcmp(name, t.name) == 0; };
        const int index = std::find_if(g_szSolarTerm, g_szSolarTerm + 24, isName) - g_szSolarTerm;
        const int m = t.mmdd / 100, d = t.mmdd % 100;
        EXPECT_EQ(FindSolarTerm(t.year, m, d), index) << t.year << " " << t.mmdd;
        EXPECT_TRUE(FindSolarTerm(t.year, m, d - 1) == -1 && FindSolarTerm(t.year, m, d + 1) == -1) << t.year;
        // The instant lies on the day the term is found on.
        EXPECT_EQ(static_cast<int>(GetSolarTermDay(t.year, index)), GetAbsoluteDay(t.year, m, d)) << t.year;
    }
}

TEST(SolarTerms, EveryYearHasEachTermOnceInItsDays) {
    const int lo[24] = {5, 19, 3, 18, 5, 20, 4, 19, 5, 20, 5, 20, 6, 22, 7, 22, 7, 22, 7, 23, 7, 21, 6, 21};
    const int hi[24] = {7, 21, 5, 20, 7, 22, 6, 21, 7, 22, 7, 22, 8, 24, 9, 24, 9, 24, 9, 24, 8, 23, 8, 23};
    for (int y = 1900; y <= 2049; ++y) {
        for (int m = 1; m <= 12; ++m) {
            int found[2] = {0, 0};
            for (int d = 1; d <= GetDaysInMonth(y, m); ++d) {
                const int t = FindSolarTerm(y, m, d);
                if (t < 0) continue;
                ASSERT_TRUE(t / 2 == m - 1 && d >= lo[t] && d <= hi[t]) << y << "-" << m << "-" << d;
                ++found[t % 2];
            }
            ASSERT_TRUE(found[0] == 1 && found[1] == 1) << y << "-" << m;
        }
    }
}

namespace {

// A GBK character: one byte, or a lead byte 0x81..0xFE with the byte after it
// (a lead byte at the very end stands alone).
bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x81 && static_cast<unsigned char>(c) <= 0xFE; }
std::size_t CharSize(const std::string& s, std::size_t i) { return IsLead(s[i]) && i + 1 < s.size() ? 2 : 1; }

// The number of characters before byte pos, or -1 when pos splits one.
int CharsBefore(const std::string& s, std::size_t pos) {
    std::size_t i = 0;
    int n = 0;
    for (; i < pos; ++n) i += CharSize(s, i);
    return i == pos ? n : -1;
}

// No half of a double-byte character left at the end.
bool IsWhole(const std::string& s) { return s.empty() || CharsBefore(s, s.size() - 1) < 0 || !IsLead(s.back()); }

}  // namespace

// What a fuzzer would pass: arbitrary and extreme 32-bit arguments. No call may
// read outside a table or overflow (the sanitizer build runs this too), and the
// answers keep the calendar's rules.
TEST(RandomArguments, EveryCallKeepsTheRules) {
    std::mt19937 rng(20240610);
    const int edges[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX};
    // Half the time a value where the calendar has something to say, else any
    // 32-bit value, often an extreme one.
    auto arg = [&](int lo, int hi) {
        if (rng() % 2) return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
        return rng() % 4 == 0 ? edges[rng() % 7] : static_cast<int>(rng());
    };
    const int first = GetAbsoluteDay(1900, 1, 31), last = GetAbsoluteDay(2101, 1, 28);
    DaysOff daysOff;  // the built-in days and some of the user's, at the years the grids ask for
    daysOff.SetUserDays({{20260105, DayOffRest, ""}, {18991231, DayOffWork, ""}, {20991130, DayOffWork, ""}});
    for (int i = 0; i < 20000; ++i) {
        const int y = arg(1895, 2105), m = arg(-1, 13), d = arg(-1, 33), w = arg(0, 6);
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << y << "-" << m << "-" << d << " w " << w);
        const int dim = GetDaysInMonth(y, m), wd = GetFirstWeekday(y, m);
        ASSERT_TRUE(IsLeapYear(y) >= 0 && IsLeapYear(y) <= 1 && wd >= 0 && wd <= 6);
        ASSERT_TRUE(m < 1 || m > 12 ? dim == 0 : dim >= 28 && dim <= 31);
        ASSERT_TRUE(m < 1 || m > 11 || GetFirstWeekday(y, m + 1) == (wd + dim) % 7);
        ASSERT_EQ(GetMonthName(m).empty(), dim == 0);

        // Any absolute day is a date that counts back to it; dates round-trip.
        const int a = arg(first - 400, last + 400);
        const SolarDate date = AbsoluteDayToDate(a);
        ASSERT_TRUE(date.nDay >= 1 && date.nDay <= GetDaysInMonth(date.nYear, date.nMonth)) << a;
        ASSERT_EQ(GetAbsoluteDay(date.nYear, date.nMonth, date.nDay), a);
        const bool countable = dim > 0 && y > -5000000 && y < 5000000;  // its day counts fit an int
        const bool isDate = countable && d >= 1 && d <= dim;
        const SolarDate back = AbsoluteDayToDate(GetAbsoluteDay(y, m, d));
        ASSERT_TRUE(!isDate || (back.nYear == y && back.nMonth == m && back.nDay == d));

        // A lunar date is in the table or all zero; the next day is the next lunar day.
        const LunarDate l = SolarToLunar({y, m, d});
        const bool none = l == LunarDate{0, 0, 0, 0};
        const int length = l.bLeap ? GetLeapMonthDays(l.nYear) : GetLunarMonthDays(l.nYear, l.nMonth);
        ASSERT_TRUE(none || (l.nYear >= 1900 && l.nYear <= 2100 && l.nDay >= 1 && l.nDay <= length)) << l;
        ASSERT_TRUE(l.bLeap == 0 || (l.bLeap == 1 && GetLeapMonth(l.nYear) == l.nMonth)) << l;
        if (isDate) {
            const int abs = GetAbsoluteDay(y, m, d);
            ASSERT_EQ(none, abs < first || abs > last);
            ASSERT_TRUE(none || abs == last || SolarToLunar(AbsoluteDayToDate(abs + 1)) == NextLunarDay(l));
        } else if (countable) {  // a day outside its month is the day it counts on to
            const long long abs = GetAbsoluteDay(y, m, 1) - 1LL + d;
            ASSERT_TRUE(abs < INT_MIN || abs > INT_MAX || SolarToLunar(AbsoluteDayToDate(static_cast<int>(abs))) == l);
        }

        // The table answers 0 outside itself; texts exist exactly for valid parts.
        const int ly = arg(1895, 2105), lm = arg(-1, 13), ld = arg(-1, 31), leap = arg(0, 1);
        const bool inTable = ly >= 1900 && ly <= 2100;
        const int monthDays = GetLunarMonthDays(ly, lm), yearDays = GetLunarYearDays(ly);
        ASSERT_TRUE(inTable && lm >= 1 && lm <= 12 ? monthDays == 29 || monthDays == 30 : monthDays == 0);
        ASSERT_TRUE(inTable ? yearDays >= 353 && yearDays <= 385
                            : yearDays == 0 && GetLeapMonth(ly) == 0 && GetLeapMonthDays(ly) == 0);
        const std::string text = GetLunarDateText({ly, lm, ld, leap});
        ASSERT_EQ(text.empty(), ly < 4 || lm < 0 || lm > 12 || ld < 0 || ld > 30);
        ASSERT_TRUE(text.size() <= 22 && IsWhole(text)) << text.size();

        // Terms lie on their instant's day and, for ten thousand years, in their month.
        const int t = arg(-1, 24), term = FindSolarTerm(y, m, d);
        ASSERT_EQ(GetSolarTermDay(y, t) == 0.0, t < 0 || t > 23);
        ASSERT_TRUE(term < 0 || y < 1 || y > 9999 ||
                    (term / 2 == m - 1 && static_cast<long long>(GetSolarTermDay(y, term)) == GetAbsoluteDay(y, m, d)));

        // Labels fit their cell and whole characters; a term's day shows the term.
        for (const int weekday : {w, wd}) {
            const DayLabel label = GetDayLabel(y, m, d, weekday);
            ASSERT_TRUE(label.text.size() <= 18 && IsWhole(label.text)) << label.text.size();
            ASSERT_EQ(label.text.empty(), none);
            ASSERT_EQ(label.kind == LabelTerm, !none && term >= 0);
        }

        // Cuts keep whole characters, and as many as fit.
        std::string s;
        for (unsigned k = rng() % 13; k > 0; --k) s += static_cast<char>(rng() % 3 ? 0x80 + rng() % 0x80 : rng() % 0x80);
        const std::size_t bytes = static_cast<unsigned>(arg(0, 14));
        const std::string cut = GbkCutBytes(s, bytes);
        ASSERT_TRUE(cut.size() <= bytes && s.compare(0, cut.size(), cut) == 0 && CharsBefore(s, cut.size()) >= 0);
        ASSERT_TRUE(cut.size() == s.size() || cut.size() + CharSize(s, cut.size()) > bytes);
        const int chars = arg(-1, 8);
        const std::string left = GbkLeft(s, chars);
        ASSERT_EQ(s.compare(0, left.size(), left), 0);
        ASSERT_EQ(CharsBefore(s, left.size()), std::clamp(chars, 0, CharsBefore(s, s.size())));

        // A grid: the leading blanks, then one cell per day; today only when shown.
        const int viewDay = arg(0, 32), nowY = rng() % 2 ? y : arg(1895, 2105), nowM = rng() % 2 ? m : arg(0, 13);
        const MonthGrid grid = BuildMonthGrid(y, m, viewDay, nowY, nowM, &daysOff);
        ASSERT_EQ(grid.nCellCount, dim ? wd + dim : 0);
        ASSERT_EQ(grid.nFirstWeekday, wd);
        ASSERT_EQ(grid.cells.size(), static_cast<std::size_t>(grid.nCellCount));
        ASSERT_EQ(grid.nRows, (grid.nCellCount + 6) / 7);
        int today = 0;
        for (int k = 0; k < grid.nCellCount; ++k) {
            const MonthCell& cell = grid.cells[k];
            const int day = k < wd ? 0 : k - wd + 1;
            ASSERT_EQ(cell.nDay, day);
            ASSERT_EQ(cell.strDayText, day ? std::to_string(day) : "");
            ASSERT_EQ(cell.label.text, day ? GetDayLabel(y, m, day, wd).text : "");
            today += cell.crDay == kColorMagenta;
        }
        ASSERT_EQ(today, y == nowY && m == nowM && viewDay >= 1 && viewDay <= dim ? 1 : 0);
        const std::string full = GetLunarDateText(SolarToLunar({y, m, viewDay}));
        ASSERT_EQ(grid.strYearText, full.substr(0, std::min<std::size_t>(full.size(), 10)));  // 龙(甲辰)年
    }
}
