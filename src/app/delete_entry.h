#pragma once

// Deleting the entry of a date: one use case for the desktop program and
// the command-line tool, so both free the same records and sync the same way.

#include <cstddef>
#include <optional>
#include <string_view>

#include "res/user_interface.h"
#include "store/diary_data_file.h"

namespace tl::app {

struct DeleteChoices {
    bool attachments = false;  // free the attached files too
    bool stickyNote = true;    // peel off the date's sticky note too
};

// The desktop program's questions, in their order: the confirmation, then
// (only when the date has them) whether the attachments and the sticky
// note go too. nullopt when the user declined or cancelled. entryName is
// the name the questions show ("12-08-2026(Tue)", "12-2026", "2026").
// stickyNoteShown: the desktop shows a note of the date, which reaches the
// file only when the notes are written back.
std::optional<DeleteChoices> AskDeleteChoices(res::UserInterface& ui, store::CDiaryDataFile& file,
                                              store::Date date, std::string_view entryName,
                                              bool stickyNoteShown = false);

// Frees the date's header, texts and, as chosen, attachments and sticky
// note in one replacement that is synced before it returns. The number of
// records freed (0: nothing of the date was stored). File errors propagate.
// REQUIRES: the file is open for writing.
std::size_t DeleteEntry(store::CDiaryDataFile& file, store::Date date, DeleteChoices choices);

}  // namespace tl::app
