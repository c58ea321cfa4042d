#include "win/App.h"

#include <objbase.h>

#include <utility>

namespace win {

namespace {
HWND g_hMainWnd = nullptr;
std::function<void()> g_modalEnd;
bool g_comAsked = false;
HRESULT g_comState = E_FAIL;  // CoInitializeEx's answer once asked
}

HINSTANCE AppInstance() { return ::GetModuleHandleA(nullptr); }

HWND AppMainWindow() { return g_hMainWnd && ::IsWindow(g_hMainWnd) ? g_hMainWnd : nullptr; }

void SetAppMainWindow(HWND hWnd) { g_hMainWnd = hWnd; }

const std::string& AppName() {
    static const std::string name = [] {
        char path[MAX_PATH] = {};
        const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string file(path, n);
        const size_t slash = file.find_last_of("\\/");
        if (slash != std::string::npos) file.erase(0, slash + 1);
        const size_t dot = file.rfind('.');
        if (dot != std::string::npos && dot > 0) file.erase(dot);
        return file;
    }();
    return name;
}

int AppMessageBox(const std::string& strText, UINT nType, const char* szCaption) {
    HWND owner = AppMainWindow();
    if (owner) {
        // A disabled owner (another dialog is modal) would put the box behind it.
        HWND popup = ::GetLastActivePopup(owner);
        if (popup && ::IsWindowEnabled(popup)) owner = popup;
    }
    const int answer = ::MessageBoxA(owner, strText.c_str(), szCaption ? szCaption : AppName().c_str(),
                                     nType ? nType : MB_OK);
    ModalEnded();
    return answer;
}

void SetModalEndHandler(std::function<void()> handler) { g_modalEnd = std::move(handler); }

void ModalEnded() {
    if (g_modalEnd) g_modalEnd();
}

bool EnsureCom() {
    if (!g_comAsked) {
        g_comAsked = true;
        g_comState = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    }
    // RPC_E_CHANGED_MODE: COM is there, in another model; good enough for both uses.
    return SUCCEEDED(g_comState) || g_comState == RPC_E_CHANGED_MODE;
}

void EndCom() {
    if (g_comAsked && SUCCEEDED(g_comState)) ::CoUninitialize();
    g_comAsked = false;
}

}  // namespace win
