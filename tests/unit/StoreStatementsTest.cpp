// Worked examples of the statements and the quoting of values.
#include <gtest/gtest.h>

#include <string>

#include "storage/Statements.h"

TEST(StoreStatements, ValuesAreQuotedAndDanglingLeadBytesCannotSwallowTheQuote) {
    // A quote is doubled. A text cut inside a character ends in a lead byte,
    // which read together with the closing quote would leave the statement
    // open: it becomes '?'.
    const struct {
        const char* value;
        const char* quoted;
    } cases[] = {
        {"It's", "It''s"}, {"''", "''''"}, {"春\xB4", "春?"}, {"\xB4'", "?''"}, {"a\x81 b", "a? b"},
        {"\x81\x40\xFE\xFE\xB0\x7E", "\x81\x40\xFE\xFE\xB0\x7E"}, {"\r\n\t NULL %s %d \\", "\r\n\t NULL %s %d \\"},
    };
    for (const auto& c : cases) EXPECT_EQ(SqlQuote(c.value), c.quoted) << c.value;
}

TEST(StoreStatements, TextsAreTheFixedTemplatesByteForByte) {
    EXPECT_EQ(MemoInsertSql("开会", "NULL", "NULL", "2024-03-10", "08:30:00", "It's", -1),
              "insert into tb_memo (备忘录名称,提醒时间,提醒单位,\t\t\t\t开始日期,开始时间,备忘录描述,"
              "提醒次数) values ('开会','NULL','NULL'\t\t\t\t,'2024-03-10','08:30:00','It''s',-1)");
    EXPECT_EQ(AnniversaryUpdateSql("1999-02-28", "23:59:00", 16, "", 0, "妈妈's"),
              "update tb_remeber set 提醒日期='1999-02-28',提醒时间='23:59:00',\t\t\t提醒设置=16,"
              "纪念日描述='',农历提醒=0 where 纪念日名称='妈妈''s'");
}
