#include "win/Gdi.h"

#include <cstring>

namespace win {

int ImageList::AddIcon(HINSTANCE hInst, int nIconId, int cx, int cy) {
    HICON icon = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nIconId), IMAGE_ICON, cx, cy, 0));
    if (!icon || !m_h) {
        if (icon) ::DestroyIcon(icon);
        return -1;
    }
    const int index = ::ImageList_ReplaceIcon(m_h, -1, icon);
    ::DestroyIcon(icon);  // the list keeps its own copy
    return index;
}

Bitmap LoadBitmapResource(HINSTANCE hInst, int nId) {
    return Bitmap(static_cast<HBITMAP>(
        ::LoadImageA(hInst, MAKEINTRESOURCEA(nId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

Font CreatePointFont(int nPointSizeTenths, const char* szFace, HDC hdc) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, szFace, LF_FACESIZE - 1);
    // Tenths of a point to device pixels, rounded like the framework does it.
    const int dpi = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSY) : 96;
    lf.lfHeight = -::MulDiv(nPointSizeTenths, dpi, 720);
    return Font(::CreateFontIndirectA(&lf));
}

}  // namespace win
