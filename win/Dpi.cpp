#include "win/Dpi.h"

#include <cstring>

namespace win {

namespace {
// A function of user32 that older systems lack; null there.
template <typename Fn>
Fn User32Proc(const char* szName) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), szName)));
}

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// A picture scaled to w x h with the system's smoothing filter.
Bitmap StretchPicture(HBITMAP source, int srcW, int srcH, int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Bitmap scaled(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled) return scaled;
    MemoryDC from(nullptr), to(nullptr);
    SelectObjectScope selectFrom(from, source), selectTo(to, scaled);
    ::SetStretchBltMode(to, HALFTONE);
    ::SetBrushOrgEx(to, 0, 0, nullptr);  // required after choosing HALFTONE
    ::StretchBlt(to, 0, 0, w, h, from, 0, 0, srcW, srcH, SRCCOPY);
    return scaled;
}
}  // namespace

int SystemDpi() {
    using Fn = UINT(WINAPI*)();
    static const Fn getDpiForSystem = User32Proc<Fn>("GetDpiForSystem");
    const UINT dpi = getDpiForSystem ? getDpiForSystem() : 0;
    return dpi ? static_cast<int>(dpi) : ScreenDpi();
}

int WindowDpi(HWND hWnd) {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn getDpiForWindow = User32Proc<Fn>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && hWnd ? getDpiForWindow(hWnd) : 0;
    return dpi ? static_cast<int>(dpi) : SystemDpi();
}

void KeepOwnLayoutOnDpiChange(HWND hDlg) {
    using Fn = BOOL(WINAPI*)(HWND, int, int);
    static const Fn setBehavior = User32Proc<Fn>("SetDialogDpiChangeBehavior");
    const int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (setBehavior) setBehavior(hDlg, kDisableAll, kDisableAll);
}

Font CreatePointFont(int nPointSizeTenths, const char* szFace, int dpi) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, szFace, LF_FACESIZE - 1);
    // Tenths of a point to pixels at the window's DPI, rounded like the framework does it.
    lf.lfHeight = -::MulDiv(nPointSizeTenths, dpi, 720);
    return Font(::CreateFontIndirectA(&lf));
}

Bitmap LoadPictureForDpi(HINSTANCE hInst, int nId, int dpi) {
    // The nearest set at or above the scale (0: 100 %, 1: 150 %, 2: 200 %),
    // else the largest there is; 100 % when no larger set is drawn.
    int set = dpi <= 96 ? 0 : dpi <= 144 ? 1 : 2;
    Bitmap drawn;
    for (int s = set; s <= 2 && !drawn; ++s) drawn = LoadBitmapResource(hInst, nId + (set = s) * kScaledPictureStep);
    for (int s = 1; s >= 0 && !drawn; --s) drawn = LoadBitmapResource(hInst, nId + (set = s) * kScaledPictureStep);
    const int drawnDpi = 96 + 48 * set;
    BITMAP bm{};
    if (!drawn || drawnDpi == dpi || !::GetObjectA(drawn, sizeof bm, &bm)) return drawn;
    return StretchPicture(drawn, bm.bmWidth, bm.bmHeight, ::MulDiv(bm.bmWidth, dpi, drawnDpi),
                          ::MulDiv(bm.bmHeight, dpi, drawnDpi));
}

}  // namespace win
