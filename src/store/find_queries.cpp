// Find across days in CDiaryDataFile: the walk over titles, attachment
// names and texts by date, answered from the search cache, reading what it
// lacks in batches decoded on several threads.

#include <algorithm>
#include <atomic>
#include <new>
#include <thread>
#include <unordered_map>

#include "diary_data_file.h"
#include "record_decode.h"
#include "record_layout.h"
#include "search_cache.h"
#include "text_match.h"

namespace tl::store {

namespace {

constexpr std::uint8_t kFindKinds =
    KindBit(kKindEntryHeader) | KindBit(kKindPlainText) | KindBit(kKindAttachment);
// Records read at once: the first batch small, so that a match found early
// reads little of the diary; each next one twice as large, so that a search
// through everything starts and joins the threads only a few times.
constexpr std::size_t kFirstBatchRecords = 256;
constexpr std::size_t kLastBatchRecords = 8192;
constexpr std::size_t kBytesPerBatchRecord = 8192;
// The excerpt of a long line: the match, some text before it, this in all.
constexpr std::size_t kExcerptLead = 40;
constexpr std::size_t kExcerptMax = 160;
constexpr char16_t kEllipsis = 0x2026;

enum class Winner { None, Title, Text, Attachment };

using Record = SearchCache::Record;
using Content = SearchCache::Content;

// Runs job(i) for every i below n on this thread and up to threads - 1
// more. Jobs must not throw.
void ParallelFor(std::size_t n, unsigned threads, const std::function<void(std::size_t)>& job) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < n; i = next++) job(i);
    };
    std::vector<std::thread> helpers;
    // A thread costs more than decoding a few records.
    const std::size_t wanted = std::min<std::size_t>(threads, n / 32 + 1);
    for (std::size_t t = 1; t < wanted; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // the threads there are do the work
        }
    }
    work();
    for (std::thread& t : helpers) t.join();
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xdc00 && c <= 0xdfff;
}

// The line of text around the occurrence, cut around it when long, line
// breaks inside shown as spaces; the marks of the rule within it.
void Excerpt(std::u16string_view text, Occurrence occ, const SearchRule& rule, FindHit& hit) {
    const std::size_t before =
        occ.start == 0 ? std::u16string_view::npos : text.rfind(u'\n', occ.start - 1);
    const std::size_t lineStart = before == std::u16string_view::npos ? 0 : before + 1;
    std::size_t lineEnd = text.find(u'\n', occ.start + occ.length);
    if (lineEnd == std::u16string_view::npos) lineEnd = text.size();
    std::size_t start = lineStart, end = lineEnd;
    if (end - start > kExcerptMax) {
        start = std::max(lineStart, occ.start > kExcerptLead ? occ.start - kExcerptLead : 0);
        end = std::min(lineEnd, std::max(start + kExcerptMax, occ.start + occ.length));
        // Never half a surrogate pair.
        if (start > lineStart && IsLowSurrogate(text[start])) --start;
        if (end < lineEnd && IsLowSurrogate(text[end])) ++end;
    }
    std::u16string part(text.substr(start, end - start));
    std::replace(part.begin(), part.end(), u'\n', u' ');
    const std::size_t lead = start > lineStart ? 1 : 0;
    hit.line.clear();
    if (lead) hit.line += kEllipsis;
    hit.line += part;
    if (end < lineEnd) hit.line += kEllipsis;
    for (const Occurrence& o : rule.allMarks(part))
        hit.marks.emplace_back(o.start + lead, o.length);
    hit.textPosition = occ.start;
    hit.textLength = occ.length;
}

}  // namespace

// One search over the date index: finds the groups of records that share a
// date key in either direction and makes sure their content is at hand,
// from the cache or read in a batch. Content read beyond the cache's budget
// lives here until the next batch (the scan has passed its dates by then).
class SearchScan {
public:
    SearchScan(CDiaryDataFile& file, const SearchRule& rule)
        : m_file(file), m_cache(*file.m_searchCache), m_rule(rule) {
        buildIndex();
    }
    ~SearchScan() {
        // Told once, not once for every damaged text of the diary.
        if (m_damaged) m_file.ui().warn(res::Msg::FailedToDecompress);
    }
    SearchScan(const SearchScan&) = delete;
    SearchScan& operator=(const SearchScan&) = delete;

    const std::vector<Record>& index() const { return m_index; }
    // The first position of the scan: the first key after the given one
    // going forward, the last key before it going backward; npos when none.
    std::size_t firstPosition(const std::string& key, bool forward) const;
    // The group of equal keys holding position p: [begin, end).
    std::pair<std::size_t, std::size_t> groupAt(std::size_t p) const;
    // The winning position of the group (as the walk over the file would
    // pick it), or npos; loads the group's content first.
    std::size_t winner(std::size_t begin, std::size_t end, bool forward);
    const Content* content(std::size_t p) const;
    // The date's title from its header in the group; empty when none.
    std::u16string titleOf(std::size_t begin, std::size_t end, Date date) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    void buildIndex();
    void load(std::size_t begin, std::size_t end, bool forward);
    bool has(std::size_t p) const { return m_index[p].content || m_transient.count(p); }

    CDiaryDataFile& m_file;
    SearchCache& m_cache;
    const SearchRule& m_rule;
    std::vector<Record>& m_index = m_cache.index();
    std::unordered_map<std::size_t, Content> m_transient;
    std::size_t m_batch = kFirstBatchRecords;
    bool m_damaged = false;
};

void SearchScan::buildIndex() {
    if (m_cache.indexValid()) return;
    std::vector<Record> index;
    RecordWalk walk(m_file, 0);
    RecordRef r;
    const WalkFilter filter{kFindKinds, false, {}};
    while (walk.next(r, filter)) {
        const std::uint32_t units = r.header.units();
        index.push_back({r.unit, units, r.header.kind(),
                         Date{r.header.year(), r.header.month(), r.header.day()}, r.header.key(),
                         m_cache.find(r.unit, units, r.header.kind())});
    }
    // Within a date, file order: the walk's order decides between records.
    std::stable_sort(index.begin(), index.end(),
                     [](const Record& a, const Record& b) { return a.key < b.key; });
    m_cache.setIndex(std::move(index));
}

std::size_t SearchScan::firstPosition(const std::string& key, bool forward) const {
    if (forward) {
        auto it = std::upper_bound(m_index.begin(), m_index.end(), key,
                                   [](const std::string& k, const Record& r) { return k < r.key; });
        return it == m_index.end() ? npos : static_cast<std::size_t>(it - m_index.begin());
    }
    auto it = std::lower_bound(m_index.begin(), m_index.end(), key,
                               [](const Record& r, const std::string& k) { return r.key < k; });
    return it == m_index.begin() ? npos : static_cast<std::size_t>(it - m_index.begin()) - 1;
}

std::pair<std::size_t, std::size_t> SearchScan::groupAt(std::size_t p) const {
    std::size_t b = p, e = p + 1;
    while (b > 0 && m_index[b - 1].key == m_index[p].key) --b;
    while (e < m_index.size() && m_index[e].key == m_index[p].key) ++e;
    return {b, e};
}

const Content* SearchScan::content(std::size_t p) const {
    if (const Content* c = m_index[p].content) return c;
    auto it = m_transient.find(p);
    return it == m_transient.end() ? nullptr : &it->second;
}

// Reads what the groups from [begin, end) on (in the scan's direction)
// lack, up to a batch, whole groups only: the file is read on this thread
// in file order, the records deciphered and decoded on all threads.
void SearchScan::load(std::size_t begin, std::size_t end, bool forward) {
    m_transient.clear();
    struct Job {
        std::size_t pos;
        std::size_t size;  // the bytes to read; 0: nothing to read
        std::vector<std::uint8_t> bytes;
        Content content;
        bool read = false;
    };
    std::vector<Job> jobs;
    std::size_t bytes = 0;
    auto take = [&](std::size_t p) {
        if (has(p)) return;
        const Record& r = m_index[p];
        Job job{p, 0, {}, {}, false};
        job.content.units = r.units;
        job.content.kind = r.kind;
        const std::uint64_t recordBytes = static_cast<std::uint64_t>(r.units) * kUnitSize;
        if (r.kind == kKindEntryHeader)
            job.size = std::min<std::size_t>(r.units, kEhUnits) * kUnitSize;
        else if (r.kind == kKindAttachment)
            job.size = std::min<std::size_t>(r.units, kAttHeadUnits) * kUnitSize;
        else if (recordBytes <= kTextLimit + kUnitSize)
            job.size = static_cast<std::size_t>(recordBytes);
        else
            job.content.damaged = true;  // no text is that long
        bytes += job.size;
        jobs.push_back(std::move(job));
    };
    // Whole groups, from the one asked for on, until the batch is full.
    std::size_t b = begin, e = end;
    for (;;) {
        for (std::size_t p = b; p < e; ++p) take(p);
        if (jobs.size() >= m_batch || bytes >= m_batch * kBytesPerBatchRecord) break;
        if (forward) {
            if (e >= m_index.size()) break;
            std::tie(b, e) = groupAt(e);
        } else {
            if (b == 0) break;
            std::tie(b, e) = groupAt(b - 1);
        }
    }
    m_batch = std::min(2 * m_batch, kLastBatchRecords);
    // Reading in file order is reading forward through the file.
    std::sort(jobs.begin(), jobs.end(), [&](const Job& x, const Job& y) {
        return m_index[x.pos].unit < m_index[y.pos].unit;
    });
    File& file = *m_file.m_file;
    for (Job& job : jobs) {
        if (job.size == 0) continue;
        // An attachment's head is read whole, zeros where a short record ends.
        job.bytes.assign(job.content.kind == kKindAttachment ? kAttData : job.size, 0);
        job.read =
            file.readAt(m_index[job.pos].unit * kUnitSize, job.bytes.data(), job.size) == job.size;
    }
    const CBlowfish& cipher = m_file.m_cipher;
    ParallelFor(jobs.size(), m_file.searchThreads(), [&](std::size_t i) {
        Job& job = jobs[i];
        Content& c = job.content;
        if (!job.read) return;
        try {
            cipher.Decrypt(job.bytes.data(), job.bytes.data(), job.size);
            if (c.kind == kKindEntryHeader) {
                c.text = HeaderTitle(job.bytes, c.units);
            } else if (c.kind == kKindAttachment) {
                c.order = GetU32(&job.bytes[kAttOrder]);
                c.text = GetText(&job.bytes[kAttName], kAttachmentNameMax);
            } else if (std::optional<std::u16string> text = DecodePlainText(job.bytes)) {
                NormaliseBreaksInPlace(*text);
                c.text = std::move(*text);
            } else {
                c.damaged = true;
                return;
            }
            c.readable = true;
        } catch (const std::bad_alloc&) {
            c.damaged = true;
        }
        std::vector<std::uint8_t>().swap(job.bytes);
    });
    for (Job& job : jobs) {
        m_damaged = m_damaged || job.content.damaged;
        if (const Content* kept = m_cache.keep(m_index[job.pos].unit, job.content))
            m_index[job.pos].content = kept;
        else
            m_transient.emplace(job.pos, std::move(job.content));
    }
}

std::size_t SearchScan::winner(std::size_t begin, std::size_t end, bool forward) {
    for (std::size_t p = begin; p < end; ++p) {
        if (!has(p)) {
            load(begin, end, forward);
            break;
        }
    }
    // The walk's rules on one date, in file order: going forward the title
    // takes over from anything and the attachments from the text; going
    // backward the reverse.
    Winner w = Winner::None;
    std::size_t win = npos;
    for (std::size_t p = begin; p < end; ++p) {
        const Content* c = content(p);
        const bool candidate = c && c->readable;
        switch (m_index[p].kind) {
            case kKindPlainText:
                if (forward && (w == Winner::Title || w == Winner::Attachment)) break;
                if (candidate && m_rule.matches(c->text)) w = Winner::Text, win = p;
                break;
            case kKindEntryHeader:
                if (!forward && (w == Winner::Text || w == Winner::Attachment)) break;
                if (candidate && m_rule.matches(c->text)) w = Winner::Title, win = p;
                break;
            case kKindAttachment:
                if (w == (forward ? Winner::Title : Winner::Text)) break;
                if (candidate && m_rule.matches(c->text)) w = Winner::Attachment, win = p;
                break;
        }
    }
    if (w != Winner::Attachment) return win;
    // Among the date's matching attachments the first in attachment order
    // going forward (orders from 65535 on never win), the last going
    // backward.
    const Date date = m_index[win].date;
    std::uint32_t best = forward ? 65535 : 0;
    for (std::size_t p = begin; p < end; ++p) {
        const Content* c = content(p);
        if (m_index[p].kind != kKindAttachment || !(m_index[p].date == date) || !c || !c->readable)
            continue;
        if ((forward ? c->order < best : c->order > best) && m_rule.matches(c->text))
            best = c->order, win = p;
    }
    return win;
}

std::u16string SearchScan::titleOf(std::size_t begin, std::size_t end, Date date) const {
    for (std::size_t p = begin; p < end; ++p) {
        const Content* c = content(p);
        if (m_index[p].kind == kKindEntryHeader && m_index[p].date == date && c && c->readable)
            return c->text;
    }
    return {};
}

int Contains(std::u16string_view text, std::u16string_view needle, bool matchCase) {
    return Needle(needle, matchCase).occursIn(NormaliseBreaks(text)) ? 1 : 0;
}

int CDiaryDataFile::TextMatches(std::u16string_view text, bool matchCase) const {
    return SearchRule(m_search, matchCase).matches(NormaliseBreaks(text)) ? 1 : 0;
}

unsigned CDiaryDataFile::searchThreads() const {
    if (m_searchThreads) return m_searchThreads;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

void CDiaryDataFile::SetSearchCacheBudget(std::size_t bytes) {
    m_searchCache->setBudget(bytes);
}

std::size_t CDiaryDataFile::SearchCacheBytes() const {
    return m_searchCache->keptBytes();
}

namespace {

// The nearest matching group from date on: the winning record's unit.
std::uint64_t NearestMatch(SearchScan& scan, Date date, bool forward) {
    const auto& index = scan.index();
    for (std::size_t p = scan.firstPosition(DateKey(date.year, date.month, date.day), forward);
         p != SearchScan::npos;) {
        auto [b, e] = scan.groupAt(p);
        if (std::size_t win = scan.winner(b, e, forward); win != SearchScan::npos)
            return index[win].unit;
        if (forward)
            p = e < index.size() ? e : SearchScan::npos;
        else
            p = b > 0 ? b - 1 : SearchScan::npos;
    }
    return 0;
}

}  // namespace

std::uint64_t CDiaryDataFile::FindNextMatch(Date date, bool matchCase) {
    const SearchRule rule(m_search, matchCase);
    SearchScan scan(*this, rule);
    return NearestMatch(scan, date, true);
}

std::uint64_t CDiaryDataFile::FindPreviousMatch(Date date, bool matchCase) {
    const SearchRule rule(m_search, matchCase);
    SearchScan scan(*this, rule);
    return NearestMatch(scan, date, false);
}

void CDiaryDataFile::FindMatches(MatchScan& state, const std::function<void(FindHit&&)>& onHit,
                                 const std::function<bool(double)>& more) {
    if (state.finished) return;
    const SearchRule rule(m_search, state.matchCase);
    SearchScan scan(*this, rule);
    const auto& index = scan.index();
    const std::string fromKey = DateKey(state.from.year, state.from.month, state.from.day);
    const std::size_t origin = scan.firstPosition(fromKey, state.forward);
    // Progress: the share of the range's records behind the scan.
    const double range = origin == SearchScan::npos ? 1.0
                         : state.forward            ? static_cast<double>(index.size() - origin)
                                                    : static_cast<double>(origin + 1);
    std::size_t p = scan.firstPosition(state.started ? state.lastKey : fromKey, state.forward);
    state.started = true;
    while (p != SearchScan::npos) {
        auto [b, e] = scan.groupAt(p);
        if (std::size_t win = scan.winner(b, e, state.forward); win != SearchScan::npos) {
            const Record& r = index[win];
            FindHit hit;
            hit.date = r.date;
            hit.unit = r.unit;
            hit.kind = r.kind;
            hit.title = scan.titleOf(b, e, r.date);
            const std::u16string& text = scan.content(win)->text;
            std::optional<Occurrence> occ = r.kind != kKindPlainText ? std::nullopt
                                            : state.forward          ? rule.firstMark(text)
                                                            : rule.lastMark(text, text.size());
            if (occ) {
                Excerpt(text, *occ, rule, hit);
            } else if (r.kind == kKindPlainText) {
                hit.line = text.substr(0, std::min(text.find(u'\n'), kExcerptMax));
            } else {
                hit.line = text;
                for (const Occurrence& o : rule.allMarks(text))
                    hit.marks.emplace_back(o.start, o.length);
            }
            onHit(std::move(hit));
        }
        state.lastKey = index[b].key;
        if (state.forward)
            p = e < index.size() ? e : SearchScan::npos;
        else
            p = b > 0 ? b - 1 : SearchScan::npos;
        if (p == SearchScan::npos) break;
        const double done =
            state.forward ? static_cast<double>(p - origin) : static_cast<double>(origin - p);
        if (more && !more(std::clamp(done / range, 0.0, 1.0))) return;
    }
    state.finished = true;
}

}  // namespace tl::store
