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

// Where the month is drawn on the calendar window, in pixels of a window at
// dpi: the skin's own layout at 96 dpi, every length scaled by dpi / 96.
struct GridRect {
    int left, top, right, bottom;
};

// The calendar window's size at 96 dpi (its skin picture is 414 x 268).
constexpr int kCalendarWidth96 = 414;
constexpr int kCalendarHeight96 = 270;

class MonthLayout {
public:
    // For a client area of nWidth x nHeight pixels at dpi.
    MonthLayout(int dpi, int nWidth, int nHeight);

    // A length given at 96 dpi, at this layout's DPI (rounded half away from zero).
    int Px(int n96) const;

    GridRect Title() const;      // the month's name, centred
    GridRect YearText() const;   // the lunar year, not clipped
    GridRect Header(int nColumn) const;
    // A day cell (index as MonthGrid::cells): its whole box, the day number's
    // box at its top and the label's under it. Number and label are centred
    // in their boxes, which run to the window's bottom edge.
    GridRect Cell(int nIndex) const;
    GridRect DayNumber(int nIndex) const;
    GridRect Label(int nIndex) const;
    // The 休/班 mark's box: right-aligned 2 pixels in from the cell's edge,
    // a little above the day number.
    GridRect DayOffMark(int nIndex) const;
    // What a new month erases: the title, the lunar year and the grid.
    GridRect EraseTitle() const;
    GridRect EraseYear() const;
    GridRect EraseGrid() const;

private:
    GridRect Column(int nColumn, int nTop) const;

    int m_dpi, m_nWidth, m_nHeight;
    int m_nColumn;  // a column's width
};
