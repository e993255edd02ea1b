// The command bar and the edit bar: their state follows the focused
// editor, their buttons and boxes act on it, and the View menu shows and
// hides them.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QToolBar>

#include "calendar/day_bar.h"
#include "calendar/day_wnd.h"
#include "cmd_bar.h"
#include "cmd_btn.h"
#include "color_pick_wnd.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "edit_bar.h"
#include "edit_bar_boxes.h"
#include "frame_bars.h"
#include "main_frame.h"
#include "support/data_file_fixture.h"
#include "widgets/qt_color.h"

namespace tl::frame {
namespace {

using namespace std::chrono;
using res::Cmd;

constexpr year_month_day kToday{year{2026}, month{12}, day{9}};

class BarsTest : public ::testing::Test {
protected:
    std::unique_ptr<CMainFrame> makeFrame() {
        settings.dayBar.visible = 1;
        settings.font.name = "Sans";
        settings.font.height = 100;
        auto frame =
            std::make_unique<CMainFrame>(settings, *data.file, data.ui, [] { return kToday; });
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        return frame;
    }
    // Today's entry with the editor focused and the bars refreshed.
    diary::CMarlowView* openToday(CMainFrame& frame) {
        frame.runCommand(Cmd::Today);
        diary::CMarlowDoc* doc = frame.documents().activeDocument();
        if (!doc) return nullptr;
        doc->view()->setFocus();
        QApplication::processEvents();
        frame.bars()->refresh();
        return doc->view();
    }
    static void select(diary::CMarlowView* view, int from, int to) {
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }
    static CCmdBtn* tool(CMainFrame& frame, Cmd cmd) { return frame.bars()->cmdBar()->button(cmd); }
    static CCmdBtn* format(CMainFrame& frame, Cmd cmd) {
        return frame.bars()->editBar()->button(cmd);
    }

    app::AppSettings settings;
    testing::MemDataFile data;
};

TEST_F(BarsTest, CommandButtonsFollowTheEditorAndRunTheirCommands) {
    auto frame = makeFrame();
    EXPECT_EQ(frame->bars()->cmdBar()->buttons().size(), 13u);
    // Without an entry the editing buttons are greyed.
    frame->bars()->refresh();
    for (Cmd cmd : {Cmd::EditCut, Cmd::EditCopy, Cmd::EditUndo, Cmd::InsertBorder})
        EXPECT_FALSE(tool(*frame, cmd)->isEnabled()) << static_cast<int>(cmd);
    EXPECT_TRUE(tool(*frame, Cmd::NextEntry)->isEnabled());

    diary::CMarlowView* view = openToday(*frame);
    ASSERT_NE(view, nullptr);
    QTest::keyClicks(view, QStringLiteral("Frost"));
    frame->bars()->refresh();
    EXPECT_TRUE(tool(*frame, Cmd::EditUndo)->isEnabled());
    EXPECT_FALSE(tool(*frame, Cmd::EditCopy)->isEnabled());  // nothing selected
    EXPECT_TRUE(tool(*frame, Cmd::InsertBorder)->isEnabled());
    view->selectAll();
    frame->bars()->refresh();
    EXPECT_TRUE(tool(*frame, Cmd::EditCut)->isEnabled());
    EXPECT_TRUE(tool(*frame, Cmd::EditCopy)->isEnabled());

    // The focus in the day list: the text is not where the keys go.
    frame->dayBar()->dayList()->setFocus();
    QApplication::processEvents();
    frame->bars()->refresh();
    EXPECT_FALSE(tool(*frame, Cmd::EditCopy)->isEnabled());
    EXPECT_FALSE(tool(*frame, Cmd::InsertBorder)->isEnabled());

    // The exist-only button shows the side bar's mode and switches it.
    EXPECT_FALSE(tool(*frame, Cmd::ExistOnly)->isOn());
    QTest::mouseClick(tool(*frame, Cmd::ExistOnly), Qt::LeftButton);
    EXPECT_EQ(settings.dayBar.existOnly, 1);
    EXPECT_TRUE(tool(*frame, Cmd::ExistOnly)->isOn());

    // A click leaves the focus in the editor and runs the command there.
    view->setFocus();
    QApplication::processEvents();
    frame->bars()->refresh();
    const QString before = view->toPlainText();
    QTest::mouseClick(tool(*frame, Cmd::InsertShortBorder), Qt::LeftButton);
    EXPECT_TRUE(view->toPlainText().contains(QStringLiteral("---------------")));
    EXPECT_NE(view->toPlainText(), before);
    EXPECT_TRUE(view->hasFocus());
}

TEST_F(BarsTest, EditBarShowsTheSelectionsFontSizeAndEffects) {
    auto frame = makeFrame();
    CEditBar* bar = frame->bars()->editBar();
    // Without an entry: greyed boxes with the default font.
    EXPECT_FALSE(bar->fontName()->isEnabled());
    EXPECT_EQ(bar->fontName()->currentText(), QStringLiteral("Sans"));
    EXPECT_EQ(bar->fontSize()->currentText(), QStringLiteral("10"));

    diary::CMarlowView* view = openToday(*frame);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(bar->fontName()->isEnabled());
    QTextCursor cursor = view->textCursor();
    cursor.insertText(QStringLiteral("plain "));
    QTextCharFormat big;
    big.setFontFamilies({QStringLiteral("Serif")});
    big.setFontPointSize(18);
    big.setFontWeight(QFont::Bold);
    big.setFontItalic(true);
    cursor.insertText(QStringLiteral("big"), big);

    select(view, 7, 9);
    EXPECT_EQ(bar->fontName()->currentText(), QStringLiteral("Serif"));
    EXPECT_EQ(bar->fontSize()->currentText(), QStringLiteral("18"));
    EXPECT_TRUE(format(*frame, Cmd::ToggleBold)->isOn());
    EXPECT_TRUE(format(*frame, Cmd::ToggleItalic)->isOn());
    EXPECT_FALSE(format(*frame, Cmd::ToggleUnderline)->isOn());

    select(view, 1, 3);
    EXPECT_EQ(bar->fontName()->currentText(), QStringLiteral("Sans"));
    EXPECT_EQ(bar->fontSize()->currentText(), QStringLiteral("10"));
    EXPECT_FALSE(format(*frame, Cmd::ToggleBold)->isOn());

    select(view, 2, 8);  // both runs
    EXPECT_EQ(bar->fontName()->currentText(), QString());
    EXPECT_EQ(bar->fontSize()->currentText(), QString());
    EXPECT_FALSE(format(*frame, Cmd::ToggleItalic)->isOn());

    // The format buttons run their commands on the selection.
    QTest::mouseClick(format(*frame, Cmd::ToggleUnderline), Qt::LeftButton);
    QTest::mouseClick(format(*frame, Cmd::ToggleStrikeOut), Qt::LeftButton);
    EXPECT_TRUE(format(*frame, Cmd::ToggleUnderline)->isOn());
    EXPECT_TRUE(format(*frame, Cmd::ToggleStrikeOut)->isOn());
    QTextCursor probe(view->document());
    probe.setPosition(4);
    EXPECT_TRUE(probe.charFormat().fontUnderline());
    EXPECT_TRUE(probe.charFormat().fontStrikeOut());
    EXPECT_TRUE(view->hasFocus());

    // Closing the entry greys the boxes again.
    frame->runCommand(Cmd::FileClose);
    QApplication::processEvents();
    EXPECT_FALSE(bar->fontSize()->isEnabled());
    EXPECT_FALSE(format(*frame, Cmd::ToggleBold)->isEnabled());
    EXPECT_EQ(bar->fontSize()->currentText(), QStringLiteral("10"));
}

TEST_F(BarsTest, BoxesApplyTheirValueOnEnterAndGiveTheTextItsFocusBack) {
    auto frame = makeFrame();
    CEditBar* bar = frame->bars()->editBar();
    diary::CMarlowView* view = openToday(*frame);
    ASSERT_NE(view, nullptr);
    QTest::keyClicks(view, QStringLiteral("Rain"));
    view->selectAll();

    bar->fontSize()->setFocus();
    bar->fontSize()->lineEdit()->selectAll();
    QTest::keyClicks(bar->fontSize(), QStringLiteral("13"));
    QTest::keyClick(bar->fontSize(), Qt::Key_Return);
    QTextCursor probe(view->document());
    probe.setPosition(2);
    EXPECT_DOUBLE_EQ(probe.charFormat().fontPointSize(), 13.0);
    EXPECT_TRUE(view->hasFocus());

    // A name the list does not have changes nothing; one it has applies.
    ASSERT_GT(bar->fontName()->count(), 0);
    const QString face = bar->fontName()->itemText(0);
    bar->fontName()->setFocus();
    bar->fontName()->lineEdit()->setText(QStringLiteral("No Such Face"));
    QTest::keyClick(bar->fontName(), Qt::Key_Return);
    probe.setPosition(2);
    EXPECT_NE(probe.charFormat().fontFamilies().toStringList().value(0),
              QStringLiteral("No Such Face"));
    bar->fontName()->lineEdit()->setText(face);
    QTest::keyClick(bar->fontName(), Qt::Key_Return);
    probe.setPosition(2);
    EXPECT_EQ(probe.charFormat().fontFamilies().toStringList().value(0), face);

    // Esc in a box goes back to the text.
    bar->fontSize()->setFocus();
    QTest::keyClick(bar->fontSize(), Qt::Key_Escape);
    EXPECT_TRUE(view->hasFocus());
}

// Part of the clipboard rule: while a box of the edit bar has the focus,
// Paste changes the box only.
TEST_F(BarsTest, ClipboardCommandsServeTheFocusedBox) {
    auto frame = makeFrame();
    CEditBar* bar = frame->bars()->editBar();
    diary::CMarlowView* view = openToday(*frame);
    ASSERT_NE(view, nullptr);
    QTest::keyClicks(view, QStringLiteral("Text"));
    QApplication::clipboard()->setText(QStringLiteral("24"));
    bar->fontSize()->setFocus();
    QApplication::processEvents();
    bar->fontSize()->lineEdit()->selectAll();
    ASSERT_TRUE(frame->runCommand(Cmd::EditPaste));
    EXPECT_EQ(bar->fontSize()->currentText(), QStringLiteral("24"));
    EXPECT_EQ(view->toPlainText(), QStringLiteral("Text"));
}

TEST_F(BarsTest, TextColourFromThePopupIsAppliedAndRemembered) {
    settings.edit.selectedColor = 0x0000FF;  // red
    settings.font.color = 0x00FF00;          // green
    auto frame = makeFrame();
    CEditBar* bar = frame->bars()->editBar();
    CCmdBtn* colour = format(*frame, Cmd::TextColor);
    EXPECT_EQ(colour->colour(), QColor(255, 0, 0));

    // Without an entry a swatch changes only the button and the setting.
    bar->applyColorItem(7);  // blue
    EXPECT_EQ(settings.edit.selectedColor, 0xFF0000);
    EXPECT_EQ(colour->colour(), QColor(0, 0, 255));

    diary::CMarlowView* view = openToday(*frame);
    ASSERT_NE(view, nullptr);
    QTest::keyClicks(view, QStringLiteral("Sky"));
    view->selectAll();
    auto colourAt = [&](int at) {
        QTextCursor probe(view->document());
        probe.setPosition(at);
        return probe.charFormat().foreground().color();
    };
    // The button applies its own colour.
    QTest::mouseClick(colour, Qt::LeftButton);
    EXPECT_EQ(colourAt(2), QColor(0, 0, 255));

    // The popup, by keyboard: Down to Auto, Down to the first swatch,
    // Right to orange, Enter.
    QTest::mouseClick(bar->button(Cmd::TextColorMenu), Qt::LeftButton);
    CColorPickWnd* popup = bar->colorPopup();
    ASSERT_TRUE(popup->isVisible());
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->hoverItem(), 2);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(colourAt(2), QColor(255, 128, 0));
    EXPECT_EQ(settings.edit.selectedColor, widgets::FromQColor(QColor(255, 128, 0)));
    EXPECT_TRUE(view->hasFocus());

    // Auto applies the default font's colour and keeps the button's.
    view->selectAll();
    bar->applyColorItem(0);
    EXPECT_EQ(colourAt(2), QColor(0, 255, 0));
    EXPECT_EQ(colour->colour(), QColor(255, 128, 0));
    EXPECT_EQ(settings.edit.selectedColor, widgets::FromQColor(QColor(255, 128, 0)));

    // Esc closes the popup without a choice.
    QTest::mouseClick(bar->button(Cmd::TextColorMenu), Qt::LeftButton);
    QSignalSpy picked(popup, &CColorPickWnd::picked);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(picked.count(), 0);
}

TEST_F(BarsTest, ViewMenuShowsAndHidesEachBarAndRemembersIt) {
    settings.editBar.visible = 0;
    auto frame = makeFrame();
    CFrameBars* bars = frame->bars();
    EXPECT_TRUE(bars->cmdBarHost()->isVisible());
    EXPECT_FALSE(bars->editBarHost()->isVisible());
    EXPECT_FALSE(frame->action(Cmd::ViewEditBar)->isChecked());
    EXPECT_TRUE(frame->action(Cmd::ViewToolBar)->isChecked());

    frame->action(Cmd::ViewToolBar)->trigger();
    EXPECT_FALSE(bars->cmdBarHost()->isVisible());
    EXPECT_EQ(settings.toolBar.visible, 0);
    EXPECT_FALSE(frame->action(Cmd::ViewToolBar)->isChecked());
    frame->action(Cmd::ViewEditBar)->trigger();
    EXPECT_TRUE(bars->editBarHost()->isVisible());
    EXPECT_EQ(settings.editBar.visible, 1);
    // The command bar spans the width above the edit bar.
    frame->action(Cmd::ViewToolBar)->trigger();
    EXPECT_LT(bars->cmdBarHost()->geometry().top(), bars->editBarHost()->geometry().top());

    // The keyboard reaches the edit bar (shown first when hidden).
    frame->action(Cmd::ViewEditBar)->trigger();
    ASSERT_NE(openToday(*frame), nullptr);
    QTest::keyClick(frame.get(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(bars->editBarHost()->isVisible());
    EXPECT_TRUE(bars->editBar()->fontName()->hasFocus());
    QTest::keyClick(bars->editBar()->fontName(), Qt::Key_Tab);
    EXPECT_TRUE(bars->editBar()->fontSize()->hasFocus());
}

}  // namespace
}  // namespace tl::frame
