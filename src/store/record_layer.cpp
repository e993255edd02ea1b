// The record layer of CDiaryDataFile: the walk, allocation, writing,
// freeing and counting of records.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "diary_data_file.h"
#include "search_cache.h"

namespace tl::store {

// One buffer for the ciphered side of every read and write: a fresh one per
// record cost an allocation (and page faults for large ones) each time.
// Whole cipher blocks, so that a partial tail is never read past.
std::uint8_t* CDiaryDataFile::scratch(std::size_t n) {
    const std::size_t blocks = (n + 7) / 8 * 8;
    if (m_scratch.size() < blocks) m_scratch.resize(blocks);
    return m_scratch.data();
}

std::size_t CDiaryDataFile::ReadBytes(std::uint64_t unit, std::uint8_t* buf, std::size_t n) {
    if (!m_file || n == 0) return 0;
    std::uint8_t* tmp = scratch(n);
    std::size_t got = m_file->readAt(unit * kUnitSize, tmp, n);
    if (got < n) return got;
    m_cipher.Decrypt(tmp, buf, n);
    return n;
}

std::optional<RecordHeader> CDiaryDataFile::ReadRecordHeader(std::uint64_t unit) {
    RecordHeader h;
    if (ReadBytes(unit, h.bytes.data(), h.bytes.size()) != h.bytes.size()) return std::nullopt;
    return h;
}

void CDiaryDataFile::loadChain() {
    m_chain.clear();
    m_firstFree = 0;
    m_chainDamaged = false;
    // Ready only once the pass is over: a read error leaves no half map.
    m_chainReady = false;
    if (!m_file) return;
    // Headers are read through a window of whole units, so that a run of
    // small records costs one read and a large record is stepped over.
    constexpr std::uint64_t kWindowUnits = 2048;
    constexpr std::uint64_t kSmallWindowUnits = 32;
    std::vector<std::uint8_t> window;
    std::uint64_t winStart = 0, winUnits = 0;
    const std::uint64_t total = m_totalUnits;
    std::uint64_t p = 0;
    while (p < total) {
        if (p >= winStart + winUnits) {
            // After a large record the next ones are often large too: read
            // a small window, so their bodies are not read for a header.
            const bool afterLarge = !m_chain.empty() && m_chain.back().units > kSmallWindowUnits;
            winStart = p;
            winUnits = std::min(afterLarge ? kSmallWindowUnits : kWindowUnits, total - p);
            window.resize(static_cast<std::size_t>(winUnits * kUnitSize));
            m_ui->keepAlive();
            std::size_t got = m_file->readAt(p * kUnitSize, window.data(), window.size());
            winUnits = got / kUnitSize;
            if (winUnits == 0) {
                m_chainDamaged = true;
                break;
            }
        }
        RecordHeader h;
        m_cipher.Decrypt(&window[static_cast<std::size_t>((p - winStart) * kUnitSize)],
                         h.bytes.data(), kRecordHeaderSize);
        const std::uint32_t units = h.units();
        if (units == 0 || p + units > total) {
            m_chainDamaged = true;
            break;
        }
        m_chain.push_back({p, units, h.kind(), h.month(), h.day(), h.year(), h.kind()});
        p += units;
    }
    hideLeftBehind();
    m_chainReady = true;
}

std::size_t CDiaryDataFile::chainIndex(std::uint64_t unit) const {
    auto it = std::lower_bound(m_chain.begin(), m_chain.end(), unit,
                               [](const ChainLink& l, std::uint64_t u) { return l.unit < u; });
    return static_cast<std::size_t>(it - m_chain.begin());
}

CDiaryDataFile::ChainLink* CDiaryDataFile::chainAt(std::uint64_t unit) {
    if (!m_chainReady) return nullptr;
    std::size_t i = chainIndex(unit);
    return i < m_chain.size() && m_chain[i].unit == unit ? &m_chain[i] : nullptr;
}

void CDiaryDataFile::chainSetHeader(std::uint64_t unit, const RecordHeader& header) {
    if (!m_chainReady) return;
    ChainLink* link = chainAt(unit);
    if (!link || link->units != header.units()) {
        // A header that does not fit the map's picture: trust the file.
        invalidateChain();
        return;
    }
    link->kind = header.kind();
    link->stored = header.kind();
    if (link->kind == kKindFree)
        m_firstFree = std::min(m_firstFree, static_cast<std::size_t>(link - m_chain.data()));
    link->year = header.year();
    link->month = header.month();
    link->day = header.day();
}

RecordWalk::RecordWalk(CDiaryDataFile& file, std::uint64_t from)
    : m_file(file), m_pos(from), m_useMap(file.m_useChainMap) {
    if (!m_useMap) return;
    if (!m_file.m_chainReady) m_file.loadChain();
    m_index = m_file.chainIndex(from);
}

bool RecordWalk::next(RecordRef& out) {
    if (m_damaged) return false;
    if (m_useMap) {
        const auto& chain = m_file.m_chain;
        if (!m_file.m_chainReady || m_index >= chain.size()) {
            // The map ends where the chain broke; a walk that gets there
            // meets the damage as the file walk would.
            m_damaged = m_file.m_chainReady && m_file.m_chainDamaged;
            return false;
        }
        const auto& l = chain[m_index++];
        out.unit = l.unit;
        out.header = RecordHeader{};
        out.header.setKind(l.kind);
        out.header.setDate(l.year, l.month, l.day);
        out.header.setUnits(l.units);
        return true;
    }
    const std::uint64_t total = m_file.TotalUnits();
    if (m_pos >= total) return false;
    // Each step reads the disk: a walk over a large file takes a while.
    m_file.ui().keepAlive();
    std::optional<RecordHeader> h = m_file.ReadRecordHeader(m_pos);
    std::uint32_t units = h ? h->units() : 0;
    if (!h || units == 0 || m_pos + units > total) {
        m_damaged = true;
        return false;
    }
    out.unit = m_pos;
    out.header = *h;
    m_pos += units;
    return true;
}

WalkFilter OfKind(std::uint8_t kind) {
    return WalkFilter{KindBit(kind), false, {}};
}

WalkFilter OfKindAndDate(std::uint8_t kinds, Date date) {
    return WalkFilter{kinds, true, date};
}

namespace {

bool Passes(const WalkFilter& f, std::uint8_t kind, std::int16_t year, std::uint8_t month,
            std::uint8_t day) {
    if (f.kinds != 0xff && (KindBit(kind) & f.kinds) == 0) return false;
    return !f.byDate || (f.date.year == year && f.date.month == month && f.date.day == day);
}

}  // namespace

bool RecordWalk::next(RecordRef& out, const WalkFilter& filter) {
    if (m_useMap && m_file.m_chainReady) {
        // Step over the map's links without building a header for each.
        const auto& chain = m_file.m_chain;
        while (m_index < chain.size()) {
            const auto& l = chain[m_index];
            if (Passes(filter, l.kind, l.year, l.month, l.day)) return next(out);
            ++m_index;
        }
        return next(out);
    }
    while (next(out))
        if (Passes(filter, out.header.kind(), out.header.year(), out.header.month(),
                   out.header.day()))
            return true;
    return false;
}

std::uint64_t CDiaryDataFile::FindNext(std::uint8_t kind, std::uint64_t from,
                                       RecordHeader* header) {
    RecordWalk walk(*this, from);
    RecordRef rec;
    if (!walk.next(rec, OfKind(kind))) return 0;
    if (header) *header = rec.header;
    return rec.unit;
}

std::uint64_t CDiaryDataFile::FindNextContent(std::uint64_t from, bool includeAttachments,
                                              bool includeHeaders, RecordHeader* header) {
    WalkFilter filter{KindBit(kKindPlainText), false, {}};
    if (includeAttachments) filter.kinds |= KindBit(kKindAttachment);
    if (includeHeaders) filter.kinds |= KindBit(kKindEntryHeader);
    RecordWalk walk(*this, from);
    RecordRef rec;
    if (!walk.next(rec, filter)) return 0;
    if (header) *header = rec.header;
    return rec.unit;
}

void CDiaryDataFile::invalidateChain() {
    m_chainReady = false;
    m_searchCache->written(0, 0);
}

// Every write of the file passes here: what the search kept of the records
// it touches is dropped first, so nothing stale survives a failed write.
void CDiaryDataFile::writeUnitBytes(std::uint64_t unit, const std::uint8_t* bytes, std::size_t n) {
    guardWrite();
    m_searchCache->written(unit, (n + kUnitSize - 1) / kUnitSize);
    std::uint8_t* tmp = scratch(n);
    m_cipher.Encrypt(bytes, tmp, n);
    m_file->writeAt(unit * kUnitSize, tmp, n);
}

void CDiaryDataFile::writeHeaderAt(std::uint64_t unit, const RecordHeader& header) {
    try {
        writeUnitBytes(unit, header.bytes.data(), header.bytes.size());
    } catch (...) {
        invalidateChain();
        throw;
    }
    chainSetHeader(unit, header);
}

std::optional<CDiaryDataFile::FreeRun> CDiaryDataFile::findFreeRun(std::uint32_t units) {
    if (units == 0) return std::nullopt;
    // With the map, no record before m_firstFree is free: the search for
    // the first fit starts there instead of at unit 0.
    const bool mapped = m_useChainMap && m_chainReady;
    std::uint64_t from = mapped && m_firstFree < m_chain.size() ? m_chain[m_firstFree].unit : 0;
    if (mapped && m_firstFree >= m_chain.size()) return std::nullopt;
    RecordWalk walk(*this, from);
    RecordRef rec;
    bool firstFreeSeen = false;
    while (walk.next(rec, OfKind(kKindFree))) {
        const std::uint64_t start = rec.unit;
        if (mapped && !firstFreeSeen) {
            m_firstFree = chainIndex(start);
            firstFreeSeen = true;
        }
        if (!usableFree(start)) continue;
        FreeRun found{start, rec.header.units(), 1, rec.header};
        // Merge the free records that follow until the run is long enough;
        // another kind ends the run and the search goes on after it.
        while (found.units < units) {
            if (!walk.next(rec)) return std::nullopt;
            if (rec.header.kind() != kKindFree || !usableFree(rec.unit)) break;
            found.units += rec.header.units();
            found.last = rec.header;
            ++found.records;
        }
        if (found.units < units) continue;
        // The other bytes of the headers written over the run are those of
        // its last header, as the file holds them.
        if (m_useChainMap) {
            if (std::optional<RecordHeader> onDisk = ReadRecordHeader(rec.unit))
                found.last = *onDisk;
        }
        return found;
    }
    if (mapped && m_chainReady && !firstFreeSeen) m_firstFree = m_chain.size();
    return std::nullopt;
}

std::uint64_t CDiaryDataFile::Allocate(std::uint32_t units) {
    const std::optional<FreeRun> found = findFreeRun(units);
    if (!found) return 0;
    const std::uint64_t start = found->start, run = found->units;
    // The remainder first: until the header at start is rewritten the
    // chain still reads as it did, so an interruption leaves it whole.
    RecordHeader taken = found->last;
    taken.setKind(kKindFree);
    taken.setUnits(units);
    // The map learns the new shape before the header writes update it.
    std::vector<ChainLink> links{{start, units, kKindFree, 0, 0, 0, kKindFree}};
    if (run > units)
        links.push_back({start + units, static_cast<std::uint32_t>(run - units), kKindFree, 0, 0, 0,
                         kKindFree});
    chainReplace(start, links);
    if (run > units) {
        RecordHeader rest = found->last;
        rest.setUnits(static_cast<std::uint32_t>(run - units));
        writeHeaderAt(start + units, rest);
    }
    writeHeaderAt(start, taken);
    return start;
}

int CDiaryDataFile::WriteRecord(std::span<const std::uint8_t> image, std::uint64_t* unit) {
    if (!m_file || image.size() < kUnitSize || image.size() % kUnitSize != 0) return 0;
    const std::uint32_t units = GetU32(&image[kHdrUnits]);
    if (static_cast<std::uint64_t>(units) * kUnitSize != image.size()) return 0;

    // In a free stretch the header unit goes last, so that the record
    // exists in the chain only once all its units are written. Past the
    // total it goes first, so that an interrupted growth leaves a tail
    // that says what it is (the total is the commit there).
    auto writeImage = [&](std::uint64_t at) {
        if (units > 1) writeUnitBytes(at + 1, image.data() + kUnitSize, image.size() - kUnitSize);
        writeUnitBytes(at, image.data(), kUnitSize);
    };
    auto growImage = [&](std::uint64_t at) { writeUnitBytes(at, image.data(), image.size()); };
    RecordHeader header;
    std::copy_n(image.begin(), kRecordHeaderSize, header.bytes.begin());

    std::uint64_t p = Allocate(units);
    if (p != 0) {
        try {
            writeImage(p);
        } catch (...) {
            invalidateChain();
            throw;
        }
        chainSetHeader(p, header);
    } else {
        // Computed in 64 bits: the 32-bit product wraps above 33,554,432 units.
        const std::uint64_t newTotal = static_cast<std::uint64_t>(m_totalUnits) + units;
        if (newTotal * kUnitSize > kMaxFileBytes) {
            m_ui->warn(res::Msg::DataTooLarge);
            return 0;
        }
        const bool mapped = m_chainReady && !m_chainDamaged;
        p = growWith(newTotal, growImage);
        if (p == 0) return 0;
        if (mapped)
            m_chain.push_back({p, units, header.kind(), header.month(), header.day(), header.year(),
                               header.kind()});
        else
            invalidateChain();
    }
    if (unit) *unit = p;
    return 1;
}

void CDiaryDataFile::FreeRecord(std::uint64_t unit) {
    std::optional<RecordHeader> h = ReadRecordHeader(unit);
    if (!h) return;
    h->setKind(kKindFree);
    writeHeaderAt(unit, *h);
}

void CDiaryDataFile::freeWhere(bool (*match)(const RecordHeader&, const void*), const void* arg) {
    RecordWalk walk(*this, 0);
    RecordRef rec;
    while (walk.next(rec))
        if (match(rec.header, arg)) FreeRecord(rec.unit);
}

void CDiaryDataFile::FreeDate(std::int16_t year, std::uint8_t month, std::uint8_t day,
                              bool includeAttachments) {
    // One change, so that the entry goes at once for every reader.
    const Date date{year, month, day};
    RecordChange change;
    change.entry = UnitsOfDate(date, {kKindEntryHeader, kKindPlainText, kKindRichText});
    change.others = includeAttachments ? UnitsOfDate(date, {kKindStickyNote, kKindAttachment})
                                       : UnitsOfDate(date, {kKindStickyNote});
    if (change.entry.empty() && change.others.empty()) return;
    if (!ApplyChanges(std::span(&change, 1)))
        throw FileError(FileErrorKind::DiskFull, ENOSPC, "no room to free '" + m_path + "'");
}

void CDiaryDataFile::FreeAllDiaryRecords() {
    freeWhere([](const RecordHeader& h,
                 const void*) { return h.kind() >= kKindEntryHeader && h.kind() <= kKindRichText; },
              nullptr);
}

void CDiaryDataFile::FreeWeatherLists() {
    freeWhere([](const RecordHeader& h, const void*) { return h.kind() == kKindWeatherList; },
              nullptr);
}

int CDiaryDataFile::CountByKind(KindCounts& counts, std::string_view fromKey,
                                std::string_view toKey) {
    counts.fill(0);
    if (!m_file) return 0;
    if (m_totalUnits < 2) return 1;
    RecordWalk walk(*this, 1);
    RecordRef rec;
    while (walk.next(rec)) {
        std::uint8_t kind = rec.header.kind();
        if (kind >= kCountedKinds) return 0;
        std::string key = rec.header.key();
        if (fromKey <= key && key <= toKey) ++counts[kind];
    }
    return walk.damaged() ? 0 : 1;
}

std::uint64_t CDiaryDataFile::UnitsForPayload(std::uint64_t n) {
    // The payload starts at byte 44 of the first unit, which holds 84 of
    // it; the rule allots a spare unit when n - 84 is a multiple of 128.
    return n <= 84 ? 1 : (n - 84) / kUnitSize + 2;
}

}  // namespace tl::store
