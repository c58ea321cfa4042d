// QDriver: the test side's hands and eyes inside the wine desktop.
//
// It must run in the same window station and desktop as the program under test
// (the e2e prefix makes every process join the virtual desktop "shell"), finds
// windows, reads what they show and sends them messages. Each run does one
// command and prints exactly one JSON object on one line to stdout, in UTF-8:
//   {"ok":true, ...}                         the command did what it says
//   {"ok":false,"error":"...", ...}          it could not (timeout, no such window, ...)
// Exit code: 0 when ok, 1 when not, 2 for a usage error.
//
// Usage:  QDriver.exe COMMAND [ARGS...] [--timeout MS]
// Arguments are read as UTF-16 (GetCommandLineW), so Chinese captions arrive intact.
// Numbers may be decimal or 0x-prefixed hexadecimal, and may be negative.
//
// SEL, a window selector, is one of
//   main            the calendar window: a visible top-level "#32770" with a child
//                   ComboBox whose control id is 1004 (the window has no caption)
//   caption:TEXT    a visible top-level window whose caption is exactly TEXT
//   class:NAME      a visible top-level window of window class NAME
//   hwnd:N          that window handle (need not be visible)
//   menu            a visible popup menu window ("#32768")
// Commands that look a window up wait for it up to --timeout ms (default 5000).
//
// Commands
//   desktop                       desktop name, screen size, foreground window
//   list [--all]                  top-level windows (only visible ones unless --all)
//   find SEL                      wait for SEL; its window info
//   info SEL                      same as find
//   children SEL                  window info plus its child controls: id, class, text,
//                                 style, visible, enabled, rect (parent client
//                                 coordinates), check state of check boxes and radio
//                                 buttons, combo selection/count/selected text,
//                                 trackbar position and range
//   dialog SEL                    children plus "texts": every static text in order
//                                 (a message box's text is the static with id 0xFFFF)
//   click SEL ID|TEXT [--command] [--send]
//                                 press a child button given by id or caption (an '&'
//                                 in the caption is ignored): posts BM_CLICK, or with
//                                 --command posts WM_COMMAND(id, BN_CLICKED) to SEL.
//                                 --send sends instead of posting and returns once the
//                                 program has handled the click (never use it for a
//                                 click that opens a modal dialog: it would wait for it)
//   select SEL ID INDEX [--send]  CB_SETCURSEL on combo ID, then posts (or sends)
//                                 WM_COMMAND with CBN_SELCHANGE to SEL, as a user's
//                                 choice would
//   post SEL MSG [WPARAM [LPARAM]]   PostMessage; MSG is a number or one of the names
//                                 WM_CLOSE WM_COMMAND WM_SYSCOMMAND WM_TIMER WM_KEYDOWN
//                                 WM_KEYUP WM_CHAR WM_LBUTTONDOWN WM_LBUTTONUP
//                                 WM_RBUTTONDOWN WM_RBUTTONUP WM_CONTEXTMENU
//                                 WM_CANCELMODE WM_NULL WM_MOVE WM_PAINT, or reg:NAME for
//                                 the registered message NAME (e.g. reg:TaskbarCreated)
//   send SEL MSG [WPARAM [LPARAM]]   SendMessageTimeout (--timeout bounds the call);
//                                 prints the result
//   key SEL VK [--input]          press and release a key: posts WM_KEYDOWN/WM_KEYUP to
//                                 the control of SEL that has the keyboard focus (so a
//                                 dialog's IsDialogMessage sees it, e.g. VK_ESCAPE 27
//                                 becomes IDCANCEL); with --input brings SEL to the
//                                 foreground and uses SendInput instead
//   menu                          wait for a popup menu; its window info and items
//                                 (MN_GETHMENU, GetMenuItemCount, GetMenuItemInfo: id,
//                                 type, state, owner-drawn, separator, submenu, text,
//                                 screen rect). Under wine a menu handle is private to
//                                 its process, so the items are read inside the program
//                                 by QDriverHook.dll (next to QDriver.exe); "read_by"
//                                 tells which way was used
//   menu-close                    close the open popup menu (Esc to the menu window,
//                                 then WM_CANCELMODE to its thread's windows) and wait
//                                 until it is gone
//   gone SEL                      wait until no window matches SEL
//   wait-exit PID                 wait until process PID has ended; its exit code
//   kill PID                      terminate process PID (exit code 1)
//   hold                          stay in the desktop until killed or --timeout ms have
//                                 passed, so that wine keeps the desktop (and its
//                                 taskbar) alive between the programs of a run
//   show SEL SW                   ShowWindow(SEL, SW) from the driver, e.g. 0 (SW_HIDE);
//                                 SEL may be hidden when given as hwnd:N. The window
//                                 info afterwards
//   tray HWND ID [delete]         is there a tray icon of window HWND with id ID? Asks
//                                 the tray with Shell_NotifyIcon(NIM_MODIFY) changing
//                                 nothing, which only succeeds for an existing icon.
//                                 HWND is a number: the window may be gone already.
//                                 With "delete", removes that icon instead (NIM_DELETE),
//                                 as a restarted taskbar would have lost it
//   tray-tips                     the tips of the tray icons as the taskbar holds them:
//                                 its tooltips' tools (window, id, rect, text), read
//                                 inside the taskbar's process by QDriverHook.dll
//   tray-watch                    keep a log of every Shell_NotifyIcon request that
//                                 reaches the taskbar (add, modify, delete with window,
//                                 id, flags, callback message) until killed or --timeout
//                                 ms have passed (default: 10 minutes); prints one line
//                                 with its pid when it watches. Run it in the background
//   tray-log PID                  the log so far of the tray watch with that pid
//   record FILE [ARGS...]         append this process's command line to FILE (one
//                                 JSON line: "w" the UTF-16 command line, "a" the
//                                 ANSI one as hex bytes, "show" the show command it was
//                                 started with or null) and end; for registering the
//                                 driver as the handler of something the program
//                                 starts through the shell

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Json.h"
#include "TrayWatch.h"

namespace {

using qdriver::Array;
using qdriver::Bool;
using qdriver::Hex;
using qdriver::JsonString;
using qdriver::Num;
using qdriver::Obj;
using qdriver::RectJson;

const UINT kSendTimeoutMs = 2000;

// ---------------------------------------------------------------- output

int Emit(bool ok, Obj o, const std::wstring& error = std::wstring()) {
  Obj head;
  head.Add("ok", Bool(ok));
  if (!ok) head.Str("error", error);
  std::string line = head.Text();
  std::string rest = o.Text();
  if (rest.size() > 2) line = line.substr(0, line.size() - 1) + "," + rest.substr(1);
  line += "\n";
  DWORD written = 0;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  FlushFileBuffers(out);
  return ok ? 0 : 1;
}

int Fail(const std::wstring& error, Obj o = Obj()) { return Emit(false, o, error); }

// ---------------------------------------------------------------- arguments

bool ParseNumber(const std::wstring& s, long long* v) {
  if (s.empty()) return false;
  wchar_t* end = nullptr;
  *v = wcstoll(s.c_str(), &end, 0);
  return end && *end == L'\0';
}

struct Args {
  std::vector<std::wstring> positional;
  DWORD timeoutMs = 5000;
  bool timeoutGiven = false;
  bool all = false;
  bool input = false;
  bool command = false;
  bool send = false;
};

// ---------------------------------------------------------------- windows

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {0};
  GetClassNameW(h, buf, 256);
  return buf;
}

// The window text without risking a hang on a busy window.
std::wstring TextOf(HWND h) {
  DWORD_PTR len = 0;
  if (SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len)) {
    std::vector<wchar_t> buf(len + 2, L'\0');
    DWORD_PTR got = 0;
    if (SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &got)) {
      return std::wstring(buf.data());
    }
  }
  wchar_t buf[1024] = {0};
  InternalGetWindowText(h, buf, 1024);
  return buf;
}

std::wstring CaptionOf(HWND h) {
  wchar_t buf[1024] = {0};
  InternalGetWindowText(h, buf, 1024);
  return buf;
}

bool Send(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r)) return false;
  if (result) *result = static_cast<LRESULT>(r);
  return true;
}

bool IsCalendarWindow(HWND h) {
  if (!IsWindowVisible(h) || ClassOf(h) != L"#32770") return false;
  HWND combo = GetDlgItem(h, 1004);
  return combo && _wcsicmp(ClassOf(combo).c_str(), L"ComboBox") == 0;
}

struct Selector {
  enum Kind { Main, Caption, Class, Handle, Menu } kind = Main;
  std::wstring text;
  HWND hwnd = nullptr;
};

bool ParseSelector(const std::wstring& s, Selector* sel, std::wstring* error) {
  auto starts = [&](const wchar_t* p) { return s.compare(0, wcslen(p), p) == 0; };
  if (s == L"main") {
    sel->kind = Selector::Main;
  } else if (s == L"menu") {
    sel->kind = Selector::Menu;
  } else if (starts(L"caption:")) {
    sel->kind = Selector::Caption;
    sel->text = s.substr(8);
  } else if (starts(L"class:")) {
    sel->kind = Selector::Class;
    sel->text = s.substr(6);
  } else if (starts(L"hwnd:")) {
    long long v = 0;
    if (!ParseNumber(s.substr(5), &v)) {
      *error = L"bad window handle in selector: " + s;
      return false;
    }
    sel->kind = Selector::Handle;
    sel->hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(v));
  } else {
    *error = L"unknown window selector: " + s + L" (main, menu, caption:T, class:C, hwnd:N)";
    return false;
  }
  return true;
}

struct EnumState {
  std::vector<HWND> all;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM p) {
  reinterpret_cast<EnumState*>(p)->all.push_back(h);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  EnumState st;
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&st));
  return st.all;
}

std::vector<HWND> Matches(const Selector& sel) {
  std::vector<HWND> found;
  if (sel.kind == Selector::Handle) {
    if (IsWindow(sel.hwnd)) found.push_back(sel.hwnd);
    return found;
  }
  for (HWND h : TopLevelWindows()) {
    if (!IsWindowVisible(h)) continue;
    bool ok = false;
    switch (sel.kind) {
      case Selector::Main: ok = IsCalendarWindow(h); break;
      case Selector::Caption: ok = CaptionOf(h) == sel.text; break;
      case Selector::Class: ok = ClassOf(h) == sel.text; break;
      case Selector::Menu: ok = ClassOf(h) == L"#32768"; break;
      case Selector::Handle: break;
    }
    if (ok) found.push_back(h);
  }
  return found;
}

HWND WaitFor(const Selector& sel, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    std::vector<HWND> m = Matches(sel);
    if (!m.empty()) return m.front();
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(50);
  }
}

bool WaitGone(const Selector& sel, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (Matches(sel).empty()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
}

Obj WindowInfo(HWND h) {
  Obj o;
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(h, &pid);
  RECT wr = {0, 0, 0, 0}, cr = {0, 0, 0, 0};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT origin = {0, 0};
  ClientToScreen(h, &origin);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  o.Add("hwnd", Hex(reinterpret_cast<UINT_PTR>(h)))
      .Str("class", ClassOf(h))
      .Str("caption", CaptionOf(h))
      .Add("pid", Num(pid))
      .Add("tid", Num(tid))
      .Add("visible", Bool(IsWindowVisible(h)))
      .Add("enabled", Bool(IsWindowEnabled(h)))
      .Add("iconic", Bool(IsIconic(h)))
      .Add("foreground", Bool(GetForegroundWindow() == h))
      .Add("rect", RectJson(wr))
      .Add("client", Array({Num(cr.right - cr.left), Num(cr.bottom - cr.top)}))
      .Add("client_origin", Array({Num(origin.x), Num(origin.y)}))
      .Add("style", Num(static_cast<DWORD>(style)))
      .Add("exstyle", Num(static_cast<DWORD>(ex)))
      .Add("has_caption", Bool((style & WS_CAPTION) == WS_CAPTION))
      .Add("has_border", Bool((style & WS_BORDER) != 0))
      .Add("topmost", Bool((ex & WS_EX_TOPMOST) != 0))
      .Add("layered", Bool((ex & WS_EX_LAYERED) != 0))
      .Add("transparent", Bool((ex & WS_EX_TRANSPARENT) != 0))
      .Add("toolwindow", Bool((ex & WS_EX_TOOLWINDOW) != 0))
      .Add("appwindow", Bool((ex & WS_EX_APPWINDOW) != 0))
      .Add("owner", Hex(reinterpret_cast<UINT_PTR>(GetWindow(h, GW_OWNER))));
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if ((ex & WS_EX_LAYERED) && GetLayeredWindowAttributes(h, &key, &alpha, &flags)) {
    o.Add("alpha", (flags & LWA_ALPHA) ? Num(alpha) : "null")
        .Add("layered_flags", Num(flags))
        .Add("color_key", Num(key));
  } else {
    o.Add("alpha", "null");
  }
  return o;
}

std::string ControlJson(HWND c, HWND parent) {
  Obj o;
  std::wstring cls = ClassOf(c);
  LONG style = GetWindowLongW(c, GWL_STYLE);
  RECT r = {0, 0, 0, 0};
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  o.Add("hwnd", Hex(reinterpret_cast<UINT_PTR>(c)))
      .Add("id", Num(GetDlgCtrlID(c)))
      .Str("class", cls)
      .Str("text", TextOf(c))
      .Add("style", Num(static_cast<DWORD>(style)))
      .Add("visible", Bool(IsWindowVisible(c)))
      .Add("enabled", Bool(IsWindowEnabled(c)))
      .Add("rect", RectJson(r));
  if (_wcsicmp(cls.c_str(), L"Button") == 0) {
    DWORD type = static_cast<DWORD>(style) & BS_TYPEMASK;
    bool checkable = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                     type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
    LRESULT check = 0;
    if (checkable && Send(c, BM_GETCHECK, 0, 0, &check)) o.Add("check", Num(check));
  } else if (_wcsicmp(cls.c_str(), L"ComboBox") == 0) {
    LRESULT sel = CB_ERR, count = 0, len = 0;
    Send(c, CB_GETCURSEL, 0, 0, &sel);
    Send(c, CB_GETCOUNT, 0, 0, &count);
    o.Add("cursel", Num(sel)).Add("count", Num(count));
    if (sel >= 0 && Send(c, CB_GETLBTEXTLEN, sel, 0, &len) && len >= 0) {
      std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
      if (Send(c, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(buf.data()), nullptr)) {
        o.Str("seltext", buf.data());
      }
    }
  } else if (_wcsicmp(cls.c_str(), TRACKBAR_CLASSW) == 0) {
    LRESULT pos = 0, lo = 0, hi = 0;
    Send(c, TBM_GETPOS, 0, 0, &pos);
    Send(c, TBM_GETRANGEMIN, 0, 0, &lo);
    Send(c, TBM_GETRANGEMAX, 0, 0, &hi);
    o.Add("pos", Num(pos)).Add("min", Num(lo)).Add("max", Num(hi));
  }
  return o.Text();
}

std::vector<HWND> DirectChildren(HWND h) {
  std::vector<HWND> v;
  for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) v.push_back(c);
  return v;
}

std::wstring StripAmpersand(const std::wstring& s) {
  std::wstring r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'&') {
      if (i + 1 < s.size() && s[i + 1] == L'&') r += s[++i];
      continue;
    }
    r += s[i];
  }
  return r;
}

HWND FindControl(HWND parent, const std::wstring& idOrText) {
  long long id = 0;
  bool numeric = ParseNumber(idOrText, &id);
  for (HWND c : DirectChildren(parent)) {
    if (numeric ? (GetDlgCtrlID(c) == static_cast<int>(id) ||
                   (GetDlgCtrlID(c) & 0xFFFF) == (id & 0xFFFF))
                : StripAmpersand(TextOf(c)) == StripAmpersand(idOrText)) {
      return c;
    }
  }
  return nullptr;
}

bool ParseMessage(const std::wstring& s, UINT* msg) {
  static const struct {
    const wchar_t* name;
    UINT value;
  } kNames[] = {
      {L"WM_NULL", WM_NULL},           {L"WM_MOVE", WM_MOVE},
      {L"WM_PAINT", WM_PAINT},         {L"WM_CLOSE", WM_CLOSE},
      {L"WM_COMMAND", WM_COMMAND},     {L"WM_SYSCOMMAND", WM_SYSCOMMAND},
      {L"WM_TIMER", WM_TIMER},         {L"WM_KEYDOWN", WM_KEYDOWN},
      {L"WM_KEYUP", WM_KEYUP},         {L"WM_CHAR", WM_CHAR},
      {L"WM_LBUTTONDOWN", WM_LBUTTONDOWN}, {L"WM_LBUTTONUP", WM_LBUTTONUP},
      {L"WM_RBUTTONDOWN", WM_RBUTTONDOWN}, {L"WM_RBUTTONUP", WM_RBUTTONUP},
      {L"WM_CONTEXTMENU", WM_CONTEXTMENU}, {L"WM_CANCELMODE", WM_CANCELMODE},
  };
  for (const auto& n : kNames) {
    if (s == n.name) {
      *msg = n.value;
      return true;
    }
  }
  if (s.compare(0, 4, L"reg:") == 0 && s.size() > 4) {
    *msg = RegisterWindowMessageW(s.c_str() + 4);
    return *msg != 0;
  }
  long long v = 0;
  if (!ParseNumber(s, &v) || v < 0 || v > 0xFFFF) return false;
  *msg = static_cast<UINT>(v);
  return true;
}

// ---------------------------------------------------------------- commands

int Usage(const std::wstring& why) {
  return Emit(false, Obj(), why + L"; see the comment at the top of QDriver.cpp"), 2;
}

bool Need(const Args& a, size_t n) { return a.positional.size() >= n; }

int CmdDesktop() {
  wchar_t name[256] = {0};
  DWORD len = 0;
  GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name,
                            sizeof name, &len);
  RECT dr = {0, 0, 0, 0};
  GetWindowRect(GetDesktopWindow(), &dr);
  Obj o;
  o.Str("desktop", name)
      .Add("screen", Array({Num(GetSystemMetrics(SM_CXSCREEN)), Num(GetSystemMetrics(SM_CYSCREEN))}))
      .Add("desktop_rect", RectJson(dr))
      .Add("foreground", Hex(reinterpret_cast<UINT_PTR>(GetForegroundWindow())));
  return Emit(true, o);
}

int CmdList(const Args& a) {
  std::vector<std::string> items;
  for (HWND h : TopLevelWindows()) {
    if (!a.all && !IsWindowVisible(h)) continue;
    items.push_back(WindowInfo(h).Text());
  }
  Obj o;
  o.Add("windows", Array(items));
  return Emit(true, o);
}

int CmdFind(const Selector& sel, const Args& a) {
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window matches " + a.positional[1] + L" within the timeout");
  return Emit(true, WindowInfo(h));
}

int CmdChildren(const Selector& sel, const Args& a, bool dialog) {
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window matches " + a.positional[1] + L" within the timeout");
  std::vector<std::string> controls, texts;
  for (HWND c : DirectChildren(h)) {
    controls.push_back(ControlJson(c, h));
    if (_wcsicmp(ClassOf(c).c_str(), L"Static") == 0) {
      std::wstring t = TextOf(c);
      if (!t.empty()) texts.push_back(JsonString(t));
    }
  }
  Obj o = WindowInfo(h);
  o.Add("controls", Array(controls));
  if (dialog) {
    o.Add("texts", Array(texts));
    HWND msg = GetDlgItem(h, 0xFFFF);
    if (msg) o.Str("message", TextOf(msg));
  }
  return Emit(true, o);
}

int CmdClick(const Selector& sel, const Args& a) {
  if (!Need(a, 3)) return Usage(L"click SEL ID|TEXT");
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window matches " + a.positional[1] + L" within the timeout");
  HWND c = FindControl(h, a.positional[2]);
  if (!c) return Fail(L"window has no control " + a.positional[2], WindowInfo(h));
  int id = GetDlgCtrlID(c);
  Obj o;
  o.Add("hwnd", Hex(reinterpret_cast<UINT_PTR>(h))).Add("id", Num(id)).Str("text", TextOf(c));
  UINT msg = a.command ? WM_COMMAND : BM_CLICK;
  HWND to = a.command ? h : c;
  WPARAM w = a.command ? MAKEWPARAM(id, BN_CLICKED) : 0;
  LPARAM l = a.command ? reinterpret_cast<LPARAM>(c) : 0;
  if (a.send) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(to, msg, w, l, SMTO_ABORTIFHUNG, a.timeoutMs, &r))
      return Fail(L"the click was not handled within the timeout", o);
  } else if (!PostMessageW(to, msg, w, l)) {
    return Fail(L"PostMessage failed", o);
  }
  return Emit(true, o);
}

int CmdSelect(const Selector& sel, const Args& a) {
  long long id = 0, index = 0;
  if (!Need(a, 4) || !ParseNumber(a.positional[2], &id) || !ParseNumber(a.positional[3], &index))
    return Usage(L"select SEL ID INDEX");
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window matches " + a.positional[1] + L" within the timeout");
  HWND combo = GetDlgItem(h, static_cast<int>(id));
  if (!combo) return Fail(L"window has no control " + a.positional[2]);
  LRESULT r = CB_ERR;
  if (!Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, &r))
    return Fail(L"CB_SETCURSEL did not return (window hung?)");
  if (r == CB_ERR && index >= 0) return Fail(L"CB_SETCURSEL refused index " + a.positional[3]);
  WPARAM w = MAKEWPARAM(static_cast<int>(id), CBN_SELCHANGE);
  LPARAM l = reinterpret_cast<LPARAM>(combo);
  if (a.send) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(h, WM_COMMAND, w, l, SMTO_ABORTIFHUNG, a.timeoutMs, &ignored))
      return Fail(L"the selection change was not handled within the timeout");
  } else {
    PostMessageW(h, WM_COMMAND, w, l);
  }
  Obj o;
  o.Add("cursel", Num(r));
  return Emit(true, o);
}

int CmdMessage(const Selector& sel, const Args& a, bool send) {
  UINT msg = 0;
  long long w = 0, l = 0;
  if (!Need(a, 3) || !ParseMessage(a.positional[2], &msg) ||
      (a.positional.size() > 3 && !ParseNumber(a.positional[3], &w)) ||
      (a.positional.size() > 4 && !ParseNumber(a.positional[4], &l)))
    return Usage(L"post|send SEL MSG [WPARAM [LPARAM]]");
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window matches " + a.positional[1] + L" within the timeout");
  Obj o;
  o.Add("hwnd", Hex(reinterpret_cast<UINT_PTR>(h))).Add("msg", Num(msg));
  if (!send) {
    if (!PostMessageW(h, msg, static_cast<WPARAM>(w), static_cast<LPARAM>(l)))
      return Fail(L"PostMessage failed", o);
    return Emit(true, o);
  }
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(h, msg, static_cast<WPARAM>(w), static_cast<LPARAM>(l),
                           SMTO_ABORTIFHUNG, a.timeoutMs, &r))
    return Fail(L"SendMessageTimeout did not return within the timeout", o);
  o.Add("result", Num(static_cast<long long>(r)));
  return Emit(true, o);
}

int CmdKey(const Selector& sel, const Args& a) {
  long long vk = 0;
  if (!Need(a, 3) || !ParseNumber(a.positional[2], &vk)) return Usage(L"key SEL VK [--input]");
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window matches " + a.positional[1] + L" within the timeout");
  Obj o;
  if (a.input) {
    SetForegroundWindow(h);
    Sleep(100);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(vk);
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    UINT n = SendInput(2, in, sizeof(INPUT));
    o.Add("sent", Num(n)).Add("foreground", Bool(GetForegroundWindow() == h));
    return n == 2 ? Emit(true, o) : Fail(L"SendInput failed", o);
  }
  GUITHREADINFO gti = {};
  gti.cbSize = sizeof gti;
  HWND target = h;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gti) && gti.hwndFocus &&
      (gti.hwndFocus == h || IsChild(h, gti.hwndFocus))) {
    target = gti.hwndFocus;
  }
  UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  LPARAM up = down | (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(vk), down);
  PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(vk), up);
  o.Add("target", Hex(reinterpret_cast<UINT_PTR>(target))).Str("target_class", ClassOf(target));
  return Emit(true, o);
}

HMODULE LoadHookDll() {
  wchar_t path[MAX_PATH] = {0};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
  std::wstring dll = std::wstring(path, n) + L"QDriverHook.dll";
  return LoadLibraryW(dll.c_str());
}

// Asks QDriverHook.dll inside the process of window to answer the registered
// message `question` (QDriver.ReadMenu, QDriver.ReadTray; see there). Returns the
// hook's JSON, or an empty string when that did not work.
std::string AskInItsProcess(HWND window, const wchar_t* question, DWORD timeoutMs) {
  HMODULE module = LoadHookDll();
  if (!module) return std::string();
  auto proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(module, "QDriverCallWndProc")));
  wchar_t name[64];
  swprintf(name, 64, L"Local\\QDriverMenu.%lu", static_cast<unsigned long>(GetCurrentProcessId()));
  const DWORD size = 64 * 1024;
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
  std::string result;
  if (proc && mapping) {
    char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size));
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, module,
                                   GetWindowThreadProcessId(window, nullptr));
    if (view && hook) {
      view[0] = '\0';
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(window, RegisterWindowMessageW(question),
                          GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored);
      result.assign(view, strnlen(view, size - 1));
    }
    if (hook) UnhookWindowsHookEx(hook);
    if (view) UnmapViewOfFile(view);
  }
  if (mapping) CloseHandle(mapping);
  FreeLibrary(module);
  return result;
}

int CmdMenu(const Args& a) {
  Selector sel;
  sel.kind = Selector::Menu;
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no popup menu is open");
  Obj o = WindowInfo(h);
  LRESULT r = 0;
  HMENU menu = nullptr;
  if (Send(h, MN_GETHMENU, 0, 0, &r)) menu = reinterpret_cast<HMENU>(r);
  int count = menu ? GetMenuItemCount(menu) : -1;
  if (count >= 0) {  // menus are shared between processes (Windows)
    std::string items = qdriver::MenuItemsJson(menu, &count);
    o.Add("hmenu", Hex(reinterpret_cast<UINT_PTR>(menu)))
        .Add("count", Num(count))
        .Add("items", items)
        .Add("read_by", "\"driver\"");
    return Emit(true, o);
  }
  std::string inside = AskInItsProcess(h, L"QDriver.ReadMenu", 3000);
  if (inside.size() > 2 && inside.front() == '{' && inside.back() == '}') {
    o.Merge(inside).Add("read_by", "\"hook\"");
    return Emit(true, o);
  }
  o.Add("hmenu", Hex(reinterpret_cast<UINT_PTR>(menu))).Add("count", "-1").Add("items", "[]");
  return Fail(L"the menu could not be read (neither directly nor through QDriverHook.dll)", o);
}

BOOL CALLBACK CancelModeOf(HWND h, LPARAM) {
  PostMessageW(h, WM_CANCELMODE, 0, 0);
  return TRUE;
}

int CmdMenuClose(const Args& a) {
  Selector sel;
  sel.kind = Selector::Menu;
  HWND h = WaitFor(sel, 0);
  if (!h) return Emit(true, Obj().Add("was_open", "false"));
  PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(h, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001));
  const char* how = "escape";
  if (!WaitGone(sel, 1000)) {
    how = "cancelmode";
    EnumThreadWindows(GetWindowThreadProcessId(h, nullptr), CancelModeOf, 0);
  }
  if (!WaitGone(sel, a.timeoutMs)) return Fail(L"the popup menu stayed open");
  Obj o;
  o.Add("was_open", "true").Add("closed_by", std::string("\"") + how + "\"");
  return Emit(true, o);
}

int CmdGone(const Selector& sel, const Args& a) {
  if (WaitGone(sel, a.timeoutMs)) return Emit(true, Obj());
  HWND h = WaitFor(sel, 0);
  return h ? Fail(L"window still there after the timeout", WindowInfo(h))
           : Emit(true, Obj());
}

int CmdWaitExit(const Args& a) {
  long long pid = 0;
  if (!Need(a, 2) || !ParseNumber(a.positional[1], &pid)) return Usage(L"wait-exit PID");
  HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                         static_cast<DWORD>(pid));
  if (!p) return Emit(true, Obj().Add("exited", "true").Add("exit_code", "null"));
  DWORD w = WaitForSingleObject(p, a.timeoutMs);
  DWORD code = 0;
  GetExitCodeProcess(p, &code);
  CloseHandle(p);
  if (w != WAIT_OBJECT_0) return Fail(L"process still running after the timeout");
  return Emit(true, Obj().Add("exited", "true").Add("exit_code", Num(code)));
}

int CmdKill(const Args& a) {
  long long pid = 0;
  if (!Need(a, 2) || !ParseNumber(a.positional[1], &pid)) return Usage(L"kill PID");
  HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!p) return Fail(L"no such process");
  BOOL ok = TerminateProcess(p, 1);
  WaitForSingleObject(p, a.timeoutMs);
  CloseHandle(p);
  return ok ? Emit(true, Obj()) : Fail(L"TerminateProcess failed");
}

int CmdShow(const Selector& sel, const Args& a) {
  long long sw = 0;
  if (!Need(a, 3) || !ParseNumber(a.positional[2], &sw)) return Usage(L"show SEL SW");
  HWND h = WaitFor(sel, a.timeoutMs);
  if (!h) return Fail(L"no window matches " + a.positional[1] + L" within the timeout");
  BOOL wasVisible = ShowWindow(h, static_cast<int>(sw));
  Obj o = WindowInfo(h);
  o.Add("was_visible", Bool(wasVisible != FALSE));
  return Emit(true, o);
}

int CmdTray(const Args& a) {
  long long hwnd = 0, id = 0;
  if (!Need(a, 3) || !ParseNumber(a.positional[1], &hwnd) || !ParseNumber(a.positional[2], &id))
    return Usage(L"tray HWND ID [delete]");
  const bool remove = a.positional.size() > 3 && a.positional[3] == L"delete";
  NOTIFYICONDATAW nid = {};
  nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
  nid.hWnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(hwnd));
  nid.uID = static_cast<UINT>(id);
  nid.uFlags = 0;  // modify nothing: only whether the icon is known
  Obj o;
  if (remove) {
    o.Add("deleted", Bool(Shell_NotifyIconW(NIM_DELETE, &nid) != FALSE));
    return Emit(true, o);
  }
  BOOL present = Shell_NotifyIconW(NIM_MODIFY, &nid);
  o.Add("present", Bool(present != FALSE))
      .Add("tray_window", Hex(reinterpret_cast<UINT_PTR>(FindWindowW(L"Shell_TrayWnd", nullptr))));
  return Emit(true, o);
}

int CmdRecord(const Args& a) {
  if (!Need(a, 2)) return Usage(L"record FILE [ARGS...]");
  const char* ansi = GetCommandLineA();
  std::string hex;
  for (const char* p = ansi; *p; ++p) {
    char b[4];
    snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(*p));
    hex += b;
  }
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  Obj o;
  o.Str("w", GetCommandLineW())
      .Add("a", "\"" + hex + "\"")
      .Add("show", (si.dwFlags & STARTF_USESHOWWINDOW) ? Num(si.wShowWindow) : "null");
  std::string line = o.Text() + "\n";
  HANDLE f = CreateFileW(a.positional[1].c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return Fail(L"cannot open " + a.positional[1]);
  DWORD written = 0;
  WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(f);
  return Emit(true, o);
}

HWND TrayWindow(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = FindWindowW(L"Shell_TrayWnd", nullptr)) return h;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(50);
  }
}

int CmdTrayTips(const Args& a) {
  HWND tray = TrayWindow(a.timeoutMs);
  if (!tray) return Fail(L"no taskbar (Shell_TrayWnd)");
  std::string inside = AskInItsProcess(tray, L"QDriver.ReadTray", 3000);
  if (inside.size() < 2 || inside.front() != '{') return Fail(L"the taskbar could not be read through QDriverHook.dll");
  Obj o;
  o.Add("tray_window", Hex(reinterpret_cast<UINT_PTR>(tray))).Merge(inside);
  return Emit(true, o);
}

int CmdTrayWatch(const Args& a) {
  HWND tray = TrayWindow(5000);
  if (!tray) return Fail(L"no taskbar (Shell_TrayWnd)");
  HMODULE module = LoadHookDll();
  auto proc = module ? reinterpret_cast<HOOKPROC>(
                           reinterpret_cast<void*>(GetProcAddress(module, "QDriverCallWndProc")))
                     : nullptr;
  wchar_t name[64];
  swprintf(name, 64, qdriver::kTrayWatchMapping, static_cast<unsigned long>(GetCurrentProcessId()));
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(qdriver::TrayLog), name);
  if (!proc || !mapping) return Fail(L"cannot load QDriverHook.dll or make the watch's mapping");
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(qdriver::TrayLog));
  if (!view) return Fail(L"cannot map the watch's mapping");
  memset(view, 0, sizeof(qdriver::TrayLog));
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, module, GetWindowThreadProcessId(tray, nullptr));
  if (!hook) return Fail(L"SetWindowsHookEx on the taskbar's thread failed");
  // The first message through the hook loads the DLL into the taskbar's process
  // and tells it where to log; after this round trip requests are logged.
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(tray, RegisterWindowMessageW(L"QDriver.TrayWatch"), GetCurrentProcessId(), 0,
                           SMTO_ABORTIFHUNG, 3000, &ignored))
    return Fail(L"the taskbar did not answer");
  Obj o;
  o.Add("watching", "true")
      .Add("pid", Num(GetCurrentProcessId()))
      .Add("tray_window", Hex(reinterpret_cast<UINT_PTR>(tray)));
  Emit(true, o);
  Sleep(a.timeoutGiven ? a.timeoutMs : 600000);
  UnhookWindowsHookEx(hook);
  return 0;
}

int CmdTrayLog(const Args& a) {
  long long pid = 0;
  if (!Need(a, 2) || !ParseNumber(a.positional[1], &pid)) return Usage(L"tray-log PID");
  wchar_t name[64];
  swprintf(name, 64, qdriver::kTrayWatchMapping, static_cast<unsigned long>(pid));
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
  if (!mapping) return Fail(L"no tray watch with that pid is running");
  const auto* log =
      static_cast<const qdriver::TrayLog*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(qdriver::TrayLog)));
  if (!log) return CloseHandle(mapping), Fail(L"cannot map the watch's mapping");
  std::vector<std::string> items;
  LONG n = log->count;
  for (LONG i = 0; i < n && i < qdriver::kTrayLogRecords; ++i) {
    const qdriver::TrayRecord& r = log->records[i];
    Obj it;
    it.Add("message", Num(r.message))
        .Add("sender", Hex(r.sender))
        .Add("hwnd", Hex(r.hwnd))
        .Add("id", Num(r.id))
        .Add("flags", Num(r.flags))
        .Add("callback", Num(r.callback))
        .Add("tick", Num(r.tick));
    items.push_back(it.Text());
  }
  UnmapViewOfFile(log);
  CloseHandle(mapping);
  Obj o;
  o.Add("requests", Array(items)).Add("now", Num(GetTickCount()));
  return Emit(true, o);
}

int CmdHold(const Args& a) {
  HWND desktop = GetDesktopWindow();  // attaches this process to the desktop
  Sleep(a.timeoutMs);
  return Emit(true, Obj().Add("desktop", Hex(reinterpret_cast<UINT_PTR>(desktop))));
}

int Run(int argc, wchar_t** argv) {
  Args a;
  for (int i = 1; i < argc; ++i) {
    std::wstring s = argv[i];
    if (s == L"--timeout" && i + 1 < argc) {
      long long v = 0;
      if (!ParseNumber(argv[++i], &v) || v < 0) return Usage(L"bad --timeout");
      a.timeoutMs = static_cast<DWORD>(v);
      a.timeoutGiven = true;
    } else if (s == L"--all") {
      a.all = true;
    } else if (s == L"--input") {
      a.input = true;
    } else if (s == L"--command") {
      a.command = true;
    } else if (s == L"--send") {
      a.send = true;
    } else {
      a.positional.push_back(s);
    }
  }
  if (a.positional.empty()) return Usage(L"no command given");
  const std::wstring& cmd = a.positional[0];
  if (cmd == L"desktop") return CmdDesktop();
  if (cmd == L"list") return CmdList(a);
  if (cmd == L"menu") return CmdMenu(a);
  if (cmd == L"menu-close") return CmdMenuClose(a);
  if (cmd == L"wait-exit") return CmdWaitExit(a);
  if (cmd == L"kill") return CmdKill(a);
  if (cmd == L"hold") return CmdHold(a);
  if (cmd == L"tray") return CmdTray(a);
  if (cmd == L"record") return CmdRecord(a);
  if (cmd == L"tray-tips") return CmdTrayTips(a);
  if (cmd == L"tray-watch") return CmdTrayWatch(a);
  if (cmd == L"tray-log") return CmdTrayLog(a);

  static const wchar_t* kWindowCommands[] = {L"find", L"info", L"children", L"dialog",
                                             L"click", L"select", L"post", L"send",
                                             L"key", L"gone", L"show"};
  bool known = false;
  for (const wchar_t* c : kWindowCommands) known = known || cmd == c;
  if (!known) return Usage(L"unknown command: " + cmd);
  if (!Need(a, 2)) return Usage(cmd + L" needs a window selector");
  Selector sel;
  std::wstring error;
  if (!ParseSelector(a.positional[1], &sel, &error)) return Usage(error);
  if (cmd == L"find" || cmd == L"info") return CmdFind(sel, a);
  if (cmd == L"children") return CmdChildren(sel, a, false);
  if (cmd == L"dialog") return CmdChildren(sel, a, true);
  if (cmd == L"click") return CmdClick(sel, a);
  if (cmd == L"select") return CmdSelect(sel, a);
  if (cmd == L"post") return CmdMessage(sel, a, false);
  if (cmd == L"send") return CmdMessage(sel, a, true);
  if (cmd == L"key") return CmdKey(sel, a);
  if (cmd == L"show") return CmdShow(sel, a);
  return CmdGone(sel, a);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return Fail(L"cannot read the command line"), 2;
  int rc = Run(argc, argv);
  LocalFree(argv);
  return rc;
}
