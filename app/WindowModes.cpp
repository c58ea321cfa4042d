// The window modes: opacity, start with Windows, click-through, place and
// stacking, as the settings file gives them.
#include <windows.h>

#include "app/CalendarApp.h"
#include "app/CalendarDlg.h"
#include "app/Profile.h"
#include "app/core/WindowSettings.h"
#include "win/App.h"

#include <cstdlib>
#include <vector>

namespace {

constexpr const wchar_t* kRunValueName = L"QuorvelRun";

std::wstring Quoted(std::wstring path) {
    // A trailing backslash is doubled so that it does not escape the closing quote.
    if (!path.empty() && path.back() == L'\\') path += L'\\';
    return L"\"" + path + L"\"";
}

// The program's own path, quoted, followed by the folder of its database and
// settings: started at logon, its working directory would be the system
// folder. Wide, so that a folder name outside the ANSI code page survives.
std::wstring OwnCommandLine() {
    std::wstring path(32768, L'\0'), dir(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
    const DWORD d = ::GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), &dir[0]);
    std::wstring line = Quoted(path);
    if (d > 0 && d < dir.size()) line += L" /dir " + Quoted(dir.substr(0, d));
    return line;
}

std::wstring Widen(const std::string& strAscii) { return std::wstring(strAscii.begin(), strAscii.end()); }

bool SetRunValue(HKEY root, const std::string& strKey, const std::wstring& strData) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, Widen(strKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG result = ::RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strData.c_str()),
                                         static_cast<DWORD>((strData.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// True when no value is left afterwards (there was none, or it was deleted).
bool DeleteRunValue(HKEY root, const std::string& strKey) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, Widen(strKey).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        const LONG result = ::RegDeleteValueW(key, kRunValueName);
        ::RegCloseKey(key);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    // Not writable: only a value that is there is a problem.
    if (::RegOpenKeyExW(root, Widen(strKey).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
    const bool present = ::RegQueryValueExW(key, kRunValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return !present;
}

// Tells the user about a registration that could not be removed, and how to remove it.
void ReportStaleRunValue(HKEY root, const std::string& strKey) {
    const char* rootName = root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
    win::AppMessageBox(std::string("无法删除开机运行登记 ") + rootName + "\\" + strKey +
                       "\\QuorvelRun（没有权限）。\r\n请以管理员身份运行一次本程序，在“窗口设置”中确定一次；"
                       "或用注册表编辑器删除这个值。");
}

// The monitors' work areas: the screen without the taskbar.
BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcWork;
        reinterpret_cast<std::vector<settings::WindowRect>*>(areas)->push_back({r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
}

}  // namespace

void CCalendarDlg::ApplyAutoRun(const std::string& strValue) {
    switch (settings::ParseSwitch(strValue)) {
        case settings::Switch::Off:
            for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
                if (!DeleteRunValue(root, m_strRunKey)) ReportStaleRunValue(root, m_strRunKey);
            }
            break;
        case settings::Switch::On:
            // One registration only: the machine's when this account may write
            // it, else the user's own; the other one goes.
            if (SetRunValue(HKEY_LOCAL_MACHINE, m_strRunKey, OwnCommandLine())) {
                if (!DeleteRunValue(HKEY_CURRENT_USER, m_strRunKey)) ReportStaleRunValue(HKEY_CURRENT_USER, m_strRunKey);
            } else if (SetRunValue(HKEY_CURRENT_USER, m_strRunKey, OwnCommandLine())) {
                if (!DeleteRunValue(HKEY_LOCAL_MACHINE, m_strRunKey)) ReportStaleRunValue(HKEY_LOCAL_MACHINE, m_strRunKey);
            } else {
                win::AppMessageBox("无法登记开机运行（没有写注册表的权限），日历不会随 Windows 启动。");
            }
            break;
        case settings::Switch::Unchanged:
            break;
    }
}

void CCalendarDlg::ApplyWindowSettings() {
    using namespace settings;
    const std::string trans = ReadSetting(kKeyTransparency, kTransparencyChars);

    LONG_PTR exStyle = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED;
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, exStyle);
    if (HMODULE user32 = ::LoadLibraryA("User32.DLL")) {
        using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
        auto setLayered = reinterpret_cast<SetLayeredFn>(
            reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
        if (setLayered) setLayered(m_hWnd, 0, static_cast<BYTE>(AlphaFromTransparency(trans)), LWA_ALPHA);
        ::FreeLibrary(user32);
    }

    ApplyAutoRun(ReadSetting(kKeyAutoRun, kSwitchChars));

    switch (ParseSwitch(ReadSetting(kKeyClickThrough, kSwitchChars))) {
        case Switch::Off: exStyle &= ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT); break;
        case Switch::On: exStyle |= WS_EX_TRANSPARENT; break;
        case Switch::Unchanged: break;
    }
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, exStyle);

    const bool showDaysOff = ParseSwitch(ReadSetting(kKeyDaysOff, kSwitchChars)) != Switch::Off;
    if (showDaysOff != m_bShowDaysOff) {
        m_bShowDaysOff = showDaysOff;
        UpdateTodayTip();
        if (m_bInitDone) {  // at start-up the icon and the month come later, with these
            m_tray.Update();
            DrawMonth();
        }
    }

    RECT client;
    ::GetClientRect(m_hWnd, &client);
    std::vector<WindowRect> workAreas;
    ::EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&workAreas));
    WindowRect place{};
    if (!ParsePosition(ReadSetting(kKeyPosition, kPositionChars, kDefaultPosition), place) ||
        !IsUsablePlace(place, client.right, client.bottom, workAreas)) {
        place = CentredRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), client.right,
                            client.bottom);
    }

    static const HWND kInsertAfter[3] = {HWND_NOTOPMOST, HWND_TOPMOST, HWND_BOTTOM};
    const int style = ParseStyle(ReadSetting(kKeyStyle, kSwitchChars));
    if (style >= 0) {
        m_nStyle = style;
        // Activating the window would lift it back to the top of the stack.
        const UINT flags = SWP_SHOWWINDOW | (kInsertAfter[style] == HWND_BOTTOM ? SWP_NOACTIVATE : 0);
        // The saved place, in screen pixels. A size saved at another scale than the
        // window's now (far from its skin's size) would cut the month off or stretch
        // it: the window keeps its own size then.
        int w = place.right - place.left, h = place.bottom - place.top;
        if (std::abs(w - client.right) > client.right / 16 || std::abs(h - client.bottom) > client.bottom / 16) {
            w = client.right;
            h = client.bottom;
        }
        ::SetWindowPos(m_hWnd, kInsertAfter[style], place.left, place.top, w, h, flags);
    }
}
