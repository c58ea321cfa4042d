// The store against a real database through the stand-in Access driver.
#include <climits>
#include <string>
#include <vector>

#include "StoreFixture.h"

namespace {

using StoreDb = StoreFixture;
using Rows = std::vector<std::vector<std::string>>;

Rows Table(const std::vector<MemoRecord>& rows) {
    Rows out;
    for (const MemoRecord& r : rows)
        out.push_back({r.strName, r.strInterval, r.strUnit, r.strStartDate, r.strStartTime, r.strDesc, r.strCount});
    return out;
}

Rows Table(const std::vector<AnniversaryRecord>& rows) {
    Rows out;
    for (const AnniversaryRecord& r : rows)
        out.push_back({r.strName, r.strDate, r.strTime, r.strAdvance, r.strDesc, r.strLunar});
    return out;
}

bool InsertMemo(const std::vector<std::string>& f) {
    return ExecuteSql(MemoInsertSql(f[0], f[1], f[2], f[3], f[4], f[5], std::stoi(f[6])));
}

}  // namespace

TEST_F(StoreDb, MissingFileIsReportedOnceByNameAndNotCreated) {
    // The bare name is looked up in the working directory only.
    ASSERT_NO_FATAL_FAILURE(CreateDb());
    std::string strMessage;  // a second making leaves the file alone
    EXPECT_EQ(CreateReminderDatabase(strMessage), CreateDbResult::AlreadyExists);
    std::filesystem::create_directory("empty");
    std::filesystem::current_path("empty");
    EXPECT_FALSE(OpenDatabase());
    ASSERT_EQ(m_reports.size(), 1u);
    // The driver's own words, naming the file.
    EXPECT_NE(m_reports[0].find("connect failed"), std::string::npos) << m_reports[0];
    EXPECT_NE(m_reports[0].find("db_Quorvel.mdb"), std::string::npos) << m_reports[0];
    EXPECT_TRUE(std::filesystem::is_empty("."));
    // A list the user opens says it again.
    EXPECT_TRUE(OpenQuery(MemoSelectSql())->IsEOF());
    EXPECT_FALSE(ExecuteSql(MemoDeleteSql("x")));  // every lost write is told
    EXPECT_EQ(m_reports.size(), 3u);
    EXPECT_EQ(m_reports[2], "数据库没有打开，提醒无法读取或保存。");
}

TEST_F(StoreDb, MemosRoundTripThroughEveryStatementExactly) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    // Far longer than one read of the driver, characters across every piece boundary.
    std::string strLong;
    for (int i = 0; i < 3000; ++i) strLong += (i % 7 == 6) ? "\r\n" : (i % 3 ? "闹钟" : "a'b");
    Rows memos = {
        {"开会", "NULL", "NULL", "2024-03-10", "08:30:00", "带上报告\r\n和笔", "0"},
        {"It's 小明's", "2", "周", "2008-03-05", "21:00:00", "他说：'好'", "-1"},
        {"NULL", "''", "'", "   ", "%s %d \\ \"", "; delete from tb_memo; --", "0"},
        {"长", "1", "年", "2024-02-29", "23:59:59", strLong, "-1"},
        {"It's 小明's", "3", "天", "2024-01-01", "00:00:00", "", "0"},
    };
    for (const auto& memo : memos) ASSERT_TRUE(InsertMemo(memo)) << memo[0];
    EXPECT_EQ(Table(ReadAllMemos()), memos);

    // Update and delete find every row of a name, quotes and all, and say how
    // many; a name that is not there changes nothing and is no failure of the
    // store, but the editor's save says it. A new row may not take a stored name.
    const auto rows = [](const std::string& sql) { long n = -1; return ExecuteSql(sql, &n) ? n : -2; };
    EXPECT_EQ(rows(MemoUpdateSql("5", "月", "2030-01-01", "06:00:00", "x'y", -1, "It's 小明's")), 2);
    EXPECT_EQ(rows(MemoDeleteSql("开会")), 1);
    EXPECT_EQ(rows(MemoDeleteSql("没有")), 0);
    const std::string update = MemoUpdateSql("1", "天", "2000-01-01", "00:00:00", "", 0, "没有");
    EXPECT_EQ(SaveEditedRow(true, MemoNameSql("没有"), update), SaveOutcome::NoSuchRow);
    EXPECT_EQ(SaveEditedRow(false, MemoNameSql("It's 小明's"), "wrong"), SaveOutcome::NameTaken);
    memos.erase(memos.begin());
    memos[0] = memos[3] = {"It's 小明's", "5", "月", "2030-01-01", "06:00:00", "x'y", "-1"};
    EXPECT_EQ(Table(ReadAllMemos()), memos);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, AnniversariesRoundTripWithIntegersAsDecimalText) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    Rows anns;
    for (int n : {-1, 0, 16, INT_MAX, INT_MIN}) {
        const std::string s = std::to_string(n);
        anns.push_back({"纪念" + s, "1960-08-15", "09:00:00", s, "买蛋糕\r\n订'饭店", s});
        ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql(anns.back()[0], "1960-08-15", "09:00:00", n, anns.back()[4], n)));
    }
    EXPECT_EQ(Table(ReadAllAnniversaries()), anns);
    ASSERT_TRUE(ExecuteSql(AnniversaryUpdateSql("2001-10-02", "07:00:00", 31, "改", -1, "纪念0")));
    ASSERT_TRUE(ExecuteSql(AnniversaryDeleteSql("纪念-1")));
    anns[1] = {"纪念0", "2001-10-02", "07:00:00", "31", "改", "-1"};
    anns.erase(anns.begin());
    EXPECT_EQ(Table(ReadAllAnniversaries()), anns);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, NullColumnsReadAsEmptyText) {
    // A file edited by other means: tables that allow NULL, rows full of them.
    { std::ofstream file("db_Quorvel.mdb"); }  // an empty SQLite database
    ASSERT_TRUE(OpenDatabase());
    ASSERT_TRUE(ExecuteSql("create table tb_memo (备忘录名称 varchar(255), 提醒时间 varchar(255), "
                           "提醒单位 varchar(255), 开始日期 varchar(255), 开始时间 varchar(255), "
                           "备忘录描述 longtext, 提醒次数 integer)"));
    ASSERT_TRUE(ExecuteSql("insert into tb_memo (备忘录名称) values ('空')"));
    ASSERT_TRUE(ExecuteSql("insert into tb_memo (提醒次数) values (-1)"));
    EXPECT_EQ(Table(ReadAllMemos()), (Rows{{"空", "", "", "", "", "", ""}, {"", "", "", "", "", "", "-1"}}));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StoreDb, FailingStatementIsReportedAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    const std::vector<std::string> memo = {"留下", "1", "天", "2024-01-01", "00:00:00", "", "0"};
    ASSERT_TRUE(InsertMemo(memo));
    // Malformed text, a missing column, NULL where none is allowed (a missing table: below).
    for (const char* pszSql : {"insert into tb_memo (备忘录名称) values ('a'",
                               "update tb_memo set 没有这列='x' where 备忘录名称='留下'",
                               "insert into tb_memo (备忘录名称,提醒时间,提醒单位,开始日期,开始时间,备忘录描述,提醒次数) "
                               "values ('坏',NULL,'','','','',0)"}) {
        m_reports.clear();
        EXPECT_FALSE(ExecuteSql(pszSql)) << pszSql;
        EXPECT_EQ(m_reports.size(), 1u) << pszSql;
    }
    EXPECT_EQ(Table(ReadAllMemos()), Rows{memo});
    // A failing query: reported every time, and a record set already at its
    // end, whose column reads are reported too.
    m_reports.clear();
    auto rs = OpenQuery("select * from tb_missing");
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->GetColumnCount(), 0);
    GetFieldText(*rs, kColMemoName);
    OpenQuery("select * from tb_missing");
    EXPECT_EQ(m_reports.size(), 3u);
}

TEST_F(StoreDb, ColumnsAreFoundByNameAndBadReadsReported) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    ASSERT_TRUE(InsertMemo({"一", "1", "天", "", "", "", "-1"}));
    auto rs = OpenQuery("select 备忘录名称 AS 華, 提醒次数 AS Count from tb_memo");
    ASSERT_FALSE(rs->IsEOF());
    EXPECT_EQ(GetFieldText(*rs, "count"), "-1");  // ASCII letters match in any case
    EXPECT_EQ(GetFieldText(*rs, "華"), "一");
    EXPECT_TRUE(m_reports.empty());
    // 萢 differs from 華 only in a second byte that looks like 'a' against 'A'.
    for (const char* pszMissing : {"萢", "备忘录描述"}) EXPECT_EQ(GetFieldText(*rs, pszMissing), "");
    rs->MoveNext();
    EXPECT_EQ(GetFieldText(*rs, kColMemoName), "");  // no current row
    EXPECT_EQ(m_reports.size(), 3u);
}

TEST_F(StoreDb, OpensOnceAndClosingEndsOpenRecordSets) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    ASSERT_TRUE(InsertMemo({"一", "1", "天", "", "", "", "0"}));
    auto rs = OpenQuery(MemoSelectSql());
    EXPECT_TRUE(OpenDatabase());  // already open: nothing happens, the reader keeps its row
    ASSERT_FALSE(rs->IsEOF());
    CloseDatabase();
    CloseDatabase();  // nothing open: no-op
    EXPECT_FALSE(g_pConnection);
    EXPECT_TRUE(rs->IsEOF());
    rs->MoveNext();
    rs->Close();
    ASSERT_TRUE(OpenDatabase());  // and the store works again
    EXPECT_EQ(ReadAllMemos().size(), 1u);
    EXPECT_TRUE(m_reports.empty());
}
