// Start-up and shutdown: the database, the main window's modal run, and back.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <utility>

#include "app/CalendarApp.h"
#include "app/CalendarDlg.h"
#include "storage/CreateDatabase.h"
#include "storage/GbkText.h"
#include "storage/ReminderDb.h"
#include "win/App.h"

void EnterWorkDirFromCommandLine() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return;
    const std::wstring wanted(kWorkDirSwitch, kWorkDirSwitch + std::char_traits<char>::length(kWorkDirSwitch));
    if (argc >= 3 && wanted == argv[1] && !::SetCurrentDirectoryW(argv[2])) {
        // A moved installation: say which folder is gone and where the
        // settings and reminders are looked for instead. Wide, for any name.
        wchar_t here[MAX_PATH] = L"";
        ::GetCurrentDirectoryW(MAX_PATH, here);
        const std::u16string caption = GbkToUtf16(win::AppName());
        const std::wstring text = std::wstring(L"找不到启动文件夹“") + argv[2] + L"”。\r\n日历将使用文件夹“" + here +
                                  L"”中的设置和提醒。";
        ::MessageBoxW(nullptr, text.c_str(), reinterpret_cast<const wchar_t*>(caption.c_str()), MB_OK | MB_ICONWARNING);
    }
    ::LocalFree(argv);
}

namespace {
BOOL CALLBACK FindCalendar(HWND hWnd, LPARAM found) {
    if (!::GetPropW(hWnd, kMainWindowProp)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hWnd;
    return FALSE;
}

// One calendar per user session: a second would show a second tray icon and
// every reminder twice. The second start brings the running one forward.
bool AnotherCalendarRuns() {
    // Kept until the process ends. An elevated first copy's mutex refuses a
    // normal second start access: a copy runs all the same.
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, L"Local\\Quorvel.Calendar");
    const DWORD error = ::GetLastError();
    if (mutex ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED) return false;
    HWND running = nullptr;
    for (int tries = 0; !running && tries < 50; ++tries) {  // it may still be starting
        ::EnumWindows(FindCalendar, reinterpret_cast<LPARAM>(&running));
        if (!running) ::Sleep(100);
    }
    if (running) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(running, &pid);
        ::AllowSetForegroundWindow(pid);
        ::PostMessageA(running, ::RegisterWindowMessageA(kActivateMessage), 0, 0);
    }
    return true;
}

// A first start (from the installer or the zip) finds no database: offer to
// make the empty one, so that reminders work without a set-up step. Returns
// false when the making failed; the user has then been told why.
bool OfferNewDatabase() {
    if (::GetFileAttributesA(kDatabaseFileName) != INVALID_FILE_ATTRIBUTES ||
        ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return true;
    char here[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, here);
    const std::string question = std::string("找不到保存闹钟和纪念日的数据库 ") + kDatabaseFileName +
                                 "。\n\n要在文件夹\n" + here + "\n中创建一个空的数据库吗？";
    if (win::AppMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return true;
    std::string message;
    if (CreateReminderDatabase(message) != CreateDbResult::Failed) return true;
    win::AppMessageBox(message, MB_OK | MB_ICONERROR);
    return false;
}
}  // namespace

class CCalendarApp {
public:
    // Runs the whole program; false because the main window's modal loop was
    // the program's message loop and nothing remains to run after it.
    bool InitInstance();
};

bool CCalendarApp::InitInstance() {
    if (AnotherCalendarRuns()) return false;
    EnterWorkDirFromCommandLine();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES |
                                             ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    // Store failures reach the user as a message box and the program goes on.
    SetDbErrorReporter([](const std::string& strMessage) { win::AppMessageBox(strMessage, MB_OK); });
    if (OfferNewDatabase()) {
        OpenDatabase();
    } else {  // the missing file was just told: open quietly, without a second box
        DbErrorReporter told = SetDbErrorReporter([](const std::string&) {});
        OpenDatabase();
        SetDbErrorReporter(std::move(told));
    }
    {
        CCalendarDlg dlg;
        dlg.DoModal();
        // The exit command's quit message has done its work; left in the queue
        // it would close at once any message box that shutdown still shows.
        MSG quit;
        ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        CloseDatabase();
        win::EndCom();
    }
    return false;
}

CCalendarApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.InitInstance();
    return 0;
}
