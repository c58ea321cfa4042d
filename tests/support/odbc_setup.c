/*
 * The stand-in Access driver's set-up half under wine. Wine's installer DLL
 * (odbccp32) loads the "Setup" library that wine's own registry names for a
 * driver, never the Linux shim, so CREATE_DB=<path> [sort order] is answered
 * here, as the shim answers it natively: an empty new file, which the SQLite
 * driver behind the shim opens as an empty database.
 */
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
        if (n == 0 || n >= 4 * MAX_PATH) break;
        lstrcpynW(szPath, pszValue, (int)n + 1);
        HANDLE hFile = CreateFileW(szPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile == INVALID_HANDLE_VALUE) {
            SQLPostInstallerErrorW(ODBC_ERROR_CREATE_DSN_FAILED, L"Cannot create the database file.");
            return FALSE;
        }
        CloseHandle(hFile);
        return TRUE;
    }
    SQLPostInstallerErrorW(ODBC_ERROR_REQUEST_FAILED, L"The stand-in driver only creates database files.");
    return FALSE;
}
