// The yardsticks for the start-up figure: the least a Win32 dialog program
// does, built like the calendar (static, the same compiler and options); and,
// with SAME_IMPORTS, the same program loading the DLLs the calendar loads at
// start, with its manifest, to show what those alone cost; with
// CALENDAR_WINDOW as well, showing the calendar's own main window template
// (its controls and font) with nothing behind it.
#include <windows.h>
#ifdef SAME_IMPORTS
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <sql.h>
#endif
#ifdef CALENDAR_WINDOW
#include "resource.h"
constexpr int kDialog = IDD_CALENDAR_DIALOG;
#else
constexpr int kDialog = 100;
#endif

namespace {
INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(h, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
}  // namespace

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int nShow) {
#ifdef SAME_IMPORTS
    if (nShow == -1) {  // never: the calls only make the loader load the DLLs
        InitCommonControls();
        LocalFree(CommandLineToArgvW(GetCommandLineW(), &nShow));
        CoUninitialize();
        SQLFreeHandle(SQL_HANDLE_ENV, nullptr);
        RegCloseKey(nullptr);
        DeleteObject(nullptr);
    }
#else
    (void)nShow;
#endif
    return static_cast<int>(DialogBoxParamW(hInst, MAKEINTRESOURCEW(kDialog), nullptr, DialogProc, 0));
}
