// The skinned controls of the dialogs: a push button that shows an icon of an
// image list beside its caption, and an edit whose background is a picture.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "win/Gdi.h"
#include "win/Window.h"

// An owner-drawn push button (BS_OWNERDRAW) with a 16 x 16 icon at its left.
class CIconButton : public win::Window {
public:
    // The list stays the dialog's; the button only draws from it. Without a
    // list the button draws nothing at all.
    void SetImageList(HIMAGELIST pImageList) { m_pImageList = pImageList; }
    void SetImage(int nImage) { m_nImage = nImage; }

    bool OnReflectedDrawItem(DRAWITEMSTRUCT& dis) override;
    void DrawItem(const DRAWITEMSTRUCT& dis);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HIMAGELIST m_pImageList = nullptr;
    int m_nImage = 0;
    int m_bPressed = 0;  // between a left-button press on the button and its release
};

// The editors' OK and Cancel buttons: icons 138 and 139 from a 16 x 16 list
// that the dialog keeps.
void SetOkCancelIcons(win::ImageList& list, CIconButton& ok, CIconButton& cancel);

// An edit drawn over a bitmap stretched to its whole client area; the text has
// no background box.
class CSkinEdit : public win::Window {
public:
    CSkinEdit();  // loads the background picture

    HBRUSH OnReflectedCtlColor(HDC hdc) override;
    bool OnReflectedCommand(int nCode) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool OnEraseBkgnd(HDC hdc);
    win::Bitmap m_bmpBack;
};
