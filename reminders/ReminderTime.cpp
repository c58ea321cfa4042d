#include "reminders/ReminderTime.h"

#include <climits>

#include "engine/LunarCalendar.h"

namespace {

// GetAbsoluteDay - GetDayNumber: AbsoluteDayToDate counts from there.
const int kAbsoluteDayOffset = LunarCalendar::GetAbsoluteDay(1900, 1, 1) - LunarCalendar::GetDayNumber(1900, 1, 1);

LocalMinute FloorDiv(LocalMinute a, LocalMinute b) { return a / b - ((a % b != 0) && (a < 0) ? 1 : 0); }

// Reads one part of a stored text and checks its range.
bool ReadPart(const std::string& strText, int nLow, int nHigh, int& nValue) {
    return ReadStoredInteger(strText, nValue) && nValue >= nLow && nValue <= nHigh;
}

}  // namespace

LocalMinute ToLocalMinute(int nYear, int nMonth, int nDay, int nHour, int nMinute) {
    return static_cast<LocalMinute>(LunarCalendar::GetDayNumber(nYear, nMonth, nDay)) * kMinutesPerDay +
           nHour * 60 + nMinute;
}

LocalMinute ToLocalMinute(const win::LocalTime& time) {
    return ToLocalMinute(time.nYear, time.nMonth, time.nDay, time.nHour, time.nMinute);
}

CivilMinute ToCivilMinute(LocalMinute nMinute) {
    const LocalMinute day = FloorDiv(nMinute, kMinutesPerDay);
    const int minuteOfDay = static_cast<int>(nMinute - day * kMinutesPerDay);
    const SolarDate date = LunarCalendar::AbsoluteDayToDate(static_cast<int>(day) + kAbsoluteDayOffset);
    return CivilMinute{date.nYear, date.nMonth, date.nDay, minuteOfDay / 60, minuteOfDay % 60, static_cast<int>(day)};
}

int MinuteOfDay(LocalMinute nMinute) {
    return static_cast<int>(nMinute - FloorDiv(nMinute, kMinutesPerDay) * kMinutesPerDay);
}

bool ReadStoredInteger(const std::string& strText, int& nValue) {
    size_t i = 0;
    while (i < strText.size() && (strText[i] == ' ' || (strText[i] >= '\t' && strText[i] <= '\r'))) ++i;
    bool bNegative = false;
    if (i < strText.size() && (strText[i] == '+' || strText[i] == '-')) bNegative = strText[i++] == '-';
    const size_t firstDigit = i;
    long long value = 0;
    for (; i < strText.size() && strText[i] >= '0' && strText[i] <= '9'; ++i) {
        value = value * 10 + (strText[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (bNegative) value = -value;
    nValue = static_cast<int>(value > INT_MAX ? INT_MAX : value);
    return i > firstDigit;
}

int StoredIntegerOrZero(const std::string& strText) {
    int value = 0;
    ReadStoredInteger(strText, value);
    return value;
}

bool ParseStoredDate(const std::string& strDate, int& nYear, int& nMonth, int& nDay) {
    if (strDate.size() <= 5) return false;
    const size_t dash = strDate.find('-', 5);
    if (dash == std::string::npos) return false;
    return ReadPart(strDate.substr(0, 4), 1, 9999, nYear) && ReadPart(strDate.substr(5, dash - 5), 1, 12, nMonth) &&
           ReadPart(strDate.substr(dash + 1), 1, 31, nDay);
}

bool ParseStoredTime(const std::string& strTime, int& nHour, int& nMinute, int& nSecond) {
    const size_t colon1 = strTime.find(':');
    if (colon1 == std::string::npos) return false;
    const size_t colon2 = strTime.find(':', colon1 + 1);
    nSecond = 0;
    if (colon2 != std::string::npos && !ReadPart(strTime.substr(colon2 + 1), 0, 59, nSecond)) return false;
    const size_t minuteEnd = colon2 == std::string::npos ? strTime.size() : colon2;
    return ReadPart(strTime.substr(0, colon1), 0, 23, nHour) &&
           ReadPart(strTime.substr(colon1 + 1, minuteEnd - colon1 - 1), 0, 59, nMinute);
}

bool ParseStoredMoment(const std::string& strDate, const std::string& strTime, win::LocalTime& moment) {
    return ParseStoredDate(strDate, moment.nYear, moment.nMonth, moment.nDay) &&
           ParseStoredTime(strTime, moment.nHour, moment.nMinute, moment.nSecond);
}

MinuteTicker::Range MinuteTicker::Take(LocalMinute nNow) {
    if (nNow == m_nLastExamined) return Range{nNow + 1, nNow};
    LocalMinute first = nNow < m_nLastExamined ? nNow : m_nLastExamined + 1;
    if (nNow - first >= kMinutesPerDay) first = nNow - (kMinutesPerDay - 1);
    m_nLastExamined = nNow;
    return Range{first, nNow};
}

MinuteOfDayIndex::MinuteOfDayIndex(const std::vector<int>& nMinuteOfDay) : m_starts(kMinutesPerDay + 1, 0) {
    // A counting sort: stable, so each group keeps the table order.
    for (int minute : nMinuteOfDay) {
        if (minute >= 0 && minute < kMinutesPerDay) ++m_starts[minute + 1];
    }
    for (int i = 0; i < kMinutesPerDay; ++i) m_starts[i + 1] += m_starts[i];
    m_rows.resize(m_starts[kMinutesPerDay]);
    std::vector<int> next(m_starts.begin(), m_starts.end() - 1);
    for (size_t row = 0; row < nMinuteOfDay.size(); ++row) {
        const int minute = nMinuteOfDay[row];
        if (minute >= 0 && minute < kMinutesPerDay) m_rows[next[minute]++] = static_cast<int>(row);
    }
}
