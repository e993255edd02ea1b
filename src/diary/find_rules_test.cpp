#include "find_rules.h"

#include <gtest/gtest.h>

#include "app/app_settings.h"
#include "store/format.h"

namespace tl::diary {
namespace {

store::SearchRule Rule(std::u16string first, std::u16string second = u"", bool andMode = false,
                       bool orMode = false, bool include = true) {
    return store::SearchRule({std::move(first), std::move(second), andMode, orMode, include},
                             false);
}

EntryView Entry(FindPane active) {
    EntryView e;
    e.active = active;
    e.title = u"Owl title";
    e.attachments = {u"a.jpg", u"owl1.jpg", u"b.txt", u"owl2.png"};
    e.text = u"an owl, then another owl";
    return e;
}

TEST(FindRules, NextGoesHeaderStripEditorAndNeverToTheTitle) {
    const store::SearchRule owl = Rule(u"owl");
    EntryView e = Entry(FindPane::Header);
    EXPECT_EQ(FindInEntry(e, owl, true).match, (EntryMatch{FindPane::Attachments, 1, 0, 0}));
    e.active = FindPane::Attachments;
    e.firstSelected = 1;
    EXPECT_EQ(FindInEntry(e, owl, true).match, (EntryMatch{FindPane::Attachments, 3, 0, 0}));
    e.firstSelected = 3;
    e.selectionStart = e.selectionEnd = 5;
    EXPECT_EQ(FindInEntry(e, owl, true).match, (EntryMatch{FindPane::Editor, 0, 21, 3}))
        << "from the strip the text is searched from the selection";
    e.active = FindPane::Editor;
    e.selectionStart = 3;
    e.selectionEnd = 6;
    EXPECT_EQ(FindInEntry(e, owl, true).match, (EntryMatch{FindPane::Editor, 0, 21, 3}));
    e.selectionStart = e.selectionEnd = 24;
    EXPECT_FALSE(FindInEntry(e, owl, true).match) << "next never looks at the title";
}

TEST(FindRules, PreviousGoesEditorStripTitleAndFromTheHeaderOnlyMovesTheCaret) {
    const store::SearchRule owl = Rule(u"owl");
    EntryView e = Entry(FindPane::Editor);
    e.selectionStart = 21;
    e.selectionEnd = 24;
    EXPECT_EQ(FindInEntry(e, owl, false).match, (EntryMatch{FindPane::Editor, 0, 3, 3}));
    e.selectionStart = e.selectionEnd = 3;
    EXPECT_EQ(FindInEntry(e, owl, false).match, (EntryMatch{FindPane::Attachments, 3, 0, 0}));
    e.active = FindPane::Attachments;
    e.firstSelected = 3;
    EXPECT_EQ(FindInEntry(e, owl, false).match, (EntryMatch{FindPane::Attachments, 1, 0, 0}));
    e.firstSelected = 1;
    EXPECT_EQ(FindInEntry(e, owl, false).match, (EntryMatch{FindPane::Header, 0, 0, 3}));
    e.active = FindPane::Header;
    const EntryFindResult fromHeader = FindInEntry(e, owl, false);
    EXPECT_FALSE(fromHeader.match);
    EXPECT_TRUE(fromHeader.editorToStart);
}

TEST(FindRules, TheExcludedWordIsNeverFoundInAnAttachmentOrOnArrival) {
    EntryView e = Entry(FindPane::Header);
    e.attachments = {u"rain.jpg", u"owl.jpg"};
    e.text = u"rain, owl";
    const store::SearchRule owlNotRain = Rule(u"owl", u"rain", true, false, false);
    EXPECT_EQ(FindInEntry(e, owlNotRain, true).match, (EntryMatch{FindPane::Attachments, 1, 0, 0}));
    const store::SearchRule owlOrRain = Rule(u"owl", u"rain", false, true);
    EXPECT_EQ(FindInEntry(e, owlOrRain, true).match, (EntryMatch{FindPane::Attachments, 0, 0, 0}));
    // Arrival: the first match forward, the last backward, in the record's pane.
    EXPECT_EQ(MatchOnArrival(e, store::kKindPlainText, owlOrRain, true),
              (EntryMatch{FindPane::Editor, 0, 0, 4}));
    EXPECT_EQ(MatchOnArrival(e, store::kKindPlainText, owlOrRain, false),
              (EntryMatch{FindPane::Editor, 0, 6, 3}));
    EXPECT_EQ(MatchOnArrival(e, store::kKindAttachment, owlOrRain, false),
              (EntryMatch{FindPane::Attachments, 1, 0, 0}));
    EXPECT_FALSE(MatchOnArrival(e, store::kKindEntryHeader, Rule(u"hail"), true));
}

TEST(FindRules, HistoryKeepsTenMostRecentFirst) {
    std::vector<std::u16string> h;
    for (int i = 0; i < 12; ++i) PushHistory(h, std::u16string(1, static_cast<char16_t>(u'a' + i)));
    ASSERT_EQ(h.size(), 10u);
    EXPECT_EQ(h.front(), u"l");
    EXPECT_EQ(h.back(), u"c");
    PushHistory(h, u"e");
    EXPECT_EQ(h.front(), u"e");
    EXPECT_EQ(h[1], u"l");
    EXPECT_EQ(h.size(), 10u) << "moved up, nothing dropped";
    PushHistory(h, u"");
    EXPECT_EQ(h.front(), u"e");
}

TEST(FindRules, SettingsBecomeTheEnginesSearch) {
    app::AppSettings s;
    s.find.text = "caf\xc3\xa9";
    s.find.text2 = "tea";
    s.find.andMode = 1;
    s.find.contain = 0;
    const store::SearchSettings e = SearchSettingsOf(s);
    EXPECT_EQ(e.text1, u"caf\u00e9");
    EXPECT_TRUE(e.andMode);
    EXPECT_FALSE(e.orMode);
    EXPECT_FALSE(e.include);
}

}  // namespace
}  // namespace tl::diary
