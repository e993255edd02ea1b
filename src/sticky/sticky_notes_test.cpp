#include "sticky_notes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_settings.h"
#include "app/clock.h"
#include "blink_clock.h"
#include "husen_dlg.h"
#include "support/data_file_fixture.h"
#include "support/manual_ticks.h"

namespace tl::sticky {
namespace {

using store::Date;
using namespace std::chrono;

class FixedClock : public app::Clock {
public:
    app::LocalTime now() const override { return {date, 12}; }
    year_month_day date{year{2024}, month{5}, day{10}};
};

// Activation reaches the widgets a few events after the window: wait for it.
bool HasFocusSoon(QWidget* widget) {
    QTest::qWait(10);  // what is pending arrives first
    for (int i = 0; i < 100 && !widget->hasFocus(); ++i) QTest::qWait(10);
    return widget->hasFocus();
}

// A main window with a text field standing in for the editor.
class StickyNotesTest : public ::testing::Test {
protected:
    StickyNotesTest() {
        main.setGeometry(300, 200, 600, 400);
        editor = new QLineEdit(&main);
        auto* layout = new QVBoxLayout(&main);
        layout->addWidget(editor);
        main.show();
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        editor->setFocus();
        makeNotes();
    }
    void makeNotes() {
        notes = std::make_unique<CStickyNotes>(settings, *data.file, data.ui, main, &commands);
        notes->setClock(clock);
    }
    QRect outer() const { return main.frameGeometry(); }
    static Date Day(int d) { return {2024, 5, static_cast<std::uint8_t>(d)}; }
    // Drags the note by its middle to a point of the screen.
    static void dragTo(CTagWnd& note, QPoint global) {
        const QPoint grip(note.width() / 2, note.height() / 2);
        QTest::mousePress(&note, Qt::LeftButton, {}, grip);
        QTest::mouseMove(&note, note.mapFromGlobal(global));
        QTest::mouseRelease(&note, Qt::LeftButton, {}, note.mapFromGlobal(global));
    }

    testing::MemDataFile data;
    app::AppSettings settings;
    FixedClock clock;
    res::CommandRegistry commands;
    QWidget main;
    QLineEdit* editor = nullptr;
    std::unique_ptr<CStickyNotes> notes;
};

TEST_F(StickyNotesTest, ANewNoteTakesTheTitleAndSticksOutOfTheLeftEdge) {
    store::EntryHeader header;
    header.title = u"Dentist at ten";
    ASSERT_EQ(data.file->SaveEntry(Day(3), header, u"text"), 1);
    ASSERT_TRUE(notes->PutNote(Day(3)));
    ASSERT_TRUE(notes->PutNote({2024, 5, 0}));
    CTagWnd* note = notes->note(Day(3));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->note().text, u"Dentist at ten");
    EXPECT_EQ(notes->note({2024, 5, 0})->note().text, u"05-2024");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->x() + note->width(), outer().left());
    EXPECT_EQ(note->y(), outer().top());
    // Not in the file before the notes are written back.
    EXPECT_EQ(data.file->FindStickyNote(Day(3)), 0u);
}

TEST_F(StickyNotesTest, AtTheScreensLeftEdgeANewNoteGoesRight) {
    main.move(0, 100);
    QApplication::processEvents();
    ASSERT_TRUE(notes->PutNote(Day(1)));
    CTagWnd* note = notes->note(Day(1));
    EXPECT_EQ(note->note().side, 1);
    EXPECT_EQ(note->x(), outer().left() + outer().width());
}

TEST_F(StickyNotesTest, NotesFollowTheMainWindowAndHideWhileItIsMinimisedOrMaximised) {
    ASSERT_TRUE(notes->PutNote(Day(1)));
    CTagWnd* note = notes->note(Day(1));
    main.move(400, 250);
    QApplication::processEvents();
    EXPECT_EQ(note->x() + note->width(), outer().left());
    EXPECT_EQ(note->y(), outer().top());

    main.showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(note->isVisible());
    main.showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(note->isVisible());
    main.showMaximized();
    QApplication::processEvents();
    EXPECT_FALSE(note->isVisible());
    main.showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(note->isVisible());
}

TEST_F(StickyNotesTest, ANoteBelowTheWindowsBottomIsPulledUpAndGoesBackWhenItGrows) {
    ASSERT_TRUE(notes->PutNote(Day(1)));
    CTagWnd* note = notes->note(Day(1));
    dragTo(*note, QPoint(outer().left() - 5, outer().top() + 300));
    const int offset = note->note().top;
    EXPECT_GT(offset, 250);
    main.resize(main.width(), 200);
    QApplication::processEvents();
    EXPECT_EQ(note->y() + note->height(), outer().top() + outer().height());
    EXPECT_EQ(note->note().top, offset) << "the stored offset is kept";
    main.resize(main.width(), 400);
    QApplication::processEvents();
    EXPECT_EQ(note->y(), outer().top() + offset);
}

TEST_F(StickyNotesTest, DraggingAcrossTheMiddleMovesTheNoteToTheOtherEdge) {
    ASSERT_TRUE(notes->PutNote(Day(1)));
    CTagWnd* note = notes->note(Day(1));
    const QRect o = outer();
    dragTo(*note, QPoint(o.left() + o.width() / 2 + 10, o.top() + 100));
    EXPECT_EQ(note->note().side, 1);
    EXPECT_EQ(note->x(), o.left() + o.width());
    EXPECT_EQ(note->note().top, 100 - note->height() / 2);
    // The click that took the activation gave it back: typing goes on.
    EXPECT_TRUE(editor->hasFocus() || QApplication::activeWindow() == &main);
}

TEST_F(StickyNotesTest, WithAReadOnlyFileNotesStayWhereTheyAreAndTheirMenuIsGreyed) {
    ASSERT_EQ(data.file->SaveStickyNote([] {
        store::StickyNote n;
        n.date = Day(2);
        n.text = u"kept";
        n.top = 40;
        return n;
    }()),
              1);
    ASSERT_EQ(data.reopen(true), store::OpenResult::Opened);
    notes->LoadNotes();
    ASSERT_EQ(notes->count(), 1u);
    CTagWnd* note = notes->note(Day(2));
    const QPoint before = note->pos();
    dragTo(*note, QPoint(outer().right() - 20, outer().top() + 150));
    EXPECT_EQ(note->pos(), before);
    EXPECT_EQ(note->note().side, 0);

    ASSERT_TRUE(notes->focusNotes());
    ASSERT_TRUE(HasFocusSoon(note));
    EXPECT_TRUE(commands.isEnabled(res::Cmd::StickyOpen));
    EXPECT_FALSE(commands.isEnabled(res::Cmd::StickyPeelOff));
    EXPECT_FALSE(commands.isEnabled(res::Cmd::StickySettings));
}

TEST_F(StickyNotesTest, TheHundredAndFirstNoteIsRefused) {
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(notes->PutNote({static_cast<std::int16_t>(1950 + i), 0, 0}));
    EXPECT_FALSE(notes->PutNote({2100, 0, 0}));
    EXPECT_EQ(notes->count(), 100u);
    EXPECT_EQ(data.ui.warnings(),
              std::vector<std::string>{std::string(res::Text(res::Msg::NoMoreStickyNotes))});
}

TEST_F(StickyNotesTest, PuttingTwiceIsToldAndTheTabMenusPutReplacesTheNote) {
    ASSERT_TRUE(notes->PutNote(Day(1)));
    notes->note(Day(1))->setNote([&] {
        store::StickyNote n = notes->note(Day(1))->note();
        n.text = u"changed";
        return n;
    }());
    notes->PutNoteChecked(Day(1));
    notes->PutNoteChecked({2024, 5, 0});
    notes->PutNoteChecked({2024, 5, 0});
    notes->PutNoteChecked({2024, 0, 0});
    notes->PutNoteChecked({2024, 0, 0});
    EXPECT_EQ(data.ui.warnings(),
              (std::vector<std::string>{std::string(res::Text(res::Msg::DayHasStickyNote)),
                                        std::string(res::Text(res::Msg::MonthHasStickyNote)),
                                        std::string(res::Text(res::Msg::YearHasStickyNote))}));
    EXPECT_EQ(notes->note(Day(1))->note().text, u"changed");
    notes->PutNoteReplacing(Day(1));
    EXPECT_EQ(notes->note(Day(1))->note().text, u"05-01-2024");
    EXPECT_EQ(notes->count(), 3u);
}

TEST_F(StickyNotesTest, PutArrangeAndBlinkNeverTakeTheFocusFromTheEditor) {
    settings.tagBlink.kind = 2;
    QTest::keyClicks(editor, QStringLiteral("typing"));
    ASSERT_TRUE(notes->PutNote(Day(1)));
    ASSERT_TRUE(notes->PutNote(Day(2)));
    for (bool phase : {true, false, true}) notes->blinkTick(phase);
    main.move(main.x() + 10, main.y());
    QApplication::processEvents();
    QTest::keyClicks(editor, QStringLiteral(" on"));
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->text(), QStringLiteral("typing on"));
    EXPECT_EQ(QApplication::activeWindow(), &main);
}

// Today of a blink term is the clock's calendar date.
TEST_F(StickyNotesTest, NotesBlinkOnlyOnTheDaysOfTheirTerm) {
    settings.tagBlink = {2, 1, 2024, 5, 1, 1, 2024, 5, 31};
    ASSERT_TRUE(notes->PutNote(Day(1)));
    CTagWnd* note = notes->note(Day(1));
    clock.date = year{2024} / 5 / 31;
    notes->blinkTick(false);
    EXPECT_TRUE(note->blink().inverted());
    clock.date = year{2024} / 6 / 1;
    notes->blinkTick(false);
    EXPECT_FALSE(note->blink().inverted());
}

TEST_F(StickyNotesTest, TheKeyboardReachesTheNotesAndTheirMenuCommands) {
    for (int d : {1, 2, 3}) ASSERT_TRUE(notes->PutNote(Day(d)));
    notes->setCurrentDate([] { return std::optional<Date>(Day(2)); });
    ASSERT_TRUE(HasFocusSoon(editor));
    QTest::keySequence(editor, QKeySequence(QStringLiteral("Ctrl+Shift+N")));
    CTagWnd* second = notes->note(Day(2));
    ASSERT_TRUE(HasFocusSoon(second));
    QTest::keyClick(second, Qt::Key_Tab);
    CTagWnd* third = notes->note(Day(3));
    ASSERT_TRUE(HasFocusSoon(third));
    QTest::keyClick(third, Qt::Key_Down);  // wraps round to the first
    CTagWnd* first = notes->note(Day(1));
    ASSERT_TRUE(HasFocusSoon(first));

    // Ctrl+Down moves it along the edge, Ctrl+Right over to the other one.
    const int top = first->note().top;
    QTest::keyClick(first, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_GT(first->note().top, top);
    QTest::keyClick(first, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(first->note().side, 1);
    EXPECT_EQ(first->x(), outer().left() + outer().width());

    std::vector<Date> opened;
    QObject::connect(notes.get(), &CStickyNotes::openRequested,
                     [&opened](Date d) { opened.push_back(d); });
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(opened, std::vector<Date>{Day(1)});

    // The menu's Peel off, as the registry runs it for the focused note.
    notes->focusNotes();
    ASSERT_TRUE(HasFocusSoon(second));
    ASSERT_TRUE(commands.run(res::Cmd::StickyPeelOff));
    EXPECT_EQ(notes->note(Day(2)), nullptr);
    EXPECT_EQ(notes->count(), 2u);
    EXPECT_EQ(notes->at(1).note().date, Day(3));
    QTest::keyClick(third, Qt::Key_Escape);
    ASSERT_TRUE(HasFocusSoon(editor));
    EXPECT_FALSE(commands.isEnabled(res::Cmd::StickyOpen)) << "no note has the focus";
}

TEST_F(StickyNotesTest, TheSettingsDialogChangesTheNoteAndItsSize) {
    ASSERT_TRUE(notes->PutNote(Day(1)));
    CTagWnd* note = notes->note(Day(1));
    const int width = note->width();
    QTimer::singleShot(0, [] {
        CHusenDlg* dialog = CHusenDlg::active();
        ASSERT_NE(dialog, nullptr);
        dialog->textField()->setText(QStringLiteral("A much longer text"));
        dialog->accept();
    });
    ASSERT_TRUE(notes->editNote(*note));
    EXPECT_EQ(note->note().text, u"A much longer text");
    EXPECT_GT(note->width(), width);
    EXPECT_EQ(note->x() + note->width(), outer().left()) << "arranged again at its new width";
}

TEST(BlinkClock, RoundsComeFromItsTickSourceAtTheSettingsInterval) {
    app::AppSettings settings;
    auto ticks = std::make_unique<testing::ManualTicks>();
    testing::ManualTicks* source = ticks.get();
    CBlinkClock clock(settings, std::move(ticks));
    EXPECT_TRUE(source->running());
    EXPECT_EQ(source->period(), 500);
    std::vector<bool> phases;
    clock.set(BlinkTarget::StickyNotes, [&phases](bool on) { phases.push_back(on); });
    source->fire();
    source->fire();
    EXPECT_EQ(phases, (std::vector<bool>{true, false}));
    // The display settings changed the cycle: the clock follows.
    settings.titleColor.blinkInterval = 250;
    clock.restart();
    EXPECT_EQ(source->period(), 250);
    source->fire();
    EXPECT_EQ(phases.back(), true) << "the phase goes on where it was";
    settings.titleColor.blinkInterval = 0;
    clock.restart();
    EXPECT_EQ(source->period(), 1) << "never a timer that spins";
    clock.stop();
    source->fire();
    EXPECT_EQ(phases.size(), 3u);
}

TEST(TagWnd, TranslucencyFollowsTheSettingsWhereThePlatformOffersIt) {
    class Host : public NoteHost {
        std::optional<EdgeArea> edgeArea() const override { return std::nullopt; }
        bool writable() const override { return true; }
        void arrangeNotes() override {}
        void openNote(CTagWnd&) override {}
        void showNoteMenu(CTagWnd&, QPoint) override {}
        void focusNextNote(CTagWnd&, bool) override {}
        void returnFocus(CTagWnd&) override {}
    } host;
    store::StickyNote n;
    n.transparency = 40;
    n.text = u"x";
    CTagWnd note(n, host, nullptr);
    ASSERT_TRUE(note.CreateNote());
    app::AppSettings settings;
    settings.tag.transparentSetAll = 0;
    note.ApplyTranslucency(settings, true);
    EXPECT_NEAR(note.windowOpacity(), 153 / 255.0, 0.01);
    settings.tag.transparent = 0;
    note.ApplyTranslucency(settings, true);
    EXPECT_DOUBLE_EQ(note.windowOpacity(), 1.0);
    settings.tag.transparent = 1;
    note.ApplyTranslucency(settings, false);
    EXPECT_DOUBLE_EQ(note.windowOpacity(), 1.0) << "not offered: left opaque";
    EXPECT_FALSE(TranslucentWindowsOffered()) << "the offscreen platform";

    // A damaged record's font height makes a note of a sane size.
    n.fontHeight = -2147483647 - 1;
    CTagWnd damaged(n, host, nullptr);
    ASSERT_TRUE(damaged.CreateNote());
    EXPECT_LE(damaged.height(), 1000);
    EXPECT_GT(damaged.height(), 0);
}

}  // namespace
}  // namespace tl::sticky
