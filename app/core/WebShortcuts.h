// The addresses of the menu's web shortcuts.
#pragma once

#include <string>

namespace shortcuts {

// "http://" + host + path for a menu command, or empty for any other id.
// The weather query is GBK text as it stands, not percent-encoded.
std::string AddressOf(int nCommandId);

}  // namespace shortcuts
