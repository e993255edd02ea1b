#include "rtf/rtf_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtf/rtf_plain_text.h"

namespace tl::rtf {
namespace {

using namespace std::literals;

// A run as the sink saw it, with the face copied out of the parser.
struct Run {
    std::u16string text;
    std::u16string face;
    RtfCharFormat format;
};

// Records runs and marks; adjacent runs of one format are joined, as the
// editor's document joins them.
class RecordingSink final : public RtfSink {
public:
    void text(std::u16string_view text, const RtfCharFormat& format) override {
        if (!runs.empty() && marks.size() == runsBeforeMark && runs.back().face == format.face &&
            sameLook(runs.back().format, format)) {
            runs.back().text += text;
        } else {
            runs.push_back({std::u16string(text), std::u16string(format.face), format});
        }
        runsBeforeMark = marks.size();
        all += text;
    }
    void paragraphMark(const RtfParaFormat& para, const RtfCharFormat&) override {
        marks.push_back(para);
        all += u'|';
    }
    void end(const RtfParaFormat& para) override {
        endPara = para;
        ++ends;
    }

    std::vector<Run> runs;
    std::vector<RtfParaFormat> marks;
    std::size_t runsBeforeMark = 0;
    RtfParaFormat endPara;
    int ends = 0;
    std::u16string all;  // text with "|" for each paragraph mark

private:
    static bool sameLook(RtfCharFormat a, const RtfCharFormat& b) {
        a.face = b.face;
        return a == b;
    }
};

RecordingSink Parse(std::string_view rtf) {
    RecordingSink sink;
    ParseRtf(rtf, sink);
    return sink;
}

std::u16string Text(std::string_view rtf) {
    return Parse(rtf).all;
}

TEST(RtfParserTest, RecognisesRtfOnlyByItsHeader) {
    EXPECT_TRUE(IsRtf("{\\rtf1 x}"));
    EXPECT_TRUE(IsRtf("\r\n  {\\rtf"));
    EXPECT_FALSE(IsRtf(""));
    EXPECT_FALSE(IsRtf("{\\rt"));
    EXPECT_FALSE(IsRtf("plain text {\\rtf1}"));
}

TEST(RtfParserTest, UnicodeSkipsItsFallbackByTheGroupsUcCount) {
    EXPECT_EQ(Text("{\\rtf1\\uc1\\u233?x}"), u"\u00E9x");
    EXPECT_EQ(Text("{\\rtf1\\uc2\\u12354\\'82\\'a0x}"), u"\u3042x");
    EXPECT_EQ(Text("{\\rtf1\\uc0\\u233 x}"), u"\u00E9x");
    // Values above 32767 arrive negative; surrogate pairs come as two.
    EXPECT_EQ(Text("{\\rtf1\\u-10179?\\u-8704?}"), u"\U0001F600");
    EXPECT_EQ(Text("{\\rtf1\\u-1?}"), u"\uFFFF");
    // \uc is scoped to its group; a brace ends an unfinished fallback.
    EXPECT_EQ(Text("{\\rtf1{\\uc3 a}\\u233?b}"), u"a\u00E9b");
    EXPECT_EQ(Text("{\\rtf1\\uc3\\u233?}x}"), u"\u00E9");
    EXPECT_EQ(Text("{\\rtf1\\uc3\\u233?{x}}"), u"\u00E9x");
    // A control word counts as one fallback character.
    EXPECT_EQ(Text("{\\rtf1\\uc1\\u233\\'e9\\u233\\tab x}"), u"\u00E9\u00E9x");
}

TEST(RtfParserTest, HexBytesFollowTheDocumentAndTheFontCodePage) {
    EXPECT_EQ(Text("{\\rtf1\\ansi\\'e9}"), u"\u00E9");
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1251\\'e9}"), u"\u0439");
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg932\\'82\\'a0}"), u"\u3042");
    // Code page 932 with its NEC and IBM extensions, and a trail byte
    // written as a plain character.
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg932\\'87\\'40\\'fa\\'40\\'ed\\'40\\'82l}"),
              u"\u2460\u2170\u7E8A\uFF2D");
    // \fcharset128 means 932 whatever the document says; \fcharset0 defers
    // to \ansicpg.
    constexpr std::string_view fonts =
        "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset128 B;}"
        "{\\f2\\fcharset204 C;}{\\f3\\cpg1253 D;}}";
    EXPECT_EQ(Text(std::string(fonts) + "\\f0\\'e9\\f1\\'82\\'a0\\f2\\'e9\\f3\\'e9}"),
              u"\u00E9\u3042\u0439\u03B9");
    // A byte that forms no character is replaced, not dropped silently.
    EXPECT_EQ(Text("{\\rtf1\\ansicpg932\\'82}"), u"\uFFFD");
}

TEST(RtfParserTest, FontNamesAreDecodedInTheirOwnCharset) {
    auto sink = Parse(
        "{\\rtf1\\ansi\\ansicpg1252\\deff1{\\fonttbl{\\f0\\fswiss\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9{\\*\\falt MS Mincho};}"
        "{\\f1\\froman Times{\\*\\panose 0102}}{\\f2 Caf\\u233\\'e9;}}"
        "x\\f0 y\\f2 z\\f9 w}");
    ASSERT_EQ(sink.runs.size(), 4u);
    EXPECT_EQ(sink.runs[0].face, u"Times");  // \deff, name without ";"
    EXPECT_EQ(sink.runs[1].face, u"\uFF2D\uFF33 \u660E\u671D");
    EXPECT_EQ(sink.runs[2].face, u"Caf\u00E9");
    EXPECT_EQ(sink.runs[3].face, u"");  // not in the table
}

TEST(RtfParserTest, CharacterFormatsFollowGroupsAndPlain) {
    auto sink = Parse(
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "\\fs20\\b a{\\i\\ul\\cf1\\highlight2 b}c\\b0\\strike d\\plain e"
        "\\ulwave\\cb1 f\\ulnone\\chcbpat0\\v hidden\\v0 g}");
    ASSERT_EQ(sink.runs.size(), 7u);
    EXPECT_EQ(sink.runs[0].text, u"a");
    EXPECT_TRUE(sink.runs[0].format.bold);
    EXPECT_EQ(sink.runs[0].format.halfPoints, 20);
    const RtfCharFormat& b = sink.runs[1].format;
    EXPECT_TRUE(b.bold && b.italic && b.underline);
    EXPECT_EQ(b.foreground, (RtfColor{255, 0, 0}));
    EXPECT_EQ(b.background, (RtfColor{0, 0, 255}));
    EXPECT_EQ(sink.runs[2].text, u"c");  // the group's formats are undone
    EXPECT_FALSE(sink.runs[2].format.italic || sink.runs[2].format.foreground);
    EXPECT_TRUE(sink.runs[3].format.strikeOut && !sink.runs[3].format.bold);
    EXPECT_EQ(sink.runs[4].format, RtfCharFormat{});  // \plain
    EXPECT_EQ(sink.runs[4].text, u"e");
    EXPECT_TRUE(sink.runs[5].format.underline);
    EXPECT_EQ(sink.runs[5].format.background, (RtfColor{255, 0, 0}));
    EXPECT_EQ(sink.runs[6].format, RtfCharFormat{});
    EXPECT_EQ(sink.all, u"abcdefg");  // hidden text is left out
}

// Word processors give East Asian text properties of its own after \\dbch;
// text of other scripts in the same group keeps the ordinary ones.
TEST(RtfParserTest, AssociatedPropertiesApplyToEastAsianText) {
    const RecordingSink sink = Parse(
        "{\\rtf1\\deff0{\\fonttbl{\\f0 Serif;}{\\f7 Gothic;}}\\fs24 "
        "{\\dbch\\ab\\dbch \\u22826?\\u23383?}{\\dbch\\afs36\\dbch \\u22823?}"
        "{\\dbch\\af7\\dbch \\u12468?}{\\hich\\af0\\dbch\\af7\\ab\\loch\\f0 ab\\u26085?}"
        "{\\rtlch\\ab\\afs40 \\ltrch\\loch rtl}{\\dbch\\ab\\plain \\u26412?}}");
    ASSERT_EQ(sink.runs.size(), 6u);
    EXPECT_EQ(sink.runs[0].text, u"\u592A\u5B57");
    EXPECT_TRUE(sink.runs[0].format.bold);
    EXPECT_EQ(sink.runs[0].face, u"Serif");
    EXPECT_EQ(sink.runs[1].format.halfPoints, 36);
    EXPECT_FALSE(sink.runs[1].format.bold);
    EXPECT_EQ(sink.runs[2].face, u"Gothic");
    EXPECT_EQ(sink.runs[3].text, u"ab");  // Latin text keeps the ordinary face
    EXPECT_EQ(sink.runs[3].face, u"Serif");
    EXPECT_FALSE(sink.runs[3].format.bold);
    EXPECT_EQ(sink.runs[4].text, u"\u65E5");
    EXPECT_EQ(sink.runs[4].face, u"Gothic");
    EXPECT_TRUE(sink.runs[4].format.bold);
    // Right-to-left scripts' properties touch nothing here; \\plain ends
    // East Asian ones.
    EXPECT_EQ(sink.runs[5].text, u"rtl\u672C");
    EXPECT_FALSE(sink.runs[5].format.bold);
    EXPECT_EQ(sink.runs[5].format.halfPoints, 24);
}

TEST(RtfParserTest, RaisedAndLoweredText) {
    const RecordingSink sink = Parse(
        "{\\rtf1 a{\\up8 2}b{\\dn2 3}c\\super 4\\nosupersub d\\sub 5\\up0 e{\\super\\plain f}}");
    std::u16string seen;
    for (const auto& run : sink.runs) {
        seen += run.text;
        seen += run.format.vertical == RtfVertical::Super ? u'^'
                : run.format.vertical == RtfVertical::Sub ? u'_'
                                                          : u'.';
    }
    EXPECT_EQ(seen, u"a.2^b.3_c.4^d.5_ef.");
}

// Bullets of a symbol font arrive as private-use characters or as the
// font's own bytes; they are shown as what they stand for.
TEST(RtfParserTest, SymbolFontBulletsBecomeTheirCharacters) {
    EXPECT_EQ(Text("{\\rtf1{\\fonttbl{\\f0 Times;}{\\f1\\fcharset2 Symbol;}{\\f2\\fcharset2 "
                   "Wingdings;}}{\\f1\\u-3913\\'b7}{\\f2\\u-3929\\'a7\\u-3880?\\u-3844?}"
                   "{\\f1\\'b7 a}{\\f2\\'a7}{\\f0\\u-3913?}}"),
              u"\u2022\u25AA\u27A2\u2713\u2022 a\u25AA\u2022");
}

TEST(RtfParserTest, ParagraphPropertiesArriveWithTheirMark) {
    auto sink = Parse(
        "{\\rtf1\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240 one\\par "
        "two\\par\\pard\\qr three\\par\\pard\\qj\\li-99999999999 four}");
    ASSERT_EQ(sink.marks.size(), 3u);
    EXPECT_EQ(sink.marks[0], (RtfParaFormat{RtfAlignment::Center, 720, 360, -360, 120, 240}));
    EXPECT_EQ(sink.marks[1], sink.marks[0]);  // properties hold until \pard
    EXPECT_EQ(sink.marks[2], (RtfParaFormat{RtfAlignment::Right}));
    EXPECT_EQ(sink.endPara.alignment, RtfAlignment::Justify);
    EXPECT_EQ(sink.endPara.leftIndent, -kMaxTwips);
    EXPECT_EQ(sink.all, u"one|two|three|four");
}

TEST(RtfParserTest, SpecialCharactersAndBreaks) {
    EXPECT_EQ(Text("{\\rtf1 a\\tab b\\line c\\~d\\_e\\emdash\\endash\\bullet"
                   "\\lquote\\rquote\\ldblquote\\rdblquote\\{\\}\\\\}"),
              u"a\tb\u2028c\u00A0d\u2011e\u2014\u2013\u2022\u2018\u2019\u201C\u201D{}\\");
    // Line ends in the stream are not text; a backslash before one is \par.
    EXPECT_EQ(Text("{\\rtf1 a\r\nb\\\nc}"), u"ab|c");
    // A table row becomes one paragraph with its cells apart; the last
    // cell's end is the row's, and an empty cell keeps its place.
    EXPECT_EQ(Text("{\\rtf1\\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row"
                   "\\trowd\\cellx100\\cellx200\\pard\\intbl{c}\\cell\\pard\\intbl\\cell\\row x}"),
              u"a\tb|c\t|x");
    // Control characters and object placeholders are dropped, the tab kept.
    EXPECT_EQ(Text("{\\rtf1 a\x01\x1f\tb\x7f\\u7?c\\u65532?}"), u"a\tbc");
}

TEST(RtfParserTest, DestinationsTheDiaryDoesNotKeepAreSkipped) {
    EXPECT_EQ(Text("{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
                   "{\\header H}{\\footer F}{\\*\\generator G;}{\\*\\unknownthing U}"
                   "{\\pict\\pngblip 89504e47}{\\object{\\objdata 01}{\\result R}}"
                   "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt shown}}"
                   "{\\*\\bkmkstart b}body{\\footnote note}}"),
              u"shownbody");
    // Unknown control words are ignored, their text kept.
    EXPECT_EQ(Text("{\\rtf1\\newword12 kept\\another-3 too}"), u"kepttoo");
    // Binary data is skipped by its length even when it holds braces.
    EXPECT_EQ(Text("{\\rtf1{\\pict\\bin6 }}{{\\x}after more}"), u"after more");
    EXPECT_EQ(Text("{\\rtf1 a\\bin3 {}\\b}"), u"ab");
}

TEST(RtfParserTest, ReadingStopsWhereTheDocumentGroupCloses) {
    auto sink = Parse("{\\rtf1 text\\par}\r\n\0garbage{\\rtf1 more}"sv);
    EXPECT_EQ(sink.all, u"text|");
    EXPECT_EQ(sink.ends, 1);
}

TEST(RtfParserTest, DamagedInputEndsCleanly) {
    EXPECT_EQ(Text("{\\rtf1 trunc"), u"trunc");
    EXPECT_EQ(Text("{\\rtf1 a\\"), u"a");
    EXPECT_EQ(Text("{\\rtf1 a\\'"), u"a");
    EXPECT_EQ(Text("{\\rtf1 a\\'4"), u"a");
    EXPECT_EQ(Text("{\\rtf1 a\\u"), u"a");
    EXPECT_EQ(Text("{\\rtf1 a\\bin999999999999 b}"), u"a");
    EXPECT_EQ(Text("}}}{\\rtf1 a}}}"), u"a");
    EXPECT_EQ(Text("{\\rtf1{{{\\b x"), u"x");
    EXPECT_EQ(Text("{\\rtf1{\\fonttbl{\\f0 A"), u"");
}

TEST(RtfParserTest, AbsurdNumbersAreClamped) {
    auto sink = Parse(
        "{\\rtf1{\\colortbl;\\red99999999999999999999\\green-5\\blue256;}"
        "\\fs99999999999 \\cf1 a\\fs-4 b\\fs0 c\\f-2147483648 d\\uc99999999999\\u65 "
        "efgh\\u-99999999999 i\\u99999999999 j}");
    ASSERT_EQ(sink.runs.size(), 2u);
    EXPECT_EQ(sink.runs[0].format.halfPoints, kMaxHalfPoints);
    EXPECT_EQ(sink.runs[0].format.foreground, (RtfColor{255, 0, 255}));
    EXPECT_EQ(sink.runs[1].format.halfPoints, kDefaultHalfPoints);
    // \uc is capped, so its fallback swallows the rest of the group only.
    EXPECT_EQ(sink.all, u"abcdA");
}

TEST(RtfParserTest, DeepNestingNeitherRecursesNorGrows) {
    const std::size_t depth = 100000;
    std::string rtf = "{\\rtf1 a";
    rtf.append(depth, '{');
    rtf += "\\b deep";
    rtf.append(depth, '}');
    rtf += " b}";
    auto sink = Parse(rtf);
    EXPECT_EQ(sink.all, u"adeep b");
    // The bold inside the uncounted depth leaks outward, but the groups
    // that were counted are undone: "b" is plain again.
    EXPECT_FALSE(sink.runs.back().format.bold);

    std::string open = "{\\rtf1";
    open.append(depth, '{');
    open += "x";
    EXPECT_EQ(Text(open), u"x");
}

TEST(RtfParserTest, OutputStaysProportionalToInput) {
    // A flood of hex bytes or binary data cannot produce more text than it
    // has bytes.
    std::string hex = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i) hex += "\\'41";
    std::string bin = "{\\rtf1\\bin2000000000 ";
    bin.append(100000, '{');
    EXPECT_EQ(Text(hex).size(), 100000u);
    EXPECT_EQ(Text(bin), u"");
}

TEST(RtfPlainTextTest, ParagraphsAndLinesBecomeCrLf) {
    EXPECT_EQ(RtfToPlainText("{\\rtf1 one\\par two\\line three\\par}"), u"one\r\ntwo\r\nthree");
    EXPECT_EQ(RtfToPlainText("{\\rtf1 one\\par\\par}"), u"one\r\n");
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansicpg932 \\'82\\'a0\\tab x}"), u"\u3042\tx");
    EXPECT_EQ(RtfToPlainText("not rtf"), u"");
}

}  // namespace
}  // namespace tl::rtf
