#include "delete_entry.h"

#include <gtest/gtest.h>

#include <fstream>

#include "res/messages.h"
#include "support/data_file_fixture.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

constexpr store::Date kDay{2026, 12, 8};
constexpr store::Date kMonth{2026, 12, 0};

class DeleteEntryTest : public ::testing::Test {
protected:
    void saveEntry(store::Date date) {
        ASSERT_EQ(data.file->SaveEntry(date, u"Title", u"", u"Text"), 1);
    }
    void saveNote(store::Date date) {
        store::StickyNote note;
        note.date = date;
        note.text = u"Remember";
        ASSERT_EQ(data.file->SaveStickyNote(note), 1);
    }
    void attach(store::Date date) {
        const std::string path = (dir.path() / "a.txt").string();
        std::ofstream(path) << "attached";
        ASSERT_EQ(data.file->AttachFile(path, date, 1), 1);
    }

    testing::MemDataFile data;
    testing::TempDir dir;
};

TEST_F(DeleteEntryTest, QuestionsComeOnlyForWhatTheDateHasAndCancelStopsAll) {
    saveEntry(kDay);
    data.ui.answer(res::Answer::Yes);
    std::optional<DeleteChoices> choices = AskDeleteChoices(data.ui, *data.file, kDay, "x");
    ASSERT_TRUE(choices);
    EXPECT_FALSE(choices->attachments);
    EXPECT_TRUE(choices->stickyNote);
    EXPECT_EQ(data.ui.events().size(), 1u);  // the confirmation only

    attach(kMonth);
    saveNote(kMonth);
    data.ui.clear();
    data.ui.answer(res::Answer::Yes);
    data.ui.answer(res::Answer::No);      // keep the attachments
    data.ui.answer(res::Answer::Cancel);  // at the sticky note
    EXPECT_FALSE(AskDeleteChoices(data.ui, *data.file, kMonth, "12-2026"));
    ASSERT_EQ(data.ui.events().size(), 3u);
    EXPECT_EQ(data.ui.events()[0].text, res::FormatText(res::Msg::DeleteNoteConfirm, {"12-2026"}));
    EXPECT_EQ(data.ui.events()[1].text, res::Text(res::Msg::MonthNoteHasAttachments));
    EXPECT_EQ(data.ui.events()[2].text, res::Text(res::Msg::MonthNoteHasStickyNote));
    EXPECT_FALSE(data.ui.unexpectedQuestion());
}

TEST_F(DeleteEntryTest, KeptAttachmentsAndStickyNoteSurviveTheDeletion) {
    saveEntry(kDay);
    attach(kDay);
    saveNote(kDay);
    EXPECT_EQ(DeleteEntry(*data.file, kDay, {.attachments = false, .stickyNote = false}), 2u);
    ASSERT_EQ(data.reopen(), store::OpenResult::Opened);
    EXPECT_EQ(data.file->ReadEntryHeader(kDay), 0u);
    std::u16string text;
    EXPECT_EQ(data.file->ReadEntryText(kDay, text), 0u);
    EXPECT_NE(data.file->FindAttachment(0, kDay, 0), 0u);
    store::StickyNote note;
    ASSERT_NE(data.file->FindStickyNote(kDay, &note), 0u);
    EXPECT_EQ(note.text, u"Remember");

    EXPECT_EQ(DeleteEntry(*data.file, kDay, {.attachments = true, .stickyNote = true}), 2u);
    EXPECT_EQ(data.file->FindAttachment(0, kDay, 0), 0u);
    EXPECT_EQ(data.file->FindStickyNote(kDay), 0u);
    EXPECT_EQ(DeleteEntry(*data.file, kDay, {}), 0u);  // nothing left
}

}  // namespace
}  // namespace tl::app
