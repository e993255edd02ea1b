#pragma once

// The day list of the side bar without a window: which table row sits where,
// the scroll position and its limits, the month strip and the row colours.

#include <cstdint>
#include <optional>
#include <vector>

#include "widgets/scale.h"

namespace tl::calendar {

struct DayRow;

// Scroll state of the list. Lengths designed at 96 dots per inch.
// Invariant after rebuild: 0 <= topRow() <= lastTopRow().
class DayListLayout {
public:
    explicit DayListLayout(int dpi = 96);

    int scaled(int n) const { return widgets::ScaleAt(n, m_dpi); }
    int rowHeight() const { return scaled(29); }
    int stripWidth() const { return scaled(15); }
    int dateWidth() const { return scaled(23); }

    // After the table or the window height changed.
    void rebuild(int count, int windowHeight);
    int count() const { return m_count; }
    int topRow() const { return m_top; }
    int lastTopRow() const { return m_lastTop; }
    int visibleRows() const { return m_windowHeight / rowHeight(); }
    // Not limited above until the next rebuild (going to today may show
    // fewer rows than fit).
    void scrollTo(int row);
    void lineUp();
    void lineDown();
    void pageUp();
    void pageDown();
    // One line per 120 units, up for positive deltas.
    void wheel(int delta);
    // Scrolls the least that shows the row whole (the keyboard's selection).
    void ensureVisible(int row);
    // Dragging the list: the top row follows the pointer, within limits.
    void dragTo(int pressY, int pressTopRow, int y);
    // The table row at y in the window; nullopt below the table.
    std::optional<int> rowAt(int y) const;

private:
    int m_dpi;
    int m_count = 0;
    int m_windowHeight = 0;
    int m_top = 0;
    int m_lastTop = 0;
    int m_wheelRest = 0;
};

// The month page buttons: a move within the year, or to the neighbouring
// year with the given top row (31 January or 1 December), which the caller
// applies after reloading that year. Years stay within 1900..9999.
struct MonthPage {
    int yearStep = 0;  // -1, 0 or +1
    int topRow = 0;
};
MonthPage MonthPageUp(const DayListLayout& list, int year);
MonthPage MonthPageDown(const DayListLayout& list, int year);

// k: the number of rows directly above with the same month (0..30).
std::uint32_t MonthStripColor(int month, int k);
// k for row i of the rows.
int StripIndex(const std::vector<DayRow>& rows, int i);

// A run of visible rows of one month, for the strip's month label.
struct MonthGroup {
    int month = 0;
    int firstRow = 0;  // window row
    int rows = 0;
};
std::vector<MonthGroup> VisibleMonthGroups(const std::vector<DayRow>& rows,
                                           const DayListLayout& list);

// The background of a row right of the strip. Sunday rows are banded:
// band k from x = S + 1 + 4 k, s(14) wide.
std::uint32_t SundayBandColor(int k, bool hovered, bool today);
struct RowFill {
    bool fill = false;  // over the weekday background
    std::uint32_t color = 0;
};
std::uint32_t PlainRowColor(bool hovered);
RowFill RowFillOver(const DayRow& row, bool sunday, bool hovered, bool today);

}  // namespace tl::calendar
