#include "app/WindowSetDlg.h"

#include <commctrl.h>

#include "app/Profile.h"
#include "app/core/WindowSettings.h"
#include "win/App.h"

void CWindowSetDlg::DoDataExchange(win::DataExchange& dx) {
    win::DDX_Control(dx, IDC_BTN_SET_OK, m_btnOK);
    win::DDX_Control(dx, IDC_BTN_SET_CANCEL, m_btnCancel);
    if (!m_sliderTrans.m_hWnd) m_sliderTrans.Attach(::GetDlgItem(dx.m_hDlg, IDC_SLIDER_TRANS));
    win::DDX_Radio(dx, IDC_RADIO_NORMAL, m_nStyle);
}

BOOL CWindowSetDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();

    const std::string trans = ReadSetting(settings::kKeyTransparency, settings::kTransparencyChars);
    m_nStyle = settings::Atoi(ReadSetting(settings::kKeyStyle, settings::kSwitchChars));
    if (m_nStyle >= 0 && m_nStyle <= 2) ::CheckDlgButton(m_hWnd, IDC_RADIO_NORMAL + m_nStyle, BST_CHECKED);

    const settings::Switch clickThrough =
        settings::ParseSwitch(ReadSetting(settings::kKeyClickThrough, settings::kSwitchChars));
    ::CheckDlgButton(m_hWnd, IDC_CHECK_CLICKTHROUGH, clickThrough == settings::Switch::On ? BST_CHECKED : BST_UNCHECKED);
    const settings::Switch autoRun = settings::ParseSwitch(ReadSetting(settings::kKeyAutoRun, settings::kSwitchChars));
    ::CheckDlgButton(m_hWnd, IDC_CHECK_AUTORUN, autoRun == settings::Switch::On ? BST_CHECKED : BST_UNCHECKED);
    const settings::Switch daysOff = settings::ParseSwitch(ReadSetting(settings::kKeyDaysOff, settings::kSwitchChars));
    ::CheckDlgButton(m_hWnd, IDC_CHECK_DAYSOFF, daysOff == settings::Switch::Off ? BST_UNCHECKED : BST_CHECKED);

    ::SendMessageA(m_sliderTrans.m_hWnd, TBM_SETRANGE, TRUE, MAKELPARAM(0, settings::kTransparencyMax));
    ::SendMessageA(m_sliderTrans.m_hWnd, TBM_SETPOS, TRUE, settings::Atoi(trans));

    SetOkCancelIcons(m_imageList, m_btnOK, m_btnCancel);
    return TRUE;
}

bool CWindowSetDlg::OnCommand(int nId, int nCode, HWND hCtl) {
    switch (nId) {
        case IDC_RADIO_NORMAL:
        case IDC_RADIO_TOPMOST:
        case IDC_RADIO_BOTTOM:
            if (nCode == BN_CLICKED) m_nStyle = nId - IDC_RADIO_NORMAL;
            return true;
        case IDC_BTN_SET_OK:
        case IDOK:  // Enter: the owner-drawn OK button cannot be the default button
            if (nCode == BN_CLICKED) OnSaveSettings();
            return true;
        case IDC_BTN_SET_CANCEL:
            if (nCode == BN_CLICKED) OnCancel();
            return true;
        default:
            return win::Dialog::OnCommand(nId, nCode, hCtl);
    }
}

void CWindowSetDlg::OnSaveSettings() {
    // The settings take effect from the file: one that cannot be written would
    // silently keep the old ones, so the user is told and nothing changes.
    bool saved = WriteSetting(settings::kKeyTransparency,
                              std::to_string(::SendMessageA(m_sliderTrans.m_hWnd, TBM_GETPOS, 0, 0)));
    saved = WriteSetting(settings::kKeyStyle, std::to_string(m_nStyle)) && saved;
    saved = WriteSetting(settings::kKeyAutoRun, ::IsDlgButtonChecked(m_hWnd, IDC_CHECK_AUTORUN) == BST_CHECKED ? "1" : "0") &&
            saved;
    saved = WriteSetting(settings::kKeyClickThrough,
                         ::IsDlgButtonChecked(m_hWnd, IDC_CHECK_CLICKTHROUGH) == BST_CHECKED ? "1" : "0") &&
            saved;
    saved = WriteSetting(settings::kKeyDaysOff, ::IsDlgButtonChecked(m_hWnd, IDC_CHECK_DAYSOFF) == BST_CHECKED ? "1" : "0") &&
            saved;
    if (!saved) {
        win::AppMessageBox("无法保存设置：Quorvel.ini 是只读的，或没有写入这个文件夹的权限。设置没有改变。");
        OnCancel();
        return;
    }
    win::Dialog::OnOK();
}
