// How the settings file's values read, and the date formats of the shell.
#include <gtest/gtest.h>

#include <climits>

#include "app/core/TrayTip.h"
#include "app/core/WebShortcuts.h"
#include "app/core/WindowSettings.h"
#include "engine/LunarCalendar.h"
#include "win/LocalTime.h"

using namespace settings;

TEST(Settings, AtoiReadsLikeTheCLibraryButNeverOverflows) {
    EXPECT_EQ(Atoi("160"), 160);
    EXPECT_EQ(Atoi("  -12abc"), -12);
    EXPECT_EQ(Atoi("+7"), 7);
    EXPECT_EQ(Atoi("abc"), 0);
    EXPECT_EQ(Atoi(""), 0);
    EXPECT_EQ(Atoi("\t\n 42"), 42);
    EXPECT_EQ(Atoi("99999999999999999999"), INT_MAX);
    EXPECT_EQ(Atoi("-99999999999999999999"), INT_MIN);
}

TEST(Settings, SwitchesAndStyleCompareWholeStrings) {
    EXPECT_EQ(ParseSwitch("0"), Switch::Off);
    EXPECT_EQ(ParseSwitch("1"), Switch::On);
    EXPECT_EQ(ParseSwitch(""), Switch::Unchanged);
    EXPECT_EQ(ParseSwitch("2"), Switch::Unchanged);
    EXPECT_EQ(ParseSwitch("01"), Switch::Unchanged);
    EXPECT_EQ(ParseStyle("0"), 0);
    EXPECT_EQ(ParseStyle("1"), 1);
    EXPECT_EQ(ParseStyle("2"), 2);
    EXPECT_EQ(ParseStyle("7"), -1);
    EXPECT_EQ(ParseStyle(""), -1);
}

TEST(Settings, AlphaWrapsModulo256) {
    EXPECT_EQ(AlphaFromTransparency(""), 95);
    EXPECT_EQ(AlphaFromTransparency("0"), 95);
    EXPECT_EQ(AlphaFromTransparency("160"), 255);
    EXPECT_EQ(AlphaFromTransparency("161"), 0);
    EXPECT_EQ(AlphaFromTransparency("9999999"), (9999999 + 95) % 256);
    EXPECT_EQ(AlphaFromTransparency("-95"), 0);
    EXPECT_EQ(AlphaFromTransparency("-200"), 151);  // never negative
    EXPECT_EQ(AlphaFromTransparency("x"), 95);
}

TEST(Settings, PositionText) {
    WindowRect rc{};
    EXPECT_FALSE(ParsePosition("default", rc));
    EXPECT_FALSE(ParsePosition("", rc));
    ASSERT_TRUE(ParsePosition("10,20,300,200", rc));
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 20);
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 200);
    ASSERT_TRUE(ParsePosition("15", rc));  // no comma: the rest is the fourth number
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 0);
    EXPECT_EQ(rc.bottom, 15);
    ASSERT_TRUE(ParsePosition("1,2", rc));
    EXPECT_EQ(rc.left, 1);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 0);
    EXPECT_EQ(rc.bottom, 2);
    ASSERT_TRUE(ParsePosition("-5, 7 ,x,9,10", rc));
    EXPECT_EQ(rc.left, -5);
    EXPECT_EQ(rc.top, 7);
    EXPECT_EQ(rc.right, 0);
    EXPECT_EQ(rc.bottom, 9);  // "9,10" reads as 9
    const WindowRect back{-3, 4, 1000, 2000};
    ASSERT_TRUE(ParsePosition(FormatPosition(back), rc));
    EXPECT_EQ(FormatPosition(rc), "-3,4,1000,2000");
}

TEST(Settings, CentredRect) {
    const WindowRect rc = CentredRect(1024, 768, 414, 268);
    EXPECT_EQ(rc.left, 305);
    EXPECT_EQ(rc.top, 250);
    EXPECT_EQ(rc.right, 719);
    EXPECT_EQ(rc.bottom, 518);
}

TEST(LocalTime, Formats) {
    win::LocalTime t;
    t.nYear = 2024;
    t.nMonth = 3;
    t.nDay = 5;
    t.nHour = 8;
    t.nMinute = 30;
    t.nSecond = 0;
    EXPECT_EQ(t.Format("%Y-%m-%d"), "2024-03-05");
    EXPECT_EQ(t.Format("%H:%M:%S"), "08:30:00");
    EXPECT_EQ(t.Format("%Y年%m月%d日"), "2024年03月05日");
    EXPECT_EQ(t.Format("100%% %q%"), "100% %q%");
    const win::LocalTime now = win::LocalTime::Now();
    EXPECT_GE(now.nYear, 2024);
    EXPECT_TRUE(now.nMonth >= 1 && now.nMonth <= 12);
}

TEST(WebShortcuts, AddressesKeepTheirPathsAndRawGbkQuery) {
    EXPECT_EQ(shortcuts::AddressOf(32782),
              "http://www.baidu.com/s?wd=\xCC\xEC\xC6\xF8\xD4\xA4\xB1\xA8");  // 天气预报 in GBK
    EXPECT_EQ(shortcuts::AddressOf(32781), "http://www.hao123.com/haoserver/wotime.htm");
    EXPECT_EQ(shortcuts::AddressOf(32786), "http://apps.baidu.com/appweb/c?cid=1");
    for (int id = 32781; id <= 32787; ++id) {
        EXPECT_EQ(shortcuts::AddressOf(id).rfind("http://", 0), 0u) << id;
    }
    EXPECT_EQ(shortcuts::AddressOf(32787).find('/', 7), std::string::npos);  // host alone
    EXPECT_EQ(shortcuts::AddressOf(32776), "");
    EXPECT_EQ(shortcuts::AddressOf(32788), "");
}

TEST(TrayTip, FormatAndByteCutThatKeepsCharactersWhole) {
    EXPECT_EQ(tray::BuildTip("2024年02月10日", "龙(甲辰)年正月初一"),
              "Tavimor\r\n公历:2024年02月10日\r\n农历:龙(甲辰)年正月初一");
    // The longest lunar text still fits.
    EXPECT_LE(tray::BuildTip("2024年12月30日", "兔(癸卯)年闰十一月廿九").size(), tray::kTipBytes);
    // A text that must be cut loses whole characters only: here byte 63 is the
    // first byte of a character, which goes with its second.
    const std::string tip = tray::BuildTip("2024年02月10日", "龙(甲辰)年正月初一x龙龙龙龙龙龙龙龙龙龙");
    EXPECT_EQ(tip.size(), 62u);
    EXPECT_EQ(tip.substr(0, 28), "Tavimor\r\n公历:2024年02月10日");
    EXPECT_EQ(LunarCalendar::GbkCutBytes(tip, 63), tip);
}
