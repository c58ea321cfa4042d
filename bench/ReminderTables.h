// The tables both minute-check benchmarks run over (natively and under wine):
// 10 000 alarms and 10 000 anniversaries in an open database, and the minute
// they are checked at.
#pragma once

#include <string>

#include "reminders/ReminderTime.h"
#include "storage/ReminderDb.h"

namespace bench {

const int kRows = 10000;

// Rows x = 1..kRows spread over every minute of the day ((x / 60) % 24 and
// x % 60), every unit and interval 1..7 for the alarms (one in five
// one-time), dates over decades, all bit sets and both calendars for the
// anniversaries. One statement per table, made in SQLite by a counting query.
inline bool FillReminderTables() {
    static const char* const kFillSql[] = {
        "insert into tb_memo (备忘录名称,提醒时间,提醒单位,开始日期,开始时间,备忘录描述,提醒次数) "
        "select '闹钟' || x, case when x % 5 = 0 then 'NULL' else 1 + x % 7 end, "
        "case when x % 5 = 0 then 'NULL' else substr('天周月年', 1 + x % 4, 1) end, "
        "date('2024-01-01', '+' || (x % 400) || ' days'), printf('%02d:%02d:00', (x / 60) % 24, x % 60), "
        "'记得带上会议报告。', case when x % 5 = 0 then 0 else -1 end from n",
        "insert into tb_remeber (纪念日名称,提醒日期,提醒时间,提醒设置,纪念日描述,农历提醒) "
        "select '纪念日' || x, date('1960-01-01', '+' || (x * 37 % 25000) || ' days'), "
        "printf('%02d:%02d:00', (x / 60) % 24, x % 60), x % 32, '买蛋糕。', -(x % 2) from n",
    };
    const std::string strCount =
        "with recursive n(x) as (select 1 union all select x + 1 from n where x < " + std::to_string(kRows) + ") ";
    for (const char* sql : kFillSql)
        if (!ExecuteSql(strCount + sql)) return false;
    return true;
}

// The last minute a check examines; a catch-up runs up to it.
inline LocalMinute CheckMinute() { return ToLocalMinute(2025, 3, 16, 8, 30); }

}  // namespace bench
