#include "diary_documents.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include "app/app_settings.h"
#include "child_frame.h"
#include "head_view.h"
#include "marlow_doc.h"
#include "marlow_view.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"
#include "tab_click_window.h"
#include "tab_strip.h"
#include "tab_table.h"

namespace tl::diary {
namespace {

using store::Date;

constexpr Date kDay{2026, 12, 8};
constexpr Date kOtherDay{2026, 12, 9};

class DiaryDocumentsTest : public ::testing::Test {
protected:
    DiaryDocumentsTest() { makeDocuments(); }

    void makeDocuments(store::CDiaryDataFile* file = nullptr) {
        documents.reset();
        area = std::make_unique<QMdiArea>();
        area->resize(800, 600);
        DiaryContext context{&settings, file ? file : data.file.get(), &ui,
                             [] {
                                 return std::chrono::year_month_day{std::chrono::year{2026},
                                                                    std::chrono::month{12},
                                                                    std::chrono::day{8}};
                             },
                             &commands};
        documents = std::make_unique<CDiaryDocuments>(context, area.get());
    }

    // Types at the end of the entry's text as the user would: an edit that
    // marks the document modified.
    static void type(CMarlowDoc* doc, const QString& text) {
        QTextCursor cursor = doc->view()->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
        doc->view()->setTextCursor(cursor);
    }

    std::u16string storedText(Date date) {
        std::u16string text;
        data.file->ReadEntryText(date, text);
        return text;
    }

    app::AppSettings settings;
    res::CommandRegistry commands;
    testing::MemDataFile data;
    testing::RecordingUi ui;
    std::unique_ptr<QMdiArea> area;
    std::unique_ptr<CDiaryDocuments> documents;
};

TEST_F(DiaryDocumentsTest, ChangedDefaultFontReachesEveryOpenEditor) {
    settings.font.height = 100;
    settings.font.italic = 0;
    CMarlowDoc* first = documents->OpenEntry(kDay, true);
    ASSERT_NE(first, nullptr);
    first->setPinned(true);  // stays open beside the next one
    ASSERT_NE(documents->OpenEntry(kOtherDay, true), nullptr);
    ASSERT_EQ(documents->documents().size(), 2u);
    settings.font.height = 180;
    settings.font.italic = 1;
    settings.font.color = 0x0000FF;  // red, stored as 0x00BBGGRR
    documents->applyDefaultFont();
    for (CMarlowDoc* doc : documents->documents()) {
        const QFont font = doc->view()->document()->defaultFont();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 18.0);
        EXPECT_TRUE(font.italic());
        EXPECT_EQ(doc->view()->palette().color(QPalette::Text), QColor(255, 0, 0));
    }
}

TEST_F(DiaryDocumentsTest, TypedTextWithFormatsSurvivesARestart) {
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->IsModified());
    doc->head()->titleEdit()->setText(QStringLiteral("A day at sea"));
    QTextCursor cursor = doc->view()->textCursor();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("plain "));
    cursor.insertText(QStringLiteral("bold"), bold);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->isPinned());
    EXPECT_TRUE(documents->tabs().front().pinned);

    documents->CloseAll();
    EXPECT_TRUE(documents->tabs().empty());
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    makeDocuments();

    doc = documents->OpenEntry(kDay, true);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->head()->title(), QStringLiteral("A day at sea"));
    EXPECT_EQ(doc->view()->toPlainText(), QStringLiteral("plain bold"));
    QTextCursor probe(doc->view()->document());
    probe.setPosition(8);
    EXPECT_EQ(probe.charFormat().fontWeight(), QFont::Bold);
    probe.setPosition(3);
    EXPECT_NE(probe.charFormat().fontWeight(), QFont::Bold);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(storedText(kDay), u"plain bold");
}

TEST_F(DiaryDocumentsTest, OpeningAnotherDateSavesAndClosesOnlyUnpinnedEntries) {
    CMarlowDoc* first = documents->OpenEntry(kDay, true);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isPinned());  // opening alone does not pin
    documents->OpenEntry(kOtherDay, true);
    EXPECT_EQ(documents->document(kDay), nullptr);
    ASSERT_EQ(documents->tabs().size(), 1u);

    CMarlowDoc* edited = documents->OpenEntry(kDay, true);
    EXPECT_EQ(documents->document(kOtherDay), nullptr);
    type(edited, QStringLiteral("kept"));
    CMarlowDoc* other = documents->OpenEntry(kOtherDay, false);
    ASSERT_NE(other, nullptr);
    // The edited entry was pinned by the edit and stays open, saved.
    ASSERT_NE(documents->document(kDay), nullptr);
    EXPECT_EQ(documents->tabs().size(), 2u);
    documents->OpenEntry(kOtherDay, false);
    EXPECT_FALSE(other->isPinned());
    documents->OpenEntry(kOtherDay, true);
    EXPECT_TRUE(other->isPinned());
    EXPECT_TRUE(documents->tabs()[1].pinned);
}

TEST_F(DiaryDocumentsTest, EverySaveTriggerWritesTheEntry) {
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    type(doc, QStringLiteral("one"));
    EXPECT_TRUE(commands.run(res::Cmd::FileSave));
    EXPECT_EQ(storedText(kDay), u"one");
    EXPECT_FALSE(documents->isEnabled(res::Cmd::FileSave));

    type(doc, QStringLiteral(" two"));
    emit doc->view()->focusLost();
    EXPECT_EQ(storedText(kDay), u"one two");

    type(doc, QStringLiteral(" three"));
    EXPECT_TRUE(documents->SaveAll());
    EXPECT_EQ(storedText(kDay), u"one two three");

    type(doc, QStringLiteral(" four"));
    doc->frame()->close();  // the window's own close button
    EXPECT_EQ(documents->document(kDay), nullptr);
    EXPECT_EQ(storedText(kDay), u"one two three four");

    doc = documents->OpenEntry(kDay, true);
    type(doc, QStringLiteral(" five"));
    EXPECT_TRUE(commands.run(res::Cmd::FileClose));
    EXPECT_EQ(storedText(kDay), u"one two three four five");
}

TEST_F(DiaryDocumentsTest, SavingKeepsTheDatesStickyNote) {
    store::StickyNote note;
    note.date = kDay;
    note.text = u"call";
    ASSERT_EQ(data.file->SaveStickyNote(note), 1);
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    type(doc, QStringLiteral("x"));
    ASSERT_TRUE(documents->SaveAll());
    store::StickyNote kept;
    ASSERT_NE(data.file->FindStickyNote(kDay, &kept), 0u);
    EXPECT_EQ(kept.text, u"call");
}

TEST_F(DiaryDocumentsTest, ParagraphsAreStoredWithCrLf) {
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    type(doc, QStringLiteral("a\nb"));
    documents->SaveAll();
    EXPECT_EQ(storedText(kDay), u"a\r\nb");
}

TEST_F(DiaryDocumentsTest, EmptyingAnEntryRemovesIt) {
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    type(doc, QStringLiteral("x"));
    documents->SaveAll();
    ASSERT_NE(data.file->ReadEntryHeader(kDay), 0u);
    doc->view()->selectAll();
    doc->view()->textCursor().removeSelectedText();
    doc->view()->document()->setModified(true);
    documents->SaveAll();
    EXPECT_EQ(data.file->ReadEntryHeader(kDay), 0u);
}

TEST_F(DiaryDocumentsTest, ReadOnlyFileNeverWrites) {
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    type(doc, QStringLiteral("stored"));
    documents->CloseAll();
    data.fs.setReadOnly(data.path, true);
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    ASSERT_TRUE(data.file->IsReadOnly());
    makeDocuments();
    doc = documents->OpenEntry(kDay, true);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->view()->isReadOnly());
    EXPECT_TRUE(doc->head()->titleEdit()->isReadOnly());
    EXPECT_FALSE(documents->isEnabled(res::Cmd::FileSaveAs));
    EXPECT_FALSE(documents->isEnabled(res::Cmd::DeleteEntry));
    doc->SetModifiedFlag(true);
    EXPECT_TRUE(doc->saveIfModified());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(storedText(kDay), u"stored");
}

TEST_F(DiaryDocumentsTest, PreviousAndNextFollowTheDatesWithContent) {
    for (Date date : {Date{2026, 1, 5}, Date{2026, 3, 0}, Date{2026, 3, 9}}) {
        CMarlowDoc* doc = documents->OpenEntry(date, true);
        type(doc, QStringLiteral("x"));
    }
    documents->CloseAll();
    // Without an entry open, next starts at the first date with a diary.
    commands.run(res::Cmd::NextEntry);
    ASSERT_NE(documents->activeDocument(), nullptr);
    EXPECT_EQ(documents->activeDocument()->date(), (Date{2026, 1, 5}));
    commands.run(res::Cmd::NextEntry);
    EXPECT_EQ(documents->activeDocument()->date(), (Date{2026, 3, 0}));
    commands.run(res::Cmd::NextEntry);
    EXPECT_EQ(documents->activeDocument()->date(), (Date{2026, 3, 9}));
    // Stepping does not pin, so the windows passed were closed.
    EXPECT_EQ(documents->tabs().size(), 1u);
    commands.run(res::Cmd::NextEntry);  // the last: nothing happens
    EXPECT_EQ(documents->activeDocument()->date(), (Date{2026, 3, 9}));
    commands.run(res::Cmd::PreviousEntry);
    EXPECT_EQ(documents->activeDocument()->date(), (Date{2026, 3, 0}));
}

TEST_F(DiaryDocumentsTest, DeletePromptsAndKeepsWhatTheUserKeeps) {
    CMarlowDoc* doc = documents->OpenEntry(kDay, true);
    type(doc, QStringLiteral("unsaved"));
    store::StickyNote note;
    note.date = kDay;
    note.text = u"call";
    ASSERT_EQ(data.file->SaveStickyNote(note), 1);

    ui.answer(res::Answer::No);
    documents->DeleteEntry(kDay);
    EXPECT_NE(documents->document(kDay), nullptr);
    ASSERT_FALSE(ui.events().empty());
    EXPECT_EQ(ui.events().back().text, "Are you sure you want to delete 12-08-2026(Tue) of diary?");

    ui.answer(res::Answer::Yes);
    ui.answer(res::Answer::No);  // keep the sticky note
    documents->DeleteEntry(kDay);
    EXPECT_FALSE(ui.unexpectedQuestion());
    EXPECT_EQ(documents->document(kDay), nullptr);
    EXPECT_EQ(data.file->ReadEntryHeader(kDay), 0u);
    EXPECT_NE(data.file->FindStickyNote(kDay), 0u);
}

// Save as onto a date that holds an entry asks with OK and Cancel; an open
// date is refused before anything is asked.
TEST_F(DiaryDocumentsTest, SaveAsOntoAStoredEntryAsksOkOrCancel) {
    CMarlowDoc* stored = documents->OpenEntry(kOtherDay, true);
    type(stored, QStringLiteral("old"));
    ASSERT_TRUE(documents->SaveAll());
    EXPECT_FALSE(documents->canSaveAsDate(kOtherDay));
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Diary of this day already opened."});
    documents->CloseAll();

    ASSERT_NE(documents->OpenEntry(kDay, true), nullptr);
    ui.clear();
    ui.answer(res::Answer::Cancel);
    EXPECT_FALSE(documents->canSaveAsDate(kOtherDay));
    ui.answer(res::Answer::Yes);
    EXPECT_TRUE(documents->canSaveAsDate(kOtherDay));
    const std::string question(res::Text(res::Msg::ReplaceExistingDiary));
    ASSERT_EQ(ui.events().size(), 2u);
    for (const auto& event : ui.events()) {
        EXPECT_EQ(event.kind, "askOkCancel");
        EXPECT_EQ(event.text, question);
    }
    ui.clear();
    EXPECT_TRUE(documents->canSaveAsDate(Date{2026, 12, 10}));  // nothing stored there
    EXPECT_TRUE(ui.events().empty());
}

// Within 500 ms of a click on a tab, a second button down on that tab (a
// double click counts as one) toggles its pin at once and starts no drag;
// once the window has closed the click is a first click again.
TEST_F(DiaryDocumentsTest, ASecondClickOnATabWithinTheClickWindowTogglesItsPin) {
    area->show();
    CMarlowDoc* a = documents->OpenEntry(kDay, true);
    a->setPinned(true);
    CMarlowDoc* b = documents->OpenEntry(kOtherDay, true);
    b->setPinned(true);
    ASSERT_EQ(documents->activeDocument(), b);
    QApplication::processEvents();
    auto tabCentre = [&](CTabStrip* strip, int row) {
        int x = TabTable::kLeft;
        for (int i = 0; i < row; ++i) x += documents->tabs()[i].width;
        return QPoint(x + documents->tabs()[row].width / 2, strip->height() / 2);
    };
    auto stripOf = [](CMarlowDoc* doc) { return doc->head()->tabStrip(); };
    TabClickWindow& window = documents->tabClickWindow();

    // A double click on the other tab: forward, then the pin toggles on the
    // second button down, before any release.
    QTest::mouseClick(stripOf(b), Qt::LeftButton, {}, tabCentre(stripOf(b), 0));
    EXPECT_EQ(documents->activeDocument(), a);
    EXPECT_TRUE(a->isPinned());
    EXPECT_TRUE(window.isOpen());
    QMouseEvent second(QEvent::MouseButtonDblClick, tabCentre(stripOf(a), 0),
                       stripOf(a)->mapToGlobal(tabCentre(stripOf(a), 0)), Qt::LeftButton,
                       Qt::LeftButton, {});
    QApplication::sendEvent(stripOf(a), &second);
    EXPECT_FALSE(a->isPinned());
    EXPECT_FALSE(window.isOpen());
    // No drag started: moving over the other tab leaves the order alone.
    QTest::mouseMove(stripOf(a), tabCentre(stripOf(a), 1));
    QTest::mouseRelease(stripOf(a), Qt::LeftButton, {}, tabCentre(stripOf(a), 1));
    EXPECT_EQ(documents->tabs()[0].date, kDay);
    EXPECT_FALSE(a->isPinned());

    // After the window: a click on the current tab toggles on release only.
    QTest::mousePress(stripOf(a), Qt::LeftButton, {}, tabCentre(stripOf(a), 0));
    EXPECT_FALSE(a->isPinned());
    QTest::mouseRelease(stripOf(a), Qt::LeftButton, {}, tabCentre(stripOf(a), 0));
    EXPECT_TRUE(a->isPinned());
    window.expire();

    // A click on another tab within the window keeps the first date: a
    // click on b is an ordinary click, a second one on b is too.
    QTest::mouseClick(stripOf(a), Qt::LeftButton, {}, tabCentre(stripOf(a), 1));
    EXPECT_EQ(documents->activeDocument(), b);
    QTest::mouseClick(stripOf(b), Qt::LeftButton, {}, tabCentre(stripOf(b), 0));
    EXPECT_EQ(documents->activeDocument(), a);
    EXPECT_TRUE(b->isPinned());
    EXPECT_TRUE(a->isPinned());
    // ...and back on the remembered tab the pin toggles at once; the tab was
    // no longer current, so its entry comes forward as well.
    QTest::mousePress(stripOf(a), Qt::LeftButton, {}, tabCentre(stripOf(a), 1));
    EXPECT_FALSE(b->isPinned());
    EXPECT_EQ(documents->activeDocument(), b);
    QTest::mouseRelease(stripOf(b), Qt::LeftButton, {}, tabCentre(stripOf(b), 1));
    EXPECT_FALSE(b->isPinned());
    EXPECT_TRUE(a->isPinned());
}

TEST_F(DiaryDocumentsTest, CloseAllButThisSavesTheOthers) {
    CMarlowDoc* a = documents->OpenEntry(kDay, true);
    type(a, QStringLiteral("a"));
    CMarlowDoc* b = documents->OpenEntry(kOtherDay, true);
    type(b, QStringLiteral("b"));
    ASSERT_EQ(documents->tabs().size(), 2u);
    ASSERT_EQ(documents->activeDocument(), b);
    commands.run(res::Cmd::CloseAllButThis);
    EXPECT_EQ(documents->tabs().size(), 1u);
    EXPECT_EQ(documents->document(kDay), nullptr);
    EXPECT_EQ(storedText(kDay), u"a");
}

TEST_F(DiaryDocumentsTest, AnEntryWhoseSaveFailsStaysOpenAndModified) {
    store::MemFileSystem memory;
    testing::FaultyFileSystem faulty(memory);
    store::CDiaryDataFile file(faulty, ui);
    file.SetPath("/mem/Mrlwbk31.dat");
    file.SetKey(store::DeriveDataFileKey());
    ASSERT_EQ(file.Create(), 1);
    ASSERT_EQ(file.Open(false), store::OpenResult::Opened);
    makeDocuments(&file);
    // Opening the second entry saves the first, so only the second is
    // modified when the full disk comes.
    CMarlowDoc* b = documents->OpenEntry(kOtherDay, true);
    type(b, QStringLiteral("saved"));
    CMarlowDoc* a = documents->OpenEntry(kDay, true);
    type(a, QStringLiteral("kept"));
    faulty.kind = store::FileErrorKind::DiskFull;
    faulty.arm(1);
    EXPECT_FALSE(documents->CloseAll());
    EXPECT_TRUE(faulty.fired());
    faulty.arm(0);
    ASSERT_FALSE(ui.warnings().empty());
    EXPECT_EQ(ui.warnings().front(), std::string(res::Text(res::Msg::DiskFull)));
    ASSERT_EQ(documents->documents(), std::vector<CMarlowDoc*>{a});
    EXPECT_TRUE(a->IsModified());
    EXPECT_EQ(a->view()->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(documents->activeDocument(), a);
    ASSERT_EQ(documents->tabs().size(), 1u);
    // Bringing it forward again keeps the mark, so the next save still
    // writes it.
    EXPECT_EQ(documents->OpenEntry(kDay, false), a);
    EXPECT_TRUE(a->IsModified());
    EXPECT_TRUE(documents->CloseAll());
    std::u16string text;
    file.ReadEntryText(kDay, text);
    EXPECT_EQ(text, u"kept");
    file.ReadEntryText(kOtherDay, text);
    EXPECT_EQ(text, u"saved");
    documents.reset();
}

TEST_F(DiaryDocumentsTest, PrivateClipboardFormatKeepsFormattingBetweenEntries) {
    CMarlowDoc* a = documents->OpenEntry(kDay, true);
    QTextCursor cursor = a->view()->textCursor();
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    cursor.insertText(QStringLiteral("red"), red);
    a->view()->selectAll();
    a->view()->copy();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat(QString::fromLatin1(kPrivateMimeType)));
    EXPECT_EQ(mime->text(), QStringLiteral("red"));

    CMarlowDoc* b = documents->OpenEntry(kOtherDay, true);
    b->view()->paste();
    EXPECT_EQ(b->view()->toPlainText(), QStringLiteral("red"));
    QTextCursor probe(b->view()->document());
    probe.setPosition(2);
    EXPECT_EQ(probe.charFormat().foreground().color(), QColor(255, 0, 0));

    // Text of other programs arrives plain.
    auto* foreign = new QMimeData;
    foreign->setHtml(QStringLiteral("<b>bold</b>"));
    foreign->setText(QStringLiteral("bold"));
    QApplication::clipboard()->setMimeData(foreign);
    b->view()->selectAll();
    b->view()->paste();
    probe = QTextCursor(b->view()->document());
    probe.setPosition(2);
    EXPECT_EQ(b->view()->toPlainText(), QStringLiteral("bold"));
    EXPECT_NE(probe.charFormat().fontWeight(), QFont::Bold);
}

}  // namespace
}  // namespace tl::diary
