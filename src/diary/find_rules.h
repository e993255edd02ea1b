#pragma once

// The rules of find inside the open entry and of the find dialog's
// histories, without widgets: the windows hand in what they show and apply
// what comes back.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/records.h"
#include "store/text_match.h"

namespace tl::app {
struct AppSettings;
}

namespace tl::diary {

// The panes of an entry window, top to bottom.
enum class FindPane { Header, Attachments, Editor };

// The open entry as find sees it.
struct EntryView {
    FindPane active = FindPane::Editor;
    std::u16string_view title;                // empty for a note
    std::vector<std::u16string> attachments;  // names, in the strip's order
    int firstSelected = -1;                   // in the strip; -1 none
    std::u16string_view text;                 // the editor's, a paragraph break one "\n"
    std::size_t selectionStart = 0;           // in the editor
    std::size_t selectionEnd = 0;
};

// Where a match was found: the pane, and in it the attachment or the range.
struct EntryMatch {
    FindPane pane = FindPane::Editor;
    std::size_t attachment = 0;
    std::size_t start = 0;
    std::size_t length = 0;
    friend bool operator==(const EntryMatch&, const EntryMatch&) = default;
};

struct EntryFindResult {
    std::optional<EntryMatch> match;
    // Previous from the header: the editor's selection goes to the start
    // of the text and the search goes on across days.
    bool editorToStart = false;
};

// Searches the open entry from its active pane in the direction: next
// never looks at the title; previous ends with it.
EntryFindResult FindInEntry(const EntryView& entry, const store::SearchRule& rule, bool forward);

// On arrival at a date found across days: the match in the pane of the
// record that was found (title, text or attachments), the first going
// forward and the last going backward; nullopt when the pane shows none.
std::optional<EntryMatch> MatchOnArrival(const EntryView& entry, std::uint8_t kind,
                                         const store::SearchRule& rule, bool forward);

// The first word, the second and the "and"/"or"/include choices of the
// settings, as the engine takes them.
store::SearchSettings SearchSettingsOf(const app::AppSettings& settings);

// Puts text at the top of a history of at most max texts: moved up when
// it is listed, else pushed in with the last one dropped. Empty texts are
// not kept.
void PushHistory(std::vector<std::u16string>& history, const std::u16string& text,
                 std::size_t max = 10);

}  // namespace tl::diary
