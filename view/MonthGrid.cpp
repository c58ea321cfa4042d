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

MonthLayout::MonthLayout(int dpi, int nWidth, int nHeight)
    : m_dpi(dpi > 0 ? dpi : 96), m_nWidth(nWidth), m_nHeight(nHeight) {
    m_nColumn = (nWidth - Px(10)) / 7;  // the grid starts 10 pixels in
}

int MonthLayout::Px(int n96) const {
    const long long scaled = static_cast<long long>(n96) * m_dpi;
    return static_cast<int>((scaled >= 0 ? scaled + 48 : scaled - 48) / 96);
}

GridRect MonthLayout::Column(int nColumn, int nTop) const {
    return {Px(10) + nColumn * m_nColumn, nTop, Px(10) + (nColumn + 1) * m_nColumn, m_nHeight};
}

GridRect MonthLayout::Title() const { return {0, Px(13), m_nWidth - Px(10), Px(40)}; }
GridRect MonthLayout::YearText() const { return {Px(310), Px(15), m_nWidth - Px(10), Px(40)}; }
GridRect MonthLayout::Header(int nColumn) const { return Column(nColumn, Px(50)); }

GridRect MonthLayout::Cell(int nIndex) const {
    GridRect r = Column(nIndex % 7, Px(70 + 30 * (nIndex / 7)));
    r.bottom = Px(70 + 30 * (nIndex / 7 + 1));
    return r;
}

GridRect MonthLayout::DayNumber(int nIndex) const { return Column(nIndex % 7, Px(70 + 30 * (nIndex / 7))); }
GridRect MonthLayout::Label(int nIndex) const { return Column(nIndex % 7, Px(85 + 30 * (nIndex / 7))); }
GridRect MonthLayout::DayOffMark(int nIndex) const {
    GridRect r = Column(nIndex % 7, Px(68 + 30 * (nIndex / 7)));
    r.right -= Px(2);
    return r;
}

GridRect MonthLayout::EraseTitle() const { return {Px(170), Px(10), Px(240), Px(38)}; }
GridRect MonthLayout::EraseYear() const { return {Px(300), Px(15), m_nWidth, Px(35)}; }
GridRect MonthLayout::EraseGrid() const { return {0, Px(50), m_nWidth, m_nHeight}; }
