#include "anniversaries/AnniversaryRules.h"

#include <vector>

using namespace LunarCalendar;

namespace {

const int kOptionValues[5] = {AdvanceMonth, AdvanceWeek, AdvanceThreeDays, AdvanceOneDay, AdvanceSameDay};

SolarDate AddDays(const SolarDate& date, int nDays) {
    return AbsoluteDayToDate(GetAbsoluteDay(date.nYear, date.nMonth, date.nDay) + nDays);
}

bool FallsOn(const AnniversaryRule& rule, const SolarDate& target, const LunarDate& targetLunar) {
    if (!rule.bLunar) return rule.date.nMonth == target.nMonth && rule.date.nDay == target.nDay;
    if (rule.lunar.nYear == 0 || targetLunar.nYear == 0) return false;
    if (rule.lunar.nMonth != targetLunar.nMonth || rule.lunar.nDay != targetLunar.nDay) return false;
    // Compared without the leap flag, a date of the fifth month would come
    // twice in a year with a leap fifth month.
    const bool bInLeap = rule.lunar.bLeap && GetLeapMonth(targetLunar.nYear) == rule.lunar.nMonth;
    return (targetLunar.bLeap != 0) == bInLeap;
}

// The targets of one day, worked out once for all rows due on it.
struct DayTargets {
    int nDayNumber = 0;
    bool bHas[5] = {};
    SolarDate target[5] = {};
    LunarDate lunar[5] = {};

    void Compute(const CivilMinute& when) {
        nDayNumber = when.nDayNumber;
        const SolarDate today{when.nYear, when.nMonth, when.nDay};
        for (int i = 0; i < 5; ++i) {
            bHas[i] = GetAdvanceTarget(kOptionValues[i], today, target[i]);
            if (bHas[i]) lunar[i] = SolarToLunar(target[i]);
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

bool GetAdvanceTarget(int nOption, const SolarDate& today, SolarDate& target) {
    switch (nOption) {
        case AdvanceMonth: {
            const LunarDate lunar = SolarToLunar(today);
            if (lunar.nYear == 0) return false;
            target = AddDays(today, GetLunarMonthDays(lunar.nYear, lunar.nMonth));
            return true;
        }
        case AdvanceWeek: target = AddDays(today, 7); return true;
        case AdvanceThreeDays: target = AddDays(today, 3); return true;
        case AdvanceOneDay: target = AddDays(today, 1); return true;
        case AdvanceSameDay: target = today; return true;
        default: return false;
    }
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
                if (day.bHas[slot] && FallsOn(rules[row], day.target[slot], day.lunar[slot])) {
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
