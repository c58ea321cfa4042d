// QDriverHook.dll: reads what another process shows, from inside that process.
//
// Under wine a menu handle means nothing in another process, so QDriver cannot
// read a menu of the program directly. It hooks the menu window's thread with
// this DLL (WH_CALLWNDPROC; wine, like Windows, loads the DLL into that process)
// and sends the menu window the registered message "QDriver.ReadMenu" with its own
// process id as wParam. The hook answers by writing the menu as JSON (UTF-8, ended
// by a NUL) into the file mapping "Local\QDriverMenu.<driver pid>" that the driver
// created.
//
// The same way, "QDriver.ReadTray" sent to the taskbar (Shell_TrayWnd) makes the
// hook write the tooltips of the taskbar's thread with their tools and texts: the
// tray icons' tips.
//
// Tray watch: QDriver tray-watch holds the file mapping
// "Local\QDriverTrayWatch.<its pid>" and sends the taskbar "QDriver.TrayWatch"
// with its pid. The hook then pins this DLL in the taskbar's process and
// subclasses the taskbar window (once; the subclass stays for the life of the
// taskbar and only passes messages on while no watch is announced). Every
// Shell_NotifyIcon request that reaches the taskbar (WM_COPYDATA) is appended to
// the announced watch's mapping as a TrayRecord, for as long as that exists. A
// window procedure sees the request as sent; under wine 8 a WH_CALLWNDPROC hook
// is handed a cross-process WM_COPYDATA with its data still packed.

#include "Json.h"

#include <commctrl.h>

#include "TrayWatch.h"

namespace {

const size_t kMappingSize = 64 * 1024;

void WriteAnswer(DWORD driverPid, const std::string& json) {
  wchar_t name[64];
  swprintf(name, 64, L"Local\\QDriverMenu.%lu", static_cast<unsigned long>(driverPid));
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMappingSize);
  if (view) {
    std::string text = json;
    if (text.size() >= kMappingSize) text = "{\"count\":-1,\"items\":[],\"error\":\"answer too large\"}";
    memcpy(view, text.c_str(), text.size() + 1);
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
}

void WriteMenu(HWND menuWindow, DWORD driverPid) {
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  int count = -1;
  std::string items = qdriver::MenuItemsJson(menu, &count);
  qdriver::Obj o;
  o.Add("hmenu", qdriver::Hex(reinterpret_cast<UINT_PTR>(menu)))
      .Add("count", qdriver::Num(count))
      .Add("items", items);
  WriteAnswer(driverPid, o.Text());
}

BOOL CALLBACK CollectTooltip(HWND h, LPARAM p) {
  wchar_t cls[64] = {0};
  GetClassNameW(h, cls, 64);
  if (_wcsicmp(cls, TOOLTIPS_CLASSW) == 0) reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

void WriteTray(HWND trayWindow, DWORD driverPid) {
  std::vector<HWND> tips;
  EnumThreadWindows(GetWindowThreadProcessId(trayWindow, nullptr), CollectTooltip,
                    reinterpret_cast<LPARAM>(&tips));
  std::vector<std::string> tools;
  for (HWND tip : tips) {
    int n = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t text[1024] = {0};
      TTTOOLINFOW ti = {};
      ti.cbSize = sizeof ti;
      ti.lpszText = text;
      if (!SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&ti))) continue;
      qdriver::Obj o;
      o.Add("tooltip", qdriver::Hex(reinterpret_cast<UINT_PTR>(tip)))
          .Add("hwnd", qdriver::Hex(reinterpret_cast<UINT_PTR>(ti.hwnd)))
          .Add("uid", qdriver::Hex(ti.uId))
          .Add("rect", qdriver::RectJson(ti.rect));
      // Text held by the tool itself (not a callback or a resource id).
      o.Str("text", ti.lpszText == text ? std::wstring(text) : std::wstring());
      tools.push_back(o.Text());
    }
  }
  qdriver::Obj o;
  o.Add("tools", qdriver::Array(tools));
  WriteAnswer(driverPid, o.Text());
}

DWORD g_watchPid = 0;  // the tray watch's driver, 0 while none has announced itself
WNDPROC g_trayProc = nullptr;  // the taskbar's own window procedure

void RecordTrayRequest(WPARAM sender, LPARAM data) {
  if (!g_watchPid) return;
  wchar_t name[64];
  swprintf(name, 64, qdriver::kTrayWatchMapping, static_cast<unsigned long>(g_watchPid));
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  auto* log = static_cast<qdriver::TrayLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(qdriver::TrayLog)));
  const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(data);
  if (log && cds && log->count < qdriver::kTrayLogRecords) {
    qdriver::TrayRecord& r = log->records[log->count];
    r.message = static_cast<DWORD>(cds->dwData);
    r.sender = static_cast<DWORD>(sender);
    r.tick = GetTickCount();
    // Wine's request starts with the window, id, flags and callback message
    // as 32-bit fields, like NOTIFYICONDATA without its size.
    if (cds->lpData && cds->cbData >= 16) {
      const DWORD* f = static_cast<const DWORD*>(cds->lpData);
      r.hwnd = f[0];
      r.id = f[1];
      r.flags = f[2];
      r.callback = f[3];
    }
    InterlockedIncrement(&log->count);
  }
  if (log) UnmapViewOfFile(log);
  CloseHandle(mapping);
}

LRESULT CALLBACK TrayWatchProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_COPYDATA) RecordTrayRequest(w, l);
  return CallWindowProcW(g_trayProc, h, msg, w, l);
}

void StartTrayWatch(HWND tray, DWORD driverPid) {
  if (!g_trayProc) {
    // The subclass must outlive the hook that loaded this DLL.
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCWSTR>(&TrayWatchProc), &self))
      return;
    g_trayProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(tray, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWatchProc)));
  }
  g_watchPid = driverPid;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK QDriverCallWndProc(int code, WPARAM w, LPARAM l) {
  static const UINT readMenu = RegisterWindowMessageW(L"QDriver.ReadMenu");
  static const UINT readTray = RegisterWindowMessageW(L"QDriver.ReadTray");
  static const UINT trayWatch = RegisterWindowMessageW(L"QDriver.TrayWatch");
  if (code == HC_ACTION) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(l);
    if (cwp->message == readMenu) WriteMenu(cwp->hwnd, static_cast<DWORD>(cwp->wParam));
    if (cwp->message == readTray) WriteTray(cwp->hwnd, static_cast<DWORD>(cwp->wParam));
    if (cwp->message == trayWatch) StartTrayWatch(cwp->hwnd, static_cast<DWORD>(cwp->wParam));
  }
  return CallNextHookEx(nullptr, code, w, l);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
