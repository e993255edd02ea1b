// Keys and menu items reach the subsystem that answers them, only where they
// belong, and a command that fails is told and leaves the program running.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include "app/failure_report.h"
#include "calendar/day_bar.h"
#include "calendar/day_wnd.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "main_frame.h"
#include "res/messages.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/mem_file_system.h"
#include "support/faulty_file_system.h"
#include "support/recording_ui.h"
#include "widgets/guarded_application.h"

namespace tl::frame {
namespace {

using res::Cmd;
using namespace std::chrono;

constexpr year_month_day kToday{year{2026}, month{12}, day{9}};
constexpr store::Date kTodayDate{2026, 12, 9};

// A data file whose writes can be made to fail on demand.
class CommandRoutingTest : public ::testing::Test {
protected:
    CommandRoutingTest() : faulty(fs), file(faulty, ui) {
        file.SetPath(kPath);
        file.SetKey(store::DeriveDataFileKey());
        EXPECT_EQ(file.Create(), 1);
        EXPECT_EQ(file.Open(false), store::OpenResult::Opened);
        settings.dayBar.visible = 1;
    }
    std::unique_ptr<CMainFrame> makeFrame() {
        auto frame = std::make_unique<CMainFrame>(settings, file, ui, [] { return kToday; });
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        return frame;
    }
    diary::CMarlowView* openTodayByKey(CMainFrame& frame) {
        QTest::keyClick(&frame, Qt::Key_T, Qt::ControlModifier);
        diary::CMarlowDoc* doc = frame.documents().activeDocument();
        if (!doc) return nullptr;
        doc->view()->setFocus();
        QApplication::processEvents();
        return doc->view();
    }
    // Today's entry stored with the text; nothing told so far.
    void saveTodayWithText(CMainFrame& frame, const QString& text) {
        diary::CMarlowView* view = openTodayByKey(frame);
        ASSERT_NE(view, nullptr);
        QTest::keyClicks(view, text);
        ASSERT_TRUE(frame.runCommand(Cmd::FileSave));
        ui.clear();
    }
    static void typeAndSelect(diary::CMarlowView* view, const QString& text) {
        QTest::keyClicks(view, text);
        view->selectAll();
    }

    static constexpr const char* kPath = "/mem/Mrlwbk31.dat";
    store::MemFileSystem fs;
    testing::FaultyFileSystem faulty;
    testing::RecordingUi ui;
    store::CDiaryDataFile file;
    app::AppSettings settings;
};

TEST_F(CommandRoutingTest, EditorKeysActOnTheEditorOnlyWhileItHasTheFocus) {
    auto frame = makeFrame();
    diary::CMarlowView* view = openTodayByKey(*frame);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->hasFocus());
    typeAndSelect(view, QStringLiteral("Snow"));

    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(view->textCursor().charFormat().fontWeight(), QFont::Bold);
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(view->textCursor().charFormat().fontWeight(), QFont::Normal);

    // In the day list the same keys leave the entry alone.
    calendar::CDayWnd* list = frame->dayBar()->dayList();
    list->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(list->hasFocus());
    const QString before = view->toPlainText();
    for (int key : {Qt::Key_F9, Qt::Key_F8, Qt::Key_F5}) QTest::keyClick(list, key);
    QTest::keyClick(list, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(view->toPlainText(), before);
    EXPECT_EQ(view->textCursor().charFormat().fontWeight(), QFont::Normal);

    // The menu item works wherever the focus is: it names the entry's editor.
    frame->action(Cmd::InsertShortBorder)->trigger();
    EXPECT_NE(view->toPlainText(), before);

    // Back in the editor, F9 inserts the border.
    view->setFocus();
    QApplication::processEvents();
    const QString withShort = view->toPlainText();
    QTest::keyClick(view, Qt::Key_F9);
    EXPECT_GT(view->toPlainText().size(), withShort.size());
}

// Italic and strike-through have keys of their own (Ctrl+I opens a date);
// the tab menu opens from the keyboard too.
TEST_F(CommandRoutingTest, FormatKeysAndTheTabMenuKeyReachTheEntry) {
    auto frame = makeFrame();
    diary::CMarlowView* view = openTodayByKey(*frame);
    ASSERT_NE(view, nullptr);
    typeAndSelect(view, QStringLiteral("Wind"));
    QTest::keyClick(view, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(view->textCursor().charFormat().fontItalic());
    EXPECT_TRUE(view->textCursor().charFormat().fontStrikeOut());
    EXPECT_EQ(view->toPlainText(), QStringLiteral("Wind"));  // nothing was cut

    QString firstItem;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            firstItem = menu->actions().value(0) ? menu->actions().value(0)->text() : QString();
            menu->close();
        }
    });
    QTest::keyClick(view, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(firstItem.contains(QStringLiteral("pin"))) << firstItem.toStdString();
}

TEST_F(CommandRoutingTest, UndoAndCopyFollowTheEditorAtOnce) {
    auto frame = makeFrame();
    diary::CMarlowView* view = openTodayByKey(*frame);
    ASSERT_NE(view, nullptr);
    QAction* undo = frame->action(Cmd::EditUndo);
    QAction* copy = frame->action(Cmd::EditCopy);
    EXPECT_FALSE(undo->isEnabled());
    QTest::keyClicks(view, QStringLiteral("a"));
    EXPECT_TRUE(undo->isEnabled());  // no refresh tick has run in between
    EXPECT_FALSE(copy->isEnabled());
    view->selectAll();
    EXPECT_TRUE(copy->isEnabled());
}

// Every menu command either has a subsystem that answers it or is listed
// here as not built yet; the list shrinks as the windows arrive.
TEST_F(CommandRoutingTest, MenuCommandsWithoutTargetAreGreyedAndListed) {
    auto frame = makeFrame();
    std::vector<Cmd> menuCommands;
    for (MenuKind kind : {MenuKind::NoEntry, MenuKind::Entry})
        for (const Popup& popup : Menu(kind))
            for (const MenuItem& item : popup.items)
                if (!item.separator() && std::find(menuCommands.begin(), menuCommands.end(),
                                                   item.cmd) == menuCommands.end())
                    menuCommands.push_back(item.cmd);
    const std::vector<Cmd> missing = frame->commands().withoutTarget(menuCommands);
    auto numbers = [](const std::vector<Cmd>& cmds) {
        std::vector<int> out;
        for (Cmd cmd : cmds) out.push_back(static_cast<int>(cmd));
        return out;
    };
    const std::vector<Cmd> notYetBuilt = {
        Cmd::AboutDonation,
    };
    EXPECT_EQ(numbers(missing), numbers(notYetBuilt));
    frame->runCommand(Cmd::Today);
    for (Cmd cmd : missing) {
        EXPECT_FALSE(frame->isCommandEnabled(cmd)) << static_cast<int>(cmd);
        EXPECT_FALSE(frame->action(cmd)->isEnabled()) << static_cast<int>(cmd);
    }
}

TEST_F(CommandRoutingTest, AFailingFileOperationIsToldAndTheProgramGoesOn) {
    auto frame = makeFrame();
    ASSERT_NO_FATAL_FAILURE(saveTodayWithText(*frame, QStringLiteral("Kept")));

    // Deleting frees records; the disk answers with an I/O error.
    ui.answer(res::Answer::Yes);
    faulty.kind = store::FileErrorKind::Io;
    faulty.arm(1);
    EXPECT_TRUE(frame->runCommand(Cmd::DeleteEntry));
    EXPECT_TRUE(faulty.fired());
    EXPECT_EQ(ui.warnings(),
              std::vector<std::string>{std::string(res::Text(res::Msg::WriteToDiskFailure))});

    faulty.arm(0);
    std::u16string text;
    EXPECT_NE(file.ReadEntryText(kTodayDate, text), 0u);  // nothing was lost
    EXPECT_EQ(text, u"Kept");
    ASSERT_TRUE(frame->runCommand(Cmd::Today));
    EXPECT_NE(frame->documents().activeDocument(), nullptr);
}

// A delete from the side bar's menu runs from the event loop, outside any
// command: the application's boundary tells the user and the loop goes on.
TEST_F(CommandRoutingTest, AFailureOutsideACommandStopsAtTheEventLoop) {
    widgets::GuardedApplication* application = widgets::GuardedApplication::instance();
    ASSERT_NE(application, nullptr);
    application->setFailureHandler(
        [this](std::exception_ptr failure) { app::ReportFailure(ui, failure); });
    auto frame = makeFrame();
    ASSERT_NO_FATAL_FAILURE(saveTodayWithText(*frame, QStringLiteral("Kept")));

    ui.answer(res::Answer::Yes);
    faulty.kind = store::FileErrorKind::DiskFull;
    faulty.arm(1);
    bool after = false;
    QTimer::singleShot(0, frame->dayBar(),
                       [&] { emit frame->dayBar()->deleteRequested(kTodayDate); });
    QTimer::singleShot(0, frame.get(), [&] { after = true; });
    QTRY_VERIFY(after);
    application->setFailureHandler({});
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{std::string(res::Text(res::Msg::DiskFull))});
}

}  // namespace
}  // namespace tl::frame
