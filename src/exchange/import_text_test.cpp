#include "import_text.h"

#include <gtest/gtest.h>

namespace tl::exchange {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

std::vector<std::uint8_t> Utf16(std::u16string_view s) {
    std::vector<std::uint8_t> b;
    for (char16_t c : s)
        b.insert(b.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    return b;
}

TEST(ImportText, BothHeaderLinesDropTheBlankLineWithCrLfOrLf) {
    for (std::u16string_view file :
         {std::u16string_view(u"TITLE:Trip\r\nWEATHER:rain\r\n\r\nline 1\r\nline 2"),
          std::u16string_view(u"TITLE:Trip\nWEATHER:rain\n\nline 1\r\nline 2")}) {
        EntryText e = SplitEntryText(file);
        EXPECT_EQ(e.title, u"Trip");
        EXPECT_EQ(e.weather, u"rain");
        EXPECT_EQ(e.text, u"line 1\r\nline 2");
    }
}

TEST(ImportText, AFullWidthColonMarksTheWeatherToo) {
    EntryText e = SplitEntryText(u"TITLE:x\r\nWEATHER\uFF1A\u6674\r\n\r\nbody");
    EXPECT_EQ(e.weather, u"\u6674");
    EXPECT_EQ(e.text, u"body");
}

TEST(ImportText, ATitleWithoutWeatherStaysInTheText) {
    EntryText e = SplitEntryText(u"TITLE:Trip\r\nWe went out.");
    EXPECT_EQ(e.title, u"Trip");
    EXPECT_EQ(e.weather, u"");
    EXPECT_EQ(e.text, u"TITLE:Trip\r\nWe went out.");
    e = SplitEntryText(u"TITLE:Only");
    EXPECT_EQ(e.title, u"Only");
    EXPECT_EQ(e.text, u"TITLE:Only");
    e = SplitEntryText(u"Plain\r\nWEATHER:snow\r\n");
    EXPECT_EQ(e.title, u"");
    EXPECT_EQ(e.weather, u"snow");
    EXPECT_EQ(e.text, u"Plain\r\nWEATHER:snow\r\n");
}

TEST(ImportText, HeaderLinesWithNothingAfterThemGiveAnEmptyText) {
    EXPECT_EQ(SplitEntryText(u"TITLE:a\r\nWEATHER:b").text, u"");
    EXPECT_EQ(SplitEntryText(u"TITLE:a\r\nWEATHER:b\r\n").text, u"");
    EXPECT_EQ(SplitEntryText(u"TITLE:a\r\nWEATHER:b\r\n\r\n").text, u"");
    EXPECT_EQ(SplitEntryText(u"").text, u"");
}

TEST(ImportText, UnicodeStopsAtTheFirstZeroAndKeepsAByteOrderMark) {
    auto bytes = Utf16(u"TITLE:t\r\nWEATHER:w\r\n\r\nabc");
    bytes.insert(bytes.end(), {0, 0, 'x', 0});
    EXPECT_EQ(DecodeText(bytes, Encoding::Unicode), u"TITLE:t\r\nWEATHER:w\r\n\r\nabc");
    auto bom = Utf16(u"\uFEFFTITLE:t\r\nWEATHER:w\r\n\r\nabc");
    EntryText e = SplitEntryText(DecodeText(bom, Encoding::Unicode));
    EXPECT_EQ(e.title, u"");
    EXPECT_EQ(e.weather, u"w");
    // An odd last byte is no character.
    EXPECT_EQ(DecodeText(Bytes(std::string_view("a\0b", 3)), Encoding::Unicode), u"a");
}

TEST(ImportText, AnsiIsCodePage932AndBadBytesBecomeReplacementCharacters) {
    EXPECT_EQ(DecodeText(Bytes("\x93\xfa\x8b\x4c"), Encoding::Ansi), u"\u65e5\u8a18");
    EXPECT_EQ(DecodeText(Bytes("\x93\xfa\x8b\x4c"), Encoding::RichText), u"\u65e5\u8a18");
    const std::u16string bad = DecodeText(Bytes("a\x81"), Encoding::Ansi);
    EXPECT_EQ(bad.front(), u'a');
    EXPECT_EQ(bad.back(), u'\uFFFD');
}

}  // namespace
}  // namespace tl::exchange
