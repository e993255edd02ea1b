// Saving at once: the changes that make every save of CDiaryDataFile
// appear whole or not at all, and the reading rule for what a save that
// was interrupted leaves behind.
//
// A change passes through these states; in each, every reader reads every
// date it touches as its whole old or its whole new version:
//  S0  the new records are written inside one free record, or past the
//      total and then committed as one free record: the old version is all
//      a walk finds.
//  S1  the first unit of the new records is written (one unit write): the
//      walk now steps through the new records, laid end to end with the
//      date's header first. Both versions exist.
//  S2  the old records go: an entry laid end to end by one write that
//      turns its header into one free record over all of them; any other
//      old entry header first, then the rest. Old records of other kinds
//      (sticky notes, the weather list) go one by one.
//  S3  only the new version exists.
// A sync separates S0 from S1 and S1 from S2, and ends S3, so that a power
// cut can never keep a later step without the earlier one.
//
// The reading rule (hideLeftBehind) decides S1 and S2 for every reader
// alike: of a date's entry headers the first in the chain counts; its text
// and rich text are the ones that follow it directly, or, where it has
// none of a kind there, the first of that kind that follows no header
// directly. Everything else of the date is left behind. A date without any
// header keeps its first text and rich text: they read as an untitled
// entry (what a deletion leaves once the header is free comes back rather
// than a text that nothing would ever show is lost). Of sticky notes and
// weather lists the first counts. An old entry laid out otherwise whose
// kinds the new version would not all replace (a deletion replaces none)
// is first copied end to end (convertEntry), so that S2 never shows a
// stray record of the old version beside the new one.

#include <algorithm>

#include "diary_data_file.h"

namespace tl::store {

namespace {

bool IsEntryKind(std::uint8_t k) {
    return k == kKindEntryHeader || k == kKindPlainText || k == kKindRichText;
}

std::uint32_t DateCode(std::int16_t year, std::uint8_t month, std::uint8_t day) {
    return static_cast<std::uint32_t>(static_cast<std::uint16_t>(year)) << 16 |
           static_cast<std::uint32_t>(month) << 8 | day;
}

RecordHeader HeaderOf(const std::vector<std::uint8_t>& image) {
    RecordHeader h;
    std::copy_n(image.begin(), kRecordHeaderSize, h.bytes.begin());
    return h;
}

// The old records of a change as they lie, in file order.
std::vector<RecordRef> InFileOrder(CDiaryDataFile& file, const std::vector<std::uint64_t>& units) {
    std::vector<RecordRef> records;
    for (std::uint64_t u : units)
        if (std::optional<RecordHeader> h = file.ReadRecordHeader(u)) records.push_back({u, *h});
    std::sort(records.begin(), records.end(),
              [](const RecordRef& a, const RecordRef& b) { return a.unit < b.unit; });
    return records;
}

// Whether an entry's records are its header followed directly by at most
// one text and one rich text: one write can then free them all.
bool LaidEndToEnd(const std::vector<RecordRef>& records) {
    if (records.empty() || records.front().header.kind() != kKindEntryHeader) return false;
    bool text = false, rich = false;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const RecordRef& before = records[i - 1];
        if (before.unit + before.header.units() != records[i].unit) return false;
        const std::uint8_t k = records[i].header.kind();
        bool& seen = k == kKindPlainText ? text : rich;
        if ((k != kKindPlainText && k != kKindRichText) || seen) return false;
        seen = true;
    }
    return true;
}

// Thrown inside a change that is refused before anything can be seen (the
// size limit, no room to grow; the user has been told).
struct Refused {};

std::uint64_t UnitsOf(const std::vector<std::vector<std::uint8_t>>& images) {
    std::uint64_t units = 0;
    for (const auto& image : images) units += image.size() / kUnitSize;
    return units;
}

}  // namespace

// --- The reading rule ---------------------------------------------------------

void CDiaryDataFile::hideLeftBehind() {
    // (date, index) of every record that a date has at most one of.
    std::vector<std::uint64_t> keyed;
    bool weatherSeen = false;
    for (std::size_t i = 0; i < m_chain.size(); ++i) {
        ChainLink& l = m_chain[i];
        if (l.stored == kKindWeatherList) {
            if (weatherSeen) l.kind = kKindFree;
            weatherSeen = true;
        } else if (IsEntryKind(l.stored) || l.stored == kKindStickyNote) {
            keyed.push_back(static_cast<std::uint64_t>(DateCode(l.year, l.month, l.day)) << 32 | i);
        }
    }
    std::sort(keyed.begin(), keyed.end());
    auto sameDate = [](const ChainLink& a, const ChainLink& b) {
        return a.year == b.year && a.month == b.month && a.day == b.day;
    };
    // The records of one kind that follow the header at h directly.
    auto follower = [&](std::size_t h, std::uint8_t kind) {
        bool text = false, rich = false;
        for (std::size_t j = h + 1; j < m_chain.size(); ++j) {
            const ChainLink& l = m_chain[j];
            if (!sameDate(l, m_chain[h])) break;
            bool& seen = l.stored == kKindPlainText ? text : rich;
            if ((l.stored != kKindPlainText && l.stored != kKindRichText) || seen) break;
            seen = true;
            if (l.stored == kind) return j;
        }
        return m_chain.size();
    };
    std::vector<std::size_t> run;
    for (std::size_t a = 0; a < keyed.size();) {
        std::size_t b = a;
        run.clear();
        int counts[8] = {};
        while (b < keyed.size() && keyed[b] >> 32 == keyed[a] >> 32) {
            const auto i = static_cast<std::size_t>(keyed[b] & 0xffffffffu);
            run.push_back(i);
            ++counts[m_chain[i].stored];
            ++b;
        }
        a = b;
        if (counts[kKindEntryHeader] <= 1 && counts[kKindPlainText] <= 1 &&
            counts[kKindRichText] <= 1 && counts[kKindStickyNote] <= 1)
            continue;
        const std::size_t none = m_chain.size();
        std::size_t header = none;
        std::vector<std::size_t> following;  // records that follow some header directly
        bool stickySeen = false;
        for (std::size_t i : run) {
            if (m_chain[i].stored == kKindStickyNote) {
                if (stickySeen) m_chain[i].kind = kKindFree;
                stickySeen = true;
            } else if (m_chain[i].stored == kKindEntryHeader) {
                if (header == none) header = i;
                for (std::uint8_t k : {kKindPlainText, kKindRichText})
                    if (std::size_t f = follower(i, k); f != none) following.push_back(f);
            }
        }
        auto keep = [&](std::uint8_t kind) {
            if (header != none)
                if (std::size_t f = follower(header, kind); f != none) return f;
            for (std::size_t i : run)
                if (m_chain[i].stored == kind &&
                    std::find(following.begin(), following.end(), i) == following.end())
                    return i;
            return none;
        };
        const std::size_t text = keep(kKindPlainText), rich = keep(kKindRichText);
        for (std::size_t i : run)
            if (IsEntryKind(m_chain[i].stored) && i != header && i != text && i != rich)
                m_chain[i].kind = kKindFree;
    }
}

void CDiaryDataFile::freeLeftBehind() {
    std::vector<std::uint64_t> contents, headers, singles;
    for (const ChainLink& l : m_chain) {
        if (!l.hidden()) continue;
        auto& list = l.stored == kKindEntryHeader                              ? headers
                     : l.stored == kKindPlainText || l.stored == kKindRichText ? contents
                                                                               : singles;
        list.push_back(l.unit);
    }
    if (contents.empty() && headers.empty() && singles.empty()) return;
    // Freeing in this order never changes what the rule picks: the last of
    // the records following a header first, so that none becomes stray;
    // headers once nothing follows them.
    std::reverse(contents.begin(), contents.end());
    try {
        for (auto* list : {&contents, &singles, &headers})
            for (std::uint64_t u : *list) FreeRecord(u);
        Sync();
    } catch (const FileError&) {
        // They stay hidden; the next check tries again.
    }
}

bool CDiaryDataFile::usableFree(std::uint64_t unit) {
    if (std::find(m_reserved.begin(), m_reserved.end(), unit) != m_reserved.end()) return false;
    if (ChainLink* l = chainAt(unit)) return !l->hidden();
    return true;
}

void CDiaryDataFile::chainReplace(std::uint64_t unit, const std::vector<ChainLink>& links) {
    if (!m_chainReady) return;
    const std::size_t first = chainIndex(unit);
    std::uint64_t want = 0;
    for (const ChainLink& l : links) want += l.units;
    std::size_t end = first;
    std::uint64_t covered = 0;
    while (end < m_chain.size() && covered < want) covered += m_chain[end++].units;
    if (first >= m_chain.size() || m_chain[first].unit != unit || covered != want) {
        // The map's picture does not fit: trust the file.
        invalidateChain();
        return;
    }
    m_chain.erase(m_chain.begin() + static_cast<std::ptrdiff_t>(first),
                  m_chain.begin() + static_cast<std::ptrdiff_t>(end));
    m_chain.insert(m_chain.begin() + static_cast<std::ptrdiff_t>(first), links.begin(),
                   links.end());
    m_firstFree = std::min(m_firstFree, first);
}

std::vector<std::uint64_t> CDiaryDataFile::UnitsOfDate(Date date,
                                                       std::initializer_list<std::uint8_t> kinds) {
    std::vector<std::uint64_t> units;
    if (m_useChainMap && !m_chainReady) loadChain();
    if (m_useChainMap && m_chainReady) {
        for (const ChainLink& l : m_chain)
            if (l.year == date.year && l.month == date.month && l.day == date.day &&
                std::find(kinds.begin(), kinds.end(), l.stored) != kinds.end())
                units.push_back(l.unit);
        return units;
    }
    std::uint8_t mask = 0;
    for (std::uint8_t k : kinds) mask |= KindBit(k);
    RecordWalk walk(*this, 0);
    RecordRef rec;
    while (walk.next(rec, OfKindAndDate(mask, date))) units.push_back(rec.unit);
    return units;
}

// --- Changes -----------------------------------------------------------------

int CDiaryDataFile::ReplaceRecords(std::span<const std::vector<std::uint8_t>> images,
                                   std::span<const std::uint64_t> replaced) {
    RecordChange change;
    change.images.assign(images.begin(), images.end());
    change.others.assign(replaced.begin(), replaced.end());
    return ApplyChanges(std::span(&change, 1));
}

int CDiaryDataFile::ApplyChanges(std::span<RecordChange> changes) {
    for (RecordChange& c : changes) {
        for (const auto& image : c.images)
            if (image.size() < kUnitSize || image.size() % kUnitSize != 0 ||
                static_cast<std::uint64_t>(HeaderOf(image).units()) * kUnitSize != image.size())
                return 0;
        if (!convertEntry(c)) return 0;
    }
    return applyChanges(changes);
}

int CDiaryDataFile::convertEntry(RecordChange& change) {
    if (change.entry.size() < 2) return 1;
    const std::vector<RecordRef> old = InFileOrder(*this, change.entry);
    if (LaidEndToEnd(old)) return 1;
    bool has[8] = {};
    for (const auto& image : change.images) has[HeaderOf(image).kind() & 7] = true;
    bool lacking = false;
    for (const RecordRef& r : old) lacking |= !has[r.header.kind() & 7];
    // A deletion too: the texts a header-first deletion leaves would read
    // as an untitled entry.
    if (!lacking) return 1;
    // The version readers see, copied end to end: header, text, rich text.
    RecordChange copy;
    copy.entry = change.entry;
    for (std::uint8_t kind : {kKindEntryHeader, kKindPlainText, kKindRichText}) {
        for (const RecordRef& r : old) {
            if (r.header.kind() != kind) continue;
            if (ChainLink* l = chainAt(r.unit); l && l->hidden()) continue;
            std::vector<std::uint8_t> image(static_cast<std::size_t>(r.header.units()) * kUnitSize);
            if (ReadBytes(r.unit, image.data(), image.size()) != image.size()) return 0;
            copy.images.push_back(std::move(image));
            break;
        }
    }
    if (!applyChanges(std::span(&copy, 1))) return 0;
    change.entry.clear();
    std::uint64_t at = copy.placed;
    for (const auto& image : copy.images) {
        change.entry.push_back(at);
        at += image.size() / kUnitSize;
    }
    return 1;
}

void CDiaryDataFile::placeChanges(std::span<RecordChange> changes, std::vector<Placement>& placed) {
    // The units behind a change's first one, and the header of what its
    // records leave of the stretch; all inside the free record until the
    // reveal. (The first unit stays the free record's header till then.)
    auto writeBody = [&](const Placement& p) {
        const RecordChange& c = *p.change;
        std::uint64_t at = c.placed;
        writeUnitBytes(at + 1, c.images.front().data() + kUnitSize,
                       c.images.front().size() - kUnitSize);
        at += c.images.front().size() / kUnitSize;
        for (std::size_t i = 1; i < c.images.size(); ++i) {
            writeUnitBytes(at, c.images[i].data(), c.images[i].size());
            at += c.images[i].size() / kUnitSize;
        }
        if (p.stretch > UnitsOf(c.images)) {
            RecordHeader rest = p.rest;
            rest.setKind(kKindFree);
            rest.setUnits(static_cast<std::uint32_t>(p.stretch - UnitsOf(c.images)));
            writeUnitBytes(at, rest.bytes.data(), rest.bytes.size());
        }
    };
    std::vector<RecordChange*> growing;
    bool merged = false;
    for (RecordChange& c : changes) {
        if (c.images.empty()) continue;
        const auto units = static_cast<std::uint32_t>(UnitsOf(c.images));
        const std::optional<FreeRun> run = findFreeRun(units);
        if (!run) {
            growing.push_back(&c);
            continue;
        }
        c.placed = run->start;
        m_reserved.push_back(c.placed);
        placed.push_back({&c, run->units, run->last});
        if (run->records > 1) {
            // Neighbouring free records become one: the new records may
            // then be written over the headers between them.
            RecordHeader cover = run->last;
            cover.setKind(kKindFree);
            cover.setUnits(static_cast<std::uint32_t>(run->units));
            chainReplace(run->start,
                         {{run->start, static_cast<std::uint32_t>(run->units), kKindFree,
                           cover.month(), cover.day(), cover.year(), kKindFree}});
            writeHeaderAt(run->start, cover);
            merged = true;
        }
    }
    try {
        // The joined free records reach the disk before anything is
        // written over the headers they no longer need.
        if (merged) Sync();
        for (const Placement& p : placed) writeBody(p);
    } catch (...) {
        invalidateChain();
        throw;
    }
    if (growing.empty()) return;
    std::uint64_t units = 0;
    for (const RecordChange* c : growing) units += UnitsOf(c->images);
    const std::uint64_t newTotal = static_cast<std::uint64_t>(m_totalUnits) + units;
    if (newTotal * kUnitSize > kMaxFileBytes) {
        m_ui->warn(res::Msg::DataTooLarge);
        throw Refused{};
    }
    const bool mapped = m_chainReady && !m_chainDamaged;
    // Past the total one free record covers the growth; each change takes
    // its part, the rest of the growth after it being the next one's.
    const std::size_t first = placed.size();
    auto fill = [&](std::uint64_t at) {
        placed.resize(first);
        RecordHeader cover;
        cover.setKind(kKindFree);
        cover.setUnits(static_cast<std::uint32_t>(units));
        std::array<std::uint8_t, kUnitSize> unit{};
        std::copy(cover.bytes.begin(), cover.bytes.end(), unit.begin());
        writeUnitBytes(at, unit.data(), unit.size());
        std::uint64_t rest = units;
        for (RecordChange* c : growing) {
            c->placed = at;
            placed.push_back({c, rest, RecordHeader{}});
            writeBody(placed.back());
            const std::uint64_t n = UnitsOf(c->images);
            at += n;
            rest -= n;
        }
    };
    const std::uint64_t start = growWith(newTotal, fill, true);
    if (start == 0) throw Refused{};
    if (mapped)
        m_chain.push_back(
            {start, static_cast<std::uint32_t>(units), kKindFree, 0, 0, 0, kKindFree});
    else
        invalidateChain();
    for (const RecordChange* c : growing) m_reserved.push_back(c->placed);
}

void CDiaryDataFile::hideOld(RecordChange& change, bool endToEnd, bool first,
                             std::vector<RecordRef>& hidden) {
    auto hide = [&](const RecordRef& r, const RecordHeader& as) {
        writeUnitBytes(r.unit, as.bytes.data(), as.bytes.size());
        hidden.push_back(r);
    };
    auto free = [&](const RecordRef& r) {
        RecordHeader h = r.header;
        h.setKind(kKindFree);
        hide(r, h);
        chainSetHeader(r.unit, h);
    };
    const std::vector<RecordRef> old = InFileOrder(*this, change.entry);
    if (endToEnd && first) {
        std::uint64_t units = 0;
        for (const RecordRef& r : old) units += r.header.units();
        RecordHeader cover = old.front().header;
        cover.setKind(kKindFree);
        cover.setUnits(static_cast<std::uint32_t>(units));
        hide(old.front(), cover);
        chainReplace(old.front().unit,
                     {{old.front().unit, static_cast<std::uint32_t>(units), kKindFree,
                       cover.month(), cover.day(), cover.year(), kKindFree}});
    } else if (!endToEnd) {
        // Laid out otherwise: its headers go first (and reach the disk
        // first), so that no order in which the disk keeps the rest shows
        // a header without its text.
        for (const RecordRef& r : old)
            if ((r.header.kind() == kKindEntryHeader) == first) free(r);
    }
    if (first)
        for (const RecordRef& r : InFileOrder(*this, change.others)) free(r);
}

int CDiaryDataFile::applyChanges(std::span<RecordChange> changes) {
    if (!m_file) return 0;
    struct Unreserve {
        std::vector<std::uint64_t>& reserved;
        ~Unreserve() { reserved.clear(); }
    } unreserve{m_reserved};
    std::vector<Placement> placed;
    try {
        placeChanges(changes, placed);
    } catch (const Refused&) {
        return 0;
    }
    std::sort(placed.begin(), placed.end(), [](const Placement& a, const Placement& b) {
        return a.change->placed < b.change->placed;
    });
    std::vector<const Placement*> revealed;
    std::vector<RecordRef> hidden;
    try {
        Sync();
        for (const Placement& p : placed) {
            const RecordChange& c = *p.change;
            writeUnitBytes(c.placed, c.images.front().data(), kUnitSize);
            revealed.push_back(&p);
            std::vector<ChainLink> links;
            std::uint64_t unit = c.placed;
            for (const auto& image : c.images) {
                const RecordHeader h = HeaderOf(image);
                links.push_back(
                    {unit, h.units(), h.kind(), h.month(), h.day(), h.year(), h.kind()});
                unit += h.units();
            }
            if (p.stretch > unit - c.placed)
                links.push_back({unit, static_cast<std::uint32_t>(p.stretch - (unit - c.placed)),
                                 kKindFree, p.rest.month(), p.rest.day(), p.rest.year(),
                                 kKindFree});
            chainReplace(c.placed, links);
        }
        Sync();
        std::vector<bool> endToEnd;
        bool scattered = false;
        for (const RecordChange& c : changes) {
            const std::vector<RecordRef> old = InFileOrder(*this, c.entry);
            endToEnd.push_back(LaidEndToEnd(old));
            scattered |= !endToEnd.back() && old.size() > 1;
        }
        for (std::size_t i = 0; i < changes.size(); ++i)
            hideOld(changes[i], endToEnd[i], true, hidden);
        if (scattered) {
            Sync();
            for (std::size_t i = 0; i < changes.size(); ++i)
                hideOld(changes[i], endToEnd[i], false, hidden);
        }
        Sync();
    } catch (const FileError&) {
        // Back to the old versions: the old records first, then the new
        // ones become free records again (each state a reader can meet is
        // one the rule reads as a whole version).
        try {
            for (auto it = hidden.rbegin(); it != hidden.rend(); ++it)
                writeUnitBytes(it->unit, it->header.bytes.data(), it->header.bytes.size());
            for (auto it = revealed.rbegin(); it != revealed.rend(); ++it) {
                const RecordChange& c = *(*it)->change;
                RecordHeader cover = HeaderOf(c.images.front());
                cover.setKind(kKindFree);
                cover.setUnits(static_cast<std::uint32_t>(UnitsOf(c.images)));
                writeUnitBytes(c.placed, cover.bytes.data(), cover.bytes.size());
            }
        } catch (const FileError&) {
            // The file refuses every write: what is on disk is what remains,
            // and the rule reads it whole.
        }
        invalidateChain();
        throw;
    }
    return 1;
}

}  // namespace tl::store
