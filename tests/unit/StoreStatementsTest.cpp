// The statement texts and the quoting of values. The expected texts are
// made with printf from the fixed templates, so a stray or missing tab, comma
// or quote in a builder shows up as a byte difference.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "storage/Statements.h"

namespace {

template <typename... Args>
std::string Printf(const char* pszFormat, Args... args) {
    char buf[2048];
    const int n = std::snprintf(buf, sizeof buf, pszFormat, args...);
    return std::string(buf, static_cast<size_t>(n));
}

}  // namespace

TEST(StoreStatements, MemoTextsAreTheTemplates) {
    EXPECT_EQ(MemoSelectSql(), "select * from tb_memo");

    // Written out in full once, tab runs and all.
    EXPECT_EQ(MemoInsertSql("开会", "NULL", "NULL", "2024-03-10", "08:30:00", "带上\r\n报告", 0),
              "insert into tb_memo (备忘录名称,提醒时间,提醒单位,\t\t\t\t开始日期,开始时间,备忘录描述,"
              "提醒次数) values ('开会','NULL','NULL'\t\t\t\t,'2024-03-10','08:30:00','带上\r\n报告',0)");

    EXPECT_EQ(MemoInsertSql("吃药", "3", "天", "2008-03-05", "21:00:00", "", -1),
              Printf("insert into tb_memo (备忘录名称,提醒时间,提醒单位,\t\t\t\t开始日期,开始时间,备忘录描述,提醒次数)"
                     " values ('%s','%s','%s'\t\t\t\t,'%s','%s','%s',%d)",
                     "吃药", "3", "天", "2008-03-05", "21:00:00", "", -1));
    EXPECT_EQ(MemoUpdateSql("2", "周", "2024-01-31", "07:05:00", "说明", -1, "吃药"),
              Printf("update tb_memo set 提醒时间='%s',提醒单位='%s',开始日期=\t\t\t\t'%s',开始时间='%s',"
                     "备忘录描述='%s',提醒次数=%d \t\t\t\twhere 备忘录名称='%s'",
                     "2", "周", "2024-01-31", "07:05:00", "说明", -1, "吃药"));
    EXPECT_EQ(MemoDeleteSql("吃药"), "delete from tb_memo where 备忘录名称='吃药'");
}

TEST(StoreStatements, AnniversaryTextsAreTheTemplates) {
    EXPECT_EQ(AnniversarySelectSql(), "select * from tb_remeber");
    EXPECT_EQ(AnniversaryInsertSql("结婚纪念日", "2001-10-01", "09:00:00", 31, "第一行\r\n第二行", -1),
              "insert into tb_remeber (纪念日名称,提醒日期,提醒时间,\t\t\t提醒设置,纪念日描述,农历提醒) values "
              "('结婚纪念日','2001-10-01','09:00:00',31,'第一行\r\n第二行',\t\t\t-1)");
    EXPECT_EQ(AnniversaryUpdateSql("1999-02-28", "23:59:00", 16, "", 0, "生日"),
              Printf("update tb_remeber set 提醒日期='%s',提醒时间='%s',\t\t\t提醒设置=%d,纪念日描述='%s',"
                     "农历提醒=%d where 纪念日名称='%s'",
                     "1999-02-28", "23:59:00", 16, "", 0, "生日"));
    EXPECT_EQ(AnniversaryDeleteSql("生日"), "delete from tb_remeber where 纪念日名称='生日'");
}

TEST(StoreStatements, EveryTextValueIsQuoted) {
    // A quote in each position: each is doubled, nothing else moves.
    EXPECT_EQ(MemoInsertSql("a'", "'b", "c''", "d", "e", "It's", 0),
              Printf("insert into tb_memo (备忘录名称,提醒时间,提醒单位,\t\t\t\t开始日期,开始时间,备忘录描述,提醒次数)"
                     " values ('%s','%s','%s'\t\t\t\t,'%s','%s','%s',%d)",
                     "a''", "''b", "c''''", "d", "e", "It''s", 0));
    EXPECT_EQ(MemoUpdateSql("'", "'", "'", "'", "'", 5, "O'Neil"),
              Printf("update tb_memo set 提醒时间='%s',提醒单位='%s',开始日期=\t\t\t\t'%s',开始时间='%s',"
                     "备忘录描述='%s',提醒次数=%d \t\t\t\twhere 备忘录名称='%s'",
                     "''", "''", "''", "''", "''", 5, "O''Neil"));
    EXPECT_EQ(AnniversaryInsertSql("妈妈's", "x'", "y'", 1, "'", 0),
              Printf("insert into tb_remeber (纪念日名称,提醒日期,提醒时间,\t\t\t提醒设置,纪念日描述,农历提醒) values "
                     "('%s','%s','%s',%d,'%s',\t\t\t%d)",
                     "妈妈''s", "x''", "y''", 1, "''", 0));
    EXPECT_EQ(AnniversaryUpdateSql("'", "'", 2, "'", -1, "'"),
              Printf("update tb_remeber set 提醒日期='%s',提醒时间='%s',\t\t\t提醒设置=%d,纪念日描述='%s',"
                     "农历提醒=%d where 纪念日名称='%s'",
                     "''", "''", 2, "''", -1, "''"));
    EXPECT_EQ(AnniversaryDeleteSql("it's"), "delete from tb_remeber where 纪念日名称='it''s'");
    EXPECT_EQ(MemoDeleteSql("''"), "delete from tb_memo where 备忘录名称=''''''");
}

TEST(StoreStatements, QuotingLeavesEveryGbkCharacterAlone) {
    // No double-byte character of GBK contains the byte 0x27, and quoting
    // must not split or alter any of them.
    std::string strAll;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            strAll += static_cast<char>(lead);
            strAll += static_cast<char>(trail);
        }
    }
    EXPECT_EQ(SqlQuote(strAll), strAll);
    EXPECT_EQ(SqlQuote("\r\n\t NULL %s %d \\"), "\r\n\t NULL %s %d \\");
}

TEST(StoreStatements, DanglingLeadByteCannotSwallowTheClosingQuote) {
    // A text cut in the middle of a character ends in a lead byte. Pasted as
    // it is, the converter would read lead byte + quote as one character and
    // the statement would lose its closing quote.
    EXPECT_EQ(SqlQuote("春\xB4"), "春?");
    EXPECT_EQ(SqlQuote("\xB4'"), "?''");
    EXPECT_EQ(SqlQuote("a\x81\x20" "b"), "a? b");
    EXPECT_EQ(MemoDeleteSql("名\xC3"), "delete from tb_memo where 备忘录名称='名?'");
}
