// Start-up and shutdown: the database, the main window's modal run, and back.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "app/CalendarApp.h"
#include "app/CalendarDlg.h"
#include "storage/ReminderDb.h"
#include "win/App.h"

void EnterWorkDirFromCommandLine() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return;
    const std::wstring wanted(kWorkDirSwitch, kWorkDirSwitch + std::char_traits<char>::length(kWorkDirSwitch));
    if (argc >= 3 && wanted == argv[1]) ::SetCurrentDirectoryW(argv[2]);
    ::LocalFree(argv);
}

class CCalendarApp {
public:
    // Runs the whole program; false because the main window's modal loop was
    // the program's message loop and nothing remains to run after it.
    bool InitInstance();
};

bool CCalendarApp::InitInstance() {
    EnterWorkDirFromCommandLine();
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
        // The exit command's quit message has done its work; left in the queue
        // it would close at once any message box that shutdown still shows.
        MSG quit;
        ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
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
