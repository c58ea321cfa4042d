#include "app/core/WindowSettings.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace settings {

int Atoi(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

Switch ParseSwitch(const std::string& value) {
    if (value == "0") return Switch::Off;
    if (value == "1") return Switch::On;
    return Switch::Unchanged;
}

int ParseStyle(const std::string& value) {
    if (value == "0") return 0;
    if (value == "1") return 1;
    if (value == "2") return 2;
    return -1;
}

int AlphaFromTransparency(const std::string& value) {
    const long long sum = static_cast<long long>(Atoi(value)) + kOpacityBase;
    return static_cast<int>(((sum % 256) + 256) % 256);
}

bool ParsePosition(const std::string& value, WindowRect& rc) {
    if (value.empty() || value == kDefaultPosition) return false;
    std::string rest = value;
    int numbers[3];
    for (int& n : numbers) {
        const size_t comma = rest.find(',');
        if (comma == std::string::npos) {
            n = 0;
        } else {
            n = Atoi(rest.substr(0, comma));
            rest.erase(0, comma + 1);
        }
    }
    rc = WindowRect{numbers[0], numbers[1], numbers[2], Atoi(rest)};
    return true;
}

std::string FormatPosition(const WindowRect& rc) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}

bool IsUsablePlace(const WindowRect& rc, int nWidth, int nHeight, const std::vector<WindowRect>& workAreas) {
    // In 64 bits: a saved text may hold any int.
    const long long width = static_cast<long long>(rc.right) - rc.left;
    const long long height = static_cast<long long>(rc.bottom) - rc.top;
    if (2 * width < nWidth || width > 2LL * nWidth || 2 * height < nHeight || height > 2LL * nHeight) return false;
    for (const WindowRect& area : workAreas) {
        const long long x = static_cast<long long>(std::min(rc.right, area.right)) - std::max(rc.left, area.left);
        const long long y = static_cast<long long>(std::min(rc.bottom, area.bottom)) - std::max(rc.top, area.top);
        if (x >= kGripPixels && y >= kGripPixels) return true;
    }
    return false;
}

WindowRect CentredRect(int nScreenWidth, int nScreenHeight, int nClientWidth, int nClientHeight) {
    const int left = (nScreenWidth - nClientWidth) / 2;
    const int top = (nScreenHeight - nClientHeight) / 2;
    return WindowRect{left, top, left + nClientWidth, top + nClientHeight};
}

}  // namespace settings
