// The yardstick for the start-up figure: the least a Win32 dialog program
// does, built like the calendar (static, the same compiler and options).
#include <windows.h>

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

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int) {
    return static_cast<int>(DialogBoxParamW(hInst, MAKEINTRESOURCEW(100), nullptr, DialogProc, 0));
}
