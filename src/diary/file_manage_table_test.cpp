// The attachment manager's table against the stored records: its rows and
// numbers, the order of its columns, its totals, and deleting followed by
// the compaction at close.

#include "file_manage_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/maintenance.h"
#include "exchange/test_diary.h"
#include "store/record_images.h"
#include "support/temp_dir.h"

namespace tl::diary {
namespace {

namespace fs = std::filesystem;
using exchange::testing::Attach;
using store::Date;

FileManageRow Row(Date date, std::uint32_t order, std::u16string name, std::uint64_t original,
                  std::uint64_t stored) {
    store::AttachmentInfo info;
    info.date = date;
    info.order = order;
    info.name = std::move(name);
    info.originalSize = original;
    info.compressed = stored != 0;
    info.storedSize = stored;
    return MakeFileManageRow(info);
}

std::vector<std::u16string> Column(const std::vector<FileManageRow>& rows, FileManageColumn c) {
    std::vector<std::u16string> out;
    for (const FileManageRow& row : rows) out.push_back(FileManageCell(row, c));
    return out;
}

// Text whose bytes do not repeat much: it stays nearly its own size.
std::string Noise(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (char& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return s;
}

class FileManageTableTest : public ::testing::Test {
protected:
    FileManageTableTest() : file(exchange::testing::NewDiary(tmp / "Mrlwbk31.dat", ui)) {}

    testing::TempDir tmp;
    testing::RecordingUi ui;
    std::unique_ptr<store::CDiaryDataFile> file;
};

TEST_F(FileManageTableTest, RowsFollowTheStoredRecordsInFileOrder) {
    ASSERT_EQ(file->SaveEntry({2026, 3, 5}, u"Trip", u"", u"text"), 1);
    Attach(*file, {2026, 3, 5}, "notes.txt", std::string(5000, 'a'), tmp / "s");
    Attach(*file, {2026, 3, 0}, "photos.zip", Noise(1234, 7), tmp / "s");
    Attach(*file, {2026, 0, 0}, "plan.txt", "short", tmp / "s");
    Attach(*file, {2026, 3, 5}, "more.txt", std::string(12'000, 'b'), tmp / "s");

    ui.clear();
    const auto rows = BuildFileManageRows(*file, ui);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 4u);
    EXPECT_EQ(ui.events().front().kind, "open");
    EXPECT_EQ(ui.events().front().text, "Fetching attachment information.");
    EXPECT_EQ(ui.events().back().kind, "close");

    EXPECT_EQ(Column(*rows, FileManageColumn::Name),
              (std::vector<std::u16string>{u"notes.txt", u"photos.zip", u"plan.txt", u"more.txt"}));
    EXPECT_EQ(Column(*rows, FileManageColumn::Date),
              (std::vector<std::u16string>{u"03-05-2026", u"03-2026", u"2026", u"03-05-2026"}));
    EXPECT_EQ(Column(*rows, FileManageColumn::Order),
              (std::vector<std::u16string>{u"1", u"1", u"1", u"2"}));
    EXPECT_EQ(FileManageCell((*rows)[3], FileManageColumn::OriginalSize), u"12,000");

    // Every number as the records give it: a compressed file its stream's
    // length, an archive (kept as it is) its own size.
    for (const FileManageRow& row : *rows) {
        store::AttachmentInfo info;
        ASSERT_EQ(file->FindAttachment(0, row.date, row.order, &info), row.unit);
        EXPECT_EQ(row.name, info.name);
        EXPECT_EQ(row.originalSize, info.originalSize);
        EXPECT_EQ(row.storedSize, info.compressed ? info.storedSize : info.originalSize);
    }
    EXPECT_FALSE((*rows)[1].compressed);
    EXPECT_EQ((*rows)[1].storedSize, 1234u);
    EXPECT_TRUE((*rows)[0].compressed);
    EXPECT_LT((*rows)[0].storedSize, 5000u);
}

TEST_F(FileManageTableTest, CancelWhileFetchingShowsNoTable) {
    for (std::uint8_t i = 0; i < 3; ++i)
        Attach(*file, {2026, 1, static_cast<std::uint8_t>(i + 1)}, "a.txt", "bytes", tmp / "s");
    ui.clear();
    ui.cancelAtStep(2);
    EXPECT_FALSE(BuildFileManageRows(*file, ui));
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"Processing was aborted."});
    EXPECT_EQ(ui.events().back().kind, "inform");

    // A record of a kind the program does not know: told, no table.
    ui.clear();
    ASSERT_EQ(file->WriteRecord(store::NewImage(7, {2026, 1, 1}, 1)), 1);
    EXPECT_FALSE(BuildFileManageRows(*file, ui));
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Diary data is incorrect."});

    // A file without attachments gives an empty table.
    testing::RecordingUi otherUi;
    auto empty = exchange::testing::NewDiary(tmp / "empty.dat", otherUi);
    const auto none = BuildFileManageRows(*empty, otherUi);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

TEST(FileManageSortTest, DatesAndOrdersSortAsTextSizesByValue) {
    std::vector<FileManageRow> rows = {
        Row({2026, 2, 1}, 9, u"b.txt", 10, 0),
        Row({2027, 1, 5}, 10, u"a.txt", 9, 0),
        Row({2026, 1, 0}, 1, u"B.txt", 1'000, 0),
        Row({2026, 0, 0}, 2, u"ab.txt", 100, 0),
    };
    FileManageSort sort;
    sort.click(FileManageColumn::Date);
    // The first click on a column sorts it descending, the second ascending.
    EXPECT_EQ(sort.direction(), FileManageSort::Direction::Descending);
    sort.click(FileManageColumn::Date);
    EXPECT_EQ(sort.direction(), FileManageSort::Direction::Ascending);
    sort.apply(rows);
    EXPECT_EQ(Column(rows, FileManageColumn::Date),
              (std::vector<std::u16string>{u"01-05-2027", u"01-2026", u"02-01-2026", u"2026"}));

    sort.click(FileManageColumn::Order);
    EXPECT_EQ(sort.direction(), FileManageSort::Direction::Descending);
    sort.click(FileManageColumn::Order);
    sort.apply(rows);
    EXPECT_EQ(Column(rows, FileManageColumn::Order),
              (std::vector<std::u16string>{u"1", u"10", u"2", u"9"}));

    sort.click(FileManageColumn::OriginalSize);
    sort.click(FileManageColumn::OriginalSize);
    sort.apply(rows);
    EXPECT_EQ(Column(rows, FileManageColumn::OriginalSize),
              (std::vector<std::u16string>{u"9", u"10", u"100", u"1,000"}));
    sort.click(FileManageColumn::OriginalSize);
    sort.apply(rows);
    EXPECT_EQ(Column(rows, FileManageColumn::OriginalSize),
              (std::vector<std::u16string>{u"1,000", u"100", u"10", u"9"}));

    // Names by code unit: capitals before small letters, a prefix first.
    sort.click(FileManageColumn::Name);
    sort.click(FileManageColumn::Name);
    sort.apply(rows);
    EXPECT_EQ(Column(rows, FileManageColumn::Name),
              (std::vector<std::u16string>{u"B.txt", u"a.txt", u"ab.txt", u"b.txt"}));
}

TEST(FileManageTotalsTest, SelectionOrAllWithTheRate) {
    const std::vector<FileManageRow> rows = {
        Row({2026, 1, 1}, 1, u"a.txt", 1'000, 500),
        Row({2026, 1, 1}, 2, u"p.jpg", 1'000, 1'010),
        Row({2026, 1, 1}, 3, u"b.zip", 2'000, 0),
    };
    const int first[] = {0};
    FileManageTotals t = TotalsOf(rows, first);
    EXPECT_EQ(t.original, 1'000u);
    EXPECT_EQ(t.stored, 500u);
    EXPECT_EQ(RateText(t.rateTenths), u"50.0");

    const int picture[] = {1};
    EXPECT_EQ(RateText(TotalsOf(rows, picture).rateTenths), u"-1.0");

    t = TotalsOf(rows, {});
    EXPECT_EQ(t.original, 4'000u);
    EXPECT_EQ(t.stored, 3'510u);
    EXPECT_EQ(RateText(t.rateTenths), u"12.3");  // 877.5 thousandths kept

    // Less than a whole percent lost keeps its sign; nothing is 0.0.
    const std::vector<FileManageRow> slight = {Row({2026, 1, 1}, 1, u"x", 1'000, 1'005)};
    EXPECT_EQ(RateText(TotalsOf(slight, {}).rateTenths), u"-0.5");
    EXPECT_EQ(RateText(TotalsOf({}, {}).rateTenths), u"0.0");

    // Thousands of large files pass what 32 bits hold.
    const std::vector<FileManageRow> big(500, Row({2026, 1, 1}, 1, u"v.mp4", 9'999'999, 0));
    t = TotalsOf(big, {});
    EXPECT_EQ(t.original, 4'999'999'500u);
    EXPECT_EQ(RateText(t.rateTenths), u"0.0");
}

TEST_F(FileManageTableTest, DeletionThenCompactionKeepsEverythingElse) {
    ASSERT_EQ(file->SaveEntry({2026, 3, 5}, u"Trip", u"sun", u"We went."), 1);
    ASSERT_EQ(file->SaveEntry({2026, 3, 6}, u"Home", u"", u"Back."), 1);
    Attach(*file, {2026, 3, 5}, "keep.txt", "kept bytes", tmp / "s");
    Attach(*file, {2026, 3, 5}, "drop.bin", Noise(40'000, 3), tmp / "s");
    Attach(*file, {2026, 3, 6}, "drop2.txt", std::string(30'000, 'z'), tmp / "s");
    Attach(*file, {2026, 3, 6}, "keep2.txt", "also kept", tmp / "s");
    const exchange::testing::Snapshot before = exchange::testing::Take(*file);

    auto rows = BuildFileManageRows(*file, ui);
    ASSERT_TRUE(rows);
    std::vector<int> chosen;
    for (int i = 0; i < static_cast<int>(rows->size()); ++i)
        if ((*rows)[static_cast<std::size_t>(i)].name.starts_with(u"drop")) chosen.push_back(i);
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(DeleteFileManageRows(*file, *rows, chosen), 2);
    EXPECT_EQ(Column(*rows, FileManageColumn::Name),
              (std::vector<std::u16string>{u"keep.txt", u"keep2.txt"}));
    const auto sizeBefore = fs::file_size(tmp / "Mrlwbk31.dat");

    const fs::path fresh = tmp / "fresh";
    fs::create_directory(fresh);
    ASSERT_EQ(app::OptimiseDataFile(*file, fresh.string()), 1);
    ASSERT_TRUE(file->IsWritable());
    EXPECT_LT(fs::file_size(tmp / "Mrlwbk31.dat"), sizeBefore - 40'000);

    exchange::testing::Snapshot expected = before;
    std::erase_if(expected.attachments, [](const std::string& a) {
        return a.ends_with(std::string(30'000, 'z')) || a.size() > 40'000;
    });
    ASSERT_EQ(expected.attachments.size(), 2u);
    EXPECT_EQ(exchange::testing::Take(*file), expected);
    // The orders of what is left are as they were.
    const auto after = BuildFileManageRows(*file, ui);
    ASSERT_TRUE(after);
    EXPECT_EQ(Column(*after, FileManageColumn::Order), (std::vector<std::u16string>{u"1", u"2"}));
    EXPECT_TRUE(ui.warnings().empty());
}

TEST_F(FileManageTableTest, RowsWhoseRecordIsGoneLeaveTheTable) {
    Attach(*file, {2026, 3, 5}, "a.txt", "a", tmp / "s");
    Attach(*file, {2026, 3, 5}, "b.txt", "b", tmp / "s");
    auto rows = BuildFileManageRows(*file, ui);
    ASSERT_TRUE(rows);
    ASSERT_EQ(file->DeleteAttachment({2026, 3, 5}, 1), 1);
    const int both[] = {0, 1};
    EXPECT_EQ(DeleteFileManageRows(*file, *rows, both), 1);
    EXPECT_TRUE(rows->empty());
    EXPECT_TRUE(file->ListAttachments({2026, 3, 5}).empty());
}

}  // namespace
}  // namespace tl::diary
