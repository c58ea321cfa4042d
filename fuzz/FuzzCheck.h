// What the fuzzers share: a check that stops the run with a message, and the
// rules of GBK (code page 936) that the texts must keep.
//
// ASCII only: this header is included as it is, not through the GBK copy.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

// A failed check aborts, which libFuzzer reports as a crash and saves the input.
#define FUZZ_CHECK(cond)                                                              \
    do {                                                                              \
        if (!(cond)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                             \
        }                                                                             \
    } while (0)

namespace fuzz {

// The first byte of a double-byte character: 0x81..0xFE. Windows (and every
// GBK-aware reader, an SQL lexer too) takes the byte after it as its second
// half, whatever that byte is.
inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// A byte that can end a double-byte character.
inline bool IsTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// Well-formed GBK: every lead byte is followed by a trail byte.
inline bool IsWellFormedGbk(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!IsLeadByte(static_cast<unsigned char>(s[i]))) continue;
        if (i + 1 >= s.size() || !IsTrailByte(static_cast<unsigned char>(s[i + 1]))) return false;
        ++i;
    }
    return true;
}

// The size of the character that starts at byte offset pos: a lead byte takes
// the next byte with it, except as the very last byte of the text.
inline std::size_t CharSizeAt(const std::string& s, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size() ? 2 : 1;
}

// Whether byte offset pos of s starts a character (or is the end), reading s
// from the start the way a GBK-aware reader does.
inline bool IsCharBoundary(const std::string& s, std::size_t pos) {
    std::size_t i = 0;
    while (i < pos) i += CharSizeAt(s, i);
    return i == pos;
}

inline bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Checks a cut of full to at most n bytes: a prefix, no longer than n, that
// ends on a character boundary, and the longest such prefix.
inline void CheckGbkCut(const std::string& full, const std::string& cut, std::size_t n) {
    FUZZ_CHECK(cut.size() <= n);
    FUZZ_CHECK(StartsWith(full, cut));
    FUZZ_CHECK(IsCharBoundary(full, cut.size()));
    if (cut.size() < full.size()) {
        // Only a double-byte character that would end past n may be left out.
        FUZZ_CHECK(cut.size() + CharSizeAt(full, cut.size()) > n);
    }
}

}  // namespace fuzz
