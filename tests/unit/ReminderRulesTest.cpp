// The alarm and anniversary rules, and the minute mechanism running both
// checks against a real database with their notices recorded.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "StoreFixture.h"
#include "alarms/AlarmRules.h"
#include "anniversaries/AnniversaryRules.h"
#include "reminders/ReminderMinutes.h"
#include "reminders/Snoozes.h"

using namespace LunarCalendar;

namespace {

// "2024-03-12 08:00" as a minute.
LocalMinute Min(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    EXPECT_TRUE(ParseStoredDate(text.substr(0, 10), y, mo, d) && ParseStoredTime(text.substr(11), h, mi, s)) << text;
    return ToLocalMinute(y, mo, d, h, mi);
}

// An absolute day as "%Y-%m-%d".
std::string Text(int abs) {
    const SolarDate d = AbsoluteDayToDate(abs);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.nYear, d.nMonth, d.nDay);
    return text;
}

using Reminders = StoreFixture;

}  // namespace

TEST(AlarmRules, DueMinutes) {
    const struct {
        const char* interval; const char* unit; const char* count; const char* start;
        std::vector<const char*> due, notDue;
    } cases[] = {
        {"NULL", "NULL", "0", "2024-03-10 08:30:45", {"2024-03-10 08:30"}, {"2024-03-10 08:31", "2025-03-10 08:30"}},
        // Before the start within its month, never in an earlier month.
        {"2", "天", "-1", "2024-03-10 08:00:00", {"2024-03-12 08:00", "2024-03-08 08:00", "2024-03-02 08:00"},
         {"2024-02-27 08:00", "2024-03-11 08:00", "2024-03-12 08:01"}},
        {"1", "周", "-1", "2024-03-20 08:00:00", {"2024-03-06 08:00", "2024-04-03 08:00"}, {"2024-03-21 08:00"}},
        {"2", "周", "-1", "2024-03-10 08:00:00", {"2024-03-24 08:00"}, {"2024-03-17 08:00"}},
        // Before the start within its year, never in an earlier year.
        {"3", "月", "-1", "2024-11-15 09:00:00", {"2025-02-15 09:00", "2024-08-15 09:00"},
         {"2025-01-15 09:00", "2023-11-15 09:00", "2025-02-16 09:00"}},
        {"1", "月", "-1", "2024-01-31 07:00:00", {"2024-03-31 07:00"}, {"2024-04-30 07:00", "2024-05-01 07:00"}},
        {"1", "年", "-1", "2030-05-01 07:00:00", {"2026-05-01 07:00"}, {"2026-05-02 07:00"}},
        {"2", "年", "-1", "2030-05-01 07:00:00", {"2028-05-01 07:00"}, {"2027-05-01 07:00"}},
        {"99999999999999", "周", "-1", "2024-03-10 08:00:00", {"2024-03-10 08:00"}, {}},  // saturates
        {"1", "", "-1", "2024-03-10 08:00:00", {}, {"2024-03-10 08:00"}},
        {"NULL", "NULL", "-1", "2024-03-10 08:00:00", {}, {"2024-03-10 08:00"}},
        {"0", "天", "-1", "2024-03-10 08:00:00", {}, {"2024-03-10 08:00"}},
        {"-2", "天", "-1", "2024-03-10 08:00:00", {}, {"2024-03-10 08:00"}},
        {"1", "天", "-1", "2024-13-10 08:00:00", {}, {"2024-03-10 08:00"}},
        {"1", "天", "-1", "2024-03-10 08:xx:00", {}, {"2024-03-10 08:00"}},
    };
    for (const auto& c : cases) {
        const std::string start = c.start;
        const AlarmRule rule = ParseAlarm({"", c.interval, c.unit, start.substr(0, 10), start.substr(11), "", c.count});
        for (bool due : {true, false}) {
            for (const char* when : due ? c.due : c.notDue)
                EXPECT_EQ(IsAlarmDue(rule, ToCivilMinute(Min(when))), due) << c.interval << c.unit << start << " at " << when;
        }
    }
}

TEST(AlarmRules, StoredTextsAndListColumns) {
    int y = 0, mo = 0, d = 0;
    EXPECT_TRUE(ParseStoredDate("2008-3-5", y, mo, d) && y == 2008 && mo == 3 && d == 5);
    for (const char* bad : {"", "2008", "2008-03", "2008-00-05", "2008-03-32", "0000-03-05", "2008-03-"})
        EXPECT_FALSE(ParseStoredDate(bad, y, mo, d)) << bad;
    for (const char* bad : {"08", "24:00:00", "08:60", "08:30:60", "08:30:", ":30"})
        EXPECT_FALSE(ParseStoredTime(bad, y, mo, d)) << bad;

    const win::LocalTime before{2024, 3, 10, 8, 30, 44}, at{2024, 3, 10, 8, 30, 45};
    const MemoRecord once{"", "NULL", "NULL", "2024-03-10", "08:30:45", "", "0"};
    const MemoRecord every{"", "2", "天", "2008-03-05", "08:30:00", "", "-1"};
    EXPECT_EQ(FormatAlarmExpired(once, before), "");  // the seconds count here
    EXPECT_EQ(FormatAlarmExpired(once, at), "已过期");
    EXPECT_EQ(FormatAlarmExpired(every, at), "");
    EXPECT_FALSE(IsExpired("2024-03-10", "nonsense", at));
}

// Every day of the lunar range against three stored dates of a month number
// that some years repeat as a leap month (lunar 2023 闰二月十五, 二月十五 and 二月三十):
// a lunar anniversary comes once a lunar year, in the month the leap rule
// names, a day 30 on the 29th where that month has 29 days.
TEST(AnniversaryRules, LunarOncePerLunarYear) {
    const int first = GetAbsoluteDay(1900, 1, 31), last = GetAbsoluteDay(2101, 1, 28);
    int repeatedLeap = 0;
    for (const SolarDate stored : {SolarDate{2023, 4, 5}, SolarDate{2023, 3, 6}, SolarDate{2023, 3, 21}}) {
        AnniversaryRule rule;
        rule.bValid = rule.bLunar = true;
        rule.lunar = SolarToLunar(stored);
        const int m = rule.lunar.nMonth, d = rule.lunar.nDay;
        std::map<int, std::vector<std::pair<int, int>>> hits;  // lunar year -> leap flag and day of each hit
        for (int abs = first; abs <= last; ++abs) {
            const SolarDate target = AbsoluteDayToDate(abs);
            const LunarDate l = SolarToLunar(target);
            if (NotifyAnniversary(rule, target)) hits[l.nYear].push_back({l.bLeap, l.nDay});
        }
        for (int y = kFirstLunarYear; y <= kLastLunarYear; ++y) {
            const bool inLeap = rule.lunar.bLeap && GetLeapMonth(y) == m;
            repeatedLeap += inLeap && y != stored.nYear;
            const int days = inLeap ? GetLeapMonthDays(y) : GetLunarMonthDays(y, m);
            EXPECT_EQ(hits[y], (std::vector<std::pair<int, int>>{{inLeap, std::min(d, days)}}))
                << "stored " << stored.nYear << "-" << stored.nMonth << "-" << stored.nDay << ", lunar year " << y;
        }
    }
    EXPECT_GT(repeatedLeap, 0);  // some year did repeat the leap month
}

// A day a year lacks falls on the month's last day: 腊月三十 (stored 2024-02-09)
// on every New Year's Eve, February 29 on the 28th of common years.
TEST(AnniversaryRules, DaysAYearLacks) {
    const struct { const char* date; const char* lunar; std::vector<std::string> hits; } cases[] = {
        {"2024-02-09", "-1", {"2024-02-09", "2025-01-28", "2026-02-16", "2027-02-05", "2028-01-25", "2029-02-12", "2030-02-02"}},
        {"2000-02-29", "0", {"2024-02-29", "2025-02-28", "2026-02-28", "2027-02-28", "2028-02-29", "2029-02-28", "2030-02-28"}},
    };
    for (const auto& c : cases) {
        const AnniversaryRule rule = ParseAnniversary({"", c.date, "09:00:00", "1", "", c.lunar});
        std::vector<std::string> hits;
        for (int abs = GetAbsoluteDay(2024, 1, 1); abs <= GetAbsoluteDay(2030, 12, 31); ++abs)
            if (NotifyAnniversary(rule, AbsoluteDayToDate(abs))) hits.push_back(Text(abs));
        EXPECT_EQ(hits, c.hits) << c.date;
    }
}

// 提前一个月 from every day around 2025 and 2026: each occurrence there of
// every day of 腊月 (lunar 2023, stored 2024-01-11 to 2024-02-09) and of every
// Gregorian day of 2024 gets exactly one notice, 29 or 30 days before it.
TEST(AnniversaryRules, MonthAheadOncePerOccurrence) {
    const int first = GetAbsoluteDay(2025, 1, 1), last = GetAbsoluteDay(2026, 12, 31);
    for (int stored = GetAbsoluteDay(2024, 1, 11); stored <= GetAbsoluteDay(2024, 12, 31); ++stored) {
        for (const char* lunar : {"-1", "0"}) {
            if (*lunar == '-' && stored > GetAbsoluteDay(2024, 2, 9)) continue;
            const AnniversaryRule rule = ParseAnniversary({"", Text(stored), "09:00:00", "16", "", lunar});
            std::map<int, int> notices;  // occurrence -> month-ahead notices of it
            for (int today = first - 31; today <= last; ++today) {
                for (const SolarDate& target : GetAdvanceTargets(AdvanceMonth, AbsoluteDayToDate(today))) {
                    const int day = GetAbsoluteDay(target.nYear, target.nMonth, target.nDay);
                    EXPECT_TRUE(day - today == 29 || day - today == 30) << Text(today);
                    if (NotifyAnniversary(rule, target)) ++notices[day];
                }
            }
            for (int day = first; day <= last; ++day)
                EXPECT_EQ(notices[day], NotifyAnniversary(rule, AbsoluteDayToDate(day)) ? 1 : 0) << Text(stored) << " on " << Text(day);
        }
    }
}

TEST_F(Reminders, AnniversaryCheckOfOneRow) {
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    const struct { const char* date; const char* time; int bits; int lunar; const char* when; int hits; } cases[] = {
        {"1990-05-20", "09:00:45", 10, 0, "2025-05-13 09:00", 1},  // a week ahead; seconds ignored
        {"1990-05-20", "09:00:45", 10, 0, "2025-05-19 09:00", 1},  // a day ahead
        {"1990-05-20", "09:00:45", 10, 0, "2025-05-13 09:01", 0},
        {"1990-05-20", "09:00:00", 1, -1, "2026-06-11 09:00", 1},  // lunar 4-26
        {"2024-03-10", "09:00:00", 16, 0, "2024-02-09 09:00", 1},  // lunar 12-30 + 30 days
        {"2024-03-10", "09:00:00", 16, 0, "2024-02-10 09:00", 0},  // lunar 1-1 + 29 days: the same day again
        {"2025-03-02", "09:00:00", 16, 0, "2025-01-31 09:00", 1},  // lunar 1-3 + 30 days
        {"2025-05-20", "09:00:00", 0, 0, "2025-05-20 09:00", 0},
        {"2000-02-29", "09:00:00", 2, 0, "2025-02-27 09:00", 1},   // the day before the 28th of a common year
        {"2024-02-09", "09:00:00", 4, -1, "2025-01-25 09:00", 1},  // 腊月三十 on the 29th, three days before it
        {"2099-05-20", "09:00:00", 1, 0, "2025-05-20 09:00", 1},   // a future stored year
        {"1880-05-20", "09:00:00", 1, -1, "2025-05-20 09:00", 0},  // no lunar date
        {"2101-06-01", "09:00:00", 17, 0, "2101-06-01 09:00", 1},  // option 16 has no target
        {"2023-02-30", "09:00:00", 1, -1, "2023-03-02 09:00", 0},  // no such day, so no lunar date
        {"2025-13-20", "09:00:00", 31, 0, "2025-05-20 09:00", 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ExecuteSql("delete from tb_remeber"));
        ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("纪", c.date, c.time, c.bits, "", c.lunar)));
        int hits = 0;
        CheckAnniversaries(ReadAllAnniversaries(), Min(c.when), Min(c.when), [&](LocalMinute, int) { ++hits; });
        EXPECT_EQ(hits, c.hits) << c.date << " bits " << c.bits << " lunar " << c.lunar << " at " << c.when;
    }
}

// Ticks of the minute mechanism over both tables, each after its statement and
// at its minutes of real time; what each tick tells ("!" and the table) and
// shows. A notice open across the next minute; the clock put back (fast by
// two and a half minutes; daylight saving's repeated hour; a day's sleep; a
// clock back again more than a day of real time later); a table unreadable.
TEST_F(Reminders, MinuteMechanism) {
    ReminderMinutes minutes(Min("2024-03-10 09:30"));
    minutes.AddSource(std::make_unique<TableSource<MemoRecord>>(ReadAllMemos, CheckMemoAlarms));
    minutes.AddSource(std::make_unique<TableSource<AnniversaryRecord>>(ReadAllAnniversaries, CheckAnniversaries));
    std::string shown;
    std::function<void(const char*, int)> tick = [&](const char* now, int elapsed) {
        minutes.Tick(Min(now), elapsed, [&](const std::string& title, const std::string&) {
            shown += title + " ";
            if (title == "N") tick("2024-03-10 09:34", elapsed + 1);
        }, [&](const std::string& failure) { shown += failure.find("tb_memo") != std::string::npos ? "!memo " : "!"; });
    };
    tick("2024-03-10 09:30", 0);  // no database: nothing told again, nothing shown
    EXPECT_EQ(shown, "");
    ASSERT_NO_FATAL_FAILURE(CreateAndOpenDb());
    const char* memos[][4] = {  // name, interval ("NULL": one-time), date, time
        {"A929", "NULL", "2024-03-10", "09:29:00"}, {"A931", "NULL", "2024-03-10", "09:31:00"},
        {"N", "NULL", "2024-03-10", "09:33:00"}, {"O", "NULL", "2024-03-10", "09:33:00"},
        {"M", "NULL", "2024-03-10", "09:34:00"}, {"F", "NULL", "2024-03-10", "09:40:00"},
        {"D", "1", "2024-03-10", "02:30:00"}, {"E", "NULL", "2024-03-11", "02:45:00"}};
    for (const auto& m : memos) {
        const bool once = std::string(m[1]) == "NULL";
        ASSERT_TRUE(ExecuteSql(MemoInsertSql(m[0], m[1], once ? "NULL" : "天", m[2], m[3], "", once ? 0 : -1)));
    }
    ASSERT_TRUE(ExecuteSql(AnniversaryInsertSql("G", "2020-03-10", "09:41:00", 1, "", 0)));
    const char* away = "alter table tb_memo rename to kept";
    const char* back = "alter table kept rename to tb_memo";
    const struct { const char* sql; const char* now; int elapsed; const char* shown; } steps[] = {
        {"", "2024-03-10 09:31", 1, "A931 "}, {"", "2024-03-10 09:29", 3, "A929 "}, {"", "2024-03-10 09:31", 5, ""}, {"", "2024-03-10 09:33", 7, "N M O "}, {"", "2024-03-10 09:34", 8, ""},
        {away, "2024-03-10 09:40", 14, "!memo "}, {"", "2024-03-10 09:41", 15, "G "},
        {back, "2024-03-10 09:42", 16, "F "}, {away, "2024-03-10 09:43", 17, "!memo "}, {back, "2024-03-10 09:44", 18, ""},
        {"", "2024-03-11 02:30", 1024, "D "}, {"", "2024-03-11 02:59", 1053, "E "},
        {"", "2024-03-11 02:30", 1084, ""}, {"", "2024-03-11 03:00", 1114, ""},
        {"", "2024-03-13 02:31", 4000, "D "}, {"", "2024-03-13 02:29", 4001, ""}, {"", "2024-03-13 02:30", 4002, ""},
        {"", "2024-03-13 02:29", 5500, ""}, {"", "2024-03-13 02:30", 5501, "D "}};
    for (const auto& step : steps) {
        if (*step.sql) {
            ASSERT_TRUE(ExecuteSql(step.sql));
        }
        shown.clear();
        tick(step.now, step.elapsed);
        EXPECT_EQ(shown, step.shown) << step.now << " at " << step.elapsed;
    }
    EXPECT_TRUE(m_reports.empty());  // every failure was told through the mechanism alone
}

// Reminders put off (稍后提醒), their file a string here, over several runs of
// the program: each comes once at its minute and can be put off again; the
// file keeps them over a restart, its texts byte for byte; one missed while
// the program was off comes at the next start within a day, not later; an
// unreadable file is told once and what was put off meanwhile is kept with it.
TEST(Snoozes, OnceAtTheirMinuteAndOverRestarts) {
    std::string file, shown;
    bool readable = true;
    std::unique_ptr<ReminderMinutes> minutes;
    SnoozeSource* snoozes = nullptr;
    const auto start = [&](const char* startUp) {
        minutes = std::make_unique<ReminderMinutes>(Min(startUp));
        auto source = std::make_unique<SnoozeSource>([&](std::string& bytes) { bytes = file; return readable; },
                                                     [&](const std::string& bytes) { file = bytes; return true; });
        snoozes = source.get();
        minutes->AddSource(std::move(source), true);
    };
    const auto tick = [&](const char* now) {
        shown.clear();
        minutes->Tick(Min(now), 0, [&](const std::string& title, const std::string&) { shown += title + " "; },
                      [&](const std::string& failure) { shown += "!" + failure; });
        return shown;
    };
    const std::string odd = "a\tb\r\nc\\d\x81\x5c";  // a GBK character whose trail byte is '\'
    start("2024-03-10 09:30");
    EXPECT_EQ(tick("2024-03-10 09:30"), "");
    EXPECT_TRUE(snoozes->Add(Snooze{Min("2024-03-10 09:35"), "A", odd}));
    EXPECT_EQ(tick("2024-03-10 09:34"), "");
    EXPECT_EQ(tick("2024-03-10 09:35"), "A ");
    EXPECT_EQ(tick("2024-03-10 09:35"), "");
    EXPECT_EQ(file, "");  // nothing left to keep
    for (const char* due : {"2024-03-10 09:45", "2024-03-10 10:00", "2024-03-11 09:00", "2024-03-12 12:00"})
        EXPECT_TRUE(snoozes->Add(Snooze{Min(due), due + 11, odd}));
    EXPECT_EQ(tick("2024-03-10 09:45"), "09:45 ");
    file = "damaged\n" + file;
    start("2024-03-10 10:30");  // 10:00 was missed while the program was off
    EXPECT_EQ(tick("2024-03-10 10:30"), "10:00 ");
    readable = false;
    start("2024-03-12 10:00");  // 2024-03-11 09:00 is now more than a day late
    EXPECT_EQ(tick("2024-03-12 10:00"), std::string("!") + snooze::kFileName + " 无法读取。");
    EXPECT_EQ(tick("2024-03-12 10:01"), "");
    EXPECT_FALSE(snoozes->Add(Snooze{Min("2024-03-12 12:00"), "E", ""}));
    EXPECT_FALSE(snoozes->Add(Snooze{Min("2024-03-12 10:02"), "F", ""}));
    EXPECT_EQ(tick("2024-03-12 10:02"), "F ");  // put off in this run: it comes, file or no file
    readable = true;
    EXPECT_EQ(tick("2024-03-12 10:03"), "");
    EXPECT_EQ(ParseSnoozes(file).size(), 2u);
    std::vector<std::string> texts;
    for (const Snooze& s : ParseSnoozes(file)) texts.push_back(s.strText);
    EXPECT_EQ(texts, std::vector<std::string>({odd, ""}));
    EXPECT_EQ(tick("2024-03-12 12:00"), "12:00 E ");
}
