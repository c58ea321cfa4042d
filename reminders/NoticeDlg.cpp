#include "reminders/NoticeDlg.h"

#include "win/App.h"
#include "win/Dpi.h"

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
bool CNoticeDlg::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN)) return false;
    if (msg.hwnd != m_hWnd && !::IsChild(m_hWnd, msg.hwnd)) return false;
    EndDialog(msg.wParam == VK_RETURN ? IDOK : IDCANCEL);
    return true;
}

void CNoticeDlg::DrawTitle() {
    win::WindowDC dc(m_hWnd);
    win::Font font = win::CreatePointFont(150, "宋体", m_nDpi);
    win::SelectObjectScope select(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT band{0, win::Scale(8, m_nDpi), client.right, win::Scale(30, m_nDpi)};
    ::DrawTextA(dc, m_strTitle.c_str(), static_cast<int>(m_strTitle.size()), &band, DT_CENTER | DT_TOP);
}

INT_PTR CNoticeDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
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

void ShowReminderNotice(const std::string& strTitle, const std::string& strText) {
    CNoticeDlg dlg;
    dlg.m_strTitle = strTitle;
    dlg.m_strText = strText;
    dlg.DoModal();
}
