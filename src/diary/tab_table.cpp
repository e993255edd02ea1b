#include "tab_table.h"

#include <algorithm>

namespace tl::diary {

bool TabTable::add(TabRow row) {
    if (count() >= kMaxTabs) return false;
    m_rows.push_back(std::move(row));
    m_current = count() - 1;
    return true;
}

int TabTable::indexOf(store::Date date) const {
    for (int i = 0; i < count(); ++i)
        if (m_rows[i].date == date) return i;
    return -1;
}

void TabTable::remove(store::Date date) {
    int row = indexOf(date);
    if (row < 0) return;
    m_rows.erase(m_rows.begin() + row);
    if (m_current > row || m_current >= count()) --m_current;
    if (m_first > row || m_first >= count()) m_first = std::max(0, m_first - 1);
    if (count() == 0) m_current = -1;
    m_hover = -1;
}

void TabTable::select(store::Date date) {
    int row = indexOf(date);
    if (row >= 0) m_current = row;
}

void TabTable::setCurrent(int row) {
    if (row >= 0 && row < count()) m_current = row;
}

void TabTable::setPinned(store::Date date, bool pinned) {
    int row = indexOf(date);
    if (row >= 0) m_rows[row].pinned = pinned;
}

void TabTable::rename(int row, std::u16string name, int width, store::Date date) {
    if (row < 0 || row >= count()) return;
    m_rows[row].name = std::move(name);
    m_rows[row].width = width;
    m_rows[row].date = date;
}

void TabTable::move(int from, int to) {
    if (from < 0 || to < 0 || from >= count() || to >= count() || from == to) return;
    TabRow row = std::move(m_rows[from]);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(row));
    m_current = to;
}

std::vector<int> TabTable::positions() const {
    std::vector<int> xs(m_rows.size());
    int x = kLeft;
    for (int i = m_first - 1; i >= 0; --i) {
        x -= m_rows[i].width;
        xs[i] = x;
    }
    x = kLeft;
    for (int i = m_first; i < count(); ++i) {
        xs[i] = x;
        x += m_rows[i].width;
    }
    return xs;
}

int TabTable::hitTest(int x, int right) const {
    if (x < kLeft || x >= right) return -1;
    auto xs = positions();
    for (int i = m_first; i < count(); ++i)
        if (x >= xs[i] && x < xs[i] + m_rows[i].width) return i;
    return -1;
}

bool TabTable::scrollLeft() {
    if (m_first <= 0) return false;
    --m_first;
    return true;
}

bool TabTable::scrollRight(int right) {
    int total = 0;
    for (int i = m_first; i < count(); ++i) total += m_rows[i].width;
    if (total <= right - kLeft || m_first >= count() - 1) return false;
    ++m_first;
    return true;
}

void TabTable::scrollIntoView(int right) {
    if (m_current < 0) return;
    if (m_current < m_first) {
        m_first = m_current;
        return;
    }
    while (m_first < m_current) {
        auto xs = positions();
        if (xs[m_current] + m_rows[m_current].width <= right) break;
        ++m_first;
    }
}

}  // namespace tl::diary
