#pragma once

// What find keeps of a data file between searches: the title of every entry
// header, the order and name of every attachment and the plain text of every
// entry, each under the unit of its record; and the records of those kinds
// in date order.
//
// Invariant: content read from a record is kept only while none of the
// record's units has been written since (the data file reports every write
// to written(), and clear() when it opens or closes), so a search answers
// from what the file holds, as a walk over the file would.
// Bound: the texts kept take at most the budget; content read beyond it is
// used by the search that read it and dropped.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "records.h"

namespace tl::store {

class SearchCache {
public:
    // 64 MB of UTF-16: the plain texts of about 30 years of long entries.
    static constexpr std::size_t kDefaultBudget = 64u << 20;

    // What was read from one record.
    struct Content {
        std::uint32_t units = 0;
        std::uint8_t kind = 0;
        bool readable = false;    // false: it could not be read and matches nothing
        bool damaged = false;     // unreadable because its bytes are wrong (not a short read)
        std::uint32_t order = 0;  // an attachment's order
        std::u16string text;      // the title, the attachment's name or the plain text
    };
    // One record of kind 1, 2 or 4 in the date index.
    struct Record {
        std::uint64_t unit = 0;
        std::uint32_t units = 0;
        std::uint8_t kind = 0;
        Date date;
        std::string key;                   // DateKey of the date; the index's order
        const Content* content = nullptr;  // kept content, or none yet
    };

    explicit SearchCache(std::size_t budget = kDefaultBudget) : m_budget(budget) {}

    // Units [unit, unit + count) of the file were written.
    void written(std::uint64_t unit, std::uint64_t count);
    // The file was opened, closed or its chain was rebuilt.
    void clear();
    void setBudget(std::size_t bytes) { m_budget = bytes; }
    std::size_t keptBytes() const { return m_keptBytes; }
    std::size_t keptRecords() const { return m_content.size(); }

    // The kept content of the record, or none.
    const Content* find(std::uint64_t unit, std::uint32_t units, std::uint8_t kind) const;
    // Keeps content (moved from) when the budget allows; the kept copy, or
    // none, content untouched, for the caller to hold while it needs it.
    const Content* keep(std::uint64_t unit, Content& content);

    // The date index: valid until the next written() or clear().
    bool indexValid() const { return m_indexValid; }
    std::vector<Record>& index() { return m_index; }
    void setIndex(std::vector<Record> index);

private:
    static std::size_t bytesOf(const Content& c) { return c.text.capacity() * sizeof(char16_t); }

    std::size_t m_budget;
    std::size_t m_keptBytes = 0;
    std::map<std::uint64_t, Content> m_content;  // by unit
    std::vector<Record> m_index;
    bool m_indexValid = false;
};

}  // namespace tl::store
