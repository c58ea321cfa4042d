#include "app/core/WebShortcuts.h"

namespace shortcuts {

namespace {
struct Shortcut {
    int nId;
    const char* host;
    const char* path;
};

// Hosts: one well-known Chinese site of each kind. The paths are the ones the
// menu has always opened.
const Shortcut kShortcuts[] = {
    {32782, "www.baidu.com", "/s?wd=天气预报"},          // weather, through the search engine
    {32784, "www.laohuangli.net", "/"},                  // almanac (老黄历)
    {32781, "www.hao123.com", "/haoserver/wotime.htm"},  // web directory: world clock
    {32783, "www.radio.cn", "/"},                        // internet radio
    {32785, "music.baidu.com", "/"},                     // the search engine's music search
    {32786, "apps.baidu.com", "/appweb/c?cid=1"},        // the search engine's web applications
    {32787, "www.xzw.com", ""},                          // horoscope (host alone)
};
}  // namespace

std::string AddressOf(int nCommandId) {
    for (const Shortcut& s : kShortcuts) {
        if (s.nId == nCommandId) return std::string("http://") + s.host + s.path;
    }
    return std::string();
}

}  // namespace shortcuts
