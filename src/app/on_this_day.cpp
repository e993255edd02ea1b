#include "on_this_day.h"

#include <algorithm>
#include <map>

#include "store/attachment_names.h"
#include "store/diary_data_file.h"

namespace tl::app {

namespace {

// What one walk finds of one year's date: the first record of each kind in
// file order (what readers see of the entry), and every attachment.
struct Found {
    store::Date date;
    std::uint64_t header = 0;
    std::uint64_t text = 0;
    std::vector<std::uint64_t> attachments;
};

bool IsLeapYear(int year) {
    return store::DaysInMonth(year, 2) == 29;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00a0';
}

void FillAttachments(store::CDiaryDataFile& file, const Found& found, OnThisDayRow& row) {
    std::uint32_t bestOrder = UINT32_MAX;
    for (std::uint64_t unit : found.attachments) {
        store::AttachmentInfo info;
        if (file.FindAttachment(unit, found.date, 0, &info) != unit) continue;
        if (!store::IsPictureName(info.name)) {
            ++row.files;
            continue;
        }
        ++row.pictures;
        if (info.order < bestOrder) {
            bestOrder = info.order;
            row.firstPictureUnit = unit;
            row.firstPictureOrder = info.order;
            row.firstPictureName = info.name;
        }
    }
}

}  // namespace

std::vector<std::u16string> FirstLines(std::u16string_view text, std::size_t count,
                                       std::size_t maxLength) {
    std::vector<std::u16string> lines;
    std::size_t pos = 0;
    while (lines.size() < count && pos < text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", pos);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && IsSpace(line.front())) line.remove_prefix(1);
        while (!line.empty() && IsSpace(line.back())) line.remove_suffix(1);
        if (line.empty()) continue;
        if (line.size() > maxLength) {
            std::size_t cut = maxLength - 1;
            // Never split a surrogate pair.
            if (cut > 0 && line[cut - 1] >= 0xD800 && line[cut - 1] <= 0xDBFF) --cut;
            lines.push_back(std::u16string(line.substr(0, cut)) + u"\u2026");
        } else {
            lines.emplace_back(line);
        }
    }
    return lines;
}

std::string YearsAgoText(int yearsAgo) {
    if (yearsAgo == 0) return "this year";
    if (yearsAgo == 1) return "1 year ago";
    if (yearsAgo > 1) return std::to_string(yearsAgo) + " years ago";
    if (yearsAgo == -1) return "in 1 year";
    return "in " + std::to_string(-yearsAgo) + " years";
}

std::vector<OnThisDayRow> OnThisDayRows(store::CDiaryDataFile& file, store::Date asked) {
    std::vector<OnThisDayRow> rows;
    if (!file.IsOpen() || asked.month < 1 || asked.month > 12) return rows;
    const bool leapDay = asked.month == 2 && asked.day == 29;
    // By year, newest first.
    std::map<int, Found, std::greater<>> years;
    store::RecordWalk walk(file, 0);
    const store::WalkFilter filter{
        static_cast<std::uint8_t>(store::KindBit(store::kKindEntryHeader) |
                                  store::KindBit(store::kKindPlainText) |
                                  store::KindBit(store::kKindAttachment)),
        false,
        {}};
    store::RecordRef rec;
    while (walk.next(rec, filter)) {
        const store::RecordHeader& h = rec.header;
        if (h.month() != asked.month) continue;
        // A paper diary's page of 29 February shows the 28th in other years.
        const bool sameDay = h.day() == asked.day && !(leapDay && !IsLeapYear(h.year()));
        const bool standIn = leapDay && h.day() == 28 && !IsLeapYear(h.year());
        if (!sameDay && !standIn) continue;
        Found& found = years[h.year()];
        found.date = {h.year(), h.month(), h.day()};
        switch (h.kind()) {
            case store::kKindEntryHeader:
                if (found.header == 0) found.header = rec.unit;
                break;
            case store::kKindPlainText:
                if (found.text == 0) found.text = rec.unit;
                break;
            default:
                found.attachments.push_back(rec.unit);
                break;
        }
    }
    for (const auto& [year, found] : years) {
        // A title alone is no diary.
        if (found.text == 0 && found.attachments.empty()) continue;
        OnThisDayRow row;
        row.date = found.date;
        row.yearsAgo = asked.year - year;
        if (found.date.day != 0)
            row.weekday = store::Weekday(year, found.date.month, found.date.day);
        row.dayBeforeLeapDay = leapDay && found.date.day == 28;
        store::EntryHeader header;
        if (found.header != 0 && file.ReadEntryHeaderAt(found.header, &header) == 1) {
            row.title = std::move(header.title);
            row.weather = std::move(header.weather);
            row.colors = header.colors;
        }
        std::u16string text;
        if (found.text != 0 && file.ReadEntryTextAt(found.text, text) == 1) {
            row.hasText = true;
            row.lines = FirstLines(text, kOnThisDayLines, kOnThisDayLineMax);
        }
        FillAttachments(file, found, row);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace tl::app
