// Reading a whole table of 10 000 alarms, as a list fill or a minute check
// does: OpenQuery, then GetFieldText of all seven columns of every row.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "storage/CreateDatabase.h"
#include "storage/ReminderDb.h"
#include "storage/Statements.h"

namespace {

const int kRows = 10000;

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
        if (CreateReminderDatabase(strMessage) != CreateDbResult::Created) {
            std::fprintf(stderr, "store_bench: %s\n", strMessage.c_str());
            return;
        }
        if (!OpenDatabase()) return;
        // One statement, so one transaction: the rows are made in SQLite by
        // a counting query rather than by 10 000 separate inserts.
        m_bReady = ExecuteSql(
            "with recursive n(x) as (select 1 union all select x + 1 from n where x < " +
            std::to_string(kRows) +
            ") insert into tb_memo (备忘录名称,提醒时间,提醒单位,开始日期,开始时间,备忘录描述,提醒次数) "
            "select '每日闹钟' || x, x % 7, '天', '2024-03-10', '08:30:00', "
            "'记得带上会议报告和笔记本电脑。\r\n第二行：会后把纪要发给大家。', -(x % 2) from n");
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

void BM_StoreReadWholeMemoTable(benchmark::State& state) {
    static FilledDatabase db;
    if (!db.Ready()) {
        state.SkipWithError("no database (is the stand-in driver built?)");
        return;
    }
    size_t nRows = 0;
    for (auto _ : state) {
        nRows = 0;
        auto rs = OpenQuery(MemoSelectSql());
        for (; !rs->IsEOF(); rs->MoveNext()) {
            MemoRecord rec = ReadMemoRecord(*rs);
            benchmark::DoNotOptimize(rec);
            ++nRows;
        }
        rs->Close();
    }
    if (nRows != static_cast<size_t>(kRows)) state.SkipWithError("wrong number of rows read");
    state.counters["rows"] = static_cast<double>(nRows);
}
BENCHMARK(BM_StoreReadWholeMemoTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The stand-in driver of this build, unless the caller chose another.
    setenv("ODBCSYSINI", QUORVEL_ODBCSYSINI, 0);
    SetDbErrorReporter([](const std::string& strMessage) {
        std::fprintf(stderr, "store_bench: %s\n", strMessage.c_str());
    });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
