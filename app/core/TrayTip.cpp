#include "app/core/TrayTip.h"

#include "engine/LunarCalendar.h"
#include "res/resource.h"

namespace tray {

std::string BuildTip(const std::string& strDate, const std::string& strLunar) {
    const std::string tip = QUORVEL_TITLE "\r\n公历:" + strDate + "\r\n农历:" + strLunar;
    return LunarCalendar::GbkCutBytes(tip, kTipBytes);
}

}  // namespace tray
