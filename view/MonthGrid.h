// What one month of the calendar window shows: cells, day numbers, labels and
// their colours, the weekday header and the lunar year text of the header.
// Portable: the caller passes the clock's current year and month.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/DaysOff.h"
#include "engine/LunarCalendar.h"

// Colours in the Win32 COLORREF layout (0x00BBGGRR), so the shell can hand
// them straight to SetTextColor.
using GridColor = std::uint32_t;
constexpr GridColor MakeGridColor(int r, int g, int b) {
    return static_cast<GridColor>(r) | (static_cast<GridColor>(g) << 8) |
           (static_cast<GridColor>(b) << 16);
}
constexpr GridColor kColorBlack = MakeGridColor(0, 0, 0);
constexpr GridColor kColorRed = MakeGridColor(255, 0, 0);
constexpr GridColor kColorMagenta = MakeGridColor(255, 0, 255);
constexpr GridColor kColorTermGreen = MakeGridColor(0, 200, 0);

struct MonthCell {
    int nDay;                // 0 for the empty leading cells
    std::string strDayText;  // "%d" of the day; empty for leading cells
    GridColor crDay;
    DayLabel label;
    GridColor crLabel;
    LunarCalendar::DayOffMark dayOff;  // 休 or 班 in the top right corner, or none
    GridColor crDayOff;                // 休 red as a festival, 班 black as a day number
};

struct WeekdayHeader {
    std::string text;
    GridColor cr;
};

struct MonthGrid {
    int nYear;
    int nMonth;
    int nFirstWeekday;  // 0 = Sunday
    int nDayCount;
    int nCellCount;     // nFirstWeekday + nDayCount; no trailing cells
    int nRows;          // ceil(nCellCount / 7)
    std::string strYearText;  // e.g. 龙(甲辰)年; empty outside the lunar table
    WeekdayHeader header[7];
    std::vector<MonthCell> cells;  // index i: row i / 7, column i % 7 (0 = Sunday)
};

// The weekday names of the header, Sunday first.
extern const char* const g_szWeekNames[7];

// True when nDay is the view day and the clock's month and year are the ones shown.
bool IsToday(int nDay, int nViewDay, int nYear, int nMonth, int nNowYear, int nNowMonth);

// The grid of nYear/nMonth. nViewDay is today's day as captured at start-up; it
// also picks the day whose lunar year names the header (counting on into the
// next month when the shown month is shorter). The cells carry the marks of
// pDaysOff's days, none without it.
MonthGrid BuildMonthGrid(int nYear, int nMonth, int nViewDay, int nNowYear, int nNowMonth,
                         const LunarCalendar::DaysOff* pDaysOff = nullptr);

// Month title: 一月 .. 十二月; empty outside 1..12.
std::string GetMonthName(int nMonth);
