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
#include "storage/CreateDatabase.h"
#include "storage/ReminderDb.h"

namespace {

const int kRows = 10000;

// Rows x = 1..kRows spread over every minute of the day ((x / 60) % 24 and
// x % 60), every unit and interval 1..7 for the alarms (one in five
// one-time), dates over decades, all bit sets and both calendars for the
// anniversaries.
const char* const kFillSql[] = {
    "insert into tb_memo (备忘录名称,提醒时间,提醒单位,开始日期,开始时间,备忘录描述,提醒次数) "
    "select '闹钟' || x, case when x % 5 = 0 then 'NULL' else 1 + x % 7 end, "
    "case when x % 5 = 0 then 'NULL' else substr('天周月年', 1 + x % 4, 1) end, "
    "date('2024-01-01', '+' || (x % 400) || ' days'), printf('%02d:%02d:00', (x / 60) % 24, x % 60), "
    "'记得带上会议报告。', case when x % 5 = 0 then 0 else -1 end from n",
    "insert into tb_remeber (纪念日名称,提醒日期,提醒时间,提醒设置,纪念日描述,农历提醒) "
    "select '纪念日' || x, date('1960-01-01', '+' || (x * 37 % 25000) || ' days'), "
    "printf('%02d:%02d:00', (x / 60) % 24, x % 60), x % 32, '买蛋糕。', -(x % 2) from n",
};

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
        m_bReady = true;
        for (const char* sql : kFillSql) {
            const std::string strCount = "with recursive n(x) as (select 1 union all select x + 1 from n where x < " +
                                         std::to_string(kRows) + ") ";
            m_bReady = m_bReady && ExecuteSql(strCount + sql);
        }
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
    const LocalMinute last = ToLocalMinute(2025, 3, 16, 8, 30);
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
