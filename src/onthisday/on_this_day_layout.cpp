#include "on_this_day_layout.h"

#include <algorithm>

#include "widgets/month_names.h"

namespace tl::onthisday {

namespace {

std::u16string Ascii(std::string_view text) {
    return {text.begin(), text.end()};
}

std::u16string Count(int n, std::string_view one, std::string_view many) {
    return Ascii(std::to_string(n)) + u" " + Ascii(n == 1 ? one : many);
}

}  // namespace

std::u16string AskedDateText(store::Date asked) {
    if (asked.month < 1 || asked.month > 12) return {};
    const std::u16string month = Ascii(widgets::kMonthNames[asked.month - 1]);
    return asked.day == 0 ? month : Ascii(std::to_string(asked.day)) + u" " + month;
}

std::u16string CaptionText(store::Date asked) {
    return (asked.day == 0 ? u"This month in other years: " : u"On this day: ") +
           AskedDateText(asked);
}

std::u16string HeadingText(const app::OnThisDayRow& row) {
    std::u16string text = Ascii(std::to_string(row.date.year));
    if (row.weekday >= 0 && row.weekday <= 6)
        text += u"  " + Ascii(widgets::kWeekdayAbbreviations[row.weekday]);
    text += u"  " + Ascii(app::YearsAgoText(row.yearsAgo));
    if (row.dayBeforeLeapDay) text += u"  (28 February)";
    return text;
}

std::u16string MarksText(const app::OnThisDayRow& row) {
    std::u16string text;
    if (row.pictures) text = Count(row.pictures, "picture", "pictures");
    if (row.files) text += (text.empty() ? u"" : u", ") + Count(row.files, "file", "files");
    return text;
}

void RowStack::layOut(std::span<const app::OnThisDayRow> rows, const Metrics& metrics) {
    m_tops.assign(1, 0);
    for (const app::OnThisDayRow& row : rows) {
        // The heading and the title (or the marks) line, then the text.
        const int lines = 2 + static_cast<int>(row.lines.size());
        const int content =
            std::max(lines * metrics.lineHeight, row.firstPictureUnit != 0 ? metrics.thumbnail : 0);
        m_tops.push_back(m_tops.back() + content + 2 * metrics.padding);
    }
}

std::optional<int> RowStack::rowAt(int y) const {
    if (y < 0 || y >= totalHeight()) return std::nullopt;
    const auto after = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    return static_cast<int>(after - m_tops.begin()) - 1;
}

int MovedRow(int current, int count, Move move, int page) {
    if (count <= 0) return -1;
    page = std::max(1, page);
    if (current < 0 || current >= count) return move == Move::End ? count - 1 : 0;
    int to = current;
    switch (move) {
        case Move::Up:
            to = current - 1;
            break;
        case Move::Down:
            to = current + 1;
            break;
        case Move::PageUp:
            to = current - page;
            break;
        case Move::PageDown:
            to = current + page;
            break;
        case Move::Home:
            to = 0;
            break;
        case Move::End:
            to = count - 1;
            break;
    }
    return std::clamp(to, 0, count - 1);
}

}  // namespace tl::onthisday
