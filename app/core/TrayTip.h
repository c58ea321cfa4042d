// The tray icon's tooltip.
#pragma once

#include <string>

#include "engine/DaysOff.h"

namespace tray {

// The tip field holds 63 bytes and its terminating zero.
constexpr std::size_t kTipBytes = 63;

// "<title>\r\n公历:<date>\r\n农历:<lunar>", cut to 63 bytes without splitting
// a double-byte character. On a day off or workday the date is followed by
// the holiday and the mark ("国庆节 休"); a name too long for the tip is left
// out, the mark and the lunar date are kept.
std::string BuildTip(const std::string& strDate, const std::string& strLunar,
                     const LunarCalendar::DayOff& dayOff = {LunarCalendar::DayOffNone, ""});

}  // namespace tray
