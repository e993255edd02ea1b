#pragma once

// What the "On this day" view decides without a display: the texts of a
// row, where each row lies, which row a point or a key reaches.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/on_this_day.h"

namespace tl::onthisday {

// "5 March" for a day, "March" for a month's notes.
std::u16string AskedDateText(store::Date asked);
// The view's caption: "On this day: 5 March" or "This month in other
// years: March".
std::u16string CaptionText(store::Date asked);
// "2024  Tue  2 years ago", with "(28 February)" for a 29th's stand-in.
std::u16string HeadingText(const app::OnThisDayRow& row);
// "2 pictures, 1 file"; empty without attachments.
std::u16string MarksText(const app::OnThisDayRow& row);

// Rows stacked from the top: a heading line, the title line, the text's
// lines, at least as high as the thumbnail, with padding around.
class RowStack {
public:
    struct Metrics {
        int lineHeight = 16;
        int thumbnail = 48;  // the thumbnail's square box
        int padding = 4;
    };
    void layOut(std::span<const app::OnThisDayRow> rows, const Metrics& metrics);
    int count() const { return static_cast<int>(m_tops.size()) - 1; }
    int top(int row) const { return m_tops[static_cast<std::size_t>(row)]; }
    int height(int row) const { return top(row + 1) - top(row); }
    int totalHeight() const { return m_tops.back(); }
    // The row under y (content coordinates), or none.
    std::optional<int> rowAt(int y) const;

private:
    std::vector<int> m_tops{0};  // count + 1 edges
};

// The keys that move the selection.
enum class Move { Up, Down, PageUp, PageDown, Home, End };
// The row selected after the move from current (-1: none yet) among count
// rows, page rows to a page; -1 when there are no rows.
int MovedRow(int current, int count, Move move, int page);

}  // namespace tl::onthisday
