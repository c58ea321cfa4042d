#include "storage/Statements.h"

#include <cassert>
#include <initializer_list>

#include "engine/LunarCalendar.h"
#include "storage/ReminderDb.h"

const char* const kColMemoName = "备忘录名称";
const char* const kColMemoInterval = "提醒时间";
const char* const kColMemoUnit = "提醒单位";
const char* const kColMemoStartDate = "开始日期";
const char* const kColMemoStartTime = "开始时间";
const char* const kColMemoDesc = "备忘录描述";
const char* const kColMemoCount = "提醒次数";

const char* const kColAnnName = "纪念日名称";
const char* const kColAnnDate = "提醒日期";
const char* const kColAnnTime = "提醒时间";
const char* const kColAnnAdvance = "提醒设置";
const char* const kColAnnDesc = "纪念日描述";
const char* const kColAnnLunar = "农历提醒";

namespace {

// The statement texts, kept exactly as they have always been issued.
const char* const kMemoSelect = "select * from tb_memo";
const char* const kMemoInsert =
    "insert into tb_memo (备忘录名称,提醒时间,提醒单位,\t\t\t\t开始日期,开始时间,备忘录描述,提醒次数) "
    "values ('%s','%s','%s'\t\t\t\t,'%s','%s','%s',%d)";
const char* const kMemoUpdate =
    "update tb_memo set 提醒时间='%s',提醒单位='%s',开始日期=\t\t\t\t'%s',开始时间='%s',"
    "备忘录描述='%s',提醒次数=%d \t\t\t\twhere 备忘录名称='%s'";
const char* const kMemoDelete = "delete from tb_memo where 备忘录名称='%s'";
const char* const kAnnSelect = "select * from tb_remeber";
const char* const kAnnInsert =
    "insert into tb_remeber (纪念日名称,提醒日期,提醒时间,\t\t\t提醒设置,纪念日描述,农历提醒) "
    "values ('%s','%s','%s',%d,'%s',\t\t\t%d)";
const char* const kAnnUpdate =
    "update tb_remeber set 提醒日期='%s',提醒时间='%s',\t\t\t提醒设置=%d,纪念日描述='%s',"
    "农历提醒=%d where 纪念日名称='%s'";
const char* const kAnnDelete = "delete from tb_remeber where 纪念日名称='%s'";
const char* const kMemoName = "select 备忘录名称 from tb_memo where 备忘录名称='%s'";
const char* const kAnnName = "select 纪念日名称 from tb_remeber where 纪念日名称='%s'";

// One value for a template: a text for %s or an integer for %d.
struct Arg {
    Arg(const std::string& str) : pText(&str) {}  // NOLINT: implicit by design
    Arg(int n) : nValue(n) {}                     // NOLINT
    const std::string* pText = nullptr;
    int nValue = 0;
};

// Replaces each %s with the next text, quoted, and each %d with the next
// integer. The templates above are the only ones used; their placeholders
// and the arguments are checked to agree.
std::string Fill(const char* pszTemplate, std::initializer_list<Arg> args) {
    std::string strOut;
    const Arg* pArg = args.begin();
    for (const char* p = pszTemplate; *p; ++p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == 'd')) {
            assert(pArg != args.end());
            assert((p[1] == 's') == (pArg->pText != nullptr));
            if (pArg == args.end()) break;
            if (pArg->pText)
                strOut += SqlQuote(*pArg->pText);
            else
                strOut += std::to_string(pArg->nValue);
            ++pArg;
            ++p;
        } else {
            strOut += *p;
        }
    }
    assert(pArg == args.end());
    return strOut;
}

bool IsGbkTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

}  // namespace

std::string SqlQuote(const std::string& strValue) {
    // GBK trail bytes lie in 0x40..0x7E and 0x80..0xFE, so a byte 0x27 is
    // always a quote of its own, never the second half of a character: the
    // doubling can work byte by byte.
    std::string strOut;
    strOut.reserve(strValue.size() + 2);
    for (size_t i = 0; i < strValue.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(strValue[i]);
        if (LunarCalendar::IsGbkLeadByte(c)) {
            if (i + 1 < strValue.size() && IsGbkTrailByte(static_cast<unsigned char>(strValue[i + 1]))) {
                strOut += strValue[i];
                strOut += strValue[++i];
            } else {
                strOut += '?';
            }
        } else if (c == '\'') {
            strOut += "''";
        } else {
            strOut += strValue[i];
        }
    }
    return strOut;
}

std::string MemoSelectSql() { return kMemoSelect; }

std::string MemoInsertSql(const std::string& strName, const std::string& strInterval,
                          const std::string& strUnit, const std::string& strStartDate,
                          const std::string& strStartTime, const std::string& strDesc,
                          int nCount) {
    return Fill(kMemoInsert,
                {strName, strInterval, strUnit, strStartDate, strStartTime, strDesc, nCount});
}

std::string MemoUpdateSql(const std::string& strInterval, const std::string& strUnit,
                          const std::string& strStartDate, const std::string& strStartTime,
                          const std::string& strDesc, int nCount, const std::string& strName) {
    return Fill(kMemoUpdate,
                {strInterval, strUnit, strStartDate, strStartTime, strDesc, nCount, strName});
}

std::string MemoDeleteSql(const std::string& strName) { return Fill(kMemoDelete, {strName}); }

std::string AnniversarySelectSql() { return kAnnSelect; }

std::string AnniversaryInsertSql(const std::string& strName, const std::string& strDate,
                                 const std::string& strTime, int nAdvance,
                                 const std::string& strDesc, int nLunar) {
    return Fill(kAnnInsert, {strName, strDate, strTime, nAdvance, strDesc, nLunar});
}

std::string AnniversaryUpdateSql(const std::string& strDate, const std::string& strTime,
                                 int nAdvance, const std::string& strDesc, int nLunar,
                                 const std::string& strName) {
    return Fill(kAnnUpdate, {strDate, strTime, nAdvance, strDesc, nLunar, strName});
}

std::string AnniversaryDeleteSql(const std::string& strName) { return Fill(kAnnDelete, {strName}); }

std::string MemoNameSql(const std::string& strName) { return Fill(kMemoName, {strName}); }

std::string AnniversaryNameSql(const std::string& strName) { return Fill(kAnnName, {strName}); }

SaveOutcome SaveEditedRow(bool bModify, const std::string& strNameSql, const std::string& strWriteSql) {
    if (!bModify) {
        const auto rs = OpenQuery(strNameSql);
        if (rs->GetColumnCount() == 0) return SaveOutcome::Failed;  // the table could not be read
        if (!rs->IsEOF()) return SaveOutcome::NameTaken;
    }
    long nRows = 0;
    if (!ExecuteSql(strWriteSql, &nRows)) return SaveOutcome::Failed;
    return bModify && nRows == 0 ? SaveOutcome::NoSuchRow : SaveOutcome::Saved;
}

std::string SaveOutcomeText(SaveOutcome outcome, bool bModify, const std::string& strWhat,
                            const std::string& strName) {
    switch (outcome) {
        case SaveOutcome::Saved: return strWhat + (bModify ? "修改成功！" : "创建成功！");
        case SaveOutcome::NameTaken: return strWhat + "名称已存在！";
        case SaveOutcome::NoSuchRow: return strWhat + "“" + strName + "”已不存在（可能已被删除），修改没有保存。";
        case SaveOutcome::Failed: break;
    }
    return std::string();
}

std::string MemoCreateTableSql() {
    return "CREATE TABLE tb_memo (备忘录名称 VARCHAR(255) NOT NULL, 提醒时间 VARCHAR(255) NOT NULL, "
           "提醒单位 VARCHAR(255) NOT NULL, 开始日期 VARCHAR(255) NOT NULL, "
           "开始时间 VARCHAR(255) NOT NULL, 备忘录描述 LONGTEXT NOT NULL, 提醒次数 INTEGER NOT NULL)";
}

std::string AnniversaryCreateTableSql() {
    return "CREATE TABLE tb_remeber (纪念日名称 VARCHAR(255) NOT NULL, 提醒日期 VARCHAR(255) NOT NULL, "
           "提醒时间 VARCHAR(255) NOT NULL, 提醒设置 INTEGER NOT NULL, 纪念日描述 LONGTEXT NOT NULL, "
           "农历提醒 INTEGER NOT NULL)";
}

MemoRecord ReadMemoRecord(RecordSet& rs) {
    MemoRecord rec;
    rec.strName = GetFieldText(rs, kColMemoName);
    rec.strInterval = GetFieldText(rs, kColMemoInterval);
    rec.strUnit = GetFieldText(rs, kColMemoUnit);
    rec.strStartDate = GetFieldText(rs, kColMemoStartDate);
    rec.strStartTime = GetFieldText(rs, kColMemoStartTime);
    rec.strDesc = GetFieldText(rs, kColMemoDesc);
    rec.strCount = GetFieldText(rs, kColMemoCount);
    return rec;
}

namespace {
template <typename Record>
std::vector<Record> ReadAll(const std::string& strSql, Record (*read)(RecordSet&)) {
    std::vector<Record> rows;
    for (auto rs = OpenQuery(strSql); !rs->IsEOF(); rs->MoveNext()) rows.push_back(read(*rs));
    return rows;
}
}  // namespace

std::vector<MemoRecord> ReadAllMemos() { return ReadAll(MemoSelectSql(), ReadMemoRecord); }

std::vector<AnniversaryRecord> ReadAllAnniversaries() {
    return ReadAll(AnniversarySelectSql(), ReadAnniversaryRecord);
}

AnniversaryRecord ReadAnniversaryRecord(RecordSet& rs) {
    AnniversaryRecord rec;
    rec.strName = GetFieldText(rs, kColAnnName);
    rec.strDate = GetFieldText(rs, kColAnnDate);
    rec.strTime = GetFieldText(rs, kColAnnTime);
    rec.strAdvance = GetFieldText(rs, kColAnnAdvance);
    rec.strDesc = GetFieldText(rs, kColAnnDesc);
    rec.strLunar = GetFieldText(rs, kColAnnLunar);
    return rec;
}
