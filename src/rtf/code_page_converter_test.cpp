#include "rtf/code_page_converter.h"

#include <gtest/gtest.h>

namespace tl::rtf {
namespace {

std::u16string Decode(int codePage, std::string_view bytes) {
    CodePageConverter converter;
    std::u16string out;
    converter.decode(codePage, bytes, out);
    return out;
}

TEST(CodePageConverterTest, Decodes932WithItsExtensions) {
    EXPECT_EQ(Decode(932, "\x82\xa0\x8d\xa1 \x5c\x7e"), u"\u3042\u4ECA \\~");
    EXPECT_EQ(Decode(932, "\xb1"), u"\uFF71");                    // half-width katakana
    EXPECT_EQ(Decode(932, "\x87\x40\x87\x90"), u"\u2460\u2252");  // NEC row 13
    EXPECT_EQ(Decode(932, "\xed\x40\xfa\x40\xfa\x55"), u"\u7E8A\u2170\uFFE4");  // IBM
}

TEST(CodePageConverterTest, BadBytesBecomeReplacementCharacters) {
    // A lead byte with a trail that cannot follow it, and one at the end.
    EXPECT_EQ(Decode(932, "\x82\x20x\x82"), u"\uFFFD x\uFFFD");
    EXPECT_EQ(Decode(932, "\xa0"), u"\uFFFD");
}

TEST(CodePageConverterTest, OtherCodePagesAndUnknownOnes) {
    EXPECT_EQ(Decode(1252, "caf\xe9 \x80"), u"caf\u00E9 \u20AC");
    EXPECT_EQ(Decode(1251, "\xe9"), u"\u0439");
    EXPECT_EQ(Decode(10000, "\x8e"), u"\u00E9");
    EXPECT_EQ(Decode(123456, "\xe9"), u"\u00E9");  // read as 1252
}

TEST(CodePageConverterTest, Encodes932OneCharacterAtATime) {
    CodePageConverter converter;
    EXPECT_EQ(converter.encode932(u'A'), "A");
    EXPECT_EQ(converter.encode932(u'\u3042'), "\x82\xa0");
    EXPECT_EQ(converter.encode932(u'\uFF71'), "\xb1");
    EXPECT_EQ(converter.encode932(u'\u2460'), "\x87\x40");
    EXPECT_EQ(converter.encode932(u'\u00E9'), "");  // not in the code page
    EXPECT_EQ(converter.encode932(u'\xD83D'), "");  // half a surrogate pair
}

}  // namespace
}  // namespace tl::rtf
