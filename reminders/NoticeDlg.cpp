#include "reminders/NoticeDlg.h"

#include "win/App.h"
#include "win/Dpi.h"

namespace {
// The choices of the right-click menu; each one's command is its minutes.
const struct {
    int nMinutes;
    const char* szText;
} kSnoozeChoices[] = {{5, "5 分钟"}, {10, "10 分钟"}, {30, "30 分钟"}, {60, "1 小时"}};
constexpr COLORREF kHintColour = RGB(0x2E, 0x7A, 0x72);  // the pictures' teal
}  // namespace

void CNoticeDlg::DoDataExchange(win::DataExchange& dx) { win::DDX_Control(dx, IDC_EDIT_NOTICE_TEXT, m_editText); }

BOOL CNoticeDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    ::SetDlgItemTextA(m_hWnd, IDC_EDIT_NOTICE_TEXT, m_strText.c_str());
    // A notice behind the program the user works in would be a lost reminder.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    DrawTitle();
    return TRUE;
}

// Esc and Enter close the notice also in its multi-line text field, which
// would otherwise keep Enter (and, without a default button, Esc) for itself.
// A right click, on the text too (instead of the field's own menu), and the
// menu key open the 稍后提醒 menu.
bool CNoticeDlg::PreTranslateMessage(MSG& msg) {
    if (msg.hwnd != m_hWnd && !::IsChild(m_hWnd, msg.hwnd)) return false;
    const bool key = msg.message == WM_KEYDOWN;
    if (msg.message == WM_RBUTTONUP || (key && msg.wParam == VK_APPS)) {
        RECT rc;
        ::GetWindowRect(m_hWnd, &rc);
        TrackSnoozeMenu(key ? POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2} : msg.pt);
        return true;
    }
    if (!key || (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN)) return false;
    EndDialog(msg.wParam == VK_RETURN ? IDOK : IDCANCEL);
    return true;
}

void CNoticeDlg::TrackSnoozeMenu(POINT pt) {
    if (!m_menu.GetHandle()) {
        HMENU menu = ::CreatePopupMenu();
        for (const auto& choice : kSnoozeChoices) ::AppendMenuA(menu, MF_STRING, choice.nMinutes, choice.szText);
        m_menu.Attach(menu, m_nDpi);
        m_menu.ConvertToOwnerDraw(menu);
    }
    // As the command menu: the foreground lets a click elsewhere close it.
    ::SetForegroundWindow(m_hWnd);
    const int nMinutes = ::TrackPopupMenu(m_menu.GetHandle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0,
                                          m_hWnd, nullptr);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    win::ModalEnded();
    if (nMinutes > 0) {
        m_nSnoozeMinutes = nMinutes;
        EndDialog(IDCANCEL);
    }
}

void CNoticeDlg::DrawTitle() {
    win::WindowDC dc(m_hWnd);
    ::SetBkMode(dc, TRANSPARENT);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    {
        win::Font font = win::CreatePointFont(150, "宋体", m_nDpi);
        win::SelectObjectScope select(dc, font);
        RECT band{0, win::Scale(8, m_nDpi), client.right, win::Scale(30, m_nDpi)};
        ::DrawTextA(dc, m_strTitle.c_str(), static_cast<int>(m_strTitle.size()), &band, DT_CENTER | DT_TOP);
    }
    // The hint in the dialog's own font, on the line below the text field.
    win::SelectObjectScope select(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
    ::SetTextColor(dc, kHintColour);
    RECT line{0, client.bottom - win::Scale(18, m_nDpi), client.right, client.bottom};
    ::DrawTextA(dc, "右键单击可稍后提醒", -1, &line, DT_CENTER | DT_TOP | DT_SINGLELINE);
}

INT_PTR CNoticeDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_menu.OnOwnerMessage(msg, lParam)) return TRUE;
    switch (msg) {
        case WM_CTLCOLORDLG: {
            if (!m_brush) {
                m_bmpBack = win::LoadPictureForDpi(win::AppInstance(), IDB_NOTICE, m_nDpi);
                m_brush.Reset(::CreatePatternBrush(m_bmpBack));
            }
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            ::FillRect(reinterpret_cast<HDC>(wParam), &rc, m_brush);
            return reinterpret_cast<INT_PTR>(m_brush.Get());
        }
        case WM_PAINT: {
            { win::PaintDC dc(m_hWnd); }
            DrawTitle();
            return TRUE;
        }
        case WM_LBUTTONDOWN:  // the text field takes its own clicks
            EndDialog(IDCANCEL);
            return TRUE;
        default:
            return win::Dialog::OnMessage(msg, wParam, lParam);
    }
}

void CNoticeDlg::OnDpiChanged(int nDpi, const RECT& rcSuggested) {
    m_brush.Reset();  // made again at the new DPI by the next background request
    win::Dialog::OnDpiChanged(nDpi, rcSuggested);
}

int ShowReminderNotice(const std::string& strTitle, const std::string& strText) {
    CNoticeDlg dlg;
    dlg.m_strTitle = strTitle;
    dlg.m_strText = strText;
    dlg.DoModal();
    return dlg.m_nSnoozeMinutes;
}
