#include "view/SkinControls.h"

#include <string>

#include "res/resource.h"
#include "win/App.h"
#include "win/Dpi.h"

bool CIconButton::OnReflectedDrawItem(DRAWITEMSTRUCT& dis) {
    DrawItem(dis);
    return true;
}

void CIconButton::DrawItem(const DRAWITEMSTRUCT& dis) {
    if (!m_pImageList) return;
    HDC hdc = dis.hDC;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);

    // Focus and press changes redraw without an erase: start from a clean face,
    // or the exclusive-or focus rectangle and the caption pile up.
    ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));

    IMAGEINFO info{};
    ::ImageList_GetImageInfo(m_pImageList, m_nImage, &info);
    const int iw = info.rcImage.right - info.rcImage.left;
    const int ih = info.rcImage.bottom - info.rcImage.top;
    const int x = win::Scale(5, win::WindowDpi(m_hWnd));
    ::ImageList_Draw(m_pImageList, m_nImage, hdc, x, ((rc.bottom - rc.top) - ih) / 2, ILD_TRANSPARENT);

    RECT rf = rc;
    ::InflateRect(&rf, -2, -2);
    HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    {
        win::SelectObjectScope nullBrush(hdc, ::GetStockObject(NULL_BRUSH));
        if (dis.itemState & (ODS_SELECTED | ODS_FOCUS)) {
            ::DrawFocusRect(hdc, &rf);
            ::DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT);
            ::FrameRect(hdc, &rc, black);
        } else {
            win::Pen dotted(::CreatePen(PS_DOT, 1, RGB(192, 192, 192)));
            win::SelectObjectScope pen(hdc, dotted);
            ::Rectangle(hdc, rf.left, rf.top, rf.right, rf.bottom);
            ::DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT);
        }
    }
    if (m_bPressed) {
        ::DrawFocusRect(hdc, &rf);  // exclusive-or: takes away the focus rectangle drawn above
        ::DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT);
        ::FrameRect(hdc, &rc, black);
    }

    const int len = ::GetWindowTextLengthA(m_hWnd);
    std::string caption(static_cast<size_t>(len) + 1, '\0');
    caption.resize(static_cast<size_t>(::GetWindowTextA(m_hWnd, &caption[0], len + 1)));
    rc.left += iw + x;
    ::SetBkMode(hdc, TRANSPARENT);
    ::DrawTextA(hdc, caption.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CIconButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        m_bPressed = 1;
    } else if (msg == WM_LBUTTONUP || msg == WM_CAPTURECHANGED) {
        m_bPressed = 0;
    }
    return Default(msg, wParam, lParam);
}

void SetOkCancelIcons(win::ImageList& list, CIconButton& ok, CIconButton& cancel) {
    const int side = win::Scale(16, win::WindowDpi(ok.m_hWnd));  // the icons' size at the dialog's DPI
    list.Create(side, side, ILC_COLOR24 | ILC_MASK, 1, 0);
    list.AddIcon(win::AppInstance(), IDI_OK, side, side);
    list.AddIcon(win::AppInstance(), IDI_CANCEL, side, side);
    ok.SetImageList(list);
    cancel.SetImageList(list);
    ok.SetImage(0);
    cancel.SetImage(1);
}

CSkinEdit::CSkinEdit() : m_bmpBack(win::LoadBitmapResource(win::AppInstance(), IDB_EDIT_BACK)) {}

HBRUSH CSkinEdit::OnReflectedCtlColor(HDC hdc) {
    ::SetBkMode(hdc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool CSkinEdit::OnReflectedCommand(int nCode) {
    if (nCode == EN_CHANGE) {
        // The text has no background of its own: repaint the picture under it.
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return false;  // the dialog still hears of the change
}

bool CSkinEdit::OnEraseBkgnd(HDC hdc) {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    BITMAP bm{};
    if (!m_bmpBack || !::GetObjectA(m_bmpBack, sizeof bm, &bm)) return false;
    win::MemoryDC mem(hdc);
    win::SelectObjectScope select(mem, m_bmpBack);
    ::SetStretchBltMode(hdc, HALFTONE);
    ::SetBrushOrgEx(hdc, 0, 0, nullptr);  // required after choosing HALFTONE
    ::StretchBlt(hdc, 0, 0, rc.right, rc.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    return true;
}

LRESULT CSkinEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND && OnEraseBkgnd(reinterpret_cast<HDC>(wParam))) return TRUE;
    // The focus that a dialog gives the field selects nothing: a selected
    // text would stand in a highlight box over the picture.
    if (msg == WM_GETDLGCODE) return Default(msg, wParam, lParam) & ~DLGC_HASSETSEL;
    return Default(msg, wParam, lParam);
}
