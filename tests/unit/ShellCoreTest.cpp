// Worked examples of the shell's portable rules: how the settings file's
// values read, the tray tip, the date formats (the web addresses: test_calendar).
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "app/core/TrayTip.h"
#include "app/core/WindowSettings.h"
#include "win/LocalTime.h"

using namespace settings;

namespace {
std::vector<int> Fields(const WindowRect& rc) { return {rc.left, rc.top, rc.right, rc.bottom}; }
}  // namespace

TEST(Settings, SwitchesAndStyles) {
    // How numbers and opacity read: SettingsPropertyTest.
    const struct { const char* text; Switch sw; int nStyle; } cases[] = {
        {"", Switch::Unchanged, -1},   {"0", Switch::Off, 0},         {"1", Switch::On, 1},
        {"2", Switch::Unchanged, 2},   {"01", Switch::Unchanged, -1}, {"  -12abc", Switch::Unchanged, -1},
        {"3", Switch::Unchanged, -1},  {" 1", Switch::Unchanged, -1}, {"99999999999999999999", Switch::Unchanged, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSwitch(c.text), c.sw) << c.text;
        EXPECT_EQ(ParseStyle(c.text), c.nStyle) << c.text;
    }
}

TEST(Settings, PositionTextAndCentredPlace) {
    const struct { const char* text; bool bSaved; std::vector<int> rc; } cases[] = {
        {"default", false, {9, 9, 9, 9}}, {"", false, {9, 9, 9, 9}},    {"10,20,300,200", true, {10, 20, 300, 200}},
        {"15", true, {0, 0, 0, 15}},      {"1,2", true, {1, 0, 0, 2}}, {"-5, 7 ,x,9,10", true, {-5, 7, 0, 9}},
    };
    for (const auto& c : cases) {
        WindowRect rc{9, 9, 9, 9};
        EXPECT_EQ(ParsePosition(c.text, rc), c.bSaved) << c.text;
        EXPECT_EQ(Fields(rc), c.rc) << c.text;
    }
    // A place written reads back as the same place, whatever its numbers.
    for (const WindowRect& place : {WindowRect{-3, 4, 1000, 2000}, WindowRect{INT_MIN, -1, 0, INT_MAX}}) {
        WindowRect back{};
        EXPECT_TRUE(ParsePosition(FormatPosition(place), back));
        EXPECT_EQ(Fields(back), Fields(place)) << FormatPosition(place);
    }
    EXPECT_EQ(FormatPosition({-3, 4, 1000, 2000}), "-3,4,1000,2000");
    EXPECT_EQ(Fields(CentredRect(1024, 768, 414, 268)), (std::vector<int>{305, 250, 719, 518}));
}

TEST(Settings, ASavedPlaceIsUsedOnlyWhereTheWindowCanBeSeenAndDragged) {
    // A 1024 x 768 screen with its taskbar below y 740, and a second monitor to its right.
    const std::vector<WindowRect> areas = {{0, 0, 1024, 740}, {1024, 0, 2304, 700}};
    const struct { WindowRect rc; bool bUsable; } cases[] = {
        {{30, 40, 444, 308}, true},         {{-374, -228, 40, 40}, true},      // 40 x 40 pixels showing
        {{-375, -228, 39, 40}, false},      {{1016, 756, 1430, 1026}, false},  // under the taskbar
        {{2000, 400, 2414, 668}, true},    {{2304, 0, 2718, 268}, false},     // on, beside the second one
        {{0, 0, 30000, 20000}, false},      {{0, 0, 828, 536}, true},          // twice the size at most
        {{0, 0, 206, 134}, false},          {{0, 0, 207, 134}, true},          // half the size at least
        {{500, 300, 100, 100}, false},      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsUsablePlace(c.rc, 414, 268, areas), c.bUsable) << FormatPosition(c.rc);
}

TEST(Shell, TrayTipAndDateFormats) {
    // The longest lunar text fits whole; a holiday's name gives way to it, the mark does not.
    EXPECT_EQ(tray::BuildTip("2024年12月30日", "兔(癸卯)年闰十一月廿九"),
              "Tavimor\r\n公历:2024年12月30日\r\n农历:兔(癸卯)年闰十一月廿九");
    EXPECT_EQ(tray::BuildTip("2026年10月01日", "马(丙午)年八月廿一", {LunarCalendar::DayOffRest, "国庆节"}),
              "Tavimor\r\n公历:2026年10月01日 国庆节 休\r\n农历:马(丙午)年八月廿一");
    EXPECT_EQ(tray::BuildTip("2015年09月03日", "兔(癸卯)年闰十一月廿九", LunarCalendar::FindBuiltInDayOff(2015, 9, 3)),
              "Tavimor\r\n公历:2015年09月03日 休\r\n农历:兔(癸卯)年闰十一月廿九");
    win::LocalTime t;
    t.nYear = 2024, t.nMonth = 3, t.nDay = 5, t.nHour = 8, t.nMinute = 30, t.nSecond = 0;
    EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), "2024-03-05 08:30:00");
    EXPECT_EQ(t.Format("%Y年%m月%d日"), "2024年03月05日");
    EXPECT_EQ(t.Format("100%% %q%"), "100% %q%");
    const win::LocalTime now = win::LocalTime::Now();
    EXPECT_TRUE(now.nYear >= 2024 && now.nMonth >= 1 && now.nMonth <= 12) << now.nYear << "-" << now.nMonth;
}
