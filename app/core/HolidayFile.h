// The user's own days off and workdays, for the years after the built-in ones:
// 节假日.txt in the data folder, one day a line ("2027-01-01 休 元旦"; "#" starts
// a comment). How its text reads; the shell reads the file.
#pragma once

#include <string>
#include <vector>

#include "engine/DaysOff.h"

namespace holidays {

constexpr const char* kFileName = "节假日.txt";
constexpr const wchar_t* kFileNameW = L"节假日.txt";

struct HolidayText {
    std::vector<LunarCalendar::UserDayOff> days;  // in the file's order, names in GBK
    std::vector<int> badLines;                    // numbered from 1
};

// The file's bytes as Notepad saves them: UTF-8 with or without its BOM,
// UTF-16 with its BOM, or GBK. Lines end in LF or CR LF; blank and comment
// lines are skipped. A line reads as a date (2027-01-01, 2027-1-1, 2027/1/1
// or 2027.1.1), 休 or 班, and optionally the holiday's name, separated by
// spaces, tabs or full-width spaces; any other line is a bad line.
HolidayText ParseHolidayText(const std::string& strBytes);

}  // namespace holidays
