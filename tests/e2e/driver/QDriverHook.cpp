// QDriverHook.dll: answers the driver's questions from inside the process that
// owns what only it can read (or set): menus, list views, date pickers, tool bars.
// The driver hooks the window's thread with this DLL (WH_CALLWNDPROC loads it
// there) and sends the window the registered message "QDriver.Ask" with its own
// process id; the request waits as UTF-16 text in the driver's file mapping, and
// the answer replaces it as JSON.
//   controls HWND         every child of HWND: id, class, text, enabled, rect, and
//                         what its class holds: a check box's check, combo items and
//                         selection, trackbar position, list-view columns, rows, their
//                         rects and the selection, a date picker's value, tool-bar buttons
//   menu HWND             the items of the popup menu window HWND
//   tips HWND             the tools of the tooltips of HWND's thread (the tray's tips)
//   set HWND ID VALUE     a date picker to "YYYY-MM-DD HH:MM:SS", any other control's text
//   traylog HWND          the tray requests (add 0, modify 1, delete 2, with window and
//                         id) the taskbar HWND has received since the first traylog:
//                         the first one subclasses it and keeps the log in its process
#include "Json.h"

#include <commctrl.h>

#include <cwchar>

namespace {

using qd::Bool;
using qd::List;
using qd::Num;
using qd::Obj;
using qd::Str;

void ListView(HWND c, Obj& o) {
  std::vector<std::string> columns, rows, rects, selected;
  HWND header = ListView_GetHeader(c);
  const int nColumns = Header_GetItemCount(header);
  for (int k = 0; k < nColumns; ++k) {
    wchar_t text[256] = {0};
    HDITEMW hd = {};
    hd.mask = HDI_TEXT;
    hd.pszText = text;
    hd.cchTextMax = 255;
    Header_GetItem(header, k, &hd);
    columns.push_back(Str(text));
  }
  for (int i = 0; i < ListView_GetItemCount(c); ++i) {
    std::vector<std::string> cells;
    for (int k = 0; k < nColumns; ++k) {
      static wchar_t text[70000];
      text[0] = 0;
      ListView_GetItemText(c, i, k, text, 70000);
      cells.push_back(Str(text));
    }
    rows.push_back(List(cells));
    RECT r = {};
    ListView_GetItemRect(c, i, &r, LVIR_BOUNDS);
    MapWindowPoints(c, nullptr, reinterpret_cast<POINT*>(&r), 2);  // on the screen
    rects.push_back(qd::Rect(r));
    if (ListView_GetItemState(c, i, LVIS_SELECTED)) selected.push_back(Num(i));
  }
  o("columns", List(columns))("rows", List(rows))("row_rects", List(rects))("selected", List(selected))(
      "exstyle", Num(ListView_GetExtendedListViewStyle(c)));
}

void ToolBar(HWND c, Obj& o) {
  std::vector<std::string> buttons;
  for (int i = 0; i < static_cast<int>(SendMessageW(c, TB_BUTTONCOUNT, 0, 0)); ++i) {
    TBBUTTON b = {};
    SendMessageW(c, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
    wchar_t text[128] = {0};
    SendMessageW(c, TB_GETBUTTONTEXTW, b.idCommand, reinterpret_cast<LPARAM>(text));
    buttons.push_back(Obj()("id", Num(b.idCommand))("text", Str(text))("separator", Bool(b.fsStyle & BTNS_SEP))(
        "enabled", Bool(b.fsState & TBSTATE_ENABLED)).Text());
  }
  o("buttons", List(buttons));
}

std::string Control(HWND c) {
  const std::wstring cls = qd::ClassOf(c);
  RECT r = {};
  GetWindowRect(c, &r);
  Obj o;
  o("hwnd", qd::Hex(c))("id", Num(GetDlgCtrlID(c)))("class", Str(cls))("text", Str(qd::TextOf(c)))(
      "enabled", Bool(IsWindowEnabled(c)))("rect", qd::Rect(r));
  if (_wcsicmp(cls.c_str(), L"Button") == 0) {
    o("check", Num(SendMessageW(c, BM_GETCHECK, 0, 0)));
  } else if (_wcsicmp(cls.c_str(), L"ComboBox") == 0) {
    std::vector<std::string> items;
    for (int i = 0; i < static_cast<int>(SendMessageW(c, CB_GETCOUNT, 0, 0)); ++i) {
      wchar_t text[256] = {0};
      if (SendMessageW(c, CB_GETLBTEXTLEN, i, 0) < 255) SendMessageW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      items.push_back(Str(text));
    }
    o("cursel", Num(SendMessageW(c, CB_GETCURSEL, 0, 0)))("items", List(items));
  } else if (cls == TRACKBAR_CLASSW) {
    o("pos", Num(SendMessageW(c, TBM_GETPOS, 0, 0)));
  } else if (cls == WC_LISTVIEWW) {
    ListView(c, o);
  } else if (cls == TOOLBARCLASSNAMEW) {
    ToolBar(c, o);
  } else if (cls == DATETIMEPICK_CLASSW) {
    SYSTEMTIME st = {};
    wchar_t text[32] = L"";
    if (DateTime_GetSystemtime(c, &st) == GDT_VALID)
      swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
               st.wSecond);
    o("value", Str(text));
  }
  return o.Text();
}

std::string Controls(HWND dlg) {
  std::vector<std::string> controls;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) controls.push_back(Control(c));
  return Obj()("controls", List(controls)).Text();
}

std::string Menu(HWND menuWindow) {
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  std::vector<std::string> items;
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_FTYPE;
    GetMenuItemInfoW(menu, i, TRUE, &mi);
    RECT r = {};
    GetMenuItemRect(nullptr, menu, i, &r);
    items.push_back(Obj()("id", Num(mi.wID))("ownerdraw", Bool(mi.fType & MFT_OWNERDRAW))(
        "separator", Bool(mi.fType & MFT_SEPARATOR))("rect", qd::Rect(r)).Text());
  }
  return Obj()("items", List(items)).Text();
}

BOOL CALLBACK AddTooltip(HWND h, LPARAM p) {
  if (qd::ClassOf(h) == TOOLTIPS_CLASSW) reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::string Tips(HWND h) {
  std::vector<HWND> tips;
  EnumThreadWindows(GetWindowThreadProcessId(h, nullptr), AddTooltip, reinterpret_cast<LPARAM>(&tips));
  std::vector<std::string> tools;
  for (HWND tip : tips) {
    for (int i = 0; i < static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)); ++i) {
      wchar_t text[1024] = {0};
      TTTOOLINFOW ti = {};
      ti.cbSize = sizeof ti;
      ti.lpszText = text;
      if (!SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti))) continue;
      tools.push_back(Obj()("rect", qd::Rect(ti.rect))("text", Str(ti.lpszText == text ? text : L"")).Text());
    }
  }
  return Obj()("tools", List(tools)).Text();
}

std::string Set(HWND dlg, int id, const wchar_t* value) {
  HWND c = GetDlgItem(dlg, id);
  if (!c) return Obj()("error", Str(L"no such control")).Text();
  if (qd::ClassOf(c) == DATETIMEPICK_CLASSW) {
    SYSTEMTIME st = {};
    if (swscanf(value, L"%hu-%hu-%hu %hu:%hu:%hu", &st.wYear, &st.wMonth, &st.wDay, &st.wHour, &st.wMinute,
                &st.wSecond) != 6 || !DateTime_SetSystemtime(c, GDT_VALID, &st))
      return Obj()("error", Str(L"not a date and time the picker takes")).Text();
  } else {
    SetWindowTextW(c, value);
  }
  return Obj()("set", Str(value)).Text();
}

// The taskbar's requests, as Shell_NotifyIcon sends them (WM_COPYDATA whose
// data starts with the window and the id as 32-bit fields).
WNDPROC g_trayProc = nullptr;
std::vector<std::string> g_trayLog;

LRESULT CALLBACK TrayLogProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
  if (msg == WM_COPYDATA && cds && cds->lpData && cds->cbData >= 8) {
    const DWORD* f = static_cast<const DWORD*>(cds->lpData);
    g_trayLog.push_back(List({Num(cds->dwData), Num(f[0]), Num(f[1])}));
  }
  return CallWindowProcW(g_trayProc, h, msg, w, l);
}

std::string TrayLog(HWND tray) {
  HMODULE self = nullptr;  // the subclass outlives the hook that loaded this DLL
  if (!g_trayProc && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                        reinterpret_cast<LPCWSTR>(&TrayLogProc), &self))
    g_trayProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(tray, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayLogProc)));
  return Obj()("requests", List(g_trayLog)).Text();
}

void Answer(DWORD driverPid) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, qd::MappingName(driverPid).c_str());
  char* view = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, qd::kMappingSize)) : nullptr;
  if (view) {
    const std::wstring request(reinterpret_cast<const wchar_t*>(view));
    wchar_t verb[16] = {0};
    long long h = 0;
    int id = 0, used = 0;
    swscanf(request.c_str(), L"%15ls %lld %d %n", verb, &h, &id, &used);
    HWND hwnd = reinterpret_cast<HWND>(h);
    std::string answer = Obj()("error", Str(L"unknown request")).Text();
    if (!wcscmp(verb, L"controls")) answer = Controls(hwnd);
    if (!wcscmp(verb, L"menu")) answer = Menu(hwnd);
    if (!wcscmp(verb, L"tips")) answer = Tips(hwnd);
    if (!wcscmp(verb, L"traylog")) answer = TrayLog(hwnd);
    if (!wcscmp(verb, L"set") && used) answer = Set(hwnd, id, request.c_str() + used);
    if (answer.size() >= qd::kMappingSize) answer = Obj()("error", Str(L"answer too large")).Text();
    memcpy(view, answer.c_str(), answer.size() + 1);
    UnmapViewOfFile(view);
  }
  if (mapping) CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK QDriverAsk(int code, WPARAM w, LPARAM l) {
  static const UINT ask = RegisterWindowMessageW(L"QDriver.Ask");
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(l);
  if (code == HC_ACTION && cwp->message == ask) Answer(static_cast<DWORD>(cwp->wParam));
  return CallNextHookEx(nullptr, code, w, l);
}
