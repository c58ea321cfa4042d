// The two tables, their rows as text, and the statements that read and
// write them. Every text is GBK.
#pragma once

#include <string>
#include <vector>

#include "storage/ReminderDb.h"

// Column names of tb_memo (one row per alarm), in insert order.
extern const char* const kColMemoName;       // 备忘录名称
extern const char* const kColMemoInterval;   // 提醒时间
extern const char* const kColMemoUnit;       // 提醒单位
extern const char* const kColMemoStartDate;  // 开始日期
extern const char* const kColMemoStartTime;  // 开始时间
extern const char* const kColMemoDesc;       // 备忘录描述
extern const char* const kColMemoCount;      // 提醒次数

// Column names of tb_remeber (one row per anniversary; the table is spelled
// so), in insert order.
extern const char* const kColAnnName;     // 纪念日名称
extern const char* const kColAnnDate;     // 提醒日期
extern const char* const kColAnnTime;     // 提醒时间
extern const char* const kColAnnAdvance;  // 提醒设置
extern const char* const kColAnnDesc;     // 纪念日描述
extern const char* const kColAnnLunar;    // 农历提醒

// One tb_memo row, each column as the text GetFieldText returns.
struct MemoRecord {
    std::string strName;       // 备忘录名称: the alarm's name; update and delete find rows by it
    std::string strInterval;   // 提醒时间: repeat count as decimal text, or "NULL" (one-time)
    std::string strUnit;       // 提醒单位: 天, 周, 月, 年, "" or "NULL" (one-time)
    std::string strStartDate;  // 开始日期: "%Y-%m-%d"
    std::string strStartTime;  // 开始时间: "%H:%M:%S"
    std::string strDesc;       // 备忘录描述: as typed, line breaks as CR LF
    std::string strCount;      // 提醒次数: "-1" repeating, "0" one-time
};

// One tb_remeber row, each column as the text GetFieldText returns.
struct AnniversaryRecord {
    std::string strName;     // 纪念日名称: the anniversary's name; update and delete find rows by it
    std::string strDate;     // 提醒日期: "%Y-%m-%d"
    std::string strTime;     // 提醒时间: "%H:%M:%S"
    std::string strAdvance;  // 提醒设置: advance-option bit set 0..31 as decimal text
    std::string strDesc;     // 纪念日描述: as typed, line breaks as CR LF
    std::string strLunar;    // 农历提醒: "-1" lunar, "0" Gregorian
};

// All columns of the current row, read by name.
MemoRecord ReadMemoRecord(RecordSet& rs);
AnniversaryRecord ReadAnniversaryRecord(RecordSet& rs);

// Every row of a table in the driver's order, read in one pass; the record set
// is closed before they return, so nothing shown afterwards can disturb it.
std::vector<MemoRecord> ReadAllMemos();
std::vector<AnniversaryRecord> ReadAllAnniversaries();

// A value ready to be pasted between single quotes: every ' is doubled, so
// that a name such as "Tom's" is stored as typed instead of breaking the
// statement. A GBK lead byte with no valid trail byte after it (a cut or
// damaged text) becomes '?', so that it can never swallow the closing quote.
std::string SqlQuote(const std::string& strValue);

// The statements, byte for byte the fixed texts the program has always
// issued (tab runs included), with each text value quoted by SqlQuote and
// each integer written in decimal. Arguments come in the order the texts
// take them.
std::string MemoSelectSql();
std::string MemoInsertSql(const std::string& strName, const std::string& strInterval,
                          const std::string& strUnit, const std::string& strStartDate,
                          const std::string& strStartTime, const std::string& strDesc,
                          int nCount);
std::string MemoUpdateSql(const std::string& strInterval, const std::string& strUnit,
                          const std::string& strStartDate, const std::string& strStartTime,
                          const std::string& strDesc, int nCount, const std::string& strName);
std::string MemoDeleteSql(const std::string& strName);

std::string AnniversarySelectSql();
std::string AnniversaryInsertSql(const std::string& strName, const std::string& strDate,
                                 const std::string& strTime, int nAdvance,
                                 const std::string& strDesc, int nLunar);
std::string AnniversaryUpdateSql(const std::string& strDate, const std::string& strTime,
                                 int nAdvance, const std::string& strDesc, int nLunar,
                                 const std::string& strName);
std::string AnniversaryDeleteSql(const std::string& strName);

// Selects the name of every row named strName, matched as update and delete match it.
std::string MemoNameSql(const std::string& strName);
std::string AnniversaryNameSql(const std::string& strName);

// What saving an editor's row came to.
enum class SaveOutcome {
    Saved,
    NameTaken,  // new mode: a row of that name is stored already
    NoSuchRow,  // modify mode: no row of that name is left to change
    Failed,     // the store has reported why; nothing changed
};

// Writes an editor's row: strWriteSql is its insert (new mode) or its update
// (modify mode). Names are the key of every update and delete, so a new row
// whose name strNameSql finds is refused: the driver compares the names, as
// it does for update and delete.
SaveOutcome SaveEditedRow(bool bModify, const std::string& strNameSql, const std::string& strWriteSql);

// What the editor of strWhat (备忘录, 纪念日) tells the user of an outcome:
// "备忘录创建成功！", "纪念日名称已存在！" and so on; empty for Failed, which
// the store has told.
std::string SaveOutcomeText(SaveOutcome outcome, bool bModify, const std::string& strWhat,
                            const std::string& strName);

// The tables as the database tool creates them: texts, long texts for the
// descriptions, 32-bit integers; none nullable, no key. Valid for Access and
// for SQLite (LONGTEXT is Access's long text and gives SQLite text affinity).
std::string MemoCreateTableSql();
std::string AnniversaryCreateTableSql();
