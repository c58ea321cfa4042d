// Whole files of the data folder: read at once, and replaced so that a crash
// at any moment leaves either the old file or the new one, whole.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// The first nSize bytes of a file (all of a shorter one); false when it
// cannot be opened (held by another program, a folder) or read.
bool ReadFileBytes(const wchar_t* szName, DWORD nSize, std::string& bytes);

// Writes the bytes beside the file, to the disk, and then moves them over it;
// no bytes remove the file. False when that failed: the old file stays.
bool ReplaceFileBytes(const wchar_t* szName, const std::string& bytes);

}  // namespace win
