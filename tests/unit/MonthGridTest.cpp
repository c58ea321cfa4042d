// The contents and colours of a month grid.
#include <gtest/gtest.h>

#include "view/MonthGrid.h"

TEST(MonthGrid, CellsAndRows) {
    struct Case {
        int y, m, first, days, rows;
    } cases[] = {
        {2023, 1, 0, 31, 5},  // starts on Sunday: no empty cell
        {2015, 2, 0, 28, 4},  // exactly four rows
        {2023, 7, 6, 31, 6},  // Saturday start, 31 days: six rows
        {2024, 6, 6, 30, 6},
        {2024, 2, 4, 29, 5},
    };
    for (const Case& c : cases) {
        const MonthGrid grid = BuildMonthGrid(c.y, c.m, 1, 2000, 1);
        EXPECT_EQ(grid.nFirstWeekday, c.first);
        EXPECT_EQ(grid.nDayCount, c.days);
        EXPECT_EQ(grid.nCellCount, c.first + c.days);
        EXPECT_EQ(grid.nRows, c.rows) << c.y << "-" << c.m;
        ASSERT_EQ(grid.cells.size(), static_cast<size_t>(c.first + c.days));
        for (int i = 0; i < grid.nCellCount; ++i) {
            const MonthCell& cell = grid.cells[i];
            if (i < c.first) {
                EXPECT_EQ(cell.nDay, 0);
                EXPECT_EQ(cell.strDayText, "");
                EXPECT_EQ(cell.label.text, "");
            } else {
                EXPECT_EQ(cell.nDay, i - c.first + 1);
                EXPECT_EQ(cell.strDayText, std::to_string(cell.nDay));
            }
        }
        EXPECT_EQ(grid.cells.back().nDay, c.days);  // the last row ends with the last day
    }
    const MonthGrid july = BuildMonthGrid(2023, 7, 1, 2000, 1);
    EXPECT_EQ(july.cells[35].nDay, 30);
    EXPECT_EQ(july.cells[36].nDay, 31);
}

TEST(MonthGrid, DayColours) {
    // June 2024 starts on Saturday: day 1 black in column 6, day 2 red in column 0.
    const MonthGrid june = BuildMonthGrid(2024, 6, 15, 2000, 1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(june.cells[i].nDay, 0);
    EXPECT_EQ(june.cells[6].nDay, 1);
    EXPECT_EQ(june.cells[6].crDay, kColorBlack);
    EXPECT_EQ(june.cells[7].nDay, 2);
    EXPECT_EQ(june.cells[7].crDay, kColorRed);
    EXPECT_EQ(june.cells[8].crDay, kColorBlack);

    // Today in the Sunday column is magenta; its label keeps its own colour.
    const MonthGrid today = BuildMonthGrid(2024, 6, 16, 2024, 6);
    const MonthCell& cell = today.cells[6 + 15];
    EXPECT_EQ(cell.nDay, 16);
    EXPECT_EQ(cell.crDay, kColorMagenta);
    EXPECT_EQ(cell.label.text, "父亲节");
    EXPECT_EQ(cell.crLabel, kColorRed);
    int magenta = 0;
    for (const MonthCell& c : today.cells) magenta += c.crDay == kColorMagenta;
    EXPECT_EQ(magenta, 1);

    // The same month of another year, or another month: no day is today.
    for (const MonthGrid& other : {BuildMonthGrid(2023, 6, 16, 2024, 6), BuildMonthGrid(2024, 7, 16, 2024, 6)}) {
        for (const MonthCell& c : other.cells) EXPECT_NE(c.crDay, kColorMagenta);
    }
}

TEST(MonthGrid, LabelColoursByKind) {
    const MonthGrid grid = BuildMonthGrid(2024, 2, 1, 2000, 1);
    const int w = grid.nFirstWeekday;
    EXPECT_EQ(grid.cells[w + 3].label.text, "立春");
    EXPECT_EQ(grid.cells[w + 3].crLabel, kColorTermGreen);
    EXPECT_EQ(grid.cells[w + 9].label.text, "春节");
    EXPECT_EQ(grid.cells[w + 9].crLabel, kColorRed);
    EXPECT_EQ(grid.cells[w + 10].label.text, "初二");
    EXPECT_EQ(grid.cells[w + 10].crLabel, kColorBlack);
    EXPECT_EQ(kColorTermGreen, 0x00C800u);  // COLORREF layout: 0x00BBGGRR
    EXPECT_EQ(kColorMagenta, 0xFF00FFu);
    EXPECT_EQ(kColorRed, 0x0000FFu);
}

TEST(MonthGrid, WeekdayHeader) {
    const MonthGrid grid = BuildMonthGrid(2024, 3, 1, 2024, 3);
    const char* names[7] = {"日", "一", "二", "三", "四", "五", "六"};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(grid.header[k].text, names[k]);
        EXPECT_EQ(grid.header[k].cr, k == 0 ? kColorRed : kColorBlack);
    }
}

TEST(MonthGrid, HeaderYearFollowsTheViewDay) {
    EXPECT_EQ(BuildMonthGrid(2024, 1, 15, 2024, 1).strYearText, "兔(癸卯)年");
    EXPECT_EQ(BuildMonthGrid(2024, 3, 15, 2024, 3).strYearText, "龙(甲辰)年");
    EXPECT_EQ(BuildMonthGrid(2024, 2, 9, 2024, 2).strYearText, "兔(癸卯)年");
    EXPECT_EQ(BuildMonthGrid(2024, 2, 10, 2024, 2).strYearText, "龙(甲辰)年");
    // February has no 31st: the view day counts on to 2024-03-02, in the new year.
    EXPECT_EQ(BuildMonthGrid(2024, 1, 31, 2024, 1).strYearText, "兔(癸卯)年");
    EXPECT_EQ(BuildMonthGrid(2024, 2, 31, 2024, 1).strYearText, "龙(甲辰)年");
    // 2023-01-21 is New Year's Eve of 壬寅; 2023-01-22 starts 癸卯.
    EXPECT_EQ(BuildMonthGrid(2023, 1, 21, 2024, 1).strYearText, "虎(壬寅)年");
    EXPECT_EQ(BuildMonthGrid(2023, 1, 22, 2024, 1).strYearText, "兔(癸卯)年");
}

TEST(MonthGrid, MonthsBeyondTheTableStillHaveTheirDays) {
    for (auto [y, m] : {std::pair{1899, 12}, {1900, 1}, {2050, 1}, {2050, 2}}) {
        const MonthGrid grid = BuildMonthGrid(y, m, 10, 2024, 1);
        EXPECT_EQ(grid.nDayCount, LunarCalendar::GetDaysInMonth(y, m));
        EXPECT_EQ(static_cast<int>(grid.cells.size()), grid.nCellCount);
    }
    EXPECT_EQ(BuildMonthGrid(1899, 12, 10, 2024, 1).strYearText, "");
    EXPECT_EQ(BuildMonthGrid(2050, 2, 10, 2024, 1).strYearText, "");
    const MonthGrid jan1900 = BuildMonthGrid(1900, 1, 10, 2024, 1);
    EXPECT_EQ(jan1900.strYearText, "");  // 1900-01-10 is before the first lunar day
    EXPECT_EQ(jan1900.cells[jan1900.nFirstWeekday + 29].label.text, "");
    EXPECT_EQ(jan1900.cells[jan1900.nFirstWeekday + 30].label.text, "春节");
    const MonthGrid bad = BuildMonthGrid(2024, 13, 10, 2024, 1);
    EXPECT_EQ(bad.nCellCount, 0);
    EXPECT_TRUE(bad.cells.empty());
}

TEST(MonthGrid, MonthNames) {
    EXPECT_EQ(GetMonthName(1), "一月");
    EXPECT_EQ(GetMonthName(11), "十一月");
    EXPECT_EQ(GetMonthName(12), "十二月");
    EXPECT_EQ(GetMonthName(0), "");
    EXPECT_EQ(GetMonthName(13), "");
}
