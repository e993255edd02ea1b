#include "import.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <new>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "date_names.h"
#include "exchange_texts.h"
#include "folder_io.h"
#include "import_text.h"
#include "progress_scope.h"
#include "rtf/rtf_plain_text.h"
#include "store/attachment_names.h"
#include "store/codepage.h"
#include "store/record_images.h"
#include "worker_pool.h"

namespace tl::exchange {

using store::AttachmentImage;
using store::AttachmentSource;
using store::EntryHeaderImage;
using store::Image;
using store::PlainTextImage;
using store::RichTextImage;

namespace {

using store::Date;

// Work in flight between the reading thread and the writes: enough to keep
// both cores compressing, little enough for the memory bound.
constexpr std::size_t kMaxPendingItems = 32;
constexpr std::size_t kMaxPendingBytes = 48u << 20;
// Items written as one change of the data file (a few syncs each, not a
// few per item), and the bytes such a batch may hold.
constexpr std::size_t kBatchItems = 64;
constexpr std::size_t kBatchBytes = 16u << 20;
// How long the writing thread waits for a worker before it lets the
// progress window handle events again.
constexpr std::chrono::milliseconds kWaitStep{5};

bool EndsWithTxt(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".txt";
}

std::optional<Date> DateOfName(std::string_view name) {
    Date d;
    if (!ParseDateName(name, &d) || !IsValidDate(d.year, d.month, d.day)) return std::nullopt;
    return d;
}

struct TextFile {
    std::string path;
    std::string rtfPath;  // the rich text beside it; empty when none
    Date date;
};

struct AttachmentFolder {
    std::string path;
    Date date;
    std::vector<std::string> files;
};

std::vector<TextFile> TextFiles(const std::string& folder) {
    const std::vector<FolderEntry> entries = ListFolder(folder);
    std::unordered_set<std::string> regular;
    for (const FolderEntry& e : entries)
        if (e.isFile) regular.insert(e.name);
    std::vector<TextFile> files;
    for (const FolderEntry& e : entries) {
        if (!e.isFile || !EndsWithTxt(e.name)) continue;
        const std::string stem = e.name.substr(0, e.name.size() - 4);
        if (auto d = DateOfName(stem)) {
            const std::string rtf = stem + ".rtf";
            files.push_back({JoinPath(folder, e.name),
                             regular.count(rtf) ? JoinPath(folder, rtf) : std::string(), *d});
        }
    }
    return files;
}

// A folder exported from a diary of years has thousands of subfolders:
// the user interface is kept alive between their listings.
std::vector<AttachmentFolder> AttachmentFolders(const std::string& folder, res::UserInterface& ui) {
    std::vector<AttachmentFolder> folders;
    for (const FolderEntry& e : ListFolder(folder)) {
        if (!e.isFolder) continue;
        auto d = DateOfName(e.name);
        if (!d) continue;
        ui.keepAlive();
        AttachmentFolder f{JoinPath(folder, e.name), *d, {}};
        for (const FolderEntry& inner : ListFolder(f.path))
            if (inner.isFile) f.files.push_back(inner.name);
        folders.push_back(std::move(f));
    }
    return folders;
}

// One item of the import, ready to be written.
struct Prepared {
    // Skip: nothing to write by design; Failed: the item could not be
    // imported (told when its turn comes).
    enum class Kind { Skip, Failed, Entry, Attachment } kind = Kind::Skip;
    Date date;
    // Entry: header, plain text and maybe rich text; none deletes the
    // entry. Attachment: its one record.
    std::vector<Image> images;
    std::optional<res::Msg> error;  // told when the item's turn comes
};

Prepared PrepareEntry(Date date, const std::vector<std::uint8_t>& bytes,
                      const std::vector<std::uint8_t>& rtf, Encoding encoding) {
    Prepared p{Prepared::Kind::Entry, date, {}, {}};
    EntryText e = SplitEntryText(DecodeText(bytes, encoding));
    // A folder exported as rich text: the .txt holds the header lines only
    // and the text is in the .rtf beside it.
    static constexpr std::string_view kRtfSignature = "{\\rtf";
    const bool useRtf = e.text.empty() && rtf.size() >= kRtfSignature.size() &&
                        std::equal(kRtfSignature.begin(), kRtfSignature.end(), rtf.begin());
    if (useRtf)
        e.text = tl::rtf::RtfToPlainText(
            std::string_view(reinterpret_cast<const char*>(rtf.data()), rtf.size()));
    if (e.title.empty() && e.weather.empty() && e.text.empty() && !useRtf) return p;
    p.images.push_back(EntryHeaderImage(date, e.title.substr(0, store::kTitleMax), e.weather));
    auto text = PlainTextImage(date, e.text);
    if (!text) return {Prepared::Kind::Failed, date, {}, res::Msg::FailedToCompress};
    p.images.push_back(std::move(*text));
    if (useRtf) {
        auto rich = RichTextImage(date, rtf);
        if (!rich) return {Prepared::Kind::Failed, date, {}, res::Msg::FailedToCompress};
        p.images.push_back(std::move(*rich));
    }
    return p;
}

// The checks of attaching a file, on the reading thread; nullopt when the
// file is refused (told).
std::optional<AttachmentSource> ReadAttachment(const std::string& path, const std::string& name,
                                               Date date, res::UserInterface& ui) {
    AttachmentSource s;
    s.date = date;
    s.name = store::Utf8ToUtf16(name);
    auto status = store::QueryFileStatus(path);
    if (!store::IsAttachableFile(status, path, ui) ||
        !store::IsAttachableSize(s.name, status->size, ui))
        return std::nullopt;
    if (!ReadWholeFile(path, s.bytes) || s.bytes.empty() ||
        s.bytes.size() >= store::kAttachmentLimit) {
        ui.warn(res::Msg::FileReadFailed);
        return std::nullopt;
    }
    s.status = *status;
    return s;
}

class Importer {
public:
    Importer(store::CDiaryDataFile& file, std::uint64_t total)
        : m_file(file), m_ui(file.ui()), m_total(total), m_progress(m_ui, res::Msg::DuringImport) {}
    ~Importer() {
        // Jobs still queued finish before the pool goes (at once: they see
        // the stop); their results are dropped with the window.
        m_stop->store(true);
        for (auto& [future, bytes] : m_window) future.wait();
    }

    // Queues a job; false when the import must stop (cancelled or failed).
    bool add(std::function<Prepared()> job, std::size_t bytes);
    // An item that is not imported: by design, or because it failed.
    bool skip(bool failed) {
        return add(
            [failed] {
                Prepared p;
                p.kind = failed ? Prepared::Kind::Failed : Prepared::Kind::Skip;
                return p;
            },
            0);
    }
    std::uint64_t failed() const { return m_failed; }
    std::uint64_t unreached() const { return m_total > m_items ? m_total - m_items : 0; }
    // Writes what is queued; the result of the import.
    int finish();
    int result() const { return m_result; }
    void fail() {
        if (m_result == 1) m_result = 0;
    }

    // The date's attachment names and largest order, with what this import
    // has added.
    struct DateAttachments {
        std::set<std::u16string> names;
        std::uint32_t maxOrder = 0;
    };
    DateAttachments& attachmentsOf(Date date);

private:
    // The records of a date that an entry save replaces.
    struct DateUnits {
        std::vector<std::uint64_t> entry, sticky;
    };
    bool writeFront();
    // Cancelled: the jobs not yet started skip their work.
    bool cancelled() {
        m_result = 2;
        m_stop->store(true);
        return false;
    }
    void write(Prepared& p);
    DateUnits& unitsOf(Date date);
    void stage(store::CDiaryDataFile::RecordChange change, Date date, bool entry);
    // Applies the staged changes; a batch refused as a whole (a full disk)
    // is tried item by item, so that what fits goes in.
    void flush();
    void applied(std::size_t i);

    store::CDiaryDataFile& m_file;
    res::UserInterface& m_ui;
    std::uint64_t m_total;
    std::uint64_t m_items = 0;
    std::uint64_t m_failed = 0;
    ProgressScope m_progress;
    int m_result = 1;
    std::deque<std::pair<std::future<Prepared>, std::size_t>> m_window;
    std::size_t m_pendingBytes = 0;
    // By date, built by one walk on first use and kept by every write.
    std::unordered_map<int, DateUnits> m_units;
    bool m_indexed = false;
    // The batch: changes and, beside them, what each one is.
    struct Staged {
        Date date;
        bool entry;
    };
    std::vector<store::CDiaryDataFile::RecordChange> m_batch;
    std::vector<Staged> m_staged;
    std::size_t m_batchBytes = 0;
    std::unordered_map<int, DateAttachments> m_attachments;
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    WorkerPool m_pool;  // last: its threads end before the rest goes
};

bool Importer::add(std::function<Prepared()> job, std::size_t bytes) {
    if (m_result != 1) return false;
    auto task = std::make_shared<std::packaged_task<Prepared()>>(
        [job = std::move(job), stop = m_stop] { return stop->load() ? Prepared{} : job(); });
    m_window.emplace_back(task->get_future(), bytes);
    m_pendingBytes += bytes;
    m_pool.submit([task] { (*task)(); });
    while (m_window.size() >= kMaxPendingItems ||
           (m_pendingBytes > kMaxPendingBytes && m_window.size() > 1))
        if (!writeFront()) return false;
    return true;
}

bool Importer::writeFront() {
    // While the workers are busy the window keeps answering: its Cancel
    // is seen here, not only after the item.
    while (m_window.front().first.wait_for(kWaitStep) != std::future_status::ready)
        if (!m_progress.step(m_items, m_total)) return cancelled();
    auto [future, bytes] = std::move(m_window.front());
    m_window.pop_front();
    m_pendingBytes -= bytes;
    Prepared p = future.get();
    try {
        write(p);
    } catch (const store::FileError& e) {
        m_ui.warn(e.kind() == store::FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                             : res::Msg::WriteToDiskFailure);
        m_result = 0;
        return false;
    }
    if (!m_progress.step(++m_items, m_total)) return cancelled();
    return true;
}

void Importer::write(Prepared& p) {
    if (p.error) m_ui.warn(*p.error);
    store::CDiaryDataFile::RecordChange change;
    switch (p.kind) {
        case Prepared::Kind::Skip:
            return;
        case Prepared::Kind::Failed:
            ++m_failed;
            return;
        case Prepared::Kind::Entry: {
            // No images: the entry is deleted.
            DateUnits& units = unitsOf(p.date);
            change.images = std::move(p.images);
            change.entry = units.entry;
            change.others = units.sticky;
            stage(std::move(change), p.date, true);
            return;
        }
        case Prepared::Kind::Attachment:
            change.images = std::move(p.images);
            stage(std::move(change), p.date, false);
            return;
    }
}

Importer::DateUnits& Importer::unitsOf(Date date) {
    if (!m_indexed) {
        store::RecordWalk walk(m_file, 0);
        store::RecordRef rec;
        while (walk.next(rec)) {
            const std::uint8_t k = rec.header.kind();
            DateUnits& units =
                m_units[DateNumber({rec.header.year(), rec.header.month(), rec.header.day()})];
            if (k == store::kKindEntryHeader || k == store::kKindPlainText ||
                k == store::kKindRichText)
                units.entry.push_back(rec.unit);
            else if (k == store::kKindStickyNote)
                units.sticky.push_back(rec.unit);
        }
        m_indexed = true;
    }
    return m_units[DateNumber(date)];
}

void Importer::stage(store::CDiaryDataFile::RecordChange change, Date date, bool entry) {
    // A date saved twice in one batch: the second save replaces the first,
    // whose units are known only once it is written.
    if (entry && std::any_of(m_staged.begin(), m_staged.end(),
                             [&](const Staged& s) { return s.entry && s.date == date; }))
        flush();
    for (const Image& image : change.images) m_batchBytes += image.size();
    m_batch.push_back(std::move(change));
    m_staged.push_back({date, entry});
    if (m_batch.size() >= kBatchItems || m_batchBytes >= kBatchBytes) flush();
}

void Importer::applied(std::size_t i) {
    if (!m_staged[i].entry) return;
    const store::CDiaryDataFile::RecordChange& c = m_batch[i];
    DateUnits& units = unitsOf(m_staged[i].date);
    units.entry.clear();
    units.sticky.clear();
    std::uint64_t at = c.placed;
    for (const Image& image : c.images) {
        units.entry.push_back(at);
        at += image.size() / store::kUnitSize;
    }
}

void Importer::flush() {
    if (m_batch.empty()) return;
    struct Clear {
        Importer& i;
        ~Clear() {
            i.m_batch.clear();
            i.m_staged.clear();
            i.m_batchBytes = 0;
        }
    } clear{*this};
    std::size_t done = 0;
    try {
        if (m_file.ApplyChanges(m_batch)) {
            for (; done < m_batch.size(); ++done) applied(done);
            return;
        }
        for (; done < m_batch.size(); ++done) {
            if (m_file.ApplyChanges(std::span(&m_batch[done], 1))) {
                applied(done);
                continue;
            }
            m_ui.warn(m_staged[done].entry ? res::Msg::WriteToDiskFailure
                                           : res::Msg::FileWriteFailed);
            ++m_failed;
        }
    } catch (const store::FileError&) {
        m_failed += m_batch.size() - done;  // the import ends; these are not in
        throw;
    }
}

Importer::DateAttachments& Importer::attachmentsOf(Date date) {
    auto [it, added] = m_attachments.try_emplace(DateNumber(date));
    if (added) {
        for (const store::AttachmentInfo& a : m_file.ListAttachments(date)) {
            it->second.names.insert(a.name);
            it->second.maxOrder = std::max(it->second.maxOrder, a.order);
        }
    }
    return it->second;
}

int Importer::finish() {
    while (m_result == 1 && !m_window.empty()) writeFront();
    if (m_result != 1) m_stop->store(true);
    // A cancel is told at once; what was staged counts as done and is
    // written after it.
    if (m_result == 2) m_progress.abort();
    try {
        flush();
    } catch (const store::FileError& e) {
        if (m_result == 1)
            m_ui.warn(e.kind() == store::FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                                 : res::Msg::WriteToDiskFailure);
        m_result = 0;
    }
    m_progress.close();
    return m_result;
}

int RunTexts(Importer& importer, const std::string& folder, Encoding encoding,
             res::UserInterface& ui) {
    for (const TextFile& t : TextFiles(folder)) {
        auto bytes = std::make_shared<std::vector<std::uint8_t>>();
        auto rtf = std::make_shared<std::vector<std::uint8_t>>();
        try {
            // A file that cannot be read whole is skipped, as is its .rtf.
            if (!ReadWholeFile(t.path, *bytes) ||
                (!t.rtfPath.empty() && !ReadWholeFile(t.rtfPath, *rtf))) {
                if (!importer.skip(true)) return importer.result();
                continue;
            }
        } catch (const std::bad_alloc&) {
            ui.warn(res::Msg::OutOfMemory);
            return 0;
        }
        const Date date = t.date;
        const std::size_t size = bytes->size() + rtf->size();
        if (!importer.add([=] { return PrepareEntry(date, *bytes, *rtf, encoding); }, size))
            return importer.result();
    }
    return 1;
}

int RunAttachments(Importer& importer, const std::string& folder, res::UserInterface& ui) {
    for (const AttachmentFolder& f : AttachmentFolders(folder, ui)) {
        for (const std::string& name : f.files) {
            Importer::DateAttachments& known = importer.attachmentsOf(f.date);
            std::optional<AttachmentSource> source;
            const bool present = known.names.count(store::Utf8ToUtf16(name)) != 0;
            if (!present) {
                try {
                    source = ReadAttachment(JoinPath(f.path, name), name, f.date, ui);
                } catch (const std::bad_alloc&) {
                    ui.warn(res::Msg::OutOfMemory);
                    return 0;
                }
            }
            if (!source) {
                if (!importer.skip(!present)) return importer.result();
                continue;
            }
            source->order = ++known.maxOrder;
            known.names.insert(source->name);
            const std::size_t size = source->bytes.size();
            auto shared = std::make_shared<AttachmentSource>(std::move(*source));
            bool queued = importer.add(
                [shared] {
                    auto image = AttachmentImage(*shared);
                    if (!image)
                        return Prepared{
                            Prepared::Kind::Failed, shared->date, {}, res::Msg::FailedToCompress};
                    return Prepared{
                        Prepared::Kind::Attachment, shared->date, {std::move(*image)}, {}};
                },
                size);
            if (!queued) return importer.result();
        }
    }
    return 1;
}

}  // namespace

std::uint64_t CountImportTexts(const std::string& folder) {
    return TextFiles(folder).size();
}

std::uint64_t CountImportAttachments(const std::string& folder, res::UserInterface& ui) {
    std::uint64_t n = 0;
    for (const AttachmentFolder& f : AttachmentFolders(folder, ui)) n += f.files.size();
    return n;
}

int ImportData(store::CDiaryDataFile& file, const std::string& folder, Encoding encoding,
               std::uint64_t* failed) {
    if (failed) *failed = 0;
    res::UserInterface& ui = file.ui();
    const std::uint64_t total = CountImportTexts(folder) + CountImportAttachments(folder, ui);
    Importer importer(file, total);
    try {
        int r = RunTexts(importer, folder, encoding, ui);
        if (r == 1) r = RunAttachments(importer, folder, ui);
        if (r == 0) importer.fail();
    } catch (const store::FileError& e) {
        ui.warn(e.kind() == store::FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                           : res::Msg::WriteToDiskFailure);
        importer.fail();
    }
    const int r = importer.finish();
    // After a failure that ended the import, the items never reached failed too.
    if (failed) *failed = importer.failed() + (r == 0 ? importer.unreached() : 0);
    return r;
}

int RunImport(store::CDiaryDataFile& file, const std::string& folder, Encoding encoding,
              std::uint64_t* failed) {
    res::UserInterface& ui = file.ui();
    const std::uint64_t texts = CountImportTexts(folder);
    const std::uint64_t attachments = CountImportAttachments(folder, ui);
    if (texts + attachments == 0) {
        ui.warn(res::Msg::NoDataToImport);
        return 0;
    }
    if (!ui.askYesNo(ImportQuestion(texts, attachments))) return 2;
    const int r = ImportData(file, folder, encoding, failed);
    if (r == 1) ui.inform(res::Msg::ImportCompleted);
    if (r == 0) ui.warn(res::Msg::ImportFailed);
    return r;
}

}  // namespace tl::exchange
