// The attachments of an entry through its window: the strip, the menus'
// commands, drops, the viewer, link texts and the copies handed to other
// programs. The file dialogs and the desktop's "open" are answered by the
// test.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/app_settings.h"
#include "app/temp_files.h"
#include "attachment_actions.h"
#include "diary_documents.h"
#include "entry_attachments.h"
#include "head_view.h"
#include "marlow_doc.h"
#include "marlow_view.h"
#include "pic_viewer_wnd.h"
#include "picture_view.h"
#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/exif_sample.h"
#include "support/temp_dir.h"
#include "tab_strip.h"

namespace tl::diary {
namespace {

namespace fs = std::filesystem;
using store::Date;

constexpr Date kDay{2026, 12, 8};

// Receives what the program hands to the desktop's "open".
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

QByteArray Encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

QImage Filled(int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

class AttachmentWindowTest : public ::testing::Test {
protected:
    AttachmentWindowTest() : oldTmp(qgetenv("TMPDIR")) {
        // Copies for other programs go into this test's own folder.
        qputenv("TMPDIR", QByteArray::fromStdString((tmp / "sys").string()));
        fs::create_directory(tmp / "sys");
        area.resize(900, 600);
        DiaryContext context{&settings, data.file.get(), &data.ui, {}, &commands};
        context.chooseFilesToAttach = [this](QWidget*, QString* folder) {
            ++dialogs;
            *folder = QStringLiteral("/chosen");
            return toAttach;
        };
        context.chooseSavePath = [this](QWidget*, const QString& folder, const QString& name) {
            offered << name;
            savedFrom = folder;
            return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
        };
        documents = std::make_unique<CDiaryDocuments>(std::move(context), &area);
        area.show();
        area.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&area));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &opened, "open");
    }
    ~AttachmentWindowTest() override {
        if (CPicViewerWnd* viewer = CPicViewerWnd::current()) delete viewer;
        documents.reset();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        if (oldTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTmp);
    }

    std::string file(const std::string& name, const QByteArray& bytes) {
        const fs::path path = tmp / name;
        std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
        return path.string();
    }
    std::string textFile(const std::string& name, const std::string& text = "some text") {
        return file(name, QByteArray::fromStdString(text));
    }
    // The entry with the files attached before it is opened (as stored).
    CMarlowDoc* openWith(const std::vector<std::string>& paths, Date date = kDay) {
        for (const std::string& p : paths)
            EXPECT_EQ(data.file->AttachFile(p, date, data.file->MaxAttachmentOrder(date) + 1), 1);
        CMarlowDoc* doc = documents->OpenEntry(date, true);
        if (doc) {
            doc->frame()->show();
            waitForThumbnails(doc);
        }
        return doc;
    }
    static void waitForThumbnails(CMarlowDoc* doc) {
        EXPECT_TRUE(QTest::qWaitFor([doc] { return !doc->attachments().loading(); }, 10000));
        QApplication::processEvents();
    }
    static std::vector<std::uint32_t> orders(const EntryAttachments& list) {
        std::vector<std::uint32_t> out;
        for (std::size_t i = 0; i < list.size(); ++i) out.push_back(list.at(i).order());
        return out;
    }
    static QPoint slotCentre(CPictureView* strip, std::size_t index) {
        return strip->slotRect(index).center();
    }
    static void click(CPictureView* strip, std::size_t index,
                      Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(strip->viewport(), Qt::LeftButton, mods, slotCentre(strip, index));
    }

    testing::TempDir tmp;
    QByteArray oldTmp;
    app::AppSettings settings;
    res::CommandRegistry commands;
    testing::MemDataFile data;
    QMdiArea area;
    std::unique_ptr<CDiaryDocuments> documents;
    UrlRecorder opened;
    QStringList toAttach;
    int dialogs = 0;
    QStringList offered;
    QStringList saveAnswers;
    QString savedFrom;
};

TEST_F(AttachmentWindowTest, FirstAttachmentShowsTheStripAndTheSideBarFollows) {
    CMarlowDoc* doc = openWith({});
    ASSERT_NE(doc, nullptr);
    CPictureView* strip = doc->strip();
    EXPECT_FALSE(strip->isVisible()) << "no attachment, no strip";
    EXPECT_EQ(strip->rowHeight(), 0);

    QSignalSpy changed(documents.get(), &CDiaryDocuments::entryChanged);
    toAttach = {QString::fromStdString(textFile("notes.txt"))};
    ASSERT_TRUE(commands.run(res::Cmd::AttachFile));  // the Edit menu's command
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(settings.etc.attachLoadFolder, "/chosen") << "the dialog's folder is kept";
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->rowHeight(), strip->height());
    EXPECT_GE(strip->height(), 56);
    ASSERT_EQ(doc->attachments().size(), 1u);
    EXPECT_EQ(doc->attachments().at(0).order(), 1u);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<Date>(), kDay);

    // Deleting the last one hides the strip again.
    click(strip, 0);
    data.ui.answer(res::Answer::Yes);
    QTest::keyClick(strip, Qt::Key_Delete);
    EXPECT_EQ(data.ui.events().back().text, "Do you want to delete selected attached file?");
    EXPECT_TRUE(doc->attachments().empty());
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(data.file->ListAttachments(kDay).size(), 0u);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(AttachmentWindowTest, NewNumbersFollowTheFileWhenAnUnreadablePictureIsLeftOut) {
    const std::string a = textFile("a.txt");
    const std::string b = textFile("b.txt");
    const std::string photo = file("broken.png", Encoded(Filled(300, 200, Qt::red), "PNG"));
    ASSERT_EQ(data.file->AttachFile(a, kDay, 1), 1);
    ASSERT_EQ(data.file->AttachFile(b, kDay, 2), 1);
    store::AttachmentInfo info;
    ASSERT_EQ(data.file->AttachFile(photo, kDay, 3, &info), 1);
    // Its stored stream garbled: it cannot be read, so it is not listed.
    data.raw()[(info.unit + 5) * store::kUnitSize + 40] ^= 0x5A;
    CMarlowDoc* doc = openWith({});
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(orders(doc->attachments()), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_TRUE(data.ui.warnings().empty()) << "left out silently";

    doc->attachmentActions()->attachPaths({QString::fromStdString(textFile("c.txt"))});
    EXPECT_EQ(orders(doc->attachments()), (std::vector<std::uint32_t>{1, 2, 4}));
    std::vector<std::uint32_t> stored;
    for (const auto& a : data.file->ListAttachments(kDay)) stored.push_back(a.order);
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::uint32_t>{1, 2, 3, 4})) << "no number given twice";
}

TEST_F(AttachmentWindowTest, FiftyAttachmentsAreTheLimitWhereverFilesComeFrom) {
    std::vector<std::string> many;
    for (int i = 0; i < 49; ++i) many.push_back(textFile("f" + std::to_string(i) + ".txt"));
    CMarlowDoc* doc = openWith(many);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->attachments().size(), 49u);
    // Three files dropped on the editor: one fits.
    QMimeData drop;
    drop.setUrls({QUrl::fromLocalFile(QString::fromStdString(textFile("x.txt"))),
                  QUrl::fromLocalFile(QString::fromStdString(textFile("y.txt"))),
                  QUrl::fromLocalFile(QString::fromStdString(textFile("z.txt")))});
    QWidget* target = doc->view()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    EXPECT_EQ(doc->attachments().size(), 50u);
    EXPECT_EQ(data.ui.warnings(), std::vector<std::string>{"No more attachments is not allowed."});
    EXPECT_TRUE(doc->view()->toPlainText().isEmpty()) << "no file name typed into the text";
    // The dialog is not even offered now.
    doc->attachmentActions()->attachWithDialog();
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(data.ui.warnings().size(), 2u);
}

TEST_F(AttachmentWindowTest, DeleteAsksWithFileOrFilesAndNoKeepsThem) {
    CMarlowDoc* doc =
        openWith({textFile("a.txt"), textFile("b.txt"), textFile("c.txt"), textFile("d.txt")});
    ASSERT_NE(doc, nullptr);
    CPictureView* strip = doc->strip();
    click(strip, 1);
    click(strip, 3, Qt::ControlModifier);
    data.ui.answer(res::Answer::No);
    QTest::keyClick(strip, Qt::Key_Delete);
    EXPECT_EQ(data.ui.events().back().text, "Do you want to delete selected attached files?");
    EXPECT_EQ(doc->attachments().size(), 4u);
    data.ui.answer(res::Answer::Yes);
    QTest::keyClick(strip, Qt::Key_Delete);
    EXPECT_EQ(orders(doc->attachments()), (std::vector<std::uint32_t>{1, 3}));
    EXPECT_EQ(data.file->ListAttachments(kDay).size(), 2u);
    EXPECT_EQ(strip->selection().selectedCount(), 0u);
    EXPECT_FALSE(data.ui.unexpectedQuestion());
}

TEST_F(AttachmentWindowTest, StripSelectionByMouseKeysAndBand) {
    CMarlowDoc* doc = openWith({textFile("a.txt"), textFile("b.txt"), textFile("c.txt"),
                                textFile("d.txt"), textFile("e.txt")});
    ASSERT_NE(doc, nullptr);
    CPictureView* strip = doc->strip();
    using Indices = std::vector<std::size_t>;
    click(strip, 1);
    click(strip, 3, Qt::ShiftModifier);
    EXPECT_EQ(strip->selectedIndices(), (Indices{1, 2, 3}));
    click(strip, 2, Qt::ControlModifier);
    EXPECT_EQ(strip->selectedIndices(), (Indices{1, 3})) << "Ctrl-click unselects";
    QTest::keyClick(strip, Qt::Key_Right);
    EXPECT_EQ(strip->selectedIndices(), Indices{3});
    QTest::keyClick(strip, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(strip, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(strip->selectedIndices(), (Indices{1, 2, 3}));
    // Ctrl+A in the strip selects the attachments, not the text.
    ASSERT_TRUE(commands.isEnabled(res::Cmd::EditSelectAll));
    commands.run(res::Cmd::EditSelectAll);
    EXPECT_EQ(strip->selection().selectedCount(), 5u);
    EXPECT_FALSE(doc->view()->textCursor().hasSelection());

    // A band from the gap before the first slot over the second.
    QWidget* port = strip->viewport();
    const QPoint from(3, 2);
    const QPoint to = slotCentre(strip, 1);
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
    EXPECT_EQ(strip->selection().selectedCount(), 0u) << "a press outside the slots clears";
    QMouseEvent move(QEvent::MouseMove, to, port->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(strip->selectedIndices(), (Indices{0, 1}));
    // Another pane taking the focus clears the selection.
    doc->view()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(strip->selection().selectedCount(), 0u);
}

TEST_F(AttachmentWindowTest, SaveOffersSafeNamesAndCancelEndsTheCommand) {
    // A name that other systems refuse, and a backslash that reads as a
    // folder elsewhere.
    const std::string odd = textFile("re:port?<1>|\"x\"*.txt", "odd");
    const std::string slash = textFile("dir\\name.txt", "slash");
    CMarlowDoc* doc = openWith({odd, slash, textFile("third.txt", "third")});
    ASSERT_NE(doc, nullptr);
    settings.etc.attachSaveFolder = (tmp / "out").string();
    fs::create_directory(tmp / "out");
    doc->strip()->selectAll();
    saveAnswers = {QString::fromStdString((tmp / "out" / "first.txt").string()),
                   QString::fromStdString((tmp / "out" / "second.txt").string())};
    doc->attachmentActions()->saveSelected();
    EXPECT_EQ(offered, (QStringList{QStringLiteral("re:port?<1>|\"x\"*.txt"),
                                    QStringLiteral("dir_name.txt"), QStringLiteral("third.txt")}));
    EXPECT_EQ(savedFrom, QString::fromStdString((tmp / "out").string()));
    std::ifstream first(tmp / "out" / "first.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(first), {}), "odd");
    EXPECT_TRUE(fs::exists(tmp / "out" / "second.txt"));
    EXPECT_FALSE(fs::exists(tmp / "out" / "third.txt")) << "the third dialog was cancelled";
    struct stat st {};
    ASSERT_EQ(::stat((tmp / "out" / "first.txt").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR) << "saved copies stay writable";
}

TEST_F(AttachmentWindowTest, OpenedFilesAreReadOnlyCopiesRemovedAtClose) {
    CMarlowDoc* doc = openWith({textFile("report.pdf", "%PDF-1.4 report"), textFile("README"),
                                textFile("a\\..\\b.txt", "escape")});
    ASSERT_NE(doc, nullptr);
    CPictureView* strip = doc->strip();
    QTest::mouseDClick(strip->viewport(), Qt::LeftButton, Qt::NoModifier, slotCentre(strip, 0));
    ASSERT_EQ(opened.urls.size(), 1);
    const std::string copy = opened.urls[0].toLocalFile().toStdString();
    const fs::path folder = tmp / "sys" / ("Tally Leaf-" + std::to_string(::getuid()));
    EXPECT_EQ(fs::path(copy), folder / "report.pdf");
    std::ifstream in(copy);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "%PDF-1.4 report");
    struct stat st {};
    ASSERT_EQ(::stat(copy.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0400u) << "read-only, for this user alone";
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A name without an extension has no program to open it.
    QTest::mouseDClick(strip->viewport(), Qt::LeftButton, Qt::NoModifier, slotCentre(strip, 1));
    EXPECT_EQ(opened.urls.size(), 1);
    // A stored name never reaches outside the folder.
    strip->setFocus();
    click(strip, 2);
    QTest::keyClick(strip, Qt::Key_Return);
    ASSERT_EQ(opened.urls.size(), 2);
    EXPECT_EQ(fs::path(opened.urls[1].toLocalFile().toStdString()).parent_path(), folder);

    // Opened again while the first copy is still open elsewhere.
    const std::vector<std::string> before = documents->temporaryCopies().paths();
    EXPECT_EQ(before.size(), 2u);
    std::optional<std::string> second = doc->attachments().WriteTempCopy(
        0, const_cast<app::TempFileList&>(documents->temporaryCopies()),
        [&](const std::string& p) { return p == copy; });
    ASSERT_TRUE(second);
    EXPECT_EQ(fs::path(*second), folder / "report(2).pdf");

    // At close: the one still open is reported; Retry finds it closed.
    std::vector<std::string> asked;
    bool held = true;
    documents->removeTemporaryCopies([&](const std::string& p) { return held && p == copy; },
                                     [&](const std::string& name) {
                                         asked.push_back(name);
                                         held = false;
                                         return true;
                                     });
    EXPECT_EQ(asked, std::vector<std::string>{"report.pdf"});
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(documents->temporaryCopies().paths().empty());
}

TEST_F(AttachmentWindowTest, PicturesGetThumbnailsAndStepThroughTheViewer) {
    // A camera's JPEG: the photograph is blue, its stored preview green and
    // turned (orientation 6), so the thumbnail shows which one was used.
    const QByteArray photo = Encoded(Filled(640, 480, Qt::blue), "JPEG", 90);
    const QByteArray preview = Encoded(Filled(160, 120, Qt::green), "JPEG", 90);
    const auto camera = testing::WithExifPreview(
        std::span(reinterpret_cast<const std::uint8_t*>(photo.constData()),
                  static_cast<std::size_t>(photo.size())),
        std::span(reinterpret_cast<const std::uint8_t*>(preview.constData()),
                  static_cast<std::size_t>(preview.size())),
        6);
    CMarlowDoc* doc =
        openWith({file("plain.png", Encoded(Filled(300, 150, Qt::red), "PNG")),
                  file("camera.JPG", QByteArray(reinterpret_cast<const char*>(camera.data()),
                                                static_cast<qsizetype>(camera.size()))),
                  file("fake.jpg", "not a picture at all"), textFile("notes.txt")});
    ASSERT_NE(doc, nullptr);
    const EntryAttachments& list = doc->attachments();
    ASSERT_EQ(list.size(), 4u);
    ASSERT_EQ(list.at(0).thumbState(), CAttachFile::Thumb::Ready);
    EXPECT_EQ(list.at(0).thumbnail().size(), QSize(64, 32));
    EXPECT_EQ(list.at(0).thumbnail().pixelColor(30, 15), QColor(Qt::red));
    ASSERT_EQ(list.at(1).thumbState(), CAttachFile::Thumb::Ready);
    const QImage& thumb = list.at(1).thumbnail();
    EXPECT_LT(thumb.width(), thumb.height()) << "the preview is turned upright";
    const QColor seen = thumb.pixelColor(thumb.width() / 2, thumb.height() / 2);
    EXPECT_GT(seen.green(), 200);
    EXPECT_LT(seen.blue(), 60);
    EXPECT_FALSE(list.at(2).isPicture()) << "undecodable: shown as a file";
    EXPECT_FALSE(list.at(3).isPicture());
    EXPECT_TRUE(data.ui.warnings().empty());

    // The viewer opens on the first picture and steps through the pictures.
    CPictureView* strip = doc->strip();
    QTest::mouseDClick(strip->viewport(), Qt::LeftButton, Qt::NoModifier, slotCentre(strip, 0));
    CPicViewerWnd* viewer = CPicViewerWnd::current();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->count(), 2u) << "only the pictures";
    EXPECT_EQ(viewer->pictureSize(), QSize(300, 150));
    EXPECT_EQ(viewer->size(), QSize(302, 152));
    EXPECT_TRUE(opened.urls.isEmpty());
    QTest::keyClick(viewer, Qt::Key_Right);
    EXPECT_EQ(viewer->index(), 1u);
    EXPECT_EQ(viewer->pictureSize(), QSize(480, 640)) << "the photograph turned upright too";
    QTest::keyClick(viewer, Qt::Key_Plus);
    EXPECT_GT(viewer->zoom(), viewer->fitZoom());
    QTest::keyClick(viewer, Qt::Key_F);
    EXPECT_EQ(viewer->zoom(), viewer->fitZoom());
    QTest::keyClick(viewer, Qt::Key_Right);
    EXPECT_EQ(viewer->index(), 0u) << "round to the first";
    QPointer<CPicViewerWnd> guard(viewer);
    QTest::keyClick(viewer, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(guard.isNull() || !guard->isVisible());
    // The picture that is not one opens as a file.
    QTest::mouseDClick(strip->viewport(), Qt::LeftButton, Qt::NoModifier, slotCentre(strip, 2));
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_TRUE(opened.urls[0].toLocalFile().endsWith(QStringLiteral("fake.jpg")));
}

TEST_F(AttachmentWindowTest, LinkTextsAreCopiedAndInserted) {
    CMarlowDoc* doc =
        openWith({file("a.png", Encoded(Filled(20, 20, Qt::red), "PNG")), textFile("b.txt"),
                  file("c.png", Encoded(Filled(20, 20, Qt::red), "PNG"))});
    ASSERT_NE(doc, nullptr);
    QClipboard* clipboard = QApplication::clipboard();
    documents->copyLinkText(kDay);
    EXPECT_EQ(clipboard->text(), QStringLiteral("[diary:12-08-2026]"));
    documents->copyLinkText(Date{2026, 0, 0});
    EXPECT_EQ(clipboard->text(), QStringLiteral("[diary:2026]"));

    CPictureView* strip = doc->strip();
    click(strip, 1);
    doc->attachmentActions()->copyLinks(false);
    EXPECT_EQ(clipboard->text(), QStringLiteral("[diary:2026]")) << "no picture: left as it was";
    strip->selectAll();
    doc->attachmentActions()->copyLinks(false);
    EXPECT_EQ(clipboard->text(), QStringLiteral("[picture:001][picture:003]"));
    doc->attachmentActions()->copyLinks(true);
    EXPECT_EQ(clipboard->text(),
              QStringLiteral("[picture:12-08-2026-001][picture:12-08-2026-003]"));

    doc->view()->setPlainText(QStringLiteral("see "));
    doc->view()->moveCursor(QTextCursor::End);
    strip->setFocus();
    strip->selectAll();
    doc->attachmentActions()->insertLinks();
    EXPECT_EQ(doc->view()->toPlainText(), QStringLiteral("see [picture:001][picture:003]"));
    EXPECT_TRUE(doc->view()->hasFocus());
    doc->view()->undo();
    EXPECT_EQ(doc->view()->toPlainText(), QStringLiteral("see ")) << "one undoable step";
}

TEST_F(AttachmentWindowTest, TheStripsOwnDragInsertsLinksAndAttachesNothing) {
    CMarlowDoc* doc = openWith({file("a.png", Encoded(Filled(20, 20, Qt::red), "PNG"))});
    ASSERT_NE(doc, nullptr);
    CPictureView* strip = doc->strip();
    strip->selectAll();
    QMimeData drag;
    drag.setData(QString::fromLatin1(kStripMimeType), "20261208:1");
    drag.setUrls({QUrl::fromLocalFile(QString::fromStdString(textFile("a.png")))});
    QWidget* port = doc->view()->viewport();
    const auto dropOn = [&](QWidget* target) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &drag, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &drag, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return enter.isAccepted();
    };
    // From another entry's strip (this one is not dragging): nothing.
    EXPECT_FALSE(dropOn(port));
    EXPECT_TRUE(doc->view()->toPlainText().isEmpty());
    strip->setDraggingOut(true);
    EXPECT_TRUE(dropOn(port));
    EXPECT_EQ(doc->view()->toPlainText(), QStringLiteral("[picture:001]"));
    // Onto its own strip or header: not attached to where it came from.
    EXPECT_FALSE(dropOn(strip->viewport()));
    EXPECT_FALSE(dropOn(doc->head()));
    strip->setDraggingOut(false);
    EXPECT_EQ(doc->attachments().size(), 1u);
    // The same files from outside are attached, on the header too.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(textFile("from outside.txt")))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(doc->head(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(doc->head(), &drop);
    EXPECT_EQ(doc->attachments().size(), 2u);
}

TEST_F(AttachmentWindowTest, DoubleClickFollowsLinksAndAddresses) {
    // Attachment 2 of the December 2026 month note, and a picture here.
    const std::string picture = file("p.png", Encoded(Filled(40, 30, Qt::red), "PNG"));
    ASSERT_EQ(data.file->AttachFile(textFile("first.txt"), {2026, 12, 0}, 1), 1);
    ASSERT_EQ(data.file->AttachFile(picture, {2026, 12, 0}, 2), 1);
    CMarlowDoc* doc = openWith({picture});
    ASSERT_NE(doc, nullptr);
    CMarlowView* view = doc->view();
    view->setPlainText(
        QStringLiteral("[diary:02-29-2024] [diary:02-30-2024] https://example.org/x [picture:001] "
                       "[picture:002] [picture:12-2026-002]"));
    view->show();
    const auto doubleClickAt = [&](const QString& inside) {
        const int at = view->toPlainText().indexOf(inside) + 3;
        QTextCursor cursor(view->document());
        cursor.setPosition(at);
        const QPoint pos = view->cursorRect(cursor).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
        QApplication::processEvents();
    };
    doubleClickAt(QStringLiteral("02-30-2024"));
    EXPECT_EQ(documents->document({2024, 2, 30}), nullptr);
    EXPECT_EQ(view->textCursor().selectedText(), QStringLiteral("30"))
        << "an invalid date is no link: the word is selected as usual";
    doubleClickAt(QStringLiteral("https"));
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls[0], QUrl(QStringLiteral("https://example.org/x")));
    doubleClickAt(QStringLiteral("picture:002"));
    EXPECT_EQ(CPicViewerWnd::current(), nullptr) << "this entry has no attachment 2";
    doubleClickAt(QStringLiteral("picture:001"));
    ASSERT_NE(CPicViewerWnd::current(), nullptr);
    EXPECT_EQ(CPicViewerWnd::current()->pictureSize(), QSize(40, 30));
    delete CPicViewerWnd::current();
    doubleClickAt(QStringLiteral("12-2026-002"));
    ASSERT_NE(CPicViewerWnd::current(), nullptr);
    EXPECT_EQ(documents->document({2026, 12, 0}), nullptr) << "the note itself stays closed";
    delete CPicViewerWnd::current();
    doubleClickAt(QStringLiteral("02-29-2024"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return documents->document({2024, 2, 29}) != nullptr; }));
}

// The popup menu shown while f runs: its items, and the one picked.
struct MenuSeen {
    QStringList items;
    QList<bool> enabled;
};
template <class F>
MenuSeen PickFromMenu(const QString& pick, F&& open) {
    MenuSeen seen;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            seen.items << a->text();
            seen.enabled << a->isEnabled();
            if (a->text() == pick) chosen = a;
        }
        menu->close();
        if (chosen) chosen->trigger();
    });
    open();
    return seen;
}

TEST_F(AttachmentWindowTest, TitleMenuOffersAttachAndTheSearches) {
    CMarlowDoc* doc = openWith({});
    ASSERT_NE(doc, nullptr);
    QLineEdit* title = doc->head()->titleEdit();
    title->setText(QStringLiteral("River walk"));
    const auto menuOnTitle = [&] {
        const QPoint at(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, title->mapToGlobal(at));
        QApplication::sendEvent(title, &event);
    };
    toAttach = {QString::fromStdString(textFile("from title.txt"))};
    const MenuSeen plain = PickFromMenu(QStringLiteral("Attach f&ile"), menuOnTitle);
    EXPECT_EQ(
        plain.items,
        (QStringList{QStringLiteral("&Undo"), QStringLiteral("Cu&t"), QStringLiteral("&Copy"),
                     QStringLiteral("&Paste"), QStringLiteral("Select &All"),
                     QStringLiteral("Attach f&ile"), QStringLiteral("Search by &Google"),
                     QStringLiteral("Search by &YAHOO!"), QStringLiteral("Search by &bing")}));
    // Nothing selected: cut, copy and the searches are greyed.
    EXPECT_EQ(plain.enabled, (QList<bool>{false, false, false, plain.enabled[3], true, true, false,
                                          false, false}));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(doc->attachments().size(), 1u);

    title->setSelection(0, 5);
    const MenuSeen selected = PickFromMenu(QStringLiteral("Search by &bing"), menuOnTitle);
    EXPECT_TRUE(selected.enabled[2]);
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls[0].host(), QStringLiteral("www.bing.com"));
    EXPECT_EQ(opened.urls[0].query(), QStringLiteral("q=River"));

    // The tab menu carries the attachment's items too.
    doc->view()->setPlainText(QStringLiteral("kept"));
    const MenuSeen tab = PickFromMenu(QStringLiteral("Copy &link text"), [&] {
        emit doc->head()->tabStrip()->menuRequested(kDay, doc->head()->mapToGlobal(QPoint(5, 5)));
    });
    EXPECT_TRUE(tab.items.contains(QStringLiteral("Attach f&ile")));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("[diary:12-08-2026]"));
}

TEST_F(AttachmentWindowTest, ReadOnlyFileShowsAttachmentsButChangesNothing) {
    ASSERT_EQ(data.file->AttachFile(textFile("kept.txt"), kDay, 1), 1);
    data.fs.setReadOnly(data.path, true);
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->attachments().size(), 1u);
    EXPECT_FALSE(commands.isEnabled(res::Cmd::AttachFile));
    doc->strip()->selectAll();
    QTest::keyClick(doc->strip(), Qt::Key_Delete);
    doc->attachmentActions()->attachPaths({QString::fromStdString(textFile("new.txt"))});
    EXPECT_EQ(doc->attachments().size(), 1u);
    EXPECT_EQ(data.file->ListAttachments(kDay).size(), 1u);
    EXPECT_FALSE(data.ui.unexpectedQuestion());
}

}  // namespace
}  // namespace tl::diary

#include "attachment_window_test.moc"

namespace tl::diary {
namespace {

TEST(AttachFileDialogTest, TypedNamesAreReadOneByOne) {
    EXPECT_EQ(TypedFileNames(" one name.txt "), QStringList{"one name.txt"});
    EXPECT_EQ(TypedFileNames("\"a b.txt\" \"c.png\""), (QStringList{"a b.txt", "c.png"}));
    EXPECT_EQ(TypedFileNames("\"\" \"only\""), QStringList{"only"});
    EXPECT_TRUE(TypedFileNames("  ").isEmpty());
}

}  // namespace
}  // namespace tl::diary
