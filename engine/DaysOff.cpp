#include "engine/DaysOff.h"

#include <algorithm>

#include "engine/DaysOffTable.h"

namespace LunarCalendar {

namespace {
bool IsDayOffKeyDate(int nYear, int nMonth, int nDay) {
    return nYear >= kFirstDayOffKeyYear && nYear <= kLastDayOffKeyYear && nMonth >= 1 && nMonth <= 12 && nDay >= 1 &&
           nDay <= 31;
}

// The runs that start in the month: they end in it too.
const DayOffRun* FirstRunFrom(std::uint16_t key) {
    return std::lower_bound(g_dayOffRuns, g_dayOffRuns + g_nDayOffRuns, key,
                            [](const DayOffRun& r, std::uint16_t k) { return r.nFirst < k; });
}
}  // namespace

const char* GetDayOffMarkText(DayOffMark mark) {
    return mark == DayOffRest ? "休" : mark == DayOffWork ? "班" : "";
}

DayOff FindBuiltInDayOff(int nYear, int nMonth, int nDay) {
    if (IsDayOffKeyDate(nYear, nMonth, nDay)) {
        const std::uint16_t first = DayOffKey(nYear, nMonth, 1), key = DayOffKey(nYear, nMonth, nDay);
        for (const DayOffRun* run = FirstRunFrom(first); run < g_dayOffRuns + g_nDayOffRuns && run->nFirst <= key; ++run) {
            if (key < run->nFirst + run->nDays) return DayOff{static_cast<DayOffMark>(run->nMark), g_szDayOffHoliday[run->nHoliday]};
        }
    }
    return DayOff{DayOffNone, ""};
}

void DaysOff::SetUserDays(std::vector<UserDayOff> days) { m_user = std::move(days); }

// The user's list is short and in the file's order: a later line for a date wins.
DayOff DaysOff::Find(int nYear, int nMonth, int nDay) const {
    const long long key = nYear * 10000LL + nMonth * 100 + nDay;
    for (auto it = m_user.rbegin(); it != m_user.rend(); ++it) {
        if (it->nDate == key) return DayOff{it->mark, it->strHoliday.c_str()};
    }
    return FindBuiltInDayOff(nYear, nMonth, nDay);
}

void DaysOff::FindMonth(int nYear, int nMonth, DayOffMark marks[31]) const {
    std::fill(marks, marks + 31, DayOffNone);
    if (IsDayOffKeyDate(nYear, nMonth, 1)) {
        const std::uint16_t first = DayOffKey(nYear, nMonth, 1);
        for (const DayOffRun* run = FirstRunFrom(first); run < g_dayOffRuns + g_nDayOffRuns && run->nFirst <= first + 30; ++run) {
            std::fill(marks + (run->nFirst - first), marks + (run->nFirst - first + run->nDays), static_cast<DayOffMark>(run->nMark));
        }
    }
    const long long month = nYear * 100LL + nMonth;
    for (const UserDayOff& day : m_user) {
        if (day.nDate / 100 == month && day.nDate % 100 >= 1 && day.nDate % 100 <= 31) marks[day.nDate % 100 - 1] = day.mark;
    }
}

}  // namespace LunarCalendar
