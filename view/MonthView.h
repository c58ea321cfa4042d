// Draws a month of the calendar onto the main window.
#pragma once

#include <windows.h>

#include "win/Gdi.h"

// The window background: a pattern brush of the skin bitmap, aligned with the
// client origin. The bitmap is kept with the brush for the brush's lifetime.
struct BackgroundBrush {
    win::Bitmap bitmap;
    win::Brush brush;
    static BackgroundBrush Create();
};

// Draws nYear/nMonth on the client area of hWnd: title, lunar year, weekday
// header, day numbers and labels, each in its colour. nViewDay is the day
// captured at start-up (today's number is marked when the clock's month is shown).
// hBackground (the window's skin brush) erases what the previous month left.
void DrawMonth(HWND hWnd, HBRUSH hBackground, int nYear, int nMonth, int nViewDay);
