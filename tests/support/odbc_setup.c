/* The stand-in Access driver's set-up half under wine, whose odbccp32 loads the
 * set-up DLL that wine's registry names (tools/wine/world.sh), not the Linux
 * shim. CREATE_DB=<path> [sort order] makes an empty new file, which the
 * SQLite driver behind the shim opens as an empty database. */
#include <windows.h>
#include <odbcinst.h>
#include <wchar.h>

BOOL INSTAPI ConfigDSNW(HWND hwnd, WORD nRequest, LPCWSTR pszDriver, LPCWSTR pszAttributes) {
    (void)hwnd, (void)pszDriver;
    for (LPCWSTR p = pszAttributes; nRequest == ODBC_ADD_DSN && p && *p; p += wcslen(p) + 1) {
        if (_wcsnicmp(p, L"CREATE_DB=", 10) != 0) continue;
        WCHAR szPath[4 * MAX_PATH];
        LPCWSTR pszValue = p + 10, pszSpace = wcsrchr(pszValue, L' ');
        size_t n = pszSpace ? (size_t)(pszSpace - pszValue) : wcslen(pszValue);
        if (*pszValue == L'"') n = wcscspn(++pszValue, L"\"");
        HANDLE hFile = INVALID_HANDLE_VALUE;
        if (n > 0 && n < 4 * MAX_PATH && lstrcpynW(szPath, pszValue, (int)n + 1))
            hFile = CreateFileW(szPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile != INVALID_HANDLE_VALUE) return CloseHandle(hFile);
        break;
    }
    SQLPostInstallerErrorW(ODBC_ERROR_CREATE_DSN_FAILED, L"Cannot create the database file.");
    return FALSE;
}
