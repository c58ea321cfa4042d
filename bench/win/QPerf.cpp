// QPerf: the Windows side of the performance figures. It runs inside the wine
// desktop of the program it measures and prints one JSON line per figure.
//
//   QPerf.exe start [--runs N] [--tray FIRST-LAST] EXE [EXE...]
//       Starts each EXE N times (one unmeasured start first, the EXEs taking
//       turns) from this folder. A start lasts from just before CreateProcess
//       to the moment its first top-level dialog window is visible, has no
//       update region left (painted) and answers a message. The process is then
//       ended; the tray icons it added with ids FIRST..LAST go with it.
//   QPerf.exe stress [--rounds R] [--navigations N] [--menus N] [--notices N]
//       Drives the running calendar and reports its GDI and USER objects and
//       its working set after start-up and after each stage, R rounds of: N
//       month steps ('>' then '<' in runs of ten years), N openings of the tray
//       menu (one item selected, then Esc), and one minute tick that shows N
//       notices, each closed when it is drawn. Round r needs N rows due in the
//       (r-1)th minute after the start-up minute: round 1 posts the tick, later
//       rounds wait for the program's own. The first round fills wine's caches
//       (device contexts, regions, fonts); a count that grows in later rounds
//       is a leak.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT kTrayMessage = 12001;  // the calendar's tray callback
constexpr int kPrevButton = 1025, kNextButton = 1026, kNoticeText = 1000;

struct Found {
    DWORD pid;
    int childId;  // 0: any
    HWND hwnd;
};

BOOL CALLBACK FindDialog(HWND h, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[16] = L"";
    GetClassNameW(h, cls, 16);
    if (pid != f->pid || !IsWindowVisible(h) || wcscmp(cls, L"#32770") != 0) return TRUE;
    if (f->childId && !GetDlgItem(h, f->childId)) return TRUE;
    f->hwnd = h;
    return FALSE;
}

HWND DialogOf(DWORD pid, int childId) {
    Found f{pid, childId, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

// Visible, painted and answering: what the user sees as "the window is up".
bool Ready(HWND h) {
    DWORD_PTR r = 0;
    return h && IsWindowVisible(h) && !GetUpdateRect(h, nullptr, FALSE) &&
           SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
}

template <typename F>
HWND WaitFor(F find, DWORD timeoutMs = 20000) {
    for (const DWORD start = GetTickCount();; Sleep(1)) {
        HWND h = find();
        if (Ready(h)) return h;
        if (GetTickCount() - start > timeoutMs) return nullptr;
    }
}

bool WaitGone(HWND h, DWORD timeoutMs = 20000) {
    for (const DWORD start = GetTickCount(); IsWindow(h) && IsWindowVisible(h); Sleep(1))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

std::string Utf8(const std::wstring& w) {
    std::string s(w.size() * 3 + 1, '\0');
    s.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0], static_cast<int>(s.size()),
                            nullptr, nullptr)));
    return s;
}

// One start of exe: milliseconds until its window is up, or a negative value.
double TimeStart(const std::wstring& exe, int trayFirst, int trayLast) {
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    HWND h = WaitFor([&] { return DialogOf(pi.dwProcessId, 0); });
    const double ms = Now() - t0;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    for (int id = trayFirst; h && id <= trayLast; ++id) {
        NOTIFYICONDATAW nid{};
        nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
        nid.hWnd = h;
        nid.uID = static_cast<UINT>(id);
        Shell_NotifyIconW(NIM_DELETE, &nid);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return h ? ms : -1;
}

int Start(const std::vector<std::wstring>& exes, int runs, int trayFirst, int trayLast) {
    std::vector<std::vector<double>> times(exes.size());
    for (int run = 0; run <= runs; ++run) {
        for (size_t i = 0; i < exes.size(); ++i) {
            const double ms = TimeStart(exes[i], trayFirst, trayLast);
            if (ms < 0) {
                std::printf("{\"ok\":false,\"error\":\"no window from %s\"}\n", Utf8(exes[i]).c_str());
                return 1;
            }
            if (run > 0) times[i].push_back(ms);  // the first start only warms the caches
        }
    }
    for (size_t i = 0; i < exes.size(); ++i) {
        std::vector<double>& t = times[i];
        std::sort(t.begin(), t.end());
        const double median = t.size() % 2 ? t[t.size() / 2] : (t[t.size() / 2 - 1] + t[t.size() / 2]) / 2;
        std::printf("{\"ok\":true,\"exe\":\"%s\",\"runs\":%zu,\"median_ms\":%.1f,\"min_ms\":%.1f,\"max_ms\":%.1f}\n",
                    Utf8(exes[i].substr(exes[i].find_last_of(L"\\/") + 1)).c_str(), t.size(), median, t.front(),
                    t.back());
    }
    return 0;
}

// The counts as QPerfHook.dll reads them inside the window's process.
std::string Count(HWND h) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wcscpy(wcsrchr(path, L'\\') + 1, L"QPerfHook.dll");
    HMODULE dll = LoadLibraryW(path);
    auto proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "QPerfCount"))) : nullptr;
    if (!proc) return "";
    wchar_t name[64];
    swprintf(name, 64, L"Local\\QPerf.%lu", GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
    char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    std::string answer;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(h, nullptr));
    if (view && hook) {
        view[0] = '\0';
        DWORD_PTR r = 0;
        if (SendMessageTimeoutW(h, RegisterWindowMessageW(L"QPerf.Count"), GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG,
                                60000, &r) &&
            view[0] == '{')
            answer = view;
    }
    if (hook) UnhookWindowsHookEx(hook);
    if (view) UnmapViewOfFile(view);
    if (mapping) CloseHandle(mapping);
    return answer;
}

bool Report(HWND h, int round, const char* stage, double seconds) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_MEMORY_COUNTERS mem{};
    mem.cb = sizeof mem;
    const bool memOk = process && GetProcessMemoryInfo(process, &mem, sizeof mem);
    const DWORD gdi = process ? GetGuiResources(process, GR_GDIOBJECTS) : 0;
    const DWORD user = process ? GetGuiResources(process, GR_USEROBJECTS) : 0;
    if (process) CloseHandle(process);
    const std::string counts = Count(h);
    if (counts.empty()) {
        std::printf("{\"ok\":false,\"stage\":\"%s\",\"error\":\"no counts from the calendar\"}\n", stage);
        return false;
    }
    std::printf("{\"ok\":true,\"round\":%d,\"stage\":\"%s\",\"seconds\":%.1f,\"guiresources\":[%lu,%lu],\"working_set_kb\":%s,"
                "\"counts\":%s}\n",
                round, stage, seconds, gdi, user, memOk ? std::to_string(mem.WorkingSetSize / 1024).c_str() : "null",
                counts.c_str());
    std::fflush(stdout);
    return true;
}

bool Fail(const char* what) {
    std::printf("{\"ok\":false,\"error\":\"%s\"}\n", what);
    return false;
}

bool Navigate(HWND main, int n) {
    for (int i = 0; i < n; ++i) {
        const int id = (i / 120) % 2 ? kPrevButton : kNextButton;
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(main, id)), SMTO_ABORTIFHUNG, 10000, &r))
            return Fail("a month step got no answer");
    }
    return true;
}

void Key(HWND h, UINT vk) {
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(h, WM_KEYDOWN, vk, down);
    PostMessageW(h, WM_KEYUP, vk, down | 0xC0000000);
}

BOOL CALLBACK FindMenu(HWND h, LPARAM p) {
    wchar_t cls[16] = L"";
    GetClassNameW(h, cls, 16);
    if (!IsWindowVisible(h) || wcscmp(cls, L"#32768") != 0) return TRUE;
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
}

bool OpenMenus(HWND main, int n) {
    for (int i = 0; i < n; ++i) {
        PostMessageW(main, kTrayMessage, 0, WM_RBUTTONDOWN);
        HWND menu = WaitFor([] {
            HWND found = nullptr;
            EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&found));
            return found;
        });
        if (!menu) return Fail("the tray menu did not open");
        Key(menu, VK_DOWN);  // the first item drawn selected
        Key(menu, VK_ESCAPE);
        if (!WaitGone(menu)) return Fail("the tray menu did not close");
    }
    return true;
}

bool ShowNotices(HWND main, int n) {
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    // Shown at once when this minute's rows are not yet examined; otherwise
    // the next minute's rows come with the program's own tick.
    PostMessageW(main, WM_TIMER, 1, 0);
    for (int i = 0; i < n; ++i) {
        HWND notice = WaitFor([&] { return DialogOf(pid, kNoticeText); }, i ? 20000 : 90000);
        if (!notice) return Fail("a notice did not show");
        PostMessageW(notice, WM_COMMAND, IDCANCEL, 0);
        if (!WaitGone(notice)) return Fail("a notice did not close");
    }
    return true;
}

int Stress(int rounds, int navigations, int menus, int notices) {
    HWND main = WaitFor([] {
        HWND found = nullptr;
        for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, L"#32770", nullptr)) != nullptr;)
            if (IsWindowVisible(h) && GetDlgItem(h, kNextButton)) found = h;
        return found;
    });
    if (!main) return Fail("no calendar window"), 1;
    double t = Now();
    auto seconds = [&] {
        const double s = (Now() - t) / 1000.0;
        t = Now();
        return s;
    };
    if (!Report(main, 0, "start-up", 0)) return 1;
    char stage[64];
    for (int round = 1; round <= rounds; ++round) {
        snprintf(stage, sizeof stage, "%d month steps", navigations);
        if (!Navigate(main, navigations) || !Report(main, round, stage, seconds())) return 1;
        snprintf(stage, sizeof stage, "%d menu openings", menus);
        if (!OpenMenus(main, menus) || !Report(main, round, stage, seconds())) return 1;
        snprintf(stage, sizeof stage, "%d notices", notices);
        if (!ShowNotices(main, notices) || !Report(main, round, stage, seconds())) return 1;
    }
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring cmd = argc > 1 ? argv[1] : L"";
    int runs = 10, rounds = 2, trayFirst = 0, trayLast = -1, navigations = 1000, menus = 100, notices = 50;
    std::vector<std::wstring> exes;
    for (int i = 2; i < argc; ++i) {
        const std::wstring a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == L"--runs" && hasValue) {
            runs = _wtoi(argv[++i]);
        } else if (a == L"--tray" && hasValue) {
            swscanf(argv[++i], L"%d-%d", &trayFirst, &trayLast);
        } else if (a == L"--rounds" && hasValue) {
            rounds = _wtoi(argv[++i]);
        } else if (a == L"--navigations" && hasValue) {
            navigations = _wtoi(argv[++i]);
        } else if (a == L"--menus" && hasValue) {
            menus = _wtoi(argv[++i]);
        } else if (a == L"--notices" && hasValue) {
            notices = _wtoi(argv[++i]);
        } else {
            exes.push_back(a);
        }
    }
    if (cmd == L"start" && !exes.empty() && runs > 0) return Start(exes, runs, trayFirst, trayLast);
    if (cmd == L"stress") return Stress(rounds, navigations, menus, notices);
    std::printf("{\"ok\":false,\"error\":\"usage: QPerf start|stress ...\"}\n");
    return 2;
}
