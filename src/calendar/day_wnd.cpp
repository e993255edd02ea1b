#include "day_wnd.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "month_grid.h"
#include "paint_color.h"
#include "year_day_table.h"

namespace tl::calendar {

CDayWnd::CDayWnd(const YearDayTable& table, Today today, QWidget* parent)
    : QWidget(parent), m_table(table), m_today(std::move(today)), m_layout(logicalDpiY()) {
    setObjectName("DAYWND");
    setMouseTracking(true);
}

void CDayWnd::changed() {
    emit scrolled(m_layout.topRow(), m_layout.lastTopRow());
    update();
}

void CDayWnd::rebuildList() {
    m_layout.rebuild(m_table.count(), height());
    changed();
}

void CDayWnd::scrollTo(int row) {
    m_layout.scrollTo(row);
    changed();
}

store::Date CDayWnd::dateOf(int row) const {
    const DayRow& r = m_table.row(row);
    return {m_table.year(), r.month, r.day};
}

void CDayWnd::onBlinkTick(bool phaseOn) {
    m_blinkPhase = !phaseOn;
    const int rowHeight = m_layout.rowHeight();
    for (int i = 0; i <= m_layout.visibleRows(); ++i) {
        const int r = m_layout.topRow() + i;
        if (r < m_table.count() && m_table.row(r).blinkKind != 0)
            update(m_layout.stripWidth(), i * rowHeight, width(), rowHeight);
    }
}

void CDayWnd::resizeEvent(QResizeEvent*) { rebuildList(); }

void CDayWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int R = m_layout.rowHeight();
    const int S = m_layout.stripWidth();
    const int D = m_layout.dateWidth();
    const int w = width();
    const auto s = [this](int n) { return m_layout.scaled(n); };
    const store::Date today = m_today();
    const QColor grey(128, 128, 128);
    p.fillRect(rect(), Qt::white);
    for (int i = 0; i * R < height(); ++i) {
        const int r = m_layout.topRow() + i;
        if (r >= m_table.count()) break;
        const DayRow& row = m_table.row(r);
        const int y = i * R;
        p.fillRect(0, y, S, R, ToQColor(MonthStripColor(row.month, StripIndex(m_table.rows(), r))));
        if (i > 0 && m_table.row(r - 1).month != row.month) {
            p.setPen(QColor(192, 192, 192));
            p.drawLine(0, y, S, y);
        }
        const bool hovered = r == m_hoverRow;
        const bool isToday = today.year == m_table.year() && today.month == row.month && today.day == row.day;
        const bool sunday = WeekdayOf(m_table.year(), row.month, row.day) == 0;
        if (sunday) {
            for (int k = 0; S + 1 + 4 * k < w; ++k)
                p.fillRect(S + 1 + 4 * k, y, s(14), R, ToQColor(SundayBandColor(k, hovered, isToday)));
        } else {
            p.fillRect(S + 1, y, w - S - 1, R, ToQColor(PlainRowColor(hovered)));
        }
        if (const RowFill fill = RowFillOver(row, sunday, hovered, isToday); fill.fill)
            p.fillRect(S + 1, y, w - S - 1, R, ToQColor(fill.color));
        const bool hidden = m_blinkPhase && row.blinkKind == 1;
        p.setPen(ToQColor(row.titleColor));
        if (!hidden) {
            p.drawText(QRect(S + s(2), y, D - s(2), R), Qt::AlignHCenter | Qt::AlignTop, QString::number(row.day));
            p.drawText(QRect(S + s(2), y + s(11), D - s(2), R - s(11)), Qt::AlignHCenter | Qt::AlignTop,
                       kWeekdayNames[WeekdayOf(m_table.year(), row.month, row.day)]);
        }
        if (row.hasContent()) {
            const QPoint mark[3] = {{S + 1, y}, {S + 1, y + s(5)}, {S + s(5) + 1, y}};
            p.save();
            p.setPen(grey);
            p.setBrush(grey);
            p.drawPolygon(mark, 3);
            p.restore();
            if (!hidden)
                p.drawText(QRect(S + D + s(3), y, w, R), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                           QString::fromStdU16String(row.title));
        }
        const int iconRight = std::max(w, 160);
        if (row.hasPicture) p.fillRect(iconRight - s(22), y + s(4), s(14), s(12), QColor(70, 140, 200));
        if (row.hasFile) p.fillRect(iconRight - s(36), y + s(5), s(10), s(12), QColor(150, 150, 150));
        if (m_blinkPhase && row.blinkKind == 2) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(S + 1, y, w - S - 1, R, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        p.setPen(QColor(192, 192, 192));
        p.drawLine(S, y + R - 1, w, y + R - 1);
    }
    // Month labels, one letter a line down the strip of each group.
    for (const MonthGroup& group : VisibleMonthGroups(m_table.rows(), m_layout)) {
        const QRect area(0, group.firstRow * R, S, group.rows * R);
        p.save();
        p.setClipRect(area);
        if (m_table.monthNote(group.month).hasContent()) {
            const QPoint mark[3] = {{0, area.top()}, {0, area.top() + s(5)}, {s(5), area.top()}};
            p.setPen(grey);
            p.setBrush(grey);
            p.drawPolygon(mark, 3);
        }
        p.setPen(Qt::black);
        int t = area.top();
        for (const char* c = kMonthNames[group.month - 1]; *c; ++c, t += s(13))
            p.drawText(QRect(s(2), t, s(12), s(18)), Qt::AlignCenter, QString(QChar(*c)));
        p.restore();
    }
    p.setPen(QColor(192, 192, 192));
    p.drawLine(S, 0, S, height());
    if (w > s(65)) p.drawLine(S + D, 0, S + D, height());
    p.setPen(QColor(164, 164, 164));
    p.drawRect(0, 0, w - 1, height() - 1);
}

void CDayWnd::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int hover = pos.x() > m_layout.stripWidth() ? m_layout.rowAt(pos.y()).value_or(-1) : -1;
    if (hover != m_hoverRow) {
        m_hoverRow = hover;
        update();
    }
    if (m_pressed) {
        const int before = m_layout.topRow();
        m_layout.dragTo(m_pressY, m_pressTop, pos.y());
        if (m_layout.topRow() != before) changed();
    }
}

void CDayWnd::leaveEvent(QEvent*) {
    m_hoverRow = -1;
    update();
}

void CDayWnd::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const std::optional<int> row = m_layout.rowAt(pos.y());
    if (event->button() != Qt::LeftButton || !row) return;
    setFocus();
    emit monthSelected(m_table.row(*row).month);
    if (pos.x() < m_layout.stripWidth()) {
        emit stripClicked(event->globalPosition().toPoint());
        return;
    }
    m_pressed = true;
    m_pressY = pos.y();
    m_pressTop = m_layout.topRow();
}

void CDayWnd::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool wasPressed = m_pressed;
    m_pressed = false;
    const std::optional<int> row = m_layout.rowAt(pos.y());
    if (!wasPressed || !row || pos.y() != m_pressY || pos.x() < m_layout.stripWidth()) return;
    if (m_clickOpens) emit openRequested(dateOf(*row), m_clickPin);
}

void CDayWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const std::optional<int> row = m_layout.rowAt(pos.y());
    if (pos.x() >= m_layout.stripWidth()) {
        if (row) emit openRequested(dateOf(*row), true);
        return;
    }
    const std::uint8_t month = row ? m_table.row(*row).month : 12;
    emit openRequested({m_table.year(), month, 0}, true);
}

void CDayWnd::contextMenuEvent(QContextMenuEvent* event) {
    const std::optional<int> row = m_layout.rowAt(event->pos().y());
    if (!row) return;
    store::Date date = dateOf(*row);
    if (event->pos().x() < m_layout.stripWidth()) date.day = 0;
    emit contextMenuRequested(date, event->globalPos());
}

void CDayWnd::wheelEvent(QWheelEvent* event) {
    m_layout.wheel(event->angleDelta().y());
    changed();
}

bool CDayWnd::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<int> row = m_layout.rowAt(help->pos().y());
        if (row && help->pos().x() > m_layout.stripWidth() && !m_table.row(*row).title.empty())
            QToolTip::showText(help->globalPos(), QString::fromStdU16String(m_table.row(*row).title), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

}  // namespace tl::calendar
