// Date queries of CDiaryDataFile: navigation by content and the walk over
// one year (find across days is in find_queries.cpp).

#include <algorithm>

#include "diary_data_file.h"

namespace tl::store {

namespace {

std::string KeyOf(Date d) {
    return DateKey(d.year, d.month, d.day);
}

}  // namespace

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

}  // namespace tl::store
