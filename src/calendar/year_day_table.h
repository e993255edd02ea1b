#pragma once

// The summary of one year of the diary that the calendar and the day list
// draw from: one row per day (or per day with content, in exist-only mode),
// plus the flags of the twelve month notes and of the year note. Plain data;
// it reads the data file only when it is (re)built.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/attachment_names.h"
#include "store/records.h"

namespace tl::store {
class CDiaryDataFile;
}

namespace tl::calendar {

struct DayRow {
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    bool hasEntry = false;
    bool hasFile = false;  // an attachment that is not a picture
    bool hasPicture = false;
    std::u16string title;
    std::uint32_t titleColor = 0;  // 0x00BBGGRR
    std::uint8_t backFlag = 0;
    std::uint32_t backColor = 0;
    std::uint8_t blinkKind = 0;  // 0 none, 1 text blinks, 2 text and background
    bool hasContent() const { return hasEntry || hasFile || hasPicture; }
};

// The three flags of a month note or of the year note.
struct NoteFlags {
    bool note = false;
    bool file = false;
    bool picture = false;
    bool hasContent() const { return note || file || picture; }
};

enum class AttachmentKind { File, Picture };

using store::DaysInMonth;
using store::IsPictureName;

// Invariant: rows are in date order; after a full build there is one per day
// of the year, in exist-only mode only the rows with content remain.
// The data file is the caller's and must outlive the table.
class YearDayTable {
public:
    explicit YearDayTable(store::CDiaryDataFile& file) : m_file(&file) {}

    // Rebuilds for the year from the data file.
    void RebuildYearTable(std::int16_t year, bool existOnly);
    std::int16_t year() const { return m_year; }
    bool existOnly() const { return m_existOnly; }

    int count() const { return static_cast<int>(m_rows.size()); }
    const DayRow& row(int i) const { return m_rows[static_cast<std::size_t>(i)]; }
    const std::vector<DayRow>& rows() const { return m_rows; }
    // month 1-12.
    const NoteFlags& monthNote(int month) const {
        return m_months[static_cast<std::size_t>(month - 1)];
    }
    const NoteFlags& yearNote() const { return m_yearNote; }

    // The first row of the month and day; with day 0 the first row of the
    // month.
    std::optional<int> FindRow(int month, int day) const;
    // The last row not after the month and day; 0 when there is none, so
    // that a caller lands on the first row.
    int RowAtOrBefore(int month, int day) const;

    // Patches after an entry was saved; other years are ignored. A day that
    // has no row (exist-only) gets one in its place.
    void OnEntrySaved(store::Date date, std::u16string_view title,
                      const store::TitleColors& colors);
    // Patches after an entry was deleted: the day keeps its row only while
    // it still has an attachment (exist-only) or always (full table).
    void OnEntryDeleted(store::Date date);
    // Patches after an attachment was added or removed. value says whether
    // the date still has an attachment of this kind after the change.
    void OnAttachmentFlag(store::Date date, AttachmentKind kind, bool value);

private:
    NoteFlags* noteOf(store::Date date);
    // The row for a day, inserted in date order when missing.
    DayRow& rowFor(std::uint8_t month, std::uint8_t day);
    void dropIfEmpty(std::uint8_t month, std::uint8_t day);

    store::CDiaryDataFile* m_file;
    std::int16_t m_year = 0;
    bool m_existOnly = false;
    std::vector<DayRow> m_rows;
    std::array<NoteFlags, 12> m_months{};
    NoteFlags m_yearNote;
};

}  // namespace tl::calendar
