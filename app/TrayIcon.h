// The calendar's icon in the notification area: today's day number as its
// picture and the Gregorian and lunar date as its tip. It is added once the
// window has painted, on a thread of its own, retried while the taskbar does
// not answer, and added again when the taskbar is made anew.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win/Gdi.h"
#include "win/LocalTime.h"

// The tray icon's callback message.
constexpr UINT WM_TRAYNOTIFY = 12001;
// The start-up tray add's outcome (wParam: added), posted by its thread.
constexpr UINT WM_TRAYADDED = 12002;

class CTrayIcon {
public:
    // The window that gets the icon's messages and timers, and the icon's id,
    // which stays when the day changes.
    void Attach(HWND hWnd, int nId);
    // Today's picture, used by the next request. False, with the previous
    // picture kept, when the picture does not load.
    bool SetDay(const win::LocalTime& today);
    // The tip of the next request (cut to the tip's size when sent).
    void SetTip(const std::string& strTip) { m_strTip = strTip; }
    HICON Picture() const { return m_icon; }

    // Adds the icon as soon as the window's first paint is done.
    void AddAfterFirstPaint();
    // Shows a new day's picture and tip; adds the icon when it is missing.
    void Update();
    void Remove();

    // The icon's timers and messages (the add's outcome, the taskbar made
    // anew); true when it was one of them.
    bool OnTimer(UINT_PTR nId);
    bool OnMessage(UINT msg, WPARAM wParam);

private:
    NOTIFYICONDATAA Data(DWORD dwMessage) const;
    bool Notify(DWORD dwMessage);
    void AddOrRetry();
    void OnAdded(bool bAdded);
    void StartAdd();
    void WaitForAdd();

    HWND m_hWnd = nullptr;
    int m_nId = 0;
    std::string m_strTip;
    win::Icon m_icon;              // the day's picture
    UINT m_uTaskbarCreated = 0;    // broadcast when the taskbar is made anew
    int m_nRetries = 0;
    HANDLE m_hAdder = nullptr;     // the start-up add's thread until its outcome is in
};
