// The user's 节假日.txt in the data folder (the working directory): the days
// off and workdays of the years after the built-in ones, over the built-in days.
#pragma once

#include <windows.h>

#include "engine/DaysOff.h"

class CUserHolidays {
public:
    // Reads the file when it is new or has changed since the last look (its
    // size or write time); a missing file holds no days. True when the days
    // were read anew. Lines that do not read are reported once for each
    // version of the file, in a message box that comes after the current
    // message (the caller may be painting).
    bool Refresh();
    const LunarCalendar::DaysOff& Days() const { return m_days; }

private:
    LunarCalendar::DaysOff m_days;
    bool m_bRead = false;
    WIN32_FILE_ATTRIBUTE_DATA m_stamp{};  // of the version read; all zero for no file
};
