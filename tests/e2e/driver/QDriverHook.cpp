// QDriverHook.dll: reads a popup menu from inside the process that shows it.
//
// Under wine a menu handle means nothing in another process, so QDriver cannot
// read a menu of the program directly. It hooks the menu window's thread with
// this DLL (WH_CALLWNDPROC; wine, like Windows, loads the DLL into that process)
// and sends the menu window the registered message "QDriver.ReadMenu" with its own
// process id as wParam. The hook answers by writing the menu as JSON (UTF-8, ended
// by a NUL) into the file mapping "Local\QDriverMenu.<driver pid>" that the driver
// created.

#include "Json.h"

namespace {

const size_t kMappingSize = 64 * 1024;

void WriteMenu(HWND menuWindow, DWORD driverPid) {
  wchar_t name[64];
  swprintf(name, 64, L"Local\\QDriverMenu.%lu", static_cast<unsigned long>(driverPid));
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMappingSize);
  if (view) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    int count = -1;
    std::string items = qdriver::MenuItemsJson(menu, &count);
    qdriver::Obj o;
    o.Add("hmenu", qdriver::Hex(reinterpret_cast<UINT_PTR>(menu)))
        .Add("count", qdriver::Num(count))
        .Add("items", items);
    std::string text = o.Text();
    if (text.size() >= kMappingSize) text = "{\"count\":-1,\"items\":[],\"error\":\"menu too large\"}";
    memcpy(view, text.c_str(), text.size() + 1);
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK QDriverCallWndProc(int code, WPARAM w, LPARAM l) {
  static const UINT readMenu = RegisterWindowMessageW(L"QDriver.ReadMenu");
  if (code == HC_ACTION) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(l);
    if (cwp->message == readMenu) WriteMenu(cwp->hwnd, static_cast<DWORD>(cwp->wParam));
  }
  return CallNextHookEx(nullptr, code, w, l);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
