// QTestWin: a stand-in window for the harness self-test, so that the driver, the
// screenshots, the drags and the settings-file reading are proven under wine
// before (and independently of) the real program.
//
// It looks to the driver like the calendar window: a captionless, borderless,
// layered tool-window dialog of 414 x 268 client pixels with the year combo box
// 1004 (1900..2049) and the month buttons 1025 '<' and 1026 '>'. It paints a flat
// background of RGB(200, 220, 240), the month number in black in the title area
// and a magenta block at client (100, 100)-(120, 116).
//   '<' / '>'          previous / next month; the combo follows across the year end
//   combo selection    changes the year, keeps the month
//   Esc                ends at once, exit code 2
//   WM_CLOSE           asks "确定要退出吗？" (caption "信息", OK/Cancel); OK writes the
//                      window rectangle to ./QTestWin.ini and ends with exit code 10
//   background drag    moves the window (WM_NCLBUTTONDOWN with HTCAPTION); every move
//                      writes the rectangle to ./QTestWin.ini
//   message 12001 with lParam WM_RBUTTONUP: a popup menu with a text item 32771 and
//                      an owner-drawn item 32776; 32776 ends with exit code 3
// Options: --at X Y       place the window (default 100, 80)
//          --msgbox TEXT  show a message box (caption "QTestWin", OK) before the window

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kClientW = 414, kClientH = 268;
const UINT kTrayMessage = 12001;
const COLORREF kBackground = RGB(200, 220, 240);

int g_x = 100, g_y = 80, g_year = 2024, g_month = 1;
bool g_initDone = false;
HBRUSH g_brush = nullptr;

void SavePosition(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  char text[64];
  snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
  // Narrow literals are GBK here, as in the program: a code page 936 profile file.
  WritePrivateProfileStringA("窗口设置", "窗口位置", text, "./QTestWin.ini");
}

void SelectYear(HWND h) {
  SendDlgItemMessageW(h, 1004, CB_SETCURSEL, static_cast<WPARAM>(g_year - 1900), 0);
}

void Paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT all = {0, 0, kClientW, kClientH};
  FillRect(dc, &all, g_brush);
  HFONT font = CreateFontW(-24, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"SimSun");
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  wchar_t title[32];
  swprintf(title, 32, L"%d\x6708", g_month);  // "N月"
  RECT tr = {0, 13, kClientW, 40};
  DrawTextW(dc, title, -1, &tr, DT_CENTER | DT_TOP | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteObject(font);
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  RECT mark = {100, 100, 120, 116};
  FillRect(dc, &mark, magenta);
  DeleteObject(magenta);
  EndPaint(h, &ps);
}

void ShowMenu(HWND h) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 32771, L"\x65b0\x5efa\x95f9\x949f");  // 新建闹钟
  AppendMenuW(menu, MF_OWNERDRAW, 32776, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(1)));
  POINT pt;
  GetCursorPos(&pt);
  SetForegroundWindow(h);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, h, nullptr);
  PostMessageW(h, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void CreateControls(HWND h) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND combo = CreateWindowExW(0, L"ComboBox", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST,
                               16, 14, 72, 200, h, reinterpret_cast<HMENU>(1004), inst, nullptr);
  for (int y = 1900; y <= 2049; ++y) {
    wchar_t t[8];
    swprintf(t, 8, L"%d", y);
    SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(y - 1900), reinterpret_cast<LPARAM>(t));
  }
  HWND prev = CreateWindowExW(0, L"Button", L"<", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_FLAT,
                              144, 14, 24, 22, h, reinterpret_cast<HMENU>(1025), inst, nullptr);
  HWND next = CreateWindowExW(0, L"Button", L">", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_FLAT,
                              252, 14, 24, 22, h, reinterpret_cast<HMENU>(1026), inst, nullptr);
  for (HWND c : {combo, prev, next}) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_INITDIALOG: {
      SYSTEMTIME now;
      GetLocalTime(&now);
      g_year = now.wYear;
      g_month = now.wMonth;
      CreateControls(h);
      SelectYear(h);
      LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
      SetWindowLongW(h, GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW | WS_EX_LAYERED);
      SetLayeredWindowAttributes(h, 0, 95, LWA_ALPHA);
      SetWindowPos(h, nullptr, g_x, g_y, kClientW, kClientH, SWP_NOZORDER);
      g_initDone = true;
      return TRUE;
    }
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT:
      Paint(h);
      return TRUE;
    case WM_LBUTTONDOWN: {
      POINT pt;
      GetCursorPos(&pt);
      PostMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
      return TRUE;
    }
    case WM_MOVE:
      if (g_initDone) SavePosition(h);
      return FALSE;
    case WM_CLOSE:
      if (MessageBoxW(h, L"\x786e\x5b9a\x8981\x9000\x51fa\x5417\xff1f", L"\x4fe1\x606f",
                      MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {  // 确定要退出吗？ / 信息
        SavePosition(h);
        EndDialog(h, 10);
      }
      return TRUE;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      mi->itemWidth = 120;
      mi->itemHeight = 22;
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      HBRUSH b = CreateSolidBrush((di->itemState & ODS_SELECTED) ? RGB(80, 80, 200) : RGB(230, 230, 230));
      FillRect(di->hDC, &di->rcItem, b);
      DeleteObject(b);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDCANCEL:
          EndDialog(h, 2);
          return TRUE;
        case 1025:
          if (--g_month == 0) {
            g_month = 12;
            --g_year;
            SelectYear(h);
          }
          InvalidateRect(h, nullptr, FALSE);
          return TRUE;
        case 1026:
          if (++g_month == 13) {
            g_month = 1;
            ++g_year;
            SelectYear(h);
          }
          InvalidateRect(h, nullptr, FALSE);
          return TRUE;
        case 1004:
          if (HIWORD(w) == CBN_SELCHANGE) {
            g_year = 1900 + static_cast<int>(SendDlgItemMessageW(h, 1004, CB_GETCURSEL, 0, 0));
            InvalidateRect(h, nullptr, FALSE);
          }
          return TRUE;
        case 32776:
          EndDialog(h, 3);
          return TRUE;
      }
      return FALSE;
    default:
      if (msg == kTrayMessage && l == WM_RBUTTONUP) {
        ShowMenu(h);
        return TRUE;
      }
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring box;
  for (int i = 1; argv && i < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--at" && i + 2 < argc) {
      g_x = _wtoi(argv[i + 1]);
      g_y = _wtoi(argv[i + 2]);
      i += 2;
    } else if (a == L"--msgbox" && i + 1 < argc) {
      box = argv[++i];
    }
  }
  if (argv) LocalFree(argv);
  if (!box.empty()) MessageBoxW(nullptr, box.c_str(), L"QTestWin", MB_OK);

  g_brush = CreateSolidBrush(kBackground);
  // An in-memory template: popup, visible, no caption and no border; the default
  // dialog class "#32770". DWORD alignment comes from the vector's allocation.
  std::vector<WORD> tpl(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
  auto* dt = reinterpret_cast<DLGTEMPLATE*>(tpl.data());
  dt->style = WS_POPUP | WS_VISIBLE;
  dt->cx = 276;
  dt->cy = 180;
  INT_PTR rc = DialogBoxIndirectParamW(inst, dt, nullptr, DialogProc, 0);
  DeleteObject(g_brush);
  return static_cast<int>(rc);
}
