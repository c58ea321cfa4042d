// The minute checks over 10 000 alarms and 10 000 anniversaries, the table
// read included: one minute, as every tick does, and the 24-hour catch-up
// after a long sleep.
#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "bench/BenchDatabase.h"

namespace {

template <void (*Check)(LocalMinute, LocalMinute, const ReminderNotice&)>
void BM_Check(benchmark::State& state) {
    if (!bench::DatabaseReady(state)) return;
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

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
