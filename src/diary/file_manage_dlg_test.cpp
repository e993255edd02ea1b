// The attachment manager's window: the list and its totals, sorting by the
// headings, deleting with its question, the viewer, and the files a drag
// out of it (or out of a strip) hands to other programs.

#include "file_manage_dlg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QBuffer>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/temp_files.h"
#include "attachment_actions.h"
#include "attachment_drag.h"
#include "exchange/test_diary.h"
#include "pic_viewer_wnd.h"
#include "support/temp_dir.h"

namespace tl::diary {
namespace {

namespace fs = std::filesystem;
using exchange::testing::Attach;
using store::Date;

std::string Png(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(10, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// Which way the sort arrow drawn on a section points. The pixels that change
// when the order is reversed are the two arrows'; the darker side of each
// is the shown arrow's ink, and an upward triangle has most of its ink in
// the lower half of its rows.
enum class Arrow { Up, Down, None };
Arrow DrawnArrow(QHeaderView& header, int section) {
    const QRect rect(header.sectionViewportPosition(section), 0, header.sectionSize(section),
                     header.height());
    const Qt::SortOrder order = header.sortIndicatorOrder();
    const QImage shown = header.viewport()->grab(rect).toImage();
    header.setSortIndicator(section,
                            order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    const QImage reversed = header.viewport()->grab(rect).toImage();
    header.setSortIndicator(section, order);
    int first = -1, last = -1, ink = 0;
    double rows = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qGray(shown.pixel(x, y)) < qGray(reversed.pixel(x, y))) {
                if (first < 0) first = y;
                last = y;
                ++ink;
                rows += y;
            }
    if (ink == 0) return Arrow::None;
    return rows / ink > (first + last) / 2.0 ? Arrow::Up : Arrow::Down;
}

class FileManageDlgTest : public ::testing::Test {
protected:
    FileManageDlgTest()
        : oldTmp(qgetenv("TMPDIR")), file(exchange::testing::NewDiary(tmp / "Mrlwbk31.dat", ui)) {
        qputenv("TMPDIR", QByteArray::fromStdString((tmp / "sys").string()));
        fs::create_directory(tmp / "sys");
        Attach(*file, {2026, 2, 1}, "notes.txt", std::string(1000, 'n'), tmp / "s");
        Attach(*file, {2027, 1, 5}, "photo.png", Png(40, 30), tmp / "s");
        Attach(*file, {2026, 1, 0}, "month.txt", "month note's file", tmp / "s");
        ui.clear();
    }
    ~FileManageDlgTest() override {
        if (CPicViewerWnd* viewer = CPicViewerWnd::current()) delete viewer;
        if (oldTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTmp);
    }

    std::unique_ptr<CFileManageDlg> open() {
        auto rows = BuildFileManageRows(*file, ui);
        EXPECT_TRUE(rows);
        CFileManageDlg::Context context{file.get(), &copies,
                                        [this](Date d, std::uint32_t order, QWidget* parent) {
                                            return ShowDatedPicture(*file, false, d, order, parent);
                                        }};
        auto dialog = std::make_unique<CFileManageDlg>(context, std::move(*rows));
        dialog->show();
        return dialog;
    }
    static QStringList column(const CFileManageDlg& dialog, FileManageColumn c) {
        QStringList out;
        const FileManageModel& model = dialog.model();
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.data(model.index(r, static_cast<int>(c)), Qt::DisplayRole).toString();
        return out;
    }
    static void select(CFileManageDlg& dialog, std::initializer_list<int> rows) {
        auto* selection = dialog.list()->selectionModel();
        selection->clear();
        for (int r : rows)
            selection->select(dialog.model().index(r, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static int rowOf(const CFileManageDlg& dialog, const QString& name) {
        return static_cast<int>(column(dialog, FileManageColumn::Name).indexOf(name));
    }

    testing::TempDir tmp;
    QByteArray oldTmp;
    testing::RecordingUi ui;
    std::unique_ptr<store::CDiaryDataFile> file;
    app::TempFileList copies;
};

TEST_F(FileManageDlgTest, OpensAscendingByDateWithTotalsOfTheSelectionOrAll) {
    auto dialog = open();
    EXPECT_EQ(column(*dialog, FileManageColumn::Date),
              (QStringList{"01-05-2027", "01-2026", "02-01-2026"}));
    QHeaderView* header = dialog->list()->header();
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(DrawnArrow(*header, 1), Arrow::Up);
    EXPECT_EQ(header->sectionSize(4), 0);  // the order column waits to be widened

    const store::AttachmentInfo notes = file->ListAttachments({2026, 2, 1}).front();
    const store::AttachmentInfo photo = file->ListAttachments({2027, 1, 5}).front();
    const store::AttachmentInfo month = file->ListAttachments({2026, 1, 0}).front();
    const auto stored = [](const store::AttachmentInfo& a) {
        return a.compressed ? a.storedSize : a.originalSize;
    };
    const std::uint64_t all = notes.originalSize + photo.originalSize + month.originalSize;
    EXPECT_EQ(dialog->originalTotalText().remove(','), QString::number(all));
    EXPECT_EQ(dialog->compressedTotalText().remove(','),
              QString::number(stored(notes) + stored(photo) + stored(month)));

    select(*dialog, {rowOf(*dialog, "notes.txt")});
    EXPECT_EQ(dialog->originalTotalText(), QStringLiteral("1,000"));
    EXPECT_EQ(dialog->compressedTotalText(), QString::number(stored(notes)));
    const int rate = 1000 - static_cast<int>(static_cast<double>(stored(notes)) / 1000.0 * 1000.0);
    EXPECT_EQ(dialog->rateText(), QStringLiteral("%1.%2").arg(rate / 10).arg(rate % 10));
    dialog->list()->selectionModel()->clear();
    EXPECT_EQ(dialog->originalTotalText().remove(','), QString::number(all));

    // A click on "Original size" sorts descending first, a second ascending.
    const int x = header->sectionViewportPosition(2) + header->sectionSize(2) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(DrawnArrow(*header, 2), Arrow::Down);
    EXPECT_EQ(column(*dialog, FileManageColumn::Name).front(), QStringLiteral("notes.txt"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(DrawnArrow(*header, 2), Arrow::Up);
    EXPECT_EQ(column(*dialog, FileManageColumn::Name).front(), QStringLiteral("month.txt"));

    // From the keyboard: the list's menu sorts as a click on the heading.
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) offered << action->text();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(dialog->list(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(offered,
              (QStringList{"Sort by File name", "Sort by Date", "Sort by Original size",
                           "Sort by Compressed size", "Sort by Attachment order", "Delete"}));
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(column(*dialog, FileManageColumn::Name),
              (QStringList{"photo.png", "notes.txt", "month.txt"}));
}

TEST_F(FileManageDlgTest, DeleteAsksWithFileOrFilesAndTakesOnlyTheSelection) {
    auto dialog = open();
    dialog->deleteSelected();
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Select the Delete target."});

    select(*dialog, {0, 2});
    ui.answer(res::Answer::No);
    QTest::keyClick(dialog->list(), Qt::Key_Delete);
    EXPECT_EQ(ui.events().back().text, "Are you sure delete selected files?");
    EXPECT_EQ(dialog->model().rowCount(), 3);
    EXPECT_FALSE(dialog->deletedSomething());

    select(*dialog, {rowOf(*dialog, "photo.png")});
    ui.answer(res::Answer::Yes);
    dialog->deleteSelected();
    EXPECT_EQ(ui.events().back().text, "Are you sure delete selected file?");
    EXPECT_TRUE(dialog->deletedSomething());
    EXPECT_EQ(column(*dialog, FileManageColumn::Name), (QStringList{"month.txt", "notes.txt"}));
    EXPECT_TRUE(file->ListAttachments({2027, 1, 5}).empty());
    EXPECT_EQ(file->ListAttachments({2026, 2, 1}).size(), 1u);
    EXPECT_EQ(file->ListAttachments({2026, 1, 0}).size(), 1u);
    EXPECT_FALSE(ui.unexpectedQuestion());
}

TEST_F(FileManageDlgTest, PicturesOpenTheViewerOtherFilesNothing) {
    auto dialog = open();
    select(*dialog, {rowOf(*dialog, "notes.txt")});
    dialog->showSelectedPicture();
    EXPECT_EQ(CPicViewerWnd::current(), nullptr);
    select(*dialog, {rowOf(*dialog, "photo.png")});
    QTest::keyClick(dialog->list(), Qt::Key_Return);
    ASSERT_NE(CPicViewerWnd::current(), nullptr);
    EXPECT_EQ(CPicViewerWnd::current()->pictureSize(), QSize(40, 30));
}

TEST_F(FileManageDlgTest, DraggedFilesAreCopiesWithTheUsersModeAndTheStoredNamesAndTimes) {
    Attach(*file, {2026, 3, 3}, "notes.txt", "a second notes.txt", tmp / "s");
    ui.clear();
    AttachmentDragData data(*file, copies,
                            {{{2026, 2, 1}, 1}, {{2026, 3, 3}, 1}, {{2027, 1, 5}, 1}});
    EXPECT_TRUE(data.hasUrls());
    // The diary's own panes never take it as files to attach, and asking
    // does not write the copies.
    EXPECT_TRUE(DroppedFiles(&data).isEmpty());
    EXPECT_TRUE(copies.paths().empty());

    // The copies get what the umask gives a new file.
    const mode_t oldMask = ::umask(022);
    const QList<QUrl> urls = data.urls();
    ::umask(oldMask);
    ASSERT_EQ(urls.size(), 3);
    EXPECT_EQ(urls[0].fileName(), QStringLiteral("notes.txt"));
    EXPECT_EQ(urls[1].fileName(), QStringLiteral("notes(2).txt"));
    EXPECT_EQ(urls[2].fileName(), QStringLiteral("photo.png"));
    const std::vector<store::AttachmentInfo> photo = file->ListAttachments({2027, 1, 5});
    for (const QUrl& url : urls) {
        const std::string path = url.toLocalFile().toStdString();
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(st.st_mode & 0777, 0644u) << path;
    }
    std::ifstream in(urls[0].toLocalFile().toStdString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(1000, 'n'));
    struct stat st {};
    ASSERT_EQ(::stat(urls[2].toLocalFile().toStdString().c_str(), &st), 0);
    EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), photo.front().originalSize);
    EXPECT_EQ(st.st_mtime, photo.front().writeTime);

    // No progress for the first file, "Copying..." from the second on.
    std::vector<std::string> progress;
    for (const auto& e : ui.events()) progress.push_back(e.kind + ":" + e.text);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), "open:Copying...");
    EXPECT_EQ(progress.back(), "close:");
    // Asked again, the same copies.
    EXPECT_EQ(data.urls(), urls);

    // Removed at close, their folder with them.
    const fs::path folder = fs::path(urls[0].toLocalFile().toStdString()).parent_path();
    copies.RemoveAll([](const std::string&) { return false; },
                     [](const std::string&) { return false; });
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(FileManageDlgTest, CancelWhileCopyingOffersWhatWasWritten) {
    ui.cancelAtStep(1);
    AttachmentDragData data(*file, copies, {{{2026, 2, 1}, 1}, {{2027, 1, 5}, 1}});
    const QList<QUrl> urls = data.urls();
    ASSERT_EQ(urls.size(), 1);
    EXPECT_EQ(urls[0].fileName(), QStringLiteral("notes.txt"));
}

}  // namespace
}  // namespace tl::diary
