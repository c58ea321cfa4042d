// The tray icon's tooltip.
#pragma once

#include <string>

namespace tray {

// The tip field holds 63 bytes and its terminating zero.
constexpr std::size_t kTipBytes = 63;

// "<title>\r\n公历:<date>\r\n农历:<lunar>", cut to 63 bytes without splitting
// a double-byte character.
std::string BuildTip(const std::string& strDate, const std::string& strLunar);

}  // namespace tray
