// The built-in days off and workdays (DaysOffTable.cpp, written by
// tools/make_days_off.py): runs of days in a row within one month that share
// mark and holiday, in date order.
#pragma once

#include <cstdint>

#include "engine/DaysOff.h"

namespace LunarCalendar {

// A day of 2000..2127 in 16 bits that order like the dates, the days of a
// month in a row: (year - 2000) * 512 + month * 32 + day.
constexpr int kFirstDayOffKeyYear = 2000;
constexpr int kLastDayOffKeyYear = 2127;
constexpr std::uint16_t DayOffKey(int nYear, int nMonth, int nDay) {
    return static_cast<std::uint16_t>((nYear - kFirstDayOffKeyYear) * 512 + nMonth * 32 + nDay);
}
constexpr std::uint16_t DayOffKey(std::uint32_t yyyymmdd) {
    return DayOffKey(static_cast<int>(yyyymmdd / 10000), static_cast<int>(yyyymmdd / 100 % 100), static_cast<int>(yyyymmdd % 100));
}

struct DayOffRun {
    std::uint16_t nFirst;   // DayOffKey of the first day
    std::uint8_t nDays;
    std::uint8_t nMark : 4;     // DayOffMark
    std::uint8_t nHoliday : 4;  // index into g_szDayOffHoliday
};
extern const DayOffRun g_dayOffRuns[];
extern const int g_nDayOffRuns;
extern const char* const g_szDayOffHoliday[];

}  // namespace LunarCalendar
