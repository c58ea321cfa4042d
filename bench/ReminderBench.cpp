// The minute checks over 10 000 alarms and 10 000 anniversaries, the table
// read included: one minute, as every tick does, and the 24-hour catch-up
// after a long sleep.
#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "bench/BenchDatabase.h"
#include "reminders/ReminderMinutes.h"

namespace {

// A check as the minute tick runs it: the table read, then the minutes examined.
template <void (*Check)(LocalMinute, LocalMinute, const DueRow&)>
void BM_Check(benchmark::State& state) {
    if (!bench::DatabaseReady(state)) return;
    const LocalMinute last = bench::CheckMinute();
    const LocalMinute first = last - (state.range(0) - 1);
    long long nNotices = 0;
    for (auto _ : state) {
        nNotices = 0;
        Check(first, last, [&](LocalMinute, int) { ++nNotices; });
    }
    state.counters["minutes"] = static_cast<double>(state.range(0));
    state.counters["notices"] = static_cast<double>(nNotices);
}

void Alarms(LocalMinute nFirst, LocalMinute nLast, const DueRow& due) {
    CheckMemoAlarms(ReadAllMemos(), nFirst, nLast, due);
}
void Anniversaries(LocalMinute nFirst, LocalMinute nLast, const DueRow& due) {
    CheckAnniversaries(ReadAllAnniversaries(), nFirst, nLast, due);
}
BENCHMARK_TEMPLATE(BM_Check, Alarms)
    ->Name("BM_CheckMemoAlarms")->Arg(1)->Arg(kMinutesPerDay)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Check, Anniversaries)
    ->Name("BM_CheckAnniversaries")->Arg(1)->Arg(kMinutesPerDay)->Unit(benchmark::kMillisecond);

// Both checks through the minute mechanism, as the minute tick runs them.
void BM_MinuteTick(benchmark::State& state) {
    if (!bench::DatabaseReady(state)) return;
    const LocalMinute last = bench::CheckMinute();
    long long nNotices = 0;
    for (auto _ : state) {
        ReminderMinutes minutes(last - (state.range(0) - 1));
        minutes.AddSource(std::make_unique<TableSource<MemoRecord>>(ReadAllMemos, CheckMemoAlarms));
        minutes.AddSource(std::make_unique<TableSource<AnniversaryRecord>>(ReadAllAnniversaries, CheckAnniversaries));
        nNotices = 0;
        minutes.Tick(last, 0, [&](const std::string&, const std::string&) { ++nNotices; }, [](const std::string&) {});
    }
    state.counters["minutes"] = static_cast<double>(state.range(0));
    state.counters["notices"] = static_cast<double>(nNotices);
}
BENCHMARK(BM_MinuteTick)->Arg(1)->Arg(kMinutesPerDay)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
