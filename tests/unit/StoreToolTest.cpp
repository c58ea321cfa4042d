// The QuorvelDb tool, run as users run it: in the directory that is to hold
// the database, with the driver found through ODBCSYSINI.
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "StoreFixture.h"

namespace {

struct ToolRun {
    int nExit = -1;
    std::string strOut;
    std::string strErr;
};

std::string ReadFile(const char* pszName) {
    std::ifstream file(pszName, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ToolRun RunTool(const std::string& strEnv = "") {
    const std::string strCommand =
        strEnv + " '" QUORVEL_DB_TOOL "' >tool-out.txt 2>tool-err.txt";
    const int nStatus = std::system(strCommand.c_str());
    ToolRun run;
    run.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    run.strOut = ReadFile("tool-out.txt");
    run.strErr = ReadFile("tool-err.txt");
    std::filesystem::remove("tool-out.txt");
    std::filesystem::remove("tool-err.txt");
    return run;
}

using StoreTool = StoreFixture;

}  // namespace

TEST_F(StoreTool, CreatesBothTablesReadyForTheProgram) {
    const ToolRun run = RunTool();
    ASSERT_EQ(run.nExit, 0) << run.strErr;
    EXPECT_NE(run.strOut.find("db_Quorvel.mdb"), std::string::npos) << run.strOut;
    ASSERT_TRUE(std::filesystem::exists("db_Quorvel.mdb"));

    ASSERT_TRUE(OpenDatabase());
    ASSERT_TRUE(ExecuteSql(MemoInsertSql("名", "NULL", "NULL", "2024-03-10", "08:30:00", "", 0)));
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("名", "2024-03-10", "08:30:00", 3, "", -1)));
    auto memo = OpenQuery(MemoSelectSql());
    ASSERT_FALSE(memo->IsEOF());
    EXPECT_EQ(memo->GetColumnCount(), 7);
    ReadMemoRecord(*memo);  // every column is there by name
    auto ann = OpenQuery(AnniversarySelectSql());
    ASSERT_FALSE(ann->IsEOF());
    EXPECT_EQ(ann->GetColumnCount(), 6);
    EXPECT_EQ(ReadAnniversaryRecord(*ann).strLunar, "-1");
    EXPECT_TRUE(m_reports.empty()) << m_reports.front();

    // No column takes NULL; nothing is unique.
    EXPECT_FALSE(ExecuteSql("insert into tb_remeber (纪念日名称,提醒日期,提醒时间,提醒设置,纪念日描述,农历提醒) "
                            "values ('x','','',NULL,'',0)"));
    EXPECT_TRUE(ExecuteSql(AnniversaryInsertSql("名", "2024-03-10", "08:30:00", 3, "", -1)));
}

TEST_F(StoreTool, LeavesAnExistingFileAlone) {
    { std::ofstream("db_Quorvel.mdb", std::ios::binary) << "not touched"; }
    const ToolRun run = RunTool();
    EXPECT_EQ(run.nExit, 0) << run.strErr;
    EXPECT_EQ(ReadFile("db_Quorvel.mdb"), "not touched");

    // A database made by the tool survives a second run with its rows.
    std::filesystem::remove("db_Quorvel.mdb");
    ASSERT_EQ(RunTool().nExit, 0);
    ASSERT_TRUE(OpenDatabase());
    ASSERT_TRUE(ExecuteSql(MemoDeleteSql("x")));
    ASSERT_TRUE(ExecuteSql(MemoInsertSql("留着", "1", "天", "2024-01-01", "00:00:00", "", -1)));
    CloseDatabase();
    ASSERT_EQ(RunTool().nExit, 0);
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(ReadMemos().size(), 1u);
}

TEST_F(StoreTool, FailsClearlyWithoutTheDriver) {
    const ToolRun run = RunTool("ODBCSYSINI=" + m_dir.string());
    EXPECT_EQ(run.nExit, 1);
    EXPECT_NE(run.strErr.find("db_Quorvel.mdb"), std::string::npos) << run.strErr;
    EXPECT_FALSE(std::filesystem::exists("db_Quorvel.mdb"));
}
