#include "note_checks.h"

#include <algorithm>

#include "diary/date_checks.h"
#include "diary/entry_name.h"

namespace tl::sticky {

NoteSettingsCheck CheckNoteSettings(std::u16string_view text, std::u16string_view rate) {
    if (text.empty()) return {res::Msg::StickyTextEmpty, NoteField::Text};
    if (text.size() > kNoteTextInputMax) return {res::Msg::StickyTextTooLong, NoteField::Text};
    // As the number is read, a leading minus makes it negative.
    const bool negative = rate.starts_with(u'-');
    const int value = negative ? -diary::FieldNumber(rate.substr(1)) : diary::FieldNumber(rate);
    if (value < 0 || value > kRateMax) return {res::Msg::TransparencyAbnormal, NoteField::Rate};
    return {std::nullopt, NoteField::Text, value};
}

int StepRate(int shown, int steps) {
    if (steps > 0 && shown < kRateMax) return shown + 1;
    if (steps < 0 && shown > 0) return shown - 1;
    return shown;
}

namespace {

struct DateRead {
    std::optional<res::Msg> error;
    TermField field = TermField::StartYear;
    store::Date date;
};

DateRead ReadDate(const TermDateEdits& edits, bool start) {
    const diary::DateCheck check =
        diary::CheckEntryDate(edits.year, edits.month, edits.day, true, true);
    const int offset = start ? 0 : 3;
    return {check.error, static_cast<TermField>(static_cast<int>(check.field) + offset),
            check.date};
}

}  // namespace

BlinkTermCheck CheckBlinkTerm(std::uint8_t kind, const TermDateEdits& start,
                              const TermDateEdits& end) {
    BlinkTermCheck result;
    BlinkSettings& s = result.settings;
    s.kind = kind;
    s.fromEnabled = start.checked;
    if (kind != 0 && start.checked) {
        const DateRead from = ReadDate(start, true);
        if (from.error) return {from.error, from.field, {}};
        s.from = from.date;
    }
    s.toEnabled = end.checked;
    if (kind == 0) return result;
    if (end.checked) {
        const DateRead to = ReadDate(end, false);
        if (to.error) return {to.error, to.field, {}};
        s.to = to.date;
    }
    if (s.fromEnabled && s.toEnabled && diary::DateKeyOf(s.from) > diary::DateKeyOf(s.to))
        return {res::Msg::BlinkTermOrder, TermField::StartYear, {}};
    return result;
}

TermControls TermControlsFor(std::uint8_t kind, bool startChecked, bool endChecked) {
    if (kind == 0) return {};
    return {true, startChecked, endChecked};
}

}  // namespace tl::sticky
