#include "app/Profile.h"

#include <windows.h>

#include <vector>

#include "app/core/WindowSettings.h"

std::string ReadSetting(const char* szKey, int nChars, const char* szDefault) {
    std::vector<char> buf(static_cast<size_t>(nChars) + 1, '\0');
    const DWORD n = ::GetPrivateProfileStringA(settings::kSection, szKey, szDefault, buf.data(),
                                               static_cast<DWORD>(buf.size()), settings::kFile);
    return std::string(buf.data(), n);
}

bool WriteSetting(const char* szKey, const std::string& strValue) {
    return ::WritePrivateProfileStringA(settings::kSection, szKey, strValue.c_str(), settings::kFile) != FALSE;
}
