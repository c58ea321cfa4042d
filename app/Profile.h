// Reading and writing the settings file through the private-profile calls.
#pragma once

#include <string>

// The value of a key of the settings section, read with room for nChars
// characters; szDefault when the key is missing.
std::string ReadSetting(const char* szKey, int nChars, const char* szDefault = "");
// False when the file could not be written (read-only, no rights).
bool WriteSetting(const char* szKey, const std::string& strValue);
