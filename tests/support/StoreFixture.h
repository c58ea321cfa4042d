// A fresh working directory per test (the store opens the bare name
// db_Quorvel.mdb), the store's reports recorded, and the store closed again.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "storage/CreateDatabase.h"
#include "storage/ReminderDb.h"
#include "storage/Statements.h"

class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldDir = std::filesystem::current_path();
        std::string strTemplate = (std::filesystem::temp_directory_path() / "quorvel-store-XXXXXX").string();
        ASSERT_NE(mkdtemp(&strTemplate[0]), nullptr);
        m_dir = strTemplate;
        std::filesystem::current_path(m_dir);
        SetDbErrorReporter([this](const std::string& strMessage) { m_reports.push_back(strMessage); });
    }

    void TearDown() override {
        CloseDatabase();
        SetDbErrorReporter(nullptr);
        std::filesystem::current_path(m_oldDir);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // A new database with both tables, made as the QuorvelDb tool makes it.
    void CreateDb() {
        std::string strMessage;
        ASSERT_EQ(CreateReminderDatabase(strMessage), CreateDbResult::Created) << strMessage;
    }

    void CreateAndOpenDb() {
        ASSERT_NO_FATAL_FAILURE(CreateDb());
        ASSERT_TRUE(OpenDatabase());
        ASSERT_TRUE(m_reports.empty()) << m_reports.front();
    }

    std::filesystem::path m_oldDir;
    std::filesystem::path m_dir;
    std::vector<std::string> m_reports;
};
