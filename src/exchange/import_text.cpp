#include "import_text.h"

#include "store/codepage.h"

namespace tl::exchange {

std::u16string DecodeText(std::span<const std::uint8_t> bytes, Encoding encoding) {
    if (encoding != Encoding::Unicode)
        return store::FromAnsi(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

namespace {

// The line starting at start: its value (without "\r\n") and where the next
// line starts (npos when this is the last).
struct Line {
    std::u16string_view value;
    std::size_t next;
};

Line LineAt(std::u16string_view all, std::size_t start) {
    if (start == std::u16string_view::npos || start > all.size())
        return {{}, std::u16string_view::npos};
    const std::size_t end = all.find(u'\n', start);
    std::u16string_view value = all.substr(
        start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
    if (!value.empty() && value.back() == u'\r') value.remove_suffix(1);
    return {value, end == std::u16string_view::npos ? std::u16string_view::npos : end + 1};
}

bool TakeAfter(std::u16string_view line, std::u16string_view prefix, std::u16string& out) {
    if (line.substr(0, prefix.size()) != prefix) return false;
    out = line.substr(prefix.size());
    return true;
}

}  // namespace

EntryText SplitEntryText(std::u16string_view all) {
    EntryText e;
    const Line first = LineAt(all, 0);
    const bool title = TakeAfter(first.value, u"TITLE:", e.title);
    const Line second = LineAt(all, first.next);
    const bool weather = first.next != std::u16string_view::npos &&
                         (TakeAfter(second.value, u"WEATHER:", e.weather) ||
                          TakeAfter(second.value, u"WEATHER\uFF1A", e.weather));
    e.bothHeaderLines = title && weather;
    if (!e.bothHeaderLines) {
        e.text = all;
        return e;
    }
    const Line third = LineAt(all, second.next);
    if (third.next != std::u16string_view::npos) e.text = all.substr(third.next);
    return e;
}

}  // namespace tl::exchange
