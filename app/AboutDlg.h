#pragma once

#include "res/resource.h"
#include "win/Dialog.h"

// The about box of the system menu.
class CAboutDlg : public win::Dialog {
public:
    CAboutDlg() : win::Dialog(IDD_ABOUTBOX) {}
};
