// QPerfHook.dll: counts, inside the process that loaded it, the GDI and USER
// objects that process holds. QPerf.exe loads it into the program's thread with
// a hook and asks through a registered message; the answer, one JSON object,
// goes into the shared memory named after QPerf's process.
//
// Where GetGuiResources answers (Windows), its figures are the counts. Wine's
// GetGuiResources is a stub that answers 0; there the handle slots are probed:
// wine keeps each process's GDI handles in its own table and takes a handle's
// low 16 bits as its slot, so GetObjectType of every slot finds every live GDI
// object of the process, by type. USER objects: the process's windows
// (enumerated), and the menus and icons found in the USER handle slots.
#include <windows.h>

#include <cstdio>

namespace {

struct Counts {
    DWORD gdiByType[16] = {};
    DWORD gdi = 0, windows = 0, menus = 0, icons = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM p) {
    ++reinterpret_cast<Counts*>(p)->windows;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND h, LPARAM p) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++reinterpret_cast<Counts*>(p)->windows;
    EnumChildWindows(h, CountChild, p);
    return TRUE;
}

void Probe(Counts& c) {
    for (UINT_PTR slot = 1; slot < 0x10000; ++slot) {
        const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(slot));
        if (type == 0) continue;
        ++c.gdi;
        ++c.gdiByType[type & 15];
    }
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&c));
    HWND message = nullptr;
    while ((message = FindWindowExW(HWND_MESSAGE, message, nullptr, nullptr)) != nullptr) CountTop(message, reinterpret_cast<LPARAM>(&c));
    // USER handles are even slots from 0x20. GetIconInfo makes two bitmaps:
    // they go at once, and the GDI count above is already taken.
    for (UINT_PTR slot = 0x20; slot < 0x10000; slot += 2) {
        if (IsMenu(reinterpret_cast<HMENU>(slot))) {
            ++c.menus;
            continue;
        }
        ICONINFO info{};
        if (GetIconInfo(reinterpret_cast<HICON>(slot), &info)) {
            ++c.icons;
            if (info.hbmColor) DeleteObject(info.hbmColor);
            if (info.hbmMask) DeleteObject(info.hbmMask);
        }
    }
}

int Answer(char* out, size_t size) {
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (gdi || user) {
        return snprintf(out, size, "{\"method\":\"GetGuiResources\",\"gdi\":%lu,\"user\":%lu}", gdi, user);
    }
    Counts c;
    Probe(c);
    return snprintf(out, size,
                    "{\"method\":\"probe\",\"gdi\":%lu,\"user\":%lu,\"dc\":%lu,\"memdc\":%lu,\"bitmap\":%lu,"
                    "\"brush\":%lu,\"pen\":%lu,\"font\":%lu,\"region\":%lu,\"windows\":%lu,\"menus\":%lu,"
                    "\"icons\":%lu}",
                    c.gdi, c.windows + c.menus + c.icons, c.gdiByType[OBJ_DC], c.gdiByType[OBJ_MEMDC],
                    c.gdiByType[OBJ_BITMAP], c.gdiByType[OBJ_BRUSH], c.gdiByType[OBJ_PEN] + c.gdiByType[OBJ_EXTPEN],
                    c.gdiByType[OBJ_FONT], c.gdiByType[OBJ_REGION], c.windows, c.menus, c.icons);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK QPerfCount(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == RegisterWindowMessageW(L"QPerf.Count")) {
        wchar_t name[64];
        swprintf(name, 64, L"Local\\QPerf.%lu", static_cast<unsigned long>(msg->wParam));
        HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
        char* view = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 4096)) : nullptr;
        if (view) {
            Answer(view, 4096);
            UnmapViewOfFile(view);
        }
        if (mapping) CloseHandle(mapping);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
