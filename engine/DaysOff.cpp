#include "engine/DaysOff.h"

#include <algorithm>

namespace LunarCalendar {

namespace {
// yyyymmdd: the keys order like the dates; -1 for no date.
long long DateKey(int nYear, int nMonth, int nDay) {
    if (nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31) return -1;
    return nYear * 10000LL + nMonth * 100 + nDay;
}
}  // namespace

const char* GetDayOffMarkText(DayOffMark mark) {
    return mark == DayOffRest ? "休" : mark == DayOffWork ? "班" : "";
}

DayOff FindBuiltInDayOff(int nYear, int nMonth, int nDay) {
    const long long key = DateKey(nYear, nMonth, nDay);
    const DayOffRun* end = g_dayOffRuns + g_nDayOffRuns;
    // The last run that starts on the day or before it; runs keep within a month.
    const DayOffRun* run =
        std::upper_bound(g_dayOffRuns, end, key, [](long long k, const DayOffRun& r) { return k < r.nFirst; });
    if (key < 0 || run == g_dayOffRuns || key >= run[-1].nFirst + run[-1].nDays) return DayOff{DayOffNone, ""};
    --run;
    return DayOff{static_cast<DayOffMark>(run->nMark), g_szDayOffHoliday[run->nHoliday]};
}

void DaysOff::SetUserDays(std::vector<UserDayOff> days) {
    // Stable, so that of one date's entries the last comes last and is kept.
    std::stable_sort(days.begin(), days.end(), [](const UserDayOff& a, const UserDayOff& b) { return a.nDate < b.nDate; });
    m_user.clear();
    for (UserDayOff& day : days) {
        if (!m_user.empty() && m_user.back().nDate == day.nDate) m_user.pop_back();
        m_user.push_back(std::move(day));
    }
}

DayOff DaysOff::Find(int nYear, int nMonth, int nDay) const {
    if (!m_user.empty()) {
        const long long key = DateKey(nYear, nMonth, nDay);
        const auto it = std::lower_bound(m_user.begin(), m_user.end(), key,
                                         [](const UserDayOff& d, long long k) { return d.nDate < k; });
        if (it != m_user.end() && it->nDate == key) return DayOff{it->mark, it->strHoliday.c_str()};
    }
    return FindBuiltInDayOff(nYear, nMonth, nDay);
}

void DaysOff::FindMonth(int nYear, int nMonth, DayOffMark marks[31]) const {
    std::fill(marks, marks + 31, DayOffNone);
    const long long first = DateKey(nYear, nMonth, 1), last = first + 30;
    if (first < 0) return;
    // The runs that start in the month: they end in it too.
    const DayOffRun* run = std::lower_bound(g_dayOffRuns, g_dayOffRuns + g_nDayOffRuns, first,
                                            [](const DayOffRun& r, long long k) { return r.nFirst < k; });
    for (; run != g_dayOffRuns + g_nDayOffRuns && run->nFirst <= last; ++run) {
        std::fill(marks + (run->nFirst - first), marks + (run->nFirst - first) + run->nDays, static_cast<DayOffMark>(run->nMark));
    }
    auto day = std::lower_bound(m_user.begin(), m_user.end(), first,
                                [](const UserDayOff& d, long long k) { return d.nDate < k; });
    for (; day != m_user.end() && day->nDate <= last; ++day) marks[day->nDate - first] = day->mark;
}

}  // namespace LunarCalendar
