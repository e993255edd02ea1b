// The sticky notes in the main window: put and peeled from the side bar's
// and the tab's menus, written back when the window goes, gone with a
// deleted entry, reloaded with the data file, and driven by the blink clock.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "calendar/day_bar.h"
#include "calendar/day_wnd.h"
#include "diary/diary_documents.h"
#include "diary/head_view.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "diary/tab_strip.h"
#include "main_frame.h"
#include "res/messages.h"
#include "sticky/blink_clock.h"
#include "sticky/sticky_notes.h"
#include "support/data_file_fixture.h"

namespace tl::frame {
namespace {

using namespace std::chrono;
using store::Date;

constexpr year_month_day kToday{year{2026}, month{12}, day{9}};
constexpr Date kTodayDate{2026, 12, 9};

// The menu key as the platform turns it into a menu request.
void MenuKey(QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QPoint(), modifiers);
    QApplication::sendEvent(widget, &event);
}

// Runs the menu that the action opens: checks the named items' enabling
// and triggers the one asked for (none: the menu is closed).
struct MenuChoice {
    QString trigger;
    std::map<QString, bool> enabled;  // what the menu showed
};
void ChooseFromNextMenu(QObject* context, MenuChoice& choice) {
    QTimer::singleShot(0, context, [&choice] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions()) {
            choice.enabled[a->text()] = a->isEnabled();
            if (a->text() == choice.trigger) chosen = a;
        }
        menu->close();
        if (chosen) chosen->trigger();
    });
}

class StickyNotesFrameTest : public ::testing::Test {
protected:
    StickyNotesFrameTest() { settings.dayBar.visible = 1; }
    std::unique_ptr<CMainFrame> makeFrame() {
        auto frame =
            std::make_unique<CMainFrame>(settings, *data.file, data.ui, [] { return kToday; });
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        frame->dataFileOpened();
        return frame;
    }
    static std::string Told(res::Msg msg) { return std::string(res::Text(msg)); }

    app::AppSettings settings;
    testing::MemDataFile data;
};

TEST_F(StickyNotesFrameTest, NotesAreWrittenBackWhenTheWindowGoesAndShownAtTheNextStart) {
    {
        auto frame = makeFrame();
        ASSERT_TRUE(frame->stickyNotes().PutNote(kTodayDate));
        ASSERT_TRUE(frame->stickyNotes().PutNote({2026, 0, 0}));
        EXPECT_EQ(data.file->FindStickyNote(kTodayDate), 0u) << "not before the window goes";
    }
    store::StickyNote stored;
    ASSERT_NE(data.file->FindStickyNote(kTodayDate, &stored), 0u);
    EXPECT_EQ(stored.text, u"12-09-2026");
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    auto frame = makeFrame();
    EXPECT_EQ(frame->stickyNotes().count(), 2u);
    sticky::CTagWnd* note = frame->stickyNotes().note({2026, 0, 0});
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->note().text, u"2026");
}

TEST_F(StickyNotesFrameTest, ADoubleClickOnANoteOpensItsEntry) {
    auto frame = makeFrame();
    ASSERT_TRUE(frame->stickyNotes().PutNote({2026, 11, 0}));
    QTest::mouseDClick(frame->stickyNotes().note({2026, 11, 0}), Qt::LeftButton);
    diary::CMarlowDoc* doc = frame->documents().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->date(), (Date{2026, 11, 0}));
}

TEST_F(StickyNotesFrameTest, DeletingAnEntryAsksAboutItsNoteAndPeelsItsWindowWhenToldTo) {
    auto frame = makeFrame();
    for (Date d : {kTodayDate, Date{2026, 12, 8}}) {
        diary::CMarlowDoc* doc = frame->documents().OpenEntry(d, true);
        ASSERT_NE(doc, nullptr);
        doc->view()->insertPlainText(QStringLiteral("entry"));
        ASSERT_TRUE(doc->DoFileSave());
        // Put since the last write-back: in no record yet.
        ASSERT_TRUE(frame->stickyNotes().PutNote(d));
    }
    data.ui.answer(res::Answer::Yes);  // delete
    data.ui.answer(res::Answer::No);   // keep the note
    frame->documents().DeleteEntry({2026, 12, 8});
    EXPECT_EQ(data.ui.events().back().text, Told(res::Msg::DiaryHasStickyNote));
    EXPECT_NE(frame->stickyNotes().note({2026, 12, 8}), nullptr);

    data.ui.answer(res::Answer::Yes);
    data.ui.answer(res::Answer::Yes);  // the note goes too
    frame->documents().DeleteEntry(kTodayDate);
    EXPECT_FALSE(data.ui.unexpectedQuestion());
    EXPECT_EQ(frame->stickyNotes().note(kTodayDate), nullptr);
    EXPECT_EQ(data.file->ReadEntryHeader(kTodayDate), 0u);
    frame->stickyNotes().SaveAllNotes();
    EXPECT_EQ(data.file->FindStickyNote(kTodayDate), 0u);
    EXPECT_NE(data.file->FindStickyNote({2026, 12, 8}), 0u);
}

TEST_F(StickyNotesFrameTest, TheDayListsMenuPutsAndPeelsNotesFromTheKeyboard) {
    auto frame = makeFrame();
    calendar::CDayWnd* list = frame->dayBar()->dayList();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);  // 1 January
    const Date jan1{2026, 1, 1};

    MenuChoice put{QStringLiteral("Pu&t sticky note"), {}};
    ChooseFromNextMenu(frame.get(), put);
    MenuKey(list);
    EXPECT_TRUE(put.enabled[QStringLiteral("Pu&t sticky note")]);
    EXPECT_FALSE(put.enabled[QStringLiteral("&Peel off sticky")]);
    ASSERT_NE(frame->stickyNotes().note(jan1), nullptr);

    MenuChoice peel{QStringLiteral("&Peel off sticky"), {}};
    ChooseFromNextMenu(frame.get(), peel);
    MenuKey(list);
    EXPECT_FALSE(peel.enabled[QStringLiteral("Pu&t sticky note")]);
    EXPECT_TRUE(peel.enabled[QStringLiteral("&Peel off sticky")]);
    EXPECT_EQ(frame->stickyNotes().note(jan1), nullptr);

    // With Ctrl, the month note's menu.
    MenuChoice month{QStringLiteral("Pu&t sticky note"), {}};
    ChooseFromNextMenu(frame.get(), month);
    MenuKey(list, Qt::ControlModifier);
    EXPECT_NE(frame->stickyNotes().note({2026, 1, 0}), nullptr);
}

TEST_F(StickyNotesFrameTest, WithAReadOnlyFileTheMenusOfferNoPutOrPeel) {
    data.fs.setReadOnly(data.path, true);
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    auto frame = makeFrame();
    calendar::CDayWnd* list = frame->dayBar()->dayList();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    MenuChoice look;
    ChooseFromNextMenu(frame.get(), look);
    MenuKey(list);
    EXPECT_FALSE(look.enabled[QStringLiteral("Pu&t sticky note")]);
    EXPECT_FALSE(look.enabled[QStringLiteral("&Peel off sticky")]);
}

TEST_F(StickyNotesFrameTest, TheTabMenuPutsANewNoteAndPeelsIt) {
    auto frame = makeFrame();
    diary::CMarlowDoc* doc = frame->documents().OpenEntry(kTodayDate, true);
    ASSERT_NE(doc, nullptr);
    diary::CTabStrip* strip = doc->head()->tabStrip();
    MenuChoice put{QStringLiteral("Pu&t sticky note"), {}};
    ChooseFromNextMenu(frame.get(), put);
    emit strip->menuRequested(kTodayDate, strip->mapToGlobal(QPoint(10, 10)));
    ASSERT_NE(frame->stickyNotes().note(kTodayDate), nullptr);
    MenuChoice peel{QStringLiteral("&Peel off sticky"), {}};
    ChooseFromNextMenu(frame.get(), peel);
    emit strip->menuRequested(kTodayDate, strip->mapToGlobal(QPoint(10, 10)));
    EXPECT_FALSE(peel.enabled[QStringLiteral("Pu&t sticky note")]);
    EXPECT_EQ(frame->stickyNotes().note(kTodayDate), nullptr);
}

TEST_F(StickyNotesFrameTest, AReloadedDataFileGetsTheNotesShownAndShowsItsOwn) {
    auto frame = makeFrame();
    ASSERT_TRUE(frame->stickyNotes().PutNote(kTodayDate));
    store::StickyNote merged;
    merged.date = {2026, 12, 24};
    merged.text = u"from the other diary";
    ASSERT_EQ(data.file->SaveStickyNote(merged), 1);
    emit frame->dataFileReloaded();
    EXPECT_EQ(frame->stickyNotes().count(), 2u);
    EXPECT_NE(data.file->FindStickyNote(kTodayDate), 0u);
    ASSERT_NE(frame->stickyNotes().note({2026, 12, 24}), nullptr);
}

TEST_F(StickyNotesFrameTest, TheBlinkClockBlinksNotesWithTheTitlesAndFollowsTheInterval) {
    settings.tagBlink.kind = 2;
    auto frame = makeFrame();
    ASSERT_TRUE(frame->stickyNotes().PutNote(kTodayDate));
    sticky::CTagWnd* note = frame->stickyNotes().note(kTodayDate);
    // Today by the system's clock is inside a term without ends.
    frame->blinkClock().tick();
    EXPECT_FALSE(note->blink().inverted());
    frame->blinkClock().tick();
    EXPECT_TRUE(note->blink().inverted());
    settings.titleColor.blinkInterval = 250;
    frame->restartBlinkTimer();
    frame->blinkClock().tick();
    EXPECT_FALSE(note->blink().inverted());
}

}  // namespace
}  // namespace tl::frame
