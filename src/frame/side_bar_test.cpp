#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "app/app_settings.h"
#include "calendar/calender_ctl.h"
#include "calendar/day_bar.h"
#include "calendar/day_wnd.h"
#include "calendar/year_day_table.h"
#include "calendar/year_month_dlg.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "main_frame.h"
#include "support/data_file_fixture.h"
#include "support/recording_ui.h"

namespace tl::frame {
namespace {

using res::Cmd;
using namespace std::chrono;

constexpr year_month_day kToday{year{2026}, month{12}, day{9}};

class SideBarTest : public ::testing::Test {
protected:
    std::unique_ptr<CMainFrame> makeFrame() {
        auto frame =
            std::make_unique<CMainFrame>(settings, *data.file, data.ui, [] { return kToday; });
        frame->resize(900, 700);
        frame->show();
        QApplication::processEvents();
        return frame;
    }
    void save(store::Date date, const std::u16string& title) {
        store::EntryHeader h;
        h.title = title;
        h.colors = {0x0000FF, 0, 0, 1};
        ASSERT_EQ(data.file->SaveEntry(date, h, u"text"), 1);
    }
    static void click(QWidget* w, QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }

    app::AppSettings settings;
    testing::MemDataFile data;
};

TEST_F(SideBarTest, ViewCommandsShowAndHideTheBarAndItsCalendar) {
    auto frame = makeFrame();
    ASSERT_NE(frame->sideBar(), nullptr);
    EXPECT_TRUE(frame->sideBar()->isVisible());
    EXPECT_EQ(frame->dockWidgetArea(frame->sideBar()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(frame->isCommandEnabled(Cmd::ExistOnly));
    EXPECT_TRUE(frame->action(Cmd::ViewSideBar)->isChecked());

    ASSERT_TRUE(frame->runCommand(Cmd::ViewSideBar));
    EXPECT_FALSE(frame->sideBar()->isVisible());
    EXPECT_EQ(settings.dayBar.visible, 0);
    EXPECT_FALSE(frame->isCommandEnabled(Cmd::ExistOnly));
    EXPECT_FALSE(frame->isCommandEnabled(Cmd::SideBarScale));
    ASSERT_TRUE(frame->runCommand(Cmd::ViewSideBar));
    EXPECT_TRUE(frame->sideBar()->isVisible());

    calendar::CDayBar* bar = frame->dayBar();
    EXPECT_TRUE(bar->calendar()->isVisible());
    ASSERT_TRUE(frame->runCommand(Cmd::ViewCalendar));
    EXPECT_FALSE(bar->calendar()->isVisible());
    EXPECT_EQ(settings.dayBar.calendarShown, 0);
    ASSERT_TRUE(frame->runCommand(Cmd::ViewCalendar));
    EXPECT_TRUE(bar->calendar()->isVisible());
}

TEST_F(SideBarTest, SideBarOpensAtTodayAndFollowsSavesAndTheExistOnlyMode) {
    save({2026, 12, 5}, u"Market day");
    save({2026, 11, 20}, u"Earlier");
    auto frame = makeFrame();
    calendar::CDayBar* bar = frame->dayBar();
    const calendar::YearDayTable& table = bar->table();
    EXPECT_EQ(table.year(), 2026);
    EXPECT_EQ(bar->calendar()->displayedMonth(), 12);
    EXPECT_EQ(table.count(), 365);
    EXPECT_TRUE(table.row(*table.FindRow(12, 5)).hasEntry);

    // A save reported by the entry windows is patched in.
    save({2026, 12, 7}, u"New");
    emit frame->documents().entryChanged({2026, 12, 7});
    EXPECT_EQ(table.row(*table.FindRow(12, 7)).title, u"New");
    data.file->FreeDate(2026, 12, 7, false);
    emit frame->documents().entryChanged({2026, 12, 7});
    EXPECT_FALSE(table.row(*table.FindRow(12, 7)).hasEntry);

    ASSERT_TRUE(frame->runCommand(Cmd::ExistOnly));
    EXPECT_EQ(settings.dayBar.existOnly, 1);
    EXPECT_TRUE(frame->action(Cmd::ExistOnly)->isChecked());
    EXPECT_TRUE(frame->action(Cmd::SideBarScale)->isChecked());  // 264 pixels wide
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.row(0).month, 11);
    ASSERT_TRUE(frame->runCommand(Cmd::ExistOnly));
    EXPECT_EQ(table.count(), 365);
}

TEST_F(SideBarTest, TableIsReadAgainOnceTheDataFileIsOpen) {
    save({2026, 12, 5}, u"Market day");
    data.file->Close();  // start-up opens the file after the window is shown
    auto frame = makeFrame();
    const calendar::YearDayTable& table = frame->dayBar()->table();
    EXPECT_FALSE(table.row(*table.FindRow(12, 5)).hasEntry);
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    frame->dataFileOpened();
    EXPECT_TRUE(table.row(*table.FindRow(12, 5)).hasEntry);
    EXPECT_EQ(frame->dayBar()->dayList()->layout().topRow(), *table.FindRow(12, 9));
}

TEST_F(SideBarTest, ClickOnACalendarDayOpensItsEntry) {
    save({2026, 12, 5}, u"Market day");
    auto frame = makeFrame();
    calendar::CCalenderCtl* cal = frame->dayBar()->calendar();
    const widgets::Rect cell = cal->grid().cellRect(5);
    click(cal, QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    QApplication::processEvents();
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->date(), (store::Date{2026, 12, 5}));

    // A click in an empty cell below the last day pages to January.
    const widgets::Rect last = cal->grid().cellRect(31);
    click(cal, QPoint(last.right + 2, (last.top + last.bottom) / 2));
    EXPECT_EQ(cal->displayedMonth(), 1);
    EXPECT_EQ(frame->dayBar()->table().year(), 2027);
}

TEST_F(SideBarTest, RightClicksNameTheDayTheMonthNoteOrTheYearNote) {
    auto frame = makeFrame();
    calendar::CCalenderCtl* cal = frame->dayBar()->calendar();
    QObject::disconnect(cal, &calendar::CCalenderCtl::contextMenuRequested, frame->dayBar(),
                        nullptr);
    std::vector<store::Date> targets;
    QObject::connect(cal, &calendar::CCalenderCtl::contextMenuRequested,
                     [&targets](store::Date date, QPoint) { targets.push_back(date); });
    auto rightClick = [cal](QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, cal->mapToGlobal(at));
        QApplication::sendEvent(cal, &event);
    };
    const calendar::MonthGrid g = cal->grid();
    const widgets::Rect last = g.cellRect(31);
    rightClick(QPoint(last.left + 1, last.top + 1));
    rightClick(QPoint(2, 2));
    rightClick(QPoint(g.width() - 20, 2));
    rightClick(QPoint(last.right + 2, last.top + 1));  // an empty cell: nothing
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0], (store::Date{2026, 12, 31}));
    EXPECT_EQ(targets[1], (store::Date{2026, 0, 0}));
    EXPECT_EQ(targets[2], (store::Date{2026, 12, 0}));
}

TEST_F(SideBarTest, ClickInTheMonthStripShowsThatMonthAndAsksForItsPopup) {
    auto frame = makeFrame();
    calendar::CDayBar* bar = frame->dayBar();
    calendar::CDayWnd* list = bar->dayList();
    QObject::disconnect(list, &calendar::CDayWnd::stripClicked, bar, nullptr);
    int popups = 0;
    QObject::connect(list, &calendar::CDayWnd::stripClicked, [&popups](QPoint) { ++popups; });
    bar->calendar()->setDisplayedMonth(5);
    click(list, QPoint(2, 2));  // the strip of the top row, 9 December
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(bar->calendar()->displayedMonth(), 12);
    EXPECT_EQ(frame->documents().activeDocument(), nullptr);  // the strip opens nothing
}

TEST_F(SideBarTest, BlinkingDaysAreInvertedOnEverySecondTick) {
    store::EntryHeader h;
    h.title = u"Deadline";
    h.colors = {0xFFFFFF, 1, 0x0000FF, 2};  // white on red, text and background blink
    ASSERT_EQ(data.file->SaveEntry({2026, 12, 10}, h, u"text"), 1);
    auto frame = makeFrame();
    calendar::CCalenderCtl* cal = frame->dayBar()->calendar();
    const widgets::Rect cell = cal->grid().cellRect(10);
    const QPoint probe(cell.right - 3, cell.bottom - 3);  // background, clear of the number
    auto colourAt = [&] { return cal->grab().toImage().pixelColor(probe); };
    EXPECT_EQ(colourAt(), QColor(255, 0, 0));
    cal->onBlinkTick(false);  // the phase is set
    EXPECT_EQ(colourAt(), QColor(0, 255, 255));
    cal->onBlinkTick(true);
    EXPECT_EQ(colourAt(), QColor(255, 0, 0));
}

// Presses the left button at a point of w, moves it to the screen x given,
// and releases it there.
void Drag(QWidget* w, QPoint from, int toScreenX) {
    const QPoint fromGlobal = w->mapToGlobal(from);
    QMouseEvent press(QEvent::MouseButtonPress, from, fromGlobal, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    const QPoint toGlobal(toScreenX, fromGlobal.y());
    QMouseEvent move(QEvent::MouseMove, w->mapFromGlobal(toGlobal), toGlobal, Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QApplication::processEvents();
    QMouseEvent release(QEvent::MouseButtonRelease, w->mapFromGlobal(toGlobal), toGlobal,
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

TEST_F(SideBarTest, InnerEdgeResizesWithinLimitsAndDraggingTheBodyDocksAtTheOtherSide) {
    auto frame = makeFrame();
    frame->resize(1600, 700);
    QApplication::processEvents();
    calendar::CDayBar* bar = frame->dayBar();
    ASSERT_EQ(bar->width(), 264);
    const int y = bar->height() - 3;  // below the list: the bar itself
    Drag(bar, QPoint(bar->width() - 2, y),
         bar->mapToGlobal(QPoint(bar->width() - 2, y)).x() + 1000);
    EXPECT_EQ(bar->width(), 837);
    Drag(bar, QPoint(bar->width() - 2, y),
         bar->mapToGlobal(QPoint(bar->width() - 2, y)).x() - 2000);
    EXPECT_EQ(bar->width(), 65);
    Drag(bar, QPoint(bar->width() - 2, y), bar->mapToGlobal(QPoint(bar->width() - 2, y)).x() + 199);
    EXPECT_EQ(bar->width(), 264);

    // Away from the edge the press moves the bar; past the frame's middle
    // it docks on the right, where the grip is the left edge.
    const int right = frame->mapToGlobal(QPoint(1400, 0)).x();
    Drag(bar, QPoint(100, y), right);
    EXPECT_EQ(frame->dockWidgetArea(frame->sideBar()), Qt::RightDockWidgetArea);
    EXPECT_EQ(settings.dayBar.left, 0);
    EXPECT_EQ(bar->dockSide(), calendar::DockSide::Right);
    EXPECT_EQ(bar->width(), 264);
    Drag(bar, QPoint(1, y), bar->mapToGlobal(QPoint(1, y)).x() - 100);
    EXPECT_EQ(bar->width(), 364);
}

TEST_F(SideBarTest, WheelAnywhereOverTheBarScrollsTheDayList) {
    auto frame = makeFrame();
    calendar::CDayBar* bar = frame->dayBar();
    calendar::CDayWnd* list = bar->dayList();
    list->scrollTo(100);
    auto turn = [](QWidget* w, int delta) {
        const QPoint at(5, 5);
        QWheelEvent wheel(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &wheel);
    };
    turn(bar->calendar(), -360);
    EXPECT_EQ(list->layout().topRow(), 103);
    turn(bar->findChild<QScrollBar*>(), 120);
    EXPECT_EQ(list->layout().topRow(), 102);
    turn(list, 240);
    EXPECT_EQ(list->layout().topRow(), 100);
}

TEST_F(SideBarTest, KeyboardWalksTheDaysAndOpensThem) {
    auto frame = makeFrame();
    calendar::CDayBar* bar = frame->dayBar();
    auto press = [](QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(w, &down);
    };
    calendar::CDayWnd* list = bar->dayList();
    list->setFocus();
    press(list, Qt::Key_End);  // 31 December, scrolled into view
    ASSERT_EQ(list->selectedRow(), 364);
    EXPECT_GE(364, list->layout().topRow());
    EXPECT_LT(364, list->layout().topRow() + list->layout().visibleRows());
    press(list, Qt::Key_Up);
    press(list, Qt::Key_Return);
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->date(), (store::Date{2026, 12, 30}));
    press(list, Qt::Key_Home);
    EXPECT_EQ(bar->calendar()->displayedMonth(), 1);  // the calendar follows the selection

    // The calendar's keys: from 31 January a week on is 7 February.
    calendar::CCalenderCtl* cal = bar->calendar();
    cal->setFocus();
    cal->setDisplayedMonth(12);
    press(cal, Qt::Key_Right);  // from today, 9 December
    for (int week = 0; week < 3; ++week) press(cal, Qt::Key_Down);
    EXPECT_EQ(bar->table().year(), 2026);
    press(cal, Qt::Key_Down);  // 31 December + 7 = 7 January of next year
    EXPECT_EQ(bar->table().year(), 2027);
    EXPECT_EQ(cal->displayedMonth(), 1);
    press(cal, Qt::Key_Return);
    doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->date(), (store::Date{2027, 1, 7}));
    press(cal, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(bar->table().year(), 2026);
    EXPECT_EQ(cal->displayedMonth(), 1);
}

TEST_F(SideBarTest, TodayButtonOpensAndPinsTodayLikeTheCommand) {
    auto frame = makeFrame();
    auto* today = frame->dayBar()->findChild<QPushButton*>();
    ASSERT_NE(today, nullptr);
    ASSERT_EQ(today->text(), QStringLiteral("Today"));
    today->click();
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->date(), (store::Date{2026, 12, 9}));
    EXPECT_TRUE(doc->isPinned());
}

TEST_F(SideBarTest, FocusOnTheDayListSavesOpenEntries) {
    auto frame = makeFrame();
    ASSERT_TRUE(frame->runCommand(Cmd::Today));
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    doc->view()->setFocus();
    doc->view()->insertPlainText(QStringLiteral("Frost"));
    std::u16string text;
    EXPECT_FALSE(data.file->ReadEntryText({2026, 12, 9}, text));
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(frame->dayBar()->dayList(), &focus);
    ASSERT_TRUE(data.file->ReadEntryText({2026, 12, 9}, text));
    EXPECT_EQ(text, u"Frost");
}

TEST(YearMonthDialogTest, ChecksKeepTheDialogOpenWithTheFaultyFieldSelected) {
    testing::RecordingUi ui;
    calendar::CSpecifyYearMonthDlg dialog(2026, 0, ui);
    QLineEdit* year = dialog.yearEdit();
    QLineEdit* month = dialog.monthEdit();
    EXPECT_EQ(year->text(), QStringLiteral("2026"));
    EXPECT_EQ(month->text(), QString());
    EXPECT_EQ(year->maxLength(), 4);
    EXPECT_EQ(month->maxLength(), 2);

    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    month->setText(QStringLiteral("13"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(month->selectedText(), QStringLiteral("13"));
    month->setText(QStringLiteral("4"));
    year->setText(QStringLiteral("20a4"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(year->selectedText(), QStringLiteral("20a4"));
    EXPECT_EQ(ui.warnings(), (std::vector<std::string>{"Enter month.", "Month is incorrect.",
                                                       "Specify 1900 or later."}));

    year->setText(QStringLiteral("1900"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.year(), 1900);
    EXPECT_EQ(dialog.month(), 4);
}

TEST_F(SideBarTest, ChosenYearAndMonthReachTheCalendarAndTheDayList) {
    save({2024, 3, 10}, u"March");
    save({2024, 8, 2}, u"August");
    auto frame = makeFrame();
    calendar::CDayBar* bar = frame->dayBar();
    bar->calendar()->setAttribute(Qt::WA_InputMethodEnabled, true);

    // Cancel changes nothing and gives the input method back.
    QTimer::singleShot(0, [] {
        if (auto* d =
                qobject_cast<calendar::CSpecifyYearMonthDlg*>(QApplication::activeModalWidget())) {
            d->monthEdit()->setText(QStringLiteral("3"));
            d->yearEdit()->setText(QStringLiteral("2024"));
            d->reject();
        }
    });
    bar->chooseYearMonth();
    EXPECT_EQ(bar->table().year(), 2026);
    EXPECT_EQ(bar->calendar()->displayedMonth(), 12);
    EXPECT_TRUE(bar->calendar()->testAttribute(Qt::WA_InputMethodEnabled));

    bool preset = false;
    QTimer::singleShot(0, [&preset] {
        if (auto* d =
                qobject_cast<calendar::CSpecifyYearMonthDlg*>(QApplication::activeModalWidget())) {
            preset = d->yearEdit()->text() == QStringLiteral("2026") &&
                     d->monthEdit()->text() == QStringLiteral("12");
            d->monthEdit()->setText(QStringLiteral("8"));
            d->yearEdit()->setText(QStringLiteral("2024"));
            static_cast<QDialog*>(d)->accept();
        }
    });
    bar->chooseYearMonth();
    EXPECT_TRUE(preset);
    EXPECT_EQ(bar->table().year(), 2024);
    EXPECT_EQ(bar->calendar()->displayedMonth(), 8);
    const int top = bar->dayList()->layout().topRow();
    ASSERT_GT(top, 0);
    EXPECT_EQ(bar->table().row(top).month, 8);  // the month's first row is on top
    EXPECT_EQ(bar->table().row(top - 1).month, 7);
    EXPECT_TRUE(bar->calendar()->testAttribute(Qt::WA_InputMethodEnabled));

    bar->ApplyYearMonth(2024, 3);
    EXPECT_EQ(bar->calendar()->displayedMonth(), 3);
    EXPECT_EQ(bar->table().row(bar->dayList()->layout().topRow()).month, 3);
}

}  // namespace
}  // namespace tl::frame
