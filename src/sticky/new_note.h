#pragma once

// A new sticky note as the program puts one, and the defaults it is made
// from: the TAGFONT and TAGBLINK settings, which "Set to default" replaces.

#include <string>
#include <string_view>

#include "app/app_settings.h"
#include "note_placement.h"
#include "store/records.h"

namespace tl::sticky {

// The entry's title when it has one, else the date written out:
// "03-05-2024" for a day, "03-2024" for a month note, "2024" for a year note.
std::u16string NoteDefaultText(store::Date date, std::u16string_view title);

// The note of the date with the default font, colours, own translucency and
// blink fields, at the top of the given edge.
store::StickyNote NewNote(const app::AppSettings& settings, store::Date date,
                          std::u16string_view title, NoteSide side);

// "Set to default": the note's font, colours, own translucency and blink
// fields become the defaults of later notes (its text, date and place do
// not).
void StoreNoteDefaults(app::AppSettings& settings, const store::StickyNote& note);

}  // namespace tl::sticky
