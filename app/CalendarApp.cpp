// Start-up and shutdown: the database, the main window's modal run, and back.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/CalendarDlg.h"
#include "storage/ReminderDb.h"
#include "win/App.h"

class CCalendarApp {
public:
    // Runs the whole program; false because the main window's modal loop was
    // the program's message loop and nothing remains to run after it.
    bool InitInstance();
};

bool CCalendarApp::InitInstance() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES |
                                             ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    // The shell's ShellExecute wants COM on the thread that calls it.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    // Store failures reach the user as a message box and the program goes on.
    SetDbErrorReporter([](const std::string& strMessage) { win::AppMessageBox(strMessage, MB_OK); });
    OpenDatabase();
    {
        CCalendarDlg dlg;
        dlg.DoModal();
        CloseDatabase();
        if (SUCCEEDED(com)) ::CoUninitialize();
    }
    return false;
}

CCalendarApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.InitInstance();
    return 0;
}
