#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "app/app_settings.h"
#include "husen_dlg.h"
#include "support/recording_ui.h"
#include "tag_color_dlg.h"

namespace tl::sticky {
namespace {

store::StickyNote Note(std::u16string text) {
    store::StickyNote n;
    n.date = {2024, 3, 5};
    n.text = std::move(text);
    n.faceName = u"Sans";
    n.fontHeight = 12;
    n.transparency = 25;
    return n;
}

class HusenDlgTest : public ::testing::Test {
protected:
    HusenDlgTest() { settings.tag.transparentSetAll = 0; }
    std::string told(res::Msg msg) const { return std::string(res::Text(msg)); }

    app::AppSettings settings;
    testing::RecordingUi ui;
};

TEST_F(HusenDlgTest, ALongTitleIsShownWholeAndRefusedUntilShortened) {
    CHusenDlg dialog(Note(std::u16string(30, u'x')), settings, ui, true);
    dialog.show();
    EXPECT_EQ(dialog.textField()->text().size(), 30);
    dialog.accept();
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{told(res::Msg::StickyTextTooLong)});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.textField()->hasFocus() || dialog.textField()->hasSelectedText());
    EXPECT_EQ(dialog.textField()->selectedText().size(), 30);

    // Typing cannot lengthen it; deleting shortens it.
    QLineEdit* text = dialog.textField();
    text->setFocus();
    text->end(false);
    QTest::keyClicks(text, QStringLiteral("y"));
    EXPECT_EQ(text->text().size(), 30);
    for (int i = 0; i < 10; ++i) QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClicks(text, QStringLiteral("yy"));
    EXPECT_EQ(text->text().size(), 20);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.note().text, std::u16string(20, u'x'));
}

TEST_F(HusenDlgTest, TheRateIsAPercentBelow100AndLettersReadAsNothing) {
    CHusenDlg dialog(Note(u"call"), settings, ui, true);
    EXPECT_EQ(dialog.rateField()->text(), QStringLiteral("25"));
    dialog.rateField()->setText(QStringLiteral("100"));
    dialog.accept();
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{told(res::Msg::TransparencyAbnormal)});
    EXPECT_EQ(dialog.rateField()->selectedText(), QStringLiteral("100"));
    dialog.rateField()->setText(QStringLiteral("abc"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.note().transparency, 0);
}

TEST_F(HusenDlgTest, TheUpDownStepsTheRateWithinItsRange) {
    CHusenDlg dialog(Note(u"call"), settings, ui, true);
    dialog.rateField()->setText(QStringLiteral("98"));
    dialog.stepRate(1);
    dialog.stepRate(1);
    EXPECT_EQ(dialog.rateField()->text(), QStringLiteral("99"));
    dialog.rateField()->setFocus();
    QTest::keyClick(dialog.rateField(), Qt::Key_Down);
    EXPECT_EQ(dialog.rateField()->text(), QStringLiteral("98"));
}

TEST_F(HusenDlgTest, WithOneRateForAllNotesTheOwnRateIsNotOfferedAndKept) {
    settings.tag.transparentSetAll = 1;
    store::StickyNote n = Note(u"call");
    n.transparency = 120;  // out of the dialog's range, from an older file
    CHusenDlg dialog(n, settings, ui, true);
    EXPECT_FALSE(dialog.rateField()->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.note().transparency, 120);
    EXPECT_TRUE(ui.warnings().empty());

    settings.tag.transparentSetAll = 0;
    CHusenDlg offscreen(Note(u"call"), settings, ui, false);
    EXPECT_FALSE(offscreen.rateField()->isEnabled()) << "no translucent windows here";
}

TEST_F(HusenDlgTest, SetToDefaultTakesTheLookButNotTheText) {
    CHusenDlg dialog(Note(u"Dentist"), settings, ui, true);
    dialog.rateField()->setText(QStringLiteral("30"));
    dialog.textField()->clear();
    EXPECT_FALSE(dialog.setToDefault());
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{told(res::Msg::StickyTextEmpty)});
    EXPECT_EQ(settings.tagFont.transparentRate, 0);
    dialog.textField()->setText(QStringLiteral("Dentist"));
    EXPECT_TRUE(dialog.setToDefault());
    EXPECT_EQ(settings.tagFont.transparentRate, 30);
    EXPECT_EQ(settings.tagFont.name, "Sans");
    EXPECT_FALSE(dialog.isHidden() && dialog.result() == QDialog::Accepted) << "stays open";
}

TEST_F(HusenDlgTest, BackColorTakesTheColourDialogsChoices) {
    CHusenDlg dialog(Note(u"call"), settings, ui, true);
    QTimer::singleShot(0, [] {
        CTagColorDlg* colors = CTagColorDlg::active();
        ASSERT_NE(colors, nullptr);
        colors->setBlinkTextAndBackground(true);
        colors->accept();
    });
    dialog.editColors();
    EXPECT_EQ(dialog.note().blink, 2);
    EXPECT_FALSE(dialog.note().startSet);
}

class TagColorDlgTest : public ::testing::Test {
protected:
    CTagColorDlg::Colors colors{0x000000, 0x80FFFF};
    testing::RecordingUi ui;
};

TEST_F(TagColorDlgTest, TheBlinkBoxesExcludeEachOtherAndNoBlinkingClearsTheTerm) {
    BlinkSettings blink{2, true, {2024, 5, 1}, true, {2024, 5, 31}};
    CTagColorDlg dialog(QString(), colors, blink, ui);
    EXPECT_TRUE(dialog.expanded()) << "a term given opens the term controls";
    auto* startYear = dialog.findChildren<QLineEdit*>().at(2);
    EXPECT_EQ(startYear->text(), QStringLiteral("2024"));
    dialog.setBlinkText(true);
    auto boxes = dialog.findChildren<QCheckBox*>();
    ASSERT_GE(boxes.size(), 4);
    EXPECT_TRUE(boxes[0]->isChecked());
    EXPECT_FALSE(boxes[1]->isChecked());
    dialog.setBlinkText(false);
    EXPECT_FALSE(boxes[2]->isChecked());
    EXPECT_FALSE(boxes[3]->isChecked());
    EXPECT_FALSE(boxes[2]->isEnabled());
    EXPECT_TRUE(startYear->text().isEmpty());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.blinkSettings(), BlinkSettings{});
}

TEST_F(TagColorDlgTest, ABadDateIsToldWithTheFocusOnItsFieldAndTheDialogStays) {
    BlinkSettings blink{1, true, {2024, 5, 10}, true, {2024, 5, 9}};
    CTagColorDlg dialog(QStringLiteral("call"), colors, blink, ui);
    dialog.show();
    dialog.accept();
    EXPECT_EQ(ui.warnings(),
              std::vector<std::string>{std::string(res::Text(res::Msg::BlinkTermOrder))});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    QLineEdit* startYear = dialog.findChildren<QLineEdit*>().at(2);
    EXPECT_EQ(startYear->selectedText(), QStringLiteral("2024"));

    // End 2023-02-29 does not exist; the end's day field is named.
    QLineEdit* endMonth = dialog.findChildren<QLineEdit*>().at(3);
    QLineEdit* endDay = dialog.findChildren<QLineEdit*>().at(4);
    QLineEdit* endYear = dialog.findChildren<QLineEdit*>().at(5);
    endMonth->setText(QStringLiteral("2"));
    endDay->setText(QStringLiteral("29"));
    endYear->setText(QStringLiteral("2023"));
    dialog.accept();
    EXPECT_EQ(ui.warnings().back(), std::string(res::Text(res::Msg::DayIncorrect)));
    EXPECT_EQ(endDay->selectedText(), QStringLiteral("29"));
    endYear->setText(QStringLiteral("2028"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.blinkSettings().to, (store::Date{2028, 2, 29}));
}

TEST_F(TagColorDlgTest, TheTermControlsFoldAwayAndTheOpenDialogIsTheClocksTarget) {
    BlinkSettings blink;
    blink.kind = 2;
    CTagColorDlg dialog(QString(), colors, blink, ui);
    dialog.show();
    EXPECT_FALSE(dialog.expanded());
    const int collapsed = dialog.sizeHint().height();
    dialog.setExpanded(true);
    QApplication::processEvents();
    EXPECT_GT(dialog.sizeHint().height(), collapsed);
    EXPECT_EQ(CTagColorDlg::active(), &dialog) << "the blink clock ticks it while open";
}

}  // namespace
}  // namespace tl::sticky
