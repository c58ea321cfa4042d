// The days off and workdays: the built-in table against its data, the user's
// file as Notepad saves it, the user's days over the built-in ones.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/core/HolidayFile.h"
#include "engine/LunarCalendar.h"
#include "storage/GbkText.h"

using namespace LunarCalendar;

namespace LunarCalendar {  // where the vector's comparison finds it
static bool operator==(const UserDayOff& a, const UserDayOff& b) {
    return a.nDate == b.nDate && a.mark == b.mark && a.strHoliday == b.strHoliday;
}
}  // namespace LunarCalendar

// The data is itself a file of the user's kind, tab-separated: every row read
// from it is in the table, and no other day is.
TEST(DaysOff, TheBuiltInTableHoldsEveryAnnouncedDayAndNoOther) {
    std::ifstream in(QUORVEL_DATA_DIR "/cn-days-off-2004-2026.tsv", std::ios::binary);
    const holidays::HolidayText data =
        holidays::ParseHolidayText(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    ASSERT_EQ(data.badLines, std::vector<int>{4});  // the header
    ASSERT_GE(data.days.size(), 769u);               // 2004..2026
    for (const UserDayOff& day : data.days) {
        const DayOff found = FindBuiltInDayOff(day.nDate / 10000, day.nDate / 100 % 100, day.nDate % 100);
        EXPECT_TRUE(found.mark == day.mark && found.szHoliday == day.strHoliday) << day.nDate;
    }
    std::size_t marked = 0;  // over the years of the data and one on either side; a month at once as day by day
    for (int month = (data.days.front().nDate / 10000 - 1) * 12; month < (data.days.back().nDate / 10000 + 2) * 12; ++month) {
        const int y = month / 12, m = month % 12 + 1;
        DayOffMark marks[31];
        DaysOff().FindMonth(y, m, marks);
        for (int d = 1; d <= 31; ++d) {
            marked += marks[d - 1] != DayOffNone;
            ASSERT_EQ(marks[d - 1], d <= GetDaysInMonth(y, m) ? FindBuiltInDayOff(y, m, d).mark : DayOffNone) << y << m << d;
        }
    }
    EXPECT_EQ(marked, data.days.size());
}

TEST(DaysOff, TheUsersFileInEachEncodingNotepadSaves) {
    // Blank and comment lines, CR LF, tabs, a full-width space, short months;
    // bad: no such day, no mark, no separators.
    const std::u16string text = u"# 2027 年\r\n2027-01-01 休 元旦\r\n\r\n \t\r\n2027/1/2\t休\t元旦 # 周六\r\n"
                                u"2027.02.06　班\r\n2027-02-29 休 春节\r\n2027-02-07 放假\r\n20270208 休\r\n2027-2-9 休 春 节";
    std::string utf8, utf16 = "\xFF\xFE";
    for (const char16_t c : text) {
        utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        if (c < 0x80) utf8 += static_cast<char>(c);
        else utf8 += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    const std::vector<UserDayOff> days = {{20270101, DayOffRest, "元旦"}, {20270102, DayOffRest, "元旦"},
                                          {20270206, DayOffWork, ""}, {20270209, DayOffRest, "春 节"}};
    for (const std::string& bytes : {Utf16ToGbk(text), utf8, "\xEF\xBB\xBF" + utf8, utf16}) {
        const holidays::HolidayText read = holidays::ParseHolidayText(bytes);
        EXPECT_EQ(read.days, days) << bytes;
        EXPECT_EQ(read.badLines, (std::vector<int>{7, 8, 9})) << bytes;
    }
}

TEST(DaysOff, TheUsersDaysOverTheBuiltInOnes) {
    DaysOff days;
    days.SetUserDays({{20261001, DayOffWork, "调休"}, {21500101, DayOffRest, "元旦"}, {21500101, DayOffWork, "后写的"}});
    const struct { int y, m, d; DayOffMark mark; const char* holiday; } cases[] = {
        {2026, 10, 1, DayOffWork, "调休"}, {2026, 10, 2, DayOffRest, "国庆节"},  // over a built-in day, and beside it
        {2150, 1, 1, DayOffWork, "后写的"}, {2150, 1, 2, DayOffNone, ""},      // beyond both tables; the later line
    };
    for (const auto& c : cases) {
        const DayOff found = days.Find(c.y, c.m, c.d);
        DayOffMark marks[31];
        days.FindMonth(c.y, c.m, marks);
        EXPECT_TRUE(found.mark == c.mark && marks[c.d - 1] == c.mark && std::string(found.szHoliday) == c.holiday)
            << c.y << "-" << c.m << "-" << c.d;
    }
}
