#include "file_manage_table.h"

#include <algorithm>
#include <compare>

#include "exchange/exchange_texts.h"
#include "link_text.h"
#include "store/diary_data_file.h"

namespace tl::diary {

using store::CDiaryDataFile;

namespace {

std::u16string Widen(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

// Code unit by code unit, a prefix first.
std::strong_ordering CompareText(const std::u16string& a, const std::u16string& b) {
    return std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
}

std::strong_ordering Compare(const FileManageRow& a, const FileManageRow& b,
                             FileManageColumn column) {
    switch (column) {
        case FileManageColumn::Name:
            return CompareText(a.name, b.name);
        case FileManageColumn::Date:
            return CompareText(a.dateText, b.dateText);
        case FileManageColumn::OriginalSize:
            return a.originalSize <=> b.originalSize;
        case FileManageColumn::CompressedSize:
            return a.storedSize <=> b.storedSize;
        case FileManageColumn::Order:
            return CompareText(a.orderText, b.orderText);
    }
    return std::strong_ordering::equal;
}

}  // namespace

FileManageRow MakeFileManageRow(const store::AttachmentInfo& info) {
    FileManageRow row;
    row.unit = info.unit;
    row.date = info.date;
    row.order = info.order;
    row.name = info.name;
    row.compressed = info.compressed;
    row.originalSize = info.originalSize;
    row.storedSize = info.compressed ? info.storedSize : info.originalSize;
    row.dateText = LinkDateForm(info.date);
    row.orderText = Widen(std::to_string(info.order));
    return row;
}

std::optional<std::vector<FileManageRow>> BuildFileManageRows(CDiaryDataFile& file,
                                                              res::UserInterface& ui) {
    // A chain the count refuses (damage, a kind this program does not know)
    // is told, not met with a menu command that does nothing.
    store::KindCounts counts{};
    if (!file.CountByKind(counts)) {
        ui.warn(res::Msg::DiaryDataIncorrect);
        return std::nullopt;
    }
    const std::uint64_t expected = counts[store::kKindAttachment];
    std::vector<FileManageRow> rows;
    rows.reserve(expected);
    ui.openProgress(res::Text(res::Msg::FetchingAttachmentInformation));
    store::RecordWalk walk(file, 0);
    store::RecordRef rec;
    std::uint64_t accumulator = 0;
    int shown = -1;
    while (walk.next(rec, store::OfKind(store::kKindAttachment))) {
        const store::Date date{rec.header.year(), rec.header.month(), rec.header.day()};
        store::AttachmentInfo info;
        if (file.FindAttachment(rec.unit, date, 0, &info) == rec.unit)
            rows.push_back(MakeFileManageRow(info));
        accumulator += 100;
        // More records than were counted cannot pass 100 %.
        const int percent =
            expected == 0 ? 100
                          : static_cast<int>(std::min<std::uint64_t>(accumulator / expected, 100));
        if (percent == shown) {
            ui.keepAlive();
            continue;
        }
        shown = percent;
        if (!ui.stepProgress(percent)) {
            ui.closeProgress();
            ui.inform(res::Msg::ProcessingAborted);
            return std::nullopt;
        }
    }
    ui.closeProgress();
    return rows;
}

std::u16string FileManageCell(const FileManageRow& row, FileManageColumn column) {
    switch (column) {
        case FileManageColumn::Name:
            return row.name;
        case FileManageColumn::Date:
            return row.dateText;
        case FileManageColumn::OriginalSize:
            return Widen(exchange::GroupedNumber(row.originalSize));
        case FileManageColumn::CompressedSize:
            return Widen(exchange::GroupedNumber(row.storedSize));
        case FileManageColumn::Order:
            return row.orderText;
    }
    return {};
}

void FileManageSort::click(FileManageColumn column) {
    if (m_column == column)
        m_direction =
            m_direction == Direction::Ascending ? Direction::Descending : Direction::Ascending;
    else
        m_direction = Direction::Descending;
    m_column = column;
}

bool FileManageSort::before(const FileManageRow& a, const FileManageRow& b) const {
    if (!m_column) return false;
    const std::strong_ordering order = Compare(a, b, *m_column);
    return m_direction == Direction::Ascending ? order < 0 : order > 0;
}

void FileManageSort::apply(std::vector<FileManageRow>& rows) const {
    if (!m_column) return;
    std::stable_sort(
        rows.begin(), rows.end(),
        [this](const FileManageRow& a, const FileManageRow& b) { return before(a, b); });
}

FileManageTotals TotalsOf(std::span<const FileManageRow> rows, std::span<const int> chosen) {
    FileManageTotals totals;
    auto add = [&](const FileManageRow& row) {
        totals.original += row.originalSize;
        totals.stored += row.storedSize;
    };
    if (chosen.empty()) {
        for (const FileManageRow& row : rows) add(row);
    } else {
        for (int i : chosen)
            if (i >= 0 && static_cast<std::size_t>(i) < rows.size())
                add(rows[static_cast<std::size_t>(i)]);
    }
    // In whole numbers: a ratio in floating point loses the last tenth
    // (1,005 / 1,000 gives 1004.99...).
    if (totals.original > 0)
        totals.rateTenths = 1000 - static_cast<int>(totals.stored * 1000 / totals.original);
    return totals;
}

std::u16string RateText(int rateTenths) {
    const int magnitude = rateTenths < 0 ? -rateTenths : rateTenths;
    std::string text = rateTenths < 0 ? "-" : "";
    text += std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
    return Widen(text);
}

int DeleteFileManageRows(CDiaryDataFile& file, std::vector<FileManageRow>& rows,
                         std::span<const int> chosen) {
    std::vector<bool> gone(rows.size(), false);
    int deleted = 0;
    // Runs on every way out, a file error included: what was freed is
    // synced and leaves the table.
    struct Finish {
        CDiaryDataFile& file;
        std::vector<FileManageRow>& rows;
        std::vector<bool>& gone;
        int& deleted;
        ~Finish() {
            std::size_t k = 0;
            rows.erase(std::remove_if(rows.begin(), rows.end(),
                                      [&](const FileManageRow&) { return gone[k++]; }),
                       rows.end());
            if (deleted > 0) {
                try {
                    file.Sync();
                } catch (...) {
                    // The error that stopped the deletions is the one told.
                }
            }
        }
    } finish{file, rows, gone, deleted};
    for (int i : chosen) {
        if (i < 0 || static_cast<std::size_t>(i) >= rows.size() ||
            gone[static_cast<std::size_t>(i)])
            continue;
        FileManageRow& row = rows[static_cast<std::size_t>(i)];
        // The record is where the walk found it unless the file changed
        // since; then it is looked up by its date and order.
        // Order 0 would match any attachment of the date.
        if (row.order == 0) continue;
        std::uint64_t unit = file.FindAttachment(row.unit, row.date, row.order);
        if (unit != row.unit) unit = file.FindAttachment(0, row.date, row.order);
        // Gone already: only the row is left to remove.
        gone[static_cast<std::size_t>(i)] = true;
        if (unit == 0) continue;
        file.FreeRecord(unit);
        ++deleted;
    }
    return deleted;
}

}  // namespace tl::diary
