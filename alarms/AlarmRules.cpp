#include "alarms/AlarmRules.h"

#include <tuple>

#include "engine/LunarCalendar.h"

namespace {

bool IsMultiple(std::int64_t nDifference, std::int64_t nInterval) { return nDifference % nInterval == 0; }

}  // namespace

bool IsOneTimeAlarm(const MemoRecord& rec) { return rec.strCount == "0"; }

AlarmRule ParseAlarm(const MemoRecord& rec) {
    AlarmRule rule;
    int second = 0;
    if (!ParseStoredDate(rec.strStartDate, rule.nYear, rule.nMonth, rule.nDay) ||
        !ParseStoredTime(rec.strStartTime, rule.nHour, rule.nMinute, second)) {
        return AlarmRule{};
    }
    rule.nDayNumber = LunarCalendar::GetDayNumber(rule.nYear, rule.nMonth, rule.nDay);
    if (IsOneTimeAlarm(rec)) {
        rule.kind = AlarmRule::Once;
        return rule;
    }
    // An interval of 0 or less tests no multiple: such a row is never due.
    rule.nInterval = StoredIntegerOrZero(rec.strInterval);
    if (rule.nInterval <= 0) return AlarmRule{};
    if (rec.strUnit == "年") {
        rule.kind = AlarmRule::Yearly;
    } else if (rec.strUnit == "月") {
        rule.kind = AlarmRule::Monthly;
    } else if (rec.strUnit == "周") {
        rule.kind = AlarmRule::Daily;
        rule.nInterval *= 7;
    } else if (rec.strUnit == "天") {
        rule.kind = AlarmRule::Daily;
    } else {
        return AlarmRule{};
    }
    return rule;
}

int AlarmMinuteOfDay(const AlarmRule& rule) {
    return rule.kind == AlarmRule::Never ? -1 : rule.nHour * 60 + rule.nMinute;
}

bool IsAlarmDue(const AlarmRule& rule, const CivilMinute& when) {
    if (rule.kind == AlarmRule::Never || when.nHour != rule.nHour || when.nMinute != rule.nMinute) return false;
    switch (rule.kind) {
        case AlarmRule::Once:
            return when.nYear == rule.nYear && when.nMonth == rule.nMonth && when.nDay == rule.nDay;
        case AlarmRule::Yearly:
            return when.nMonth == rule.nMonth && when.nDay == rule.nDay &&
                   IsMultiple(when.nYear - rule.nYear, rule.nInterval);
        case AlarmRule::Monthly:
            return when.nYear >= rule.nYear && when.nDay == rule.nDay &&
                   IsMultiple(12LL * (when.nYear - rule.nYear) + (when.nMonth - rule.nMonth), rule.nInterval);
        case AlarmRule::Daily:
            if (when.nYear < rule.nYear || (when.nYear == rule.nYear && when.nMonth < rule.nMonth)) return false;
            return IsMultiple(static_cast<std::int64_t>(when.nDayNumber) - rule.nDayNumber, rule.nInterval);
        case AlarmRule::Never:
            break;
    }
    return false;
}

void CheckMemoAlarms(const std::vector<MemoRecord>& rows, LocalMinute nFirst, LocalMinute nLast, const DueRow& found) {
    if (nFirst > nLast) return;
    std::vector<AlarmRule> rules;
    std::vector<int> minuteOfDay;
    rules.reserve(rows.size());
    minuteOfDay.reserve(rows.size());
    for (const MemoRecord& rec : rows) {
        rules.push_back(ParseAlarm(rec));
        minuteOfDay.push_back(AlarmMinuteOfDay(rules.back()));
    }
    const MinuteOfDayIndex index(minuteOfDay);
    for (LocalMinute minute = nFirst; minute <= nLast; ++minute) {
        const CivilMinute when = ToCivilMinute(minute);
        for (int row : index.At(MinuteOfDay(minute))) {
            if (IsAlarmDue(rules[row], when)) found(minute, row);
        }
    }
}

std::string FormatAlarmStart(const MemoRecord& rec) { return rec.strStartDate + " " + rec.strStartTime; }

std::string FormatAlarmRepeat(const MemoRecord& rec) {
    return IsOneTimeAlarm(rec) ? "仅仅一次" : rec.strInterval + rec.strUnit + "循环";
}

std::string FormatAlarmExpired(const MemoRecord& rec, const win::LocalTime& now) {
    return IsOneTimeAlarm(rec) && IsExpired(rec.strStartDate, rec.strStartTime, now) ? "已过期" : "";
}

bool IsExpired(const std::string& strDate, const std::string& strTime, const win::LocalTime& now) {
    win::LocalTime start;
    if (!ParseStoredMoment(strDate, strTime, start)) return false;
    return std::tie(start.nYear, start.nMonth, start.nDay, start.nHour, start.nMinute, start.nSecond) <=
           std::tie(now.nYear, now.nMonth, now.nDay, now.nHour, now.nMinute, now.nSecond);
}
