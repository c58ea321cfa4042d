// The anniversary editor: makes a new anniversary or changes one (a
// tb_remeber row): its date, the time of day of the reminder, the advance
// options, the lunar flag and a description.
#pragma once

#include <string>

#include "res/resource.h"
#include "view/SkinControls.h"
#include "win/Dialog.h"
#include "win/Gdi.h"
#include "win/LocalTime.h"

class CAnniversaryDlg : public win::Dialog {
public:
    CAnniversaryDlg() : win::Dialog(IDD_ANNIVERSARY_DIALOG) {}

    // Set by the list before showing the editor on an existing anniversary.
    int m_nSetting = 0;  // the advance-option bit set
    int m_bModify = 0;   // 1: update the rows named m_strName
    int m_nLunar = 0;    // 1: recurs by the lunar calendar
    win::LocalTime m_tmDate;  // its date part is stored
    win::LocalTime m_tmTime;  // its time part is stored
    std::string m_strName;
    std::string m_strDesc;

    // Checks the option boxes of the bits present in nSetting.
    void SetAdvanceChecks(int nSetting);

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;

private:
    void OnSaveAnniversary();

    win::ImageList m_imageList;
    win::Window m_chkLunar;
    CIconButton m_btnOK;
    CIconButton m_btnCancel;
};
