#include "win/Dialog.h"

#include <commctrl.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "win/App.h"
#include "win/Dpi.h"

namespace win {

void DataExchange::Fail(int nId) {
    m_bFailed = true;
    HWND ctl = ::GetDlgItem(m_hDlg, nId);
    if (ctl) {
        ::SetFocus(ctl);
        ::SendMessageA(ctl, EM_SETSEL, 0, -1);
    }
}

namespace {
std::string GetText(HWND hWnd) {
    const int len = ::GetWindowTextLengthA(hWnd);
    std::string text(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
    const int got = ::GetWindowTextA(hWnd, &text[0], len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool ParseIntegerField(const std::string& text, int& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == digits) return false;
    const size_t end = i;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i != text.size()) return false;
    errno = 0;
    const long long n = std::strtoll(text.substr(start, end - start).c_str(), nullptr, 10);
    if (errno == ERANGE || n < INT_MIN || n > INT_MAX) return false;
    value = static_cast<int>(n);
    return true;
}

void DDX_Control(DataExchange& dx, int nId, Window& control) {
    if (!control.m_hWnd) control.Subclass(::GetDlgItem(dx.m_hDlg, nId));
}

void DDX_Text(DataExchange& dx, int nId, std::string& value) {
    if (dx.m_bFailed) return;
    HWND ctl = ::GetDlgItem(dx.m_hDlg, nId);
    if (dx.m_bSaveAndValidate) {
        value = GetText(ctl);
    } else {
        ::SetWindowTextA(ctl, value.c_str());
    }
}

void DDX_Text(DataExchange& dx, int nId, int& value) {
    if (dx.m_bFailed) return;
    HWND ctl = ::GetDlgItem(dx.m_hDlg, nId);
    if (dx.m_bSaveAndValidate) {
        int parsed = 0;
        if (!ParseIntegerField(GetText(ctl), parsed)) {
            AppMessageBox("请键入一个整数。");
            dx.Fail(nId);
            return;
        }
        value = parsed;
    } else {
        ::SetWindowTextA(ctl, std::to_string(value).c_str());
    }
}

void DDX_Radio(DataExchange& dx, int nFirstId, int& value) {
    if (dx.m_bFailed) return;
    HWND ctl = ::GetDlgItem(dx.m_hDlg, nFirstId);
    if (dx.m_bSaveAndValidate) value = -1;
    // The group runs from the first button to the next control with WS_GROUP.
    for (int index = 0; ctl; ++index) {
        if (dx.m_bSaveAndValidate) {
            if (::SendMessageA(ctl, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageA(ctl, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ctl = ::GetWindow(ctl, GW_HWNDNEXT);
        if (!ctl || (::GetWindowLongA(ctl, GWL_STYLE) & WS_GROUP)) break;
    }
}

void DDX_DateTimeCtrl(DataExchange& dx, int nId, LocalTime& value) {
    if (dx.m_bFailed) return;
    HWND ctl = ::GetDlgItem(dx.m_hDlg, nId);
    SYSTEMTIME st = value.ToSystemTime();
    if (!dx.m_bSaveAndValidate) {
        ::SendMessageA(ctl, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    } else if (::SendMessageA(ctl, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID) {
        value = LocalTime::FromSystemTime(st);
    }
}

Dialog::Dialog(UINT nIdTemplate, HWND hParent) : m_nIdTemplate(nIdTemplate), m_hParent(hParent) {}

Dialog::~Dialog() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

int Dialog::s_nModalDepth = 0;

INT_PTR Dialog::DoModal() {
    // A dialog made without a parent is owned by the main window, or by the
    // dialog of ours on top of it (an editor opened from a list), which it
    // then disables like any modal dialog does.
    HWND owner = m_hParent;
    if (!owner && (owner = AppMainWindow()) != nullptr) {
        HWND popup = ::GetLastActivePopup(owner);
        if (popup && ::IsWindowEnabled(popup) && ::IsWindowVisible(popup)) owner = popup;
    }
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    m_bEnded = false;
    m_nResult = -1;
    HWND hWnd = ::CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(m_nIdTemplate), owner,
                                     &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (!hWnd) return -1;
    ++s_nModalDepth;
    if (!m_bEnded) {
        if (disableOwner) ::EnableWindow(owner, FALSE);
        if (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE)) ::ShowWindow(hWnd, SW_SHOWNORMAL);
        MSG msg;
        while (!m_bEnded && ::IsWindow(hWnd)) {
            const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                // The quit message ends every modal loop down to WinMain.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got == -1) break;
            if (PreTranslateMessage(msg)) continue;
            if (::IsDialogMessageA(hWnd, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // The owner gets the activation back before the dialog disappears;
    // hidden first, the dialog would hand it to some other program's window.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == hWnd) ::SetActiveWindow(owner);
    if (::IsWindow(hWnd)) {
        ::ShowWindow(hWnd, SW_HIDE);
        ::DestroyWindow(hWnd);
    }
    m_hWnd = nullptr;
    --s_nModalDepth;
    ModalEnded();
    return m_nResult;
}

void Dialog::EndDialog(INT_PTR nResult) {
    m_nResult = nResult;
    m_bEnded = true;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
}

bool Dialog::UpdateData(bool bSaveAndValidate) {
    DataExchange dx(m_hWnd, bSaveAndValidate);
    DoDataExchange(dx);
    return !dx.m_bFailed;
}

BOOL Dialog::OnInitDialog() {
    m_nDpi = WindowDpi(m_hWnd);
    KeepOwnLayoutOnDpiChange(m_hWnd);
    UpdateData(false);
    return TRUE;
}

void Dialog::OnDpiChanged(int nDpi, const RECT& rcSuggested) {
    const int old = m_nDpi;
    m_nDpi = nDpi;
    if (old != nDpi && old > 0) {
        // The template's font and every control's place at the new DPI. The
        // new font is given out before the one it replaces is deleted.
        Font font;
        LOGFONTA lf{};
        HGDIOBJ current = m_fontForDpi ? static_cast<HGDIOBJ>(m_fontForDpi.Get())
                                       : reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        if (current && ::GetObjectA(current, sizeof lf, &lf)) {
            lf.lfHeight = ::MulDiv(lf.lfHeight, nDpi, old);
            lf.lfWidth = ::MulDiv(lf.lfWidth, nDpi, old);
            font.Reset(::CreateFontIndirectA(&lf));
        }
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT r;
            ::GetWindowRect(child, &r);
            char cls[16] = {};
            // A drop-down list's height is that of its open list.
            if (::GetClassNameA(child, cls, sizeof cls) && ::lstrcmpiA(cls, "ComboBox") == 0)
                ::SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            ::SetWindowPos(child, nullptr, ::MulDiv(r.left, nDpi, old), ::MulDiv(r.top, nDpi, old),
                           ::MulDiv(r.right - r.left, nDpi, old), ::MulDiv(r.bottom - r.top, nDpi, old),
                           SWP_NOZORDER | SWP_NOACTIVATE);
            if (font) ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
        }
        if (font) m_fontForDpi = std::move(font);
    }
    ::SetWindowPos(m_hWnd, nullptr, rcSuggested.left, rcSuggested.top, rcSuggested.right - rcSuggested.left,
                   rcSuggested.bottom - rcSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool Dialog::OnCommand(int nId, int /*nCode*/, HWND /*hCtl*/) {
    if (nId == IDOK) {
        OnOK();
        return true;
    }
    if (nId == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR Dialog::SetMsgResult(LRESULT result) {
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR Dialog::ReflectToControl(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    switch (msg) {
        case WM_COMMAND: {
            Window* ctl = Window::FromHandle(reinterpret_cast<HWND>(lParam));
            if (ctl && ctl->OnReflectedCommand(HIWORD(wParam))) handled = true;
            return TRUE;
        }
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (dis->CtlType == ODT_MENU) return FALSE;
            Window* ctl = Window::FromHandle(dis->hwndItem);
            if (ctl && ctl->OnReflectedDrawItem(*dis)) handled = true;
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            Window* ctl = Window::FromHandle(reinterpret_cast<HWND>(lParam));
            HBRUSH brush = ctl ? ctl->OnReflectedCtlColor(reinterpret_cast<HDC>(wParam)) : nullptr;
            if (brush) handled = true;
            return reinterpret_cast<INT_PTR>(brush);
        }
        default:
            return FALSE;
    }
}

INT_PTR Dialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool reflected = false;
    const INT_PTR reflectedResult = ReflectToControl(msg, wParam, lParam, reflected);
    if (reflected) return reflectedResult;
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            // Enter reaches a dialog as IDOK even when an owner-drawn button has
            // the focus (such a button never becomes the default one): press the
            // focused button instead, so that Enter on 取消 cancels.
            HWND focus = ::GetFocus();
            if (LOWORD(wParam) == IDOK && lParam == 0 && focus && ::IsChild(m_hWnd, focus) &&
                (::GetWindowLongA(focus, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW &&
                ::SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) {
                return OnCommand(::GetDlgCtrlID(focus), BN_CLICKED, focus) ? TRUE : FALSE;
            }
            return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
        }
        case WM_TIMER:
            OnTimer(wParam);
            return TRUE;
        case WM_DPICHANGED:
            if (lParam) OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hWnd;
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!self) return FALSE;
    const INT_PTR result = self->OnMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

}  // namespace win
