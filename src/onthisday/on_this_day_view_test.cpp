// The view under the offscreen platform: rows from a data file in memory,
// keys and clicks, and the thumbnail of a real picture.

#include "on_this_day_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/temp_dir.h"

namespace tl::onthisday {
namespace {

class OnThisDayViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        save({2024, 3, 5}, u"Market day", u"Apples\ncheese");
        save({2020, 3, 5}, u"Harbour", u"Boats");
        save({2018, 3, 5}, u"Snow", u"Cold");
        QImage picture(120, 80, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const std::string path = (dir / "boats.png").string();
        ASSERT_TRUE(picture.save(QString::fromStdString(path)));
        ASSERT_EQ(data.file->AttachFile(path, {2020, 3, 5}, 1), 1);
        view.resize(360, 400);
        view.show();
    }
    void save(store::Date date, std::u16string_view title, std::u16string_view text) {
        ASSERT_EQ(data.file->SaveEntry(date, title, u"Sunny", text), 1);
    }

    testing::MemDataFile data;
    testing::TempDir dir;
    COnThisDayView view{*data.file};
};

TEST_F(OnThisDayViewTest, ArrowsMoveAndEnterOrAClickOpensTheRowsEntry) {
    view.setDate({2026, 3, 5});
    ASSERT_EQ(view.rows().size(), 3u);
    EXPECT_EQ(view.selectedRow(), 0);
    std::vector<store::Date> opened;
    QObject::connect(&view, &COnThisDayView::openRequested,
                     [&](store::Date date) { opened.push_back(date); });
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.selectedRow(), 1);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.selectedRow(), 2);
    QTest::keyClick(&view, Qt::Key_Up);
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], (store::Date{2020, 3, 5}));
    const QRect last = view.rowRect(2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, last.center());
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], (store::Date{2018, 3, 5}));
    EXPECT_EQ(view.selectedRow(), 2);
}

TEST_F(OnThisDayViewTest, TheFirstPictureGetsItsThumbnailOffTheInterfaceThread) {
    view.setDate({2026, 3, 5});
    EXPECT_FALSE(view.hasThumbnail(1));  // not made while the rows were read
    QTRY_VERIFY_WITH_TIMEOUT(view.hasThumbnail(1), 10000);
    EXPECT_FALSE(view.hasThumbnail(0));
    // The row is painted with it.
    const QImage shot = view.viewport()->grab(view.rowRect(1)).toImage();
    bool red = false;
    for (int x = 0; x < shot.width() && !red; ++x)
        for (int y = 0; y < shot.height() && !red; ++y) red = shot.pixelColor(x, y) == Qt::red;
    EXPECT_TRUE(red);
}

TEST_F(OnThisDayViewTest, AnotherDateReadsItsRowsAndAChangeIsReadOnReload) {
    view.setDate({2026, 3, 5});
    view.setSelectedRow(2);
    view.setDate({2026, 3, 6});
    EXPECT_TRUE(view.rows().empty());
    EXPECT_EQ(view.selectedRow(), -1);
    QTest::keyClick(&view, Qt::Key_Return);  // nothing to open, nothing breaks
    save({2025, 3, 6}, u"New", u"written later");
    view.reload();
    ASSERT_EQ(view.rows().size(), 1u);
    EXPECT_EQ(view.rows()[0].title, u"New");
}

}  // namespace
}  // namespace tl::onthisday
