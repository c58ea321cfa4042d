// What the alarm and anniversary checks share: the local minute as one
// number, the readers of the stored date, time and integer texts, and the
// ticker that decides which minutes a check examines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win/LocalTime.h"

// A local civil minute as one number: GetDayNumber(y, m, d) * 1440 +
// hour * 60 + minute. 64 bits: year 9999 is beyond 2^31 minutes.
using LocalMinute = std::int64_t;

constexpr int kMinutesPerDay = 1440;

// One LocalMinute taken apart once, for the rules to compare fields.
struct CivilMinute {
    int nYear;
    int nMonth;  // 1..12
    int nDay;    // 1..31
    int nHour;
    int nMinute;
    int nDayNumber;  // GetDayNumber of the date
};

LocalMinute ToLocalMinute(int nYear, int nMonth, int nDay, int nHour, int nMinute);
LocalMinute ToLocalMinute(const win::LocalTime& time);  // its seconds dropped
CivilMinute ToCivilMinute(LocalMinute nMinute);

// Shows one reminder: the Windows shell opens a modal notice (which may run
// further checks nested inside it); tests record the calls.
using ReminderNotice = std::function<void(const std::string& strTitle, const std::string& strText)>;

// Told by a check for each row nRow (its index in the rows it was given) due
// in minute nMinute.
using DueRow = std::function<void(LocalMinute nMinute, int nRow)>;

// A decimal integer as the stored texts hold it: leading blanks, an optional
// sign, digits; anything after the digits is ignored. Saturates at the int
// range instead of overflowing. Returns false, with 0, when there are no
// digits.
bool ReadStoredInteger(const std::string& strText, int& nValue);
int StoredIntegerOrZero(const std::string& strText);

// "%Y-%m-%d" read by position: the year is the first four characters, the
// month runs from position 5 up to the next '-' at or after 5, the day is the
// rest, so "2008-3-5" reads as well. False for a part without digits or out
// of range (year 1..9999, month 1..12, day 1..31); the outputs are then
// unspecified.
bool ParseStoredDate(const std::string& strDate, int& nYear, int& nMonth, int& nDay);

// "%H:%M:%S": hour before the first ':', minute up to the second ':',
// seconds after it (0 when there is no second ':'). False for a part without
// digits or out of range (hour 0..23, minute and second 0..59).
bool ParseStoredTime(const std::string& strTime, int& nHour, int& nMinute, int& nSecond);

// Both at once, into the value the editors take when a list row is modified.
bool ParseStoredMoment(const std::string& strDate, const std::string& strTime, win::LocalTime& moment);

// Decides which minutes a check examines, so that every minute while the
// program runs is examined whatever the timer does: ticks that come late,
// twice in one minute, or nested inside an open notice.
class MinuteTicker {
public:
    // Minutes before nStartUp count as examined (nothing from before the
    // program started is shown); nStartUp itself is not.
    explicit MinuteTicker(LocalMinute nStartUp) : m_nLastExamined(nStartUp - 1) {}

    struct Range {
        LocalMinute nFirst;
        LocalMinute nLast;  // nFirst > nLast: nothing to examine
        bool IsEmpty() const { return nFirst > nLast; }
    };

    // Every minute after the last examined one up to and including nNow,
    // oldest first, at most the last kMinutesPerDay of them. The mark moves
    // to nNow before the caller shows anything, so a check nested inside an
    // open notice takes only later minutes. When the clock went back, the
    // minute it lands on is examined and the mark follows the clock: the
    // minutes it repeats are examined again as they come (what was shown in
    // them is not shown again: ShownReminders).
    Range Take(LocalMinute nNow);
    // Makes the minutes from nFirst on count as not examined yet.
    void Rewind(LocalMinute nFirst) {
        if (m_nLastExamined >= nFirst) m_nLastExamined = nFirst - 1;
    }

private:
    LocalMinute m_nLastExamined;
};

// The rows of a table grouped by the minute of day (0..1439) at which they
// can be due, each group in table order. Every rule of both checks requires
// the hour and minute to match, so a catch-up over a day looks at each row
// about once instead of once per minute.
class MinuteOfDayIndex {
public:
    // nMinuteOfDay[i] is row i's minute of day, or -1 for a row never due.
    explicit MinuteOfDayIndex(const std::vector<int>& nMinuteOfDay);

    struct Rows {
        const int* pBegin;
        const int* pEnd;
        const int* begin() const { return pBegin; }
        const int* end() const { return pEnd; }
    };
    // Row numbers due at that minute of day (0..1439), in table order.
    Rows At(int nMinuteOfDay) const {
        return Rows{m_rows.data() + m_starts[nMinuteOfDay], m_rows.data() + m_starts[nMinuteOfDay + 1]};
    }

private:
    std::vector<int> m_starts;  // kMinutesPerDay + 1 offsets into m_rows
    std::vector<int> m_rows;
};

int MinuteOfDay(LocalMinute nMinute);
