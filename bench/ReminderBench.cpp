// The minute checks over 10 000 alarms and 10 000 anniversaries, the table
// read included: one minute, as every tick does, and the 24-hour catch-up
// after a long sleep.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "bench/ReminderTables.h"
#include "storage/CreateDatabase.h"
#include "storage/ReminderDb.h"

namespace {

// A database in a directory of its own, filled once for all runs.
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
        m_bReady = bench::FillReminderTables();
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

// Both tables in one database, shared by all runs.
const FilledDatabase& Database() {
    static FilledDatabase db;
    return db;
}

template <void (*Check)(LocalMinute, LocalMinute, const ReminderNotice&)>
void BM_Check(benchmark::State& state) {
    if (!Database().Ready()) {
        state.SkipWithError("no database (is the stand-in driver built?)");
        return;
    }
    const LocalMinute last = bench::CheckMinute();
    const LocalMinute first = last - (state.range(0) - 1);
    long long nNotices = 0;
    for (auto _ : state) {
        nNotices = 0;
        Check(first, last, [&](const std::string&, const std::string&) { ++nNotices; });
    }
    state.counters["minutes"] = static_cast<double>(state.range(0));
    state.counters["notices"] = static_cast<double>(nNotices);
}
BENCHMARK_TEMPLATE(BM_Check, CheckMemoAlarms)
    ->Name("BM_CheckMemoAlarms")->Arg(1)->Arg(kMinutesPerDay)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Check, CheckAnniversaries)
    ->Name("BM_CheckAnniversaries")->Arg(1)->Arg(kMinutesPerDay)->Unit(benchmark::kMillisecond);

// Both checks, as the minute tick runs them.
void BothChecks(LocalMinute nFirst, LocalMinute nLast, const ReminderNotice& notice) {
    CheckMemoAlarms(nFirst, nLast, notice);
    CheckAnniversaries(nFirst, nLast, notice);
}
BENCHMARK_TEMPLATE(BM_Check, BothChecks)
    ->Name("BM_MinuteTick")->Arg(1)->Arg(kMinutesPerDay)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The stand-in driver of this build, unless the caller chose another.
    setenv("ODBCSYSINI", QUORVEL_ODBCSYSINI, 0);
    SetDbErrorReporter([](const std::string& strMessage) {
        std::fprintf(stderr, "reminder_bench: %s\n", strMessage.c_str());
    });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
