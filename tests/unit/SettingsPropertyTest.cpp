// Seeded random settings values and tray texts: whatever a hand-edited Quorvel.ini holds reads right.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <string>

#include "app/core/TrayTip.h"
#include "app/core/WindowSettings.h"

using namespace settings;

// Digit runs long enough to leave the int range, signs, blanks, commas, GBK
// characters, a lone lead byte.
static std::string RandomText(std::mt19937& rng) {
    static const char* const kPieces[] = {" ", "\t", "\r\n", "+", "-", ",", "x", "default", "春", "\xB4"};
    std::string text;
    for (unsigned n = rng() % 8; n > 0; --n) {
        if (rng() % 2) text += kPieces[rng() % std::size(kPieces)];
        else for (unsigned k = 1 + rng() % 21; k > 0; --k) text += static_cast<char>('0' + rng() % 10);
    }
    return text;
}

TEST(SettingsProperty, NumbersReadLikeTheCLibrarySaturatedToInt) {
    std::mt19937 rng(160);
    for (int n = 0; n < 5000; ++n) {
        const std::string text = RandomText(rng);
        const long long wide = std::strtoll(text.c_str(), nullptr, 10);
        ASSERT_EQ(Atoi(text), wide > INT_MAX ? INT_MAX : wide < INT_MIN ? INT_MIN : wide) << text;
        const int alpha = AlphaFromTransparency(text);
        ASSERT_TRUE(alpha >= 0 && alpha <= 255 && (Atoi(text) + 95LL - alpha) % 256 == 0) << text;
    }
}

TEST(SettingsProperty, TrayTipIsTheLongestWholeCharacterPrefixThatFits) {
    std::mt19937 rng(63);
    for (int n = 0; n < 3000; ++n) {
        const std::string date = RandomText(rng), lunar = RandomText(rng) + RandomText(rng);
        const std::string full = "Tavimor\r\n公历:" + date + "\r\n农历:" + lunar;
        // As many whole characters as fit, from the front; a lead byte takes the next byte along.
        size_t end = 0;
        for (size_t next; end < full.size(); end = next) {
            next = end + (static_cast<unsigned char>(full[end]) >= 0x81 && full[end] != '\xFF' && end + 1 < full.size() ? 2 : 1);
            if (next > tray::kTipBytes) break;
        }
        ASSERT_EQ(tray::BuildTip(date, lunar), full.substr(0, end)) << full;
    }
}
