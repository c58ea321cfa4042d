#include "win/Window.h"

#include <commctrl.h>

namespace win {

namespace {
constexpr UINT_PTR kSubclassId = 0x51A7;  // one subclass of ours per window
// The bound object, found again from the handle (GetWindowSubclass is not
// exported by name by every comctl32).
constexpr const char* kObjectProp = "Quorvel.Window";
}

Window::~Window() { Unsubclass(); }

bool Window::Subclass(HWND hWnd) {
    Unsubclass();
    m_hWnd = hWnd;
    if (!hWnd) return false;
    m_bSubclassed = ::SetWindowSubclass(hWnd, &Window::SubclassProc, kSubclassId,
                                        reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    if (m_bSubclassed) ::SetPropA(hWnd, kObjectProp, this);
    return m_bSubclassed;
}

void Window::Unsubclass() {
    if (m_bSubclassed && m_hWnd && ::IsWindow(m_hWnd)) {
        ::RemoveWindowSubclass(m_hWnd, &Window::SubclassProc, kSubclassId);
        ::RemovePropA(m_hWnd, kObjectProp);
    }
    m_bSubclassed = false;
}

Window* Window::FromHandle(HWND hWnd) {
    return hWnd ? static_cast<Window*>(::GetPropA(hWnd, kObjectProp)) : nullptr;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Default(msg, wParam, lParam);
}

LRESULT Window::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR /*id*/, DWORD_PTR ref) {
    Window* self = reinterpret_cast<Window*>(ref);
    if (msg == WM_NCDESTROY) {
        // The window goes before the object: unbind so the object never
        // touches a dead handle.
        ::RemoveWindowSubclass(hWnd, &Window::SubclassProc, kSubclassId);
        ::RemovePropA(hWnd, kObjectProp);
        self->m_bSubclassed = false;
        const LRESULT result = ::DefSubclassProc(hWnd, msg, wParam, lParam);
        self->m_hWnd = nullptr;
        return result;
    }
    return self->WindowProc(msg, wParam, lParam);
}

}  // namespace win
