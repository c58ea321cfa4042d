#include "app/core/WebShortcuts.h"

#include "res/resource.h"

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
    {ID_MENU_WEATHER, "www.baidu.com", "/s?wd=天气预报"},          // weather, through the search engine
    {ID_MENU_ALMANAC, "www.laohuangli.net", "/"},                  // almanac (老黄历)
    {ID_MENU_WORLD_CLOCK, "www.hao123.com", "/haoserver/wotime.htm"},  // web directory: world clock
    {ID_MENU_RADIO, "www.radio.cn", "/"},                        // internet radio
    {ID_MENU_MUSIC, "music.baidu.com", "/"},                     // the search engine's music search
    {ID_MENU_GAMES, "apps.baidu.com", "/appweb/c?cid=1"},        // the search engine's web applications
    {ID_MENU_HOROSCOPE, "www.xzw.com", ""},                          // horoscope (host alone)
};
}  // namespace

std::string AddressOf(int nCommandId) {
    for (const Shortcut& s : kShortcuts) {
        if (s.nId == nCommandId) return std::string("http://") + s.host + s.path;
    }
    return std::string();
}

}  // namespace shortcuts
