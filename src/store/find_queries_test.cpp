#include <gtest/gtest.h>

#include <random>

#include "diary_data_file.h"
#include "record_decode.h"
#include "support/data_file_fixture.h"

namespace tl::store {
namespace {

using testing::DateOf;
using testing::MemDataFile;
using testing::RecordImage;

// The search as one walk over the file, reading every record each time and
// keeping nothing: what the kept search must answer, always.
std::uint64_t WalkMatch(CDiaryDataFile& f, Date date, bool matchCase, bool forward) {
    const std::string start = DateKey(date.year, date.month, date.day);
    std::string best = forward ? "99999999" : "00000000";
    std::uint64_t winner = 0;
    int w = 0;  // 1 title, 2 text, 4 attachment
    Date bestDate;
    RecordWalk walk(f, 0);
    RecordRef r;
    while (walk.next(r)) {
        const std::uint8_t kind = r.header.kind();
        const std::string key = r.header.key();
        const bool near = forward ? start < key && key <= best : key < start && best <= key;
        if (!near || (kind != 1 && kind != 2 && kind != 4)) continue;
        const Date d{r.header.year(), r.header.month(), r.header.day()};
        const bool sameBest = key == best;
        std::u16string text;
        bool readable = false;
        if (kind == 2) {
            if (forward && sameBest && (w == 1 || w == 4)) continue;
            readable = f.ReadEntryTextAt(r.unit, text) == 1;
        } else if (kind == 1) {
            if (!forward && sameBest && (w == 2 || w == 4)) continue;
            std::array<std::uint8_t, 2 * kUnitSize> bytes{};
            const std::size_t n = r.header.units() == 1 ? kUnitSize : 2 * kUnitSize;
            readable = f.ReadBytes(r.unit, bytes.data(), n) == n;
            text = HeaderTitle(bytes, r.header.units());
        } else {
            if (sameBest && w == (forward ? 1 : 2)) continue;
            AttachmentInfo info;
            readable = f.FindAttachment(r.unit, d, 0, &info) == r.unit;
            text = info.name;
        }
        if (readable && f.TextMatches(text, matchCase))
            best = key, winner = r.unit, w = kind, bestDate = d;
    }
    if (w == 4) {
        std::uint32_t order = forward ? 65535 : 0;
        for (const AttachmentInfo& a : f.ListAttachments(bestDate))
            if ((forward ? a.order < order : a.order > order) && f.TextMatches(a.name, matchCase))
                order = a.order, winner = a.unit;
    }
    return winner;
}

MatchScan Scan(Date from, bool forward) {
    MatchScan scan;
    scan.from = from;
    scan.forward = forward;
    return scan;
}

std::vector<std::uint8_t> Attachment(Date d, std::uint32_t order, std::u16string_view name) {
    auto image = RecordImage(kKindAttachment, d.year, d.month, d.day, 6);
    PutU32(&image[24], order);
    PutText(&image[128], 256, name);
    return image;
}

TEST(FindQueries, NearestDateFirstFromEveryKindOfStart) {
    MemDataFile d;
    ASSERT_EQ(d.file->SaveEntry({2023, 12, 31}, u"", u"", u"a walk by the sea"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 0, 0}, u"", u"", u"the year of the sea"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 0}, u"", u"", u"January: sea"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 2, 29}, u"", u"", u"leap day sea"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 0}, u"", u"", u"March sea"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 1}, u"Sea", u"", u"nothing"), 1);
    d.file->SetSearchSettings({u"sea", u"", false, false, true});
    auto next = [&](Date from) { return DateOf(*d.file, d.file->FindNextMatch(from, false)); };
    auto prev = [&](Date from) { return DateOf(*d.file, d.file->FindPreviousMatch(from, false)); };
    // From a month note: its days come after it, the previous month before.
    EXPECT_EQ(next({2024, 3, 0}), (Date{2024, 3, 1}));
    EXPECT_EQ(prev({2024, 3, 0}), (Date{2024, 2, 29}));
    // From a year note: its January note comes next, the last year's
    // December before.
    EXPECT_EQ(next({2024, 0, 0}), (Date{2024, 1, 0}));
    EXPECT_EQ(prev({2024, 0, 0}), (Date{2023, 12, 31}));
    // The first and the last date of the diary, and beyond them.
    EXPECT_EQ(next({0, 0, 0}), (Date{2023, 12, 31}));
    EXPECT_EQ(prev({9999, 99, 99}), (Date{2024, 3, 1}));
    EXPECT_EQ(d.file->FindPreviousMatch({2023, 12, 31}, false), 0u);
    EXPECT_EQ(d.file->FindNextMatch({2024, 3, 1}, false), 0u);
    EXPECT_EQ(d.file->FindNextMatch({2024, 3, 1}, true), 0u);
    EXPECT_EQ(next({2024, 2, 28}), (Date{2024, 2, 29}));
}

TEST(FindQueries, AttachmentsWinByOrderAndTitlesAndTextsByDirection) {
    MemDataFile d;
    const Date day{2024, 5, 5};
    ASSERT_EQ(d.file->SaveEntry(day, u"kite day", u"", u"a kite in the text"), 1);
    ASSERT_EQ(d.file->WriteRecord(Attachment(day, 7, u"kite7.jpg")), 1);
    ASSERT_EQ(d.file->WriteRecord(Attachment(day, 3, u"kite3.jpg")), 1);
    ASSERT_EQ(d.file->WriteRecord(Attachment(day, 5, u"other.jpg")), 1);
    d.file->SetSearchSettings({u"kite", u"", false, false, true});
    auto kindOf = [&](std::uint64_t u) { return d.file->ReadRecordHeader(u)->kind(); };
    EXPECT_EQ(kindOf(d.file->FindNextMatch({2024, 5, 4}, false)), kKindEntryHeader);
    EXPECT_EQ(kindOf(d.file->FindPreviousMatch({2024, 5, 6}, false)), kKindPlainText);
    // Only the attachments match: next takes order 3, previous order 7.
    d.file->SetSearchSettings({u"kite", u"jpg", true, false, true});
    AttachmentInfo a;
    ASSERT_NE(d.file->FindAttachment(d.file->FindNextMatch({2024, 5, 4}, false), day, 0, &a), 0u);
    EXPECT_EQ(a.order, 3u);
    ASSERT_NE(d.file->FindAttachment(d.file->FindPreviousMatch({2024, 5, 6}, false), day, 0, &a),
              0u);
    EXPECT_EQ(a.order, 7u);
    // "and" with "not include": the date whose text also has the second word
    // is skipped.
    ASSERT_EQ(d.file->SaveEntry({2024, 5, 9}, u"", u"", u"kite and rain"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 5, 10}, u"", u"", u"kite, dry"), 1);
    d.file->SetSearchSettings({u"kite", u"rain", true, false, false});
    EXPECT_EQ(DateOf(*d.file, d.file->FindNextMatch({2024, 5, 5}, false)), (Date{2024, 5, 10}));
    d.file->SetSearchSettings({u"snow", u"rain", false, true, true});
    EXPECT_EQ(DateOf(*d.file, d.file->FindNextMatch({2024, 5, 5}, false)), (Date{2024, 5, 9}));
}

// Whatever is saved, deleted or written over, the search that keeps what
// it read answers as the walk that reads everything again.
TEST(FindQueries, KeptContentAnswersAsTheWalkThroughEveryChange) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        MemDataFile d;
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        auto randomDate = [&]() -> Date {
            const auto y = static_cast<std::int16_t>(2020 + pick(3));
            const int kind = pick(8);
            if (kind == 0) return {y, 0, 0};
            const auto m = static_cast<std::uint8_t>(1 + pick(12));
            if (kind == 1) return {y, m, 0};
            return {y, m, static_cast<std::uint8_t>(1 + pick(28))};
        };
        const std::u16string words[] = {u"Needle", u"hay", u"NEEDLE", u"straw", u"\u00e9t\u00e9"};
        // A tiny budget on odd seeds: most content is read again each time.
        if (seed % 2) d.file->SetSearchCacheBudget(600);
        for (int step = 0; step < 160; ++step) {
            const Date date = randomDate();
            std::u16string text;
            for (int i = pick(40); i-- > 0;) text += words[pick(5)] + (pick(6) ? u" " : u"\r\n");
            const int action = pick(12);
            if (action < 6) {
                ASSERT_EQ(d.file->SaveEntry(date, pick(4) ? u"" : words[pick(5)], u"", text), 1);
            } else if (action < 8) {
                ASSERT_EQ(d.file->SaveEntry(date, u"", u"", u""), 1);
            } else if (action < 10) {
                ASSERT_EQ(d.file->WriteRecord(Attachment(date, static_cast<std::uint32_t>(pick(4)),
                                                         words[pick(5)] + u".txt")),
                          1);
            } else {
                d.file->FreeDate(date.year, date.month, date.day, true);
            }
            if (step % 8 != 7) continue;
            const Date probe = randomDate();
            for (const SearchSettings& s :
                 {SearchSettings{u"needle", u"", false, false, true},
                  SearchSettings{u"needle", u"straw", true, false, false},
                  SearchSettings{u"\u00c9T\u00c9", u"hay", false, true, true}}) {
                d.file->SetSearchSettings(s);
                for (bool matchCase : {false, true}) {
                    ASSERT_EQ(d.file->FindNextMatch(probe, matchCase),
                              WalkMatch(*d.file, probe, matchCase, true))
                        << "seed " << seed << " step " << step;
                    ASSERT_EQ(d.file->FindPreviousMatch(probe, matchCase),
                              WalkMatch(*d.file, probe, matchCase, false))
                        << "seed " << seed << " step " << step;
                }
            }
        }
        if (seed % 2) {
            EXPECT_LE(d.file->SearchCacheBytes(), 600u);
        }
    }
}

TEST(FindQueries, ASaveOrADeleteIsSeenByTheNextSearch) {
    MemDataFile d;
    d.file->SetSearchSettings({u"lighthouse", u"", false, false, true});
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 2}, u"", u"", u"the lighthouse"), 1);
    ASSERT_EQ(DateOf(*d.file, d.file->FindNextMatch({0, 0, 0}, false)), (Date{2024, 1, 2}));
    EXPECT_GT(d.file->SearchCacheBytes(), 0u);
    // The text changes: the old one is gone from the answers, the new found.
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 2}, u"", u"", u"a harbour"), 1);
    EXPECT_EQ(d.file->FindNextMatch({0, 0, 0}, false), 0u);
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 3}, u"", u"", u"lighthouse again"), 1);
    EXPECT_EQ(DateOf(*d.file, d.file->FindNextMatch({0, 0, 0}, false)), (Date{2024, 1, 3}));
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 3}, u"", u"", u""), 1);
    EXPECT_EQ(d.file->FindNextMatch({0, 0, 0}, false), 0u);
    // Reopening forgets everything kept.
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 4}, u"Lighthouse", u"", u"x"), 1);
    ASSERT_NE(d.file->FindNextMatch({0, 0, 0}, false), 0u);
    d.reopen();
    EXPECT_EQ(d.file->SearchCacheBytes(), 0u);
    d.file->SetSearchSettings({u"lighthouse", u"", false, false, true});
    EXPECT_EQ(DateOf(*d.file, d.file->FindNextMatch({0, 0, 0}, false)), (Date{2024, 1, 4}));
}

TEST(FindQueries, ADamagedTextIsToldOnceAndMatchesNothing) {
    MemDataFile d;
    for (std::uint8_t day = 1; day <= 3; ++day) {
        auto image = RecordImage(kKindPlainText, 2024, 1, day, 3);
        PutU32(&image[24], 100);  // original size
        PutU32(&image[28], 1);    // compressed
        PutU32(&image[32], 50);   // a stream of 50 bytes that is not zlib
        ASSERT_EQ(d.file->WriteRecord(image), 1);
    }
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 9}, u"", u"", u"found"), 1);
    d.file->SetSearchSettings({u"found", u"", false, false, true});
    EXPECT_EQ(DateOf(*d.file, d.file->FindNextMatch({0, 0, 0}, false)), (Date{2024, 1, 9}));
    EXPECT_EQ(d.ui.warnings().size(), 1u);
    EXPECT_EQ(d.file->FindPreviousMatch({2024, 1, 9}, false), 0u);
    EXPECT_EQ(d.ui.warnings().size(), 1u) << "what was read is not read or told again";
}

TEST(FindQueries, EveryMatchingDateInOrderWithItsLineAndMarks) {
    MemDataFile d;
    ASSERT_EQ(d.file->SaveEntry({2024, 2, 1}, u"Harbour", u"", u"line one\r\nthe Tide came in"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 5}, u"TIDE tables", u"", u"nothing"), 1);
    ASSERT_EQ(d.file->SaveEntry({2024, 1, 0}, u"", u"", u"no match"), 1);
    const std::u16string longLine =
        std::u16string(300, u'x') + u" tide " + std::u16string(300, u'y');
    ASSERT_EQ(d.file->SaveEntry({2024, 3, 1}, u"", u"", longLine), 1);
    d.file->SetSearchSettings({u"tide", u"", false, false, true});
    std::vector<FindHit> hits;
    MatchScan scan = Scan({0, 0, 0}, true);
    d.file->FindMatches(scan, [&](FindHit&& h) { hits.push_back(std::move(h)); });
    EXPECT_TRUE(scan.finished);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].date, (Date{2024, 1, 5}));
    EXPECT_EQ(hits[0].kind, kKindEntryHeader);
    EXPECT_EQ(hits[0].line, u"TIDE tables");
    EXPECT_EQ(hits[0].marks, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 4}}));
    EXPECT_EQ(hits[1].title, u"Harbour");
    EXPECT_EQ(hits[1].kind, kKindPlainText);
    EXPECT_EQ(hits[1].line, u"the Tide came in");
    EXPECT_EQ(hits[1].marks, (std::vector<std::pair<std::size_t, std::size_t>>{{4, 4}}));
    EXPECT_EQ(hits[1].textPosition, 13u) << "a line break counts once";
    // A long line is cut around the match.
    EXPECT_LE(hits[2].line.size(), 162u);
    EXPECT_EQ(hits[2].line.front(), u'\u2026');
    EXPECT_EQ(hits[2].line.back(), u'\u2026');
    ASSERT_EQ(hits[2].marks.size(), 1u);
    EXPECT_EQ(hits[2].line.substr(hits[2].marks[0].first, 4), u"tide");

    // In steps: paused after every date, resumed after the last one examined
    // even when a save came in between.
    std::vector<Date> dates;
    MatchScan steps = Scan({0, 0, 0}, true);
    int calls = 0;
    while (!steps.finished && ++calls < 20) {
        d.file->FindMatches(
            steps, [&](FindHit&& h) { dates.push_back(h.date); }, [](double) { return false; });
        if (calls == 2) {
            ASSERT_EQ(d.file->SaveEntry({2024, 2, 20}, u"", u"", u"tide"), 1);
        }
    }
    EXPECT_EQ(dates, (std::vector<Date>{{2024, 1, 5}, {2024, 2, 1}, {2024, 2, 20}, {2024, 3, 1}}));
    // Backward, nearest first, the text's last match.
    hits.clear();
    MatchScan back = Scan({2024, 2, 25}, false);
    d.file->FindMatches(back, [&](FindHit&& h) { hits.push_back(std::move(h)); });
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].date, (Date{2024, 2, 20}));
    EXPECT_EQ(hits[2].date, (Date{2024, 1, 5}));
}

}  // namespace
}  // namespace tl::store
