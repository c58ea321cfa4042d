// The calendar engine: Gregorian day counting, the Chinese lunar calendar for
// the lunar years 1900..2100, the 24 solar terms, festivals and the label shown
// under each day number. Pure computation over constant tables; every text is
// GBK (code page 936).
#pragma once

#include <cstdint>
#include <string>

struct SolarDate {
    int nYear;
    int nMonth;
    int nDay;
};

struct LunarDate {
    int nYear;   // numbered by the Gregorian year in which the lunar year begins
    int nMonth;  // 1..12; for a leap month, the month it repeats
    int nDay;    // 1..30
    int bLeap;   // 1 for the leap month (闰月) that follows ordinary month nMonth
};

enum DayLabelKind { LabelTerm, LabelFestival, LabelLunarDay };

struct DayLabel {
    std::string text;
    DayLabelKind kind;
};

namespace LunarCalendar {

// First and last lunar year of the table, and the Gregorian days they span.
constexpr int kFirstLunarYear = 1900;
constexpr int kLastLunarYear = 2100;
constexpr int kLunarYearCount = kLastLunarYear - kFirstLunarYear + 1;
constexpr SolarDate kFirstLunarDay = {1900, 1, 31};  // lunar 1900-01-01
constexpr SolarDate kLastLunarDay = {2101, 1, 28};   // lunar 2100-12-29

extern const std::uint32_t g_dwLunarInfo[kLunarYearCount];
extern const char* const g_szSolarTerm[24];
extern const int g_nTermMinutes[24];
extern const char* const g_szHeavenlyStem[10];
extern const char* const g_szEarthlyBranch[12];
extern const char* const g_szZodiac[12];
extern const char* const g_szLunarMonthName[13];
extern const char* const g_szLunarDayName[31];
extern const char* const g_szSolarFestivalDate[15];
extern const char* const g_szSolarFestival[15];
extern const char* const g_szLunarFestivalDate[9];
extern const char* const g_szLunarFestival[9];

// Gregorian arithmetic. Days past a month's end count on into the next days.
int IsLeapYear(int nYear);
int GetDaysInMonth(int nYear, int nMonth);   // 0 for a month outside 1..12
int GetFirstWeekday(int nYear, int nMonth);  // 0 = Sunday .. 6 = Saturday
int GetAbsoluteDay(int nYear, int nMonth, int nDay);  // 1900-01-01 = 693961
int GetDayNumber(int nYear, int nMonth, int nDay);    // 1900-01-01 = 1
SolarDate AbsoluteDayToDate(int nAbsoluteDay);

// The lunar table. Years outside it (and months outside 1..12) give 0.
int GetLeapMonth(int nLunarYear);
int GetLeapMonthDays(int nLunarYear);
int GetLunarMonthDays(int nLunarYear, int nMonth);
int GetLunarYearDays(int nLunarYear);

// {0, 0, 0, 0} for a day outside kFirstLunarDay .. kLastLunarDay: it has no lunar date.
LunarDate SolarToLunar(SolarDate date);

// Solar terms: the fractional absolute day of term n (0..23) of year nYear
// (0.0 for another n), and which term (index, or -1) falls on a given day. From
// 1929 a term is on its civil day in China Standard Time; the integer part is
// the day on which FindSolarTerm finds the term.
double GetSolarTermDay(int nYear, int nTerm);
int FindSolarTerm(int nYear, int nMonth, int nDay);

// 龙(甲辰)年正月初一; empty when the date has no text (year below 4, month
// outside 0..12, day outside 0..30).
std::string GetLunarDateText(const LunarDate& date);

// Festival names by "%02d%02d" key of month and day; empty when none.
std::string FindSolarFestival(const std::string& strKey);
std::string FindLunarFestival(const std::string& strKey);

// The label under a day number; nFirstWeekday = GetFirstWeekday(nYear, nMonth).
// A term comes first, then the festivals (除夕 on the last day of the lunar
// year; none of the lunar ones in a leap month), then Mother's and Father's
// Day, then the lunar day or, on its first day, the month's name.
DayLabel GetDayLabel(int nYear, int nMonth, int nDay, int nFirstWeekday);

// The first byte of a double-byte GBK character (its second byte is 0x40..0xFE).
constexpr bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The bytes of the character at pos (a lead byte at the very end counts alone).
std::size_t GbkCharLength(const std::string& s, std::size_t pos);
// The first nChars characters of a GBK text, never splitting a double-byte one.
std::string GbkLeft(const std::string& strText, int nChars);
// The longest prefix of at most nBytes bytes that does not split a character.
std::string GbkCutBytes(const std::string& strText, std::size_t nBytes);

}  // namespace LunarCalendar
