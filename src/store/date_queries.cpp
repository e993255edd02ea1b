// Date queries of CDiaryDataFile: navigation by content, the walk over one
// year, and the text-match walk of find across days.

#include <algorithm>

#include "diary_data_file.h"

namespace tl::store {

namespace {

std::string KeyOf(Date d) {
    return DateKey(d.year, d.month, d.day);
}

// Case folding for the case-insensitive match: the letters of the Latin,
// Greek and Cyrillic alphabets and the full-width Latin letters.
char16_t Fold(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c < 0x80) return c;
    if ((c >= 0xc0 && c <= 0xde && c != 0xd7) || (c >= 0x391 && c <= 0x3a9 && c != 0x3a2) ||
        (c >= 0x410 && c <= 0x42f))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40f) return static_cast<char16_t>(c + 80);
    if (c >= 0xff21 && c <= 0xff3a) return static_cast<char16_t>(c + 32);
    return c;
}

}  // namespace

int Contains(std::u16string_view text, std::u16string_view needle, bool matchCase) {
    if (text.empty()) return 0;
    if (needle.empty()) return 1;
    if (matchCase) return text.find(needle) != std::u16string_view::npos ? 1 : 0;
    auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                          [](char16_t a, char16_t b) { return Fold(a) == Fold(b); });
    return it != text.end() ? 1 : 0;
}

int CDiaryDataFile::TextMatches(std::u16string_view text, bool matchCase) const {
    const SearchSettings& s = m_search;
    int m1 = Contains(text, s.text1, matchCase);
    int m2 = 0;
    if ((s.andMode || s.orMode) && !s.text2.empty()) m2 = Contains(text, s.text2, matchCase);
    if (!s.andMode && !s.orMode) return m1;
    if (s.text2.empty() && m1) return 1;
    if (s.andMode) return s.include ? (m1 && m2) : (m1 && !m2);
    return m1 || m2;
}

std::uint64_t CDiaryDataFile::NextDateWithContent(Date date) {
    const std::string given = KeyOf(date);
    std::string best = "99999999";
    std::uint64_t result = 0;
    RecordWalk walk(*this, 0);
    RecordRef rec;
    while (walk.next(rec)) {
        std::uint8_t k = rec.header.kind();
        if (k != kKindPlainText && k != kKindAttachment) continue;
        std::string key = rec.header.key();
        if (given < key && key < best) best = key, result = rec.unit;
    }
    return result;
}

std::uint64_t CDiaryDataFile::PreviousDateWithContent(Date date) {
    const std::string given = KeyOf(date);
    std::string best = "00000000";
    std::uint64_t result = 0;
    RecordWalk walk(*this, 0);
    RecordRef rec;
    while (walk.next(rec)) {
        std::uint8_t k = rec.header.kind();
        if (k != kKindPlainText && k != kKindAttachment) continue;
        std::string key = rec.header.key();
        if (key < given && best < key) best = key, result = rec.unit;
    }
    return result;
}

std::uint64_t CDiaryDataFile::FindNextInYear(std::int16_t year, std::uint64_t from,
                                             std::array<std::uint8_t, kUnitSize>& firstUnit) {
    if (from >= m_totalUnits) return 0;
    RecordWalk walk(*this, from);
    RecordRef rec;
    while (walk.next(rec)) {
        if (rec.header.kind() == kKindFree || rec.header.year() != year) continue;
        if (ReadBytes(rec.unit, firstUnit.data(), kUnitSize) != kUnitSize) return 0;
        return rec.unit;
    }
    return 0;
}

namespace {

enum class Winner { None, Title, Text, Attachment };

}  // namespace

// Both directions walk every header, text and attachment on the near side
// of the start date, keep the nearest date that matches, and on that date
// prefer the element met first in the entry window in the walk's direction:
// forwards title, then attachments, then text; backwards the reverse.
std::uint64_t CDiaryDataFile::FindNextMatch(Date date, bool matchCase) {
    const std::string start = KeyOf(date);
    std::string best = "99999999";
    std::uint64_t winner = 0;
    Winner w = Winner::None;
    Date bestDate;
    RecordWalk walk(*this, 0);
    RecordRef r;
    const WalkFilter content{
        static_cast<std::uint8_t>(KindBit(kKindPlainText) | KindBit(kKindAttachment) |
                                  KindBit(kKindEntryHeader)),
        false,
        {}};
    while (walk.next(r, content)) {
        std::string key = r.header.key();
        if (!(start < key && key <= best)) continue;
        const Date d{r.header.year(), r.header.month(), r.header.day()};
        switch (r.header.kind()) {
            case kKindPlainText: {
                if (key == best && (w == Winner::Title || w == Winner::Attachment)) break;
                std::u16string text;
                if (ReadEntryTextAt(r.unit, text) && TextMatches(text, matchCase))
                    best = key, winner = r.unit, w = Winner::Text, bestDate = d;
                break;
            }
            case kKindEntryHeader:
                if (TextMatches(titleAt(r.unit, r.header.units()), matchCase))
                    best = key, winner = r.unit, w = Winner::Title, bestDate = d;
                break;
            case kKindAttachment: {
                if (key == best && w == Winner::Title) break;
                AttachmentInfo info;
                if (FindAttachment(r.unit, d, 0, &info) == r.unit &&
                    TextMatches(info.name, matchCase))
                    best = key, winner = r.unit, w = Winner::Attachment, bestDate = d;
                break;
            }
        }
    }
    if (w == Winner::Attachment) {
        std::uint32_t smallest = 65535;
        for (const AttachmentInfo& a : ListAttachments(bestDate))
            if (a.order < smallest && TextMatches(a.name, matchCase))
                smallest = a.order, winner = a.unit;
    }
    return winner;
}

std::uint64_t CDiaryDataFile::FindPreviousMatch(Date date, bool matchCase) {
    const std::string start = KeyOf(date);
    std::string best = "00000000";
    std::uint64_t winner = 0;
    Winner w = Winner::None;
    Date bestDate;
    RecordWalk walk(*this, 0);
    RecordRef r;
    const WalkFilter content{
        static_cast<std::uint8_t>(KindBit(kKindPlainText) | KindBit(kKindAttachment) |
                                  KindBit(kKindEntryHeader)),
        false,
        {}};
    while (walk.next(r, content)) {
        std::string key = r.header.key();
        if (!(key < start && best <= key)) continue;
        const Date d{r.header.year(), r.header.month(), r.header.day()};
        switch (r.header.kind()) {
            case kKindPlainText: {
                std::u16string text;
                if (ReadEntryTextAt(r.unit, text) && TextMatches(text, matchCase))
                    best = key, winner = r.unit, w = Winner::Text, bestDate = d;
                break;
            }
            case kKindEntryHeader:
                if (key == best && (w == Winner::Text || w == Winner::Attachment)) break;
                if (TextMatches(titleAt(r.unit, r.header.units()), matchCase))
                    best = key, winner = r.unit, w = Winner::Title, bestDate = d;
                break;
            case kKindAttachment: {
                if (key == best && w == Winner::Text) break;
                AttachmentInfo info;
                if (FindAttachment(r.unit, d, 0, &info) == r.unit &&
                    TextMatches(info.name, matchCase))
                    best = key, winner = r.unit, w = Winner::Attachment, bestDate = d;
                break;
            }
        }
    }
    if (w == Winner::Attachment) {
        std::uint32_t largest = 0;
        for (const AttachmentInfo& a : ListAttachments(bestDate))
            if (a.order > largest && TextMatches(a.name, matchCase))
                largest = a.order, winner = a.unit;
    }
    return winner;
}

}  // namespace tl::store
