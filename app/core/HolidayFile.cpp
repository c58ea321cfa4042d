#include "app/core/HolidayFile.h"

#include <algorithm>

#include "engine/LunarCalendar.h"
#include "storage/GbkText.h"

namespace holidays {

namespace {

using LunarCalendar::GbkCharLength;

// UTF-8 as UTF-16; a byte that starts no valid sequence (overlong forms,
// surrogates and code points past U+10FFFF included) becomes U+FFFD. False when
// there was one: GBK text with Chinese in it is never valid UTF-8.
bool DecodeUtf8(const std::string& s, std::u16string& out) {
    static const char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    bool valid = true;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t more = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
                                 : c >= 0xF0 && c <= 0xF4 ? 3 : 4;
        char32_t code = c & (0x7F >> more);
        std::size_t k = 1;
        for (; more < 4 && k <= more && i + k < s.size() && (s[i + k] & 0xC0) == 0x80; ++k) {
            code = (code << 6) | (s[i + k] & 0x3F);
        }
        if (more == 4 || k <= more || code < kLeast[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out += static_cast<char16_t>(0xFFFD);
            valid = false;
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            code = 0xDC00 + (code & 0x3FF);
        }
        out += static_cast<char16_t>(code);
        i += more + 1;
    }
    return valid;
}

std::string ToGbk(const std::string& s) {
    const auto startsWith = [&](const char* bom) { return s.compare(0, std::char_traits<char>::length(bom), bom) == 0; };
    if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        const int high = startsWith("\xFE\xFF") ? 0 : 1;  // big-endian: the high byte first
        std::u16string wide;
        for (std::size_t i = 2; i + 1 < s.size(); i += 2) {
            wide += static_cast<char16_t>(static_cast<unsigned char>(s[i + high]) << 8 |
                                          static_cast<unsigned char>(s[i + 1 - high]));
        }
        return Utf16ToGbk(wide);
    }
    const bool bom = startsWith("\xEF\xBB\xBF");
    const std::string text = s.substr(bom ? 3 : 0);
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return text;  // ASCII reads the same in every encoding
    }
    std::u16string wide;
    return DecodeUtf8(text, wide) || bom ? Utf16ToGbk(wide) : text;
}

// The length of the blank (space, tab, full-width space) at i, or 0.
std::size_t BlankAt(const std::string& s, std::size_t i) {
    if (s[i] == ' ' || s[i] == '\t') return 1;
    return s.compare(i, 2, "\xA1\xA1") == 0 ? 2 : 0;  // 　 in GBK
}

// Up to three fields split at blanks; the third is the rest of the line.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t i = 0, lastEnd = 0, start = std::string::npos;
    while (i <= line.size()) {
        const std::size_t blank = i < line.size() ? BlankAt(line, i) : 1;
        if (blank == 0) {
            if (start == std::string::npos) start = i;
            i += GbkCharLength(line, i);
            lastEnd = i;
            continue;
        }
        if (start != std::string::npos && fields.size() < 2) {
            fields.push_back(line.substr(start, i - start));
            start = std::string::npos;
        }
        i += blank;
    }
    if (start != std::string::npos) fields.push_back(line.substr(start, lastEnd - start));
    return fields;
}

// 2027-01-01, 2027-1-1, 2027/1/1, 2027.1.1 as yyyymmdd; 0 when it is no date.
int DateOf(const std::string& text) {
    const std::size_t first = text.find_first_of("-/.");
    if (first != 4) return 0;
    const std::size_t second = text.find(text[first], first + 1);
    if (second == std::string::npos || second - first < 2 || second - first > 3 || text.size() - second < 2 ||
        text.size() - second > 3) {
        return 0;
    }
    int numbers[3] = {0, 0, 0};
    int field = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == first || i == second) {
            ++field;
        } else if (text[i] >= '0' && text[i] <= '9') {
            numbers[field] = numbers[field] * 10 + (text[i] - '0');
        } else {
            return 0;
        }
    }
    const int year = numbers[0], month = numbers[1], day = numbers[2];
    if (year < 1 || day < 1 || day > LunarCalendar::GetDaysInMonth(year, month)) return 0;
    return year * 10000 + month * 100 + day;
}

}  // namespace

HolidayText ParseHolidayText(const std::string& strBytes) {
    HolidayText result;
    const std::string text = ToGbk(strBytes);
    int number = 0;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        ++number;
        // '#' and the line ends are single bytes that no GBK character contains.
        line.erase(std::min(line.find('#'), line.size()));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> fields = Fields(line);
        if (fields.empty()) continue;
        const int date = DateOf(fields[0]);
        const std::string mark = fields.size() > 1 ? fields[1] : "";
        if (date == 0 || (mark != "休" && mark != "班")) {
            result.badLines.push_back(number);
            continue;
        }
        result.days.push_back({date, mark == "休" ? LunarCalendar::DayOffRest : LunarCalendar::DayOffWork,
                               fields.size() > 2 ? fields[2] : ""});
    }
    return result;
}

}  // namespace holidays
