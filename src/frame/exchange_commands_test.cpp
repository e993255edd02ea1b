// The exchange dialogs' checks as the user meets them (message, dialog
// still open, the named field focused and selected), the keyboard, the
// settings they start from and store, and the commands around the engine:
// entries saved, closed and reopened, the side bar following, and a round
// trip export - import - merge driven through the dialogs.

#include "exchange_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "calendar/day_bar.h"
#include "calendar/year_day_table.h"
#include "desktop_ui.h"
#include "diary/diary_documents.h"
#include "diary/file_manage_dlg.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "exchange/test_diary.h"
#include "export_dlg.h"
#include "import_dlg.h"
#include "main_frame.h"
#include "merge_dlg.h"
#include "operation_scope.h"
#include "progress_wnd.h"
#include "replaced_file_watch.h"
#include "res/messages.h"
#include "store/mem_file_system.h"
#include "store/records.h"
#include "support/faulty_file_system.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "widgets/when_shown.h"

namespace tl::frame {
namespace {

namespace fs = std::filesystem;
using app::ExportField;
using exchange::testing::Snapshot;
using res::Cmd;
using namespace std::chrono;

constexpr year_month_day kToday{year{2024}, month{3}, day{9}};

std::string text(res::Msg id) {
    return std::string(res::Text(id));
}

QString qPath(const fs::path& p) {
    return QString::fromStdString(p.string());
}

using widgets::WhenShown;

// Mnemonics click their buttons animated: the click lands a moment later.
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 200 && !condition(); ++i) QTest::qWait(10);
    return condition();
}

// Whether the side bar marks the day of its year as having an entry.
bool Marked(CMainFrame& frame, int month, int day) {
    const calendar::YearDayTable& table = frame.dayBar()->table();
    const std::optional<int> row = table.FindRow(month, day);
    return row && table.row(*row).hasEntry;
}

void Show(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// Presses Enter (Start) and expects the message, the dialog still open and
// the field focused with its text selected (the focus is on focused when
// the field is part of it).
void ExpectRefused(QDialog& dialog, testing::RecordingUi& ui, res::Msg msg, QLineEdit* field,
                   QWidget* focused = nullptr) {
    ui.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{text(msg)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QApplication::focusWidget(), focused ? focused : field);
    EXPECT_EQ(field->selectedText(), field->text());
}

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::ExportForm form;
        form.folder = dir.path().string();
        dialog = std::make_unique<CExportDlg>(form, ui);
        Show(*dialog);
    }
    void term(ExportField month, const QString& m, const QString& d, const QString& y) {
        dialog->field(month)->setText(m);
        dialog->field(static_cast<ExportField>(static_cast<int>(month) + 1))->setText(d);
        dialog->field(static_cast<ExportField>(static_cast<int>(month) + 2))->setText(y);
    }
    testing::TempDir dir;
    testing::RecordingUi ui;
    std::unique_ptr<CExportDlg> dialog;
};

TEST_F(ExportDialogTest, EachCheckNamesItsFieldAndKeepsTheDialogOpen) {
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
        if (box->text() == QStringLiteral("S&pecify")) box->setChecked(true);

    // February 29 of a year that is not a leap year, also 1900.
    term(ExportField::ToMonth, "2", "29", "2023");
    ExpectRefused(*dialog, ui, res::Msg::DayIncorrect, dialog->field(ExportField::ToDay));
    term(ExportField::FromMonth, "2", "29", "1900");
    ExpectRefused(*dialog, ui, res::Msg::DayIncorrect, dialog->field(ExportField::FromDay));
    term(ExportField::FromMonth, "12", "31", "1899");
    ExpectRefused(*dialog, ui, res::Msg::Specify1900OrLater, dialog->field(ExportField::FromYear));
    term(ExportField::FromMonth, "13", "", "2024");
    ExpectRefused(*dialog, ui, res::Msg::MonthIncorrect, dialog->field(ExportField::FromMonth));
    term(ExportField::FromMonth, "", "5", "2024");
    ExpectRefused(*dialog, ui, res::Msg::EnterMonth, dialog->field(ExportField::FromMonth));
    term(ExportField::ToMonth, "3", "1", "");
    term(ExportField::FromMonth, "", "", "");
    ExpectRefused(*dialog, ui, res::Msg::EnterYear, dialog->field(ExportField::ToYear));
    // The end before the start.
    term(ExportField::FromMonth, "3", "6", "2024");
    term(ExportField::ToMonth, "3", "5", "2024");
    ExpectRefused(*dialog, ui, res::Msg::StartAfterEnd, dialog->field(ExportField::FromYear));

    // A folder that does not exist, and none at all, come first.
    QLineEdit* folder = dialog->field(ExportField::Folder);
    folder->setText(qPath(dir / "missing"));
    ExpectRefused(*dialog, ui, res::Msg::FolderNameIncorrect, folder);
    folder->setText(QStringLiteral("   "));
    ExpectRefused(*dialog, ui, res::Msg::SpecifyFolderName, folder);

    folder->setText(qPath(dir.path()) + QStringLiteral("//"));
    term(ExportField::FromMonth, "2", "29", "2024");
    term(ExportField::ToMonth, "", "", "2024");
    ui.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_TRUE(dialog->request());
    EXPECT_EQ(dialog->request()->folder, dir.path().string());
    EXPECT_EQ(dialog->request()->fromKey, "20240229");
    EXPECT_EQ(dialog->request()->toKey, "20249999");
    EXPECT_EQ(folder->text(), qPath(dir.path()) + QStringLiteral("/"));
}

TEST_F(ExportDialogTest, WorksFromTheKeyboard) {
    QLineEdit* folder = dialog->field(ExportField::Folder);
    EXPECT_EQ(QApplication::focusWidget(), folder);
    QTest::keyClick(folder, Qt::Key_Tab);  // the folder's picker comes next
    auto* browse = qobject_cast<QPushButton*>(QApplication::focusWidget());
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->text(), QStringLiteral("&Browse..."));
    // The choices follow their switches.
    EXPECT_FALSE(dialog->field(ExportField::FromMonth)->isEnabled());
    QRadioButton* unicode = dialog->findChildren<QRadioButton*>().at(1);
    QTest::keyClick(dialog.get(), Qt::Key_T, Qt::AltModifier);  // Text off
    EXPECT_TRUE(Eventually([&] { return !unicode->isEnabled(); }));
    QTest::keyClick(dialog.get(), Qt::Key_T, Qt::AltModifier);  // and on
    ASSERT_TRUE(Eventually([&] { return unicode->isEnabled(); }));
    QTest::keyClick(dialog.get(), Qt::Key_U, Qt::AltModifier);
    EXPECT_TRUE(Eventually([&] { return unicode->isChecked(); }));
    QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier);  // Attached file off
    QTest::keyClick(dialog.get(), Qt::Key_P, Qt::AltModifier);  // Specify
    ASSERT_TRUE(Eventually([&] { return dialog->field(ExportField::FromMonth)->isEnabled(); }));
    // Tab runs through the dates month, day, year; start date, then end.
    QWidget* at = QApplication::focusWidget();
    QTest::keyClick(at, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->field(ExportField::FromMonth));
    for (const char* typed : {"4", "1", "2024", "4", "30", "2024"}) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(dialog->field(ExportField::ToYear)->text(), QStringLiteral("2024"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    const exchange::ExportRequest& r = *dialog->request();
    EXPECT_TRUE(r.texts);
    EXPECT_FALSE(r.attachments);
    EXPECT_EQ(r.encoding, exchange::Encoding::Unicode);
    EXPECT_EQ(r.fromKey, "20240401");
    EXPECT_EQ(r.toKey, "20240430");
}

TEST_F(ExportDialogTest, EscapeCancels) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->request());
    EXPECT_TRUE(ui.events().empty());
}

TEST(ImportDialogTest, StartsFromTheSettingsAndNeedsAnExistingFolder) {
    testing::TempDir dir;
    testing::RecordingUi ui;
    CImportDlg dialog({(dir / "gone").string() + "/", exchange::Encoding::RichText}, ui);
    Show(dialog);
    QLineEdit* location = dialog.folderField();
    EXPECT_EQ(QApplication::focusWidget(), location);
    EXPECT_EQ(dialog.encoding(), exchange::Encoding::RichText);
    ExpectRefused(dialog, ui, res::Msg::FolderNameIncorrect, location);
    location->clear();
    ExpectRefused(dialog, ui, res::Msg::SpecifyFolderName, location);
    QTest::keyClicks(location, QStringLiteral(" ") + qPath(dir.path()) + QStringLiteral("/ "));
    QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);  // Ansi
    ASSERT_TRUE(Eventually([&] { return dialog.encoding() == exchange::Encoding::Ansi; }));
    QTest::keyClick(location, Qt::Key_Return);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.folder(), dir.path().string());
    EXPECT_EQ(dialog.encoding(), exchange::Encoding::Ansi);
}

TEST(MergeDialogTest, OffersTheRememberedFoldersNewestFirst) {
    testing::TempDir dir;
    testing::RecordingUi ui;
    app::AppSettings settings;
    settings.merge.location = "/nowhere";
    settings.merge.history = {"/nowhere", dir.path().string(), "", "", ""};
    settings.merge.emptyAfterMerge = 1;
    CMergeDlg dialog(app::MergeForm::FromSettings(settings), ui);
    Show(dialog);
    QComboBox* folders = dialog.folderField();
    ASSERT_EQ(folders->count(), 2);
    EXPECT_EQ(folders->itemText(1), qPath(dir.path()) + QStringLiteral("/"));
    EXPECT_EQ(folders->currentText(), QStringLiteral("/nowhere/"));
    EXPECT_TRUE(dialog.emptyAfter());
    ExpectRefused(dialog, ui, res::Msg::FolderNameIncorrect, folders->lineEdit(), folders);
    // The keyboard picks the second remembered folder.
    QTest::keyClick(folders, Qt::Key_Down);
    EXPECT_EQ(folders->currentIndex(), 1);
    QTest::keyClick(&dialog, Qt::Key_E, Qt::AltModifier);
    ASSERT_TRUE(Eventually([&] { return !dialog.emptyAfter(); }));
    QTest::keyClick(folders->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.folder(), dir.path().string());
    EXPECT_FALSE(dialog.emptyAfter());
}

TEST(ProgressWindowTest, AQueuedClickIsHandledByAStepAfterThePumpInterval) {
    CProgressWnd progress(QStringLiteral("During export"), nullptr);
    QPushButton* cancel = progress.findChild<QPushButton*>();
    QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::QueuedConnection);
    QTest::qSleep(3 * EventPump::kIntervalMs);
    EXPECT_FALSE(progress.step(40));
    EXPECT_TRUE(progress.cancelled());
}

// Between the steps of an operation the program paints and runs its timers,
// but what the user types or clicks meanwhile is dropped, not replayed.
TEST(OperationScopeTest, KeepAliveRunsTimersAndDropsInputOnlyDuringAnOperation) {
    DesktopUi ui;
    QLineEdit field;
    field.show();
    field.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
    bool ticked = false;
    QTimer::singleShot(0, &field, [&] { ticked = true; });
    ui.keepAlive();  // no operation: nothing runs in between
    EXPECT_FALSE(ticked);
    {
        OperationScope operation;
        ui.keepAlive();
        EXPECT_TRUE(ticked);
        QTest::keyClicks(&field, QStringLiteral("lost"));
        ui.keepAlive();
    }
    QApplication::processEvents();
    EXPECT_TRUE(field.text().isEmpty());
    QTest::keyClicks(&field, QStringLiteral("kept"));
    EXPECT_EQ(field.text(), QStringLiteral("kept"));
}

// A main window over a diary in a real file, with the commands.
class ExchangeCommandsTest : public ::testing::Test {
protected:
    std::unique_ptr<CMainFrame> frameOn(store::CDiaryDataFile& file) {
        auto frame = std::make_unique<CMainFrame>(settings, file, ui, [] { return kToday; });
        frame->resize(900, 700);
        frame->show();
        frame->dataFileOpened();
        QApplication::processEvents();
        return frame;
    }
    // A diary of days, notes and attachments, with texts beyond code page
    // 932.
    void fillSample(store::CDiaryDataFile& file) {
        auto save = [&](store::Date d, std::u16string title, std::u16string weather,
                        std::u16string body) {
            store::EntryHeader h;
            h.title = std::move(title);
            h.weather = std::move(weather);
            ASSERT_EQ(file.SaveEntry(d, h, body), 1);
        };
        save({2024, 3, 5}, u"Trip", u"Sunny",
             u"Train to the sea.\r\nFish: \u00e9\u00e8 \U0001F41F");
        save({2024, 3, 6}, u"", u"", u"");
        save({2024, 2, 29}, u"Leap", u"Snow", u"A day that comes every fourth year.");
        save({2024, 3, 0}, u"", u"", u"The month of March.");
        save({2024, 0, 0}, u"", u"", u"The year.");
        save({1999, 12, 31}, u"Eve", u"Cloudy", std::u16string(3000, u'x'));
        exchange::testing::Attach(file, {2024, 3, 5}, "photo.jpg", std::string(5000, '\xff'),
                                  dir / "scratch");
        exchange::testing::Attach(file, {2024, 3, 5}, "photo.jpg", "second of the same name",
                                  dir / "scratch");
        exchange::testing::Attach(file, {2024, 0, 0}, "plan.txt", "year plan", dir / "scratch");
    }
    fs::path folder(const std::string& name) {
        fs::create_directories(dir / name);
        return dir / name;
    }

    testing::TempDir dir;
    testing::RecordingUi ui;
    app::AppSettings settings;
};

TEST_F(ExchangeCommandsTest, RoundTripThroughTheDialogsKeepsEveryEntry) {
    const fs::path exported = folder("exported");
    auto sample = exchange::testing::NewDiary(folder("a") / "Mrlwbk31.dat", ui);
    fillSample(*sample);
    const Snapshot expected = exchange::testing::Take(*sample);
    {
        auto frame = frameOn(*sample);
        WhenShown<CExportDlg> fill([&](CExportDlg& d) {
            d.field(ExportField::Folder)->setText(qPath(exported));
            d.findChildren<QRadioButton*>().at(1)->setChecked(true);  // UNICODE
            QTest::keyClick(d.field(ExportField::Folder), Qt::Key_Return);
        });
        ui.answer(res::Answer::Yes);
        ASSERT_TRUE(frame->runCommand(Cmd::Export));
        EXPECT_TRUE(fill.done());
    }
    EXPECT_EQ(ui.informations().back(), text(res::Msg::ExportCompleted));
    EXPECT_EQ(settings.exportTo.location, exported.string());
    EXPECT_TRUE(fs::exists(exported / "2024-03-05" / "photo(2).jpg"));

    auto imported = exchange::testing::NewDiary(folder("b") / "Mrlwbk31.dat", ui);
    {
        auto frame = frameOn(*imported);
        WhenShown<CImportDlg> fill([&](CImportDlg& d) {
            d.folderField()->setText(qPath(exported));
            d.findChildren<QRadioButton*>().at(1)->setChecked(true);
            QTest::keyClick(d.folderField(), Qt::Key_Return);
        });
        ui.answer(res::Answer::Yes);
        ASSERT_TRUE(frame->runCommand(Cmd::Import));
        EXPECT_TRUE(fill.done());
    }
    EXPECT_EQ(ui.informations().back(), text(res::Msg::ImportCompleted));
    EXPECT_EQ(settings.importFrom.location, exported.string());
    EXPECT_EQ(settings.importFrom.textKind, 1);
    EXPECT_EQ(exchange::testing::Take(*imported), expected);
    imported.reset();  // the merge opens it as its source

    // The third diary has an entry of its own and one the merge replaces.
    auto third = exchange::testing::NewDiary(folder("c") / "Mrlwbk31.dat", ui);
    ASSERT_EQ(third->SaveEntry({2024, 3, 5}, u"Old", u"", u"replaced"), 1);
    ASSERT_EQ(third->SaveEntry({2023, 1, 1}, u"Own", u"Rain", u"kept"), 1);
    {
        auto frame = frameOn(*third);
        WhenShown<CMergeDlg> fill([&](CMergeDlg& d) {
            d.folderField()->setEditText(qPath(dir / "b"));
            QTest::keyClick(d.folderField()->lineEdit(), Qt::Key_Return);
        });
        ui.answer(res::Answer::Yes);
        ASSERT_TRUE(frame->runCommand(Cmd::Merge));
        EXPECT_TRUE(fill.done());
        // The side bar shows the merged entries of its year.
        EXPECT_TRUE(Marked(*frame, 2, 29));
    }
    EXPECT_EQ(ui.informations().back(), text(res::Msg::MergeComplete));
    EXPECT_EQ(settings.merge.history.front(), (dir / "b").string());
    Snapshot merged = exchange::testing::Take(*third);
    Snapshot want = expected;
    want.entries.push_back("20230101|Own|Rain|kept");
    std::sort(want.entries.begin(), want.entries.end());
    EXPECT_EQ(merged, want);
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_FALSE(ui.unexpectedQuestion());
}

TEST_F(ExchangeCommandsTest, MergingTheDataFolderItselfChangesNothing) {
    auto own = exchange::testing::NewDiary(folder("own") / "Mrlwbk31.dat", ui);
    fillSample(*own);
    const Snapshot before = exchange::testing::Take(*own);
    auto frame = frameOn(*own);
    WhenShown<CMergeDlg> fill([&](CMergeDlg& d) {
        d.folderField()->setEditText(qPath(dir / "own") + QStringLiteral("/"));
        QTest::keyClick(d.folderField()->lineEdit(), Qt::Key_Return);
    });
    ASSERT_TRUE(frame->runCommand(Cmd::Merge));
    EXPECT_EQ(ui.warnings(), (std::vector<std::string>{text(res::Msg::MergeNotToItself),
                                                       text(res::Msg::MergeFailure)}));
    ASSERT_TRUE(own->IsOpen());
    EXPECT_EQ(exchange::testing::Take(*own), before);
    EXPECT_FALSE(fs::exists(dir / "own" / "Mrlwbk31.mtemp"));
}

TEST_F(ExchangeCommandsTest, ReplacingOperationsReopenTheEntriesFromTheNewContents) {
    auto own = exchange::testing::NewDiary(folder("own") / "Mrlwbk31.dat", ui);
    ASSERT_EQ(own->SaveEntry({2024, 3, 1}, u"", u"", u"pinned before"), 1);
    const fs::path in = folder("in");
    exchange::testing::WriteFile(in / "2024-03-01.txt", "TITLE:New\r\nWEATHER:Fog\r\n\r\nafter");
    exchange::testing::WriteFile(in / "2024-03-20.txt", "a new day");
    auto frame = frameOn(*own);
    int reloaded = 0;
    QObject::connect(frame.get(), &CMainFrame::dataFileReloaded, [&] { ++reloaded; });
    diary::CDiaryDocuments& docs = frame->documents();
    docs.OpenEntry({2024, 3, 1}, true);
    docs.OpenEntry({2024, 3, 1}, true);  // pinned
    diary::CMarlowDoc* typed = docs.OpenEntry({2024, 3, 2}, false);
    ASSERT_NE(typed, nullptr);
    typed->view()->setFocus();
    QTest::keyClicks(typed->view(), QStringLiteral("typed, not saved"));
    ASSERT_FALSE(Marked(*frame, 3, 20));

    WhenShown<CImportDlg> fill([&](CImportDlg& d) {
        d.folderField()->setText(qPath(in));
        QTest::keyClick(d.folderField(), Qt::Key_Return);
    });
    ui.answer(res::Answer::Yes);
    ASSERT_TRUE(frame->runCommand(Cmd::Import));
    EXPECT_EQ(reloaded, 1);
    // What was typed was saved before the import; both entries are open
    // again, the first still pinned, showing what the import wrote.
    EXPECT_EQ(exchange::testing::TextOf(*own, {2024, 3, 2}), u"typed, not saved");
    ASSERT_EQ(docs.tabs().size(), 2u);
    EXPECT_TRUE(docs.tabs()[0].pinned);
    diary::CMarlowDoc* first = docs.document({2024, 3, 1});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->view()->toPlainText(), QStringLiteral("after"));
    ASSERT_NE(docs.activeDocument(), nullptr);
    EXPECT_EQ(docs.activeDocument()->date(), (store::Date{2024, 3, 2}));
    EXPECT_TRUE(Marked(*frame, 3, 20));
}

TEST_F(ExchangeCommandsTest, AnEntryThatCannotBeSavedStopsTheOperation) {
    store::MemFileSystem memory;
    testing::FaultyFileSystem faulty(memory);
    store::CDiaryDataFile file(faulty, ui);
    file.SetPath("/mem/Mrlwbk31.dat");
    file.SetKey(store::DeriveDataFileKey());
    ASSERT_EQ(file.Create(), 1);
    ASSERT_EQ(file.Open(false), store::OpenResult::Opened);
    auto frame = frameOn(file);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    diary::CMarlowDoc* doc = frame->documents().OpenEntry({2024, 3, 9}, true);
    ASSERT_NE(doc, nullptr);
    doc->view()->setFocus();
    QTest::keyClicks(doc->view(), QStringLiteral("unsaved"));
    ASSERT_TRUE(doc->IsModified());
    // Optimisation by its key closes the entries without a dialog first.
    faulty.kind = store::FileErrorKind::DiskFull;
    faulty.arm(1);
    QTest::keyClick(doc->view(), Qt::Key_C, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_TRUE(faulty.fired());
    faulty.arm(0);
    ASSERT_FALSE(ui.warnings().empty());
    EXPECT_EQ(ui.warnings().front(), text(res::Msg::DiskFull));
    // No question: the optimisation did not start, and the entry stays.
    for (const auto& e : ui.events()) EXPECT_NE(e.kind, "ask");
    ASSERT_EQ(frame->documents().document({2024, 3, 9}), doc);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ExchangeCommandsTest, ReadOnlyDataFileKeepsOnlyTheCommandsThatReadIt) {
    auto own = exchange::testing::NewDiary(folder("own") / "Mrlwbk31.dat", ui);
    own->Close();
    fs::permissions(dir / "own" / "Mrlwbk31.dat", fs::perms::owner_write, fs::perm_options::remove);
    ASSERT_EQ(own->Open(true), store::OpenResult::Opened);
    ASSERT_TRUE(own->IsReadOnly());
    auto frame = frameOn(*own);
    for (Cmd cmd : {Cmd::Export, Cmd::CopyData})
        EXPECT_TRUE(frame->isCommandEnabled(cmd)) << static_cast<int>(cmd);
    for (Cmd cmd : {Cmd::Import, Cmd::Merge, Cmd::Optimise, Cmd::OptimiseKey,
                    Cmd::CompressAttachments, Cmd::ManageAttachments})
        EXPECT_FALSE(frame->isCommandEnabled(cmd)) << static_cast<int>(cmd);
}

TEST_F(ExchangeCommandsTest, OptimisationByKeyAsksAndKeepsTheEntries) {
    auto own = exchange::testing::NewDiary(folder("own") / "Mrlwbk31.dat", ui);
    fillSample(*own);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(own->SaveEntry({2024, 3, 5}, u"Trip", u"", u"again"), 1);
    const Snapshot before = exchange::testing::Take(*own);
    const auto size = fs::file_size(dir / "own" / "Mrlwbk31.dat");
    auto frame = frameOn(*own);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    ui.answer(res::Answer::No);
    QTest::keyClick(frame.get(), Qt::Key_C, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(ui.events().front().text, text(res::Msg::AskOptimize));
    EXPECT_EQ(fs::file_size(dir / "own" / "Mrlwbk31.dat"), size);
    ui.answer(res::Answer::Yes);
    QTest::keyClick(frame.get(), Qt::Key_C, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(ui.informations().back(), text(res::Msg::OptimizationCompleted));
    EXPECT_LT(fs::file_size(dir / "own" / "Mrlwbk31.dat"), size);
    ASSERT_TRUE(own->IsOpen());
    EXPECT_EQ(exchange::testing::Take(*own), before);
}

// The attachment manager from the File menu: the open entries are saved
// and closed before it shows; closing it after a deletion compacts the
// data file without a question, closing it without one leaves the file.
TEST_F(ExchangeCommandsTest, ManagerDeletesAndCompactsAtCloseKeepingEverythingElse) {
    auto own = exchange::testing::NewDiary(folder("own") / "Mrlwbk31.dat", ui);
    fillSample(*own);
    const fs::path path = dir / "own" / "Mrlwbk31.dat";
    auto frame = frameOn(*own);
    ASSERT_TRUE(frame->isCommandEnabled(Cmd::ManageAttachments));
    diary::CMarlowDoc* doc = frame->documents().OpenEntry({2024, 3, 6}, true);
    ASSERT_NE(doc, nullptr);
    doc->view()->insertPlainText(QStringLiteral("typed before"));

    int listed = -1;
    {
        std::uintmax_t size = 0;
        WhenShown<diary::CFileManageDlg> close([&](diary::CFileManageDlg& dialog) {
            listed = dialog.model().rowCount();
            EXPECT_TRUE(frame->documents().tabs().empty());
            size = fs::file_size(path);
            QTest::keyClick(dialog.list(), Qt::Key_Escape);
        });
        frame->runCommand(Cmd::ManageAttachments);
        ASSERT_TRUE(close.done());
        EXPECT_EQ(listed, 3);
        EXPECT_EQ(fs::file_size(path), size);
    }
    EXPECT_EQ(exchange::testing::TextOf(*own, {2024, 3, 6}), u"typed before");
    const Snapshot before = exchange::testing::Take(*own);
    const auto size = fs::file_size(path);

    ui.clear();
    ui.answer(res::Answer::Yes);
    WhenShown<diary::CFileManageDlg> remove([&](diary::CFileManageDlg& dialog) {
        const diary::FileManageModel& model = dialog.model();
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.data(model.index(r, 0), Qt::DisplayRole).toString() == "plan.txt")
                dialog.list()->selectionModel()->select(
                    model.index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        dialog.deleteSelected();
        dialog.reject();
    });
    frame->runCommand(Cmd::ManageAttachments);
    ASSERT_TRUE(remove.done());
    EXPECT_EQ(ui.events().front().text, "Fetching attachment information.");
    EXPECT_EQ(ui.informations(), std::vector<std::string>{});
    EXPECT_LT(fs::file_size(path), size);
    ASSERT_TRUE(own->IsOpen());
    EXPECT_TRUE(own->IsWritable());
    Snapshot expected = before;
    std::erase(expected.attachments, std::string("20240000|year plan"));
    ASSERT_EQ(expected.attachments.size(), before.attachments.size() - 1);
    EXPECT_EQ(exchange::testing::Take(*own), expected);
    // The entry that was open is open again.
    EXPECT_NE(frame->documents().document({2024, 3, 6}), nullptr);
}

}  // namespace
}  // namespace tl::frame

namespace tl::frame {
namespace {

TEST_F(ExchangeCommandsTest, FileRenamedUnderneathIsKeptMergedAndTheTypedEntrySavedIntoTheNewOne) {
    const fs::path data = folder("own") / "Mrlwbk31.dat";
    auto own = exchange::testing::NewDiary(data, ui);
    ASSERT_EQ(own->SaveEntry({2024, 3, 1}, u"Mine", u"", u"mine"), 1);
    auto frame = frameOn(*own);
    ReplacedFileWatch watch(*own, [&] { (void)frame->exchangeCommands().keepReplacedDataFile(); });
    diary::CMarlowDoc* typed = frame->documents().OpenEntry({2024, 3, 2}, false);
    ASSERT_NE(typed, nullptr);
    typed->view()->setFocus();
    QTest::keyClicks(typed->view(), QStringLiteral("typed after"));

    {
        auto theirs = exchange::testing::NewDiary(folder("own") / ".incoming", ui);
        ASSERT_EQ(theirs->SaveEntry({2024, 3, 5}, u"Theirs", u"", u"theirs"), 1);
    }
    fs::rename(folder("own") / ".incoming", data);
    ui.answer(res::Answer::Yes);  // merge the kept file
    watch.check();                // as when the program regains the focus
    ASSERT_TRUE(Eventually([&] { return !own->IsDetached(); }));

    EXPECT_FALSE(ui.unexpectedQuestion());
    EXPECT_EQ(exchange::testing::TextOf(*own, {2024, 3, 1}), u"mine");
    EXPECT_EQ(exchange::testing::TextOf(*own, {2024, 3, 5}), u"theirs");
    EXPECT_EQ(exchange::testing::TextOf(*own, {2024, 3, 2}), u"typed after");
    int merged = 0;
    for (const auto& e : fs::directory_iterator(dir / "own"))
        merged += e.path().filename().string().ends_with(".merged");
    EXPECT_EQ(merged, 1);
}

}  // namespace
}  // namespace tl::frame
