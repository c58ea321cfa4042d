// What the native store benchmarks share: the reminder tables in a database of
// their own, filled once for all runs, and a main that uses this build's
// stand-in driver and prints the store's reports.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/ReminderTables.h"
#include "storage/CreateDatabase.h"
#include "storage/ReminderDb.h"

namespace bench {

class FilledDatabase {
public:
    FilledDatabase() {
        m_oldDir = std::filesystem::current_path();
        std::string strDir = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
        if (!mkdtemp(&strDir[0])) return;
        m_dir = strDir;
        std::filesystem::current_path(m_dir);
        std::string strMessage;
        if (CreateReminderDatabase(strMessage) != CreateDbResult::Created || !OpenDatabase()) return;
        m_bReady = FillReminderTables();
    }
    ~FilledDatabase() {
        CloseDatabase();
        std::filesystem::current_path(m_oldDir);
        std::error_code ec;
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ec);
    }
    bool Ready() const { return m_bReady; }

private:
    std::filesystem::path m_oldDir;
    std::filesystem::path m_dir;
    bool m_bReady = false;
};

// Both tables in one database, shared by all runs; false (the run skipped)
// when it could not be made.
inline bool DatabaseReady(benchmark::State& state) {
    static FilledDatabase db;
    if (!db.Ready()) state.SkipWithError("no database (is the stand-in driver built?)");
    return db.Ready();
}

inline int RunBenchmarks(int argc, char** argv) {
    setenv("ODBCSYSINI", QUORVEL_ODBCSYSINI, 0);  // this build's stand-in, unless the caller chose another
    SetDbErrorReporter([](const std::string& strMessage) { std::fprintf(stderr, "bench: %s\n", strMessage.c_str()); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
