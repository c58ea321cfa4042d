// QDriver: the tests' hands and eyes inside the wine desktop of the program under
// test. Each run does one command and prints one JSON line (UTF-8):
// {"ok":true,...} or {"ok":false,"error":"..."}.
//
//   QDriver.exe COMMAND [ARGS...] [--timeout MS] [--send]
//
// SEL picks a top-level window by conditions joined with commas, all of which must
// hold: class=NAME, caption=TEXT, has=ID (has a child control ID), hwnd=N (any
// window, even hidden; the others take visible top-level windows). Commands that
// need a window wait for it up to --timeout ms (default 5000). Numbers may be 0x-hex.
//
//   find SEL                   the window: handle, pid, class, caption, rect, client size
//                              and origin, styles, enabled, topmost, alpha, bottom (last
//                              in the stacking order)
//   gone SEL                   wait until no window matches
//   list                       every visible top-level window
//   controls SEL               the window and its controls, read inside its process (see
//                              QDriverHook.cpp)
//   set SEL ID VALUE           a control's text; a date picker's "YYYY-MM-DD HH:MM:SS"
//   click SEL ID               BM_CLICK to control ID (posted; sent with --send)
//   command SEL ID             WM_COMMAND(ID) posted to SEL, as a menu or tool bar gives it
//   select SEL ID INDEX        combo ID selects INDEX and tells SEL (CBN_SELCHANGE)
//   post|send SEL MSG [W [L]]  a message; MSG a number or reg:NAME (registered)
//   key SEL VK                 a key press to the control of SEL that has the focus
//   menu                       the open popup menu's items (id, owner-drawn, rect)
//   tips                       the tray icons' tips, as the taskbar's tooltips hold them
//   traylog                    the tray requests the taskbar has had since the first
//                              traylog: [message (0 add, 1 modify, 2 delete), hwnd, id]
//   reg ROOT\KEY NAME          a registry string value (HKLM or HKCU), or null
//   tray HWND ID [delete]      whether the tray holds icon ID of window HWND; with
//                              delete, takes it away (as a restarted taskbar loses it)
//   hold                       stay (keeps wine's desktop open) until --timeout
//   record FILE                append this process's command line to FILE and end
//                              (to stand in for a program the shell starts)
#include "Json.h"

#include <shellapi.h>

#include <cwchar>

namespace {

using qd::Bool;
using qd::Num;
using qd::Obj;
using qd::Str;

struct Args {
  std::vector<std::wstring> pos;
  DWORD timeoutMs = 5000;
  bool send = false;
};

int Emit(bool ok, const std::string& body, const std::wstring& error = L"") {
  std::string line = "{\"ok\":" + Bool(ok) + (ok ? "" : ",\"error\":" + Str(error));
  if (body.size() > 2) line += "," + body.substr(1, body.size() - 2);
  line += "}\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return ok ? 0 : 1;
}

int Fail(const std::wstring& error) { return Emit(false, "{}", error); }

long long Number(const std::wstring& s) { return wcstoll(s.c_str(), nullptr, 0); }

bool Matches(HWND h, const std::wstring& sel) {
  bool byHandle = false;
  for (size_t start = 0; start <= sel.size();) {
    size_t end = sel.find(L',', start);
    if (end == std::wstring::npos) end = sel.size();
    const std::wstring cond = sel.substr(start, end - start);
    const size_t eq = cond.find(L'=');
    const std::wstring key = cond.substr(0, eq), value = eq == std::wstring::npos ? L"" : cond.substr(eq + 1);
    if (key == L"class" && qd::ClassOf(h) != value) return false;
    if (key == L"caption" && qd::TextOf(h) != value) return false;
    if (key == L"has" && !GetDlgItem(h, static_cast<int>(Number(value)))) return false;
    if (key == L"hwnd") byHandle = true;  // Find takes that window alone
    start = end + 1;
  }
  return byHandle || IsWindowVisible(h);
}

BOOL CALLBACK AddWindow(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::vector<HWND> Find(const std::wstring& sel) {
  std::vector<HWND> all, found;
  const size_t handle = sel.find(L"hwnd=");
  if (handle != std::wstring::npos) all.push_back(reinterpret_cast<HWND>(Number(sel.substr(handle + 5))));
  else EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&all));
  for (HWND h : all)
    if (IsWindow(h) && Matches(h, sel)) found.push_back(h);
  return found;
}

HWND WaitFor(const std::wstring& sel, DWORD timeoutMs) {
  for (DWORD start = GetTickCount();; Sleep(50)) {
    std::vector<HWND> found = Find(sel);
    if (!found.empty()) return found.front();
    if (GetTickCount() - start >= timeoutMs) return nullptr;
  }
}

std::string Info(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT wr = {}, cr = {};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT origin = {0, 0};
  ClientToScreen(h, &origin);
  const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  BYTE alpha = 0;
  DWORD flags = 0;
  const bool hasAlpha = (ex & WS_EX_LAYERED) && GetLayeredWindowAttributes(h, nullptr, &alpha, &flags) &&
                        (flags & LWA_ALPHA);
  return Obj()("hwnd", qd::Hex(h))("pid", Num(pid))("class", Str(qd::ClassOf(h)))("caption", Str(qd::TextOf(h)))(
             "rect", qd::Rect(wr))("client", qd::List({Num(cr.right), Num(cr.bottom)}))(
             "origin", qd::List({Num(origin.x), Num(origin.y)}))("style", Num(GetWindowLongW(h, GWL_STYLE)))(
             "exstyle", Num(ex))("enabled", Bool(IsWindowEnabled(h)))("topmost", Bool(ex & WS_EX_TOPMOST))(
             "alpha", hasAlpha ? Num(alpha) : "null")("bottom", Bool(!GetWindow(h, GW_HWNDNEXT)))
      .Text();
}

// Asks QDriverHook.dll, loaded into the thread of window h, to answer request.
std::string Ask(HWND h, const std::wstring& request, DWORD timeoutMs) {
  HMODULE dll = LoadLibraryW(L"QDriverHook.dll");  // found beside the driver
  auto proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "QDriverAsk"))) : nullptr;
  if (!proc) return "";
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, qd::kMappingSize,
                                      qd::MappingName(GetCurrentProcessId()).c_str());
  char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  std::string answer;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(h, nullptr));
  if (view && hook) {
    memcpy(view, request.c_str(), (request.size() + 1) * sizeof(wchar_t));
    DWORD_PTR unused = 0;
    if (SendMessageTimeoutW(h, RegisterWindowMessageW(L"QDriver.Ask"), GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG,
                            timeoutMs, &unused) &&
        view[0] == '{')
      answer = view;
  }
  if (hook) UnhookWindowsHookEx(hook);
  if (view) UnmapViewOfFile(view);
  if (mapping) CloseHandle(mapping);
  return answer;
}

int Run(const Args& a) {
  const std::wstring cmd = a.pos.empty() ? L"" : a.pos[0];
  auto arg = [&](size_t i) { return i < a.pos.size() ? a.pos[i] : std::wstring(); };
  if (cmd == L"list") {
    std::vector<std::string> windows;
    for (HWND h : Find(L"")) windows.push_back(Info(h));
    return Emit(true, Obj()("windows", qd::List(windows)).Text());
  }
  if (cmd == L"hold") {
    Sleep(a.timeoutMs);
    return Emit(true, "{}");
  }
  if (cmd == L"record") {
    FILE* f = _wfopen(arg(1).c_str(), L"ab");
    if (!f) return Fail(L"cannot open " + arg(1));
    STARTUPINFOW si = {};
    GetStartupInfoW(&si);
    const std::string line = Obj()("w", Str(GetCommandLineW()))(
        "show", (si.dwFlags & STARTF_USESHOWWINDOW) ? Num(si.wShowWindow) : "null").Text() + "\n";
    fwrite(line.data(), 1, line.size(), f);
    fclose(f);
    return Emit(true, "{}");
  }
  if (cmd == L"reg") {
    const std::wstring path = arg(1);
    const size_t slash = path.find(L'\\');
    wchar_t data[4096] = L"";
    DWORD size = sizeof data;
    const bool found = RegGetValueW(path.compare(0, 4, L"HKCU") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                                    path.substr(slash + 1).c_str(), arg(2).c_str(), RRF_RT_REG_SZ, nullptr, data,
                                    &size) == ERROR_SUCCESS;
    return Emit(true, Obj()("value", found ? Str(data) : "null").Text());
  }
  if (cmd == L"tray") {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = reinterpret_cast<HWND>(Number(arg(1)));
    nid.uID = static_cast<UINT>(Number(arg(2)));
    return Emit(true, Obj()("present", Bool(Shell_NotifyIconW(arg(3) == L"delete" ? NIM_DELETE : NIM_MODIFY, &nid)))
                          .Text());
  }
  if (cmd == L"gone") {
    for (DWORD start = GetTickCount(); !Find(arg(1)).empty(); Sleep(50))
      if (GetTickCount() - start >= a.timeoutMs) return Fail(L"still there: " + arg(1));
    return Emit(true, "{}");
  }
  const bool tray = cmd == L"tips" || cmd == L"traylog";
  const std::wstring sel = cmd == L"menu" ? L"class=#32768" : tray ? L"class=Shell_TrayWnd" : arg(1);
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window " + sel);
  if (cmd == L"find") return Emit(true, Info(h));
  if (cmd == L"controls" || cmd == L"menu" || tray || cmd == L"set") {
    std::wstring request = cmd + L" " + std::to_wstring(reinterpret_cast<long long>(h));
    if (cmd == L"set") request += L" " + arg(2) + L" " + arg(3);
    const std::string answer = Ask(h, request, a.timeoutMs);
    if (answer.empty()) return Fail(L"no answer from the window's process");
    if (answer.compare(0, 9, "{\"error\":") == 0) return Emit(false, answer, L"refused");
    if (cmd != L"controls") return Emit(true, answer);
    const std::string info = Info(h);
    return Emit(true, info.substr(0, info.size() - 1) + "," + answer.substr(1));
  }
  const UINT id = static_cast<UINT>(Number(arg(2)));
  if (cmd == L"command") return Emit(PostMessageW(h, WM_COMMAND, id, 0), "{}", L"post failed");
  if (cmd == L"click" || cmd == L"select") {
    HWND ctl = GetDlgItem(h, static_cast<int>(id));
    if (!ctl) return Fail(L"no control " + arg(2));
    DWORD_PTR r = 0;
    if (cmd == L"select") {
      SendMessageTimeoutW(ctl, CB_SETCURSEL, Number(arg(3)), 0, SMTO_ABORTIFHUNG, a.timeoutMs, &r);
      return Emit(PostMessageW(h, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(ctl)), "{}",
                  L"post failed");
    }
    const bool ok = a.send ? SendMessageTimeoutW(ctl, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, a.timeoutMs, &r) != 0
                           : PostMessageW(ctl, BM_CLICK, 0, 0) != 0;
    return Emit(ok, "{}", L"click failed");
  }
  if (cmd == L"post" || cmd == L"send") {
    const std::wstring m = arg(2);  // a number, or reg:NAME
    const UINT msg =
        m.compare(0, 4, L"reg:") ? static_cast<UINT>(Number(m)) : RegisterWindowMessageW(m.c_str() + 4);
    const WPARAM w = static_cast<WPARAM>(Number(arg(3)));
    const LPARAM l = static_cast<LPARAM>(Number(arg(4)));
    if (cmd == L"post") return Emit(PostMessageW(h, msg, w, l), "{}", L"post failed");
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG, a.timeoutMs, &r)) return Fail(L"no answer");
    return Emit(true, Obj()("result", Num(static_cast<long long>(r))).Text());
  }
  if (cmd == L"key") {
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    HWND target = h;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gti) && gti.hwndFocus) target = gti.hwndFocus;
    const UINT vk = static_cast<UINT>(Number(arg(2)));
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(target, WM_KEYDOWN, vk, down);
    PostMessageW(target, WM_KEYUP, vk, down | 0xC0000000);
    return Emit(true, Obj()("target", qd::Hex(target)).Text());
  }
  return Fail(L"unknown command: " + cmd);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  Args a;
  for (int i = 1; i < argc; ++i) {
    const std::wstring s = argv[i];
    if (s == L"--timeout" && i + 1 < argc) a.timeoutMs = static_cast<DWORD>(Number(argv[++i]));
    else if (s == L"--send") a.send = true;
    else a.pos.push_back(s);
  }
  return Run(a);
}
