#include "text_match.h"

#include <gtest/gtest.h>

#include "diary_data_file.h"

namespace tl::store {
namespace {

bool Finds(std::u16string_view text, std::u16string_view word, bool matchCase = false) {
    return Needle(word, matchCase).occursIn(NormaliseBreaks(text));
}

TEST(TextMatch, CaseFoldsAcrossScriptsButNotAcrossWidths) {
    EXPECT_TRUE(Finds(u"Rain in Spain", u"rain"));
    EXPECT_FALSE(Finds(u"Rain in Spain", u"rain", true));
    // Full-width letters fold among themselves; they are not ASCII letters.
    EXPECT_TRUE(Finds(u"\uff32\uff41\uff49\uff4e", u"\uff52\uff21\uff29\uff2e"));
    EXPECT_FALSE(Finds(u"\uff32\uff41\uff49\uff4e", u"rain"));
    EXPECT_FALSE(Finds(u"Rain", u"\uff52\uff41\uff49\uff4e"));
    // Half-width katakana and kana have no case.
    EXPECT_TRUE(Finds(u"\uff83\uff9d\uff77", u"\uff83\uff9d\uff77", true));
    EXPECT_FALSE(Finds(u"\u30c6\u30f3\u30ad", u"\uff83\uff9d\uff77"));
    // Greek: the final sigma, accented capitals, the small letters.
    EXPECT_TRUE(Finds(u"\u03bf\u03b4\u03bf\u03c2", u"\u039f\u0394\u039f\u03a3"));
    EXPECT_TRUE(Finds(u"\u0386\u03b8\u03b7\u03bd\u03b1", u"\u03ac\u03b8\u03b7\u03bd\u03b1"));
    EXPECT_TRUE(Finds(u"\u038f", u"\u03ce"));
    // Cyrillic beyond the Russian alphabet: Ukrainian, Serbian.
    EXPECT_TRUE(Finds(u"\u0490\u0410\u041d\u041e\u041a", u"\u0491\u0430\u043d\u043e\u043a"));
    EXPECT_TRUE(Finds(u"\u0408\u0443\u0433", u"\u0458\u0443\u0433"));
    EXPECT_TRUE(Finds(u"\u0401\u043b\u043a\u0430", u"\u0451\u043b\u043a\u0430"));
    // Latin beyond Latin-1, and the signs that fold to letters.
    EXPECT_TRUE(Finds(u"\u0141\u00f3d\u017a", u"\u0142\u00d3D\u0179"));
    EXPECT_TRUE(Finds(u"\u212a", u"k"));
    EXPECT_TRUE(Finds(u"stra\u00dfe", u"STRA\u1e9eE"));
    EXPECT_FALSE(Finds(u"strasse", u"stra\u00dfe")) << "folding keeps the length";
}

TEST(TextMatch, SurrogatePairsFoldAsOneCharacterAndAreNeverSplit) {
    // Deseret capital and small letter.
    EXPECT_TRUE(Finds(u"\U00010400\U00010401", u"\U00010428\U00010429"));
    EXPECT_FALSE(Finds(u"\U00010400", u"\U00010428", true));
    // The rat and the koala share their low surrogates with Deseret letters
    // that fold into each other; they are not letters and do not fold.
    EXPECT_FALSE(Finds(u"\U0001F400", u"\U0001F428"));
    EXPECT_TRUE(Finds(u"a\U0001F428b", u"\U0001F428"));
    // A word that is one half of a pair never matches inside the pair.
    EXPECT_FALSE(Finds(u"\U0001F600", u"\xDE00"));
    EXPECT_FALSE(Finds(u"\U0001F600", u"\xD83D"));
    EXPECT_TRUE(Finds(u"\xD83D!", u"\xD83D")) << "a lone half is a character of its own";
    Needle emoji(u"\U0001F600", false);
    EXPECT_EQ(emoji.findIn(u"x\U0001F601\U0001F600"), 3u);
}

TEST(TextMatch, LineBreaksOfEveryKindAreOne) {
    // The stored text ends its lines with CR LF, the editor with a paragraph
    // separator; a selection across two lines finds both.
    EXPECT_TRUE(Finds(u"first line\r\nsecond", u"line\u2029sec"));
    EXPECT_TRUE(Finds(u"first line\rsecond", u"line\nsec"));
    EXPECT_TRUE(Finds(u"first line\u2028second", u"LINE\r\nSEC"));
    EXPECT_FALSE(Finds(u"first line second", u"line\nsecond"));
    EXPECT_EQ(NormaliseBreaks(u"a\r\n\r\nb\r"), u"a\n\nb\n");
}

TEST(TextMatch, EmptyTextsAndWords) {
    EXPECT_FALSE(Finds(u"", u""));
    EXPECT_TRUE(Finds(u"abc", u""));
    EXPECT_FALSE(Finds(u"ab", u"abc"));
    EXPECT_EQ(Contains(u"", u"x", false), 0);
    EXPECT_EQ(Contains(u"x", u"", false), 1);
}

TEST(TextMatch, NeedleFindsEveryOccurrenceForwardAndBackward) {
    const std::u16string text = u"Tea, then tea, then TEA.";
    Needle tea(u"tea", false);
    EXPECT_EQ(tea.findIn(text), 0u);
    EXPECT_EQ(tea.findIn(text, 1), 10u);
    EXPECT_EQ(tea.findIn(text, 11), 20u);
    EXPECT_EQ(tea.findIn(text, 21), Needle::npos);
    EXPECT_EQ(tea.findLastIn(text, text.size()), 20u);
    EXPECT_EQ(tea.findLastIn(text, 22), 10u) << "the match must end before the end given";
    EXPECT_EQ(tea.findLastIn(text, 2), Needle::npos);
    EXPECT_EQ(Needle(u"tea", true).findIn(text), 10u);
    // Long texts take the vector path: a hit in every position of a block.
    for (std::size_t at = 0; at < 40; ++at) {
        std::u16string hay(48, u'.');
        hay[at] = u'Q';
        EXPECT_EQ(Needle(u"q", false).findIn(hay), at);
    }
}

TEST(TextMatch, AndOrAndExcludeCombinations) {
    auto rule = [](std::u16string a, std::u16string b, bool andMode, bool orMode, bool include) {
        return SearchRule({std::move(a), std::move(b), andMode, orMode, include}, false);
    };
    const SearchRule both = rule(u"sun", u"rain", true, false, true);
    EXPECT_TRUE(both.matches(u"Rain, then sun"));
    EXPECT_FALSE(both.matches(u"sun only"));
    EXPECT_FALSE(both.matches(u"rain only"));
    const SearchRule without = rule(u"sun", u"rain", true, false, false);
    EXPECT_TRUE(without.matches(u"sun only"));
    EXPECT_FALSE(without.matches(u"sun and rain"));
    EXPECT_FALSE(without.matches(u"rain only"));
    const SearchRule either = rule(u"sun", u"rain", false, true, true);
    EXPECT_TRUE(either.matches(u"rain only"));
    EXPECT_TRUE(either.matches(u"sun only"));
    EXPECT_FALSE(either.matches(u"snow"));
    // An empty second word leaves the first alone in every mode.
    for (bool andMode : {false, true}) {
        const SearchRule r = rule(u"sun", u"", andMode, !andMode, false);
        EXPECT_TRUE(r.matches(u"sun"));
        EXPECT_FALSE(r.matches(u"rain"));
    }
    // Without a mode the second word is not used at all.
    EXPECT_FALSE(rule(u"sun", u"rain", false, false, true).matches(u"rain only"));

    // Marked words: the excluded word is never marked, "or" marks both.
    EXPECT_EQ(without.markedWords().size(), 1u);
    EXPECT_EQ(both.markedWords().size(), 2u);
    EXPECT_EQ(rule(u"sun", u"rain", false, true, false).markedWords().size(), 2u);
    const std::u16string text = u"rain, sun, rain";
    EXPECT_EQ(both.firstMark(text), (Occurrence{0, 4}));
    EXPECT_EQ(without.firstMark(text), (Occurrence{6, 3}));
    EXPECT_EQ(both.lastMark(text, text.size()), (Occurrence{11, 4}));
    EXPECT_EQ(both.lastMark(text, 10), (Occurrence{6, 3}));
    EXPECT_EQ(both.allMarks(text).size(), 3u);
    // At one position the longer word wins.
    EXPECT_EQ(rule(u"sun", u"sunny", false, true, true).firstMark(u"a sunny day"),
              (Occurrence{2, 5}));
}

}  // namespace
}  // namespace tl::store
