// The QuorvelDb tool, run as scripts run it, in the folder that is to hold the
// database, the driver found through ODBCSYSINI. (What it makes: StoreDbTest,
// whose databases come from the same CreateReminderDatabase.)
#include <cstdlib>
#include <string>

#include "StoreFixture.h"

using StoreTool = StoreFixture;

TEST_F(StoreTool, MakesTheDatabaseAndLeavesItAloneWhenRunAgain) {
    const char* pszRun = "'" QUORVEL_DB_TOOL "' >tool-out.txt 2>&1";
    ASSERT_EQ(std::system(pszRun), 0);
    ASSERT_TRUE(OpenDatabase());
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("名", "2024-03-10", "08:30:00", 3, "", -1)));
    CloseDatabase();
    EXPECT_EQ(std::system(pszRun), 0);  // exit code 0: the file is there
    std::string strSaid;
    std::getline(std::ifstream("tool-out.txt"), strSaid);
    EXPECT_NE(strSaid.find("db_Quorvel.mdb"), std::string::npos) << strSaid;
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(ReadAllAnniversaries().size(), 1u);
    EXPECT_TRUE(m_reports.empty());
}

// Where the Access driver goes only by its newer name (64-bit Windows), the
// database is made and opened through it. Its own ctest entry registers the
// stand-in so.
TEST_F(StoreTool, OnlyTheNewerDriverName) {
    if (!std::getenv("QUORVEL_NEWER_DRIVER_ONLY")) GTEST_SKIP() << "run by the ctest entry that registers it so";
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
}
