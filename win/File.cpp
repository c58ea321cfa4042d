#include "win/File.h"

namespace win {

bool ReadFileBytes(const wchar_t* szName, DWORD nSize, std::string& bytes) {
    HANDLE file = ::CreateFileW(szName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.assign(nSize, '\0');
    DWORD read = 0;
    const BOOL ok = nSize == 0 || ::ReadFile(file, &bytes[0], nSize, &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return ok != FALSE;
}

bool ReplaceFileBytes(const wchar_t* szName, const std::string& bytes) {
    if (bytes.empty()) return ::DeleteFileW(szName) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    const std::wstring temp = std::wstring(szName) + L".new";
    HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && ::FlushFileBuffers(file);
    ::CloseHandle(file);
    if (ok && ::MoveFileExW(temp.c_str(), szName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    ::DeleteFileW(temp.c_str());
    return false;
}

}  // namespace win
