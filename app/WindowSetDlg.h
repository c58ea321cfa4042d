// The window settings dialog: style, click-through, start with Windows, the
// 休/班 marks, the reminders' sound and transparency, written to the settings
// file on OK.
#pragma once

#include <string>

#include "res/resource.h"
#include "view/SkinControls.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

class CWindowSetDlg : public win::Dialog {
public:
    explicit CWindowSetDlg(HWND hParent = nullptr) : win::Dialog(IDD_WINDOWSET_DIALOG, hParent) {}

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;

private:
    // The OK button: writes the values, then ends like OK.
    void OnSaveSettings();

    win::ImageList m_imageList;
    CIconButton m_btnOK;
    CIconButton m_btnCancel;
    win::Window m_sliderTrans;
    int m_nStyle = -1;  // 0 ordinary, 1 topmost, 2 bottom; -1 until read
};
