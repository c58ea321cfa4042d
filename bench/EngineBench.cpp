// Speed of the calendar engine and the month grid (reported, never asserted).
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/LunarCalendar.h"
#include "view/MonthGrid.h"

using namespace LunarCalendar;

namespace {
std::vector<SolarDate> AllDaysOfTheRange() {
    std::vector<SolarDate> days;
    const int first = GetAbsoluteDay(kFirstLunarDay.nYear, kFirstLunarDay.nMonth, kFirstLunarDay.nDay);
    const int last = GetAbsoluteDay(kLastLunarDay.nYear, kLastLunarDay.nMonth, kLastLunarDay.nDay);
    for (int n = first; n <= last; ++n) days.push_back(AbsoluteDayToDate(n));
    return days;
}
}  // namespace

// One call per iteration, cycling over every day of the lunar table.
static void BM_SolarToLunar(benchmark::State& state) {
    const std::vector<SolarDate> days = AllDaysOfTheRange();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SolarToLunar(days[i]));
        if (++i == days.size()) i = 0;
    }
    state.counters["days"] = static_cast<double>(days.size());
}
BENCHMARK(BM_SolarToLunar);

// One label per iteration, over the days of 2024.
static void BM_GetDayLabel(benchmark::State& state) {
    std::vector<SolarDate> days;
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= GetDaysInMonth(2024, m); ++d) days.push_back({2024, m, d});
    }
    size_t i = 0;
    for (auto _ : state) {
        const SolarDate& day = days[i];
        benchmark::DoNotOptimize(GetDayLabel(day.nYear, day.nMonth, day.nDay,
                                             GetFirstWeekday(day.nYear, day.nMonth)));
        if (++i == days.size()) i = 0;
    }
}
BENCHMARK(BM_GetDayLabel);

// One whole grid per iteration as the window draws it (with the 休/班 marks),
// over every month of the lunar table's years.
static void BM_BuildMonthGrid(benchmark::State& state) {
    const DaysOff daysOff;
    int month = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildMonthGrid(kFirstLunarYear + month / 12, month % 12 + 1, 15, 2024, 6, &daysOff));
        if (++month == kLunarYearCount * 12) month = 0;
    }
}
BENCHMARK(BM_BuildMonthGrid);
