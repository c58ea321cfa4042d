// GBK <-> UTF-16, the conversion at the ODBC boundary.
#include <gtest/gtest.h>

#include <string>

#include "storage/GbkText.h"

TEST(StoreText, ChineseAndControlCharactersRoundTrip) {
    const std::string strGbk = "备忘录名称 纪念日\r\n第二行\t?";
    const std::u16string strWide = GbkToUtf16(strGbk);
    EXPECT_EQ(strWide, u"备忘录名称 纪念日\r\n第二行\t?");
    EXPECT_EQ(Utf16ToGbk(strWide), strGbk);
    EXPECT_EQ(GbkToUtf16(""), u"");
    EXPECT_EQ(Utf16ToGbk(u""), "");
    // The code page, not the locale: 0xB0A1 is 啊 in code page 936.
    EXPECT_EQ(GbkToUtf16("\xB0\xA1"), u"啊");
}

TEST(StoreText, BadBytesBecomeQuestionMarksAndTheRestSurvives) {
    // A lead byte followed by a byte that cannot end a character, a lone
    // 0xFF, and a lead byte cut off at the end.
    EXPECT_EQ(GbkToUtf16("a\x81\x20" "b"), u"a? b");
    EXPECT_EQ(GbkToUtf16("\xFF春"), u"?春");
    EXPECT_EQ(GbkToUtf16("春\xB4"), u"春?");
    // Longer than the converter's buffer, with damage in the middle.
    std::string strLong(10000, 'x');
    strLong[5000] = '\xFF';
    std::u16string strExpected(10000, u'x');
    strExpected[5000] = u'?';
    EXPECT_EQ(GbkToUtf16(strLong), strExpected);
}

TEST(StoreText, CharactersOutsideGbkBecomeOneQuestionMarkEach) {
    EXPECT_EQ(Utf16ToGbk(u"a\u0E01b"), "a?b");             // Thai: not in GBK
    EXPECT_EQ(Utf16ToGbk(u"x\U0001F600y"), "x?y");         // a surrogate pair
    EXPECT_EQ(Utf16ToGbk(std::u16string(u"p\xD800q")), "p?q");  // half a pair
    EXPECT_EQ(Utf16ToGbk(std::u16string(u"\xDC00")), "?");
}
