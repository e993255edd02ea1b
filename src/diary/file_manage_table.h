#pragma once

// The attachment manager's table without its window: one row per
// attachment record of the whole data file, the texts of its five
// columns, their order, and the totals and compression rate of a choice of
// rows.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "res/user_interface.h"
#include "store/records.h"

namespace tl::store {
class CDiaryDataFile;
}

namespace tl::diary {

enum class FileManageColumn { Name = 0, Date = 1, OriginalSize = 2, CompressedSize = 3, Order = 4 };
inline constexpr int kFileManageColumns = 5;

struct FileManageRow {
    std::uint64_t unit = 0;  // where the record lay when the table was built
    store::Date date;
    std::uint32_t order = 0;
    std::u16string name;
    bool compressed = false;
    std::uint64_t originalSize = 0;
    // The compressed size when compressed, else the original size.
    std::uint64_t storedSize = 0;
    // The Date and Attachment order columns' texts, kept for sorting.
    std::u16string dateText;
    std::u16string orderText;
};

// Every attachment record in file order, behind the progress window
// "Fetching attachment information.". nullopt when the records cannot be
// counted (nothing told) or the user cancelled ("Processing was aborted.").
std::optional<std::vector<FileManageRow>> BuildFileManageRows(store::CDiaryDataFile& file,
                                                              res::UserInterface& ui);
FileManageRow MakeFileManageRow(const store::AttachmentInfo& info);

// A column's text as the list shows it: sizes grouped ("10,000,000").
std::u16string FileManageCell(const FileManageRow& row, FileManageColumn column);

// The sort state: a click on the sort column reverses the direction, a
// click on another column sorts it descending. Names, dates and orders
// compare as texts by their code units, sizes by value.
class FileManageSort {
public:
    enum class Direction { Ascending, Descending };
    void click(FileManageColumn column);
    std::optional<FileManageColumn> column() const { return m_column; }
    Direction direction() const { return m_direction; }
    // Sorts the rows (stable: equal rows keep their order).
    void apply(std::vector<FileManageRow>& rows) const;
    // Whether a comes before b in the current order.
    bool before(const FileManageRow& a, const FileManageRow& b) const;

private:
    std::optional<FileManageColumn> m_column;
    Direction m_direction = Direction::Descending;
};

struct FileManageTotals {
    std::uint64_t original = 0;
    std::uint64_t stored = 0;
    // Tenths of a percent saved: 1000 - trunc(stored / original * 1000);
    // negative when the stored bytes outgrow the original ones.
    int rateTenths = 0;
};
// The totals of the chosen rows, or of all rows when none is chosen.
FileManageTotals TotalsOf(std::span<const FileManageRow> rows, std::span<const int> chosen);
// "50.0", "-1.0", "-0.5"; "0.0" for rows without bytes.
std::u16string RateText(int rateTenths);

// Deletes the rows' attachment records (one sync at the end) and removes
// those rows from the table. Each record is looked up where the table saw
// it, and by date and order where it has moved. Answers how many were
// deleted; file errors propagate after the rows deleted so far are gone
// from the table.
int DeleteFileManageRows(store::CDiaryDataFile& file, std::vector<FileManageRow>& rows,
                         std::span<const int> chosen);

}  // namespace tl::diary
