// The settings file's values and the tray tip fed arbitrary text.
//
// Whatever a hand-edited Quorvel.ini holds, reading it must not go wrong:
// numbers read as the C library reads them (saturated to int), a saved place
// written back reads as the same place and fits the room it is read with, the
// alpha is a byte; the tray tip fits its 63 bytes without cutting a GBK
// character in two.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "app/core/TrayTip.h"
#include "app/core/WindowSettings.h"

namespace {

bool SameRect(const settings::WindowRect& a, const settings::WindowRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The C library's reading of a decimal number, saturated to int.
int ReferenceAtoi(const std::string& text) {
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

void CheckNumbers(const std::string& text) {
    FUZZ_CHECK(settings::Atoi(text) == ReferenceAtoi(text));

    const int alpha = settings::AlphaFromTransparency(text);
    FUZZ_CHECK(alpha >= 0 && alpha <= 255);
    const long long sum = static_cast<long long>(settings::Atoi(text)) + settings::kOpacityBase;
    FUZZ_CHECK((sum - alpha) % 256 == 0);

    const settings::Switch sw = settings::ParseSwitch(text);
    FUZZ_CHECK(sw == (text == "0"   ? settings::Switch::Off
                      : text == "1" ? settings::Switch::On
                                    : settings::Switch::Unchanged));
    const int style = settings::ParseStyle(text);
    FUZZ_CHECK(style >= -1 && style <= 2);
    FUZZ_CHECK(style == -1 || text == std::string(1, static_cast<char>('0' + style)));
}

void CheckPosition(const std::string& text) {
    const settings::WindowRect untouched{-7, -7, -7, -7};
    settings::WindowRect rc = untouched;
    const bool saved = settings::ParsePosition(text, rc);
    FUZZ_CHECK(saved == !(text.empty() || text == settings::kDefaultPosition));
    if (!saved) {
        FUZZ_CHECK(SameRect(rc, untouched));
        return;
    }
    // The first number reads up to the first comma; with no comma at all the
    // whole text is the fourth.
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos) {
        FUZZ_CHECK(rc.left == settings::Atoi(text.substr(0, comma)));
    } else {
        FUZZ_CHECK(SameRect(rc, settings::WindowRect{0, 0, 0, settings::Atoi(text)}));
    }
    const std::string written = settings::FormatPosition(rc);
    FUZZ_CHECK(written.size() <= static_cast<std::size_t>(settings::kPositionChars));
    settings::WindowRect again = untouched;
    FUZZ_CHECK(settings::ParsePosition(written, again));
    FUZZ_CHECK(SameRect(again, rc));
}

void CheckAnyRect(const settings::WindowRect& rc) {
    const std::string written = settings::FormatPosition(rc);
    FUZZ_CHECK(written.size() <= static_cast<std::size_t>(settings::kPositionChars));
    settings::WindowRect back{};
    FUZZ_CHECK(settings::ParsePosition(written, back));
    FUZZ_CHECK(SameRect(back, rc));
}

void CheckTrayTip(const std::string& date, const std::string& lunar) {
    const std::string full = "Tavimor\r\n公历:" + date + "\r\n农历:" + lunar;
    const std::string tip = tray::BuildTip(date, lunar);
    fuzz::CheckGbkCut(full, tip, tray::kTipBytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const settings::WindowRect rc{in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                                  in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>()};
    const std::string first = in.ConsumeRandomLengthString(200);
    const std::string second = in.ConsumeRemainingBytesAsString();

    CheckNumbers(first);
    CheckNumbers(second);
    CheckPosition(first);
    CheckPosition(second);
    CheckAnyRect(rc);
    CheckTrayTip(first, second);
    return 0;
}
