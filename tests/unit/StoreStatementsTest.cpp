// The statements byte for byte, as the database file's readers know them
// (quoting: TextPropertyTest).
#include <gtest/gtest.h>

#include <string>

#include "storage/Statements.h"

TEST(StoreStatements, TextsAreTheFixedTemplatesByteForByte) {
    EXPECT_EQ(MemoInsertSql("开会", "NULL", "NULL", "2024-03-10", "08:30:00", "It's", -1),
              "insert into tb_memo (备忘录名称,提醒时间,提醒单位,\t\t\t\t开始日期,开始时间,备忘录描述,"
              "提醒次数) values ('开会','NULL','NULL'\t\t\t\t,'2024-03-10','08:30:00','It''s',-1)");
    EXPECT_EQ(AnniversaryUpdateSql("1999-02-28", "23:59:00", 16, "", 0, "妈妈's"),
              "update tb_remeber set 提醒日期='1999-02-28',提醒时间='23:59:00',\t\t\t提醒设置=16,"
              "纪念日描述='',农历提醒=0 where 纪念日名称='妈妈''s'");
}
