#include "link_text.h"

#include <cstdio>

#include "entry_name.h"

namespace tl::diary {
namespace {

constexpr std::u16string_view kDiaryPrefix = u"[diary:";
constexpr std::u16string_view kPicturePrefix = u"[picture:";
// A web address must be at least this long to be followed.
constexpr std::size_t kWebMin = 15;

bool IsBreak(char16_t c) {
    return c == u' ' || c == u'\r' || c == u'\n';
}

std::u16string Widen(const char* text) {
    std::u16string out;
    for (const char* p = text; *p; ++p) out.push_back(static_cast<char16_t>(*p));
    return out;
}

// The decimal number of exactly the characters [from, from + n), counted
// from 1 as the link forms are described; nullopt when one is no digit.
std::optional<int> Digits(std::u16string_view token, std::size_t from, std::size_t n) {
    if (from == 0 || from - 1 + n > token.size()) return std::nullopt;
    int value = 0;
    for (char16_t c : token.substr(from - 1, n)) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value;
}

std::optional<store::Date> MakeDate(std::optional<int> year, std::optional<int> month,
                                    std::optional<int> day) {
    if (!year || !month || !day) return std::nullopt;
    const store::Date date{static_cast<std::int16_t>(*year), static_cast<std::uint8_t>(*month),
                           static_cast<std::uint8_t>(*day)};
    if (*month > 12 || *day > 31 || !IsValidEntryDate(date)) return std::nullopt;
    return date;
}

// The date of a token by its length: the day, month-note and year-note
// forms at the given first character (the one after the prefix).
std::optional<store::Date> DateOfToken(std::u16string_view token, std::size_t first,
                                       std::size_t dayLength) {
    const std::size_t monthLength = dayLength - 3;
    const std::size_t yearLength = dayLength - 6;
    const std::optional<int> zero = 0;
    if (token.size() == dayLength)
        return MakeDate(Digits(token, first + 6, 4), Digits(token, first, 2),
                        Digits(token, first + 3, 2));
    if (token.size() == monthLength)
        return MakeDate(Digits(token, first + 3, 4), Digits(token, first, 2), zero);
    if (token.size() == yearLength) return MakeDate(Digits(token, first, 4), zero, zero);
    return std::nullopt;
}

std::optional<FoundLink> WebAt(std::u16string_view text, std::size_t caret) {
    std::size_t start = std::min(caret, text.size());
    while (start > 0 && !IsBreak(text[start - 1])) --start;
    std::size_t end = start;
    while (end < text.size() && !IsBreak(text[end])) ++end;
    const std::u16string_view word = text.substr(start, end - start);
    if (word.size() < kWebMin || !word.starts_with(u"http")) return std::nullopt;
    FoundLink link;
    link.kind = FoundLink::Kind::Web;
    link.start = start;
    link.length = word.size();
    link.text = std::u16string(word);
    return link;
}

// The bracketed token around the caret: from a "[" before it, on the same
// word, to the first "]" or break at or after it.
std::optional<FoundLink> TokenAt(std::u16string_view text, std::size_t caret) {
    if (caret > text.size()) return std::nullopt;
    std::size_t start = caret;
    for (;;) {
        if (start == 0) return std::nullopt;
        const char16_t c = text[start - 1];
        if (IsBreak(c)) return std::nullopt;
        --start;
        if (c == u'[') break;
    }
    std::size_t end = caret;
    while (end < text.size() && !IsBreak(text[end])) {
        if (text[end++] == u']') break;
    }
    if (caret < start || caret > end) return std::nullopt;
    FoundLink link;
    link.start = start;
    link.length = end - start;
    link.text = std::u16string(text.substr(start, end - start));
    return link;
}

}  // namespace

std::u16string LinkDateForm(store::Date date) {
    return TabName(EntryName(date), false);
}

std::u16string EntryLinkText(store::Date date) {
    return std::u16string(kDiaryPrefix) + LinkDateForm(date) + u"]";
}

std::u16string PictureLinkText(std::uint32_t order) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%03u", order);
    return std::u16string(kPicturePrefix) + Widen(buf) + u"]";
}

std::u16string DatedPictureLinkText(store::Date date, std::uint32_t order) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "-%03u]", order);
    return std::u16string(kPicturePrefix) + LinkDateForm(date) + Widen(buf);
}

std::optional<FoundLink> FindLinkAt(std::u16string_view text, std::size_t caret) {
    if (std::optional<FoundLink> web = WebAt(text, caret)) return web;
    std::optional<FoundLink> token = TokenAt(text, caret);
    // Every form ends with its bracket; a token cut by a break is none.
    if (!token || !token->text.ends_with(u']')) return std::nullopt;
    const std::u16string_view t = token->text;
    if (t.starts_with(kPicturePrefix)) {
        // The number: the three characters before the closing bracket.
        const std::optional<int> order = Digits(t, t.size() - 3, 3);
        if (!order) return std::nullopt;
        token->order = static_cast<std::uint32_t>(*order);
        if (t.size() >= 5 && t[t.size() - 5] == u'-') {
            // "[picture:" date "-" nnn "]": 24, 21 or 18 characters.
            const std::optional<store::Date> date = DateOfToken(t, kPicturePrefix.size() + 1, 24);
            if (!date) return std::nullopt;
            token->kind = FoundLink::Kind::DatedPicture;
            token->date = *date;
            return token;
        }
        if (t.size() != PictureLinkText(1).size()) return std::nullopt;
        token->kind = FoundLink::Kind::Picture;
        return token;
    }
    if (t.starts_with(kDiaryPrefix)) {
        // "[diary:" date "]": 18, 15 or 12 characters.
        const std::optional<store::Date> date = DateOfToken(t, kDiaryPrefix.size() + 1, 18);
        if (!date) return std::nullopt;
        token->kind = FoundLink::Kind::Entry;
        token->date = *date;
        return token;
    }
    return std::nullopt;
}

}  // namespace tl::diary
