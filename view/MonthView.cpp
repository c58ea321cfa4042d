#include "view/MonthView.h"

#include <string>

#include "res/resource.h"
#include "view/MonthGrid.h"
#include "win/App.h"

BackgroundBrush BackgroundBrush::Create() {
    // Made straight from the resource's DIB: no bitmap to load first and copy
    // again (a few milliseconds of start-up for 326 KB).
    BackgroundBrush b;
    HRSRC res = ::FindResourceA(win::AppInstance(), MAKEINTRESOURCEA(IDB_BACKGROUND), RT_BITMAP);
    HGLOBAL data = res ? ::LoadResource(win::AppInstance(), res) : nullptr;
    if (const void* dib = data ? ::LockResource(data) : nullptr) {
        b.brush.Reset(::CreateDIBPatternBrushPt(dib, DIB_RGB_COLORS));
    }
    return b;
}

namespace {
void DrawTextIn(HDC hdc, const std::string& text, int left, int top, int right, int bottom,
                UINT flags) {
    if (text.empty()) return;
    RECT r{left, top, right, bottom};
    ::DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}
}  // namespace

void DrawMonth(HWND hWnd, HBRUSH hBackground, int nYear, int nMonth, const SolarDate& today,
               const LunarCalendar::DaysOff* pDaysOff) {
    const MonthGrid grid = BuildMonthGrid(nYear, nMonth, today.nDay, today.nYear, today.nMonth, pDaysOff);

    RECT client;
    ::GetClientRect(hWnd, &client);
    const int width = client.right - 10;  // the grid starts 10 pixels in
    const int W = width / 7;
    const int H = client.bottom;

    win::WindowDC dc(hWnd);
    if (!dc) return;

    // Erase what the previous month left: the title, the lunar year and the
    // grid. The year text and the grid reach the right edge of the window, so
    // they are erased to it.
    HBRUSH erase = hBackground ? hBackground : static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    const RECT areas[3] = {{170, 10, 240, 38}, {300, 15, client.right, 35}, {0, 50, client.right, H}};
    for (const RECT& area : areas) ::FillRect(dc, &area, erase);

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    {
        win::Font font = win::CreatePointFont(160, "宋体", dc);
        win::SelectObjectScope select(dc, font);
        DrawTextIn(dc, GetMonthName(grid.nMonth), 0, 13, width, 40, DT_CENTER);
    }
    {
        win::Font font = win::CreatePointFont(130, "宋体", dc);
        win::SelectObjectScope select(dc, font);
        // Not clipped: at 13 points the year text can run a few pixels past the window's
        // usable width, and cutting its last character would be worse.
        DrawTextIn(dc, grid.strYearText, 310, 15, width, 40, DT_NOCLIP);
        for (int k = 0; k < 7; ++k) {
            ::SetTextColor(dc, grid.header[k].cr);
            DrawTextIn(dc, grid.header[k].text, 10 + k * W, 50, 10 + (k + 1) * W, H, DT_CENTER);
        }
    }
    // Day numbers, then the labels 15 pixels under them, each in its colour;
    // 休 and 班 small in the top right corner, clear of the centred number and
    // above the label.
    auto drawCells = [&](int nPointTenths, int nTop, UINT nFlags, auto textOf, auto colorOf) {
        win::Font font = win::CreatePointFont(nPointTenths, "宋体", dc);
        win::SelectObjectScope select(dc, font);
        for (int i = grid.nFirstWeekday; i < grid.nCellCount; ++i) {
            const MonthCell& cell = grid.cells[static_cast<size_t>(i)];
            const int r = i / 7, c = i % 7;
            ::SetTextColor(dc, colorOf(cell));
            const int right = 10 + (c + 1) * W - ((nFlags & DT_RIGHT) ? 2 : 0);
            DrawTextIn(dc, textOf(cell), 10 + c * W, nTop + 30 * r, right, H, nFlags);
        }
    };
    drawCells(120, 70, DT_CENTER, [](const MonthCell& cell) -> const std::string& { return cell.strDayText; },
              [](const MonthCell& cell) { return cell.crDay; });
    drawCells(85, 85, DT_CENTER, [](const MonthCell& cell) -> const std::string& { return cell.label.text; },
              [](const MonthCell& cell) { return cell.crLabel; });
    drawCells(75, 68, DT_RIGHT, [](const MonthCell& cell) -> std::string { return GetDayOffMarkText(cell.dayOff); },
              [](const MonthCell& cell) { return cell.crDayOff; });
}
