// The reminder notice: a small borderless window with the reminder's name on
// its top band, its description below and a hint on its bottom line. Modal:
// the check that shows it waits until the user closes it with a click outside
// the text, Esc or Enter, or puts it off from its right-click menu (稍后提醒).
#pragma once

#include <string>

#include "res/resource.h"
#include "view/SkinControls.h"
#include "view/SkinMenu.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

class CNoticeDlg : public win::Dialog {
public:
    CNoticeDlg() : win::Dialog(IDD_NOTICE_DIALOG), m_menu("稍后提醒") {}

    std::string m_strTitle;
    std::string m_strText;
    int m_nSnoozeMinutes = 0;  // what the user put it off by; 0 for not

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& msg) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(int nDpi, const RECT& rcSuggested) override;

private:
    void DrawTitle();  // and the hint
    void TrackSnoozeMenu(POINT pt);

    CSkinEdit m_editText;
    win::Bitmap m_bmpBack;  // the window's background picture, tiled by m_brush
    win::Brush m_brush;
    CSkinMenu m_menu;  // 稍后提醒, made at the first right click
};

// Shows one due reminder and returns when the user has closed it: the
// minutes the user put it off by, or 0.
int ShowReminderNotice(const std::string& strTitle, const std::string& strText);
