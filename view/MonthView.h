// Draws a month of the calendar onto the main window.
#pragma once

#include <windows.h>

#include "engine/DaysOff.h"
#include "engine/LunarCalendar.h"
#include "win/Gdi.h"

// The window background: a pattern brush of the skin picture at the window's
// DPI, aligned with the client origin.
struct BackgroundBrush {
    win::Brush brush;
    int dpi = 0;  // the DPI it was made for
    static BackgroundBrush Create(int dpi);
};

// Draws nYear/nMonth on the client area of hWnd: title, lunar year, weekday
// header, day numbers and labels, each in its colour, and the 休/班 marks of
// pDaysOff (none without it), laid out for the window's DPI. today is the date
// the program shows as today (marked when its month is shown). hBackground
// (the window's skin brush) erases what the previous month left.
void DrawMonth(HWND hWnd, HBRUSH hBackground, int nYear, int nMonth, const SolarDate& today,
               const LunarCalendar::DaysOff* pDaysOff);
