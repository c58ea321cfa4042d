#include "app/core/TrayTip.h"

#include "engine/LunarCalendar.h"
#include "res/resource.h"

namespace tray {

std::string BuildTip(const std::string& strDate, const std::string& strLunar, const LunarCalendar::DayOff& dayOff) {
    using namespace LunarCalendar;
    const std::string head = QUORVEL_TITLE "\r\n公历:" + strDate;
    const std::string tail = "\r\n农历:" + strLunar;
    std::string holiday;
    if (dayOff.mark != DayOffNone) {
        const std::string mark = std::string(" ") + GetDayOffMarkText(dayOff.mark);
        const std::size_t used = head.size() + tail.size() + mark.size() + 1;  // 1: the space before the name
        const std::string name = GbkCutBytes(dayOff.szHoliday, used < kTipBytes ? kTipBytes - used : 0);
        holiday = (name.empty() ? "" : " " + name) + mark;
    }
    return GbkCutBytes(head + holiday + tail, kTipBytes);
}

}  // namespace tray
