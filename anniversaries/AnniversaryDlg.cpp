#include "anniversaries/AnniversaryDlg.h"

#include "anniversaries/AnniversaryRules.h"
#include "storage/Statements.h"
#include "win/App.h"

namespace {
// The box of an option: 1010 for 1 (on the day) up to 1014 for 16.
int BoxOf(int nOption) {
    int nId = IDC_CHECK_ANNIV_SAMEDAY;
    for (int bit = nOption; bit > 1; bit >>= 1) ++nId;
    return nId;
}
}  // namespace

void CAnniversaryDlg::DoDataExchange(win::DataExchange& dx) {
    win::DDX_Control(dx, IDC_CHECK_ANNIV_LUNAR, m_chkLunar);
    win::DDX_Control(dx, IDC_BTN_ANNIV_OK, m_btnOK);
    win::DDX_Control(dx, IDC_BTN_ANNIV_CANCEL, m_btnCancel);
    win::DDX_DateTimeCtrl(dx, IDC_DATE_ANNIV, m_tmDate);
    win::DDX_DateTimeCtrl(dx, IDC_TIME_ANNIV, m_tmTime);
    win::DDX_Text(dx, IDC_EDIT_ANNIV_NAME, m_strName);
    win::DDX_Text(dx, IDC_EDIT_ANNIV_DESC, m_strDesc);
}

BOOL CAnniversaryDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    SetOkCancelIcons(m_imageList, m_btnOK, m_btnCancel);

    if (!m_bModify) {
        m_nSetting = 0;
        m_tmDate = m_tmTime = win::LocalTime::Now();
        UpdateData(false);
    } else {
        ::SetWindowTextA(m_hWnd, "修改纪念日");
        SetAdvanceChecks(m_nSetting);
        if (m_nLunar == 1) ::SendMessageA(m_chkLunar.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
        // The name is the row's key.
        ::EnableWindow(GetDlgItem(IDC_EDIT_ANNIV_NAME), FALSE);
        m_nSetting = 0;
    }
    return TRUE;
}

void CAnniversaryDlg::SetAdvanceChecks(int nSetting) {
    for (int option : WalkAdvanceOptions(nSetting)) ::CheckDlgButton(m_hWnd, BoxOf(option), BST_CHECKED);
}

bool CAnniversaryDlg::OnCommand(int nId, int nCode, HWND hCtl) {
    switch (nId) {
        case IDC_BTN_ANNIV_OK:
            if (nCode == BN_CLICKED) OnSaveAnniversary();
            return true;
        case IDC_BTN_ANNIV_CANCEL:
            if (nCode == BN_CLICKED) OnCancel();
            return true;
        default:
            return win::Dialog::OnCommand(nId, nCode, hCtl);
    }
}

void CAnniversaryDlg::OnSaveAnniversary() {
    UpdateData(true);
    if (m_strName.empty()) {
        win::AppMessageBox("纪念日名称不能为空！");
        return;
    }
    m_nSetting = 0;
    for (int i = 0; i < 5; ++i)
        if (::IsDlgButtonChecked(m_hWnd, IDC_CHECK_ANNIV_SAMEDAY + i) == BST_CHECKED) m_nSetting += 1 << i;
    const int nLunar = ::SendMessageA(m_chkLunar.m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? -1 : 0;
    const std::string strDate = m_tmDate.Format("%Y-%m-%d");
    const std::string strTime = m_tmTime.Format("%H:%M:%S");
    const std::string strSql =
        m_bModify ? AnniversaryUpdateSql(strDate, strTime, m_nSetting, m_strDesc, nLunar, m_strName)
                  : AnniversaryInsertSql(m_strName, strDate, strTime, m_nSetting, m_strDesc, nLunar);
    // Unless it was stored, the form stays as it is so that nothing typed is lost.
    const SaveOutcome outcome = SaveEditedRow(m_bModify, AnniversaryNameSql(m_strName), strSql);
    const std::string strTell = SaveOutcomeText(outcome, m_bModify, "纪念日", m_strName);
    if (!strTell.empty()) win::AppMessageBox(strTell);
    m_nSetting = 0;
    if (outcome == SaveOutcome::Saved) UpdateData(false);
}
