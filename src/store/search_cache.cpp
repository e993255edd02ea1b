#include "search_cache.h"

namespace tl::store {

void SearchCache::written(std::uint64_t unit, std::uint64_t count) {
    // Any write may add, free or move a record: the index is built again.
    m_indexValid = false;
    if (m_content.empty() || count == 0) return;
    auto it = m_content.lower_bound(unit);
    // The record that begins before the range may reach into it.
    if (it != m_content.begin()) {
        auto before = std::prev(it);
        if (before->first + before->second.units > unit) it = before;
    }
    while (it != m_content.end() && it->first < unit + count) {
        m_keptBytes -= bytesOf(it->second);
        it = m_content.erase(it);
    }
}

void SearchCache::clear() {
    m_content.clear();
    m_keptBytes = 0;
    m_index.clear();
    m_indexValid = false;
}

const SearchCache::Content* SearchCache::find(std::uint64_t unit, std::uint32_t units,
                                              std::uint8_t kind) const {
    auto it = m_content.find(unit);
    if (it == m_content.end() || it->second.units != units || it->second.kind != kind)
        return nullptr;
    return &it->second;
}

const SearchCache::Content* SearchCache::keep(std::uint64_t unit, Content& content) {
    const std::size_t bytes = bytesOf(content);
    auto old = m_content.find(unit);
    const std::size_t freed = old == m_content.end() ? 0 : bytesOf(old->second);
    if (m_keptBytes - freed + bytes > m_budget) return nullptr;
    m_keptBytes = m_keptBytes - freed + bytes;
    Content& slot = m_content[unit];
    slot = std::move(content);
    return &slot;
}

void SearchCache::setIndex(std::vector<Record> index) {
    m_index = std::move(index);
    m_indexValid = true;
}

}  // namespace tl::store
