// The alarm editor: makes a new alarm or changes one (a tb_memo row), with a
// small analogue clock that ticks once a second while it is open.
#pragma once

#include <string>

#include "res/resource.h"
#include "view/SkinControls.h"
#include "win/Dialog.h"
#include "win/Gdi.h"
#include "win/LocalTime.h"

class CMemoDlg : public win::Dialog {
public:
    CMemoDlg() : win::Dialog(IDD_MEMO_DIALOG) {}

    // Set by the list before showing the editor on an existing alarm.
    int m_bModify = 0;      // 1: update the rows named m_strName
    std::string m_strUnit;  // the repeat unit shown in the unit field
    win::LocalTime m_tmDate;  // start date (its date part is stored)
    win::LocalTime m_tmTime;  // start time (its time part is stored)
    std::string m_strName;
    std::string m_strDesc;
    int m_nRepeat = -1;  // 0 once, 1 repeating, -1 neither radio button
    int m_nCount = 0;    // the repeat interval N

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnTimer(UINT_PTR nId) override;
    void OnDpiChanged(int nDpi, const RECT& rcSuggested) override;

private:
    // The picture static draws the dial itself; the hands go on top of it
    // after every paint of its own, so that no repaint wipes them out.
    class CClockPicture : public win::Window {
    public:
        explicit CClockPicture(CMemoDlg& owner) : m_owner(owner) {}

    protected:
        LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    private:
        CMemoDlg& m_owner;
    };

    void OnSaveMemo();
    void ShowDial();
    void EnableRepeat(bool bEnable);
    void DrawClock();

    win::ImageList m_imageList;
    win::Bitmap m_bmpDial;  // the clock's dial, shown by the picture control
    int m_nHour = 0;  // the clock's counters; the hour is not wrapped
    int m_nMinute = 0;
    int m_nSecond = 0;
    CClockPicture m_picClock{*this};
    win::Window m_comboUnit;
    CIconButton m_btnOK;
    CIconButton m_btnCancel;
};
