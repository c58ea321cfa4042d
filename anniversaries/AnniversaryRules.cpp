#include "anniversaries/AnniversaryRules.h"

#include <algorithm>
#include <vector>

using namespace LunarCalendar;

namespace {

const int kOptionValues[5] = {AdvanceMonth, AdvanceWeek, AdvanceThreeDays, AdvanceOneDay, AdvanceSameDay};

constexpr int kLeapYear = 2000;

// A day its month lacks this year falls on the month's last day.
bool FallsOn(const AnniversaryRule& rule, const SolarDate& target, const LunarDate& targetLunar) {
    if (!rule.bLunar) {
        return rule.date.nMonth == target.nMonth && rule.date.nDay <= GetDaysInMonth(kLeapYear, target.nMonth) &&
               target.nDay == std::min(rule.date.nDay, GetDaysInMonth(target.nYear, target.nMonth));
    }
    if (rule.lunar.nYear == 0 || targetLunar.nYear == 0 || rule.lunar.nMonth != targetLunar.nMonth) return false;
    // Compared without the leap flag, a date of the fifth month would come
    // twice in a year with a leap fifth month.
    const bool bInLeap = rule.lunar.bLeap && GetLeapMonth(targetLunar.nYear) == rule.lunar.nMonth;
    if ((targetLunar.bLeap != 0) != bInLeap) return false;
    const int nDays = bInLeap ? GetLeapMonthDays(targetLunar.nYear) : GetLunarMonthDays(targetLunar.nYear, targetLunar.nMonth);
    return targetLunar.nDay == std::min(rule.lunar.nDay, nDays);
}

// f(t) of the month-ahead option as an absolute day; 0 when t has no lunar date.
int MonthAhead(int nAbsoluteDay) {
    const LunarDate lunar = SolarToLunar(AbsoluteDayToDate(nAbsoluteDay));
    return lunar.nYear == 0 ? 0 : nAbsoluteDay + GetLunarMonthDays(lunar.nYear, lunar.nMonth);
}

// The targets of one day, worked out once for all rows due on it.
struct DayTargets {
    int nDayNumber = 0;
    AdvanceTargets targets[5];
    LunarDate lunar[5][2] = {};

    void Compute(const CivilMinute& when) {
        nDayNumber = when.nDayNumber;
        const SolarDate today{when.nYear, when.nMonth, when.nDay};
        for (int i = 0; i < 5; ++i) {
            targets[i] = GetAdvanceTargets(kOptionValues[i], today);
            for (int j = 0; j < targets[i].nCount; ++j) lunar[i][j] = SolarToLunar(targets[i].day[j]);
        }
    }
};

int OptionSlot(int nOption) {
    int slot = 0;
    while (slot < 4 && kOptionValues[slot] != nOption) ++slot;
    return slot;
}

}  // namespace

AdvanceOptions WalkAdvanceOptions(int nAdvance) {
    AdvanceOptions options;
    if (nAdvance < 0) return options;
    for (int option : kOptionValues) {
        // On the day only when exactly 1 is left: above 31 the walk can end
        // with a larger rest (33 gives 16, 8, 4, 2 and leaves 3).
        const bool bSet = option == AdvanceSameDay ? nAdvance == 1 : nAdvance >= option;
        if (!bSet) continue;
        options.nOption[options.nCount++] = option;
        nAdvance -= option;
    }
    return options;
}

AnniversaryRule ParseAnniversary(const AnniversaryRecord& rec) {
    AnniversaryRule rule;
    int second = 0;
    if (!ParseStoredDate(rec.strDate, rule.date.nYear, rule.date.nMonth, rule.date.nDay) ||
        !ParseStoredTime(rec.strTime, rule.nHour, rule.nMinute, second)) {
        return AnniversaryRule{};
    }
    rule.bValid = true;
    rule.options = WalkAdvanceOptions(StoredIntegerOrZero(rec.strAdvance));
    rule.bLunar = IsLunarAnniversary(rec);
    // A day past its month's end (02-30) would convert as a day of the next
    // month: such a stored date has no lunar date.
    if (rule.bLunar && rule.date.nDay <= GetDaysInMonth(rule.date.nYear, rule.date.nMonth)) {
        rule.lunar = SolarToLunar(rule.date);
    }
    return rule;
}

int AnniversaryMinuteOfDay(const AnniversaryRule& rule) {
    return rule.bValid && rule.options.nCount > 0 ? rule.nHour * 60 + rule.nMinute : -1;
}

AdvanceTargets GetAdvanceTargets(int nOption, const SolarDate& today) {
    AdvanceTargets targets;
    const int nToday = GetAbsoluteDay(today.nYear, today.nMonth, today.nDay);
    int nFirst = nToday, nLast = nToday;
    switch (nOption) {
        case AdvanceMonth: {
            nLast = MonthAhead(nToday);
            if (nLast == 0) return targets;
            const int nYesterday = MonthAhead(nToday - 1);
            // The first day of the table has no yesterday to follow; a month
            // has 29 or 30 days, so f never moves on by more than two.
            nFirst = nYesterday == 0 ? nLast : std::max(nYesterday + 1, nLast - 1);
            break;
        }
        case AdvanceWeek: nFirst = nLast = nToday + 7; break;
        case AdvanceThreeDays: nFirst = nLast = nToday + 3; break;
        case AdvanceOneDay: nFirst = nLast = nToday + 1; break;
        case AdvanceSameDay: break;
        default: return targets;
    }
    for (int nDay = nFirst; nDay <= nLast; ++nDay) targets.day[targets.nCount++] = AbsoluteDayToDate(nDay);
    return targets;
}

bool NotifyAnniversary(const AnniversaryRule& rule, const SolarDate& target) {
    return rule.bValid && FallsOn(rule, target, rule.bLunar ? SolarToLunar(target) : LunarDate{0, 0, 0, 0});
}

void CheckAnniversaries(const std::vector<AnniversaryRecord>& rows, LocalMinute nFirst, LocalMinute nLast,
                        const DueRow& found) {
    if (nFirst > nLast) return;
    std::vector<AnniversaryRule> rules;
    std::vector<int> minuteOfDay;
    rules.reserve(rows.size());
    minuteOfDay.reserve(rows.size());
    for (const AnniversaryRecord& rec : rows) {
        rules.push_back(ParseAnniversary(rec));
        minuteOfDay.push_back(AnniversaryMinuteOfDay(rules.back()));
    }
    const MinuteOfDayIndex index(minuteOfDay);
    DayTargets day;
    bool bHaveDay = false;
    for (LocalMinute minute = nFirst; minute <= nLast; ++minute) {
        const MinuteOfDayIndex::Rows due = index.At(MinuteOfDay(minute));
        if (due.begin() == due.end()) continue;
        const CivilMinute when = ToCivilMinute(minute);
        if (!bHaveDay || day.nDayNumber != when.nDayNumber) {
            day.Compute(when);
            bHaveDay = true;
        }
        for (int row : due) {
            for (int option : rules[row].options) {
                const int slot = OptionSlot(option);
                for (int j = 0; j < day.targets[slot].nCount; ++j) {
                    if (FallsOn(rules[row], day.targets[slot].day[j], day.lunar[slot][j]))
                        found(minute, row);
                }
            }
        }
    }
}

std::string FormatAdvanceText(int nAdvance) {
    static const char* const kTexts[5] = {"提前一个月，", "提前一星期，", "提前三天，", "提前一天，",
                                          "当天提醒，"};
    std::string text;
    for (int option : WalkAdvanceOptions(nAdvance)) text += kTexts[OptionSlot(option)];
    const std::string comma = "，";
    if (text.size() >= comma.size()) text.erase(text.size() - comma.size());
    return text;
}

bool IsLunarAnniversary(const AnniversaryRecord& rec) { return rec.strLunar != "0"; }

std::string FormatAnniversaryDate(const AnniversaryRecord& rec) {
    const size_t dash = rec.strDate.find('-');
    return (dash == std::string::npos ? rec.strDate : rec.strDate.substr(dash + 1)) + "  " + rec.strTime;
}

std::string FormatAnniversaryLunar(const AnniversaryRecord& rec) { return IsLunarAnniversary(rec) ? "农历" : ""; }
