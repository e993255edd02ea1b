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
    // Bytes that are never characters, and an unassigned two-byte pair.
    EXPECT_EQ(FromAnsi("\xFFz\xA0"), u"\uFFFDz\uFFFD");
    EXPECT_EQ(FromAnsi("\x85\x80z"), u"\uFFFDz");
    // A lead byte cut off at the end.
    EXPECT_EQ(FromAnsi("\x82\xA0\x82"), u"あ\uFFFD");
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
