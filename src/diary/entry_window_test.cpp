#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>

#include "app/app_settings.h"
#include "color_setting_dlg.h"
#include "date_change_dlg.h"
#include "diary_documents.h"
#include "head_view.h"
#include "marlow_doc.h"
#include "marlow_view.h"
#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::ScaleAt;
using widgets::SetScaleDpi;

namespace {

using store::Date;

class EntryWindowTest : public ::testing::Test {
protected:
    EntryWindowTest() {
        area.resize(900, 600);
        documents = std::make_unique<CDiaryDocuments>(
            DiaryContext{&settings, data.file.get(), &ui, {}, &commands}, &area);
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
    QMdiArea area;
    std::unique_ptr<CDiaryDocuments> documents;
};

TEST_F(EntryWindowTest, SaveAsMovesTheEntryAndRenamesItsTab) {
    settings.tab.weekday = 1;
    CMarlowDoc* doc = documents->OpenEntry(Date{2026, 5, 31}, true);
    doc->view()->insertPlainText(QStringLiteral("moving"));
    ASSERT_EQ(documents->tabs().front().name, u"05-31-2026(Sun)");

    auto acceptAny = [](Date) { return true; };
    CDateChangeDlg dialog(doc->date(), ui, acceptAny);
    dialog.setFields(QStringLiteral("2026"), QStringLiteral("6"), QStringLiteral("31"));
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(ui.warnings().back(), "Day is incorrect.");
    dialog.setFields(QStringLiteral("1899"), QStringLiteral("6"), QStringLiteral("30"));
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(ui.warnings().back(), "Specify 1900 or later.");
    dialog.setFields(QStringLiteral("2026"), QStringLiteral("6"), QStringLiteral("30"));
    ASSERT_TRUE(dialog.tryAccept());

    ASSERT_TRUE(doc->saveAsDate(dialog.chosenDate()));
    EXPECT_EQ(doc->date(), (Date{2026, 6, 30}));
    EXPECT_EQ(storedText(Date{2026, 6, 30}), u"moving");
    // Saved under the old date first, as the entry was.
    EXPECT_EQ(storedText(Date{2026, 5, 31}), u"moving");
    EXPECT_EQ(doc->frame()->windowTitle(), QStringLiteral("06-30-2026(Tue)"));
}

TEST_F(EntryWindowTest, SaveAsDialogRefusesAnOpenDateAndAsksBeforeReplacing) {
    CMarlowDoc* doc = documents->OpenEntry(Date{2026, 5, 1}, true);
    int asked = 0;
    CDateChangeDlg dialog(doc->date(), ui, [&](Date d) {
        ++asked;
        return d != Date{2026, 5, 1};
    });
    dialog.setFields(QStringLiteral("2026"), QStringLiteral("5"), QStringLiteral("1"));
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(asked, 1);
    // A month note's dialog ignores the disabled day.
    CDateChangeDlg noteDialog(Date{2026, 5, 0}, ui, {});
    noteDialog.setFields(QStringLiteral("2027"), QStringLiteral("2"), QStringLiteral("99"));
    ASSERT_TRUE(noteDialog.tryAccept());
    EXPECT_EQ(noteDialog.chosenDate(), (Date{2027, 2, 0}));
}

TEST_F(EntryWindowTest, TitleAndWeatherAreStoredWithTheTitleColours) {
    settings.titleColor.color = 0x0000FF;
    CMarlowDoc* doc = documents->OpenEntry(Date{2026, 5, 2}, true);
    CHeadView* head = doc->head();
    QTest::keyClicks(head->titleEdit(), QStringLiteral("Harbour"));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->isPinned());
    head->weatherBox()->setEditText(QStringLiteral("rain"));
    store::TitleColors colors{0x00FF00, 1, 0x202020, 2};
    head->setColors(colors);
    emit head->colorsChosen();  // the dialog's OK saves at once
    EXPECT_FALSE(doc->IsModified());
    store::EntryHeader stored;
    ASSERT_NE(data.file->ReadEntryHeader(Date{2026, 5, 2}, &stored), 0u);
    EXPECT_EQ(stored.title, u"Harbour");
    EXPECT_EQ(stored.weather, u"rain");
    EXPECT_EQ(stored.colors, colors);
}

TEST_F(EntryWindowTest, NotesShowOnlyTheTabStrip) {
    CMarlowDoc* note = documents->OpenEntry(Date{2026, 5, 0}, true);
    EXPECT_EQ(note->head()->titleEdit(), nullptr);
    EXPECT_EQ(note->head()->height(), CHeadView::paneHeight(true));
    EXPECT_LT(CHeadView::paneHeight(true), CHeadView::paneHeight(false));
}

TEST_F(EntryWindowTest, HeaderLabelsFitTheirTextAtEveryResolution) {
    for (int dpi : {96, 192}) {
        SetScaleDpi(dpi);
        TabTable tabs;
        CHeadView head(tabs, false, true);
        // A large font: the labels must grow with it, not keep a fixed width.
        QFont font = head.font();
        font.setPointSize(14);
        head.setFont(font);
        head.resize(ScaleAt(900, dpi), CHeadView::paneHeight(false));
        head.show();  // a hidden widget gets its resize event only when shown
        const QFontMetrics metrics(font);
        const QRect weather = head.weatherLabelRect();
        EXPECT_GE(weather.width(), metrics.horizontalAdvance(QStringLiteral("Weather"))) << dpi;
        EXPECT_LT(weather.right(), head.weatherBox()->geometry().left()) << dpi;
        EXPECT_GT(weather.left(), head.titleEdit()->geometry().right() + ScaleAt(44, dpi)) << dpi;
        const QRect title = head.titleLabelRect();
        EXPECT_GE(title.width(), metrics.horizontalAdvance(QStringLiteral("Title"))) << dpi;
        EXPECT_LT(title.right(), head.titleEdit()->geometry().left()) << dpi;
    }
    SetScaleDpi(0);  // read from the screen again
}

TEST_F(EntryWindowTest, EditorInsertsBordersAndLineBreaksAsOneUndoStep) {
    settings.etc.sepBeforeLine = 0;
    settings.etc.sepAfterLine = 1;
    CMarlowDoc* doc = documents->OpenEntry(Date{2026, 5, 3}, true);
    CMarlowView* view = doc->view();
    view->insertPlainText(QStringLiteral("x"));
    ASSERT_TRUE(documents->isEnabled(res::Cmd::InsertShortBorder));
    view->setFocus();
    commands.run(res::Cmd::InsertShortBorder);
    EXPECT_EQ(view->toPlainText(), QStringLiteral("x---------------\n\n"));
    view->undo();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("x"));
    view->insertStamp(2026, 3, 1, 13, 7);
    EXPECT_EQ(view->toPlainText(), QStringLiteral("xSunday, March 01, 2026 at 01:07 PM"));
}

TEST_F(EntryWindowTest, ColourDialogBlinkBoxesExcludeEachOther) {
    CColorSettingDlg dialog;
    EXPECT_EQ(CColorSettingDlg::active(), &dialog);
    dialog.setColors(store::TitleColors{0x112233, 0, 0xFFFFFF, 2});
    EXPECT_EQ(dialog.previewText(), QStringLiteral("Sample"));
    dialog.setBlinkText(true);
    EXPECT_EQ(dialog.colors().blink, 1u);
    dialog.setBlinkTextAndBackground(true);
    EXPECT_EQ(dialog.colors().blink, 2u);
    dialog.setBlinkTextAndBackground(false);
    EXPECT_EQ(dialog.colors().blink, 0u);
    EXPECT_EQ(dialog.colors().text, 0x112233u);
}

TEST_F(EntryWindowTest, PinCommandTogglesTheDocumentAndItsTab) {
    CMarlowDoc* a = documents->OpenEntry(Date{2026, 5, 4}, true);
    commands.run(res::Cmd::TogglePin);
    EXPECT_TRUE(a->isPinned());
    EXPECT_TRUE(documents->tabs().front().pinned);
    commands.run(res::Cmd::TogglePin);
    EXPECT_FALSE(a->isPinned());
    EXPECT_FALSE(documents->tabs().front().pinned);
}

}  // namespace
}  // namespace tl::diary
