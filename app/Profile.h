// Reading and writing the settings file through the private-profile calls.
#pragma once

#include <string>

// The value of a key of the settings section, read with room for nChars
// characters; szDefault when the key is missing.
std::string ReadSetting(const char* szKey, int nChars, const char* szDefault = "");
void WriteSetting(const char* szKey, const std::string& strValue);
