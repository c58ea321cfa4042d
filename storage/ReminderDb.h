// The reminder store: the Access file db_Quorvel.mdb in the working directory,
// reached through ODBC. Every text going in or out is GBK (code page 936).
//
// Portable: no <windows.h>, no ODBC header here; the handles live in
// DbConnection and RecordSet, defined in ReminderDb.cpp.
#pragma once

#include <functional>
#include <memory>
#include <string>

// Receives the text of every store failure (the driver's message, or the
// store's own description), GBK. The Windows shell shows it in a message box
// with an OK button and the application's name as caption; tests record it.
using DbErrorReporter = std::function<void(const std::string& strMessage)>;

// Installs the reporter and returns the one it replaces; an empty function
// restores the default, which writes the message to stderr. The reporter may run a modal loop that re-enters the
// store (a minute check nested in a message box): the store is in a
// consistent state whenever it reports.
DbErrorReporter SetDbErrorReporter(DbErrorReporter reporter);

// The ODBC environment and connection handles. Opaque outside the store.
struct DbConnection;

// The process-wide connection: empty at program load and after a failed
// OpenDatabase; holds the open connection between a successful OpenDatabase
// and CloseDatabase. Released at the latest when the program ends.
extern std::unique_ptr<DbConnection> g_pConnection;

// The connection string, exactly: the tabs are part of it.
// "DRIVER={Microsoft Access Driver (*.mdb)};\t\t\tuid=;pwd=;DBQ=db_Quorvel.mdb;"
extern const char* const kConnectionString;

// The names the Access driver goes by: 32-bit Windows has the first; 64-bit
// Windows has no driver of that name, and the Access database engine
// installs one under the second, which reads the same files.
extern const char16_t* const kAccessDriverNames[2];
// The one the driver manager lists: the first when it lists both or neither.
std::u16string AccessDriverName();

// The database file's name, relative to the working directory.
extern const char* const kDatabaseFileName;

// Opens the connection with kConnectionString (naming the driver by
// AccessDriverName). On failure it reports the
// driver's message once and returns false; the program carries on without a
// database. Returns true at once when a connection is already open.
bool OpenDatabase();

// Closes the connection (and any record set still open on it). No-op when
// nothing is open.
void CloseDatabase();

// Carries out one GBK statement. On failure (no database, driver error) it
// reports and returns false; the statement then changed nothing. pnRows, when
// given, receives how many rows it inserted, changed or deleted (-1 when the
// driver cannot tell): 0 for an update or delete that matched none, which is
// not reported here, since only the caller knows whether that is a failure.
bool ExecuteSql(const std::string& strSql, long* pnRows = nullptr);

// The rows of one query, owned by the reader that opened it. Each record set
// has a cursor of its own: opening, walking or closing another record set, or
// executing statements, never moves or closes this one.

class RecordSet {
public:
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    bool IsEOF() const;   // no current row (EOF is a macro of <cstdio>)
    void MoveNext();      // to the next row; a failing fetch reports and ends the walk
    void Close();         // also done by the destructor; harmless when repeated

    // Number of columns of the result (0 for a failed query).
    int GetColumnCount() const;

    struct Impl;  // the statement handle, column names and current row

private:
    RecordSet();
    std::unique_ptr<Impl> m_pImpl;

    friend std::unique_ptr<RecordSet> OpenQuery(const std::string& strSql);
    friend std::string GetFieldText(RecordSet& rs, const std::string& strColumn);
};

// Runs a GBK select statement. Never null: on failure it reports and returns
// a record set already at its end. Later failures of the record set (reading
// rows and columns) are told the same way. (The minute checks tell their
// failures once, through the reminder mechanism.)
std::unique_ptr<RecordSet> OpenQuery(const std::string& strSql);

// GBK text of the named column (exact name; ASCII letters also match in
// another case) in the current row. NULL reads as "", integers as decimal
// text ("-1", "0", "16"). An unknown column, or no current row, is reported
// and reads as "".
std::string GetFieldText(RecordSet& rs, const std::string& strColumn);
