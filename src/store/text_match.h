#pragma once

// The match rule of find: words compared code unit by code unit, or without
// regard to case under Unicode's simple case folding; line breaks of every
// kind are one "\n" on both sides; a match never begins or ends inside a
// surrogate pair.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records.h"

namespace tl::store {

// The simple case fold of a code point: one code point, of the same length
// in UTF-16 (and above the BMP with the same high surrogate). Full-width
// letters fold among themselves, not to their ASCII look-alikes.
char32_t FoldCase(char32_t c);

// "\r\n", "\r", U+2028 and U+2029 as "\n".
std::u16string NormaliseBreaks(std::u16string_view text);
// The same in place; the stored plain texts are normalised once, when read.
void NormaliseBreaksInPlace(std::u16string& text);

// One word to look for, prepared once per search.
class Needle {
public:
    static constexpr std::size_t npos = std::u16string_view::npos;

    Needle() = default;
    Needle(std::u16string_view word, bool matchCase);

    bool empty() const { return m_word.empty(); }
    std::size_t size() const { return m_word.size(); }
    // The first occurrence beginning at or after from; npos when none.
    // REQUIRES: text has its line breaks normalised.
    std::size_t findIn(std::u16string_view text, std::size_t from = 0) const;
    // The last occurrence that ends at or before end; npos when none.
    std::size_t findLastIn(std::u16string_view text, std::size_t end) const;
    // An empty text contains nothing; an empty word is in every other text.
    bool occursIn(std::u16string_view text) const;

private:
    bool matchesAt(std::u16string_view text, std::size_t at) const;

    std::u16string m_word;  // line breaks normalised; folded unless m_matchCase
    bool m_matchCase = true;
    // The code units a match can begin with (the first unit and every unit
    // folding to it); none when more than fit, then every unit is tried.
    std::array<char16_t, 4> m_anchors{};
    std::size_t m_anchorCount = 0;
};

// Where a word occurs: its first code unit and its length.
struct Occurrence {
    std::size_t start = 0;
    std::size_t length = 0;
    friend bool operator==(const Occurrence&, const Occurrence&) = default;
};

// The search settings with the match-case choice, prepared once.
class SearchRule {
public:
    SearchRule(const SearchSettings& settings, bool matchCase);

    // Whether a title, an attachment's name or a text is a match: the first
    // word alone; with "and", the second word must occur too ("include") or
    // must not ("not include"); with "or", either word. An empty second word
    // leaves the first alone.
    bool matches(std::u16string_view text) const;
    // The words an entry window marks: the first, and the second when "and"
    // or "or" is chosen, it is not empty and it must be included.
    const std::vector<Needle>& markedWords() const { return m_marked; }
    // The nearest occurrence of a marked word beginning at or after from
    // (the earlier one, the longer at a tie), or ending at or before end.
    std::optional<Occurrence> firstMark(std::u16string_view text, std::size_t from = 0) const;
    std::optional<Occurrence> lastMark(std::u16string_view text, std::size_t end) const;
    // Every occurrence of a marked word in text, in order, without overlaps.
    std::vector<Occurrence> allMarks(std::u16string_view text) const;

private:
    Needle m_first;
    Needle m_second;
    bool m_andMode = false;
    bool m_orMode = false;
    bool m_include = true;
    std::vector<Needle> m_marked;
};

}  // namespace tl::store
