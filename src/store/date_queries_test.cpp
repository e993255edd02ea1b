#include <gtest/gtest.h>

#include <random>

#include "diary_data_file.h"
#include "support/data_file_fixture.h"

namespace tl::store {
namespace {

using testing::DateOf;
using testing::MemDataFile;
using testing::RecordImage;

TEST(DateQueries, NavigationFindsTheNearestDateWithTextOrAttachments) {
    MemDataFile d;
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 5}, u"t", u"", u"text"), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(kKindAttachment, 2024, 3, 10, 6)), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 0}, u"", u"", u"month note"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 0, 0}, u"", u"", u"year note"), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(kKindEntryHeader, 2024, 3, 7, 2)),
              1);  // a title alone

    EXPECT_EQ(DateOf(*d.file, d.file->NextDateWithContent({2024, 3, 5})), (Date{2024, 3, 10}));
    EXPECT_EQ(DateOf(*d.file, d.file->NextDateWithContent({2024, 2, 29})), (Date{2024, 3, 0}));
    EXPECT_EQ(DateOf(*d.file, d.file->NextDateWithContent({0, 1, 1})), (Date{2024, 0, 0}));
    EXPECT_EQ(d.file->NextDateWithContent({2024, 3, 10}), 0u);
    EXPECT_EQ(DateOf(*d.file, d.file->PreviousDateWithContent({2024, 3, 10})), (Date{2024, 3, 5}));
    EXPECT_EQ(DateOf(*d.file, d.file->PreviousDateWithContent({9999, 12, 31})),
              (Date{2024, 3, 10}));
    EXPECT_EQ(d.file->PreviousDateWithContent({2024, 0, 0}), 0u);
    // A date with a header and a text is found through its text.
    auto h = d.file->ReadRecordHeader(d.file->NextDateWithContent({2024, 3, 4}));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->kind(), kKindPlainText);
}

TEST(DateQueries, FindNextInYearCollectsEveryLiveRecordOfTheYear) {
    MemDataFile d;
    ASSERT_EQ(d.file->SaveEntry({2023, 12, 31}, u"", u"", u"old year"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 0, 0}, u"y", u"", u"year"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 6, 1}, u"", u"", u"june"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 6, 1}, u"", u"", u"june again"), 1);  // leaves free records
    std::vector<std::string> keys;
    std::array<std::uint8_t, kUnitSize> first{};
    for (std::uint64_t u = d.file->FindNextInYear(2024, 0, first); u != 0;
         u = d.file->FindNextInYear(2024, u + GetU32(&first[8]), first)) {
        keys.push_back(DateKey(static_cast<std::int16_t>(GetU16(&first[2])), first[4], first[5]) +
                       ":" + std::to_string(first[0]));
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"20240000:1", "20240000:2", "20240601:1", "20240601:2"}));
    EXPECT_EQ(d.file->FindNextInYear(2024, d.file->TotalUnits(), first), 0u);
}

TEST(DateQueries, ContainsAndTheAndOrRules) {
    EXPECT_EQ(Contains(u"Hello World", u"world", false), 1);
    EXPECT_EQ(Contains(u"Hello World", u"world", true), 0);
    EXPECT_EQ(Contains(u"\uff21\uff22\uff23", u"\uff42", false), 1) << "full-width letters fold";
    EXPECT_EQ(Contains(u"\u65e5\u8a18", u"\u8a18", true), 1);
    EXPECT_EQ(Contains(u"abc", u"", false), 1);
    EXPECT_EQ(Contains(u"", u"", false), 0);
    EXPECT_EQ(Contains(u"ab", u"abc", false), 0);

    MemDataFile d;
    auto matches = [&](SearchSettings s, std::u16string_view text) {
        d.file->SetSearchSettings(std::move(s));
        return d.file->TextMatches(text, false);
    };
    EXPECT_EQ(matches({u"sun", u"rain", true, false, true}, u"sun and rain"), 1);
    EXPECT_EQ(matches({u"sun", u"rain", true, false, true}, u"sun only"), 0);
    EXPECT_EQ(matches({u"sun", u"rain", true, false, false}, u"sun only"), 1);
    EXPECT_EQ(matches({u"sun", u"rain", true, false, false}, u"sun and rain"), 0);
    EXPECT_EQ(matches({u"sun", u"", true, false, false}, u"sun and rain"), 1)
        << "empty second text";
    EXPECT_EQ(matches({u"sun", u"rain", false, true, true}, u"rain only"), 1);
    EXPECT_EQ(matches({u"sun", u"rain", false, false, true}, u"rain only"), 0)
        << "no mode: text 2 unused";
}

TEST(DateQueries, TheSearchPrefersTitleAttachmentsTextForwardAndTheReverseBackward) {
    MemDataFile d;
    d.file->SetSearchSettings({u"apple", u"", false, false, true});
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 5}, u"apple title", u"", u"apple text"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 9}, u"", u"", u"apple later"), 1);
    std::uint64_t header = d.file->ReadEntryHeader({2024, 3, 5});
    std::u16string dummy;
    std::uint64_t text = d.file->ReadEntryText({2024, 3, 5}, dummy);
    EXPECT_EQ(d.file->FindNextMatch({2024, 3, 1}, false), header);
    EXPECT_EQ(d.file->FindPreviousMatch({2024, 3, 9}, false), text);
    EXPECT_EQ(DateOf(*d.file, d.file->FindNextMatch({2024, 3, 5}, false)), (Date{2024, 3, 9}))
        << "the start date itself is never returned";
    EXPECT_EQ(d.file->FindPreviousMatch({2024, 3, 5}, false), 0u);
    EXPECT_EQ(d.file->FindNextMatch({2024, 3, 1}, true), header);
    d.file->SetSearchSettings({u"APPLE", u"", false, false, true});
    EXPECT_EQ(d.file->FindNextMatch({2024, 3, 1}, true), 0u);
}

// The map must answer exactly as the walk over the file does, through any
// mix of saves, deletions and re-used free records.
TEST(DateQueries, MapAnswersEqualThePlainWalkOnRandomDiaries) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        MemDataFile d;
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        auto randomDate = [&]() -> Date {
            int kind = pick(10);
            auto y = static_cast<std::int16_t>(2020 + pick(4));
            if (kind == 0) return {y, 0, 0};
            auto m = static_cast<std::uint8_t>(1 + pick(12));
            if (kind == 1) return {y, m, 0};
            return {y, m, static_cast<std::uint8_t>(1 + pick(28))};
        };
        d.file->SetSearchSettings({u"needle", u"", false, false, true});
        for (int step = 0; step < 150; ++step) {
            Date date = randomDate();
            int action = pick(10);
            std::u16string text(static_cast<std::size_t>(pick(600)), u'a');
            if (pick(4) == 0) text += u" needle";
            if (action < 6) {
                ASSERT_EQ(d.file->SaveEditorEntry(
                              date, {pick(5) ? u"" : u"needle", u"", {}}, text,
                              std::vector<std::uint8_t>(static_cast<std::size_t>(pick(400)), 'r')),
                          1);
            } else if (action < 8) {
                ASSERT_EQ(d.file->SaveEntry(date, u"", u"", u""), 1);
            } else {
                ASSERT_EQ(d.file->WriteRecord(RecordImage(kKindAttachment, date.year, date.month,
                                                          date.day,
                                                          static_cast<std::uint32_t>(6 + pick(3)))),
                          1);
                if (pick(3) == 0) d.file->FreeDate(date.year, date.month, date.day, true);
            }
            if (step % 10 != 9) continue;
            Date probe = randomDate();
            std::array<std::uint8_t, kUnitSize> first{};
            auto answers = [&] {
                std::vector<std::uint64_t> a;
                a.push_back(d.file->NextDateWithContent(probe));
                a.push_back(d.file->PreviousDateWithContent(probe));
                a.push_back(d.file->FindNextMatch(probe, false));
                a.push_back(d.file->FindPreviousMatch(probe, false));
                a.push_back(d.file->FindNextInYear(probe.year, 0, first));
                a.push_back(d.file->FindNext(kKindRichText, 0));
                KindCounts counts;
                EXPECT_EQ(d.file->CountByKind(counts, "20210000", "20229999"), 1);
                a.insert(a.end(), counts.begin(), counts.end());
                std::u16string t;
                a.push_back(d.file->ReadEntryText(probe, t));
                return a;
            };
            auto fromMap = answers();
            d.file->SetChainMap(false);
            auto fromWalk = answers();
            d.file->SetChainMap(true);
            ASSERT_EQ(fromMap, fromWalk) << "seed " << seed << " step " << step;
        }
        d.reopen();
        EXPECT_EQ(d.file->Validate(), 1);
        EXPECT_EQ(testing::Chain(*d.file), [&] {
            d.file->SetChainMap(false);
            auto c = testing::Chain(*d.file);
            d.file->SetChainMap(true);
            return c;
        }());
    }
}

// Allocation from the map (which starts after the known non-free records)
// must place every record where the walk over the file would.
TEST(DateQueries, TheMapAndThePlainWalkWriteIdenticalFiles) {
    MemDataFile withMap, withWalk;
    withWalk.file->SetChainMap(false);
    std::mt19937 rng(99);
    for (int step = 0; step < 400; ++step) {
        Date date{2024, static_cast<std::uint8_t>(1 + rng() % 3),
                  static_cast<std::uint8_t>(1 + rng() % 5)};
        std::u16string text(static_cast<std::size_t>(rng() % 900), u'x');
        bool erase = rng() % 4 == 0;
        for (MemDataFile* d : {&withMap, &withWalk}) {
            ASSERT_EQ(erase ? d->file->SaveEntry(date, u"", u"", u"")
                            : d->file->SaveEntry(date, u"t", u"", text),
                      1);
        }
    }
    EXPECT_EQ(withMap.raw(), withWalk.raw());
}

}  // namespace
}  // namespace tl::store
