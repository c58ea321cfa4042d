#include "app/TrayIcon.h"

#include <memory>

#include "app/core/TrayTip.h"
#include "res/resource.h"
#include "win/App.h"

namespace {
constexpr UINT_PTR kRetryTimer = 2;
constexpr UINT kRetryMs = 3000;
constexpr int kRetryLimit = 40;  // two minutes
constexpr UINT_PTR kShownTimer = 3;  // no delay: comes once the first paint is done
constexpr DWORD kAddWaitMs = 5000;

DWORD WINAPI AddTrayIconThread(void* data) {
    const std::unique_ptr<NOTIFYICONDATAA> nid(static_cast<NOTIFYICONDATAA*>(data));
    const BOOL added = ::Shell_NotifyIconA(NIM_ADD, nid.get());
    ::PostMessageA(nid->hWnd, WM_TRAYADDED, static_cast<WPARAM>(added), 0);
    return 0;
}
}  // namespace

void CTrayIcon::Attach(HWND hWnd, int nId) {
    m_hWnd = hWnd;
    m_nId = nId;
    m_uTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
}

bool CTrayIcon::SetDay(const win::LocalTime& today) {
    // The small image of the day icon: the tray shows it at 16 x 16.
    HICON icon = static_cast<HICON>(::LoadImageA(win::AppInstance(), MAKEINTRESOURCEA(today.nDay + IDI_DAY1 - 1),
                                                 IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0));
    // Should the picture not load, the previous one stays: the window may
    // still be drawing it as its own icon.
    if (!icon) return false;
    m_icon.Reset(icon);
    return true;
}

void CTrayIcon::AddAfterFirstPaint() {
    // Explorer's work on a new icon would hold up the window's first paint.
    ::SetTimer(m_hWnd, kShownTimer, 0, nullptr);
}

void CTrayIcon::Update() {
    if (!Notify(NIM_MODIFY)) AddOrRetry();
}

void CTrayIcon::Remove() { Notify(NIM_DELETE); }

bool CTrayIcon::OnTimer(UINT_PTR nId) {
    if (nId == kRetryTimer) {
        AddOrRetry();
        return true;
    }
    if (nId == kShownTimer) {
        ::KillTimer(m_hWnd, kShownTimer);
        StartAdd();
        return true;
    }
    return false;
}

bool CTrayIcon::OnMessage(UINT msg, WPARAM wParam) {
    if (msg == WM_TRAYADDED) {
        WaitForAdd();
        OnAdded(wParam != 0);
        return true;
    }
    // After Explorer restarts the icon is gone: add it again.
    if (msg == m_uTaskbarCreated && m_uTaskbarCreated != 0) {
        m_nRetries = 0;
        AddOrRetry();
        return true;
    }
    return false;
}

void CTrayIcon::AddOrRetry() { OnAdded(Notify(NIM_ADD)); }

void CTrayIcon::OnAdded(bool bAdded) {
    // At logon the taskbar may not answer yet: try again for a while.
    if (bAdded) {
        ::KillTimer(m_hWnd, kRetryTimer);
        m_nRetries = 0;
    } else if (m_nRetries++ < kRetryLimit) {
        ::SetTimer(m_hWnd, kRetryTimer, kRetryMs, nullptr);
    } else {
        ::KillTimer(m_hWnd, kRetryTimer);
    }
}

void CTrayIcon::StartAdd() {
    // The taskbar takes its time over a new icon (a sent message to another
    // process); the window keeps answering meanwhile. WM_TRAYADDED brings the
    // outcome.
    auto nid = std::make_unique<NOTIFYICONDATAA>(Data(NIM_ADD));
    m_hAdder = ::CreateThread(nullptr, 0, AddTrayIconThread, nid.get(), 0, nullptr);
    if (m_hAdder) {
        nid.release();  // the thread's now
    } else {
        AddOrRetry();
    }
}

void CTrayIcon::WaitForAdd() {
    if (!m_hAdder) return;
    // Every later request waits for the add, so none overtakes it; a taskbar
    // that does not answer at all holds the window up no longer than this.
    ::WaitForSingleObject(m_hAdder, kAddWaitMs);
    ::CloseHandle(m_hAdder);
    m_hAdder = nullptr;
}

NOTIFYICONDATAA CTrayIcon::Data(DWORD dwMessage) const {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = m_hWnd;
    nid.uID = static_cast<UINT>(m_nId);
    if (dwMessage != NIM_DELETE) {
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = WM_TRAYNOTIFY;
        nid.hIcon = m_icon;
        lstrcpynA(nid.szTip, m_strTip.c_str(), static_cast<int>(tray::kTipBytes + 1));
    }
    return nid;
}

bool CTrayIcon::Notify(DWORD dwMessage) {
    WaitForAdd();
    NOTIFYICONDATAA nid = Data(dwMessage);
    return ::Shell_NotifyIconA(dwMessage, &nid) != FALSE;
}
