// The store against a real database through the stand-in Access driver.
#include <climits>
#include <string>
#include <vector>

#include "StoreFixture.h"

namespace {

std::vector<std::string> Names(const std::vector<MemoRecord>& rows) {
    std::vector<std::string> names;
    for (const MemoRecord& row : rows) names.push_back(row.strName);
    return names;
}

bool operator==(const MemoRecord& a, const MemoRecord& b) {
    return a.strName == b.strName && a.strInterval == b.strInterval && a.strUnit == b.strUnit &&
           a.strStartDate == b.strStartDate && a.strStartTime == b.strStartTime &&
           a.strDesc == b.strDesc && a.strCount == b.strCount;
}

bool operator==(const AnniversaryRecord& a, const AnniversaryRecord& b) {
    return a.strName == b.strName && a.strDate == b.strDate && a.strTime == b.strTime &&
           a.strAdvance == b.strAdvance && a.strDesc == b.strDesc && a.strLunar == b.strLunar;
}

bool InsertMemo(const MemoRecord& r) {
    return ExecuteSql(MemoInsertSql(r.strName, r.strInterval, r.strUnit, r.strStartDate,
                                    r.strStartTime, r.strDesc, std::stoi(r.strCount)));
}

MemoRecord Memo(const std::string& strName, const std::string& strDesc = "说明") {
    return {strName, "NULL", "NULL", "2024-03-10", "08:30:00", strDesc, "0"};
}

using StoreDb = StoreFixture;

}  // namespace

TEST_F(StoreDb, ConnectionStringIsExact) {
    EXPECT_STREQ(kConnectionString,
                 "DRIVER={Microsoft Access Driver (*.mdb)};\t\t\tuid=;pwd=;DBQ=db_Quorvel.mdb;");
}

TEST_F(StoreDb, OpenAndCloseThePresentFile) {
    ASSERT_NO_FATAL_FAILURE(CreateDb());
    EXPECT_FALSE(g_pConnection);
    ASSERT_TRUE(OpenDatabase());
    EXPECT_TRUE(g_pConnection);
    EXPECT_TRUE(OpenDatabase());  // already open: nothing happens
    CloseDatabase();
    EXPECT_FALSE(g_pConnection);
    CloseDatabase();  // nothing open: no-op
    ASSERT_TRUE(OpenDatabase());
    EXPECT_TRUE(ReadMemos().empty());
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, MissingFileIsReportedOnceAndNotCreated) {
    // The bare name is looked up in the working directory only: a database
    // in the directory above does not count.
    ASSERT_NO_FATAL_FAILURE(CreateDb());
    std::filesystem::create_directory("empty");
    std::filesystem::current_path("empty");

    EXPECT_FALSE(OpenDatabase());
    ASSERT_EQ(m_reports.size(), 1u);
    // The driver's own words (here the stand-in's), naming the file.
    EXPECT_NE(m_reports[0].find("connect failed"), std::string::npos) << m_reports[0];
    EXPECT_NE(m_reports[0].find("db_Quorvel.mdb"), std::string::npos) << m_reports[0];
    EXPECT_FALSE(g_pConnection);
    EXPECT_TRUE(std::filesystem::is_empty("."));
    // The minute checks that follow do not say it again; lost writes and a
    // list the user opens do.
    EXPECT_TRUE(OpenQuery(MemoSelectSql(), NoDatabase::ReportOnce)->IsEOF());
    EXPECT_EQ(m_reports.size(), 1u);
    EXPECT_FALSE(ExecuteSql(MemoDeleteSql("x")));
    EXPECT_TRUE(OpenQuery(MemoSelectSql())->IsEOF());
    EXPECT_EQ(m_reports.size(), 3u);
    CloseDatabase();  // after a failed open: nothing to do
    EXPECT_EQ(m_reports.size(), 3u);
}

TEST_F(StoreDb, WithoutDatabaseWritesAreReportedAndQueriesEmpty) {
    EXPECT_FALSE(ExecuteSql(MemoDeleteSql("x")));
    EXPECT_FALSE(ExecuteSql(MemoDeleteSql("x")));
    EXPECT_EQ(m_reports.size(), 2u);  // every lost write is told

    m_reports.clear();
    for (int i = 0; i < 3; ++i) {
        auto rs = OpenQuery(MemoSelectSql(), NoDatabase::ReportOnce);
        ASSERT_TRUE(rs);
        EXPECT_TRUE(rs->IsEOF());
        rs->MoveNext();
        EXPECT_TRUE(rs->IsEOF());
    }
    // The minute checks query every minute: told once, not every minute; a
    // list is told every time it is opened.
    OpenQuery(MemoSelectSql());
    ASSERT_EQ(m_reports.size(), 2u);
    EXPECT_EQ(m_reports[1], "数据库没有打开，提醒无法读取或保存。");
}

TEST_F(StoreDb, MemoRowsRoundTripThroughEveryStatement) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    const MemoRecord once = {"开会", "NULL", "NULL", "2024-03-10", "08:30:00", "带上报告\r\n和笔", "0"};
    const MemoRecord weekly = {"吃药", "2", "周", "2008-03-05", "21:00:00", "", "-1"};
    ASSERT_TRUE(InsertMemo(once));
    ASSERT_TRUE(InsertMemo(weekly));
    std::vector<MemoRecord> rows = ReadMemos();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0] == once);
    EXPECT_TRUE(rows[1] == weekly);

    ASSERT_TRUE(ExecuteSql(MemoUpdateSql("1", "月", "2025-12-31", "23:59:00", "新的\r\n说明", -1, "开会")));
    rows = ReadMemos();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0] == (MemoRecord{"开会", "1", "月", "2025-12-31", "23:59:00", "新的\r\n说明", "-1"}));
    EXPECT_TRUE(rows[1] == weekly);

    ASSERT_TRUE(ExecuteSql(MemoDeleteSql("开会")));
    rows = ReadMemos();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0] == weekly);
    // Update and delete of a name that is not there change nothing and are
    // not failures.
    EXPECT_TRUE(ExecuteSql(MemoUpdateSql("1", "天", "2000-01-01", "00:00:00", "", 0, "没有")));
    EXPECT_TRUE(ExecuteSql(MemoDeleteSql("没有")));
    EXPECT_EQ(ReadMemos().size(), 1u);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, AnniversaryRowsRoundTripThroughEveryStatement) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("妈妈生日", "1960-08-15", "09:00:00", 16, "买蛋糕\r\n订饭店", -1)));
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("结婚纪念日", "2001-10-01", "20:30:00", 0, "", 0)));
    std::vector<AnniversaryRecord> rows = ReadAnniversaries();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0] == (AnniversaryRecord{"妈妈生日", "1960-08-15", "09:00:00", "16", "买蛋糕\r\n订饭店", "-1"}));
    EXPECT_TRUE(rows[1] == (AnniversaryRecord{"结婚纪念日", "2001-10-01", "20:30:00", "0", "", "0"}));

    ASSERT_TRUE(ExecuteSql(AnniversaryUpdateSql("2001-10-02", "07:00:00", 31, "改", -1, "结婚纪念日")));
    rows = ReadAnniversaries();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[1] == (AnniversaryRecord{"结婚纪念日", "2001-10-02", "07:00:00", "31", "改", "-1"}));

    ASSERT_TRUE(ExecuteSql(AnniversaryDeleteSql("妈妈生日")));
    rows = ReadAnniversaries();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].strName, "结婚纪念日");
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, AwkwardTextsAreStoredExactly) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    // A description far longer than one read of the driver, with Chinese
    // characters straddling every piece boundary and CR LF line breaks.
    std::string strLong;
    for (int i = 0; i < 3000; ++i) strLong += (i % 7 == 6) ? "\r\n" : (i % 3 ? "闹钟" : "a'b");
    const std::vector<MemoRecord> memos = {
        Memo("It's 小明's", "他说：'好'"),
        Memo("NULL", "NULL"),
        Memo("''", "'"),
        Memo("   ", ""),
        Memo("%s %d \\ \" ; --", "; delete from tb_memo; --"),
        Memo("长", strLong),
    };
    for (const MemoRecord& memo : memos) ASSERT_TRUE(InsertMemo(memo)) << memo.strName;
    std::vector<MemoRecord> rows = ReadMemos();
    ASSERT_EQ(rows.size(), memos.size());
    for (size_t i = 0; i < memos.size(); ++i) EXPECT_TRUE(rows[i] == memos[i]) << memos[i].strName;

    // A name with a quote is found again by update and delete.
    ASSERT_TRUE(ExecuteSql(MemoUpdateSql("5", "年", "2030-01-01", "06:00:00", "x'y", -1, "It's 小明's")));
    rows = ReadMemos();
    EXPECT_EQ(rows[0].strDesc, "x'y");
    EXPECT_EQ(rows[0].strCount, "-1");
    ASSERT_TRUE(ExecuteSql(MemoDeleteSql("It's 小明's")));
    ASSERT_TRUE(ExecuteSql(MemoDeleteSql("''")));
    EXPECT_EQ(Names(ReadMemos()),
              (std::vector<std::string>{"NULL", "   ", "%s %d \\ \" ; --", "长"}));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, IntegersReadAsDecimalText) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    for (int n : {-1, 0, 16, 31, INT_MAX, INT_MIN})
        ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql(std::to_string(n), "2000-01-01", "00:00:00", n, "", n)));
    for (const AnniversaryRecord& row : ReadAnniversaries()) {
        EXPECT_EQ(row.strAdvance, row.strName);
        EXPECT_EQ(row.strLunar, row.strName);
    }
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, UpdateAndDeleteActOnEveryRowOfTheName) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    for (const char* pszName : {"同名", "别的", "同名"}) ASSERT_TRUE(InsertMemo(Memo(pszName)));
    ASSERT_TRUE(ExecuteSql(MemoUpdateSql("3", "天", "2024-05-01", "12:00:00", "改了", -1, "同名")));
    int nChanged = 0;
    for (const MemoRecord& row : ReadMemos()) {
        if (row.strName == "同名") {
            EXPECT_EQ(row.strDesc, "改了");
            ++nChanged;
        } else {
            EXPECT_EQ(row.strDesc, "说明");
        }
    }
    EXPECT_EQ(nChanged, 2);
    ASSERT_TRUE(ExecuteSql(MemoDeleteSql("同名")));
    EXPECT_EQ(Names(ReadMemos()), std::vector<std::string>{"别的"});
}

TEST_F(StoreDb, NullColumnsReadAsEmptyText) {
    // A file edited by other means: tables that allow NULL, a row full of them.
    { std::ofstream file("db_Quorvel.mdb"); }  // an empty SQLite database
    ASSERT_TRUE(OpenDatabase());
    ASSERT_TRUE(ExecuteSql("create table tb_memo (备忘录名称 varchar(255), 提醒时间 varchar(255), "
                           "提醒单位 varchar(255), 开始日期 varchar(255), 开始时间 varchar(255), "
                           "备忘录描述 longtext, 提醒次数 integer)"));
    ASSERT_TRUE(ExecuteSql("insert into tb_memo (备忘录名称) values ('空')"));
    ASSERT_TRUE(ExecuteSql("insert into tb_memo (提醒次数) values (-1)"));
    const std::vector<MemoRecord> rows = ReadMemos();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0] == (MemoRecord{"空", "", "", "", "", "", ""}));
    EXPECT_TRUE(rows[1] == (MemoRecord{"", "", "", "", "", "", "-1"}));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, NestedReadersKeepTheirPlace) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    for (const char* pszName : {"一", "二", "三"}) ASSERT_TRUE(InsertMemo(Memo(pszName)));
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("纪念", "2000-01-01", "00:00:00", 1, "", 0)));

    // The minute check reads the first alarm and shows its notice; while the
    // notice is open the next tick runs both checks to the end, and the user
    // deletes an alarm and adds another from the list.
    auto outer = OpenQuery(MemoSelectSql());
    ASSERT_FALSE(outer->IsEOF());
    EXPECT_EQ(GetFieldText(*outer, kColMemoName), "一");

    EXPECT_EQ(Names(ReadMemos()), (std::vector<std::string>{"一", "二", "三"}));
    {
        auto inner = OpenQuery(AnniversarySelectSql());
        ASSERT_FALSE(inner->IsEOF());
        EXPECT_EQ(GetFieldText(*inner, kColAnnName), "纪念");
        auto innermost = OpenQuery(MemoSelectSql());
        EXPECT_EQ(GetFieldText(*innermost, kColMemoName), "一");
        innermost->MoveNext();
        innermost->Close();
        inner->MoveNext();
        EXPECT_TRUE(inner->IsEOF());
    }
    ASSERT_TRUE(ExecuteSql(MemoDeleteSql("一")));
    ASSERT_TRUE(InsertMemo(Memo("四")));

    // The suspended reader is still on its row and goes on from there.
    EXPECT_EQ(GetFieldText(*outer, kColMemoName), "一");
    outer->MoveNext();
    ASSERT_FALSE(outer->IsEOF());
    EXPECT_EQ(GetFieldText(*outer, kColMemoName), "二");
    outer->MoveNext();
    ASSERT_FALSE(outer->IsEOF());
    EXPECT_EQ(GetFieldText(*outer, kColMemoName), "三");
    outer->MoveNext();
    // Whether a row added meanwhile shows up is the driver's affair.
    if (!outer->IsEOF()) {
        EXPECT_EQ(GetFieldText(*outer, kColMemoName), "四");
        outer->MoveNext();
    }
    EXPECT_TRUE(outer->IsEOF());
    outer->Close();
    EXPECT_EQ(Names(ReadMemos()), (std::vector<std::string>{"二", "三", "四"}));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, FailingStatementIsReportedAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    ASSERT_TRUE(InsertMemo(Memo("留下")));

    // Malformed text, a missing column, a missing table, a NULL in a
    // column that allows none.
    const std::vector<std::string> bad = {
        "insert into tb_memo (备忘录名称) values ('a'",
        "update tb_memo set 没有这列='x' where 备忘录名称='留下'",
        "delete from tb_missing where a='b'",
        "insert into tb_memo (备忘录名称,提醒时间,提醒单位,开始日期,开始时间,备忘录描述,提醒次数) "
        "values ('坏',NULL,'','','','',0)",
    };
    for (const std::string& strSql : bad) {
        m_reports.clear();
        EXPECT_FALSE(ExecuteSql(strSql)) << strSql;
        ASSERT_EQ(m_reports.size(), 1u) << strSql;
        EXPECT_FALSE(m_reports[0].empty());
    }
    const std::vector<MemoRecord> rows = ReadMemos();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0] == Memo("留下"));

    // A failing query: reported, and a record set already at its end.
    m_reports.clear();
    auto rs = OpenQuery("select * from tb_missing");
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->GetColumnCount(), 0);
    EXPECT_EQ(m_reports.size(), 1u);
}

TEST_F(StoreDb, BadReadsAreReportedNotFatal) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    ASSERT_TRUE(InsertMemo(Memo("一")));
    auto rs = OpenQuery("select 备忘录名称, 提醒次数 AS Count from tb_memo");
    ASSERT_FALSE(rs->IsEOF());
    EXPECT_EQ(rs->GetColumnCount(), 2);
    EXPECT_EQ(GetFieldText(*rs, "count"), "0");  // ASCII names match in any case
    EXPECT_TRUE(m_reports.empty());
    EXPECT_EQ(GetFieldText(*rs, "备忘录描述"), "");  // not in this result
    EXPECT_EQ(m_reports.size(), 1u);
    rs->MoveNext();
    ASSERT_TRUE(rs->IsEOF());
    EXPECT_EQ(GetFieldText(*rs, kColMemoName), "");  // no current row
    EXPECT_EQ(m_reports.size(), 2u);
}

TEST_F(StoreDb, ClosingTheDatabaseEndsOpenRecordSets) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    ASSERT_TRUE(InsertMemo(Memo("一")));
    auto rs = OpenQuery(MemoSelectSql());
    ASSERT_FALSE(rs->IsEOF());
    CloseDatabase();
    EXPECT_TRUE(rs->IsEOF());
    rs->MoveNext();
    rs->Close();
    rs->Close();
    // And the store works again after reopening.
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(ReadMemos().size(), 1u);
}
