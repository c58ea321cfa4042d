// The window modes: opacity, start with Windows, click-through, place and
// stacking, as the settings file gives them.
#include <windows.h>

#include "app/CalendarApp.h"
#include "app/CalendarDlg.h"
#include "app/Profile.h"
#include "app/core/WindowSettings.h"

namespace {

constexpr const char* kRunValueName = "QuorvelRun";

// Quotes a path for a command line; a trailing backslash is doubled so that
// it does not escape the closing quote.
std::string Quoted(std::string path) {
    if (!path.empty() && path.back() == '\\') path += '\\';
    return "\"" + path + "\"";
}

// The program's own full path, quoted, as the Run key wants it, followed by
// the folder of its database and settings: started at logon, the program's
// working directory would otherwise be the system folder.
std::string OwnCommandLine() {
    char path[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    char dir[MAX_PATH * 2] = {};
    const DWORD d = ::GetCurrentDirectoryA(sizeof dir, dir);
    std::string line = Quoted(std::string(path, n));
    if (d > 0 && d < sizeof dir) line += " " + std::string(kWorkDirSwitch) + " " + Quoted(std::string(dir, d));
    return line;
}

bool SetRunValue(HKEY root, const std::string& strKey, const std::string& strData) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(root, strKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                          &disposition) != ERROR_SUCCESS) {
        return false;
    }
    const LONG result = ::RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strData.c_str()),
                                         static_cast<DWORD>(strData.size() + 1));
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void DeleteRunValue(HKEY root, const std::string& strKey) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, strKey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    ::RegDeleteValueA(key, kRunValueName);  // a missing value is no error
    ::RegCloseKey(key);
}

// A saved place the user could never reach again (no size, or entirely off
// every monitor) is treated as no saved place.
bool IsReachable(const settings::WindowRect& rc) {
    if (rc.right <= rc.left || rc.bottom <= rc.top) return false;
    const RECT r{rc.left, rc.top, rc.right, rc.bottom};
    return ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace

void CCalendarDlg::ApplyAutoRun(const std::string& strValue) {
    switch (settings::ParseSwitch(strValue)) {
        case settings::Switch::Off:
            DeleteRunValue(HKEY_LOCAL_MACHINE, m_strRunKey);
            DeleteRunValue(HKEY_CURRENT_USER, m_strRunKey);
            break;
        case settings::Switch::On:
            // An ordinary account may not write the machine's Run key; the
            // user's own Run key then makes the choice take effect.
            if (!SetRunValue(HKEY_LOCAL_MACHINE, m_strRunKey, OwnCommandLine())) {
                SetRunValue(HKEY_CURRENT_USER, m_strRunKey, OwnCommandLine());
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

    WindowRect place{};
    if (!ParsePosition(ReadSetting(kKeyPosition, kPositionChars, kDefaultPosition), place) || !IsReachable(place)) {
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        place = CentredRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), client.right,
                            client.bottom);
    }

    static const HWND kInsertAfter[3] = {HWND_NOTOPMOST, HWND_TOPMOST, HWND_BOTTOM};
    const int style = ParseStyle(ReadSetting(kKeyStyle, kSwitchChars));
    if (style >= 0) {
        // Activating the window would lift it back to the top of the stack.
        const UINT flags = SWP_SHOWWINDOW | (kInsertAfter[style] == HWND_BOTTOM ? SWP_NOACTIVATE : 0);
        ::SetWindowPos(m_hWnd, kInsertAfter[style], place.left, place.top, place.right - place.left,
                       place.bottom - place.top, flags);
    }
}
