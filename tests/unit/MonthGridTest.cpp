// The contents and colours of a month grid.
#include <gtest/gtest.h>

#include "view/MonthGrid.h"

TEST(MonthGrid, CellsAndRows) {
    const struct { int y, m, first, days, rows; } cases[] = {
        {2023, 1, 0, 31, 5},  // starts on Sunday: no empty cell
        {2015, 2, 0, 28, 4},  // exactly four rows
        {2023, 7, 6, 31, 6},  // Saturday start, 31 days: the sixth row holds 30 and 31
        {2024, 2, 4, 29, 5},
    };
    for (const auto& c : cases) {
        const MonthGrid grid = BuildMonthGrid(c.y, c.m, 1, 2000, 1);
        EXPECT_EQ(grid.nFirstWeekday, c.first) << c.y << "-" << c.m;
        EXPECT_EQ(grid.nRows, c.rows) << c.y << "-" << c.m;
        ASSERT_EQ(grid.cells.size(), static_cast<size_t>(c.first + c.days));
        for (int i = 0; i < grid.nCellCount; ++i) {
            const MonthCell& cell = grid.cells[i];
            EXPECT_EQ(cell.nDay, i < c.first ? 0 : i - c.first + 1);
            EXPECT_EQ(cell.strDayText, i < c.first ? "" : std::to_string(cell.nDay));
        }
    }
}

TEST(MonthGrid, Colours) {
    // June 2024 starts on Saturday: day 1 black in column 6, day 2 red in column 0.
    const MonthGrid june = BuildMonthGrid(2024, 6, 15, 2000, 1);
    EXPECT_EQ(june.cells[5].nDay, 0);
    EXPECT_EQ(june.cells[6].crDay, kColorBlack);
    EXPECT_EQ(june.cells[7].crDay, kColorRed);
    EXPECT_EQ(june.cells[8].crDay, kColorBlack);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(june.header[k].cr, k == 0 ? kColorRed : kColorBlack);

    // Today is magenta even on a Sunday; its label keeps its own colour.
    const MonthGrid today = BuildMonthGrid(2024, 6, 16, 2024, 6);
    int magenta = 0;
    for (const MonthCell& c : today.cells) magenta += c.crDay == kColorMagenta;
    EXPECT_EQ(magenta, 1);
    EXPECT_EQ(today.cells[6 + 15].crDay, kColorMagenta);
    EXPECT_EQ(today.cells[6 + 15].crLabel, kColorRed);  // 父亲节
    // The same day of another year or month is not today.
    for (const MonthGrid& other : {BuildMonthGrid(2023, 6, 16, 2024, 6), BuildMonthGrid(2024, 7, 16, 2024, 6)}) {
        for (const MonthCell& c : other.cells) EXPECT_NE(c.crDay, kColorMagenta);
    }

    // Labels by kind: a term green, a festival red, a lunar day black.
    const MonthGrid feb = BuildMonthGrid(2024, 2, 1, 2000, 1);
    const int w = feb.nFirstWeekday;
    for (auto [day, colour] : {std::pair{4, kColorTermGreen}, {10, kColorRed}, {11, kColorBlack}}) {
        EXPECT_EQ(feb.cells[w + day - 1].crLabel, colour) << feb.cells[w + day - 1].label.text;
    }
}

TEST(MonthGrid, HeaderYearFollowsTheViewDay) {
    const struct { int y, m, viewDay; const char* text; } cases[] = {
        {2024, 1, 15, "兔(癸卯)年"}, {2024, 3, 15, "龙(甲辰)年"}, {2024, 2, 9, "兔(癸卯)年"},
        {2024, 2, 10, "龙(甲辰)年"}, {2023, 1, 21, "虎(壬寅)年"}, {2023, 1, 22, "兔(癸卯)年"},
        {2024, 2, 31, "龙(甲辰)年"},  // counts on to 2024-03-02
        {1899, 12, 10, ""}, {1900, 1, 10, ""}, {2050, 2, 10, ""},  // no lunar date
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildMonthGrid(c.y, c.m, c.viewDay, 2024, 1).strYearText, c.text) << c.y << "-" << c.m;
    }
}
