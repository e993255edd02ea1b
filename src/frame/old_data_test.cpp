// Data of earlier versions in the desktop program: the "Convert old diary
// data" dialog's checks, and the conversion from the File menu and at
// start-up: one question per old file, nothing done on Cancel, the sticky
// notes written out before and shown again from the converted file, the
// entries open again with the converted contents.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/old_version.h"
#include "calendar/day_bar.h"
#include "calendar/year_day_table.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "exchange/test_diary.h"
#include "exchange_commands.h"
#include "main_frame.h"
#include "old_data_dlg.h"
#include "res/messages.h"
#include "sticky/sticky_notes.h"
#include "sticky/tag_wnd.h"
#include "support/old_data_files.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "widgets/when_shown.h"

namespace tl::frame {
namespace {

namespace fs = std::filesystem;
using res::Answer;
using res::Cmd;
using store::Date;
using namespace std::chrono;

// The sample old diaries of seeds 3 and 8 are of 2001.
constexpr year_month_day kToday{year{2001}, month{3}, day{20}};
constexpr Date kShared{2001, 3, 5};  // in the old diaries too
constexpr Date kOwn{2001, 3, 9};

std::string text(res::Msg id) {
    return std::string(res::Text(id));
}

QString qPath(const fs::path& p) {
    return QString::fromStdString(p.string());
}

std::vector<std::string> Asked(const testing::RecordingUi& ui) {
    std::vector<std::string> out;
    for (const auto& e : ui.events())
        if (e.kind == "ask") out.push_back(e.text);
    return out;
}

using WhenShown = widgets::WhenShown<COldDataDlg>;

TEST(OldDataDialogTest, NeedsAFolderHoldingOldDataAndKeepsTheTextSelectedOtherwise) {
    testing::TempDir dir;
    testing::RecordingUi ui;
    fs::create_directories(dir.path() / "empty");
    fs::create_directories(dir.path() / "old");
    exchange::testing::WriteFile(dir.path() / "old" / "Mrlwtx11.mdb", "any bytes");
    COldDataDlg dialog((dir.path() / "empty").string(), ui);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QLineEdit* field = dialog.folderField();
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->selectedText(), qPath(dir.path() / "empty"));

    const std::pair<QString, res::Msg> refused[] = {
        {QStringLiteral("  "), res::Msg::SpecifyFolderName},
        {qPath(dir.path() / "missing"), res::Msg::FolderNameIncorrect},
        {qPath(dir.path() / "empty"), res::Msg::OldDataNotFoundInFolder},
    };
    for (const auto& [typed, msg] : refused) {
        SCOPED_TRACE(typed.toStdString());
        field->setText(typed);
        ui.clear();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(ui.warnings(), std::vector<std::string>{text(msg)});
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), field);
        EXPECT_EQ(field->selectedText(), field->text());
    }

    field->setText(QStringLiteral(" ") + qPath(dir.path() / "old") + QStringLiteral("//"));
    ui.clear();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.folder(), (dir.path() / "old").string());
    EXPECT_EQ(field->text(), qPath(dir.path() / "old") + QStringLiteral("/"));
}

// A main window over a diary in data/: an entry the old diaries also have,
// an entry of its own typed but not saved, and a note window on each date
// that was not written back yet.
class OldDataCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.dayBar.visible = 1;
        fs::create_directories(dataFolder());
        fs::create_directories(oldFolder());
        own = exchange::testing::NewDiary(dataFolder() / "Mrlwbk31.dat", ui);
        ASSERT_EQ(own->SaveEntry(kShared, u"current", u"", u"current text"), 1);
        frame = std::make_unique<CMainFrame>(settings, *own, ui, [] { return kToday; });
        frame->resize(900, 700);
        frame->show();
        frame->dataFileOpened();
        QApplication::processEvents();
        diary::CDiaryDocuments& docs = frame->documents();
        ASSERT_NE(docs.OpenEntry(kShared, true), nullptr);
        docs.OpenEntry(kShared, true);  // pinned
        diary::CMarlowDoc* typed = docs.OpenEntry(kOwn, false);
        ASSERT_NE(typed, nullptr);
        typed->view()->setFocus();
        QTest::keyClicks(typed->view(), QStringLiteral("typed, not saved"));
        ASSERT_TRUE(frame->stickyNotes().PutNote(kShared));
        ASSERT_TRUE(frame->stickyNotes().PutNote(kOwn));
    }
    void TearDown() override {
        frame.reset();
        own.reset();
    }

    fs::path dataFolder() const { return dir.path() / "data"; }
    fs::path oldFolder() const { return dir.path() / "old"; }
    // The main window's File menu command, with the dialog answered.
    void runCommand(const std::function<void(COldDataDlg&)>& act) {
        WhenShown shown(act);
        ASSERT_TRUE(frame->runCommand(Cmd::ImportOldVersion));
        EXPECT_TRUE(shown.done());
    }
    bool marked(int month, int day) const {
        const calendar::YearDayTable& table = frame->dayBar()->table();
        const std::optional<int> row = table.FindRow(month, day);
        return row && table.row(*row).hasEntry;
    }
    // The entries open again, the pinned one first and still pinned, the
    // typed text saved and shown.
    void expectEntriesReopened() {
        diary::CDiaryDocuments& docs = frame->documents();
        ASSERT_EQ(docs.tabs().size(), 2u);
        EXPECT_EQ(docs.tabs()[0].date, kShared);
        EXPECT_TRUE(docs.tabs()[0].pinned);
        ASSERT_NE(docs.activeDocument(), nullptr);
        EXPECT_EQ(docs.activeDocument()->date(), kOwn);
        EXPECT_EQ(docs.activeDocument()->view()->toPlainText(), QStringLiteral("typed, not saved"));
        EXPECT_EQ(exchange::testing::TextOf(*own, kOwn), u"typed, not saved");
    }

    testing::TempDir dir;
    testing::RecordingUi ui;
    app::AppSettings settings;
    std::unique_ptr<store::CDiaryDataFile> own;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(OldDataCommandsTest, FileMenuAsksPerFileConvertsAndShowsTheNotesAndEntriesAgain) {
    const testing::OldDiary first = testing::SampleOldDiary(3);
    const testing::OldDiary second = testing::SampleOldDiary(8);
    testing::WriteOldDataFile(6, first, (oldFolder() / "Mrlwbk22.dat").string());
    testing::WriteOldDataFile(8, second, (oldFolder() / "Mrlwbk30.dat").string());
    settings.file.locationDefault = 0;
    settings.file.location = oldFolder().string();
    ASSERT_FALSE(marked(12, 31));

    // Cancel: no question, nothing converted, everything as it was.
    runCommand([&](COldDataDlg& d) {
        EXPECT_EQ(d.folderField()->text(), qPath(oldFolder()));
        QTest::keyClick(d.folderField(), Qt::Key_Escape);
    });
    EXPECT_TRUE(ui.events().empty());
    EXPECT_TRUE(fs::exists(oldFolder() / "Mrlwbk22.dat"));
    EXPECT_TRUE(fs::exists(oldFolder() / "Mrlwbk30.dat"));
    EXPECT_EQ(exchange::testing::TextOf(*own, kShared), u"current text");
    EXPECT_EQ(frame->stickyNotes().count(), 2u);
    expectEntriesReopened();

    // Start: the first declined, the second converted.
    ui.answer(Answer::No);
    ui.answer(Answer::Yes);
    runCommand([&](COldDataDlg& d) {
        d.folderField()->setText(qPath(oldFolder()));
        QTest::keyClick(d.folderField(), Qt::Key_Return);
    });
    EXPECT_EQ(Asked(ui), (std::vector<std::string>{
                             res::FormatText(res::Msg::AskConvertOldData, {"Mrlwbk22.dat"}),
                             res::FormatText(res::Msg::AskConvertOldData, {"Mrlwbk30.dat"})}));
    EXPECT_FALSE(ui.unexpectedQuestion());
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_EQ(ui.informations(), (std::vector<std::string>{
                                     res::FormatText(res::Msg::ConversionCompleteSavedAs,
                                                     {(oldFolder() / "Mrlwbk30.backup").string()}),
                                     text(res::Msg::ConversionComplete)}));
    EXPECT_TRUE(fs::exists(oldFolder() / "Mrlwbk22.dat"));
    EXPECT_TRUE(fs::exists(oldFolder() / "Mrlwbk30.backup"));

    // Old content wins: the pinned entry shows it; the typed one was saved
    // before and is open again.
    const testing::OldDiary want = testing::ConvertedDiary(8, second);
    expectEntriesReopened();
    diary::CMarlowDoc* shared = frame->documents().document(kShared);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->view()->toPlainText(),
              QString::fromStdU16String(want.entries[0].text)
                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(marked(12, 31));

    // The note put before on the shared date gave way to the old one; the
    // one on the own date was written into the file and is shown again.
    ASSERT_EQ(want.notes.size(), 2u);
    EXPECT_EQ(frame->stickyNotes().count(), 3u);
    for (const store::StickyNote& n : want.notes) {
        sticky::CTagWnd* window = frame->stickyNotes().note(n.date);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->note().text, n.text);
        EXPECT_TRUE(window->isVisible());
    }
    ASSERT_NE(frame->stickyNotes().note(kOwn), nullptr);
    EXPECT_NE(own->FindStickyNote(kOwn), 0u);
}

TEST_F(OldDataCommandsTest, StartUpOfferConvertsTheDataFolderAndTheNotesAreShownOnce) {
    const testing::OldDiary old = testing::SampleOldDiary(3);
    testing::WriteOldDataFile(7, old, (dataFolder() / "Mrlwbk23.dat").string());
    frame->documents().SaveAll();
    frame->documents().CloseAll();
    frame->stickyNotes().SaveAllNotes();

    // Declined: asked again at the next start.
    ui.answer(Answer::No);
    EXPECT_EQ(frame->exchangeCommands().convertOldData(dataFolder().string()), 0);
    EXPECT_EQ(Asked(ui).size(), 1u);
    EXPECT_TRUE(fs::exists(dataFolder() / "Mrlwbk23.dat"));
    EXPECT_EQ(frame->stickyNotes().count(), 2u);

    ui.clear();
    ui.answer(Answer::Yes);
    EXPECT_EQ(frame->exchangeCommands().convertOldData(dataFolder().string()), 1);
    EXPECT_EQ(Asked(ui), std::vector<std::string>{
                             res::FormatText(res::Msg::AskConvertOldData, {"Mrlwbk23.dat"})});
    EXPECT_TRUE(fs::exists(dataFolder() / "Mrlwbk23.backup"));
    EXPECT_EQ(exchange::testing::TextOf(*own, kShared), u"今日は晴れ。\r\nA walk by the river.");
    // The start-up loads the notes after the offer: no window twice.
    frame->stickyNotes().LoadNotes();
    EXPECT_EQ(frame->stickyNotes().count(), 3u);

    // Nothing left to offer.
    ui.clear();
    EXPECT_EQ(frame->exchangeCommands().convertOldData(dataFolder().string()), 0);
    EXPECT_TRUE(Asked(ui).empty());
}

}  // namespace
}  // namespace tl::frame
