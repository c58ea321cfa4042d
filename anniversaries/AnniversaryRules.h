// When an anniversary (a tb_remeber row) is reminded, what the anniversary
// list shows of it, and the minute check that shows the due ones.
#pragma once

#include <string>
#include <vector>

#include "reminders/ReminderTime.h"
#include "engine/LunarCalendar.h"
#include "storage/Statements.h"

// The advance options of 提醒设置, largest first: a lunar month, a week,
// three days, one day ahead, and on the day.
enum AdvanceOption { AdvanceMonth = 16, AdvanceWeek = 8, AdvanceThreeDays = 4, AdvanceOneDay = 2, AdvanceSameDay = 1 };

// The options of a bit set walked from the largest on the running remainder
// (16 when s >= 16, then 8, 4, 2 each when the rest reaches it, 1 when the
// rest is exactly 1). A negative set has none; values above 31 walk the same
// way.
struct AdvanceOptions {
    int nCount = 0;
    int nOption[5] = {};
    const int* begin() const { return nOption; }
    const int* end() const { return nOption + nCount; }
};
AdvanceOptions WalkAdvanceOptions(int nAdvance);

// A tb_remeber row read once into what the check needs.
struct AnniversaryRule {
    bool bValid = false;  // date and time parsed
    SolarDate date = {0, 0, 0};
    int nHour = 0;
    int nMinute = 0;
    AdvanceOptions options;
    bool bLunar = false;                // 农历提醒 is not "0"
    LunarDate lunar = {0, 0, 0, 0};     // of date, for a lunar row; nYear 0: none
};

AnniversaryRule ParseAnniversary(const AnniversaryRecord& rec);

// The minute of day at which the row's options are checked; -1 when never.
int AnniversaryMinuteOfDay(const AnniversaryRule& rule);

// The days an option looks at from today: today plus 7, 3, 1 or 0 days; for
// a lunar month ahead, the days after f(yesterday) up to f(today), f(t) being
// t plus the length of t's lunar month (the ordinary month of that number
// also when t lies in a leap month). As months of 29 and 30 days follow each
// other, f moves on by 0, 1 or 2 days a day: a day gives no month-ahead
// notice, or one, or two, and every day is looked at from exactly one day.
// None on a day without a lunar date.
struct AdvanceTargets {
    int nCount = 0;
    SolarDate day[2] = {};
    const SolarDate* begin() const { return day; }
    const SolarDate* end() const { return day + nCount; }
};
AdvanceTargets GetAdvanceTargets(int nOption, const SolarDate& today);

// Whether the anniversary falls on the target day. Gregorian rows: the
// stored month and day (any stored year). Lunar rows: the lunar month and
// day, with the leap rule that keeps it to once a lunar year: a date of an
// ordinary month recurs in the ordinary month only; a date of a leap month
// recurs in that leap month in a year that has it, otherwise in the ordinary
// month of its number. A day the month lacks this year is kept on the
// month's last day: a lunar 30th on the 29th, February 29 on the 28th. A day
// no year has (04-31), or no lunar date on either side: false.
bool NotifyAnniversary(const AnniversaryRule& rule, const SolarDate& target);

// Tells found(minute, row) per hit: for each minute from nFirst to nLast,
// oldest first, each row whose time is that minute, in table order, each of
// its options from the largest.
void CheckAnniversaries(const std::vector<AnniversaryRecord>& rows, LocalMinute nFirst, LocalMinute nLast,
                        const DueRow& found);

// The anniversary list's texts.
// 提前一个月，提前一天 for 18: the options' texts largest first, joined by "，".
std::string FormatAdvanceText(int nAdvance);
bool IsLunarAnniversary(const AnniversaryRecord& rec);             // 农历提醒 is not "0"
std::string FormatAnniversaryDate(const AnniversaryRecord& rec);   // 03-05  08:30:00
std::string FormatAnniversaryLunar(const AnniversaryRecord& rec);  // 农历, or empty
