#include "app/WindowSetDlg.h"

#include <commctrl.h>

#include "app/Profile.h"
#include "app/core/WindowSettings.h"
#include "win/App.h"

namespace {
// The check boxes and their switches, in the order they are written. A box
// on by default is cleared only by "0", the others are checked only by "1".
const struct {
    int nId;
    const char* szKey;
    bool bOnByDefault;
} kBoxes[] = {{IDC_CHECK_AUTORUN, settings::kKeyAutoRun, false},
              {IDC_CHECK_CLICKTHROUGH, settings::kKeyClickThrough, false},
              {IDC_CHECK_DAYSOFF, settings::kKeyDaysOff, true},
              {IDC_CHECK_SOUND, settings::kKeySound, true}};
}  // namespace

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

    for (const auto& box : kBoxes) {
        const settings::Switch value = settings::ParseSwitch(ReadSetting(box.szKey, settings::kSwitchChars));
        const bool on = box.bOnByDefault ? value != settings::Switch::Off : value == settings::Switch::On;
        ::CheckDlgButton(m_hWnd, box.nId, on ? BST_CHECKED : BST_UNCHECKED);
    }

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
    for (const auto& box : kBoxes) {
        saved = WriteSetting(box.szKey, ::IsDlgButtonChecked(m_hWnd, box.nId) == BST_CHECKED ? "1" : "0") && saved;
    }
    if (!saved) {
        win::AppMessageBox("无法保存设置：Quorvel.ini 是只读的，或没有写入这个文件夹的权限。设置没有改变。");
        OnCancel();
        return;
    }
    win::Dialog::OnOK();
}
