// The colours of a month grid (its contents: RandomArguments in LunarCalendarTest).
#include <gtest/gtest.h>

#include "view/MonthGrid.h"

TEST(MonthGrid, Colours) {
    // June 2024 starts on Saturday: day 1 black in column 6, day 2 red in column 0.
    const MonthGrid june = BuildMonthGrid(2024, 6, 15, 2000, 1);
    EXPECT_EQ(june.cells[5].nDay, 0);
    EXPECT_EQ(june.cells[6].crDay, kColorBlack);
    EXPECT_EQ(june.cells[7].crDay, kColorRed);
    EXPECT_EQ(june.cells[8].crDay, kColorBlack);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(june.header[k].cr, k == 0 ? kColorRed : kColorBlack);

    // Today is magenta even on a Sunday; its label keeps its own colour. (Which
    // day is today, and only then: RandomArguments.)
    const MonthGrid today = BuildMonthGrid(2024, 6, 16, 2024, 6);
    EXPECT_EQ(today.cells[6 + 15].crDay, kColorMagenta);
    EXPECT_EQ(today.cells[6 + 15].crLabel, kColorRed);  // 父亲节

    // Labels by kind: a term green, a festival red, a lunar day black.
    const MonthGrid feb = BuildMonthGrid(2024, 2, 1, 2000, 1);
    const int w = feb.nFirstWeekday;
    for (auto [day, colour] : {std::pair{4, kColorTermGreen}, {10, kColorRed}, {11, kColorBlack}}) {
        EXPECT_EQ(feb.cells[w + day - 1].crLabel, colour) << feb.cells[w + day - 1].label.text;
    }
}

TEST(MonthGrid, DaysOffMarks) {
    // October 2026: 1..7 休 red as a festival, 10 班 black; no marks when not asked for.
    const LunarCalendar::DaysOff days;
    const MonthGrid oct = BuildMonthGrid(2026, 10, 1, 2000, 1, &days);
    for (int day = 1; day <= 31; ++day) {
        const MonthCell& cell = oct.cells[oct.nFirstWeekday + day - 1];
        const int mark = day <= 7 ? LunarCalendar::DayOffRest : day == 10 ? LunarCalendar::DayOffWork : 0;
        EXPECT_EQ(cell.dayOff, mark) << day;
        EXPECT_TRUE(!mark || cell.crDayOff == (day <= 7 ? kColorRed : kColorBlack)) << day;
    }
    for (const MonthCell& cell : BuildMonthGrid(2026, 10, 1, 2000, 1).cells) EXPECT_EQ(cell.dayOff, 0);
}

// At 96 dpi the layout is the skin's own (57-pixel columns from x = 10, 30-pixel
// rows from y = 70, labels 15 pixels under the numbers); at 150 % every length is
// half as long again, rounded, so that cells and skin stay in register.
TEST(MonthLayoutTest, SkinOffsetsScaleWithTheWindow) {
    const MonthLayout at96(96, 414, 270), at144(144, 621, 405);
    const GridRect number = at96.DayNumber(7 + 3), label = at96.Label(7 + 3), cell = at144.Cell(7 + 3);
    EXPECT_EQ((std::vector<int>{number.left, number.top, number.right, number.bottom, label.top}),
              (std::vector<int>{181, 100, 238, 270, 115}));
    EXPECT_EQ((std::vector<int>{cell.left, cell.top, cell.right, cell.bottom}), (std::vector<int>{273, 150, 359, 195}));
    EXPECT_EQ(at144.Title().top, 20);  // 13 x 1.5 = 19.5, rounded up as MulDiv does
}
