#pragma once

// The tab table: one row per open entry, shared by every header view. Pure
// bookkeeping in pixels, so the strip's rules are tested without a window.

#include <string>
#include <vector>

#include "store/records.h"

namespace tl::diary {

// One row of the tab table (at most kMaxTabs rows).
struct TabRow {
    std::u16string name;  // entry name without the day of the week
    int width = 0;
    bool pinned = false;
    store::Date date;
};
inline constexpr int kMaxTabs = 100;

class TabTable {
public:
    const std::vector<TabRow>& rows() const { return m_rows; }
    int count() const { return static_cast<int>(m_rows.size()); }
    // -1 when the table is empty.
    int current() const { return m_current; }
    int firstVisible() const { return m_first; }
    // -1 when no tab is under the mouse.
    int hover() const { return m_hover; }
    void setHover(int row) { m_hover = row; }

    // Appends the row and makes it current; false (nothing added) when the
    // table is full.
    bool add(TabRow row);
    // -1 when the date has no row.
    int indexOf(store::Date date) const;
    void remove(store::Date date);
    void select(store::Date date);
    void setCurrent(int row);
    void setPinned(store::Date date, bool pinned);
    // After save by changing date: the row names its new date.
    void rename(int row, std::u16string name, int width, store::Date date);
    // Moves a row to another position; the rows in between shift by one and
    // the moved row stays current.
    void move(int from, int to);

    // The strip's tabs run from x = kLeft to right (exclusive).
    static constexpr int kLeft = 4;
    // The x where each row's tab starts; rows before the first visible one
    // end at kLeft.
    std::vector<int> positions() const;
    // The row whose tab contains x, or -1.
    int hitTest(int x, int right) const;
    bool scrollLeft();
    bool scrollRight(int right);
    // Scrolls until the current tab lies wholly inside the strip.
    void scrollIntoView(int right);

private:
    std::vector<TabRow> m_rows;
    int m_current = -1;
    int m_first = 0;
    int m_hover = -1;
};

}  // namespace tl::diary
