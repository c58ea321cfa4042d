// Conversion between the program's GBK texts (code page 936) and the UTF-16
// strings of the database interface.
#pragma once

#include <string>

// Both conversions always use code page 936, whatever the system's ANSI code
// page is. Bytes that are not GBK, and characters that GBK cannot hold, become
// '?'; the rest of the text is converted as usual.
std::u16string GbkToUtf16(const std::string& strGbk);
std::string Utf16ToGbk(const std::u16string& strWide);
