#pragma once

// Link texts: short bracketed texts in an entry's text that point at
// another entry or at an attached picture, and web addresses written in
// the text. Nothing marks them in the stored record; they are found again
// around the caret when the user double-clicks.
//
//   [diary:12-08-2026]  [diary:12-2026]  [diary:2026]     an entry
//   [picture:003]                                          a picture of this entry
//   [picture:12-08-2026-003]  [picture:12-2026-003]  ...  a picture of a dated entry
//   http...  (at least 15 characters up to a space or line break)

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/records.h"

namespace tl::diary {

// The date as links write it: the entry name without the day of the week.
std::u16string LinkDateForm(store::Date date);
std::u16string EntryLinkText(store::Date date);
// Numbers have at least three digits; 1000 and more make a link that is
// not followed.
std::u16string PictureLinkText(std::uint32_t order);
std::u16string DatedPictureLinkText(store::Date date, std::uint32_t order);

struct FoundLink {
    enum class Kind { Web, Entry, Picture, DatedPicture };
    Kind kind = Kind::Web;
    // The run of text to select before following it.
    std::size_t start = 0;
    std::size_t length = 0;
    std::u16string text;
    store::Date date;         // Entry and DatedPicture
    std::uint32_t order = 0;  // Picture and DatedPicture
};

// The link around the caret in text, whose positions are the editor's (one
// character per line break). Web addresses are tried first, then the
// bracketed forms; a bracketed form with an invalid date or the wrong
// length is no link. nullopt: the double click keeps its usual meaning.
std::optional<FoundLink> FindLinkAt(std::u16string_view text, std::size_t caret);

}  // namespace tl::diary
