// QuorvelDb: creates an empty reminder database, db_Quorvel.mdb with the
// tables tb_memo and tb_remeber, in the working directory. An existing file
// is left as it is. Exit code 0 when the file is there afterwards, 1 when it
// could not be made.
//
// On Windows the Access ODBC driver creates the file. Elsewhere the driver
// registered under the same name (the SQLite stand-in of tests/support, found
// through ODBCSYSINI) does.
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>

#include "storage/CreateDatabase.h"
#include "storage/GbkText.h"

namespace {

// Writes a GBK line so that the console shows it.
void PrintLine(std::FILE* pOut, const std::string& strGbk) {
    const std::u16string strWide = GbkToUtf16(strGbk + "\n");
#ifdef _WIN32
    HANDLE hOut = GetStdHandle(pOut == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD nMode = 0;
    if (GetConsoleMode(hOut, &nMode)) {
        DWORD nWritten = 0;
        WriteConsoleW(hOut, strWide.data(), static_cast<DWORD>(strWide.size()), &nWritten, nullptr);
        return;
    }
    std::fputs(strGbk.c_str(), pOut);  // redirected: the program's own code page
    std::fputc('\n', pOut);
#else
    // Terminals here speak UTF-8.
    std::string strUtf8;
    for (size_t i = 0; i < strWide.size(); ++i) {
        unsigned long c = strWide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < strWide.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (strWide[++i] - 0xDC00);
        }
        if (c < 0x80) {
            strUtf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            strUtf8 += static_cast<char>(0xC0 | (c >> 6));
            strUtf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            strUtf8 += static_cast<char>(0xE0 | (c >> 12));
            strUtf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            strUtf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            strUtf8 += static_cast<char>(0xF0 | (c >> 18));
            strUtf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            strUtf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            strUtf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    std::fputs(strUtf8.c_str(), pOut);
#endif
    std::fflush(pOut);
}

}  // namespace

int main() {
    std::string strMessage;
    const CreateDbResult result = CreateReminderDatabase(strMessage);
    if (result == CreateDbResult::Failed) {
        PrintLine(stderr, "QuorvelDb: " + strMessage);
#ifndef _WIN32
        if (!std::getenv("ODBCSYSINI"))
            PrintLine(stderr, "QuorvelDb: 没有设置 ODBCSYSINI；先执行 . tests/support/odbc-env.sh build/native");
#endif
        return 1;
    }
    PrintLine(stdout, "QuorvelDb: " + strMessage);
    return 0;
}
