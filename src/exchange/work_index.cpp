#include "work_index.h"

#include <algorithm>

#include "date_names.h"
#include "store/record_layout.h"

namespace tl::exchange {

using store::Date;

WorkIndex::WorkIndex(store::CDiaryDataFile& work) : m_work(work) {
    store::RecordWalk walk(work, 0);
    store::RecordRef rec;
    while (walk.next(rec)) add(rec.unit, rec.header);
}

void WorkIndex::add(std::uint64_t unit, const store::RecordHeader& h) {
    const Date d{h.year(), h.month(), h.day()};
    const int key = DateNumber(d);
    switch (h.kind()) {
        case store::kKindEntryHeader:
            m_headers.insert(key);
            [[fallthrough]];
        case store::kKindPlainText:
        case store::kKindStickyNote:
        case store::kKindRichText:
            m_entry[key].push_back(unit);
            if (h.kind() == store::kKindStickyNote) m_sticky[key].push_back(unit);
            break;
        case store::kKindAttachment: {
            store::AttachmentInfo info;
            if (m_work.FindAttachment(unit, d, 0, &info) == unit)
                m_attachments[{key, info.order}].push_back(unit);
            break;
        }
        default:
            break;
    }
}

int WorkIndex::write(const store::Image& image) {
    std::uint64_t unit = 0;
    if (!m_work.WriteRecord(image, &unit)) return 0;
    store::RecordHeader h;
    std::copy_n(image.begin(), store::kRecordHeaderSize, h.bytes.begin());
    add(unit, h);
    return 1;
}

bool WorkIndex::hasHeader(Date d) const {
    return m_headers.count(DateNumber(d)) != 0;
}
void WorkIndex::freeEntry(Date d) {
    const int key = DateNumber(d);
    for (std::uint64_t u : m_entry[key]) m_work.FreeRecord(u);
    m_entry.erase(key);
    m_sticky.erase(key);
    m_headers.erase(key);
}
void WorkIndex::freeSticky(Date d) {
    freeFirst(m_sticky[DateNumber(d)], &m_entry[DateNumber(d)]);
}
void WorkIndex::freeAttachment(Date d, std::uint32_t order) {
    freeFirst(m_attachments[{DateNumber(d), order}], nullptr);
}

void WorkIndex::freeFirst(std::vector<std::uint64_t>& units, std::vector<std::uint64_t>* alsoIn) {
    if (units.empty()) return;
    const std::uint64_t u = units.front();
    m_work.FreeRecord(u);
    units.erase(units.begin());
    if (alsoIn) alsoIn->erase(std::remove(alsoIn->begin(), alsoIn->end(), u), alsoIn->end());
}

// A source header as the two-unit record the work copy gets: its first
// unit, and as second unit its title unit, or for the older one-unit form
// its title bytes 24-63 at the start of a zeroed unit.
store::Image TwoUnitHeader(const store::Image& source) {
    store::Image image(2 * store::kUnitSize, 0);
    std::copy_n(source.begin(), store::kUnitSize, image.begin());
    if (source.size() >= 2 * store::kUnitSize) {
        std::copy_n(source.begin() + store::kUnitSize, store::kUnitSize,
                    image.begin() + store::kUnitSize);
    } else {
        std::copy_n(source.begin() + store::kEhOneUnitTitle, 2 * store::kEhOneUnitTitleMax,
                    image.begin() + store::kUnitSize);
    }
    store::PutU32(&image[store::kHdrUnits], store::kEhUnits);
    return image;
}

}  // namespace tl::exchange
