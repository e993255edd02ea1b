#include "find_rules.h"

#include <algorithm>

#include "app/app_settings.h"
#include "store/codepage.h"
#include "store/format.h"

namespace tl::diary {

namespace {

// An attachment counts as found when its name holds a word the window
// marks (never the word that must not occur).
bool NameMatches(std::u16string_view name, const store::SearchRule& rule) {
    return rule.firstMark(name).has_value();
}

std::optional<EntryMatch> InText(const EntryView& e, const store::SearchRule& rule, bool forward,
                                 std::size_t from) {
    const std::optional<store::Occurrence> o =
        forward ? rule.firstMark(e.text, from) : rule.lastMark(e.text, from);
    if (!o) return std::nullopt;
    return EntryMatch{FindPane::Editor, 0, o->start, o->length};
}

// Attachments from index first on, up or down.
std::optional<EntryMatch> InAttachments(const EntryView& e, const store::SearchRule& rule,
                                        bool forward, int first) {
    const int n = static_cast<int>(e.attachments.size());
    for (int i = first; i >= 0 && i < n; i += forward ? 1 : -1)
        if (NameMatches(e.attachments[static_cast<std::size_t>(i)], rule))
            return EntryMatch{FindPane::Attachments, static_cast<std::size_t>(i), 0, 0};
    return std::nullopt;
}

std::optional<EntryMatch> InTitle(const EntryView& e, const store::SearchRule& rule) {
    const std::optional<store::Occurrence> o = rule.firstMark(e.title);
    if (!o) return std::nullopt;
    return EntryMatch{FindPane::Header, 0, o->start, o->length};
}

}  // namespace

EntryFindResult FindInEntry(const EntryView& e, const store::SearchRule& rule, bool forward) {
    const int n = static_cast<int>(e.attachments.size());
    EntryFindResult result;
    if (forward) {
        switch (e.active) {
            case FindPane::Header:
                result.match = InAttachments(e, rule, true, 0);
                if (!result.match) result.match = InText(e, rule, true, 0);
                break;
            case FindPane::Attachments:
                result.match = InAttachments(e, rule, true, e.firstSelected + 1);
                if (!result.match) result.match = InText(e, rule, true, e.selectionStart);
                break;
            case FindPane::Editor:
                result.match = InText(e, rule, true, e.selectionEnd);
                break;
        }
        return result;
    }
    if (e.active == FindPane::Header) {
        result.editorToStart = true;
        return result;
    }
    result.match = InText(e, rule, false, e.selectionStart);
    if (!result.match) {
        const int last =
            e.active == FindPane::Attachments && e.firstSelected >= 0 ? e.firstSelected - 1 : n - 1;
        result.match = InAttachments(e, rule, false, last);
    }
    if (!result.match) result.match = InTitle(e, rule);
    return result;
}

std::optional<EntryMatch> MatchOnArrival(const EntryView& e, std::uint8_t kind,
                                         const store::SearchRule& rule, bool forward) {
    switch (kind) {
        case store::kKindEntryHeader:
            return InTitle(e, rule);
        case store::kKindAttachment:
            return InAttachments(e, rule, forward,
                                 forward ? 0 : static_cast<int>(e.attachments.size()) - 1);
        default:
            return InText(e, rule, forward, forward ? 0 : e.text.size());
    }
}

store::SearchSettings SearchSettingsOf(const app::AppSettings& settings) {
    const auto& f = settings.find;
    return {store::Utf8ToUtf16(f.text), store::Utf8ToUtf16(f.text2), f.andMode != 0, f.orMode != 0,
            f.contain != 0};
}

void PushHistory(std::vector<std::u16string>& history, const std::u16string& text,
                 std::size_t max) {
    if (text.empty()) return;
    auto it = std::find(history.begin(), history.end(), text);
    if (it != history.end()) {
        std::rotate(history.begin(), it, it + 1);
        return;
    }
    history.insert(history.begin(), text);
    if (history.size() > max) history.resize(max);
}

}  // namespace tl::diary
