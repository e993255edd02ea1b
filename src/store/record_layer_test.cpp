#include <gtest/gtest.h>

#include "diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"

namespace tl::store {
namespace {

using testing::Chain;
using testing::MemDataFile;
using testing::RecordImage;
using Links = std::vector<std::pair<int, std::uint32_t>>;

TEST(RecordLayer, FirstRecordGrowsTheFileFromUnitOne) {
    MemDataFile d;
    EXPECT_EQ(d.file->Allocate(2), 0u);
    std::uint64_t unit = 0;
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 3, 5, 2), &unit), 1);
    EXPECT_EQ(unit, 1u);
    EXPECT_EQ(d.file->TotalUnits(), 3u);
    EXPECT_EQ(Chain(*d.file), (Links{{255, 1}, {1, 2}}));
    d.reopen();
    EXPECT_EQ(d.file->Validate(), 1);
    auto h = d.file->ReadRecordHeader(1);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->key(), "20240305");
}

TEST(RecordLayer, FirstFitSplitsMergesAndReusesFreeRecords) {
    MemDataFile d;
    std::uint64_t a, b, c, e;
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 1, 1, 3), &a), 1);  // units 1-3
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 1, 2, 1), &b), 1);  // 4
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 1, 3, 2), &c), 1);  // 5-6
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 1, 4, 1), &e), 1);  // 7

    // A 2-unit record in a freed 3-unit one leaves a 1-unit free record.
    d.file->FreeRecord(a);
    std::uint64_t u;
    ASSERT_EQ(d.file->WriteRecord(RecordImage(5, 2024, 1, 1, 2), &u), 1);
    EXPECT_EQ(u, 1u);
    EXPECT_EQ(Chain(*d.file), (Links{{255, 1}, {5, 2}, {0, 1}, {2, 1}, {2, 2}, {2, 1}}));

    // Adjacent free records of 1 and 2 units (after freeing unit 4 and 5-6:
    // 1 + 1 + 2) satisfy a 3-unit request; the rest stays free.
    d.file->FreeRecord(b);
    d.file->FreeRecord(c);
    EXPECT_EQ(d.file->Allocate(3), 3u);
    EXPECT_EQ(Chain(*d.file), (Links{{255, 1}, {5, 2}, {0, 3}, {0, 1}, {2, 1}}));

    // An exact fit leaves no remainder.
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 2, 1, 3), &u), 1);
    EXPECT_EQ(u, 3u);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 2, 2, 1), &u), 1);
    EXPECT_EQ(u, 6u);
    EXPECT_EQ(Chain(*d.file), (Links{{255, 1}, {5, 2}, {1, 3}, {1, 1}, {2, 1}}));
    EXPECT_EQ(d.file->TotalUnits(), 8u);
    EXPECT_EQ(d.file->Validate(), 1);
}

TEST(RecordLayer, TooSmallFreeRecordAtTheEndIsNotExtended) {
    MemDataFile d;
    std::uint64_t last;
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 1, 1, 2)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 1, 2, 1), &last), 1);
    d.file->FreeRecord(last);
    std::uint64_t u;
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 1, 3, 3), &u), 1);
    EXPECT_EQ(u, 4u);
    EXPECT_EQ(d.file->TotalUnits(), 7u);
    EXPECT_EQ(Chain(*d.file), (Links{{255, 1}, {2, 2}, {0, 1}, {2, 3}}));
}

TEST(RecordLayer, RecordContentsRoundTripAndFreeingKeepsThemStale) {
    MemDataFile d;
    auto image = RecordImage(4, 1999, 12, 31, 3, 0x00);
    for (std::size_t i = kRecordHeaderSize; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    std::uint64_t u;
    ASSERT_EQ(d.file->WriteRecord(image, &u), 1);
    d.reopen();
    std::vector<std::uint8_t> back(image.size());
    ASSERT_EQ(d.file->ReadBytes(u, back.data(), back.size()), back.size());
    EXPECT_EQ(back, image);
    d.file->FreeRecord(u);
    ASSERT_EQ(d.file->ReadBytes(u, back.data(), back.size()), back.size());
    image[0] = 0;
    EXPECT_EQ(back, image) << "freeing rewrites only the kind byte";
    // A read past the end leaves the buffer as it was.
    std::vector<std::uint8_t> probe(kUnitSize, 0xee);
    EXPECT_LT(d.file->ReadBytes(d.file->TotalUnits(), probe.data(), probe.size()), kUnitSize);
    EXPECT_EQ(probe, std::vector<std::uint8_t>(kUnitSize, 0xee));
}

TEST(RecordLayer, FreeingByDateKindAndWholeFile) {
    MemDataFile d;
    for (int kind = 1; kind <= 5; ++kind)
        ASSERT_EQ(d.file->WriteRecord(RecordImage(kind, 2024, 3, 5, 1)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 3, 6, 1)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2025, 3, 5, 1)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(6, 0, 0, 0, 5)), 1);

    // The entry is gathered end to end first (its copy at the end), so
    // that no moment shows its texts without their header.
    d.file->FreeDate(2024, 3, 5, false);
    EXPECT_EQ(
        Chain(*d.file),
        (Links{{255, 1}, {0, 1}, {0, 1}, {0, 1}, {4, 1}, {0, 1}, {1, 1}, {1, 1}, {6, 5}, {0, 3}}));
    d.file->FreeDate(2024, 3, 5, true);
    EXPECT_EQ(Chain(*d.file)[4], std::make_pair(0, 1u));

    d.file->FreeAllDiaryRecords();
    EXPECT_EQ(
        Chain(*d.file),
        (Links{{255, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {6, 5}, {0, 3}}));
    d.file->FreeWeatherLists();
    EXPECT_EQ(Chain(*d.file)[8], std::make_pair(0, 5u));
}

TEST(RecordLayer, FindersReturnTheFirstMatchInChainOrder) {
    MemDataFile d;
    std::uint64_t hdr, text, att, rich;
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 3, 5, 2), &hdr), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(4, 2024, 3, 5, 6), &att), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 3, 5, 1), &text), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(5, 2024, 3, 5, 2), &rich), 1);
    RecordHeader h;
    EXPECT_EQ(d.file->FindNext(kKindRichText, 0, &h), rich);
    EXPECT_EQ(h.key(), "20240305");
    EXPECT_EQ(d.file->FindNext(kKindRichText, rich + 2), 0u);
    EXPECT_EQ(d.file->FindNext(kKindStickyNote, 0), 0u);
    EXPECT_EQ(d.file->FindNext(kKindRichText, d.file->TotalUnits()), 0u);
    EXPECT_EQ(d.file->FindNextContent(0, false, false), text);
    EXPECT_EQ(d.file->FindNextContent(0, true, false), att);
    EXPECT_EQ(d.file->FindNextContent(0, true, true), hdr);
    EXPECT_EQ(d.file->FindNextContent(hdr + 2, false, true), text);
}

TEST(RecordLayer, CountByKindCountsKeysInTheRangeIncludingStaleFreeDates) {
    MemDataFile d;
    KindCounts counts;
    ASSERT_EQ(d.file->CountByKind(counts), 1);  // header only
    EXPECT_EQ(counts, KindCounts{});
    std::uint64_t freed;
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 3, 0, 2)), 1);  // March 2024 note
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 3, 0, 1)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(3, 2024, 3, 0, 3)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(4, 2024, 3, 0, 2)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(4, 2024, 3, 0, 1)), 1);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 3, 1, 2)), 1);  // 1 March
    ASSERT_EQ(d.file->WriteRecord(RecordImage(1, 2024, 0, 0, 2)), 1);  // 2024 note
    ASSERT_EQ(d.file->WriteRecord(RecordImage(2, 2024, 3, 0, 1), &freed), 1);
    d.file->FreeRecord(freed);
    ASSERT_EQ(d.file->WriteRecord(RecordImage(6, 0, 0, 0, 5)), 1);

    ASSERT_EQ(d.file->CountByKind(counts, "20240300", "20240300"), 1);
    EXPECT_EQ(counts, (KindCounts{1, 1, 1, 1, 2, 0, 0}));
    ASSERT_EQ(d.file->CountByKind(counts), 1);
    EXPECT_EQ(counts, (KindCounts{1, 3, 1, 1, 2, 0, 1}));
    ASSERT_EQ(d.file->CountByKind(counts, "20240301", "20241231"), 1);
    EXPECT_EQ(counts, (KindCounts{0, 1, 0, 0, 0, 0, 0}));
}

TEST(RecordLayer, UnitsForPayloadAllotsASpareUnitOnExactMultiples) {
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(0), 1u);
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(84), 1u);
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(85), 2u);
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(211), 2u);
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(212), 3u);
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(213), 3u);
    EXPECT_EQ(CDiaryDataFile::UnitsForPayload(9'999'999), 78'126u);
}

TEST(RecordLayer, MalformedImagesAreRefused) {
    MemDataFile d;
    auto image = RecordImage(2, 2024, 1, 1, 2);
    EXPECT_EQ(d.file->WriteRecord(std::span(image).first(200)), 0);
    PutU32(&image[8], 3);
    EXPECT_EQ(d.file->WriteRecord(image), 0);
    PutU32(&image[8], 0);
    EXPECT_EQ(d.file->WriteRecord(std::span(image).first(0)), 0);
    EXPECT_EQ(d.file->TotalUnits(), 1u);
}

using testing::FaultyFileSystem;

TEST(RecordLayer, AFailedWriteAtAnyPointLeavesASoundChainWithOrWithoutTheRecord) {
    // Writes: reuse of a freed stretch (remainder header, start header,
    // body, record header) and growth (body, header, file header).
    for (int n = 1; n <= 8; ++n) {
        MemDataFile base;
        FaultyFileSystem faulty(base.fs);
        CDiaryDataFile f(faulty, base.ui);
        f.SetPath(base.path);
        f.SetKey(DeriveDataFileKey());
        base.file->Close();
        ASSERT_EQ(f.Open(false), OpenResult::Opened);
        std::uint64_t big;
        ASSERT_EQ(f.WriteRecord(RecordImage(2, 2024, 1, 1, 4), &big), 1);
        f.FreeRecord(big);

        faulty.arm(n);
        bool written = false;
        try {
            written = f.WriteRecord(RecordImage(5, 2024, 1, 2, 2)) == 1 &&
                      f.WriteRecord(RecordImage(1, 2024, 1, 2, 3)) == 1;
        } catch (const FileError&) {
        }
        f.Close();
        ASSERT_EQ(f.Open(false), OpenResult::Opened);
        EXPECT_EQ(f.Validate(), 1) << "failure at write " << n;
        if (written) {
            EXPECT_NE(f.FindNext(kKindEntryHeader, 0), 0u);
        }
        // Whatever kinds survive, the text record is either whole or absent.
        RecordHeader h;
        if (std::uint64_t u = f.FindNext(kKindRichText, 0, &h)) {
            std::vector<std::uint8_t> back(2 * kUnitSize);
            ASSERT_EQ(f.ReadBytes(u, back.data(), back.size()), back.size());
            EXPECT_EQ(back, RecordImage(5, 2024, 1, 2, 2)) << "failure at write " << n;
        }
    }
}

}  // namespace
}  // namespace tl::store
