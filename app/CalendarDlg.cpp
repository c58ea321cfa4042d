#include "app/CalendarDlg.h"

#include <cstdio>
#include <cstdlib>

#include <shellapi.h>

#include "app/AboutDlg.h"
#include "app/Profile.h"
#include "app/WindowSetDlg.h"
#include "app/core/TrayTip.h"
#include "app/core/WebShortcuts.h"
#include "app/core/WindowSettings.h"
#include "engine/LunarCalendar.h"
#include "win/App.h"
#include "win/LocalTime.h"

namespace {
constexpr UINT_PTR kMinuteTimer = 1;
constexpr UINT kMinuteMs = 60000;
constexpr UINT_PTR kTrayRetryTimer = 2;
constexpr UINT kTrayRetryMs = 3000;
constexpr int kTrayRetryLimit = 40;  // two minutes
constexpr int kFirstListYear = 1900;
constexpr int kListYears = 150;
}  // namespace

CCalendarDlg::CCalendarDlg(HWND hParent)
    : win::Dialog(IDD_CALENDAR_DIALOG, hParent), m_background(BackgroundBrush::Create()) {
    m_hIcon = ::LoadIconA(win::AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CCalendarDlg::~CCalendarDlg() = default;

void CCalendarDlg::DoDataExchange(win::DataExchange& dx) {
    win::DDX_Control(dx, IDC_BTN_PREV, m_btnPrev);
    win::DDX_Control(dx, IDC_BTN_NEXT, m_btnNext);
    win::DDX_Control(dx, IDC_COMBO_YEAR, m_comboYear);
}

BOOL CCalendarDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    win::SetAppMainWindow(m_hWnd);

    // The about item of the system menu, when the window has one.
    if (HMENU sysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        char about[128] = {};
        if (::LoadStringA(win::AppInstance(), IDS_ABOUTBOX, about, sizeof about) > 0) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_menu.Attach(::LoadMenuA(win::AppInstance(), MAKEINTRESOURCEA(IDR_MENU_POPUP)));
    m_menu.ConvertToOwnerDraw(m_menu.GetHandle());

    const win::LocalTime now = win::LocalTime::Now();
    m_nYear = now.nYear;
    m_nMonth = now.nMonth;
    m_nDay = now.nDay;
    m_strLunarText = LunarCalendar::GetLunarDateText(LunarCalendar::SolarToLunar({m_nYear, m_nMonth, m_nDay}));
    m_uTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    AddTrayIcon(now.Format("%Y年%m月%d日"), m_strLunarText);

    m_strRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    // No taskbar button.
    LONG_PTR exStyle = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
    exStyle = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, exStyle);

    ApplyWindowSettings();
    m_bInitDone = 1;

    DrawMonth();
    for (int i = 0; i < kListYears; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", kFirstListYear + i);
        ::SendMessageA(m_comboYear.m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    }
    SelectYearInList();
    ::SetTimer(m_hWnd, kMinuteTimer, kMinuteMs, nullptr);
    return TRUE;
}

void CCalendarDlg::DrawMonth() { ::DrawMonth(m_hWnd, m_background.brush, m_nYear, m_nMonth, m_nDay); }

void CCalendarDlg::SelectYearInList() {
    // Years outside the list select nothing (CB_SETCURSEL with an invalid index clears it).
    ::SendMessageA(m_comboYear.m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(m_nYear - kFirstListYear), 0);
}

void CCalendarDlg::SaveWindowPosition() {
    RECT rc;
    if (!::GetWindowRect(m_hWnd, &rc)) return;
    WriteSetting(settings::kKeyPosition, settings::FormatPosition({rc.left, rc.top, rc.right, rc.bottom}));
}

bool CCalendarDlg::PreTranslateMessage(MSG& msg) {
    // The window has no caption: a press on its background drags it.
    if (msg.message == WM_LBUTTONDOWN && msg.hwnd == m_hWnd) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::PostMessageA(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    }
    return false;
}

void CCalendarDlg::OnOK() {
    // Enter does not end the calendar.
}

bool CCalendarDlg::AskToExit() {
    return ::MessageBoxA(m_hWnd, "确定要退出Tavimor吗？", "信息", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void CCalendarDlg::OnClose() {
    if (!AskToExit()) return;
    RemoveTrayIcon();
    SaveWindowPosition();
    EndDialog(IDCANCEL);
}

void CCalendarDlg::OnExit() {
    if (!AskToExit()) return;
    RemoveTrayIcon();
    ::PostQuitMessage(0);
    SaveWindowPosition();
    EndDialog(IDCANCEL);
}

void CCalendarDlg::AddTrayIcon(const std::string& strDate, const std::string& strLunar) {
    m_nTrayId = m_nDay + IDI_DAY1 - 1;
    // The small image of the day icon: the tray shows it at 16 x 16.
    m_trayIcon.Reset(static_cast<HICON>(::LoadImageA(win::AppInstance(), MAKEINTRESOURCEA(m_nTrayId), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0)));
    if (m_trayIcon) m_hIcon = m_trayIcon;
    m_strTrayTip = tray::BuildTip(strDate, strLunar);
    AddTrayIconOrRetry();
}

void CCalendarDlg::AddTrayIconOrRetry() {
    // At logon the taskbar may not answer yet: try again for a while.
    if (NotifyTrayIcon(NIM_ADD)) {
        ::KillTimer(m_hWnd, kTrayRetryTimer);
        m_nTrayRetries = 0;
    } else if (m_nTrayRetries++ < kTrayRetryLimit) {
        ::SetTimer(m_hWnd, kTrayRetryTimer, kTrayRetryMs, nullptr);
    } else {
        ::KillTimer(m_hWnd, kTrayRetryTimer);
    }
}

bool CCalendarDlg::NotifyTrayIcon(DWORD dwMessage) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = m_hWnd;
    nid.uID = static_cast<UINT>(m_nTrayId);
    if (dwMessage != NIM_DELETE) {
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = WM_TRAYNOTIFY;
        nid.hIcon = m_trayIcon;
        lstrcpynA(nid.szTip, m_strTrayTip.c_str(), static_cast<int>(tray::kTipBytes + 1));
    }
    return ::Shell_NotifyIconA(dwMessage, &nid) != FALSE;
}

void CCalendarDlg::RemoveTrayIcon() { NotifyTrayIcon(NIM_DELETE); }

void CCalendarDlg::TrackMenu(int x, int y, UINT nFlags) {
    HMENU popup = m_menu.GetSubMenu(0);
    if (!popup) return;
    // Without the foreground the menu would stay open when the user clicks
    // elsewhere; the posted message lets it close cleanly afterwards.
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(popup, nFlags, x, y, 0, m_hWnd, nullptr);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CCalendarDlg::OnTrayNotify(LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
        case WM_RBUTTONDOWN: {
            POINT pt;
            ::GetCursorPos(&pt);
            TrackMenu(pt.x, pt.y, TPM_RIGHTBUTTON | TPM_VERTICAL);
            break;
        }
        case WM_LBUTTONDBLCLK:
            ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
            break;
        default:
            break;
    }
}

void CCalendarDlg::OnContextMenu(HWND /*hWnd*/, LPARAM lParam) {
    int x = static_cast<short>(LOWORD(lParam));
    int y = static_cast<short>(HIWORD(lParam));
    if (x == -1 && y == -1) {
        // From the keyboard (Shift+F10): open at the window's top left corner.
        RECT rc;
        ::GetWindowRect(m_hWnd, &rc);
        x = rc.left;
        y = rc.top;
    }
    TrackMenu(x, y, 0);
}

void CCalendarDlg::OnMenuCommand(int nId) {
    const bool opensDialog = nId == ID_MENU_WINDOW_SET || nId == ID_MENU_NEW_MEMO ||
                             nId == ID_MENU_NEW_ANNIVERSARY || nId == ID_MENU_MEMO_LIST ||
                             nId == ID_MENU_ANNIVERSARY_LIST;
    if (opensDialog && win::Dialog::ModalDepth() > 1) {
        // The tray menu still opens while a dialog of ours is up: bring that
        // one forward rather than stacking a second dialog on it.
        ::SetForegroundWindow(::GetLastActivePopup(m_hWnd));
        return;
    }
    switch (nId) {
        case ID_MENU_WINDOW_SET: {
            CWindowSetDlg dlg;
            if (dlg.DoModal() == IDOK) ApplyWindowSettings();
            break;
        }
        case ID_MENU_EXIT:
            OnExit();
            break;
        case ID_MENU_NEW_MEMO:
        case ID_MENU_NEW_ANNIVERSARY:
        case ID_MENU_MEMO_LIST:
        case ID_MENU_ANNIVERSARY_LIST:
            // The alarm and anniversary dialogs open here.
            break;
        case ID_MENU_HIDE:
            break;  // choosing it only closes the menu
        default: {
            const std::string address = shortcuts::AddressOf(nId);
            if (!address.empty()) {
                ::ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
            }
            break;
        }
    }
}

void CCalendarDlg::OnSysCommand(UINT nId, LPARAM /*lParam*/) {
    if ((nId & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    }
}

void CCalendarDlg::OnPaint() {
    if (::IsIconic(m_hWnd)) {
        win::PaintDC dc(m_hWnd);
        ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), 0);
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        const int x = (rc.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rc.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
    } else {
        win::PaintDC dc(m_hWnd);  // the background was erased with the skin brush
    }
    DrawMonth();
}

void CCalendarDlg::OnPrevMonth() {
    if (m_nMonth == 1) {
        --m_nYear;
        m_nMonth = 12;
        DrawMonth();
        SelectYearInList();
    } else {
        --m_nMonth;
        DrawMonth();
    }
}

void CCalendarDlg::OnNextMonth() {
    if (m_nMonth == 12) {
        ++m_nYear;
        m_nMonth = 1;
        DrawMonth();
        SelectYearInList();
    } else {
        ++m_nMonth;
        DrawMonth();
    }
}

void CCalendarDlg::OnSelchangeYear() {
    const LRESULT sel = ::SendMessageA(m_comboYear.m_hWnd, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return;
    char text[32] = {};
    if (::SendMessageA(m_comboYear.m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0) >= 31) return;
    ::SendMessageA(m_comboYear.m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    m_nYear = std::atoi(text);
    DrawMonth();
}

void CCalendarDlg::OnTimer(UINT_PTR nId) {
    if (nId == kTrayRetryTimer) {
        AddTrayIconOrRetry();
        return;
    }
    // The minute checks of alarms and anniversaries run here.
}

bool CCalendarDlg::OnCommand(int nId, int nCode, HWND hCtl) {
    switch (nId) {
        case IDC_BTN_PREV:
            if (nCode == BN_CLICKED) OnPrevMonth();
            return true;
        case IDC_BTN_NEXT:
            if (nCode == BN_CLICKED) OnNextMonth();
            return true;
        case IDC_COMBO_YEAR:
            if (nCode == CBN_SELCHANGE) OnSelchangeYear();
            return true;
        case ID_MENU_NEW_MEMO:
        case ID_MENU_NEW_ANNIVERSARY:
        case ID_MENU_MEMO_LIST:
        case ID_MENU_ANNIVERSARY_LIST:
        case ID_MENU_WINDOW_SET:
        case ID_MENU_EXIT:
        case ID_MENU_WORLD_CLOCK:
        case ID_MENU_WEATHER:
        case ID_MENU_RADIO:
        case ID_MENU_ALMANAC:
        case ID_MENU_MUSIC:
        case ID_MENU_GAMES:
        case ID_MENU_HOROSCOPE:
        case ID_MENU_HIDE:
            OnMenuCommand(nId);
            return true;
        default:
            return win::Dialog::OnCommand(nId, nCode, hCtl);
    }
}

INT_PTR CCalendarDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return TRUE;
        case WM_CTLCOLORDLG: {
            if (!m_background.brush) break;
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            ::FillRect(reinterpret_cast<HDC>(wParam), &rc, m_background.brush);
            return reinterpret_cast<INT_PTR>(m_background.brush.Get());
        }
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                OnSysCommand(static_cast<UINT>(wParam), lParam);
                return TRUE;
            }
            break;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_MOVE:
            if (m_bInitDone) SaveWindowPosition();
            break;
        case WM_TRAYNOTIFY:
            OnTrayNotify(lParam);
            return TRUE;
        case WM_CONTEXTMENU:
            OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
            return TRUE;
        case WM_MEASUREITEM:
            // Every request goes to the menu first, then to the default handling.
            if (m_menu.MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (m_menu.DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        default:
            // After Explorer restarts the icon is gone: add it again.
            if (msg == m_uTaskbarCreated && m_uTaskbarCreated != 0) {
                m_nTrayRetries = 0;
                AddTrayIconOrRetry();
                return TRUE;
            }
            break;
    }
    return win::Dialog::OnMessage(msg, wParam, lParam);
}
