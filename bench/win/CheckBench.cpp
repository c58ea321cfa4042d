// The minute checks over 10 000 alarms and 10 000 anniversaries as the Windows
// program runs them (under wine: wine's ODBC, unixODBC, the stand-in driver).
// Run in a folder holding an empty db_Quorvel.mdb, which it fills. Prints one
// JSON line per figure: the median of --runs runs of one minute and of the
// catch-up of 24 hours, both checks each time, as the minute tick runs them.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "bench/ReminderTables.h"

namespace {

void Figure(const char* name, int minutes, int runs) {
    const LocalMinute last = bench::CheckMinute();
    std::vector<double> ms;
    long long notices = 0;
    for (int run = 0; run <= runs; ++run) {
        notices = 0;
        const auto count = [&](LocalMinute, int) { ++notices; };
        const auto t0 = std::chrono::steady_clock::now();
        CheckMemoAlarms(ReadAllMemos(), last - (minutes - 1), last, count);
        CheckAnniversaries(ReadAllAnniversaries(), last - (minutes - 1), last, count);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
        if (run > 0) ms.push_back(took.count());  // the first run warms the caches
    }
    std::sort(ms.begin(), ms.end());
    std::printf("{\"ok\":true,\"name\":\"%s\",\"minutes\":%d,\"notices\":%lld,\"runs\":%d,\"median_ms\":%.1f,"
                "\"min_ms\":%.1f}\n",
                name, minutes, notices, runs, ms[ms.size() / 2], ms.front());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 2 && std::string(argv[1]) == "--runs" ? std::max(1, std::atoi(argv[2])) : 5;
    SetDbErrorReporter([](const std::string& strMessage) {
        std::printf("{\"ok\":false,\"error\":\"store: %s\"}\n", strMessage.c_str());
    });
    if (!OpenDatabase() || !bench::FillReminderTables()) return 1;
    Figure("minute check", 1, runs);
    Figure("24-hour catch-up", kMinutesPerDay, runs);
    CloseDatabase();
    return 0;
}
