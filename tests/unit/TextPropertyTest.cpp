// Seeded random texts, made of pieces of known meaning, through the statement
// builders and the GBK <-> UTF-16 conversion.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "storage/GbkText.h"
#include "storage/Statements.h"

namespace {
// A random value as typed, and as stored: a lead byte left without its second half is '?'.
void RandomValue(std::mt19937& rng, std::string& typed, std::string& stored) {
    static const char* const kPieces[][2] = {{"a", "a"}, {"'", "'"}, {"''", "''"}, {"%s%d\\\r\n", "%s%d\\\r\n"}, {"\xFF", "\xFF"},
                                             {"\x81 ", "? "}, {"\xB4'", "?'"}, {"\x81\x40\xFE\xFE\x95\x5C\xB0\x7E\xB0\x80", "\x81\x40\xFE\xFE\x95\x5C\xB0\x7E\xB0\x80"}};
    for (unsigned n = rng() % 7; n > 0; --n) {
        const auto& piece = kPieces[rng() % std::size(kPieces)];
        typed += piece[0], stored += piece[1];
    }
    if (rng() % 4 == 0) typed += "\xC3", stored += "?";  // cut after a lead byte
}

// A statement as a GBK-aware SQL reader sees it (a lead byte takes the next
// byte along): the text around its strings, then each string un-doubled.
std::vector<std::string> ReadBack(const std::string& sql) {
    std::vector<std::string> read(1);
    bool bInString = false;
    for (size_t i = 0; i < sql.size(); ++i) {
        std::string& out = read[bInString ? read.size() - 1 : 0];
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        if (c >= 0x81 && c <= 0xFE) out.append(sql, i++, 2);
        else if (c != '\'') out += sql[i];
        else if (!bInString) bInString = true, read[0] += '\'', read.emplace_back();
        else if (i + 1 < sql.size() && sql[i + 1] == '\'') out += sql[++i];
        else bInString = false;
    }
    if (bInString) read[0] += "<string left open>";
    return read;
}
}  // namespace

TEST(TextProperty, EveryValueReadsBackFromItsPlaceAndNothingElseMoves) {
    std::mt19937 rng(2024);
    for (int n = 0; n < 3000; ++n) {
        std::string t[6], stored[6], e[6];  // the values as typed, as stored, and empty ones
        for (int k = 0; k < 6; ++k) RandomValue(rng, t[k], stored[k]);
        const int a = static_cast<int>(rng()), b = static_cast<int>(rng());
        const auto build = [&](const std::string* s) {  // every statement, its texts in argument order
            return std::vector<std::string>{MemoInsertSql(s[0], s[1], s[2], s[3], s[4], s[5], a), MemoDeleteSql(s[0]),
                MemoUpdateSql(s[0], s[1], s[2], s[3], s[4], a, s[5]), AnniversaryInsertSql(s[0], s[1], s[2], a, s[3], b),
                AnniversaryUpdateSql(s[0], s[1], a, s[2], b, s[3]), AnniversaryDeleteSql(s[0])};
        };
        const std::vector<std::string> built = build(t), blank = build(e);
        for (size_t i = 0; i < built.size(); ++i) {
            std::vector<std::string> want = ReadBack(blank[i]);
            for (size_t k = 1; k < want.size(); ++k) want[k] = stored[k - 1];
            ASSERT_EQ(ReadBack(built[i]), want) << built[i];
        }
    }
}

TEST(TextProperty, GbkAndUtf16ConvertPieceByPiece) {
    // GBK (none: not in GBK), its UTF-16, and that UTF-16 in GBK. Bytes that
    // are not GBK, characters outside it and stray surrogates: one '?' each.
    static const struct { const char* gbk; const char16_t* wide; const char* back; } kPieces[] = {
        {"a", u"a", "a"}, {"闹钟'\r\n?", u"闹钟'\r\n?", "闹钟'\r\n?"}, {"\x81 ", u"? ", "? "}, {"\xFF", u"?", "?"},
        {nullptr, u"\u0E01", "?"}, {nullptr, u"\U0001F600", "?"}, {nullptr, u"\xDC00", "?"}, {nullptr, u"\xD800x", "?x"}};
    std::mt19937 rng(936);
    for (int n = 0; n < 3000; ++n) {
        std::string gbk, back;
        std::u16string wideOfGbk, wide;
        for (unsigned k = n % 500 ? rng() % 12 : 3000; k > 0; --k) {  // now and then long and valid, past any buffer
            const auto& piece = kPieces[n % 500 ? rng() % std::size(kPieces) : rng() % 2];
            wide += piece.wide, back += piece.back;
            if (piece.gbk) gbk += piece.gbk, wideOfGbk += piece.wide;
        }
        if (rng() % 4 == 0) gbk += "\xB4", wideOfGbk += u"?";  // cut after a lead byte
        ASSERT_EQ(GbkToUtf16(gbk), wideOfGbk) << gbk;
        ASSERT_EQ(Utf16ToGbk(wide), back);
    }
}
