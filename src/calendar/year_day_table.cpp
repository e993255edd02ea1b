#include "year_day_table.h"

#include <algorithm>

#include "store/diary_data_file.h"
#include "store/format.h"
#include "store/record_header.h"
#include "store/record_layout.h"

namespace tl::calendar {

using store::Date;

namespace {

int KeyOf(int month, int day) {
    return month * 100 + day;
}

DayRow EmptyRow(int month, int day) {
    DayRow r;
    r.month = static_cast<std::uint8_t>(month);
    r.day = static_cast<std::uint8_t>(day);
    return r;
}

void CopyEntry(DayRow& row, std::u16string_view title, const store::TitleColors& colors) {
    row.hasEntry = true;
    row.title = title;
    row.titleColor = colors.text;
    row.backFlag = static_cast<std::uint8_t>(colors.backgroundOn);
    row.backColor = colors.background;
    row.blinkKind = static_cast<std::uint8_t>(colors.blink);
}

}  // namespace

void YearDayTable::RebuildYearTable(std::int16_t year, bool existOnly) {
    m_year = year;
    m_existOnly = existOnly;
    m_rows.clear();
    m_months = {};
    m_yearNote = {};
    std::array<int, 13> firstRow{};  // row of the 1st of each month in the full table
    for (int m = 1; m <= 12; ++m) {
        firstRow[static_cast<std::size_t>(m)] = static_cast<int>(m_rows.size());
        for (int d = 1; d <= DaysInMonth(year, m); ++d) m_rows.push_back(EmptyRow(m, d));
    }

    std::array<std::uint8_t, store::kUnitSize> first{};
    // Entry titles sit in the second unit, attachment names in units 1-4.
    std::vector<std::uint8_t> more(store::kAttData);
    std::uint64_t from = 0;
    while (std::uint64_t unit = m_file->FindNextInYear(year, from, first)) {
        store::RecordHeader h;
        std::copy_n(first.begin(), store::kRecordHeaderSize, h.bytes.begin());
        from = unit + std::max<std::uint32_t>(h.units(), 1);
        const Date date{year, h.month(), h.day()};
        // Dates from disk are untrusted: a day past the month's end has no row.
        const bool isDay = date.month >= 1 && date.month <= 12 && date.day >= 1 &&
                           date.day <= DaysInMonth(year, date.month);
        if (!isDay && date.day != 0) continue;
        if (date.day == 0 && date.month > 12) continue;
        if (h.kind() == store::kKindEntryHeader) {
            std::u16string title;
            if (h.units() == 1) {
                title = store::GetText(&first[store::kEhOneUnitTitle], store::kEhOneUnitTitleMax);
            } else if (m_file->ReadBytes(unit, more.data(), 2 * store::kUnitSize) ==
                       2 * store::kUnitSize) {
                title = store::GetText(&more[store::kEhTitle], store::kTitleMax);
            }
            const store::TitleColors colors{
                store::GetU32(&first[store::kEhTextColor]), store::GetU32(&first[store::kEhBackOn]),
                store::GetU32(&first[store::kEhBackColor]), store::GetU32(&first[store::kEhBlink])};
            if (isDay)
                CopyEntry(m_rows[static_cast<std::size_t>(firstRow[date.month] + date.day - 1)],
                          title, colors);
            else
                noteOf(date)->note = true;
        } else if (h.kind() == store::kKindAttachment) {
            if (h.units() < store::kAttHeadUnits ||
                m_file->ReadBytes(unit, more.data(), store::kAttData) != store::kAttData)
                continue;
            const bool picture =
                IsPictureName(store::GetText(&more[store::kAttName], store::kAttachmentNameMax));
            if (isDay) {
                DayRow& r = m_rows[static_cast<std::size_t>(firstRow[date.month] + date.day - 1)];
                (picture ? r.hasPicture : r.hasFile) = true;
            } else {
                NoteFlags* n = noteOf(date);
                (picture ? n->picture : n->file) = true;
            }
        }
    }
    if (existOnly) std::erase_if(m_rows, [](const DayRow& r) { return !r.hasContent(); });
}

std::optional<int> YearDayTable::FindRow(int month, int day) const {
    const auto it =
        std::lower_bound(m_rows.begin(), m_rows.end(), KeyOf(month, day),
                         [](const DayRow& r, int key) { return KeyOf(r.month, r.day) < key; });
    if (it == m_rows.end() || it->month != month || (day != 0 && it->day != day))
        return std::nullopt;
    return static_cast<int>(it - m_rows.begin());
}

int YearDayTable::RowAtOrBefore(int month, int day) const {
    const auto it =
        std::upper_bound(m_rows.begin(), m_rows.end(), KeyOf(month, day),
                         [](int key, const DayRow& r) { return key < KeyOf(r.month, r.day); });
    return it == m_rows.begin() ? 0 : static_cast<int>(it - m_rows.begin()) - 1;
}

NoteFlags* YearDayTable::noteOf(Date date) {
    if (date.month == 0) return &m_yearNote;
    return &m_months[static_cast<std::size_t>(date.month - 1)];
}

DayRow& YearDayTable::rowFor(std::uint8_t month, std::uint8_t day) {
    const auto it =
        std::lower_bound(m_rows.begin(), m_rows.end(), KeyOf(month, day),
                         [](const DayRow& r, int key) { return KeyOf(r.month, r.day) < key; });
    if (it != m_rows.end() && it->month == month && it->day == day) return *it;
    return *m_rows.insert(it, EmptyRow(month, day));
}

void YearDayTable::dropIfEmpty(std::uint8_t month, std::uint8_t day) {
    if (!m_existOnly) return;
    if (std::optional<int> i = FindRow(month, day);
        i && !m_rows[static_cast<std::size_t>(*i)].hasContent())
        m_rows.erase(m_rows.begin() + *i);
}

void YearDayTable::OnEntrySaved(Date date, std::u16string_view title,
                                const store::TitleColors& colors) {
    if (date.year != m_year || date.month > 12 || date.day > DaysInMonth(m_year, date.month))
        return;
    if (date.day == 0)
        noteOf(date)->note = true;
    else
        CopyEntry(rowFor(date.month, date.day), title, colors);
}

void YearDayTable::OnEntryDeleted(Date date) {
    if (date.year != m_year || date.month > 12) return;
    if (date.day == 0) {
        noteOf(date)->note = false;
        return;
    }
    std::optional<int> i = FindRow(date.month, date.day);
    if (!i) return;
    DayRow& r = m_rows[static_cast<std::size_t>(*i)];
    DayRow cleared = EmptyRow(r.month, r.day);
    cleared.hasFile = r.hasFile;
    cleared.hasPicture = r.hasPicture;
    r = cleared;
    dropIfEmpty(date.month, date.day);
}

void YearDayTable::OnAttachmentFlag(Date date, AttachmentKind kind, bool value) {
    if (date.year != m_year || date.month > 12 || date.day > DaysInMonth(m_year, date.month))
        return;
    const bool picture = kind == AttachmentKind::Picture;
    if (date.day == 0) {
        NoteFlags* n = noteOf(date);
        (picture ? n->picture : n->file) = value;
        return;
    }
    if (!value && !FindRow(date.month, date.day)) return;
    DayRow& r = rowFor(date.month, date.day);
    (picture ? r.hasPicture : r.hasFile) = value;
    dropIfEmpty(date.month, date.day);
}

}  // namespace tl::calendar
