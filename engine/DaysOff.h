// Days off (休) and adjusted workdays (班) of mainland China's public holidays,
// as the State Council announces them each November: the announced years are
// built in, later ones come from the user (see DaysOff::SetUserDays).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace LunarCalendar {

enum DayOffMark { DayOffNone, DayOffRest, DayOffWork };  // -, 休, 班

struct DayOff {
    DayOffMark mark;
    const char* szHoliday;  // the holiday the day belongs to (春节); "" when unnamed or none
};

// "休", "班", or "" for DayOffNone.
const char* GetDayOffMarkText(DayOffMark mark);

// The day as the built-in table has it; {DayOffNone, ""} outside it.
DayOff FindBuiltInDayOff(int nYear, int nMonth, int nDay);

// A day of the user's own list; nDate is yyyymmdd.
struct UserDayOff {
    int nDate;
    DayOffMark mark;
    std::string strHoliday;
};

// The built-in days with the user's days over them.
class DaysOff {
public:
    // A later entry for the same date replaces an earlier one.
    void SetUserDays(std::vector<UserDayOff> days);
    DayOff Find(int nYear, int nMonth, int nDay) const;
    // The marks of a whole month at once: marks[d - 1] for day d.
    void FindMonth(int nYear, int nMonth, DayOffMark marks[31]) const;

private:
    std::vector<UserDayOff> m_user;  // by date, one entry per date
};

// The built-in table (DaysOffTable.cpp, written by tools/make_days_off.py):
// runs of days in a row within one month that share mark and holiday.
struct DayOffRun {
    std::uint32_t nFirst;  // yyyymmdd of the first day
    std::uint8_t nDays;
    std::uint8_t nMark;     // DayOffMark
    std::uint8_t nHoliday;  // index into g_szDayOffHoliday
};
extern const DayOffRun g_dayOffRuns[];
extern const int g_nDayOffRuns;
extern const char* const g_szDayOffHoliday[];

}  // namespace LunarCalendar
