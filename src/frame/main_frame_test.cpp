#include "main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "app/startup.h"
#include "calendar/calender_ctl.h"
#include "calendar/day_bar.h"
#include "calendar/year_day_table.h"
#include "default_font_dlg.h"
#include "diary/attachment_actions.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "diary/picture_view.h"
#include "res/kept_messages.h"
#include "store/data_file_key.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace tl::frame {
namespace {

using res::Cmd;
using namespace std::chrono;

constexpr year_month_day kToday{year{2026}, month{12}, day{9}};

class MainFrameTest : public ::testing::Test {
protected:
    std::unique_ptr<CMainFrame> makeFrame() {
        auto frame =
            std::make_unique<CMainFrame>(settings, *data.file, data.ui, [] { return kToday; });
        frame->show();
        QApplication::processEvents();
        return frame;
    }
    std::vector<QString> menuTitles(const CMainFrame& frame) {
        std::vector<QString> titles;
        for (QAction* a : frame.menuBar()->actions()) titles.push_back(a->text());
        return titles;
    }

    app::AppSettings settings;
    testing::MemDataFile data;
};

TEST_F(MainFrameTest, TypedTextSurvivesClosingAndStartingAgain) {
    {
        auto frame = makeFrame();
        EXPECT_EQ(frame->menuKind(), MenuKind::NoEntry);
        ASSERT_TRUE(frame->runCommand(Cmd::Today));
        diary::CMarlowDoc* doc = frame->documents().activeDocument();
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->date(), (store::Date{2026, 12, 9}));
        EXPECT_TRUE(doc->isPinned());  // Today pins what it opens
        EXPECT_EQ(frame->menuKind(), MenuKind::Entry);
        doc->view()->setFocus();
        doc->view()->insertPlainText(QStringLiteral("Snow on the hills."));
        ASSERT_TRUE(frame->runCommand(Cmd::AppExit));
        EXPECT_FALSE(frame->isVisible());
        EXPECT_TRUE(frame->documents().tabs().empty());
    }
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    auto frame = makeFrame();
    frame->runCommand(Cmd::Today);
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->view()->toPlainText(), QStringLiteral("Snow on the hills."));
}

TEST_F(MainFrameTest, SideBarMarksFollowAttachingAndDeletingAtOnce) {
    testing::TempDir dir;
    const auto write = [&](const std::string& name) {
        std::ofstream((dir / name).string()) << "bytes of " << name;
        return QString::fromStdString((dir / name).string());
    };
    auto frame = makeFrame();
    ASSERT_TRUE(frame->runCommand(Cmd::Today));
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    const calendar::YearDayTable& table = frame->dayBar()->table();
    const auto row = [&] { return table.row(*table.FindRow(12, 9)); };
    EXPECT_FALSE(row().hasFile);
    doc->attachmentActions()->attachPaths({write("notes.txt"), write("photo.jpg")});
    EXPECT_TRUE(row().hasFile);
    EXPECT_TRUE(row().hasPicture);
    doc->strip()->selectAll();
    doc->attachmentActions()->deleteSelected(false);
    EXPECT_FALSE(row().hasFile);
    EXPECT_FALSE(row().hasPicture);
}

TEST_F(MainFrameTest, WindowStateIsKeptAcrossRuns) {
    settings.window = {120, 80, 920, 680, "MAXIMIZE"};
    {
        auto frame = makeFrame();
        EXPECT_TRUE(frame->isMaximized());
        frame->close();
    }
    // The restored rectangle, not the maximised one, is what is stored.
    EXPECT_EQ(settings.window.state, "MAXIMIZE");
    EXPECT_EQ(settings.window.right - settings.window.left, 800);
    EXPECT_EQ(settings.window.bottom - settings.window.top, 600);

    settings.window.state = "NORMAL";
    auto frame = makeFrame();
    EXPECT_FALSE(frame->isMaximized());
    frame->close();
    EXPECT_EQ(settings.window.state, "NORMAL");
    EXPECT_EQ(settings.window.right - settings.window.left, 800);
}

TEST_F(MainFrameTest, ReadOnlyDataFileGreysWritingCommands) {
    data.fs.setReadOnly(data.path, true);
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    ASSERT_TRUE(data.file->IsReadOnly());
    auto frame = makeFrame();
    frame->runCommand(Cmd::Today);
    for (Cmd cmd :
         {Cmd::ChangePassword, Cmd::FileSaveAs, Cmd::DeleteEntry, Cmd::Merge, Cmd::AttachFile})
        EXPECT_FALSE(frame->isCommandEnabled(cmd)) << static_cast<int>(cmd);
    EXPECT_TRUE(frame->isCommandEnabled(Cmd::FileClose));
    EXPECT_FALSE(frame->action(Cmd::ChangePassword)->isEnabled());
}

TEST_F(MainFrameTest, NextAndPreviousWithoutAnEntryOpenTheEndsOfTheDiary) {
    auto frame = makeFrame();
    // An empty diary: nothing happens.
    frame->runCommand(Cmd::NextEntry);
    EXPECT_EQ(frame->documents().activeDocument(), nullptr);
    for (store::Date date : {store::Date{2001, 5, 6}, store::Date{2030, 1, 2}}) {
        diary::CMarlowDoc* doc = frame->documents().OpenEntry(date, true);
        ASSERT_NE(doc, nullptr);
        doc->view()->insertPlainText(QStringLiteral("x"));
    }
    frame->documents().CloseAll();
    frame->runCommand(Cmd::NextEntry);
    ASSERT_NE(frame->documents().activeDocument(), nullptr);
    EXPECT_EQ(frame->documents().activeDocument()->date(), (store::Date{2001, 5, 6}));
    frame->documents().CloseAll();
    frame->runCommand(Cmd::PreviousEntry);
    ASSERT_NE(frame->documents().activeDocument(), nullptr);
    EXPECT_EQ(frame->documents().activeDocument()->date(), (store::Date{2030, 1, 2}));
}

// The editor leaves Ctrl+Left and Ctrl+Right to the window; Shift+F10 opens
// the editor's and the title's menus.
TEST_F(MainFrameTest, EditorKeysReachTheWindowAndOpenMenus) {
    auto frame = makeFrame();
    frame->show();
    frame->activateWindow();
    for (store::Date date : {store::Date{2001, 5, 6}, store::Date{2030, 1, 2}}) {
        diary::CMarlowDoc* doc = frame->documents().OpenEntry(date, true);
        ASSERT_NE(doc, nullptr);
        doc->view()->insertPlainText(QStringLiteral("x"));
    }
    frame->documents().CloseAll();
    diary::CMarlowDoc* first = frame->documents().OpenEntry({2001, 5, 6}, true);
    ASSERT_NE(first, nullptr);
    first->view()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(first->view(), Qt::Key_Right, Qt::ControlModifier);
    ASSERT_NE(frame->documents().activeDocument(), nullptr);
    EXPECT_EQ(frame->documents().activeDocument()->date(), (store::Date{2030, 1, 2}));
    diary::CMarlowDoc* second = frame->documents().activeDocument();
    second->view()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(second->view(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(frame->documents().activeDocument()->date(), (store::Date{2001, 5, 6}));

    QWidget* editor = frame->documents().activeDocument()->view();
    QWidget* title = nullptr;
    for (QLineEdit* field : frame->findChildren<QLineEdit*>())
        if (field->accessibleName() == "Title" && field->isVisible()) title = field;
    ASSERT_NE(title, nullptr);
    for (QWidget* field : {editor, title}) {
        QString opened;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                opened = menu->actions().value(0) ? menu->actions()[0]->text() : QString();
                menu->close();
            }
        });
        QTest::keyClick(field, Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_EQ(opened, QStringLiteral("&Undo")) << field->metaObject()->className();
    }
}

TEST_F(MainFrameTest, MenusSwitchWithTheEntriesAndKeysReachCommands) {
    auto frame = makeFrame();
    EXPECT_EQ(menuTitles(*frame).size(), 5u);
    EXPECT_FALSE(frame->isCommandEnabled(Cmd::FileClose));
    frame->runCommand(Cmd::Today);
    EXPECT_TRUE(frame->isCommandEnabled(Cmd::FileClose));
    ASSERT_TRUE(frame->runCommand(Cmd::FileClose));
    QApplication::processEvents();
    EXPECT_EQ(frame->menuKind(), MenuKind::NoEntry);
    EXPECT_FALSE(frame->isCommandEnabled(Cmd::FileClose));
}

// The entry opened last is remembered; the calendar goes to its month when
// it shows another one, and stays where the user took it otherwise.
TEST_F(MainFrameTest, TheCalendarFollowsTheEntryOpenedLast) {
    auto frame = makeFrame();
    auto shown = [&] {
        return std::pair{static_cast<int>(frame->dayBar()->table().year()),
                         frame->dayBar()->calendar()->displayedMonth()};
    };
    ASSERT_EQ(shown(), (std::pair{2026, 12}));
    diary::CDiaryDocuments& documents = frame->documents();
    ASSERT_NE(documents.OpenEntry({2001, 5, 6}, false), nullptr);
    EXPECT_EQ(documents.lastOpened(), (store::Date{2001, 5, 6}));
    EXPECT_EQ(shown(), (std::pair{2001, 5}));
    ASSERT_NE(documents.OpenEntry({2001, 0, 0}, false), nullptr);  // a year note keeps the month
    EXPECT_EQ(shown(), (std::pair{2001, 5}));

    ASSERT_NE(documents.OpenEntry({2026, 12, 9}, true), nullptr);
    EXPECT_EQ(shown(), (std::pair{2026, 12}));
    frame->dayBar()->ApplyYearMonth(2026, 3);
    ASSERT_NE(documents.OpenEntry({2026, 12, 9}, true), nullptr);  // brought forward again
    EXPECT_EQ(shown(), (std::pair{2026, 3}));

    documents.CloseAll();
    EXPECT_EQ(documents.lastOpened(), store::Date{});
    EXPECT_EQ(shown(), (std::pair{2026, 3}));
}

// The default font: face, size, style and colour from the dialog; the
// width the chooser cannot show is kept; every open editor follows.
TEST_F(MainFrameTest, DefaultFontDialogStoresTheColourAndKeepsTheWidth) {
    settings.font.width = 7;
    settings.font.color = 0;
    auto frame = makeFrame();
    ASSERT_TRUE(frame->runCommand(Cmd::Today));
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    // A family with bold and italic faces, so that the dialog can show both.
    QString family;
    for (const QString& candidate : QFontDatabase::families()) {
        const QStringList styles = QFontDatabase::styles(candidate);
        const bool bold = std::any_of(styles.begin(), styles.end(),
                                      [](const QString& s) { return s.contains("Bold"); });
        const bool italic = std::any_of(styles.begin(), styles.end(), [](const QString& s) {
            return s.contains("Italic") || s.contains("Oblique");
        });
        if (bold && italic) {
            family = candidate;
            break;
        }
    }
    if (family.isEmpty()) GTEST_SKIP() << "no font family with bold and italic faces";
    ASSERT_FALSE(family.isEmpty());
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CDefaultFontDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        // Preset from the settings.
        EXPECT_DOUBLE_EQ(dialog->chooser()->currentFont().pointSizeF(), 10.0);
        EXPECT_EQ(dialog->color(), QColor(0, 0, 0));
        QFont chosen(family);
        chosen.setPointSizeF(14);
        chosen.setItalic(true);
        chosen.setWeight(QFont::Bold);
        dialog->chooser()->setCurrentFont(chosen);
        dialog->setColor(QColor(0, 128, 255));
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(frame->runCommand(Cmd::DefaultFont));
    ASSERT_TRUE(seen);
    EXPECT_EQ(settings.font.name, family.toStdString());
    EXPECT_EQ(settings.font.height, 140);
    EXPECT_EQ(settings.font.weight, 700);
    EXPECT_EQ(settings.font.italic, 1);
    EXPECT_EQ(settings.font.color, 0xFF8000);  // 0x00BBGGRR
    EXPECT_EQ(settings.font.width, 7);
    EXPECT_DOUBLE_EQ(doc->view()->document()->defaultFont().pointSizeF(), 14.0);
    EXPECT_EQ(doc->view()->palette().color(QPalette::Text), QColor(0, 128, 255));
}

// The preview is an item of the File menu while an entry is open, and the
// item opens the preview of that entry.
TEST_F(MainFrameTest, PrintPreviewIsReachedFromTheFileMenu) {
    auto frame = makeFrame();
    auto fileMenuHas = [&](Cmd cmd) {
        QMenu* file = frame->menuBar()->actions().front()->menu();
        return file->actions().contains(frame->action(cmd));
    };
    EXPECT_FALSE(fileMenuHas(Cmd::FilePrintPreview));
    ASSERT_TRUE(frame->runCommand(Cmd::Today));
    ASSERT_TRUE(fileMenuHas(Cmd::FilePrintPreview));
    QAction* preview = frame->action(Cmd::FilePrintPreview);
    EXPECT_TRUE(preview->isEnabled());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        shown = dialog != nullptr;
        if (dialog) dialog->reject();
    });
    preview->trigger();
    EXPECT_TRUE(shown);
}

// Dialogs that are never expected to open.
class NoDialogs final : public app::AppDialogs {
public:
    bool editDataFileSettings(app::DataFileSettingsForm&) override {
        ADD_FAILURE() << "dialog opened";
        return false;
    }
    app::PasswordReply askPassword(bool) override {
        ADD_FAILURE() << "password asked";
        return {};
    }
};

TEST_F(MainFrameTest, ChangingTheLocationKeepsAnEntryWhoseSaveFailedAndTheOldLocation) {
    store::MemFileSystem memory;
    testing::FaultyFileSystem faulty(memory);
    store::CDiaryDataFile file(faulty, data.ui);
    file.SetPath("/mem/Mrlwbk31.dat");
    file.SetKey(store::DeriveDataFileKey());
    ASSERT_EQ(file.Create(), 1);
    ASSERT_EQ(file.Open(false), store::OpenResult::Opened);
    settings.file.locationDefault = 1;
    settings.file.location = "/elsewhere";
    auto frame = std::make_unique<CMainFrame>(settings, file, data.ui, [] { return kToday; });
    NoDialogs dialogs;
    app::DiaryStartup startup(settings, file, data.ui, dialogs, app::SystemClock::instance());
    frame->setStartup(&startup);
    frame->show();
    diary::CMarlowDoc* doc = frame->documents().OpenEntry({2026, 12, 9}, true);
    ASSERT_NE(doc, nullptr);
    doc->view()->insertPlainText(QStringLiteral("typed"));
    ASSERT_TRUE(doc->IsModified());
    faulty.kind = store::FileErrorKind::DiskFull;
    faulty.arm(1);
    ASSERT_TRUE(frame->runCommand(Cmd::ToggleDataLocation));
    EXPECT_TRUE(faulty.fired());
    faulty.arm(0);
    ASSERT_FALSE(data.ui.warnings().empty());
    EXPECT_EQ(data.ui.warnings().front(), std::string(res::Text(res::Msg::DiskFull)));
    EXPECT_EQ(data.ui.warnings().back(),
              std::string(res::Text(res::kept::LocationKeptForUnsavedEntry)));
    // Nothing moved: the entry is open and marked, the file and the
    // location are the old ones.
    EXPECT_EQ(frame->documents().document({2026, 12, 9}), doc);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(settings.file.locationDefault, 1);
    EXPECT_TRUE(doc->saveIfModified());
    std::u16string text;
    file.ReadEntryText({2026, 12, 9}, text);
    EXPECT_EQ(text, u"typed");
    frame.reset();
}

}  // namespace
}  // namespace tl::frame
