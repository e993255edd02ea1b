#include "export.h"

#include <algorithm>
#include <map>
#include <new>
#include <set>
#include <unordered_map>
#include <vector>

#include "date_names.h"
#include "exchange_texts.h"
#include "folder_io.h"
#include "progress_scope.h"
#include "rtf/rtf_plain_text.h"
#include "store/attachment_names.h"
#include "store/codepage.h"
#include "store/compression.h"
#include "store/file_times.h"
#include "store/record_layout.h"

namespace tl::exchange {

namespace {

using store::AttachmentInfo;
using store::Date;
using store::RecordRef;
namespace L = store;

// The longest path the exchange folder layout allows (the limit of the
// platform the format was made on; paths are counted in UTF-16 units).
constexpr std::size_t kMaxPathLength = 259;

Date DateOf(const RecordRef& rec) {
    return {rec.header.year(), rec.header.month(), rec.header.day()};
}

bool InRange(const RecordRef& rec, std::string_view fromKey, std::string_view toKey) {
    const std::string key = rec.header.key();
    return fromKey <= key && key <= toKey;
}

void AppendUtf16Le(std::vector<std::uint8_t>& out, std::u16string_view text) {
    for (char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

void AppendBytes(std::vector<std::uint8_t>& out, std::string_view bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::string DayText(Date d) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", d.month, d.day, d.year);
    return buf;
}

// Writes the attachment's bytes to path with its times and attributes.
// dateText and nameText are what the path-too-long message shows.
int WriteAttachment(store::CDiaryDataFile& file, const AttachmentInfo& info,
                    const std::string& path, const std::string& dateText,
                    const std::string& nameText, bool makeReadOnly) {
    res::UserInterface& ui = file.ui();
    if (store::Utf8ToUtf16(path).size() > kMaxPathLength) {
        ui.warn(std::string(res::Text(res::Msg::PathDate)) + dateText + "\n" +
                std::string(res::Text(res::Msg::PathFileName)) + nameText + "\n" +
                std::string(res::Text(res::Msg::PathNameTooLong)));
        return 0;
    }
    std::vector<std::uint8_t> data;
    try {
        if (!file.ReadAttachmentData(info.unit, data)) return 0;
    } catch (const std::bad_alloc&) {
        ui.warn(res::Msg::OutOfMemory);
        return 0;
    }
    switch (WriteWholeFile(path, data)) {
        case WriteResult::Written:
            break;
        case WriteResult::DiskFull:
            ui.warn(res::Msg::DiskFull);
            return 0;
        case WriteResult::Failed:
            ui.warn(res::Msg::FailedToWrite);
            return 0;
    }
    // Times and attributes are best effort: the bytes are what matters.
    (void)store::ApplyFileTimes(path, {info.creationTime, info.writeTime, info.accessTime});
    (void)store::ApplyAttributes(
        path,
        static_cast<std::uint8_t>(info.attributes | (makeReadOnly ? store::kAttrReadOnly : 0)));
    return 1;
}

// The file names of one date's attachments, by their units. The rank of
// equal names gives "a.txt", "a(2).txt", ...; a name that another
// attachment of the date already takes (a stored "a(2).txt" beside two
// "a.txt") is numbered on, so that no file overwrites another.
std::map<std::uint64_t, std::u16string> PlanNames(std::vector<const AttachmentInfo*> list) {
    std::stable_sort(list.begin(), list.end(),
                     [](auto* a, auto* b) { return a->order < b->order; });
    std::map<std::uint64_t, std::u16string> names;
    std::set<std::u16string> used;
    for (const AttachmentInfo* a : list) {
        std::uint32_t rank = 1;
        for (const AttachmentInfo* b : list)
            if (b->order < a->order && b->name == a->name) ++rank;
        std::u16string name = store::SafeFileName(rank > 1 ? NumberedName(a->name, rank) : a->name);
        while (used.count(name)) name = store::SafeFileName(NumberedName(a->name, ++rank));
        used.insert(name);
        names[a->unit] = name;
    }
    return names;
}

class Exporter {
public:
    Exporter(store::CDiaryDataFile& file, const std::string& folder, std::string_view fromKey,
             std::string_view toKey, std::uint64_t total)
        : m_file(file),
          m_ui(file.ui()),
          m_folder(folder),
          m_from(fromKey),
          m_to(toKey),
          m_total(total),
          m_progress(m_ui, res::Msg::DuringExport) {}

    int texts(Encoding encoding);
    int attachments();
    int finish();

private:
    // Counts one item; false (with the user told) when he cancelled.
    bool stepped() { return m_progress.step(++m_items, m_total); }
    int failWrite(WriteResult r) {
        m_progress.close();
        m_ui.warn(r == WriteResult::DiskFull ? res::Msg::DiskFull : res::Msg::FailedToWrite);
        return 0;
    }
    std::string ansi(std::u16string_view text) {
        store::LossyAnsi a = store::ToAnsiLossy(text);
        m_replaced += a.replaced;
        return std::move(a.bytes);
    }

    store::CDiaryDataFile& m_file;
    res::UserInterface& m_ui;
    std::string m_folder;
    std::string_view m_from, m_to;
    std::uint64_t m_total;
    std::uint64_t m_items = 0;
    std::uint64_t m_replaced = 0;
    ProgressScope m_progress;
};

int Exporter::texts(Encoding encoding) {
    // One walk finds the headers in range and the first text and rich
    // text of every date, so no entry costs a walk of its own.
    std::vector<RecordRef> headers;
    std::unordered_map<int, RecordRef> plain, rich;
    store::RecordWalk walk(m_file, 0);
    RecordRef rec;
    while (walk.next(rec)) {
        const int d = DateNumber(DateOf(rec));
        switch (rec.header.kind()) {
            case store::kKindEntryHeader:
                if (InRange(rec, m_from, m_to)) headers.push_back(rec);
                break;
            case store::kKindPlainText:
                plain.emplace(d, rec);
                break;
            case store::kKindRichText:
                rich.emplace(d, rec);
                break;
            default:
                break;
        }
    }
    // A text without its header is an untitled entry (no header record:
    // unit 0 reads as an empty header).
    std::set<int> titled;
    for (const RecordRef& h : headers) titled.insert(DateNumber(DateOf(h)));
    for (const auto* texts : {&plain, &rich})
        for (const auto& [d, t] : *texts)
            if (InRange(t, m_from, m_to) && titled.insert(d).second)
                headers.push_back({0, t.header});
    for (const RecordRef& h : headers) {
        const Date date = DateOf(h);
        const int d = DateNumber(date);
        store::EntryHeader header;
        if (h.unit != 0) (void)m_file.ReadEntryHeaderAt(h.unit, &header);
        std::u16string lines;
        if (date.day != 0)
            lines = u"TITLE:" + header.title + u"\r\nWEATHER:" + header.weather + u"\r\n\r\n";
        const std::string stem = JoinPath(m_folder, store::DateText(date));
        std::vector<std::uint8_t> bytes;
        if (encoding == Encoding::RichText) {
            AppendBytes(bytes, ansi(lines));
            if (WriteResult r = WriteWholeFile(stem + ".txt", bytes); r != WriteResult::Written)
                return failWrite(r);
            bytes.clear();
            if (auto it = rich.find(d); it != rich.end()) {
                // A rich text that cannot be read has been reported; its
                // file stays empty.
                if (!m_file.ReadEntryRichTextAt(it->second.unit, bytes)) bytes.clear();
            } else if (auto only = plain.find(d); only != plain.end()) {
                // An entry written as plain text only (the command line,
                // a text import) still has its text in the rich file.
                std::u16string text;
                if (m_file.ReadEntryTextAt(only->second.unit, text) && !text.empty())
                    AppendBytes(bytes, rtf::PlainTextToRtf(text));
            }
            if (WriteResult r = WriteWholeFile(stem + ".rtf", bytes); r != WriteResult::Written)
                return failWrite(r);
        } else {
            std::u16string text;
            // A text that cannot be read has been reported; the header
            // lines are still written.
            if (auto it = plain.find(d); it != plain.end())
                (void)m_file.ReadEntryTextAt(it->second.unit, text);
            if (encoding == Encoding::Ansi) {
                AppendBytes(bytes, ansi(lines + text));
            } else {
                AppendUtf16Le(bytes, lines);
                AppendUtf16Le(bytes, text);
                bytes.insert(bytes.end(), {0, 0});
            }
            if (WriteResult r = WriteWholeFile(stem + ".txt", bytes); r != WriteResult::Written)
                return failWrite(r);
        }
        if (!stepped()) {
            m_progress.abort();
            return 2;
        }
    }
    return 1;
}

int Exporter::attachments() {
    std::vector<AttachmentInfo> infos;
    store::RecordWalk walk(m_file, 0);
    RecordRef rec;
    while (walk.next(rec)) {
        if (rec.header.kind() != store::kKindAttachment || !InRange(rec, m_from, m_to)) continue;
        AttachmentInfo info;
        if (m_file.FindAttachment(rec.unit, DateOf(rec), 0, &info) == rec.unit)
            infos.push_back(std::move(info));
    }
    std::map<int, std::vector<const AttachmentInfo*>> byDate;
    for (const AttachmentInfo& a : infos) byDate[DateNumber(a.date)].push_back(&a);
    std::map<std::uint64_t, std::u16string> names;
    for (auto& [d, list] : byDate) names.merge(PlanNames(list));

    for (const AttachmentInfo& a : infos) {
        const std::string sub = JoinPath(m_folder, store::DateText(a.date));
        if (!EnsureSubfolder(sub)) {
            m_progress.close();
            return 0;
        }
        const std::string name = store::Utf16ToUtf8(names[a.unit]);
        if (!WriteAttachment(m_file, a, JoinPath(sub, name), DayText(a.date), name, false)) {
            const std::string question =
                FormatText(res::Msg::AskSkipDamagedFile,
                           {std::to_string(a.date.month), std::to_string(a.date.day),
                            std::to_string(a.date.year)});
            if (!m_ui.askYesNo(question)) {
                m_progress.close();
                return 0;
            }
        }
        if (!stepped()) {
            m_progress.abort();
            return 2;
        }
    }
    return 1;
}

int Exporter::finish() {
    m_progress.close();
    if (m_replaced > 0)
        m_ui.inform(FormatText(res::Msg::AnsiCharactersReplaced, {std::to_string(m_replaced)}));
    return 1;
}

}  // namespace

std::u16string NumberedName(std::u16string_view name, std::uint32_t rank) {
    const std::size_t dot = name.rfind(u'.');
    const std::u16string_view stem = dot == std::u16string_view::npos ? name : name.substr(0, dot);
    const std::u16string_view ext =
        dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot);
    const std::string number = "(" + std::to_string(rank) + ")";
    return std::u16string(stem) + std::u16string(number.begin(), number.end()) +
           std::u16string(ext);
}

int ExportData(store::CDiaryDataFile& file, const std::string& folder, bool exportTexts,
               bool exportAttachments, std::string_view fromKey, std::string_view toKey,
               Encoding encoding) {
    store::KindCounts counts{};
    if (!file.CountByKind(counts, fromKey, toKey)) return 0;
    const std::uint64_t total = (exportTexts ? counts[store::kKindEntryHeader] : 0) +
                                (exportAttachments ? counts[store::kKindAttachment] : 0);
    try {
        Exporter exporter(file, folder, fromKey, toKey, total);
        if (exportTexts) {
            if (int r = exporter.texts(encoding); r != 1) return r;
        }
        if (exportAttachments) {
            if (int r = exporter.attachments(); r != 1) return r;
        }
        return exporter.finish();
    } catch (const store::FileError&) {
        file.ui().warn(res::Msg::DiaryDataIncorrect);
        return 0;
    } catch (const std::bad_alloc&) {
        file.ui().warn(res::Msg::OutOfMemory);
        return 0;
    }
}

int ExportAttachment(store::CDiaryDataFile& file, Date date, std::uint32_t order,
                     const std::string& destination, bool destinationIsFullPath,
                     bool makeReadOnly) {
    AttachmentInfo info;
    if (order == 0 || file.FindAttachment(0, date, order, &info) == 0) {
        file.ui().warn(res::Msg::AttachedFileCorrupted);
        return 0;
    }
    if (destinationIsFullPath)
        return WriteAttachment(file, info, destination, store::DateText(date), destination,
                               makeReadOnly);
    const std::uint32_t rank = file.SameNameRank(date, order, info.name);
    const std::string name = store::Utf16ToUtf8(
        store::SafeFileName(rank > 1 ? NumberedName(info.name, rank) : info.name));
    return WriteAttachment(file, info, JoinPath(destination, name), DayText(date), name,
                           makeReadOnly);
}

int RunExport(store::CDiaryDataFile& file, const ExportRequest& request) {
    res::UserInterface& ui = file.ui();
    store::KindCounts counts{};
    if (!file.CountByKind(counts, request.fromKey, request.toKey)) {
        ui.warn(res::Msg::ExportOpenFailure);
        return 0;
    }
    // Texts without a header export as untitled entries.
    const std::uint64_t diaries =
        request.texts ? std::max({counts[store::kKindEntryHeader], counts[store::kKindPlainText],
                                  counts[store::kKindRichText]})
                      : 0;
    const std::uint64_t attachments = request.attachments ? counts[store::kKindAttachment] : 0;
    if (diaries + attachments < 1) {
        ui.warn(res::Msg::NoDataToExport);
        return 0;
    }
    if (!ui.askYesNo(ExportQuestion(diaries, attachments))) return 2;
    const int r = ExportData(file, request.folder, request.texts, request.attachments,
                             request.fromKey, request.toKey, request.encoding);
    if (r == 1) ui.inform(res::Msg::ExportCompleted);
    if (r == 0) ui.warn(res::Msg::ExportFailed);
    return r;
}

}  // namespace tl::exchange
