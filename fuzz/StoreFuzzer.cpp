// The store's statement texts and its GBK <-> UTF-16 conversion fed
// arbitrary bytes.
//
// A value typed by the user must never change the statement around it: read
// the way the database reads GBK text (a lead byte takes the next byte with
// it), each value is one quoted string in its place, which un-doubles to the
// value, and the text outside the quotes is the fixed statement. The
// conversion must survive any bytes and give valid GBK back exactly.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "storage/GbkText.h"
#include "storage/Statements.h"

using fuzz::IsLeadByte;
using fuzz::IsTrailByte;

namespace {

// A statement split the way a GBK-aware SQL lexer splits it: the contents of
// each '...' string (still doubled) and the text outside them, with a \x01
// standing for each string.
struct Lexed {
    std::vector<std::string> quoted;
    std::string outside;
};

Lexed Lex(const std::string& sql) {
    Lexed out;
    std::size_t i = 0;
    while (i < sql.size()) {
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        if (IsLeadByte(c)) {
            FUZZ_CHECK(i + 1 < sql.size() && IsTrailByte(static_cast<unsigned char>(sql[i + 1])));
            out.outside.append(sql, i, 2);
            i += 2;
        } else if (c == '\'') {
            std::string body;
            ++i;
            for (;;) {
                FUZZ_CHECK(i < sql.size());  // every string is closed
                const unsigned char b = static_cast<unsigned char>(sql[i]);
                if (IsLeadByte(b)) {
                    FUZZ_CHECK(i + 1 < sql.size() && IsTrailByte(static_cast<unsigned char>(sql[i + 1])));
                    body.append(sql, i, 2);
                    i += 2;
                } else if (b == '\'') {
                    if (i + 1 < sql.size() && sql[i + 1] == '\'') {
                        body += "''";
                        i += 2;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    body += sql[i++];
                }
            }
            out.quoted.push_back(body);
            out.outside += '\x01';
        } else {
            out.outside += sql[i++];
        }
    }
    return out;
}

// The quoted value back: '' read as one quote.
std::string Undouble(const std::string& body) {
    std::string value;
    for (std::size_t i = 0; i < body.size(); ++i) {
        value += body[i];
        if (IsLeadByte(static_cast<unsigned char>(body[i])) && i + 1 < body.size()) {
            value += body[++i];
        } else if (body[i] == '\'') {
            ++i;  // the doubling
        }
    }
    return value;
}

void CheckQuote(const std::string& value) {
    const std::string quoted = SqlQuote(value);
    // Pasted between quotes, the value is one string that ends where it should.
    const Lexed lexed = Lex("'" + quoted + "'");
    FUZZ_CHECK(lexed.quoted.size() == 1 && lexed.outside == "\x01");
    const std::string back = Undouble(lexed.quoted[0]);
    if (fuzz::IsWellFormedGbk(value)) {
        FUZZ_CHECK(back == value);
    } else {
        // Only the lead bytes left without a second half turn into '?'.
        FUZZ_CHECK(back.size() == value.size());
        for (std::size_t i = 0; i < back.size(); ++i) {
            if (back[i] != value[i]) FUZZ_CHECK(back[i] == '?' && IsLeadByte(static_cast<unsigned char>(value[i])));
        }
    }
}

// sql was built from the values texts (in order) and the integers numbers;
// blank is the same statement built with every text empty.
void CheckStatement(const std::string& sql, const std::vector<std::string>& texts,
                    const std::vector<int>& numbers, const std::string& blank) {
    FUZZ_CHECK(fuzz::IsWellFormedGbk(sql));
    const Lexed lexed = Lex(sql);
    FUZZ_CHECK(lexed.quoted.size() == texts.size());
    for (std::size_t k = 0; k < texts.size(); ++k) FUZZ_CHECK(lexed.quoted[k] == SqlQuote(texts[k]));
    FUZZ_CHECK(lexed.outside == Lex(blank).outside);
    std::size_t from = 0;
    for (const int n : numbers) {
        from = lexed.outside.find(std::to_string(n), from);
        FUZZ_CHECK(from != std::string::npos);
    }
}

void CheckStatements(FuzzedDataProvider& in) {
    std::string v[6];
    for (std::string& s : v) s = in.ConsumeRandomLengthString(64);
    const int a = in.ConsumeIntegral<int>();
    const int b = in.ConsumeIntegral<int>();
    const std::string e;

    CheckStatement(MemoInsertSql(v[0], v[1], v[2], v[3], v[4], v[5], a),
                   {v[0], v[1], v[2], v[3], v[4], v[5]}, {a}, MemoInsertSql(e, e, e, e, e, e, a));
    CheckStatement(MemoUpdateSql(v[0], v[1], v[2], v[3], v[4], a, v[5]),
                   {v[0], v[1], v[2], v[3], v[4], v[5]}, {a}, MemoUpdateSql(e, e, e, e, e, a, e));
    CheckStatement(MemoDeleteSql(v[0]), {v[0]}, {}, MemoDeleteSql(e));
    CheckStatement(AnniversaryInsertSql(v[0], v[1], v[2], a, v[3], b), {v[0], v[1], v[2], v[3]},
                   {a, b}, AnniversaryInsertSql(e, e, e, a, e, b));
    CheckStatement(AnniversaryUpdateSql(v[0], v[1], a, v[2], b, v[3]), {v[0], v[1], v[2], v[3]},
                   {a, b}, AnniversaryUpdateSql(e, e, a, e, b, e));
    CheckStatement(AnniversaryDeleteSql(v[0]), {v[0]}, {}, AnniversaryDeleteSql(e));
    for (const std::string& s : v) CheckQuote(s);
}

bool HasSurrogate(const std::u16string& s) {
    for (const char16_t c : s) {
        if (c >= 0xD800 && c <= 0xDFFF) return true;
    }
    return false;
}

std::size_t CountOf(const std::string& s, char c) {
    std::size_t n = 0;
    for (const char x : s) n += x == c;
    return n;
}
std::size_t CountOf(const std::u16string& s, char16_t c) {
    std::size_t n = 0;
    for (const char16_t x : s) n += x == c;
    return n;
}

void CheckGbkToUtf16(const std::string& gbk) {
    const std::u16string wide = GbkToUtf16(gbk);
    FUZZ_CHECK(wide.size() <= gbk.size());  // every UTF-16 unit takes at least one byte
    FUZZ_CHECK(!HasSurrogate(wide));        // GBK holds only the basic plane
    const std::string back = Utf16ToGbk(wide);
    FUZZ_CHECK(fuzz::IsWellFormedGbk(back));
    // Whatever was decoded encodes back to the same characters.
    FUZZ_CHECK(GbkToUtf16(back) == wide);
    // Valid GBK (nothing turned into '?') comes back byte for byte.
    if (CountOf(wide, u'?') == CountOf(gbk, '?')) FUZZ_CHECK(back == gbk);
}

void CheckUtf16ToGbk(const std::u16string& wide) {
    const std::string gbk = Utf16ToGbk(wide);
    FUZZ_CHECK(gbk.size() <= 2 * wide.size());
    FUZZ_CHECK(fuzz::IsWellFormedGbk(gbk));
    const std::u16string back = GbkToUtf16(gbk);
    if (HasSurrogate(wide)) {
        FUZZ_CHECK(back.size() <= wide.size());
        return;
    }
    // Character for character: the same, or '?' where GBK has no such character.
    FUZZ_CHECK(back.size() == wide.size());
    for (std::size_t i = 0; i < back.size(); ++i) FUZZ_CHECK(back[i] == wide[i] || back[i] == u'?');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint8_t part = in.ConsumeIntegral<std::uint8_t>();
    if (part & 1) {
        CheckStatements(in);
    } else {
        const std::string bytes = in.ConsumeRemainingBytesAsString();
        CheckQuote(bytes);
        CheckGbkToUtf16(bytes);
        std::u16string wide(bytes.size() / 2, u'\0');
        for (std::size_t i = 0; i < wide.size(); ++i) {
            wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                            static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        }
        CheckUtf16ToGbk(wide);
    }
    return 0;
}
