#include "storage/ReminderDb.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "engine/LunarCalendar.h"
#include "storage/GbkText.h"

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide characters are UTF-16 units");

const char* const kConnectionString =
    "DRIVER={Microsoft Access Driver (*.mdb)};\t\t\tuid=;pwd=;DBQ=db_Quorvel.mdb;";
const char* const kDatabaseFileName = "db_Quorvel.mdb";
const char16_t* const kAccessDriverNames[2] = {u"Microsoft Access Driver (*.mdb)",
                                               u"Microsoft Access Driver (*.mdb, *.accdb)"};

namespace {

const char* const kNotOpenMessage = "数据库没有打开，提醒无法读取或保存。";

DbErrorReporter& Reporter() {
    static DbErrorReporter reporter;
    return reporter;
}

void Report(const std::string& strMessage) {
    // A copy: the reporter may replace itself while it runs.
    const DbErrorReporter reporter = Reporter();
    if (reporter) {
        reporter(strMessage);
    } else {
        std::fprintf(stderr, "%s\n", strMessage.c_str());
        std::fflush(stderr);
    }
}

SQLWCHAR* Wide(std::u16string& str) { return reinterpret_cast<SQLWCHAR*>(&str[0]); }

// One diagnostic record: its state and message (empty when there is none).
bool DiagRecord(SQLSMALLINT nType, SQLHANDLE h, SQLSMALLINT nRecord, std::u16string& strState,
                std::u16string& strMessage) {
    strState.assign(6, u'\0');
    strMessage.assign(512, u'\0');
    SQLINTEGER nNative = 0;
    SQLSMALLINT nLength = 0;
    SQLRETURN rc = SQLGetDiagRecW(nType, h, nRecord, Wide(strState), &nNative, Wide(strMessage),
                                  static_cast<SQLSMALLINT>(strMessage.size()), &nLength);
    if (rc == SQL_SUCCESS_WITH_INFO && nLength >= static_cast<SQLSMALLINT>(strMessage.size())) {
        strMessage.assign(static_cast<size_t>(nLength) + 1, u'\0');
        rc = SQLGetDiagRecW(nType, h, nRecord, Wide(strState), &nNative, Wide(strMessage),
                            static_cast<SQLSMALLINT>(strMessage.size()), &nLength);
    }
    if (!SQL_SUCCEEDED(rc)) return false;
    size_t n = nLength < 0 ? 0 : static_cast<size_t>(nLength);
    if (n >= strMessage.size()) n = strMessage.size() - 1;
    strMessage.resize(n);
    while (!strMessage.empty() && (strMessage.back() == u'\n' || strMessage.back() == u'\r'))
        strMessage.pop_back();
    strState.resize(5);
    return true;
}

// The description of a failure, as GBK text: the message of the first
// diagnostic record that is an error, skipping warnings (state 01xxx) and the
// driver manager's note that a connection option was refused (IM006), which
// can come before the driver's own error. strFallback when there is none.
std::string DiagText(SQLSMALLINT nType, SQLHANDLE h, const std::string& strFallback) {
    if (h == SQL_NULL_HANDLE) return strFallback;
    std::u16string strState, strMessage, strFirst;
    for (SQLSMALLINT nRecord = 1; nRecord <= 16; ++nRecord) {
        if (!DiagRecord(nType, h, nRecord, strState, strMessage)) break;
        if (strMessage.empty()) continue;
        if (strFirst.empty()) strFirst = strMessage;
        if (strState.compare(0, 2, u"01") != 0 && strState != u"IM006") return Utf16ToGbk(strMessage);
    }
    return strFirst.empty() ? strFallback : Utf16ToGbk(strFirst);
}

// Reads one column of the current row in as many pieces as it takes: after
// the first piece, which holds most values, the driver says how much is left
// and the rest comes in one piece (drivers that convert the whole value for
// every piece made a 1 MB text take seconds in kilobyte pieces).
// Returns false (and leaves the diagnostics on the statement) on failure.
bool ReadColumn(SQLHSTMT hStmt, SQLUSMALLINT nColumn, std::u16string& strValue) {
    strValue.clear();
    SQLWCHAR first[1024];
    std::vector<SQLWCHAR> rest;  // for a long value only: no allocation per column
    SQLWCHAR* buf = first;
    size_t nSize = sizeof first / sizeof first[0];
    // No value comes near this; it only stops a driver that never says "done".
    const size_t kMaxChars = 64u << 20;
    for (;;) {
        const size_t nCapacity = nSize - 1;  // room for the terminator
        SQLLEN nIndicator = 0;
        const SQLRETURN rc = SQLGetData(hStmt, nColumn, SQL_C_WCHAR, buf,
                                        static_cast<SQLLEN>(nSize * sizeof(SQLWCHAR)), &nIndicator);
        if (rc == SQL_NO_DATA) return true;  // every piece has been read
        if (!SQL_SUCCEEDED(rc)) return false;
        if (nIndicator == SQL_NULL_DATA) {
            strValue.clear();
            return true;
        }
        const bool bNoTotal = nIndicator == SQL_NO_TOTAL;
        const size_t nLeft = bNoTotal ? SIZE_MAX : static_cast<size_t>(nIndicator) / sizeof(SQLWCHAR);
        const bool bTruncated = nLeft > nCapacity;
        strValue.append(reinterpret_cast<const char16_t*>(buf), bTruncated ? nCapacity : nLeft);
        if (!bTruncated || rc == SQL_SUCCESS || strValue.size() > kMaxChars) return true;
        rest.resize(std::min(bNoTotal ? 2 * nSize : nLeft - nCapacity + 1, kMaxChars + 1));
        buf = rest.data();
        nSize = rest.size();
    }
}

}  // namespace

struct DbConnection {
    SQLHENV hEnv = SQL_NULL_HENV;
    SQLHDBC hDbc = SQL_NULL_HDBC;
    bool bConnected = false;
    std::set<RecordSet::Impl*> openSets;  // closed together with the connection

    DbConnection() = default;
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;
    ~DbConnection();
};

struct RecordSet::Impl {
    SQLHSTMT hStmt = SQL_NULL_HSTMT;
    DbConnection* pConnection = nullptr;
    std::vector<std::string> columnNames;  // GBK, in result order
    std::vector<std::string> row;          // GBK values of the current row
    bool bEOF = true;

    // Reads the next row into `row`; at the end, or on a failure (reported),
    // the record set is at its end and its cursor is released.
    void Fetch() {
        if (hStmt == SQL_NULL_HSTMT) {
            bEOF = true;
            return;
        }
        SQLRETURN rc = SQLFetch(hStmt);
        if (rc == SQL_NO_DATA) {
            Release();
            return;
        }
        if (!SQL_SUCCEEDED(rc)) {
            const std::string strMessage = DiagText(SQL_HANDLE_STMT, hStmt, "读取数据库记录失败。");
            Release();
            Report(strMessage);
            return;
        }
        std::u16string strValue;
        for (size_t i = 0; i < row.size(); ++i) {
            if (!ReadColumn(hStmt, static_cast<SQLUSMALLINT>(i + 1), strValue)) {
                const std::string strMessage =
                    DiagText(SQL_HANDLE_STMT, hStmt, "读取字段“" + columnNames[i] + "”失败。");
                Release();
                Report(strMessage);
                return;
            }
            row[i] = Utf16ToGbk(strValue);
        }
        bEOF = false;
    }

    // Frees the statement; the record set is then at its end for good.
    void Release() {
        bEOF = true;
        for (std::string& value : row) value.clear();
        if (hStmt != SQL_NULL_HSTMT) {
            SQLFreeHandle(SQL_HANDLE_STMT, hStmt);
            hStmt = SQL_NULL_HSTMT;
        }
        if (pConnection) {
            pConnection->openSets.erase(this);
            pConnection = nullptr;
        }
    }

    int FindColumn(const std::string& strColumn) const {
        for (size_t i = 0; i < columnNames.size(); ++i)
            if (columnNames[i] == strColumn) return static_cast<int>(i);
        // Access matches names without regard to case; so do we, for ASCII.
        for (size_t i = 0; i < columnNames.size(); ++i) {
            const std::string& strName = columnNames[i];
            if (strName.size() != strColumn.size()) continue;
            bool bSame = true;
            for (size_t k = 0; k < strName.size() && bSame; ++k) {
                unsigned char a = static_cast<unsigned char>(strName[k]);
                unsigned char b = static_cast<unsigned char>(strColumn[k]);
                if (LunarCalendar::IsGbkLeadByte(a) && k + 1 < strName.size()) {
                    // A double-byte character: its trail byte may look like
                    // an ASCII letter, so both bytes must match exactly.
                    bSame = a == b && strName[k + 1] == strColumn[k + 1];
                    ++k;
                    continue;
                }
                if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
                if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
                bSame = a == b;
            }
            if (bSame) return static_cast<int>(i);
        }
        return -1;
    }
};

DbConnection::~DbConnection() {
    // A record set still held by a reader loses its cursor (it reads as at
    // its end) instead of keeping a statement on a freed connection.
    while (!openSets.empty()) (*openSets.begin())->Release();
    if (hDbc != SQL_NULL_HDBC) {
        if (bConnected) SQLDisconnect(hDbc);
        SQLFreeHandle(SQL_HANDLE_DBC, hDbc);
    }
    if (hEnv != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, hEnv);
}

std::unique_ptr<DbConnection> g_pConnection;

DbErrorReporter SetDbErrorReporter(DbErrorReporter reporter) {
    DbErrorReporter previous = std::move(Reporter());
    Reporter() = std::move(reporter);
    return previous;
}


std::u16string AccessDriverName() {
    bool bListed[2] = {false, false};
    SQLHENV hEnv = SQL_NULL_HENV;
    if (SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv))) {
        SQLSetEnvAttr(hEnv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
        SQLWCHAR szName[256];
        SQLWCHAR szAttributes[1024];
        SQLSMALLINT nName = 0, nAttributes = 0;
        for (SQLUSMALLINT nDirection = SQL_FETCH_FIRST;
             SQL_SUCCEEDED(SQLDriversW(hEnv, nDirection, szName, 256, &nName, szAttributes, 1024, &nAttributes));
             nDirection = SQL_FETCH_NEXT) {
            const std::u16string strName(reinterpret_cast<const char16_t*>(szName));
            for (int i = 0; i < 2; ++i) bListed[i] = bListed[i] || strName == kAccessDriverNames[i];
        }
        SQLFreeHandle(SQL_HANDLE_ENV, hEnv);
    }
    return kAccessDriverNames[!bListed[0] && bListed[1] ? 1 : 0];
}

bool OpenDatabase() {
    if (g_pConnection) return true;
    auto pConnection = std::make_unique<DbConnection>();
    const std::string strFallback = "无法打开数据库文件 " + std::string(kDatabaseFileName) + "。";
    // Whatever failed, the user is told here; the minute checks, which need
    // an open database, say nothing more of it.
    auto fail = [](const std::string& strMessage) {
        Report(strMessage);
        return false;
    };
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &pConnection->hEnv))) {
        pConnection->hEnv = SQL_NULL_HENV;
        return fail(strFallback);
    }
    SQLSetEnvAttr(pConnection->hEnv, SQL_ATTR_ODBC_VERSION,
                  reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, pConnection->hEnv, &pConnection->hDbc))) {
        pConnection->hDbc = SQL_NULL_HDBC;
        return fail(DiagText(SQL_HANDLE_ENV, pConnection->hEnv, strFallback));
    }
    std::u16string strConnection = GbkToUtf16(kConnectionString);
    const std::u16string strFirst = kAccessDriverNames[0], strDriver = AccessDriverName();
    if (strDriver != strFirst) strConnection.replace(strConnection.find(strFirst), strFirst.size(), strDriver);
    const SQLRETURN rc = SQLDriverConnectW(pConnection->hDbc, nullptr, Wide(strConnection), SQL_NTS, nullptr, 0,
                                           nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const std::string strMessage = DiagText(SQL_HANDLE_DBC, pConnection->hDbc, strFallback);
        pConnection.reset();
        return fail(strMessage);
    }
    pConnection->bConnected = true;
    g_pConnection = std::move(pConnection);
    return true;
}

void CloseDatabase() { g_pConnection.reset(); }

bool ExecuteSql(const std::string& strSql, long* pnRows) {
    if (pnRows) *pnRows = 0;  // also for SQL_NO_DATA
    if (!g_pConnection) {
        Report(kNotOpenMessage);
        return false;
    }
    SQLHSTMT hStmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, g_pConnection->hDbc, &hStmt))) {
        Report(DiagText(SQL_HANDLE_DBC, g_pConnection->hDbc, "无法执行数据库语句。"));
        return false;
    }
    std::u16string strWide = GbkToUtf16(strSql);
    strWide.push_back(u'\0');
    const SQLRETURN rc = SQLExecDirectW(hStmt, Wide(strWide), SQL_NTS);
    // SQL_NO_DATA: an update or delete that matched no row.
    const bool bOk = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    std::string strMessage;
    if (!bOk) strMessage = DiagText(SQL_HANDLE_STMT, hStmt, "数据库语句执行失败。");
    SQLLEN nRows = 0;
    if (pnRows && SQL_SUCCEEDED(rc)) *pnRows = SQL_SUCCEEDED(SQLRowCount(hStmt, &nRows)) ? static_cast<long>(nRows) : -1;
    SQLFreeHandle(SQL_HANDLE_STMT, hStmt);
    if (!bOk) Report(strMessage);
    return bOk;
}

RecordSet::RecordSet() : m_pImpl(std::make_unique<Impl>()) {}

RecordSet::~RecordSet() { Close(); }

bool RecordSet::IsEOF() const { return m_pImpl->bEOF; }

void RecordSet::MoveNext() {
    if (!m_pImpl->bEOF) m_pImpl->Fetch();
}

void RecordSet::Close() { m_pImpl->Release(); }

int RecordSet::GetColumnCount() const { return static_cast<int>(m_pImpl->columnNames.size()); }

std::unique_ptr<RecordSet> OpenQuery(const std::string& strSql) {
    std::unique_ptr<RecordSet> pSet(new RecordSet());
    RecordSet::Impl& rs = *pSet->m_pImpl;
    if (!g_pConnection) {
        Report(kNotOpenMessage);
        return pSet;
    }
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, g_pConnection->hDbc, &rs.hStmt))) {
        rs.hStmt = SQL_NULL_HSTMT;
        Report(DiagText(SQL_HANDLE_DBC, g_pConnection->hDbc, "无法查询数据库。"));
        return pSet;
    }
    rs.pConnection = g_pConnection.get();
    g_pConnection->openSets.insert(&rs);

    std::u16string strWide = GbkToUtf16(strSql);
    strWide.push_back(u'\0');
    SQLRETURN rc = SQLExecDirectW(rs.hStmt, Wide(strWide), SQL_NTS);
    SQLSMALLINT nColumns = 0;
    if (SQL_SUCCEEDED(rc)) rc = SQLNumResultCols(rs.hStmt, &nColumns);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
        const std::string strMessage = DiagText(SQL_HANDLE_STMT, rs.hStmt, "数据库查询失败。");
        rs.Release();
        Report(strMessage);
        return pSet;
    }
    for (SQLSMALLINT i = 1; i <= nColumns; ++i) {
        std::u16string strName(256, u'\0');
        SQLSMALLINT nLength = 0, nType = 0, nDigits = 0, nNullable = 0;
        SQLULEN nSize = 0;
        rc = SQLDescribeColW(rs.hStmt, static_cast<SQLUSMALLINT>(i), Wide(strName),
                             static_cast<SQLSMALLINT>(strName.size()), &nLength, &nType, &nSize,
                             &nDigits, &nNullable);
        if (SQL_SUCCEEDED(rc) && nLength >= static_cast<SQLSMALLINT>(strName.size())) {
            strName.assign(static_cast<size_t>(nLength) + 1, u'\0');
            rc = SQLDescribeColW(rs.hStmt, static_cast<SQLUSMALLINT>(i), Wide(strName),
                                 static_cast<SQLSMALLINT>(strName.size()), &nLength, &nType,
                                 &nSize, &nDigits, &nNullable);
        }
        if (!SQL_SUCCEEDED(rc)) {
            const std::string strMessage = DiagText(SQL_HANDLE_STMT, rs.hStmt, "数据库查询失败。");
            rs.Release();
            rs.columnNames.clear();
            Report(strMessage);
            return pSet;
        }
        size_t n = nLength < 0 ? 0 : static_cast<size_t>(nLength);
        if (n >= strName.size()) n = strName.size() - 1;
        strName.resize(n);
        rs.columnNames.push_back(Utf16ToGbk(strName));
    }
    rs.row.assign(rs.columnNames.size(), std::string());
    if (nColumns == 0) {
        // Not a query: the statement has been carried out, there are no rows.
        rs.Release();
        return pSet;
    }
    rs.Fetch();
    return pSet;
}

std::string GetFieldText(RecordSet& rs, const std::string& strColumn) {
    RecordSet::Impl& impl = *rs.m_pImpl;
    if (impl.bEOF) {
        Report("没有当前记录，无法读取字段“" + strColumn + "”。");
        return std::string();
    }
    const int nIndex = impl.FindColumn(strColumn);
    if (nIndex < 0) {
        Report("记录集中没有字段“" + strColumn + "”。");
        return std::string();
    }
    return impl.row[static_cast<size_t>(nIndex)];
}
