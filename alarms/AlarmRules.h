// When an alarm (a tb_memo row) is due, what the alarm list shows of it, and
// the minute check that shows the due ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reminders/ReminderTime.h"
#include "storage/Statements.h"
#include "win/LocalTime.h"

// A tb_memo row read once into what the due test needs.
struct AlarmRule {
    enum Kind {
        Never,  // the start does not parse, N <= 0, or an unknown repeat unit
        Once,   // due in its start minute only
        Yearly,
        Monthly,
        Daily,  // weeks are days times 7
    };
    Kind kind = Never;
    int nYear = 0;  // the start, seconds dropped
    int nMonth = 0;
    int nDay = 0;
    int nHour = 0;
    int nMinute = 0;
    int nDayNumber = 0;           // GetDayNumber of the start date
    std::int64_t nInterval = 0;   // N in years, months or days
};

AlarmRule ParseAlarm(const MemoRecord& rec);

// Whether the alarm is due in minute when. The hour and minute must equal
// the start's. A repeating alarm is also due before its start where its
// rule's lower bound allows: a day or week alarm earlier in its start month,
// a month alarm earlier in its start year, a year alarm in earlier years.
bool IsAlarmDue(const AlarmRule& rule, const CivilMinute& when);

// The minute of day at which the alarm can be due; -1 when never.
int AlarmMinuteOfDay(const AlarmRule& rule);

// Tells found(minute, row) for every row due in each minute from nFirst to
// nLast, oldest minute first and in table order within a minute.
void CheckMemoAlarms(const std::vector<MemoRecord>& rows, LocalMinute nFirst, LocalMinute nLast, const DueRow& found);

// The alarm list's texts.
bool IsOneTimeAlarm(const MemoRecord& rec);          // 提醒次数 is "0"
std::string FormatAlarmStart(const MemoRecord& rec);   // 2008-03-05 08:30:00
std::string FormatAlarmRepeat(const MemoRecord& rec);  // 2天循环, or 仅仅一次
// "已过期" for a one-time alarm whose start is at or before now, else empty.
std::string FormatAlarmExpired(const MemoRecord& rec, const win::LocalTime& now);

// True when the moment of the stored date and time texts is at or before now,
// seconds included. A text that does not parse is never expired.
bool IsExpired(const std::string& strDate, const std::string& strTime, const win::LocalTime& now);
