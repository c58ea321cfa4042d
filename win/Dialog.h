// The dialog base: one class per dialog template. A static dialog procedure
// binds the object at WM_INITDIALOG; OnMessage then routes messages onto
// virtual handlers. DoModal runs the program's own modal loop, so that a
// dialog can look at messages before the dialog manager does.
#pragma once

#include <windows.h>

#include <string>

#include "win/Gdi.h"
#include "win/LocalTime.h"
#include "win/Window.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace win {

// Copies members to and from controls; m_bSaveAndValidate is true when
// reading the controls into the members.
class DataExchange {
public:
    DataExchange(HWND hDlg, bool bSaveAndValidate) : m_hDlg(hDlg), m_bSaveAndValidate(bSaveAndValidate) {}
    HWND m_hDlg;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
    // Marks the exchange failed and puts the focus on the control at fault.
    void Fail(int nId);
};

void DDX_Control(DataExchange& dx, int nId, Window& control);
void DDX_Text(DataExchange& dx, int nId, std::string& value);
// An integer field; a text that is not an integer fails with "请键入一个整数。".
void DDX_Text(DataExchange& dx, int nId, int& value);
// A radio group starting at nFirstId: the index of the checked button, -1 for none.
void DDX_Radio(DataExchange& dx, int nFirstId, int& value);
// A date-time picker. A value the picker refuses (a date it cannot show)
// leaves it on what it held, which for a new dialog is the current time.
void DDX_DateTimeCtrl(DataExchange& dx, int nId, LocalTime& value);

// Parses a whole decimal integer the way an integer field accepts it:
// optional blanks and sign, digits, optional trailing blanks; nothing else.
bool ParseIntegerField(const std::string& text, int& value);

class Dialog {
public:
    explicit Dialog(UINT nIdTemplate, HWND hParent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog modally; returns the value given to EndDialog, or -1
    // when the dialog could not be made.
    INT_PTR DoModal();
    void EndDialog(INT_PTR nResult);
    // Runs DoDataExchange; false when a field failed.
    bool UpdateData(bool bSaveAndValidate = true);

    HWND m_hWnd = nullptr;
    HWND GetDlgItem(int nId) const { return ::GetDlgItem(m_hWnd, nId); }

    // How many modal dialogs are running, nested, right now.
    static int ModalDepth() { return s_nModalDepth; }

protected:
    virtual void DoDataExchange(DataExchange& /*dx*/) {}
    // Called before the dialog manager sees a message of this modal loop;
    // true when the message was handled.
    virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
    // The dialog procedure's switch. Return values follow the dialog
    // procedure's rules; call Dialog::OnMessage for the default handling.
    virtual INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    virtual BOOL OnInitDialog();  // exchanges members into controls
    // A command; return true when handled.
    virtual bool OnCommand(int nId, int nCode, HWND hCtl);
    virtual void OnOK();      // exchange and end with IDOK
    virtual void OnCancel();  // end with IDCANCEL
    virtual void OnTimer(UINT_PTR /*nId*/) {}
    // The window moved to a monitor of another DPI: its template font and its
    // controls are scaled to it, and it takes the rectangle the system
    // suggests. A window that draws at its DPI rebuilds what it made for it.
    virtual void OnDpiChanged(int nDpi, const RECT& rcSuggested);

    // Sets the result of a message whose answer goes through DWLP_MSGRESULT.
    INT_PTR SetMsgResult(LRESULT result);

    int m_nDpi = 96;  // the window's DPI, from OnInitDialog on

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR ReflectToControl(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    static int s_nModalDepth;
    UINT m_nIdTemplate;
    HWND m_hParent;
    bool m_bEnded = false;
    INT_PTR m_nResult = -1;
    Font m_fontForDpi;  // the template's font remade for a changed DPI
};

}  // namespace win
