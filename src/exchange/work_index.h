#pragma once

// What a work copy holds by date, kept exact while a merge or a conversion
// writes into it, and the freeing rules both share: an entry header from
// the other file replaces the date's entry and sticky note, a sticky note
// the date's note, an attachment the one of the same date and order.

#include <cstdint>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

#include "store/diary_data_file.h"
#include "store/record_images.h"

namespace tl::exchange {

// What the work copy holds, by date, kept exact while the merge writes.
class WorkIndex {
public:
    explicit WorkIndex(store::CDiaryDataFile& work);
    void add(std::uint64_t unit, const store::RecordHeader& h);
    // Writes the record into the work copy and notes it. 1 written, 0 not
    // (told by the store).
    int write(const store::Image& image);
    bool hasHeader(store::Date d) const;
    // FreeDate (date, without attachments).
    void freeEntry(store::Date d);
    // The first sticky note of the date, as RemoveStickyNote frees it.
    void freeSticky(store::Date d);
    void freeAttachment(store::Date d, std::uint32_t order);

private:
    void freeFirst(std::vector<std::uint64_t>& units, std::vector<std::uint64_t>* alsoIn);

    store::CDiaryDataFile& m_work;
    std::set<int> m_headers;
    std::unordered_map<int, std::vector<std::uint64_t>> m_entry;
    std::unordered_map<int, std::vector<std::uint64_t>> m_sticky;
    std::map<std::pair<int, std::uint32_t>, std::vector<std::uint64_t>> m_attachments;
};

// A header of the other file as the two-unit record the work copy gets:
// its first unit, and as second unit its title unit, or for the older
// one-unit form its title bytes 24-63 at the start of a zeroed unit.
store::Image TwoUnitHeader(const store::Image& source);

}  // namespace tl::exchange
