#include "delete_entry.h"

#include <string>
#include <vector>

#include "res/messages.h"
#include "store/format.h"

namespace tl::app {

std::optional<DeleteChoices> AskDeleteChoices(res::UserInterface& ui, store::CDiaryDataFile& file,
                                              store::Date date, std::string_view entryName,
                                              bool stickyNoteShown) {
    const bool year = date.month == 0;
    const bool month = !year && date.day == 0;
    if (!ui.askYesNo(
            res::FormatText(date.day ? res::Msg::DeleteDiaryConfirm : res::Msg::DeleteNoteConfirm,
                            {std::string(entryName)})))
        return std::nullopt;
    DeleteChoices choices;
    if (file.FindAttachment(0, date, 0) != 0) {
        const res::Msg msg = year    ? res::Msg::YearNoteHasAttachments
                             : month ? res::Msg::MonthNoteHasAttachments
                                     : res::Msg::DiaryHasAttachments;
        const res::Answer answer = ui.askYesNoCancel(res::Text(msg));
        if (answer == res::Answer::Cancel) return std::nullopt;
        choices.attachments = answer == res::Answer::Yes;
    }
    if (stickyNoteShown || file.FindStickyNote(date, nullptr) != 0) {
        const res::Msg msg = year    ? res::Msg::YearNoteHasStickyNote
                             : month ? res::Msg::MonthNoteHasStickyNote
                                     : res::Msg::DiaryHasStickyNote;
        const res::Answer answer = ui.askYesNoCancel(res::Text(msg));
        if (answer == res::Answer::Cancel) return std::nullopt;
        choices.stickyNote = answer == res::Answer::Yes;
    }
    return choices;
}

std::size_t DeleteEntry(store::CDiaryDataFile& file, store::Date date, DeleteChoices choices) {
    std::vector<std::uint64_t> units = file.UnitsOfDate(
        date, {store::kKindEntryHeader, store::kKindPlainText, store::kKindRichText});
    auto add = [&](std::uint8_t kind) {
        for (std::uint64_t u : file.UnitsOfDate(date, {kind})) units.push_back(u);
    };
    if (choices.attachments) add(store::kKindAttachment);
    if (choices.stickyNote) add(store::kKindStickyNote);
    if (units.empty()) return 0;
    // Freeing needs no new record, so only a file error (thrown) can stop it.
    (void)file.ReplaceRecords({}, units);
    return units.size();
}

}  // namespace tl::app
