// Days off (休) and adjusted workdays (班) of mainland China's public holidays,
// as the State Council announces them each November: the announced years are
// built in, later ones come from the user (see DaysOff::SetUserDays).
#pragma once

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
    // Of entries for the same date, the last one counts.
    void SetUserDays(std::vector<UserDayOff> days);
    // The day's name stays valid until the next SetUserDays.
    DayOff Find(int nYear, int nMonth, int nDay) const;
    // The marks of a whole month at once: marks[d - 1] for day d.
    void FindMonth(int nYear, int nMonth, DayOffMark marks[31]) const;

private:
    std::vector<UserDayOff> m_user;
};

}  // namespace LunarCalendar
