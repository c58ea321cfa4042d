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
        // A name that does not fit whole is left out: a fragment of it would say nothing.
        const std::string name = std::string(" ") + dayOff.szHoliday;
        const bool fits = name.size() > 1 && head.size() + name.size() + mark.size() + tail.size() <= kTipBytes;
        holiday = (fits ? name : "") + mark;
    }
    return GbkCutBytes(head + holiday + tail, kTipBytes);
}

}  // namespace tray
