#include "view/MonthGrid.h"

#include <cstring>

const char* const g_szWeekNames[7] = {"日", "一", "二", "三", "四", "五", "六"};

namespace {
GridColor LabelColor(DayLabelKind kind) {
    switch (kind) {
        case LabelTerm: return kColorTermGreen;
        case LabelFestival: return kColorRed;
        default: return kColorBlack;
    }
}
}  // namespace

bool IsToday(int nDay, int nViewDay, int nYear, int nMonth, int nNowYear, int nNowMonth) {
    return nDay == nViewDay && nMonth == nNowMonth && nYear == nNowYear;
}

MonthGrid BuildMonthGrid(int nYear, int nMonth, int nViewDay, int nNowYear, int nNowMonth,
                         const LunarCalendar::DaysOff* pDaysOff) {
    using namespace LunarCalendar;
    MonthGrid grid;
    grid.nYear = nYear;
    grid.nMonth = nMonth;
    grid.nFirstWeekday = GetFirstWeekday(nYear, nMonth);
    grid.nDayCount = GetDaysInMonth(nYear, nMonth);
    // A month outside 1..12 has no days and therefore no cells at all.
    grid.nCellCount = grid.nDayCount > 0 ? grid.nFirstWeekday + grid.nDayCount : 0;
    grid.nRows = (grid.nCellCount + 6) / 7;

    // The header's year is the year part (six characters) of the view day's text.
    const std::string text = GetLunarDateText(SolarToLunar(SolarDate{nYear, nMonth, nViewDay}));
    grid.strYearText = GbkLeft(text, 6);

    for (int k = 0; k < 7; ++k) {
        grid.header[k].text = g_szWeekNames[k];
        grid.header[k].cr = std::strcmp(g_szWeekNames[k], "日") == 0 ? kColorRed : kColorBlack;
    }

    DayOffMark marks[31] = {};
    if (pDaysOff) pDaysOff->FindMonth(nYear, nMonth, marks);

    grid.cells.resize(static_cast<std::size_t>(grid.nCellCount));
    for (int i = 0; i < grid.nCellCount; ++i) {
        MonthCell& cell = grid.cells[static_cast<std::size_t>(i)];
        if (i < grid.nFirstWeekday) {
            cell = MonthCell{0, std::string(), kColorBlack, DayLabel{std::string(), LabelLunarDay},
                             kColorBlack, DayOffNone, kColorBlack};
            continue;
        }
        cell.nDay = i - grid.nFirstWeekday + 1;
        cell.strDayText = std::to_string(cell.nDay);
        if (IsToday(cell.nDay, nViewDay, nYear, nMonth, nNowYear, nNowMonth)) {
            cell.crDay = kColorMagenta;
        } else {
            cell.crDay = (i % 7 == 0) ? kColorRed : kColorBlack;
        }
        cell.label = GetDayLabel(nYear, nMonth, cell.nDay, grid.nFirstWeekday);
        cell.crLabel = LabelColor(cell.label.kind);
        cell.dayOff = marks[cell.nDay - 1];
        cell.crDayOff = cell.dayOff == DayOffRest ? kColorRed : kColorBlack;
    }
    return grid;
}

std::string GetMonthName(int nMonth) {
    static const char* const names[12] = {"一月", "二月", "三月", "四月",   "五月",   "六月",
                                          "七月", "八月", "九月", "十月", "十一月", "十二月"};
    return (nMonth >= 1 && nMonth <= 12) ? names[nMonth - 1] : std::string();
}
