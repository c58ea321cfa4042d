#include "app/CalendarDlg.h"

#include <cstdio>
#include <cstdlib>

#include <shellapi.h>

#include "alarms/MemoDlg.h"
#include "alarms/MemoListDlg.h"
#include "anniversaries/AnniversaryDlg.h"
#include "anniversaries/AnniversaryListDlg.h"
#include "app/AboutDlg.h"
#include "app/Profile.h"
#include "app/WindowSetDlg.h"
#include "app/core/TrayTip.h"
#include "app/core/WebShortcuts.h"
#include "app/core/WindowSettings.h"
#include "engine/LunarCalendar.h"
#include "view/MonthGrid.h"
#include "win/App.h"
#include "win/Dpi.h"
#include "win/LocalTime.h"

namespace {
// The year list holds the years the lunar table covers.
constexpr int kFirstListYear = LunarCalendar::kFirstLunarYear;
constexpr int kListYears = LunarCalendar::kLunarYearCount;
}  // namespace

CCalendarDlg::CCalendarDlg(HWND hParent)
    : win::Dialog(IDD_CALENDAR_DIALOG, hParent),
      m_clock(ToLocalMinute(win::LocalTime::Now()), [this](const win::LocalTime& now) { OnNewDay(now); }),
      m_background(BackgroundBrush::Create(win::SystemDpi())) {
    m_hIcon = ::LoadIconA(win::AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CCalendarDlg::~CCalendarDlg() = default;

void CCalendarDlg::DoDataExchange(win::DataExchange& dx) {
    if (!m_comboYear.m_hWnd) m_comboYear.Attach(::GetDlgItem(dx.m_hDlg, IDC_COMBO_YEAR));
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

    const win::LocalTime now = win::LocalTime::Now();
    m_nYear = now.nYear;
    m_nMonth = now.nMonth;
    m_tray.Attach(m_hWnd, now.nDay + IDI_DAY1 - 1);
    m_uActivate = ::RegisterWindowMessageA(kActivateMessage);
    // An elevated calendar still hears a second start by a normal user.
    ::ChangeWindowMessageFilter(m_uActivate, MSGFLT_ADD);
    win::SetModalEndHandler([this] { KeepAtBottom(); });
    ::SetPropW(m_hWnd, kMainWindowProp, reinterpret_cast<HANDLE>(1));
    SetToday(now);

    m_strRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    // No taskbar button.
    LONG_PTR exStyle = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
    exStyle = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, exStyle);

    FitSkin();
    ApplyWindowSettings();
    m_bInitDone = 1;

    // The month shows once the window does (its first paint draws it); drawn
    // now, into a window not yet visible, it only cost start-up time (15 ms of
    // 260 under wine). A saved window style shows the window already.
    if (::IsWindowVisible(m_hWnd)) DrawMonth();
    for (int i = 0; i < kListYears; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", kFirstListYear + i);
        ::SendMessageA(m_comboYear.m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    }
    SelectYearInList();
    m_clock.Start(m_hWnd, now);
    m_tray.AddAfterFirstPaint();
    return TRUE;
}

// The window is its skin at its DPI: the picture's scale and the skin's size.
void CCalendarDlg::FitSkin() {
    if (m_background.dpi != m_nDpi) m_background = BackgroundBrush::Create(m_nDpi);
    const int w = win::Scale(kCalendarWidth96, m_nDpi), h = win::Scale(kCalendarHeight96, m_nDpi);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    if (rc.right - rc.left != w || rc.bottom - rc.top != h)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCalendarDlg::OnDpiChanged(int nDpi, const RECT& rcSuggested) {
    m_menu.Attach(nullptr);  // made again, at the new size, when next opened
    m_background = BackgroundBrush::Create(nDpi);
    // The suggested place, at the skin's own size rather than a rounded scaling of the old one.
    win::Dialog::OnDpiChanged(nDpi, RECT{rcSuggested.left, rcSuggested.top,
                                         rcSuggested.left + win::Scale(kCalendarWidth96, nDpi),
                                         rcSuggested.top + win::Scale(kCalendarHeight96, nDpi)});
}

void CCalendarDlg::DrawMonth() {
    // The user's file is looked at whenever the month is drawn: a change shows at once.
    if (m_holidays.Refresh()) {
        UpdateTodayTip();
        m_tray.Update();
    }
    ::DrawMonth(m_hWnd, m_background.brush, m_nYear, m_nMonth, SolarDate{m_nTodayYear, m_nTodayMonth, m_nDay},
                m_bShowDaysOff ? &m_holidays.Days() : nullptr);
}

void CCalendarDlg::SelectYearInList() {
    const bool listed = m_nYear >= kFirstListYear && m_nYear < kFirstListYear + kListYears;
    ::SendMessageA(m_comboYear.m_hWnd, CB_SETCURSEL, listed ? static_cast<WPARAM>(m_nYear - kFirstListYear)
                                                            : static_cast<WPARAM>(-1), 0);
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

void CCalendarDlg::EndAfterQuestion(bool bQuit) {
    if (win::AppMessageBox("确定要退出" QUORVEL_TITLE "吗？", MB_OKCANCEL | MB_ICONQUESTION, "信息") != IDOK) return;
    if (bQuit) ::PostQuitMessage(0);
    SaveWindowPosition();
    EndDialog(IDCANCEL);
}

// Today as the window shows it: the mark in the month, the tray icon's picture
// and tip. A view on the month that held the old day moves to the new day's.
void CCalendarDlg::SetToday(const win::LocalTime& now) {
    if (m_nYear == m_nTodayYear && m_nMonth == m_nTodayMonth) {
        m_nYear = now.nYear;
        m_nMonth = now.nMonth;
    }
    m_nTodayYear = now.nYear;
    m_nTodayMonth = now.nMonth;
    m_nDay = now.nDay;
    m_holidays.Refresh();
    UpdateTodayTip();
    // The window's icon is the tray's picture: should a day's picture not
    // load, both keep the previous one.
    if (m_tray.SetDay(now)) m_hIcon = m_tray.Picture();
}

// Today's dates and, with the marks shown, its holiday: "国庆节 休".
void CCalendarDlg::UpdateTodayTip() {
    using namespace LunarCalendar;
    win::LocalTime today;
    today.nYear = m_nTodayYear, today.nMonth = m_nTodayMonth, today.nDay = m_nDay;
    const DayOff dayOff = m_bShowDaysOff ? m_holidays.Days().Find(m_nTodayYear, m_nTodayMonth, m_nDay)
                                         : DayOff{DayOffNone, ""};
    m_tray.SetTip(tray::BuildTip(today.Format("%Y年%m月%d日"),
                                 GetLunarDateText(SolarToLunar({m_nTodayYear, m_nTodayMonth, m_nDay})), dayOff));
}

void CCalendarDlg::TrackMenu(int x, int y, UINT nFlags) {
    // Made when first wanted: start-up need not wait for it.
    if (!m_menu.GetHandle()) {
        m_menu.Attach(::LoadMenuA(win::AppInstance(), MAKEINTRESOURCEA(IDR_MENU_POPUP)), m_nDpi);
        m_menu.ConvertToOwnerDraw(m_menu.GetHandle());
    }
    HMENU popup = m_menu.GetSubMenu(0);
    if (!popup) return;
    // Without the foreground the menu would stay open when the user clicks
    // elsewhere; the posted message lets it close cleanly afterwards.
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(popup, nFlags, x, y, 0, m_hWnd, nullptr);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    win::ModalEnded();
}

// After a menu, dialog, notice or message box, the foreground has lifted a
// window that lives at the bottom: put it back, without activating it.
void CCalendarDlg::KeepAtBottom() {
    if (m_nStyle == 2) ::SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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
    // Rows written in an editor or list may be due in minutes examined while it was open.
    const LocalMinute opened = ToLocalMinute(win::LocalTime::Now());
    switch (nId) {
        case ID_MENU_WINDOW_SET: {
            CWindowSetDlg dlg;
            if (dlg.DoModal() == IDOK) ApplyWindowSettings();
            break;
        }
        case ID_MENU_EXIT:
            EndAfterQuestion(true);
            break;
        case ID_MENU_NEW_MEMO: {
            CMemoDlg dlg;
            dlg.DoModal();
            m_clock.CheckSince(opened);
            break;
        }
        case ID_MENU_NEW_ANNIVERSARY: {
            CAnniversaryDlg dlg;
            dlg.DoModal();
            m_clock.CheckSince(opened);
            break;
        }
        case ID_MENU_MEMO_LIST: {
            CMemoListDlg dlg;
            dlg.DoModal();
            m_clock.CheckSince(opened);
            break;
        }
        case ID_MENU_ANNIVERSARY_LIST: {
            CAnniversaryListDlg dlg;
            dlg.DoModal();
            m_clock.CheckSince(opened);
            break;
        }
        case ID_MENU_HIDE:
            break;  // choosing it only closes the menu
        default: {
            const std::string address = shortcuts::AddressOf(nId);
            if (!address.empty()) {
                win::EnsureCom();
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

void CCalendarDlg::StepMonth(int nDelta) {
    const int year = m_nYear;
    m_nMonth += nDelta;
    if (m_nMonth < 1 || m_nMonth > 12) {
        m_nYear += nDelta;
        m_nMonth = nDelta > 0 ? 1 : 12;
    }
    DrawMonth();
    if (m_nYear != year) SelectYearInList();
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

// The first tick of a new date: the month, the year list and the tray follow it.
void CCalendarDlg::OnNewDay(const win::LocalTime& now) {
    const bool followed = m_nYear == m_nTodayYear && m_nMonth == m_nTodayMonth;
    SetToday(now);
    m_tray.Update();
    if (followed) SelectYearInList();
    DrawMonth();
}

void CCalendarDlg::OnTimer(UINT_PTR nId) {
    if (!m_tray.OnTimer(nId)) m_clock.OnTimer(nId);
}

// A second start of the program asks this one to come forward.
void CCalendarDlg::OnActivateRequest() {
    if (m_nStyle == 2) {
        ::ShowWindow(m_hWnd, SW_SHOWNA);  // at the bottom it stays at the bottom
    } else {
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::SetForegroundWindow(m_hWnd);
    }
}

bool CCalendarDlg::OnCommand(int nId, int nCode, HWND hCtl) {
    switch (nId) {
        case IDC_BTN_PREV:
        case IDC_BTN_NEXT:
            if (nCode == BN_CLICKED) StepMonth(nId == IDC_BTN_NEXT ? 1 : -1);
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
    if (m_tray.OnMessage(msg, wParam)) return TRUE;
    // The menu's item requests go to it first, the others to the default handling.
    if (m_menu.OnOwnerMessage(msg, lParam)) return TRUE;
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
            EndAfterQuestion(false);
            return TRUE;
        case WM_DESTROY:
            // However the window ends (Esc too), no icon is left behind in the tray.
            m_tray.Remove();
            win::SetModalEndHandler(nullptr);
            break;
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
        default:
            if (msg == m_uActivate && m_uActivate != 0) {
                OnActivateRequest();
                return TRUE;
            }
            break;
    }
    return win::Dialog::OnMessage(msg, wParam, lParam);
}
