/*
 * A stand-in for the Access ODBC driver, for the tests and for the program
 * under wine. The SQLite ODBC driver, to which this library is linked, does the
 * work; only the calls that differ are defined here:
 * - "DBQ=<name>" (a bare name, or a wine path such as Z:\a\b.mdb) names the
 *   file, and a missing one is an error naming it; SQLite would create it.
 * - The wide calls the store uses convert between UTF-16 and the driver's UTF-8
 *   here: the driver manager would follow the locale, and in "C" lose Chinese.
 * - ConfigDSNW creates an empty file (a valid, empty SQLite database) for
 *   CREATE_DB=<path>, as the Access driver does, and refuses an existing one.
 */
#define _GNU_SOURCE
#include <ctype.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <sql.h>
#include <sqlext.h>
#include <odbcinst.h>

#define SHIM_MAX_PATH 4096

/* Declares pfn as the SQLite driver's entry point of that name (the next
 * definition after this library's own; a call to the exported name would reach
 * the driver manager instead), and fails the call when there is none. */
#define REAL(pfn, name) \
    __typeof__(name)* pfn; \
    do { void* p_ = dlsym(RTLD_NEXT, #name); memcpy(&pfn, &p_, sizeof pfn); /* portably */ } while (0); \
    if (!pfn) return SQL_ERROR

/* Turns an Access-style file name into a path of this system:
 * "Z:\a\b.mdb" -> "/a/b.mdb" (wine maps drive Z: to the root),
 * backslashes -> slashes, surrounding quotes and blanks dropped. */
static void MapFileName(const char* pszIn, size_t nIn, char* pszOut, size_t nOut) {
    while (nIn > 0 && (*pszIn == ' ' || *pszIn == '\t')) { ++pszIn; --nIn; }
    while (nIn > 0 && (pszIn[nIn - 1] == ' ' || pszIn[nIn - 1] == '\t')) --nIn;
    if (nIn >= 2 && pszIn[0] == '"' && pszIn[nIn - 1] == '"') { ++pszIn; nIn -= 2; }
    if (nIn >= 3 && (pszIn[0] == 'Z' || pszIn[0] == 'z') && pszIn[1] == ':' &&
        (pszIn[2] == '\\' || pszIn[2] == '/')) {
        pszIn += 2;
        nIn -= 2;
    }
    size_t n = 0;
    for (size_t i = 0; i < nIn && n + 1 < nOut; ++i) pszOut[n++] = pszIn[i] == '\\' ? '/' : pszIn[i];
    pszOut[n] = '\0';
}

/* Finds KEY=value in a ';'-separated connection string (keys compared without
 * case, blanks around keys ignored). Returns the value's start and length. */
static const char* FindAttribute(const char* pszConn, size_t nConn, const char* pszKey, size_t* pnValue) {
    const size_t nKey = strlen(pszKey);
    for (size_t i = 0; i < nConn;) {
        size_t nEnd = i;  /* the end of this pair: a value in braces may hold ';' */
        for (int bBraced = 0; nEnd < nConn && (bBraced || pszConn[nEnd] != ';'); ++nEnd)
            if (pszConn[nEnd] == '{' || pszConn[nEnd] == '}') bBraced = pszConn[nEnd] == '{';
        size_t k = i, v;
        while (k < nEnd && isspace((unsigned char)pszConn[k])) ++k;
        for (v = k + nKey; v < nEnd && isspace((unsigned char)pszConn[v]);) ++v;
        if (nEnd - k > nKey && strncasecmp(pszConn + k, pszKey, nKey) == 0 && v < nEnd && pszConn[v] == '=') {
            *pnValue = nEnd - v - 1;
            return pszConn + v + 1;
        }
        i = nEnd + 1;
    }
    return NULL;
}

/* The SQLite driver says only "connect failed" when the file is missing. The
 * shim remembers the missing file of the last connect and names it in that
 * connection's wide diagnostic text, which is what the program shows. (The
 * program and the tests connect one at a time, on one thread.) */
static SQLHDBC g_hdbcMissing;
static char g_szMissing[SHIM_MAX_PATH];

static void RememberMissingFile(SQLHDBC hdbc, const char* pszPath) {
    g_hdbcMissing = pszPath ? hdbc : NULL;
    if (pszPath) snprintf(g_szMissing, sizeof g_szMissing, "%s", pszPath);
}

static const char* MissingFile(SQLHANDLE h) { return h && h == g_hdbcMissing ? g_szMissing : NULL; }

/* The connect of both entry points. */
static SQLRETURN ShimDriverConnect(SQLHDBC hdbc, SQLHWND hwnd, SQLCHAR* pszConnIn, SQLSMALLINT cbConnIn,
                                   SQLCHAR* pszConnOut, SQLSMALLINT cbConnOutMax, SQLSMALLINT* pcbConnOut,
                                   SQLUSMALLINT nCompletion) {
    REAL(pfnReal, SQLDriverConnect);
    const char* pszConn = (const char*)pszConnIn;
    size_t nConn = 0;
    if (pszConn) nConn = cbConnIn == SQL_NTS ? strlen(pszConn) : (size_t)(cbConnIn < 0 ? 0 : cbConnIn);
    size_t nValue = 0;
    const char* pszDbq = pszConn ? FindAttribute(pszConn, nConn, "DBQ", &nValue) : NULL;
    if (!pszDbq)  /* not an Access-style string: handed on as it is */
        return pfnReal(hdbc, hwnd, pszConnIn, cbConnIn, pszConnOut, cbConnOutMax, pcbConnOut, nCompletion);
    char szPath[SHIM_MAX_PATH];
    MapFileName(pszDbq, nValue, szPath, sizeof szPath);
    /* The SQLite driver cannot quote ';' in a value: such a name is refused
     * rather than cut. */
    if (strchr(szPath, ';') || szPath[0] == '\0') strcpy(szPath, "/nonexistent/;");
    RememberMissingFile(hdbc, access(szPath, F_OK) == 0 ? NULL : szPath);
    char szConn[SHIM_MAX_PATH + 64];
    /* A file another program holds fails within a second, as the Access
     * driver's few lock retries do, not after SQLite's 100 s wait. */
    snprintf(szConn, sizeof szConn, "Database=%s;NoCreat=1;Timeout=1000;", szPath);
    return pfnReal(hdbc, hwnd, (SQLCHAR*)szConn, SQL_NTS, pszConnOut, cbConnOutMax, pcbConnOut, nCompletion);
}

/* Exported under the driver's name; the wide call uses the static one, which
 * the driver manager's function of the same name cannot stand in for. */
SQLRETURN SQL_API SQLDriverConnect(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*,
                                   SQLUSMALLINT) __attribute__((alias("ShimDriverConnect")));

/* ---- UTF-16 <-> UTF-8 ---------------------------------------------------- */

/* UTF-16 to a new NUL-terminated UTF-8 string (free it); *pnBytes gets its
 * length. A stray surrogate becomes U+FFFD. */
static char* WideToUtf8(const SQLWCHAR* pwsz, size_t nIn, size_t* pnBytes) {
    char* pszOut = (char*)malloc(nIn * 3 + 1);
    if (!pszOut) return NULL;
    size_t n = 0;
    for (size_t i = 0; i < nIn; ++i) {
        unsigned long c = pwsz[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < nIn && pwsz[i + 1] >= 0xDC00 && pwsz[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (pwsz[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        /* One byte below 0x80; else a lead byte 110xxxxx, 1110xxxx or 11110xxx
         * and 10xxxxxx for each further six bits. */
        int nExtra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        pszOut[n++] = (char)(nExtra ? ((0xFF00 >> (nExtra + 1)) & 0xFF) | (c >> (6 * nExtra)) : c);
        while (nExtra-- > 0) pszOut[n++] = (char)(0x80 | ((c >> (6 * nExtra)) & 0x3F));
    }
    pszOut[n] = '\0';
    if (pnBytes) *pnBytes = n;
    return pszOut;
}

/* UTF-8 to UTF-16 into pwszOut (room for nOut units, terminator included;
 * NULL to measure). Returns the length of the whole text in UTF-16 units.
 * A byte that does not begin a valid sequence becomes U+FFFD. */
static size_t Utf8ToWide(const char* psz, size_t nIn, SQLWCHAR* pwszOut, size_t nOut) {
    const unsigned char* p = (const unsigned char*)psz;
    size_t nFull = 0, nWritten = 0;
    for (size_t i = 0; i < nIn;) {
        unsigned long c = p[i];
        size_t nExtra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (nExtra == 9 || i + nExtra >= nIn) {
            c = 0xFFFD;
            nExtra = 0;
        } else if (nExtra > 0) {
            c &= 0x3F >> nExtra;
            for (size_t k = 1; k <= nExtra; ++k) {
                if ((p[i + k] & 0xC0) != 0x80) { c = 0xFFFD; nExtra = k - 1; break; }
                c = (c << 6) | (p[i + k] & 0x3F);
            }
        }
        i += nExtra + 1;
        const SQLWCHAR units[2] = {(SQLWCHAR)(c >= 0x10000 ? 0xD800 + ((c - 0x10000) >> 10) : c),
                                   (SQLWCHAR)(0xDC00 + ((c - 0x10000) & 0x3FF))};
        for (size_t k = 0; k < (c >= 0x10000 ? 2u : 1u); ++k, ++nFull)
            if (pwszOut && nWritten + 1 < nOut) pwszOut[nWritten++] = units[k];
    }
    if (pwszOut && nOut > 0) pwszOut[nWritten] = 0;
    return nFull;
}

/* Hands UTF-8 text out as UTF-16 into the caller's buffer of cchMax units (or
 * none), its whole length to *pcch; rc, or SQL_SUCCESS_WITH_INFO when cut. */
static SQLRETURN WideOut(SQLRETURN rc, const char* psz, size_t nMaxBytes, SQLWCHAR* pwszOut, SQLSMALLINT cchMax,
                         SQLSMALLINT* pcch) {
    const size_t nMax = pwszOut && cchMax > 0 ? (size_t)cchMax : 0;
    const size_t nFull = Utf8ToWide(psz, strnlen(psz, nMaxBytes), pwszOut, nMax);
    if (pcch) *pcch = (SQLSMALLINT)nFull;
    return pwszOut && nFull >= nMax ? SQL_SUCCESS_WITH_INFO : rc;
}

static size_t WideLen(const SQLWCHAR* pwsz) { size_t n = 0; while (pwsz[n]) ++n; return n; }

static size_t WideCount(const SQLWCHAR* pwsz, SQLINTEGER n) {
    if (!pwsz) return 0;
    return n == SQL_NTS ? WideLen(pwsz) : n < 0 ? 0 : (size_t)n;
}

static BOOL Fail(DWORD nCode, const char* pszMessage) {
    SQLPostInstallerError(nCode, pszMessage);
    return 0;
}

BOOL INSTAPI ConfigDSNW(HWND hwnd, WORD nRequest, LPCWSTR pszDriver, LPCWSTR pszAttributes) {
    (void)hwnd, (void)pszDriver;
    static const char kOnlyCreate[] = "The stand-in driver only creates database files (CREATE_DB=).";
    if (nRequest != ODBC_ADD_DSN || !pszAttributes) return Fail(ODBC_ERROR_REQUEST_FAILED, kOnlyCreate);
    /* The attributes are a list of "key=value" strings ending with an empty one. */
    for (const SQLWCHAR* p = (const SQLWCHAR*)pszAttributes; *p; p += WideLen(p) + 1) {
        char* pszPair = WideToUtf8(p, WideLen(p), NULL);
        if (!pszPair) return Fail(ODBC_ERROR_OUT_OF_MEM, "Out of memory.");
        if (strncasecmp(pszPair, "CREATE_DB=", 10) != 0) {
            free(pszPair);
            continue;
        }
        /* CREATE_DB=<path> [sort order]: the path may be quoted; a trailing
         * sort order such as "General" is ignored. */
        const char* pszValue = pszPair + 10;
        while (*pszValue == ' ') ++pszValue;
        size_t nValue = strlen(pszValue);
        const char* pszClose = pszValue[0] == '"' ? strchr(pszValue + 1, '"') : NULL;
        const char* pszSpace = strrchr(pszValue, ' ');
        if (pszClose) nValue = (size_t)(pszClose - pszValue) + 1;
        else if (pszSpace && strcasecmp(pszSpace + 1, "General") == 0) nValue = (size_t)(pszSpace - pszValue);
        char szPath[SHIM_MAX_PATH];
        MapFileName(pszValue, nValue, szPath, sizeof szPath);
        free(pszPair);
        if (szPath[0] == '\0') return Fail(ODBC_ERROR_INVALID_KEYWORD_VALUE, "CREATE_DB needs a file name.");
        const int fd = open(szPath, O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) {
            char szMessage[SHIM_MAX_PATH + 128];
            snprintf(szMessage, sizeof szMessage, "Cannot create database file %s: %s", szPath,
                     errno == EEXIST ? "the file already exists" : strerror(errno));
            return Fail(ODBC_ERROR_CREATE_DSN_FAILED, szMessage);
        }
        close(fd);
        return 1;
    }
    return Fail(ODBC_ERROR_INVALID_KEYWORD_VALUE, kOnlyCreate);
}

/* ---- the wide entry points the store uses -------------------------------- */

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC hdbc, SQLHWND hwnd, SQLWCHAR* pwszConnIn, SQLSMALLINT cchConnIn,
                                    SQLWCHAR* pwszConnOut, SQLSMALLINT cchConnOutMax, SQLSMALLINT* pcchConnOut,
                                    SQLUSMALLINT nCompletion) {
    char* pszIn = WideToUtf8(pwszConnIn, WideCount(pwszConnIn, cchConnIn), NULL);
    if (!pszIn) return SQL_ERROR;
    char szOut[4096] = "";
    SQLSMALLINT cbOut = 0;
    SQLRETURN rc = ShimDriverConnect(hdbc, hwnd, (SQLCHAR*)pszIn, SQL_NTS, pwszConnOut ? (SQLCHAR*)szOut : NULL,
                                     pwszConnOut ? (SQLSMALLINT)sizeof szOut : 0, &cbOut, nCompletion);
    free(pszIn);
    return SQL_SUCCEEDED(rc) ? WideOut(rc, szOut, sizeof szOut, pwszConnOut, cchConnOutMax, pcchConnOut) : rc;
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT hstmt, SQLWCHAR* pwszSql, SQLINTEGER cchSql) {
    REAL(pfn, SQLExecDirect);
    if (!pwszSql) return SQL_ERROR;
    size_t nBytes = 0;
    char* pszSql = WideToUtf8(pwszSql, WideCount(pwszSql, cchSql), &nBytes);
    if (!pszSql) return SQL_ERROR;
    const SQLRETURN rc = pfn(hstmt, (SQLCHAR*)pszSql, (SQLINTEGER)nBytes);
    free(pszSql);
    return rc;
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT hstmt, SQLUSMALLINT nColumn, SQLWCHAR* pwszName, SQLSMALLINT cchNameMax,
                                  SQLSMALLINT* pcchName, SQLSMALLINT* pnType, SQLULEN* pnSize, SQLSMALLINT* pnDigits,
                                  SQLSMALLINT* pnNullable) {
    REAL(pfn, SQLDescribeCol);
    char szName[1024] = "";
    SQLSMALLINT cbName = 0;
    const SQLRETURN rc = pfn(hstmt, nColumn, (SQLCHAR*)szName, (SQLSMALLINT)sizeof szName, &cbName, pnType,
                             pnSize, pnDigits, pnNullable);
    return SQL_SUCCEEDED(rc) ? WideOut(rc, szName, sizeof szName, pwszName, cchNameMax, pcchName) : rc;
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT nType, SQLHANDLE h, SQLSMALLINT nRecord, SQLWCHAR* pwszState,
                                 SQLINTEGER* pnNative, SQLWCHAR* pwszMessage, SQLSMALLINT cchMessageMax,
                                 SQLSMALLINT* pcchMessage) {
    REAL(pfn, SQLGetDiagRec);
    char szState[6] = "", szMessage[4096] = "";
    SQLSMALLINT cbMessage = 0;
    const SQLRETURN rc = pfn(nType, h, nRecord, (SQLCHAR*)szState, pnNative, (SQLCHAR*)szMessage,
                             (SQLSMALLINT)sizeof szMessage, &cbMessage);
    if (!SQL_SUCCEEDED(rc)) return rc;
    const char* pszMissing = nType == SQL_HANDLE_DBC && nRecord == 1 ? MissingFile(h) : NULL;
    if (pszMissing) {  /* appended to the driver's words; a very long path is cut */
        const size_t nUsed = strnlen(szMessage, sizeof szMessage - 1);
        snprintf(szMessage + nUsed, sizeof szMessage - nUsed, ": database file not found: %.3000s", pszMissing);
    }
    if (pwszState) {
        for (int i = 0; i < 5; ++i) pwszState[i] = (SQLWCHAR)(unsigned char)szState[i];
        pwszState[5] = 0;
    }
    return WideOut(rc, szMessage, sizeof szMessage, pwszMessage, cchMessageMax, pcchMessage);
}
