#include "store/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace tl::store {
namespace {

TEST(CodepageTest, AsciiRoundTrips) {
    const std::u16string text = u"Hello, diary! 0123 ~\\";
    const auto bytes = ToAnsi(text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "Hello, diary! 0123 ~\\");
    EXPECT_EQ(FromAnsi(*bytes), text);
    EXPECT_EQ(ToAnsi(u""), std::string());
}

TEST(CodepageTest, JapaneseRoundTrips) {
    const std::u16string text = u"今日は良い天気でした";  // 10 characters
    const auto bytes = ToAnsi(text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), 20u);
    EXPECT_EQ(bytes->substr(4, 2), "\x82\xCD");  // は
    EXPECT_EQ(FromAnsi(*bytes), text);

    // Half-width katakana are single bytes; mixed text keeps its order.
    EXPECT_EQ(ToAnsi(u"aｱz"), std::string("a\xB1z"));
    EXPECT_EQ(FromAnsi("a\xB1z\x82\xA0"), u"aｱzあ");
}

TEST(CodepageTest, LackingCharacterStopsTheStrictConversion) {
    EXPECT_EQ(ToAnsi(u"caf\u00E9"), std::nullopt);  // é
    EXPECT_EQ(ToAnsi(u"\U0001F600"), std::nullopt);
    // No best-fit: iconv would turn the yen sign into a backslash.
    EXPECT_EQ(ToAnsi(u"\u00A5100"), std::nullopt);
}

TEST(CodepageTest, LossyConversionWritesOneQuestionMarkPerCharacter) {
    const LossyAnsi r = ToAnsiLossy(u"caf\u00E9 \U0001F600 \u00A5 あ");
    EXPECT_EQ(r.bytes, "caf? ? ? \x82\xA0");
    EXPECT_EQ(r.replaced, 3u);

    const LossyAnsi clean = ToAnsiLossy(u"あいう");
    EXPECT_EQ(clean.bytes, "\x82\xA0\x82\xA2\x82\xA4");
    EXPECT_EQ(clean.replaced, 0u);
}

TEST(CodepageTest, UnpairedSurrogatesAreCharactersTheCodePageLacks) {
    const std::u16string loneHigh = {u'a', char16_t(0xD83D), u'z'};
    const std::u16string loneLow = {char16_t(0xDE00), u'a'};
    const std::u16string highAtEnd = {u'a', char16_t(0xD83D)};
    const std::u16string twoHighs = {char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)};
    EXPECT_EQ(ToAnsi(loneHigh), std::nullopt);
    EXPECT_EQ(ToAnsiLossy(loneHigh).bytes, "a?z");
    EXPECT_EQ(ToAnsiLossy(loneLow).bytes, "?a");
    EXPECT_EQ(ToAnsiLossy(highAtEnd).bytes, "a?");
    // A lone high surrogate, then a pair: two characters, two marks.
    const LossyAnsi r = ToAnsiLossy(twoHighs);
    EXPECT_EQ(r.bytes, "??");
    EXPECT_EQ(r.replaced, 2u);

    EXPECT_EQ(Utf16ToUtf8(loneHigh), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(highAtEnd), "a\xEF\xBF\xBD");
}

TEST(CodepageTest, InvalidAnsiBytesBecomeReplacementCharacters) {
    // A lead byte before an ASCII byte: the ASCII byte survives.
    EXPECT_EQ(FromAnsi("\x81!y"), u"\uFFFD!y");
    EXPECT_EQ(FromAnsi("\x82\x20x\x82"), u"\uFFFD x\uFFFD");
    // Bytes that are never characters, and an unassigned two-byte pair.
    EXPECT_EQ(FromAnsi("\xFFz\xA0"), u"\uFFFDz\uFFFD");
    EXPECT_EQ(FromAnsi("\x85\x80z"), u"\uFFFDz");
    // A lead byte cut off at the end.
    EXPECT_EQ(FromAnsi("\x82\xA0\x82"), u"あ\uFFFD");
}

std::u16string Decode(int codePage, std::string_view bytes) {
    CodePageConverter converter;
    std::u16string out;
    converter.decode(codePage, bytes, out);
    return out;
}

TEST(CodepageTest, Decodes932WithItsExtensions) {
    EXPECT_EQ(Decode(932, "\x82\xa0\x8d\xa1 \x5c\x7e"), u"\u3042\u4ECA \\~");
    EXPECT_EQ(Decode(932, "\xb1"), u"\uFF71");                    // half-width katakana
    EXPECT_EQ(Decode(932, "\x87\x40\x87\x90"), u"\u2460\u2252");  // NEC row 13
    EXPECT_EQ(Decode(932, "\xed\x40\xfa\x40\xfa\x55"), u"\u7E8A\u2170\uFFE4");  // IBM
}

TEST(CodepageTest, OtherCodePagesAndUnknownOnes) {
    EXPECT_EQ(Decode(1252, "caf\xe9 \x80"), u"caf\u00E9 \u20AC");
    EXPECT_EQ(Decode(1251, "\xe9"), u"\u0439");
    EXPECT_EQ(Decode(10000, "\x8e"), u"\u00E9");
    EXPECT_EQ(Decode(123456, "\xe9"), u"\u00E9");  // read as 1252
    // A bad byte in a single-byte code page is one mark; the rest goes on.
    EXPECT_EQ(Decode(1252, "a\x81\xe9"), u"a\uFFFD\u00E9");
}

TEST(CodepageTest, OneConverterSwitchesBetweenCodePages) {
    // As an RTF stream does from font to font: each piece is decoded afresh,
    // and a bad byte in one piece leaves nothing behind for the next.
    CodePageConverter converter;
    std::u16string out;
    converter.decode(932, "\x82\xa0", out);
    converter.decode(1251, "\xe9", out);
    converter.decode(932, "\x82", out);
    converter.decode(932, "\xa0\x82\xa2", out);
    converter.decode(123456, "\xe9", out);
    converter.decode(1252, "\xe9", out);
    EXPECT_EQ(out, u"\u3042\u0439\uFFFD\uFFFD\u3044\u00E9\u00E9");
}

TEST(CodepageTest, EncodesOneCharacterAtATimeExactlyOrWithLookAlikes) {
    CodePageConverter converter;
    EXPECT_EQ(converter.encodeAnsi(u"A"), "A");
    EXPECT_EQ(converter.encodeAnsi(u"\u3042"), "\x82\xa0");
    EXPECT_EQ(converter.encodeAnsi(u"\uFF71"), "\xb1");
    EXPECT_EQ(converter.encodeAnsi(u"\u2460"), "\x87\x40");
    EXPECT_EQ(converter.encodeAnsi(u"\u00E9"), std::nullopt);  // not in the code page
    const std::u16string halfPair = {char16_t(0xD83D)};
    EXPECT_EQ(converter.encodeAnsi(halfPair, AnsiFit::LookAlike), std::nullopt);
    // The yen sign has only a look-alike: the backslash byte.
    EXPECT_EQ(converter.encodeAnsi(u"\u00A5"), std::nullopt);
    EXPECT_EQ(converter.encodeAnsi(u"\u00A5", AnsiFit::LookAlike), "\\");
    EXPECT_EQ(converter.encodeAnsi(u"\u00E9", AnsiFit::LookAlike), std::nullopt);
}

TEST(CodepageTest, Utf8RoundTripsAndReplacesInvalidSequences) {
    const std::u16string text = u"Diary 日記 \U0001F600 é";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"日"), "\xE6\x97\xA5");

    EXPECT_EQ(Utf8ToUtf16("a\xC0\x80z"), u"a\uFFFD\uFFFDz");        // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xE6\x97x"), u"\uFFFDx");                // cut-off sequence: one mark
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
}

}  // namespace
}  // namespace tl::store
