#include "view/MonthView.h"

#include <string>
#include <vector>

#include "res/resource.h"
#include "view/MonthGrid.h"
#include "win/App.h"
#include "win/Dpi.h"

BackgroundBrush BackgroundBrush::Create(int dpi) {
    BackgroundBrush b;
    b.dpi = dpi;
    if (dpi != 96) {
        win::Bitmap picture = win::LoadPictureForDpi(win::AppInstance(), IDB_BACKGROUND, dpi);
        if (picture) b.brush.Reset(::CreatePatternBrush(picture));  // the brush keeps its own copy
        return b;
    }
    // Made straight from the inflated DIB, which the brush copies: no bitmap
    // to make first and copy again.
    const std::vector<unsigned char> dib = win::LoadCompressedDib(win::AppInstance(), IDB_BACKGROUND);
    if (!dib.empty()) b.brush.Reset(::CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS));
    return b;
}

namespace {
RECT ToRect(const GridRect& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

void DrawTextIn(HDC hdc, const std::string& text, const GridRect& box, UINT flags) {
    if (text.empty()) return;
    RECT r = ToRect(box);
    ::DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}
}  // namespace

void DrawMonth(HWND hWnd, HBRUSH hBackground, int nYear, int nMonth, const SolarDate& today,
               const LunarCalendar::DaysOff* pDaysOff) {
    const MonthGrid grid = BuildMonthGrid(nYear, nMonth, today.nDay, today.nYear, today.nMonth, pDaysOff);

    RECT client;
    ::GetClientRect(hWnd, &client);
    const int dpi = win::WindowDpi(hWnd);
    const MonthLayout layout(dpi, client.right, client.bottom);

    win::WindowDC dc(hWnd);
    if (!dc) return;

    // Erase what the previous month left: the title, the lunar year and the
    // grid. The year text and the grid reach the right edge of the window, so
    // they are erased to it.
    HBRUSH erase = hBackground ? hBackground : static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    for (const GridRect& box : {layout.EraseTitle(), layout.EraseYear(), layout.EraseGrid()}) {
        const RECT area = ToRect(box);
        ::FillRect(dc, &area, erase);
    }

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    {
        win::Font font = win::CreatePointFont(160, "宋体", dpi);
        win::SelectObjectScope select(dc, font);
        DrawTextIn(dc, GetMonthName(grid.nMonth), layout.Title(), DT_CENTER);
    }
    {
        win::Font font = win::CreatePointFont(130, "宋体", dpi);
        win::SelectObjectScope select(dc, font);
        // Not clipped: at 13 points the year text can run a few pixels past the window's
        // usable width, and cutting its last character would be worse.
        DrawTextIn(dc, grid.strYearText, layout.YearText(), DT_NOCLIP);
        for (int k = 0; k < 7; ++k) {
            ::SetTextColor(dc, grid.header[k].cr);
            DrawTextIn(dc, grid.header[k].text, layout.Header(k), DT_CENTER);
        }
    }
    // Day numbers, then the labels under them, each in its colour; 休 and 班
    // small in the top right corner, clear of the centred number and above the
    // label.
    auto drawCells = [&](int nPointTenths, auto boxOf, UINT nFlags, auto textOf, auto colorOf) {
        win::Font font = win::CreatePointFont(nPointTenths, "宋体", dpi);
        win::SelectObjectScope select(dc, font);
        for (int i = grid.nFirstWeekday; i < grid.nCellCount; ++i) {
            const MonthCell& cell = grid.cells[static_cast<size_t>(i)];
            ::SetTextColor(dc, colorOf(cell));
            DrawTextIn(dc, textOf(cell), (layout.*boxOf)(i), nFlags);
        }
    };
    drawCells(120, &MonthLayout::DayNumber, DT_CENTER,
              [](const MonthCell& cell) -> const std::string& { return cell.strDayText; },
              [](const MonthCell& cell) { return cell.crDay; });
    drawCells(85, &MonthLayout::Label, DT_CENTER,
              [](const MonthCell& cell) -> const std::string& { return cell.label.text; },
              [](const MonthCell& cell) { return cell.crLabel; });
    drawCells(75, &MonthLayout::DayOffMark, DT_RIGHT,
              [](const MonthCell& cell) -> std::string { return GetDayOffMarkText(cell.dayOff); },
              [](const MonthCell& cell) { return cell.crDayOff; });
}
