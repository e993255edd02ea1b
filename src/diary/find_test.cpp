// Find in the entry windows and across days, through the dialog and the
// commands, on a diary in memory under the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>

#include "app/app_settings.h"
#include "child_frame.h"
#include "diary_documents.h"
#include "find_dlg.h"
#include "finder.h"
#include "head_view.h"
#include "hit_list.h"
#include "marlow_doc.h"
#include "marlow_view.h"
#include "res/messages.h"
#include "store/diary_data_file.h"
#include "support/data_file_fixture.h"

namespace tl::diary {
namespace {

using store::Date;

const std::string kNotFound(res::Text(res::Msg::TextNotFound));

class FindTest : public ::testing::Test {
protected:
    FindTest() {
        area = std::make_unique<QMdiArea>();
        area->resize(800, 600);
        area->show();
        DiaryContext context{&settings, data.file.get(), &ui,
                             [] {
                                 return std::chrono::year_month_day{std::chrono::year{2026},
                                                                    std::chrono::month{12},
                                                                    std::chrono::day{8}};
                             },
                             &commands};
        documents = std::make_unique<CDiaryDocuments>(context, area.get());
        finder = std::make_unique<CFinder>(context, *documents, area.get());
    }
    ~FindTest() override {
        finder.reset();
        documents.reset();
    }
    void save(Date date, std::u16string_view title, std::u16string_view text) {
        ASSERT_EQ(data.file->SaveEntry(date, title, u"", text), 1);
    }
    void look(std::string first, std::string second = "", int andMode = 0, int orMode = 0,
              int contain = 1) {
        auto& f = settings.find;
        f.text = std::move(first);
        f.text2 = std::move(second);
        f.andMode = andMode;
        f.orMode = orMode;
        f.contain = contain;
    }
    CMarlowDoc* active() const { return documents->activeDocument(); }
    Date activeDate() const { return active() ? active()->date() : Date{}; }
    QString selected() const { return active()->view()->textCursor().selectedText(); }
    int selectionStart() const { return active()->view()->textCursor().selectionStart(); }

    app::AppSettings settings;
    res::CommandRegistry commands;
    testing::MemDataFile data;
    testing::RecordingUi ui;
    std::unique_ptr<QMdiArea> area;
    std::unique_ptr<CDiaryDocuments> documents;
    std::unique_ptr<CFinder> finder;
};

TEST_F(FindTest, FindNextStepsThroughAnEntryThenOnToTheNextMatchingDate) {
    save({2024, 3, 1}, u"", u"Rain at dawn.\r\nMore rain at dusk.");
    save({2024, 3, 2}, u"", u"dry");
    save({2024, 3, 4}, u"", u"the rain came back");
    look("rain");
    // Without an open entry the earliest match of the diary opens.
    finder->Find(true);
    EXPECT_EQ(activeDate(), (Date{2024, 3, 1}));
    EXPECT_EQ(selected(), "Rain") << "without match case, rain finds Rain";
    EXPECT_EQ(selectionStart(), 0);
    finder->Find(true);
    EXPECT_EQ(selected(), "rain");
    EXPECT_EQ(selectionStart(), 19) << "the line break counts once";
    finder->Find(true);
    EXPECT_EQ(activeDate(), (Date{2024, 3, 4}));
    EXPECT_EQ(selected(), "rain");
    EXPECT_EQ(selectionStart(), 4);
    // And back: the previous match in the text, then the previous date's
    // last match.
    finder->Find(false);
    EXPECT_EQ(activeDate(), (Date{2024, 3, 1}));
    EXPECT_EQ(selectionStart(), 19);
    EXPECT_TRUE(ui.informations().empty());
    finder->Find(false);
    finder->Find(false);
    EXPECT_EQ(ui.informations(), std::vector<std::string>{kNotFound});
    EXPECT_EQ(activeDate(), (Date{2024, 3, 1}));
}

TEST_F(FindTest, WithoutAcrossDayTheEntryEndsTheSearch) {
    save({2024, 3, 1}, u"", u"one rain");
    save({2024, 3, 4}, u"", u"more rain");
    look("rain");
    settings.find.overDay = 0;
    ASSERT_NE(documents->OpenEntry({2024, 3, 1}, false), nullptr);
    active()->view()->setFocus();
    finder->Find(true);
    EXPECT_EQ(selectionStart(), 4);
    finder->Find(true);
    EXPECT_EQ(ui.informations(), std::vector<std::string>{kNotFound});
    EXPECT_EQ(activeDate(), (Date{2024, 3, 1}));
}

TEST_F(FindTest, PreviousEndsInTheTitleButNotFromTheHeader) {
    save({2024, 3, 1}, u"", u"a kite");
    save({2024, 3, 5}, u"Kite day", u"nothing here");
    look("kite");
    CMarlowDoc* doc = documents->OpenEntry({2024, 3, 5}, false);
    ASSERT_NE(doc, nullptr);
    // From the editor: no match in the text, then the title.
    doc->view()->setFocus();
    QApplication::processEvents();
    finder->Find(false);
    EXPECT_EQ(doc->head()->titleEdit()->selectedText(), "Kite");
    // From the header the title is not searched: the previous date opens.
    doc->head()->titleEdit()->setFocus();
    QApplication::processEvents();
    finder->Find(false);
    EXPECT_EQ(activeDate(), (Date{2024, 3, 1}));
    EXPECT_EQ(selected(), "kite");
}

TEST_F(FindTest, AndNotIncludeMarksTheFirstWordAndSkipsDatesWithTheSecond) {
    save({2024, 3, 1}, u"", u"rain and snow");
    save({2024, 3, 2}, u"", u"snow then rain");
    save({2024, 3, 3}, u"", u"only snow");
    look("snow", "rain", 1, 0, 0);
    ASSERT_NE(documents->OpenEntry({2024, 3, 1}, false), nullptr);
    active()->view()->setFocus();
    finder->Find(true);
    EXPECT_EQ(selected(), "snow") << "inside the entry only the first word is marked";
    finder->Find(true);
    EXPECT_EQ(activeDate(), (Date{2024, 3, 3}));
    // "or": a text with only the second word is found, both are marked.
    look("hail", "snow", 0, 1);
    finder->Find(false);
    EXPECT_EQ(activeDate(), (Date{2024, 3, 2}));
    EXPECT_EQ(selected(), "snow");
}

TEST_F(FindTest, TheDialogKeepsItsRulesStoresItsControlsAndHides) {
    CFindDlg* dlg = finder->dialog();
    EXPECT_FALSE(dlg->isVisible()) << "created hidden";
    save({2024, 3, 1}, u"", u"plain sea");
    ASSERT_NE(documents->OpenEntry({2024, 3, 1}, false), nullptr);
    QTextCursor cursor = active()->view()->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    active()->view()->setTextCursor(cursor);
    active()->view()->setFocus();  // the editor is the active pane
    QApplication::processEvents();
    finder->run(res::Cmd::Find);
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->firstWord()->currentText(), "sea") << "the editor's selection";
    // Neither "and" nor "or": no second word, no "not include".
    EXPECT_FALSE(dlg->secondWord()->isEnabled());
    EXPECT_FALSE(dlg->excludeButton()->isEnabled());
    dlg->andBox()->setChecked(true);
    EXPECT_TRUE(dlg->secondWord()->isEnabled());
    EXPECT_TRUE(dlg->excludeButton()->isEnabled());
    dlg->excludeButton()->setChecked(true);
    dlg->orBox()->setChecked(true);
    EXPECT_FALSE(dlg->andBox()->isChecked());
    EXPECT_FALSE(dlg->excludeButton()->isEnabled());
    EXPECT_TRUE(dlg->includeButton()->isChecked());

    // An empty first word is refused.
    dlg->firstWord()->setEditText("");
    dlg->findButton()->click();
    EXPECT_EQ(ui.warnings(),
              std::vector<std::string>{std::string(res::Text(res::Msg::EnterTextToSearch))});
    // A search from the dialog stores every control and the histories.
    dlg->firstWord()->setEditText("plain");
    dlg->secondWord()->setEditText("hill");
    dlg->matchCaseBox()->setChecked(true);
    dlg->previousButton()->setChecked(true);
    dlg->closeAfterBox()->setChecked(true);
    dlg->move(40, 50);
    dlg->findButton()->click();
    EXPECT_EQ(settings.find.text, "plain");
    EXPECT_EQ(settings.find.text2, "hill");
    EXPECT_EQ(settings.find.orMode, 1);
    EXPECT_EQ(settings.find.matchCase, 1);
    EXPECT_EQ(settings.find.direction, 0);
    EXPECT_EQ(dlg->history(0), std::vector<std::u16string>{u"plain"});
    EXPECT_FALSE(dlg->isVisible()) << "closed after the find";
    EXPECT_EQ(settings.find.windowX, dlg->pos().x());
    EXPECT_EQ(selected(), "plain");
    // Shown again: at its place, with the stored words when nothing is
    // selected.
    active()->view()->setTextCursor(QTextCursor(active()->view()->document()));
    finder->run(res::Cmd::Find);
    EXPECT_EQ(dlg->firstWord()->currentText(), "plain");
    EXPECT_EQ(dlg->firstWord()->count(), 1);
    dlg->reject();
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(FindTest, TheHitListListsEveryDateAndOpensTheOneChosen) {
    for (int day = 1; day <= 28; ++day)
        save({2024, 2, static_cast<std::uint8_t>(day)}, day % 7 ? u"" : u"Tide table",
             day % 2 ? u"line one\r\nthe tide turned" : u"calm");
    look("tide");
    CFindDlg* dlg = finder->dialog();
    finder->run(res::Cmd::Find);
    dlg->listButton()->click();
    CHitListView* list = dlg->hitList();
    QTRY_VERIFY(!list->running());
    HitListModel* hits = list->hits();
    // Odd days by their text, and the titled even days 14 and 28.
    ASSERT_EQ(hits->rowCount(), 16);
    EXPECT_EQ(hits->data(hits->index(0, HitListModel::DateColumn), Qt::DisplayRole).toString(),
              "2024-02-01");
    EXPECT_EQ(hits->data(hits->index(0, HitListModel::LineColumn), Qt::DisplayRole).toString(),
              "the tide turned");
    EXPECT_EQ(hits->hit(7).date, (Date{2024, 2, 14}));
    EXPECT_EQ(hits->hit(7).kind, store::kKindEntryHeader);
    // Enter on a row opens its date and selects the match.
    list->setCurrentIndex(hits->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(activeDate(), (Date{2024, 2, 3}));
    EXPECT_EQ(selected(), "tide");
    EXPECT_EQ(selectionStart(), 13);
    emit list->hitChosen(7);
    EXPECT_EQ(activeDate(), (Date{2024, 2, 14}));
    EXPECT_EQ(active()->head()->titleEdit()->selectedText(), "Tide");
    // A reloaded data file empties the list.
    finder->dataFileReloaded();
    EXPECT_EQ(hits->rowCount(), 0);
}

TEST_F(FindTest, CommandsNeedAFirstWord) {
    EXPECT_TRUE(finder->isEnabled(res::Cmd::Find));
    EXPECT_FALSE(finder->isEnabled(res::Cmd::FindNext));
    look("x");
    EXPECT_TRUE(finder->isEnabled(res::Cmd::FindNext));
    EXPECT_TRUE(finder->isEnabled(res::Cmd::FindPrevious));
    EXPECT_EQ(commands.targetOf(res::Cmd::FindPrevious), finder.get());
}

}  // namespace
}  // namespace tl::diary
