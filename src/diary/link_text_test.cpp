#include "link_text.h"

#include <gtest/gtest.h>

namespace tl::diary {
namespace {

using Kind = FoundLink::Kind;
using store::Date;

// The link found with the caret at the marked place ("|" is removed).
std::optional<FoundLink> At(std::u16string text) {
    const std::size_t caret = text.find(u'|');
    text.erase(caret, 1);
    return FindLinkAt(text, caret);
}

TEST(LinkTextTest, ProducedFormsOfEveryKind) {
    EXPECT_EQ(EntryLinkText({2026, 12, 8}), u"[diary:12-08-2026]");
    EXPECT_EQ(EntryLinkText({2026, 12, 0}), u"[diary:12-2026]");
    EXPECT_EQ(EntryLinkText({2026, 0, 0}), u"[diary:2026]");
    EXPECT_EQ(PictureLinkText(3), u"[picture:003]");
    EXPECT_EQ(PictureLinkText(1000), u"[picture:1000]");
    EXPECT_EQ(DatedPictureLinkText({2026, 12, 8}, 2), u"[picture:12-08-2026-002]");
    EXPECT_EQ(DatedPictureLinkText({2026, 12, 0}, 2), u"[picture:12-2026-002]");
    EXPECT_EQ(DatedPictureLinkText({2026, 0, 0}, 45), u"[picture:2026-045]");
    // What is produced is followed back to what it names.
    for (Date d : {Date{2024, 2, 29}, Date{1900, 1, 0}, Date{9999, 0, 0}}) {
        const std::u16string text = u"see " + EntryLinkText(d) + u" and " +
                                    DatedPictureLinkText(d, 17) + u" or " + PictureLinkText(999);
        auto entry = FindLinkAt(text, 6);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->kind, Kind::Entry);
        EXPECT_EQ(entry->date, d);
        auto dated = FindLinkAt(text, text.find(u" or ") - 1);
        ASSERT_TRUE(dated);
        EXPECT_EQ(dated->kind, Kind::DatedPicture);
        EXPECT_EQ(dated->date, d);
        EXPECT_EQ(dated->order, 17u);
        auto same = FindLinkAt(text, text.size());
        ASSERT_TRUE(same);
        EXPECT_EQ(same->kind, Kind::Picture);
        EXPECT_EQ(same->order, 999u);
    }
}

TEST(LinkTextTest, CaretMustLieOnTheTokenAndDatesMustBeValid) {
    auto leap = At(u"go to [diary:02-2|9-2024] now");
    ASSERT_TRUE(leap);
    EXPECT_EQ(leap->date, (Date{2024, 2, 29}));
    EXPECT_EQ(leap->start, 6u);
    EXPECT_EQ(leap->length, 18u);
    EXPECT_TRUE(At(u"[|diary:02-29-2024]"));
    EXPECT_TRUE(At(u"[diary:02-29-2024]|"));
    EXPECT_FALSE(At(u"go to |[diary:02-29-2024]")) << "caret in front of the bracket";
    EXPECT_FALSE(At(u"[diary:02-3|0-2024]"));
    EXPECT_FALSE(At(u"[diary:02-29-|2023]"));
    EXPECT_FALSE(At(u"[diary:13-2|026]"));
    EXPECT_FALSE(At(u"[diary:1899|]"));
    EXPECT_EQ(At(u"[diary:12-|2026]")->date, (Date{2026, 12, 0}));
    EXPECT_EQ(At(u"x[diary:20|26]")->date, (Date{2026, 0, 0}));
    // Spaces and line breaks end a token; one broken in two is no link.
    EXPECT_FALSE(At(u"[diary:02-29 -|2024]"));
    EXPECT_FALSE(At(u"[diary:02-|29\n-2024]"));
    EXPECT_FALSE(At(u"[diary:02-29-2024\r|]"));
    EXPECT_FALSE(At(u"[Diary:02-2|9-2024]")) << "prefixes are case-sensitive";
    EXPECT_FALSE(At(u"[diary:0a-29-20|24]"));
    EXPECT_FALSE(At(u"[diary:02-29-20|24")) << "no closing bracket";
    EXPECT_FALSE(At(u"|"));
}

TEST(LinkTextTest, PictureLinksOfThisEntryAndOfADate) {
    auto same = At(u"[picture:0|03]");
    ASSERT_TRUE(same);
    EXPECT_EQ(same->kind, Kind::Picture);
    EXPECT_EQ(same->order, 3u);
    auto month = At(u"[picture:12-20|26-002]");
    ASSERT_TRUE(month);
    EXPECT_EQ(month->kind, Kind::DatedPicture);
    EXPECT_EQ(month->date, (Date{2026, 12, 0}));
    EXPECT_EQ(month->order, 2u);
    EXPECT_EQ(At(u"[picture:20|26-045]")->date, (Date{2026, 0, 0}));
    // Four digits are written but not followed.
    EXPECT_FALSE(At(u"[picture:10|03]"));
    EXPECT_FALSE(At(u"[picture:12-08-2026-10|03]"));
    EXPECT_FALSE(At(u"[picture:02-30-2026-0|03]"));
    EXPECT_FALSE(At(u"[picture:0x|3]"));
}

TEST(LinkTextTest, WebAddressesOfFifteenCharactersOrMore) {
    auto web = At(u"look at https://e.org/|a?b=c please");
    ASSERT_TRUE(web);
    EXPECT_EQ(web->kind, Kind::Web);
    EXPECT_EQ(web->text, u"https://e.org/a?b=c");
    EXPECT_EQ(web->start, 8u);
    EXPECT_TRUE(At(u"http://abc.de/f|"));  // 15
    EXPECT_FALSE(At(u"http://abc.de/|"));  // 14
    EXPECT_FALSE(At(u"see:http://abc.de/fg|"));
    // Tried before the brackets: an address with a bracket in it is one.
    auto bracketed = At(u"http://a.b/[diary:20|26]");
    ASSERT_TRUE(bracketed);
    EXPECT_EQ(bracketed->kind, Kind::Web);
    EXPECT_EQ(At(u"line one\nhttp://abc.de/fghij|\nnext")->text, u"http://abc.de/fghij");
    EXPECT_FALSE(At(u"line one\nhttp://abc.de/fghij\n|next"));
}

}  // namespace
}  // namespace tl::diary
