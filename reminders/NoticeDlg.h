// The reminder notice: a small borderless window with the reminder's name on
// its top band and its description below. Modal: the check that shows it waits
// until the user closes it with a click outside the text, Esc or Enter.
#pragma once

#include <string>

#include "res/resource.h"
#include "view/SkinControls.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

class CNoticeDlg : public win::Dialog {
public:
    CNoticeDlg() : win::Dialog(IDD_NOTICE_DIALOG) {}

    std::string m_strTitle;
    std::string m_strText;

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& msg) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(int nDpi, const RECT& rcSuggested) override;

private:
    void DrawTitle();

    CSkinEdit m_editText;
    win::Bitmap m_bmpBack;  // the window's background picture, tiled by m_brush
    win::Brush m_brush;
};

// Shows one due reminder and returns when the user has closed it.
void ShowReminderNotice(const std::string& strTitle, const std::string& strText);
