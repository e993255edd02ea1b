#pragma once

// The checks of the sticky note dialogs, on the fields as typed: the first
// fault with its message and the field to put the focus into. Kept free of
// widgets so they are tested alone.

#include <cstddef>
#include <optional>
#include <string_view>

#include "res/messages.h"
#include "store/records.h"

namespace tl::sticky {

// What the settings dialog lets the user type into the text field; a longer
// text (from a long entry title) is shown but refused on OK.
inline constexpr std::size_t kNoteTextInputMax = 20;
// The rate field's range: 100 would make the note invisible.
inline constexpr int kRateMax = 99;

enum class NoteField { Text, Rate };

struct NoteSettingsCheck {
    std::optional<res::Msg> error;  // none: rate is the value typed
    NoteField field = NoteField::Text;
    int rate = 0;
};

// "Sticky note Settings": the text must be given and at most 20
// characters; the rate reads as a number (non-numeric text as 0) and must
// be 0..99.
NoteSettingsCheck CheckNoteSettings(std::u16string_view text, std::u16string_view rate);

// The rate's up-down control: one step up below 99, one step down above 0.
int StepRate(int shown, int steps);

// One date of the blink term as typed: its check box and three edits.
struct TermDateEdits {
    bool checked = false;
    std::u16string_view year, month, day;
};

enum class TermField { StartYear, StartMonth, StartDay, EndYear, EndMonth, EndDay };

// The nine blink fields of a note: kind and the optional first and last
// day of the term.
struct BlinkSettings {
    std::uint8_t kind = 0;
    bool fromEnabled = false;
    store::Date from;
    bool toEnabled = false;
    store::Date to;
    friend bool operator==(const BlinkSettings&, const BlinkSettings&) = default;
};

struct BlinkTermCheck {
    std::optional<res::Msg> error;  // none: settings is what OK stores
    TermField field = TermField::StartYear;
    BlinkSettings settings;
};

// The colour dialog's OK: each checked date must be a real day from 1900
// on, and the start must not come after the end. Without blinking nothing
// is read: both dates are stored as unset and zero.
BlinkTermCheck CheckBlinkTerm(std::uint8_t kind, const TermDateEdits& start,
                              const TermDateEdits& end);

// Which term controls are enabled: none without blinking (the date boxes
// are then unchecked and the edits emptied), the edits of a date only while
// its box is checked.
struct TermControls {
    bool term = false;  // the group and both date boxes
    bool startEdits = false;
    bool endEdits = false;
};
TermControls TermControlsFor(std::uint8_t kind, bool startChecked, bool endChecked);

}  // namespace tl::sticky
