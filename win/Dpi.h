// Drawing at the DPI of the monitor a window is on. Everything laid out in
// pixels is given for 96 dpi and scaled by the window's DPI / 96. The calls
// that know a window's own DPI (Windows 10 1607 and later) are looked up at
// run time, so the program still starts on older systems, where it declares
// itself aware of the system's DPI only.
#pragma once

#include <windows.h>

#include "win/Gdi.h"

namespace win {

// The DPI of the window's monitor; the system's where windows have no DPI of their own.
int WindowDpi(HWND hWnd);
// The DPI of the system: the one the taskbar and the dialog templates are drawn at.
int SystemDpi();

// A length given at 96 dpi, at dpi.
inline int Scale(int n96, int dpi) { return ::MulDiv(n96, dpi, 96); }

// Leaves a change of DPI to the dialog itself: the dialog manager of newer
// systems would otherwise scale the dialog's controls a second time.
void KeepOwnLayoutOnDpiChange(HWND hDlg);

// A font of a point size in tenths for a window at dpi.
Font CreatePointFont(int nPointSizeTenths, const char* szFace, int dpi);

// A picture resource for a window at dpi: the drawn set nearest at or above
// the scale among those there are (nId at 100 %, nId + kScaledPictureStep at
// 150 %, nId + 2 x that at 200 %; the larger sets are PNG, decoded only when
// wanted), smoothly scaled to the exact size for any other scale. At 96 dpi
// this is LoadBitmapResource(nId).
constexpr int kScaledPictureStep = 1000;
Bitmap LoadPictureForDpi(HINSTANCE hInst, int nId, int dpi);

}  // namespace win
