#include "storage/CreateDatabase.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <odbcinst.h>
#include <sys/stat.h>

#include <cstdio>
#include <utility>

#include "storage/GbkText.h"
#include "storage/ReminderDb.h"
#include "storage/Statements.h"

namespace {

bool FileExists(const char* pszName) {
    struct stat st;
    return stat(pszName, &st) == 0;
}

// The installer's first error message, GBK.
std::string InstallerError() {
    char16_t szMessage[1024] = {};
    DWORD nCode = 0;
    WORD nLength = 0;
    const SQLRETURN rc = SQLInstallerErrorW(1, &nCode, reinterpret_cast<LPWSTR>(szMessage),
                                            static_cast<WORD>(sizeof szMessage / sizeof szMessage[0]),
                                            &nLength);
    if (!SQL_SUCCEEDED(rc) || szMessage[0] == 0) return "驱动程序没有给出原因。";
    return Utf16ToGbk(szMessage);
}

// The file as the Access driver wants it after CREATE_DB=: a full path,
// in double quotes when it holds a blank, then the sort order.
std::u16string CreateDbAttributes() {
    std::u16string strPath;
#ifdef _WIN32
    wchar_t szFull[MAX_PATH * 4];
    const char16_t* pszName = u"db_Quorvel.mdb";
    const DWORD n = GetFullPathNameW(reinterpret_cast<const wchar_t*>(pszName),
                                     sizeof szFull / sizeof szFull[0], szFull, nullptr);
    if (n > 0 && n < sizeof szFull / sizeof szFull[0])
        strPath.assign(reinterpret_cast<const char16_t*>(szFull), n);
    else
        strPath = pszName;
#else
    // The stand-in driver resolves a bare name against the working directory.
    strPath = GbkToUtf16(kDatabaseFileName);
#endif
    if (strPath.find(u' ') != std::u16string::npos) strPath = u"\"" + strPath + u"\"";
    std::u16string strAttributes = u"CREATE_DB=" + strPath + u" General";
    // A list of attribute strings, each ended by a NUL, the list by another.
    strAttributes.push_back(u'\0');
    strAttributes.push_back(u'\0');
    return strAttributes;
}

}  // namespace

CreateDbResult CreateReminderDatabase(std::string& strMessage) {
    const std::string strFile = kDatabaseFileName;
    if (g_pConnection) {
        strMessage = "数据库已经打开，请先关闭再创建 " + strFile + "。";
        return CreateDbResult::Failed;
    }
    if (FileExists(kDatabaseFileName)) {
        strMessage = strFile + " 已经存在，未作改动。";
        return CreateDbResult::AlreadyExists;
    }
    const std::u16string strAttributes = CreateDbAttributes();
    const std::u16string strDriver = AccessDriverName();
    const bool bMade = SQLConfigDataSourceW(nullptr, ODBC_ADD_DSN, reinterpret_cast<LPCWSTR>(strDriver.c_str()),
                                            reinterpret_cast<LPCWSTR>(strAttributes.c_str()));
    if (!bMade) {
        strMessage = "无法创建 " + strFile + "：驱动程序“" + Utf16ToGbk(strDriver) + "”报告：" + InstallerError();
        if (!FileExists(kDatabaseFileName)) return CreateDbResult::Failed;
        // The driver may leave a file behind; nothing usable is kept.
        std::remove(kDatabaseFileName);
        return CreateDbResult::Failed;
    }

    // The tables go in through the store, on the program's own connection.
    std::string strErrors;
    DbErrorReporter previous = SetDbErrorReporter([&strErrors](const std::string& strError) {
        if (!strErrors.empty()) strErrors += "\n";
        strErrors += strError;
    });
    bool bOk = false;
    if (OpenDatabase()) {
        bOk = ExecuteSql(MemoCreateTableSql()) && ExecuteSql(AnniversaryCreateTableSql());
        CloseDatabase();
    }
    SetDbErrorReporter(std::move(previous));
    if (!bOk) {
        std::remove(kDatabaseFileName);
        strMessage = "无法在 " + strFile + " 中建表：" + strErrors;
        return CreateDbResult::Failed;
    }
    strMessage = "已创建 " + strFile + "（表 tb_memo 和 tb_remeber）。";
    return CreateDbResult::Created;
}
