// A control or window object bound to an HWND. Controls of a dialog are bound
// by DDX_Control; a bound control is subclassed so that it can handle its own
// messages and the notifications its parent reflects back to it.
#pragma once

#include <windows.h>

namespace win {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND m_hWnd = nullptr;

    // Binds and subclasses an existing window (a dialog's control).
    bool Subclass(HWND hWnd);
    // Binds without subclassing, for a control that handles none of its own
    // messages. A subclassed control pays a property lookup on every message
    // sent to it; for the year list's inserts at start-up under wine (150 then) that
    // was 17 ms of the window's 260.
    void Attach(HWND hWnd) {
        Unsubclass();
        m_hWnd = hWnd;
    }
    void Unsubclass();
    // The bound object of a subclassed window, or null.
    static Window* FromHandle(HWND hWnd);

    // Notifications that the parent dialog reflects to its controls. Return
    // true (or a brush) when handled; otherwise the parent's default applies.
    virtual bool OnReflectedDrawItem(DRAWITEMSTRUCT& /*dis*/) { return false; }
    virtual HBRUSH OnReflectedCtlColor(HDC /*hdc*/) { return nullptr; }
    virtual bool OnReflectedCommand(int /*nCode*/) { return false; }

protected:
    // Messages of the subclassed window; the default passes them on.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool m_bSubclassed = false;
};

}  // namespace win
