// The QuorvelDb tool, run as users run it: in the directory that is to hold
// the database, with the driver found through ODBCSYSINI.
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "StoreFixture.h"

namespace {

using StoreTool = StoreFixture;

std::string ReadFile(const char* pszName) {
    std::ifstream file(pszName, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs the tool; returns its exit code, its output in strOut.
int RunTool(std::string& strOut) {
    const int nStatus = std::system("'" QUORVEL_DB_TOOL "' >tool-out.txt 2>&1");
    strOut = ReadFile("tool-out.txt");
    std::filesystem::remove("tool-out.txt");
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

}  // namespace

TEST_F(StoreTool, CreatesBothTablesReadyForTheProgramOnce) {
    std::string strOut;
    ASSERT_EQ(RunTool(strOut), 0) << strOut;
    EXPECT_NE(strOut.find("db_Quorvel.mdb"), std::string::npos) << strOut;
    ASSERT_TRUE(OpenDatabase());
    ASSERT_TRUE(ExecuteSql(MemoInsertSql("名", "NULL", "NULL", "2024-03-10", "08:30:00", "", 0)));
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("名", "2024-03-10", "08:30:00", 3, "", -1)));
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("名", "2024-03-10", "08:30:00", 3, "", -1)));  // no key
    EXPECT_EQ(ReadAllMemos().size(), 1u);  // every column there by name
    EXPECT_EQ(ReadAllAnniversaries().size(), 2u);
    EXPECT_TRUE(m_reports.empty()) << m_reports.front();
    // No column takes NULL.
    EXPECT_FALSE(ExecuteSql("insert into tb_remeber (纪念日名称,提醒日期,提醒时间,提醒设置,纪念日描述,农历提醒) "
                            "values ('x','','',NULL,'',0)"));
    // A second run leaves the file and its rows alone.
    CloseDatabase();
    const std::string strMade = ReadFile("db_Quorvel.mdb");
    EXPECT_EQ(RunTool(strOut), 0) << strOut;
    EXPECT_EQ(ReadFile("db_Quorvel.mdb"), strMade);
}
