#include "app/CalendarDlg.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <shellapi.h>

#include "alarms/AlarmRules.h"
#include "alarms/MemoDlg.h"
#include "alarms/MemoListDlg.h"
#include "alarms/NoticeDlg.h"
#include "anniversaries/AnniversaryDlg.h"
#include "anniversaries/AnniversaryListDlg.h"
#include "anniversaries/AnniversaryRules.h"
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
constexpr UINT kMinuteSlackMs = 200;  // after the minute's start, so the clock reads the new minute
constexpr UINT_PTR kTrayRetryTimer = 2;
constexpr UINT kTrayRetryMs = 3000;
constexpr int kTrayRetryLimit = 40;  // two minutes
constexpr UINT_PTR kShownTimer = 3;  // no delay: comes once the first paint is done
constexpr DWORD kTrayAddWaitMs = 5000;
// The year list holds the years the lunar table covers.
constexpr int kFirstListYear = LunarCalendar::kFirstLunarYear;
constexpr int kListYears = LunarCalendar::kLunarYearCount;
}  // namespace

CCalendarDlg::CCalendarDlg(HWND hParent)
    : win::Dialog(IDD_CALENDAR_DIALOG, hParent),
      m_ticker(ToLocalMinute(win::LocalTime::Now())),
      m_background(BackgroundBrush::Create()) {
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
    m_uTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    m_uActivate = ::RegisterWindowMessageA(kActivateMessage);
    ::SetPropW(m_hWnd, kMainWindowProp, reinterpret_cast<HANDLE>(1));
    SetToday(now);
    m_nTrayId = m_nDay + IDI_DAY1 - 1;

    m_strRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    // No taskbar button.
    LONG_PTR exStyle = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
    exStyle = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, exStyle);

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
    ArmMinuteTimer();
    // Explorer's work on a new icon would hold up the window's first paint.
    ::SetTimer(m_hWnd, kShownTimer, 0, nullptr);
    return TRUE;
}

void CCalendarDlg::DrawMonth() {
    // The user's file is looked at whenever the month is drawn: a change shows at once.
    if (m_holidays.Refresh()) {
        UpdateTodayTip();
        NotifyTrayIcon(NIM_MODIFY);
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
    if (::MessageBoxA(m_hWnd, "确定要退出" QUORVEL_TITLE "吗？", "信息", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
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
    // The small image of the day icon: the tray shows it at 16 x 16.
    HICON icon = static_cast<HICON>(::LoadImageA(win::AppInstance(), MAKEINTRESOURCEA(m_nDay + IDI_DAY1 - 1),
                                                 IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0));
    // Should the picture not load, the previous one stays: destroying it would
    // leave m_hIcon naming a destroyed icon.
    if (icon) {
        m_hIcon = icon;
        m_trayIcon.Reset(icon);
    }
}

// Today's dates and, with the marks shown, its holiday: "国庆节 休".
void CCalendarDlg::UpdateTodayTip() {
    using namespace LunarCalendar;
    win::LocalTime today;
    today.nYear = m_nTodayYear, today.nMonth = m_nTodayMonth, today.nDay = m_nDay;
    const DayOff dayOff = m_bShowDaysOff ? m_holidays.Days().Find(m_nTodayYear, m_nTodayMonth, m_nDay)
                                         : DayOff{DayOffNone, ""};
    m_strTrayTip = tray::BuildTip(today.Format("%Y年%m月%d日"),
                                  GetLunarDateText(SolarToLunar({m_nTodayYear, m_nTodayMonth, m_nDay})), dayOff);
}

void CCalendarDlg::AddTrayIconOrRetry() { OnTrayIconAdded(NotifyTrayIcon(NIM_ADD)); }

void CCalendarDlg::OnTrayIconAdded(bool bAdded) {
    // At logon the taskbar may not answer yet: try again for a while.
    if (bAdded) {
        ::KillTimer(m_hWnd, kTrayRetryTimer);
        m_nTrayRetries = 0;
    } else if (m_nTrayRetries++ < kTrayRetryLimit) {
        ::SetTimer(m_hWnd, kTrayRetryTimer, kTrayRetryMs, nullptr);
    } else {
        ::KillTimer(m_hWnd, kTrayRetryTimer);
    }
}

namespace {
DWORD WINAPI AddTrayIconThread(void* data) {
    const std::unique_ptr<NOTIFYICONDATAA> nid(static_cast<NOTIFYICONDATAA*>(data));
    const BOOL added = ::Shell_NotifyIconA(NIM_ADD, nid.get());
    ::PostMessageA(nid->hWnd, WM_TRAYADDED, static_cast<WPARAM>(added), 0);
    return 0;
}
}  // namespace

void CCalendarDlg::StartTrayIconAdd() {
    // The taskbar takes its time over a new icon (a sent message to another
    // process); the window keeps answering meanwhile. WM_TRAYADDED brings the
    // outcome.
    auto nid = std::make_unique<NOTIFYICONDATAA>(TrayIconData(NIM_ADD));
    m_hTrayAdder = ::CreateThread(nullptr, 0, AddTrayIconThread, nid.get(), 0, nullptr);
    if (m_hTrayAdder) {
        nid.release();  // the thread's now
    } else {
        AddTrayIconOrRetry();
    }
}

void CCalendarDlg::WaitForTrayIconAdd() {
    if (!m_hTrayAdder) return;
    // Every later request waits for the add, so none overtakes it; a taskbar
    // that does not answer at all holds the window up no longer than this.
    ::WaitForSingleObject(m_hTrayAdder, kTrayAddWaitMs);
    ::CloseHandle(m_hTrayAdder);
    m_hTrayAdder = nullptr;
}

NOTIFYICONDATAA CCalendarDlg::TrayIconData(DWORD dwMessage) const {
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
    return nid;
}

bool CCalendarDlg::NotifyTrayIcon(DWORD dwMessage) {
    WaitForTrayIconAdd();
    NOTIFYICONDATAA nid = TrayIconData(dwMessage);
    return ::Shell_NotifyIconA(dwMessage, &nid) != FALSE;
}

void CCalendarDlg::RemoveTrayIcon() { NotifyTrayIcon(NIM_DELETE); }

void CCalendarDlg::TrackMenu(int x, int y, UINT nFlags) {
    // Made when first wanted: start-up need not wait for it.
    if (!m_menu.GetHandle()) {
        m_menu.Attach(::LoadMenuA(win::AppInstance(), MAKEINTRESOURCEA(IDR_MENU_POPUP)));
        m_menu.ConvertToOwnerDraw(m_menu.GetHandle());
    }
    HMENU popup = m_menu.GetSubMenu(0);
    if (!popup) return;
    // Without the foreground the menu would stay open when the user clicks
    // elsewhere; the posted message lets it close cleanly afterwards.
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(popup, nFlags, x, y, 0, m_hWnd, nullptr);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    // The foreground lifted a window that lives at the bottom: put it back.
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
            break;
        }
        case ID_MENU_NEW_ANNIVERSARY: {
            CAnniversaryDlg dlg;
            dlg.DoModal();
            break;
        }
        case ID_MENU_MEMO_LIST: {
            CMemoListDlg dlg;
            dlg.DoModal();
            break;
        }
        case ID_MENU_ANNIVERSARY_LIST: {
            CAnniversaryListDlg dlg;
            dlg.DoModal();
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

// The minute timer fires just after each minute begins, so that a reminder
// shows within a second or two of its minute; it is set anew at every tick.
void CCalendarDlg::ArmMinuteTimer() {
    const win::LocalTime now = win::LocalTime::Now();
    ::SetTimer(m_hWnd, kMinuteTimer, static_cast<UINT>((60 - now.nSecond) * 1000 + kMinuteSlackMs), nullptr);
}

void CCalendarDlg::OnMinuteTick() {
    ArmMinuteTimer();
    const win::LocalTime now = win::LocalTime::Now();
    if (now.nYear != m_nTodayYear || now.nMonth != m_nTodayMonth || now.nDay != m_nDay) {
        const bool followed = m_nYear == m_nTodayYear && m_nMonth == m_nTodayMonth;
        SetToday(now);
        if (!NotifyTrayIcon(NIM_MODIFY)) AddTrayIconOrRetry();
        if (followed) SelectYearInList();
        DrawMonth();
    }
    // The mark moves before any notice shows: a tick that arrives while a
    // notice is open takes only the minutes after these.
    const MinuteTicker::Range minutes = m_ticker.Take(ToLocalMinute(now));
    if (minutes.IsEmpty()) return;
    CheckMemoAlarms(minutes.nFirst, minutes.nLast, ShowReminderNotice);
    CheckAnniversaries(minutes.nFirst, minutes.nLast, ShowReminderNotice);
}

void CCalendarDlg::OnTimer(UINT_PTR nId) {
    if (nId == kTrayRetryTimer) AddTrayIconOrRetry();
    if (nId == kShownTimer) {
        ::KillTimer(m_hWnd, kShownTimer);
        StartTrayIconAdd();
    }
    if (nId == kMinuteTimer) OnMinuteTick();
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
            RemoveTrayIcon();
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
        case WM_TRAYADDED:
            WaitForTrayIconAdd();
            OnTrayIconAdded(wParam != 0);
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
            if (msg == m_uActivate && m_uActivate != 0) {
                OnActivateRequest();
                return TRUE;
            }
            break;
    }
    return win::Dialog::OnMessage(msg, wParam, lParam);
}
