#include "year_day_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/temp_dir.h"

namespace tl::calendar {
namespace {

using store::Date;
using store::EntryHeader;
using store::TitleColors;

class YearDayTableTest : public ::testing::Test {
protected:
    store::CDiaryDataFile& file() { return *m_mem.file; }

    void save(Date date, const std::u16string& title, TitleColors colors = {}) {
        EntryHeader h;
        h.title = title;
        h.colors = colors;
        ASSERT_EQ(file().SaveEntry(date, h, u"text"), 1);
    }
    void attach(Date date, const std::string& name) {
        const std::string path = (m_dir / name).string();
        std::ofstream(path) << "bytes of " << name;
        ASSERT_EQ(file().AttachFile(path, date, file().MaxAttachmentOrder(date) + 1), 1);
    }
    // The table a fresh build gives, to compare a patched one against.
    YearDayTable rebuilt(std::int16_t year, bool existOnly) {
        YearDayTable t(file());
        t.RebuildYearTable(year, existOnly);
        return t;
    }

    testing::MemDataFile m_mem;
    testing::TempDir m_dir;
};

void ExpectSameTable(const YearDayTable& a, const YearDayTable& b) {
    ASSERT_EQ(a.count(), b.count());
    for (int i = 0; i < a.count(); ++i) {
        const DayRow& x = a.row(i);
        const DayRow& y = b.row(i);
        SCOPED_TRACE(::testing::Message()
                     << "row " << i << " " << int(x.month) << "/" << int(x.day));
        EXPECT_EQ(x.month, y.month);
        EXPECT_EQ(x.day, y.day);
        EXPECT_EQ(x.hasEntry, y.hasEntry);
        EXPECT_EQ(x.hasFile, y.hasFile);
        EXPECT_EQ(x.hasPicture, y.hasPicture);
        EXPECT_EQ(x.title, y.title);
        EXPECT_EQ(x.titleColor, y.titleColor);
        EXPECT_EQ(x.backFlag, y.backFlag);
        EXPECT_EQ(x.backColor, y.backColor);
        EXPECT_EQ(x.blinkKind, y.blinkKind);
    }
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(a.monthNote(m).note, b.monthNote(m).note) << m;
        EXPECT_EQ(a.monthNote(m).file, b.monthNote(m).file) << m;
        EXPECT_EQ(a.monthNote(m).picture, b.monthNote(m).picture) << m;
    }
    EXPECT_EQ(a.yearNote().note, b.yearNote().note);
    EXPECT_EQ(a.yearNote().file, b.yearNote().file);
    EXPECT_EQ(a.yearNote().picture, b.yearNote().picture);
}

TEST(DaysInMonthTest, FebruaryFollowsTheGregorianLeapRule) {
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 0), 0);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST(PictureNameTest, ExtensionDecidesWithoutRegardToCase) {
    EXPECT_TRUE(IsPictureName(u"photo.JPG"));
    EXPECT_TRUE(IsPictureName(u"scan.tiff"));
    EXPECT_TRUE(IsPictureName(u"a.b.Dib"));
    EXPECT_FALSE(IsPictureName(u"photo.jpg.zip"));
    EXPECT_FALSE(IsPictureName(u"jpg"));
    EXPECT_FALSE(IsPictureName(u"notes.txt"));
    EXPECT_FALSE(IsPictureName(u"photo."));
}

TEST_F(YearDayTableTest, FullBuildHasOneRowPerDayOfTheYear) {
    for (int y : {2000, 2024, 1900, 2100}) {
        YearDayTable t = rebuilt(static_cast<std::int16_t>(y), false);
        const bool leap = y == 2000 || y == 2024;
        EXPECT_EQ(t.count(), leap ? 366 : 365) << y;
        EXPECT_EQ(t.row(59).month, leap ? 2 : 3) << y;
        EXPECT_EQ(t.row(59).day, leap ? 29 : 1) << y;
        EXPECT_EQ(t.row(0).month, 1);
        EXPECT_EQ(t.row(0).day, 1);
        EXPECT_EQ(t.row(t.count() - 1).month, 12);
        EXPECT_EQ(t.row(t.count() - 1).day, 31);
    }
}

TEST_F(YearDayTableTest, EntriesAndNotesLandInTheirRowsAndFlags) {
    const TitleColors colors{0x0000FF, 1, 0x00FFFF, 2};
    save({2023, 3, 10}, u"Spring walk", colors);
    save({2023, 12, 31}, u"Last day");
    save({2023, 4, 0}, u"April note");
    save({2023, 0, 0}, u"Year note");
    save({2022, 3, 11}, u"Other year");
    save({2024, 2, 29}, u"Leap day");
    const YearDayTable t = rebuilt(2023, false);

    const DayRow& r = t.row(31 + 28 + 9);
    EXPECT_EQ(r.month, 3);
    EXPECT_EQ(r.day, 10);
    EXPECT_TRUE(r.hasEntry);
    EXPECT_FALSE(r.hasFile);
    EXPECT_EQ(r.title, u"Spring walk");
    EXPECT_EQ(r.titleColor, 0x0000FFu);
    EXPECT_EQ(r.backFlag, 1);
    EXPECT_EQ(r.backColor, 0x00FFFFu);
    EXPECT_EQ(r.blinkKind, 2);
    EXPECT_TRUE(t.row(364).hasEntry);
    EXPECT_FALSE(t.row(31 + 28 + 10).hasEntry);  // 11 March is 2022's
    EXPECT_TRUE(t.monthNote(4).note);
    EXPECT_FALSE(t.monthNote(3).note);
    EXPECT_TRUE(t.yearNote().note);
    int entries = 0;
    for (const DayRow& row : t.rows()) entries += row.hasEntry;
    EXPECT_EQ(entries, 2);

    const YearDayTable leap = rebuilt(2024, false);
    EXPECT_TRUE(leap.row(59).hasEntry);
    EXPECT_FALSE(leap.yearNote().note);
}

TEST_F(YearDayTableTest, AttachmentsSetPictureAndFileFlags) {
    attach({2023, 5, 1}, "photo.JPG");
    attach({2023, 5, 1}, "notes.txt");
    attach({2023, 5, 2}, "scan.png");
    attach({2023, 6, 0}, "plan.pdf");
    attach({2023, 0, 0}, "cover.bmp");
    const YearDayTable t = rebuilt(2023, false);
    const DayRow& both = t.row(*t.FindRow(5, 1));
    EXPECT_TRUE(both.hasPicture);
    EXPECT_TRUE(both.hasFile);
    EXPECT_FALSE(both.hasEntry);
    EXPECT_TRUE(both.hasContent());
    const DayRow& picture = t.row(*t.FindRow(5, 2));
    EXPECT_TRUE(picture.hasPicture);
    EXPECT_FALSE(picture.hasFile);
    EXPECT_TRUE(t.monthNote(6).file);
    EXPECT_FALSE(t.monthNote(6).picture);
    EXPECT_FALSE(t.monthNote(6).note);
    EXPECT_TRUE(t.yearNote().picture);
    EXPECT_FALSE(t.yearNote().file);
}

TEST_F(YearDayTableTest, ImpossibleDatesOnDiskGetNoRow) {
    ASSERT_EQ(file().WriteRecord(testing::RecordImage(store::kKindEntryHeader, 2023, 2, 30, 2)), 1);
    ASSERT_EQ(file().WriteRecord(testing::RecordImage(store::kKindEntryHeader, 2023, 13, 0, 2)), 1);
    ASSERT_EQ(file().WriteRecord(testing::RecordImage(store::kKindEntryHeader, 2023, 14, 3, 2)), 1);
    const YearDayTable t = rebuilt(2023, false);
    EXPECT_EQ(t.count(), 365);
    for (const DayRow& r : t.rows())
        EXPECT_FALSE(r.hasContent()) << int(r.month) << "/" << int(r.day);
}

TEST_F(YearDayTableTest, ExistOnlyKeepsTheDaysWithContentInOrder) {
    save({2023, 3, 10}, u"b");
    save({2023, 3, 3}, u"a");
    YearDayTable t = rebuilt(2023, true);
    ASSERT_EQ(t.count(), 2);
    EXPECT_EQ(t.row(0).day, 3);
    EXPECT_EQ(t.row(1).day, 10);
    EXPECT_EQ(t.RowAtOrBefore(1, 1), 0);
    EXPECT_EQ(t.RowAtOrBefore(3, 9), 0);
    EXPECT_EQ(t.RowAtOrBefore(3, 10), 1);
    EXPECT_EQ(t.RowAtOrBefore(12, 31), 1);
    EXPECT_EQ(t.FindRow(3, 0), 0);
    EXPECT_EQ(t.FindRow(3, 4), std::nullopt);
    EXPECT_EQ(t.FindRow(4, 0), std::nullopt);

    save({2023, 3, 4}, u"new");
    t.OnEntrySaved({2023, 3, 4}, u"new", {});
    ASSERT_EQ(t.count(), 3);
    EXPECT_EQ(t.row(1).day, 4);
    ExpectSameTable(t, rebuilt(2023, true));
}

TEST_F(YearDayTableTest, ExistOnlyWithAnEmptyYearHasNoRows) {
    save({2022, 3, 3}, u"other year");
    const YearDayTable t = rebuilt(2023, true);
    EXPECT_EQ(t.count(), 0);
    EXPECT_EQ(t.RowAtOrBefore(6, 15), 0);
    EXPECT_EQ(t.FindRow(1, 0), std::nullopt);
}

// Each change is made in the file and patched into the table; the patched
// table must equal a fresh build after every step, in both modes.
TEST_F(YearDayTableTest, PatchesAfterSaveAttachAndDeleteMatchARebuild) {
    for (bool existOnly : {false, true}) {
        SCOPED_TRACE(existOnly ? "exist-only" : "full");
        testing::MemDataFile mem;
        m_mem.file.swap(mem.file);  // a fresh file for each mode
        YearDayTable t(file());
        t.RebuildYearTable(2024, existOnly);

        save({2024, 2, 29}, u"Leap", {0x112233, 1, 0x445566, 1});
        t.OnEntrySaved({2024, 2, 29}, u"Leap", {0x112233, 1, 0x445566, 1});
        ExpectSameTable(t, rebuilt(2024, existOnly));

        save({2024, 2, 29}, u"Leap again", {0, 0, 0, 0});
        t.OnEntrySaved({2024, 2, 29}, u"Leap again", {});
        ExpectSameTable(t, rebuilt(2024, existOnly));

        attach({2024, 1, 1}, "first.gif");
        t.OnAttachmentFlag({2024, 1, 1}, AttachmentKind::Picture, true);
        attach({2024, 12, 31}, "last.doc");
        t.OnAttachmentFlag({2024, 12, 31}, AttachmentKind::File, true);
        attach({2024, 2, 29}, "leap.txt");
        t.OnAttachmentFlag({2024, 2, 29}, AttachmentKind::File, true);
        attach({2024, 7, 0}, "july.jpg");
        t.OnAttachmentFlag({2024, 7, 0}, AttachmentKind::Picture, true);
        save({2024, 0, 0}, u"Year");
        t.OnEntrySaved({2024, 0, 0}, u"Year", {});
        ExpectSameTable(t, rebuilt(2024, existOnly));
        if (existOnly) {
            EXPECT_EQ(t.count(), 3);
        }

        // An entry deleted on a day that keeps its attachment keeps its row.
        file().FreeDate(2024, 2, 29, false);
        t.OnEntryDeleted({2024, 2, 29});
        ExpectSameTable(t, rebuilt(2024, existOnly));
        EXPECT_FALSE(t.row(*t.FindRow(2, 29)).hasEntry);
        EXPECT_TRUE(t.row(*t.FindRow(2, 29)).title.empty());

        // The last attachment of the last day removed.
        ASSERT_EQ(file().DeleteAttachment({2024, 12, 31}, 1), 1);
        t.OnAttachmentFlag({2024, 12, 31}, AttachmentKind::File, false);
        ExpectSameTable(t, rebuilt(2024, existOnly));

        file().FreeDate(2024, 0, 0, false);
        t.OnEntryDeleted({2024, 0, 0});
        ExpectSameTable(t, rebuilt(2024, existOnly));
        if (existOnly) {
            EXPECT_EQ(t.count(), 2);
        }
        m_mem.file.swap(mem.file);
    }
}

TEST_F(YearDayTableTest, PatchesForAnotherYearAreIgnored) {
    YearDayTable t = rebuilt(2023, true);
    t.OnEntrySaved({2024, 3, 4}, u"x", {});
    t.OnAttachmentFlag({2022, 3, 4}, AttachmentKind::File, true);
    t.OnEntrySaved({2024, 0, 0}, u"x", {});
    EXPECT_EQ(t.count(), 0);
    EXPECT_FALSE(t.yearNote().note);
    // A day that does not exist in the year is not added either.
    t.OnEntrySaved({2023, 2, 29}, u"x", {});
    EXPECT_EQ(t.count(), 0);
}

}  // namespace
}  // namespace tl::calendar
