#include "win/LocalTime.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace win {

LocalTime LocalTime::Now() {
    LocalTime t;
#ifdef _WIN32
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    t = FromSystemTime(st);
#else
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    t.nYear = tm.tm_year + 1900;
    t.nMonth = tm.tm_mon + 1;
    t.nDay = tm.tm_mday;
    t.nHour = tm.tm_hour;
    t.nMinute = tm.tm_min;
    t.nSecond = tm.tm_sec;
#endif
    return t;
}

#ifdef _WIN32
LocalTime LocalTime::FromSystemTime(const SYSTEMTIME& st) {
    LocalTime t;
    t.nYear = st.wYear;
    t.nMonth = st.wMonth;
    t.nDay = st.wDay;
    t.nHour = st.wHour;
    t.nMinute = st.wMinute;
    t.nSecond = st.wSecond;
    return t;
}

SYSTEMTIME LocalTime::ToSystemTime() const {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(nYear);
    st.wMonth = static_cast<WORD>(nMonth);
    st.wDay = static_cast<WORD>(nDay);
    st.wHour = static_cast<WORD>(nHour);
    st.wMinute = static_cast<WORD>(nMinute);
    st.wSecond = static_cast<WORD>(nSecond);
    return st;
}
#endif

std::string LocalTime::Format(const char* szFormat) const {
    std::string out;
    char buf[16];
    for (const char* p = szFormat; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        int value = 0;
        const char* pattern = "%02d";
        switch (*++p) {
            case 'Y': value = nYear; pattern = "%04d"; break;
            case 'm': value = nMonth; break;
            case 'd': value = nDay; break;
            case 'H': value = nHour; break;
            case 'M': value = nMinute; break;
            case 'S': value = nSecond; break;
            case '%': out += '%'; continue;
            default: out += '%'; out += *p; continue;
        }
        std::snprintf(buf, sizeof buf, pattern, value);
        out += buf;
    }
    return out;
}

}  // namespace win
