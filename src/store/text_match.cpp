#include "text_match.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tl::store {

namespace {

struct FoldRun {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    std::uint8_t stride;
};

constexpr FoldRun kFoldRuns[] = {
#include "case_fold_table.inc"
};

bool IsHigh(char16_t c) {
    return c >= 0xd800 && c <= 0xdbff;
}
bool IsLow(char16_t c) {
    return c >= 0xdc00 && c <= 0xdfff;
}

// The fold of every BMP code unit, surrogates unchanged: one look-up per
// unit in the search's inner loop.
const char16_t* UnitFolds() {
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c) t[c] = static_cast<char16_t>(c);
        for (const FoldRun& run : kFoldRuns) {
            if (run.first >= 0x10000) break;
            for (char32_t c = run.first; c <= run.last; c += run.stride)
                t[c] = static_cast<char16_t>(static_cast<std::int32_t>(c) + run.delta);
        }
        return t;
    }();
    return table.get();
}

// The fold of the unit at i, a low surrogate folded with its high one.
char16_t FoldAt(std::u16string_view s, std::size_t i, const char16_t* folds) {
    const char16_t c = s[i];
    if (!IsLow(c) || i == 0 || !IsHigh(s[i - 1])) return folds[c];
    const char32_t cp = 0x10000 + ((static_cast<char32_t>(s[i - 1]) - 0xd800) << 10) + (c - 0xdc00);
    return static_cast<char16_t>(0xdc00 + ((FoldCase(cp) - 0x10000) & 0x3ff));
}

// The first position in [from, end) holding one of the anchors.
std::size_t NextAnchor(const char16_t* p, std::size_t from, std::size_t end,
                       const std::array<char16_t, 4>& anchors, std::size_t count) {
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i a0 = _mm_set1_epi16(static_cast<short>(anchors[0]));
    const __m128i a1 = _mm_set1_epi16(static_cast<short>(anchors[count > 1 ? 1 : 0]));
    const __m128i a2 = _mm_set1_epi16(static_cast<short>(anchors[count > 2 ? 2 : 0]));
    const __m128i a3 = _mm_set1_epi16(static_cast<short>(anchors[count > 3 ? 3 : 0]));
    for (; i + 8 <= end; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, a0), _mm_cmpeq_epi16(v, a1)),
                         _mm_or_si128(_mm_cmpeq_epi16(v, a2), _mm_cmpeq_epi16(v, a3)));
        if (const int mask = _mm_movemask_epi8(hit))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)) / 2);
    }
#endif
    for (; i < end; ++i)
        for (std::size_t k = 0; k < count; ++k)
            if (p[i] == anchors[k]) return i;
    return end;
}

}  // namespace

char32_t FoldCase(char32_t c) {
    const auto* end = std::end(kFoldRuns);
    const auto* it = std::upper_bound(std::begin(kFoldRuns), end, c,
                                      [](char32_t v, const FoldRun& r) { return v < r.first; });
    if (it == std::begin(kFoldRuns)) return c;
    const FoldRun& run = *(it - 1);
    if (c > run.last || (c - run.first) % run.stride != 0) return c;
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + run.delta);
}

void NormaliseBreaksInPlace(std::u16string& text) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            c = u'\n';
        } else if (c == 0x2028 || c == 0x2029) {
            c = u'\n';
        }
        text[out++] = c;
    }
    text.resize(out);
}

std::u16string NormaliseBreaks(std::u16string_view text) {
    std::u16string out(text);
    NormaliseBreaksInPlace(out);
    return out;
}

Needle::Needle(std::u16string_view word, bool matchCase)
    : m_word(NormaliseBreaks(word)), m_matchCase(matchCase) {
    if (m_word.empty()) return;
    if (!matchCase) {
        const char16_t* folds = UnitFolds();
        std::u16string folded(m_word.size(), u'\0');
        for (std::size_t i = 0; i < m_word.size(); ++i) folded[i] = FoldAt(m_word, i, folds);
        m_word = std::move(folded);
    }
    const char16_t first = m_word[0];
    m_anchors[0] = first;
    m_anchorCount = 1;
    if (matchCase || IsHigh(first) || IsLow(first)) return;
    // Every unit that folds to the first one can begin a match.
    const char16_t* folds = UnitFolds();
    for (char32_t u = 0; u < 0x10000; ++u) {
        if (folds[u] != first || u == first) continue;
        if (m_anchorCount == m_anchors.size()) {
            m_anchorCount = 0;
            return;
        }
        m_anchors[m_anchorCount++] = static_cast<char16_t>(u);
    }
}

bool Needle::matchesAt(std::u16string_view text, std::size_t at) const {
    const std::size_t end = at + m_word.size();
    if (at > 0 && IsLow(text[at]) && IsHigh(text[at - 1])) return false;
    if (end < text.size() && IsLow(text[end]) && IsHigh(text[end - 1])) return false;
    if (m_matchCase) return text.compare(at, m_word.size(), m_word) == 0;
    const char16_t* folds = UnitFolds();
    for (std::size_t j = 0; j < m_word.size(); ++j)
        if (FoldAt(text, at + j, folds) != m_word[j]) return false;
    return true;
}

std::size_t Needle::findIn(std::u16string_view text, std::size_t from) const {
    const std::size_t m = m_word.size();
    if (m == 0 || text.size() < m || from > text.size() - m) return npos;
    const std::size_t stop = text.size() - m + 1;  // candidates are below this
    const char16_t* folds = m_anchorCount == 0 ? UnitFolds() : nullptr;
    for (std::size_t i = from; i < stop; ++i) {
        if (m_anchorCount != 0) {
            i = NextAnchor(text.data(), i, stop, m_anchors, m_anchorCount);
            if (i == stop) break;
        } else if (FoldAt(text, i, folds) != m_word[0]) {
            continue;
        }
        if (matchesAt(text, i)) return i;
    }
    return npos;
}

std::size_t Needle::findLastIn(std::u16string_view text, std::size_t end) const {
    const std::size_t m = m_word.size();
    end = std::min(end, text.size());
    if (m == 0 || end < m) return npos;
    for (std::size_t i = end - m + 1; i-- > 0;)
        if (matchesAt(text, i)) return i;
    return npos;
}

bool Needle::occursIn(std::u16string_view text) const {
    if (text.empty()) return false;
    return m_word.empty() || findIn(text) != npos;
}

SearchRule::SearchRule(const SearchSettings& s, bool matchCase)
    : m_first(s.text1, matchCase),
      m_second(s.text2, matchCase),
      m_andMode(s.andMode),
      m_orMode(s.orMode),
      m_include(s.include) {
    if (!m_first.empty()) m_marked.push_back(m_first);
    if (!m_second.empty() && (m_orMode || (m_andMode && m_include))) m_marked.push_back(m_second);
}

bool SearchRule::matches(std::u16string_view text) const {
    const bool m1 = m_first.occursIn(text);
    if ((!m_andMode && !m_orMode) || m_second.empty()) return m1;
    if (m_andMode) return m1 && (m_second.occursIn(text) == m_include);
    return m1 || m_second.occursIn(text);
}

std::optional<Occurrence> SearchRule::firstMark(std::u16string_view text, std::size_t from) const {
    std::optional<Occurrence> best;
    for (const Needle& word : m_marked) {
        const std::size_t at = word.findIn(text, from);
        if (at == Needle::npos) continue;
        if (!best || at < best->start || (at == best->start && word.size() > best->length))
            best = Occurrence{at, word.size()};
    }
    return best;
}

std::optional<Occurrence> SearchRule::lastMark(std::u16string_view text, std::size_t end) const {
    std::optional<Occurrence> best;
    for (const Needle& word : m_marked) {
        const std::size_t at = word.findLastIn(text, end);
        if (at == Needle::npos) continue;
        if (!best || at > best->start || (at == best->start && word.size() > best->length))
            best = Occurrence{at, word.size()};
    }
    return best;
}

std::vector<Occurrence> SearchRule::allMarks(std::u16string_view text) const {
    std::vector<Occurrence> marks;
    std::size_t from = 0;
    while (std::optional<Occurrence> o = firstMark(text, from)) {
        marks.push_back(*o);
        from = o->start + o->length;
    }
    return marks;
}

}  // namespace tl::store
