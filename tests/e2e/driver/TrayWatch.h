// What QDriver's tray watch shares with its hook in the taskbar's process: the
// Shell_NotifyIcon requests that reached the taskbar, in arrival order.
#pragma once

#include <windows.h>

namespace qdriver {

// "Local\QDriverTrayWatch.<watching driver's pid>"; the hook learns the pid from
// the registered message "QDriver.TrayWatch" (wParam) sent to the taskbar.
constexpr const wchar_t* kTrayWatchMapping = L"Local\\QDriverTrayWatch.%lu";
constexpr LONG kTrayLogRecords = 256;

struct TrayRecord {
  DWORD message;   // NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2, ...
  DWORD sender;    // the window handle the request came with (WM_COPYDATA's wParam)
  DWORD hwnd;      // the icon's window, id, flags and callback message
  DWORD id;
  DWORD flags;
  DWORD callback;
  DWORD tick;      // GetTickCount when the taskbar received it
};

struct TrayLog {
  volatile LONG count;
  TrayRecord records[kTrayLogRecords];
};

}  // namespace qdriver
