#include "engine/LunarCalendar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace LunarCalendar {

// constexpr so that the year starts below are computed at compile time. From
// 1929 the months begin on the day of the new moon in China Standard Time
// (UTC+8); the entries of 1933, 1954, 1956, 1978, 1996 and 2033 follow those
// new moons (2033 has its leap month after the eleventh, not the seventh).
// From 2050 the words come from two ephemerides in Beijing time; two month
// starts there hang on how much Earth's rotation slows (2057's ninth month on
// 09-29 rather than 09-28, 2097's seventh on 08-07 rather than 08-08), and
// the words take the days the usual model of that slowing gives.
constexpr std::uint32_t g_dwLunarInfo[kLunarYearCount] = {
    0x04BD8, 0x04AE0, 0x0A570, 0x054D5, 0x0D260, 0x0D950, 0x16554, 0x056A0, 0x09AD0, 0x055D2,  // 1900
    0x04AE0, 0x0A5B6, 0x0A4D0, 0x0D250, 0x1D255, 0x0B540, 0x0D6A0, 0x0ADA2, 0x095B0, 0x14977,  // 1910
    0x04970, 0x0A4B0, 0x0B4B5, 0x06A50, 0x06D40, 0x1AB54, 0x02B60, 0x09570, 0x052F2, 0x04970,  // 1920
    0x06566, 0x0D4A0, 0x0EA50, 0x16A95, 0x05AD0, 0x02B60, 0x186E3, 0x092E0, 0x1C8D7, 0x0C950,  // 1930
    0x0D4A0, 0x1D8A6, 0x0B550, 0x056A0, 0x1A5B4, 0x025D0, 0x092D0, 0x0D2B2, 0x0A950, 0x0B557,  // 1940
    0x06CA0, 0x0B550, 0x15355, 0x04DA0, 0x0A5B0, 0x14573, 0x052B0, 0x0A9A8, 0x0E950, 0x06AA0,  // 1950
    0x0AEA6, 0x0AB50, 0x04B60, 0x0AAE4, 0x0A570, 0x05260, 0x0F263, 0x0D950, 0x05B57, 0x056A0,  // 1960
    0x096D0, 0x04DD5, 0x04AD0, 0x0A4D0, 0x0D4D4, 0x0D250, 0x0D558, 0x0B540, 0x0B6A0, 0x195A6,  // 1970
    0x095B0, 0x049B0, 0x0A974, 0x0A4B0, 0x0B27A, 0x06A50, 0x06D40, 0x0AF46, 0x0AB60, 0x09570,  // 1980
    0x04AF5, 0x04970, 0x064B0, 0x074A3, 0x0EA50, 0x06B58, 0x05AC0, 0x0AB60, 0x096D5, 0x092E0,  // 1990
    0x0C960, 0x0D954, 0x0D4A0, 0x0DA50, 0x07552, 0x056A0, 0x0ABB7, 0x025D0, 0x092D0, 0x0CAB5,  // 2000
    0x0A950, 0x0B4A0, 0x0BAA4, 0x0AD50, 0x055D9, 0x04BA0, 0x0A5B0, 0x15176, 0x052B0, 0x0A930,  // 2010
    0x07954, 0x06AA0, 0x0AD50, 0x05B52, 0x04B60, 0x0A6E6, 0x0A4E0, 0x0D260, 0x0EA65, 0x0D530,  // 2020
    0x05AA0, 0x076A3, 0x096D0, 0x04AFB, 0x04AD0, 0x0A4D0, 0x1D0B6, 0x0D250, 0x0D520, 0x0DD45,  // 2030
    0x0B5A0, 0x056D0, 0x055B2, 0x049B0, 0x0A577, 0x0A4B0, 0x0AA50, 0x1B255, 0x06D20, 0x0ADA0,  // 2040
    0x14B63, 0x09370, 0x049F8, 0x04970, 0x064B0, 0x168A6, 0x0EA50, 0x06B20, 0x1A6C4, 0x0AAE0,  // 2050
    0x092E0, 0x0D2E3, 0x0C960, 0x0D557, 0x0D4A0, 0x0DA50, 0x05D55, 0x056A0, 0x0A6D0, 0x055D4,  // 2060
    0x052D0, 0x0A9B8, 0x0A950, 0x0B4A0, 0x0B6A6, 0x0AD50, 0x055A0, 0x0ABA4, 0x0A5B0, 0x052B0,  // 2070
    0x0B273, 0x06930, 0x07337, 0x06AA0, 0x0AD50, 0x14B55, 0x04B60, 0x0A570, 0x054E4, 0x0D160,  // 2080
    0x0E968, 0x0D520, 0x0DAA0, 0x16AA6, 0x056D0, 0x04AE0, 0x0A9D4, 0x0A2D0, 0x0D150, 0x0F252,  // 2090
    0x0D520,                                                                                    // 2100
};

const char* const g_szSolarTerm[24] = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至",
};

constexpr int g_nTermMinutes[24] = {
    0,      21208,  42467,  63836,  85337,  107014, 128867, 150921,
    173149, 195551, 218072, 240693, 263343, 285989, 308563, 331033,
    353350, 375494, 397447, 419210, 440795, 462224, 483532, 504758,
};

const char* const g_szHeavenlyStem[10] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
const char* const g_szEarthlyBranch[12] = {"子", "丑", "寅", "卯", "辰", "巳",
                                           "午", "未", "申", "酉", "戌", "亥"};
const char* const g_szZodiac[12] = {"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};

const char* const g_szLunarMonthName[13] = {"*",  "正", "二", "三", "四",   "五", "六",
                                            "七", "八", "九", "十", "十一", "腊"};

const char* const g_szLunarDayName[31] = {
    "*",    "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
    "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十",
    "廿一", "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十",
};

const char* const g_szSolarFestivalDate[15] = {"0101", "0214", "0308", "0312", "0401",
                                               "0501", "0504", "0601", "0701", "0801",
                                               "0910", "1001", "1031", "1224", "1225"};
const char* const g_szSolarFestival[15] = {"元旦",   "情人节", "妇女节", "植树节", "愚人节",
                                           "劳动节", "青年节", "儿童节", "建党节", "建军节",
                                           "教师节", "国庆节", "万圣节", "平安夜", "圣诞节"};

const char* const g_szLunarFestivalDate[9] = {"0101", "0115", "0505", "0707", "0715",
                                              "0815", "0909", "1208", "1230"};
const char* const g_szLunarFestival[9] = {"春节", "元宵", "端午", "七夕", "中元",
                                          "中秋", "重阳", "腊八", "除夕"};

namespace {

constexpr double kMinutesToDays = 0.0006944444444444445;
constexpr double kTropicalYear = 365.2422;
constexpr double kTermBase = 693966.08680556;  // 小寒 of 1900, 1900-01-06 02:05
constexpr long long kAbsoluteDayOffset = 693960;  // absolute day of 1899-12-31
constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Division rounding toward minus infinity, so that years before 1 keep the
// same pattern of leap days instead of breaking at zero.
constexpr long long FloorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

constexpr long long LeapDaysBefore(long long y) {
    return FloorDiv(y - 1, 4) - FloorDiv(y - 1, 100) + FloorDiv(y - 1, 400);
}

constexpr int DaysInMonth(long long y, int m) {
    if (m < 1 || m > 12) return 0;
    if (m != 2) return kMonthDays[m - 1];
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return leap ? 29 : 28;
}

constexpr long long DaysBeforeMonth(long long y, int m) {
    long long sum = 0;
    for (int k = 1; k < m && k <= 12; ++k) sum += DaysInMonth(y, k);
    return sum;
}

// The whole count in 64 bits: no argument can overflow it.
constexpr long long Absolute64(long long y, int m, long long d) {
    return 365 * y + LeapDaysBefore(y) + DaysBeforeMonth(y, m) + d;
}

// The inverse of Absolute64 (for months 1..12 and days within the month),
// using the usual era-based civil-from-days conversion.
SolarDate DateFromAbsolute64(long long abs) {
    // abs - 365 is the ordinal day with 0001-01-01 = 1; shift to 0000-03-01 = 0.
    long long z = abs - 365 - 1 + 306;
    const long long era = FloorDiv(z, 146097);
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    return SolarDate{static_cast<int>(year), month, day};
}

constexpr int LeapMonthOf(std::uint32_t info) { return static_cast<int>(info & 0xF); }
constexpr int LeapMonthDaysOf(std::uint32_t info) {
    return LeapMonthOf(info) == 0 ? 0 : ((info & 0x10000) ? 30 : 29);
}
constexpr int MonthDaysOf(std::uint32_t info, int month) {
    return (info & (0x10000u >> month)) ? 30 : 29;
}
constexpr int YearDaysOf(std::uint32_t info) {
    int days = 348;
    for (std::uint32_t bit = 0x8000; bit > 0x8; bit >>= 1) {
        if (info & bit) ++days;
    }
    return days + LeapMonthDaysOf(info);
}

// Offset (in days since 1900-01-31) of the first day of each lunar year, and
// one past the last day of the table; built at compile time so that the
// conversion needs no walk over the years.
struct YearStarts {
    long long day[kLunarYearCount + 1];
};
constexpr YearStarts MakeYearStarts() {
    YearStarts s{};
    s.day[0] = 0;
    for (int i = 0; i < kLunarYearCount; ++i) s.day[i + 1] = s.day[i] + YearDaysOf(g_dwLunarInfo[i]);
    return s;
}
constexpr YearStarts kYearStarts = MakeYearStarts();
static_assert(Absolute64(kLastLunarDay.nYear, kLastLunarDay.nMonth, kLastLunarDay.nDay) -
                      Absolute64(kFirstLunarDay.nYear, kFirstLunarDay.nMonth, kFirstLunarDay.nDay) ==
                  kYearStarts.day[kLunarYearCount] - 1,
              "kLastLunarDay is the last day of the table");

bool InTable(int nLunarYear) {
    return nLunarYear >= kFirstLunarYear && nLunarYear <= kLastLunarYear;
}

// The "%02d%02d" key of a month and day, written without snprintf since the
// month view builds two keys for every cell it draws.
struct MonthDayKey {
    char text[32];
    MonthDayKey(int nMonth, int nDay) {
        if (nMonth >= 0 && nMonth <= 99 && nDay >= 0 && nDay <= 99) {
            text[0] = static_cast<char>('0' + nMonth / 10);
            text[1] = static_cast<char>('0' + nMonth % 10);
            text[2] = static_cast<char>('0' + nDay / 10);
            text[3] = static_cast<char>('0' + nDay % 10);
            text[4] = '\0';
        } else {
            std::snprintf(text, sizeof text, "%02d%02d", nMonth, nDay);
        }
    }
};

const char* FindByKey(const char* const* keys, const char* const* names, int count,
                      const char* key) {
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(key, keys[i]) == 0) return names[i];
    }
    return "";
}

// The mean-year formula is up to about two hours off the Sun's true position,
// which puts these terms on the wrong side of a midnight in China Standard
// Time: the true civil day is the formula's day plus nShift. Only years from
// 1929 are corrected, when the calendar began to be reckoned in UTC+8; earlier
// years keep the formula's days. (2084's 春分 lies a minute before midnight,
// on 03-19 with the usual model of Earth's slowing rotation, as the formula
// has it.) Sorted by year, then term, for the binary search.
struct TermShift {
    std::int16_t nYear;
    std::int8_t nTerm;
    std::int8_t nShift;
    constexpr long long Key() const { return nYear * 24LL + nTerm; }
};
constexpr TermShift kTermShifts[] = {
    {1935, 10, -1}, {1942, 1, +1}, {1943, 2, +1}, {1943, 6, +1}, {1945, 0, +1}, {1947, 23, +1}, {1950, 7, -1},
    {1950, 22, +1}, {1951, 23, +1}, {1952, 5, +1}, {1955, 13, -1}, {1956, 3, +1}, {1957, 20, +1}, {1958, 12, -1},
    {1958, 15, -1}, {1960, 16, -1}, {1961, 11, -1}, {1973, 8, -1}, {1974, 21, +1}, {1975, 1, +1}, {1975, 17, -1},
    {1976, 2, +1}, {1977, 4, +1}, {1977, 14, -1}, {1978, 0, +1}, {1978, 21, +1}, {1979, 9, -1}, {1980, 2, +1},
    {1980, 23, +1}, {1981, 4, +1}, {1982, 0, +1}, {1983, 22, +1}, {1984, 13, -1}, {1984, 23, +1}, {1985, 5, +1},
    {1987, 12, -1}, {1988, 13, -1}, {1989, 3, +1}, {1989, 16, -1}, {1990, 11, -1}, {1990, 20, +1}, {1991, 12, -1},
    {1991, 15, -1}, {1994, 11, -1}, {1997, 10, -1}, {2006, 8, -1}, {2006, 14, -1}, {2007, 21, +1}, {2008, 1, +1},
    {2008, 17, -1}, {2009, 2, +1}, {2010, 4, +1}, {2010, 14, -1}, {2011, 0, +1}, {2011, 21, +1}, {2012, 1, +1},
    {2012, 9, -1}, {2012, 22, +1}, {2013, 2, +1}, {2013, 13, -1}, {2013, 23, +1}, {2014, 4, +1}, {2015, 0, +1},
    {2016, 22, +1}, {2017, 13, -1}, {2017, 23, +1}, {2018, 3, +1}, {2018, 5, +1}, {2019, 11, -1}, {2020, 12, -1},
    {2020, 15, -1}, {2020, 22, +1}, {2022, 3, +1}, {2022, 16, -1}, {2023, 11, -1}, {2023, 19, +1}, {2023, 20, +1},
    {2024, 15, -1}, {2026, 10, -1}, {2030, 10, -1}, {2035, 8, -1}, {2035, 14, -1}, {2037, 1, +1}, {2039, 14, -1},
    {2040, 0, +1}, {2040, 18, +1}, {2040, 21, +1}, {2041, 1, +1}, {2041, 9, -1}, {2042, 2, +1}, {2043, 4, +1},
    {2043, 14, -1}, {2044, 0, +1}, {2044, 21, +1}, {2045, 1, +1}, {2045, 7, -1}, {2045, 9, -1}, {2045, 22, +1},
    {2046, 2, +1}, {2046, 13, -1}, {2046, 23, +1}, {2047, 4, +1}, {2048, 0, +1}, {2048, 11, -1}, {2049, 12, -1},
    {2049, 15, -1}, {2049, 22, +1},
    {2050, 13, -1}, {2050, 23, +1}, {2051, 3, +1}, {2051, 16, -1}, {2052, 11, -1}, {2053, 12, -1}, {2053, 15, -1},
    {2053, 22, +1}, {2054, 23, +1}, {2055, 3, +1}, {2055, 10, -1}, {2055, 16, -1}, {2056, 11, -1}, {2056, 19, +1},
    {2056, 20, +1}, {2059, 3, +1}, {2059, 10, -1}, {2063, 10, -1}, {2068, 8, -1}, {2068, 14, -1}, {2070, 1, +1},
    {2070, 9, -1}, {2070, 17, -1}, {2071, 2, +1}, {2071, 6, +1}, {2072, 14, -1}, {2073, 0, +1}, {2073, 21, +1},
    {2074, 1, +1}, {2074, 9, -1}, {2075, 2, +1}, {2075, 13, -1}, {2075, 23, +1}, {2076, 4, +1}, {2077, 0, +1},
    {2077, 21, +1}, {2078, 1, +1}, {2078, 7, -1}, {2078, 12, -1}, {2078, 22, +1}, {2079, 2, +1}, {2079, 13, -1},
    {2079, 23, +1}, {2080, 4, +1}, {2080, 5, +1}, {2081, 0, +1}, {2081, 11, -1}, {2082, 1, +1}, {2082, 12, -1},
    {2082, 15, -1}, {2082, 22, +1}, {2083, 13, -1}, {2083, 23, +1}, {2084, 3, +1}, {2084, 16, -1}, {2085, 11, -1},
    {2086, 12, -1}, {2086, 15, -1}, {2086, 22, +1}, {2087, 23, +1}, {2088, 3, +1}, {2088, 10, -1}, {2088, 16, -1},
    {2089, 11, -1}, {2089, 19, +1}, {2089, 20, +1}, {2092, 3, +1}, {2092, 10, -1}, {2097, 14, -1},
};

constexpr bool TermShiftsAreSortedDays() {
    for (std::size_t i = 0; i < std::size(kTermShifts); ++i) {
        if (kTermShifts[i].nShift != 1 && kTermShifts[i].nShift != -1) return false;
        if (i > 0 && kTermShifts[i - 1].Key() >= kTermShifts[i].Key()) return false;
    }
    return true;
}
static_assert(TermShiftsAreSortedDays(), "the term shifts must be single days, sorted for the binary search");

int TermShiftOf(long long nYear, int nTerm) {
    const long long key = nYear * 24 + nTerm;
    if (key < kTermShifts[0].Key() || key > std::end(kTermShifts)[-1].Key()) return 0;
    const TermShift* it = std::lower_bound(std::begin(kTermShifts), std::end(kTermShifts), key,
                                           [](const TermShift& s, long long k) { return s.Key() < k; });
    return it->Key() == key ? it->nShift : 0;
}

// The instant of term nTerm (0..23) as a fractional absolute day. A shifted
// term is put on the edge of its true day next to the formula's instant
// (midnight, or the last second before it), which is also nearer the truth.
double TermInstant(long long nYear, int nTerm) {
    const double t = g_nTermMinutes[nTerm] * kMinutesToDays +
                     static_cast<double>(nYear - 1900) * kTropicalYear + kTermBase;
    const int shift = TermShiftOf(nYear, nTerm);
    if (shift == 0) return t;
    const double midnight = std::floor(t);
    return shift > 0 ? midnight + 1.0 : midnight - 1.0 / 86400;
}

// Terms counted on from 小寒 of 1900 (term 0): k = 24 x (year - 1900) + index.
constexpr double kMeanTermDays = kTropicalYear / 24;
int TermIndexOf(long long k) { return static_cast<int>(k - 24 * FloorDiv(k, 24)); }
long long TermAbsoluteDay(long long k) {
    return static_cast<long long>(std::floor(TermInstant(1900 + FloorDiv(k, 24), TermIndexOf(k))));
}

// What FindSolarTerm relies on, for every year: (1) a term's instant lies less
// than a mean term length minus three days from the even spacing of
// kMeanTermDays, so the term of a day is the last evenly spaced one not after
// it or the next; (2) consecutive instants are at least kMinTermDayGap + 2
// days apart, so their days (each moved by a shift of one at most) are at
// least kMinTermDayGap apart.
constexpr int kMinTermDayGap = 12;
constexpr bool TermsKeepTheirSpacing() {
    for (int n = 0; n < 24; ++n) {
        const double offset = g_nTermMinutes[n] * kMinutesToDays;
        const double drift = offset - n * kMeanTermDays;
        const double next = n < 23 ? g_nTermMinutes[n + 1] * kMinutesToDays : kTropicalYear;
        if (drift <= 3 - kMeanTermDays || drift >= kMeanTermDays - 3) return false;
        if (next - offset < kMinTermDayGap + 2) return false;
    }
    return true;
}
static_assert(TermsKeepTheirSpacing(), "FindSolarTerm's search needs the terms near their even spacing");

}  // namespace

int IsLeapYear(int nYear) {
    return ((nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0) ? 1 : 0;
}

int GetDaysInMonth(int nYear, int nMonth) { return DaysInMonth(nYear, nMonth); }

int GetFirstWeekday(int nYear, int nMonth) {
    const long long y = nYear;
    const long long n = y + LeapDaysBefore(y) + DaysBeforeMonth(y, nMonth);
    return static_cast<int>(((n % 7) + 7) % 7);
}

int GetAbsoluteDay(int nYear, int nMonth, int nDay) {
    return static_cast<int>(Absolute64(nYear, nMonth, nDay));
}

int GetDayNumber(int nYear, int nMonth, int nDay) {
    return static_cast<int>(Absolute64(nYear, nMonth, nDay) - kAbsoluteDayOffset);
}

SolarDate AbsoluteDayToDate(int nAbsoluteDay) { return DateFromAbsolute64(nAbsoluteDay); }

int GetLeapMonth(int nLunarYear) {
    return InTable(nLunarYear) ? LeapMonthOf(g_dwLunarInfo[nLunarYear - kFirstLunarYear]) : 0;
}

int GetLeapMonthDays(int nLunarYear) {
    return InTable(nLunarYear) ? LeapMonthDaysOf(g_dwLunarInfo[nLunarYear - kFirstLunarYear]) : 0;
}

int GetLunarMonthDays(int nLunarYear, int nMonth) {
    if (!InTable(nLunarYear) || nMonth < 1 || nMonth > 12) return 0;
    return MonthDaysOf(g_dwLunarInfo[nLunarYear - kFirstLunarYear], nMonth);
}

int GetLunarYearDays(int nLunarYear) {
    return InTable(nLunarYear) ? YearDaysOf(g_dwLunarInfo[nLunarYear - kFirstLunarYear]) : 0;
}

LunarDate SolarToLunar(SolarDate date) {
    // Days since 1900-01-31, the first day of lunar year 1900.
    long long n = Absolute64(date.nYear, date.nMonth, date.nDay) - kAbsoluteDayOffset - 31;
    if (n < 0 || n >= kYearStarts.day[kLunarYearCount]) return LunarDate{0, 0, 0, 0};

    const long long* begin = kYearStarts.day;
    const long long* next = std::upper_bound(begin, begin + kLunarYearCount + 1, n);
    const int index = static_cast<int>(next - begin) - 1;
    n -= kYearStarts.day[index];

    const std::uint32_t info = g_dwLunarInfo[index];
    const int leapMonth = LeapMonthOf(info);
    for (int month = 1; month <= 12; ++month) {
        const int days = MonthDaysOf(info, month);
        if (n < days) return LunarDate{kFirstLunarYear + index, month, static_cast<int>(n) + 1, 0};
        n -= days;
        if (month == leapMonth) {
            const int leapDays = LeapMonthDaysOf(info);
            if (n < leapDays) {
                return LunarDate{kFirstLunarYear + index, month, static_cast<int>(n) + 1, 1};
            }
            n -= leapDays;
        }
    }
    return LunarDate{0, 0, 0, 0};  // unreachable: the year lengths add up to the months
}

double GetSolarTermDay(int nYear, int nTerm) {
    if (nTerm < 0 || nTerm > 23) return 0.0;
    return TermInstant(nYear, nTerm);
}

int FindSolarTerm(int nYear, int nMonth, int nDay) {
    if (nDay < 1 || nDay > DaysInMonth(nYear, nMonth)) return -1;
    // By the day's place among the terms, not by its month: no year's terms
    // are assumed to keep to certain days or months.
    const long long day = Absolute64(nYear, nMonth, nDay);
    const long long k = static_cast<long long>(std::floor((static_cast<double>(day) - kTermBase) / kMeanTermDays));
    const long long first = TermAbsoluteDay(k);
    if (first == day) return TermIndexOf(k);
    if (day - first < kMinTermDayGap) return -1;  // before the term, or too soon after it for the next
    return TermAbsoluteDay(k + 1) == day ? TermIndexOf(k + 1) : -1;
}

std::string GetLunarDateText(const LunarDate& date) {
    if (date.nYear < 4 || date.nMonth < 0 || date.nMonth > 12 || date.nDay < 0 || date.nDay > 30) {
        return std::string();
    }
    const int cycle = (date.nYear - 4) % 60;
    std::string text;
    text.reserve(24);
    text += g_szZodiac[cycle % 12];
    text += "(";
    text += g_szHeavenlyStem[cycle % 10];
    text += g_szEarthlyBranch[cycle % 12];
    text += ")年";
    if (date.bLeap) text += "闰";
    text += g_szLunarMonthName[date.nMonth];
    text += "月";
    text += g_szLunarDayName[date.nDay];
    return text;
}

std::string FindSolarFestival(const std::string& strKey) {
    return FindByKey(g_szSolarFestivalDate, g_szSolarFestival, 15, strKey.c_str());
}

std::string FindLunarFestival(const std::string& strKey) {
    return FindByKey(g_szLunarFestivalDate, g_szLunarFestival, 9, strKey.c_str());
}

namespace {
// For a date of the table: the day before the next lunar year's first day.
bool IsLastDayOfLunarYear(const LunarDate& lunar) {
    if (lunar.nMonth != 12 || lunar.bLeap != (GetLeapMonth(lunar.nYear) == 12)) return false;
    const int length = lunar.bLeap ? GetLeapMonthDays(lunar.nYear) : GetLunarMonthDays(lunar.nYear, 12);
    return lunar.nDay == length;
}
}  // namespace

DayLabel GetDayLabel(int nYear, int nMonth, int nDay, int nFirstWeekday) {
    const LunarDate lunar = SolarToLunar(SolarDate{nYear, nMonth, nDay});
    if (lunar.nYear == 0) return DayLabel{std::string(), LabelLunarDay};

    // In 64 bits: any weekday argument, however absurd, stays defined.
    const long long firstSunday = nFirstWeekday == 0 ? 1 : 8LL - nFirstWeekday;
    const bool mothersDay = nMonth == 5 && nDay == firstSunday + 7;
    const bool fathersDay = nMonth == 6 && nDay == firstSunday + 14;
    const char* suffix = mothersDay ? "/母亲节" : fathersDay ? "/父亲节" : "";

    const int term = FindSolarTerm(nYear, nMonth, nDay);
    if (term >= 0) return DayLabel{std::string(g_szSolarTerm[term]) + suffix, LabelTerm};

    // 除夕 is the last day of the lunar year, the 29th when the twelfth month is
    // short. The other lunar festivals belong to ordinary months: a leap month
    // does not hold them a second time.
    const char* lunarFestival = "";
    if (IsLastDayOfLunarYear(lunar)) {
        lunarFestival = "除夕";
    } else if (!lunar.bLeap) {
        lunarFestival = FindByKey(g_szLunarFestivalDate, g_szLunarFestival, 9,
                                  MonthDayKey(lunar.nMonth, lunar.nDay).text);
    }
    const char* solarFestival =
        FindByKey(g_szSolarFestivalDate, g_szSolarFestival, 15, MonthDayKey(nMonth, nDay).text);
    if (*lunarFestival || *solarFestival) {
        std::string text = lunarFestival;
        if (*lunarFestival && *solarFestival) text += "/";
        text += solarFestival;
        text += suffix;
        return DayLabel{text, LabelFestival};
    }
    if (fathersDay) return DayLabel{"父亲节", LabelFestival};
    if (mothersDay) return DayLabel{"母亲节", LabelFestival};

    // Every date of the table has a full lunar text, so the label is read off
    // its parts: the day name, or on the first day the month's name.
    if (lunar.nDay != 1) return DayLabel{g_szLunarDayName[lunar.nDay], LabelLunarDay};

    // First day of a lunar month: the month's name instead of 初一, cut to two
    // characters (three for 十一月), so a leap month shows 闰 and the numeral.
    std::string month = lunar.bLeap ? "闰" : "";
    month += g_szLunarMonthName[lunar.nMonth];
    month += "月";
    const std::string firstTwo = GbkLeft(month, 2);
    return DayLabel{firstTwo == "十一" ? GbkLeft(month, 3) : firstTwo, LabelLunarDay};
}

std::size_t GbkCharLength(const std::string& s, std::size_t pos) {
    const unsigned char c = static_cast<unsigned char>(s[pos]);
    return (IsGbkLeadByte(c) && pos + 1 < s.size()) ? 2 : 1;
}

std::string GbkLeft(const std::string& strText, int nChars) {
    std::size_t pos = 0;
    for (int i = 0; i < nChars && pos < strText.size(); ++i) pos += GbkCharLength(strText, pos);
    return strText.substr(0, pos);
}

std::string GbkCutBytes(const std::string& strText, std::size_t nBytes) {
    std::size_t pos = 0;
    while (pos < strText.size()) {
        const std::size_t len = GbkCharLength(strText, pos);
        if (pos + len > nBytes) break;
        pos += len;
    }
    return strText.substr(0, pos);
}

}  // namespace LunarCalendar
