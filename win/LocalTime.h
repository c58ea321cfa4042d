// A local date and time, as read from the clock, with the few formats the
// program writes ("%Y-%m-%d", "%H:%M:%S", "%Y年%m月%d日").
#pragma once

#include <string>

#ifdef _WIN32
struct _SYSTEMTIME;  // <windows.h>'s SYSTEMTIME
#endif

namespace win {

struct LocalTime {
    int nYear = 1970;
    int nMonth = 1;   // 1..12
    int nDay = 1;     // 1..31
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;

    static LocalTime Now();  // the local clock
#ifdef _WIN32
    static LocalTime FromSystemTime(const ::_SYSTEMTIME& st);
    ::_SYSTEMTIME ToSystemTime() const;
#endif
    // %Y (four digits), %m %d %H %M %S (two digits) and %%; every other byte,
    // GBK text included, is copied as it stands.
    std::string Format(const char* szFormat) const;
};

}  // namespace win
