// The display settings dialog and what its values change in the running
// windows.

#include "display_settings.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include "appearance.h"
#include "appearance_dlg.h"
#include "diary/diary_documents.h"
#include "diary/head_view.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "main_frame.h"
#include "rate_spin.h"
#include "sticky/blink_clock.h"
#include "support/data_file_fixture.h"
#include "widgets/qt_color.h"

namespace tl::frame {
namespace {

using namespace std::chrono;
using res::Cmd;

constexpr year_month_day kToday{year{2026}, month{12}, day{9}};

class AppearanceDlgTest : public ::testing::Test {
protected:
    Appearance stored() {
        Appearance v;
        v.sideBarLeft = 0;
        v.translucent = 1;
        v.translucentRate = 40;
        v.oneRateForAll = 1;
        v.pictureReduction = 1;
        v.defaultTitle = {0x0000FF, 0, 0xFFFFFF, 1};
        v.blinkInterval = 500;
        v.weekdayOnTabs = 0;
        v.editorBack = 0xE6FFFF;
        v.colorSpecified = 1;
        v.weatherShown = 1;
        return v;
    }
    static void pressOk(CAppearanceDlg& dialog) { static_cast<QDialog&>(dialog).accept(); }

    testing::RecordingUi ui;
    int choicesEdited = 0;
    std::function<void(QWidget*)> editChoices = [this](QWidget*) { ++choicesEdited; };
};

TEST_F(AppearanceDlgTest, ControlsShowTheValuesAndFollowTheEnablingRules) {
    CAppearanceDlg dialog(stored(), true, ui, editChoices);
    EXPECT_TRUE(dialog.rightSide()->isChecked());
    EXPECT_TRUE(dialog.translucent()->isChecked());
    EXPECT_TRUE(dialog.collective()->isChecked());
    EXPECT_EQ(dialog.rateSpin()->text(), QStringLiteral("40"));
    EXPECT_EQ(dialog.blinkCycle()->text(), QStringLiteral("500"));
    EXPECT_TRUE(dialog.colorSpecified()->isChecked());
    EXPECT_TRUE(dialog.pictureReduction()->isChecked());
    EXPECT_FALSE(dialog.weekdayOnTabs()->isChecked());
    EXPECT_TRUE(dialog.rateSpin()->isEnabled());

    dialog.individual()->click();  // each note keeps its own rate
    EXPECT_FALSE(dialog.rateSpin()->isEnabled());
    EXPECT_TRUE(dialog.individual()->isEnabled());
    dialog.collective()->click();
    dialog.translucent()->click();
    EXPECT_FALSE(dialog.rateGroup()->isEnabled());
    EXPECT_FALSE(dialog.rateSpin()->isEnabled());
    EXPECT_FALSE(dialog.collective()->isEnabled());
    dialog.translucent()->click();
    EXPECT_TRUE(dialog.rateSpin()->isEnabled());

    dialog.rateSpin()->stepBy(1);
    EXPECT_EQ(dialog.rateSpin()->text(), QStringLiteral("41"));
    dialog.rateSpin()->setText(QStringLiteral("99"));
    dialog.rateSpin()->stepBy(1);
    EXPECT_EQ(dialog.rateSpin()->text(), QStringLiteral("99"));

    dialog.editChoicesButton()->click();
    EXPECT_EQ(choicesEdited, 1);
    dialog.weatherShown()->click();
    EXPECT_FALSE(dialog.editChoicesButton()->isEnabled());
}

TEST_F(AppearanceDlgTest, WithoutTranslucentWindowsTheStoredChoiceGoesBackUnchanged) {
    Appearance values = stored();
    for (int on : {0, 1}) {
        values.translucent = on;
        CAppearanceDlg dialog(values, false, ui, editChoices);
        EXPECT_FALSE(dialog.translucent()->isEnabled());
        EXPECT_EQ(dialog.translucent()->isChecked(), on == 1);
        EXPECT_FALSE(dialog.rateSpin()->isEnabled());
        EXPECT_FALSE(dialog.individual()->isEnabled());
        pressOk(dialog);
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.values(), values);
    }
}

TEST_F(AppearanceDlgTest, OkRefusesBadNumbersWithTheFieldSelected) {
    CAppearanceDlg dialog(stored(), true, ui, editChoices);
    dialog.show();
    struct Case {
        const char* rate;
        const char* blink;
        res::Msg message;
        QLineEdit* field;
        QWidget* focus;  // the rate's field passes its focus to its spin box
    };
    for (const Case& c :
         {Case{"150", "500", res::Msg::TransparencyAbnormal, dialog.rateEdit(), dialog.rateSpin()},
          Case{"40", "0", res::Msg::BlinkRateIncorrect, dialog.blinkCycle(), dialog.blinkCycle()},
          Case{"40", "-5", res::Msg::BlinkRateIncorrect, dialog.blinkCycle(),
               dialog.blinkCycle()}}) {
        ui.clear();
        dialog.rateSpin()->setText(QString::fromLatin1(c.rate));
        dialog.blinkCycle()->setText(QString::fromLatin1(c.blink));
        pressOk(dialog);
        EXPECT_TRUE(dialog.isVisible()) << c.rate << " " << c.blink;
        EXPECT_EQ(ui.warnings(), std::vector<std::string>{std::string(res::Text(c.message))});
        EXPECT_EQ(dialog.focusWidget(), c.focus);
        EXPECT_EQ(c.field->selectedText(), c.field->text());
    }
    dialog.blinkCycle()->setText(QStringLiteral("250"));
    pressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.values().blinkInterval, 250);
    EXPECT_EQ(dialog.values().translucentRate, 40);
}

TEST_F(AppearanceDlgTest, TheDefaultTitleColourButtonBlinksWhileTheDialogIsOpen) {
    CAppearanceDlg dialog(stored(), true, ui, editChoices);
    EXPECT_EQ(CAppearanceDlg::active(), &dialog);
    EXPECT_FALSE(dialog.previewPhase());
    dialog.blinkTick(false);
    EXPECT_TRUE(dialog.previewPhase());
    dialog.blinkTick(true);
    EXPECT_FALSE(dialog.previewPhase());
    dialog.blinkTick(false);
    // New colours from the colour dialog start in the visible phase.
    dialog.setDefaultTitle({0x00FF00, 1, 0, 2});
    EXPECT_FALSE(dialog.previewPhase());
    dialog.setDefaultTitle({0x00FF00, 1, 0, 0});
    dialog.blinkTick(false);
    EXPECT_FALSE(dialog.previewPhase());  // no blink: nothing changes
    dialog.setEditorBack(0x123456);
    pressOk(dialog);
    EXPECT_EQ(dialog.values().defaultTitle, (store::TitleColors{0x00FF00, 1, 0, 0}));
    EXPECT_EQ(dialog.values().editorBack, 0x123456);
}

// Applying the values to a running main window.
class DisplaySettingsTest : public ::testing::Test {
protected:
    std::unique_ptr<CMainFrame> makeFrame() {
        settings.dayBar.visible = 1;
        auto frame =
            std::make_unique<CMainFrame>(settings, *data.file, data.ui, [] { return kToday; });
        frame->show();
        QApplication::processEvents();
        return frame;
    }
    static int blinkInterval(CMainFrame& frame) { return frame.blinkClock().intervalMs(); }

    app::AppSettings settings;
    testing::MemDataFile data;
};

TEST_F(DisplaySettingsTest, EveryValueReachesTheWindowsThatShowIt) {
    auto frame = makeFrame();
    diary::CDiaryDocuments& documents = frame->documents();
    diary::CMarlowDoc* day = documents.OpenEntry({2026, 12, 9}, true);
    ASSERT_NE(day, nullptr);
    day->setPinned(true);  // stays open beside the next one
    diary::CMarlowDoc* month = documents.OpenEntry({2026, 12, 0}, true);
    ASSERT_TRUE(day && month);
    ASSERT_EQ(documents.tabs()[0].name, u"12-09-2026");
    const int titleWidth = day->head()->titleEdit()->width();
    ASSERT_TRUE(day->head()->weatherBox()->isVisibleTo(day->head()));
    QSignalSpy translucency(frame->displaySettings(), &CDisplaySettings::translucencyChanged);

    Appearance v = AppearanceOf(settings);
    v.sideBarLeft = 0;
    v.blinkInterval = 350;
    v.weekdayOnTabs = 1;
    v.editorBack = 0x203040;
    v.weatherShown = 0;
    v.pictureReduction = 0;
    v.defaultTitle = {0x0000FF, 1, 0x00FFFF, 1};
    frame->displaySettings()->apply(v);

    EXPECT_EQ(frame->dockWidgetArea(frame->sideBar()), Qt::RightDockWidgetArea);
    EXPECT_TRUE(frame->sideBar()->isVisible());
    EXPECT_EQ(settings.dayBar.left, 0);
    EXPECT_EQ(blinkInterval(*frame), 350);
    EXPECT_EQ(translucency.count(), 0);  // the notes' settings stayed
    // The day's tab takes its day of the week, the month note's does not.
    EXPECT_EQ(documents.tabs()[0].name, u"12-09-2026(Wed)");
    EXPECT_EQ(documents.tabs()[1].name, u"12-2026");
    EXPECT_GT(documents.tabs()[0].width, documents.tabs()[1].width);
    EXPECT_EQ(day->view()->palette().color(QPalette::Base), widgets::ToQColor(0x203040));
    EXPECT_FALSE(day->head()->weatherBox()->isVisibleTo(day->head()));
    EXPECT_GT(day->head()->titleEdit()->width(), titleWidth);
    EXPECT_EQ(settings.picture.reduction, 0);
    // A new entry starts with the new default title colours.
    diary::CMarlowDoc* other = documents.OpenEntry({2026, 12, 1}, true);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->head()->colors(), (store::TitleColors{0x0000FF, 1, 0x00FFFF, 1}));

    v = AppearanceOf(settings);
    v.weekdayOnTabs = 0;
    v.colorSpecified = 0;
    v.sideBarLeft = 1;
    v.weatherShown = 1;
    v.translucentRate = 70;
    frame->displaySettings()->apply(v);
    EXPECT_EQ(translucency.count(), 1);
    EXPECT_EQ(documents.tabs()[0].name, u"12-09-2026");
    EXPECT_EQ(day->view()->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(frame->dockWidgetArea(frame->sideBar()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(day->head()->weatherBox()->isVisibleTo(day->head()));
    EXPECT_EQ(day->head()->titleEdit()->width(), titleWidth);
}

// The menu command runs the dialog preset from the settings and applies
// its OK.
TEST_F(DisplaySettingsTest, TheCommandRunsTheDialogAndAppliesOk) {
    auto frame = makeFrame();
    ASSERT_TRUE(frame->isCommandEnabled(Cmd::DisplaySettings));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CAppearanceDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        EXPECT_TRUE(dialog->leftSide()->isChecked());
        dialog->weekdayOnTabs()->click();
        dialog->blinkCycle()->setText(QStringLiteral("800"));
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(frame->runCommand(Cmd::DisplaySettings));
    EXPECT_TRUE(seen);
    EXPECT_EQ(settings.tab.weekday, 1);
    EXPECT_EQ(settings.titleColor.blinkInterval, 800);
    EXPECT_EQ(blinkInterval(*frame), 800);
    EXPECT_EQ(CAppearanceDlg::active(), nullptr);
}

}  // namespace
}  // namespace tl::frame
