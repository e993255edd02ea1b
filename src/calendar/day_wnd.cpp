#include "day_wnd.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "month_grid.h"
#include "side_bar_art.h"
#include "widgets/month_names.h"
#include "widgets/qt_color.h"
#include "year_day_table.h"

namespace tl::calendar {

using widgets::kMonthNames;
using widgets::kWeekdayAbbreviations;
using widgets::ToQColor;

CDayWnd::CDayWnd(const YearDayTable& table, Today today, QWidget* parent)
    : QWidget(parent), m_table(table), m_today(std::move(today)), m_layout(logicalDpiY()) {
    setObjectName("DAYWND");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_pictureIcon = PictureIcon(logicalDpiY());
    m_fileIcon = FileIcon(logicalDpiY());
}

void CDayWnd::changed() {
    // A shown title belongs to the row that was under the pointer before.
    if (QToolTip::isVisible()) QToolTip::hideText();
    emit scrolled(m_layout.topRow(), m_layout.lastTopRow());
    update();
}

void CDayWnd::select(int row) {
    if (row < 0 || row >= m_table.count()) return;
    m_selectedRow = row;
    m_layout.ensureVisible(row);
    const std::uint8_t month = m_table.row(row).month;
    emit monthSelected(month);
    changed();
}

void CDayWnd::wheel(int delta) {
    m_layout.wheel(delta);
    changed();
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

void CDayWnd::resizeEvent(QResizeEvent*) {
    rebuildList();
}

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
        const bool isToday =
            today.year == m_table.year() && today.month == row.month && today.day == row.day;
        const bool sunday = store::Weekday(m_table.year(), row.month, row.day) == 0;
        if (sunday) {
            for (int k = 0; S + 1 + 4 * k < w; ++k)
                p.fillRect(S + 1 + 4 * k, y, s(14), R,
                           ToQColor(SundayBandColor(k, hovered, isToday)));
        } else {
            p.fillRect(S + 1, y, w - S - 1, R, ToQColor(PlainRowColor(hovered)));
        }
        if (const RowFill fill = RowFillOver(row, sunday, hovered, isToday); fill.fill)
            p.fillRect(S + 1, y, w - S - 1, R, ToQColor(fill.color));
        const bool hidden = m_blinkPhase && row.blinkKind == 1;
        p.setPen(ToQColor(row.titleColor));
        if (!hidden) {
            p.drawText(QRect(S + s(2), y, D - s(2), R), Qt::AlignHCenter | Qt::AlignTop,
                       QString::number(row.day));
            p.drawText(QRect(S + s(2), y + s(11), D - s(2), R - s(11)),
                       Qt::AlignHCenter | Qt::AlignTop,
                       kWeekdayAbbreviations[store::Weekday(m_table.year(), row.month, row.day)]);
        }
        if (row.hasContent()) {
            const QPoint mark[3] = {{S + 1, y}, {S + 1, y + s(5)}, {S + s(5) + 1, y}};
            p.save();
            p.setPen(grey);
            p.setBrush(grey);
            p.drawPolygon(mark, 3);
            p.restore();
            if (!hidden)
                p.drawText(QRect(S + D + s(3), y, w, R),
                           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                           QString::fromStdU16String(row.title));
        }
        const int iconRight = std::max(w, 160);
        if (row.hasPicture) p.drawPixmap(iconRight - s(22), y + s(4), m_pictureIcon);
        if (row.hasFile) p.drawPixmap(iconRight - s(36), y + s(5), m_fileIcon);
        if (m_blinkPhase && row.blinkKind == 2) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(S + 1, y, w - S - 1, R, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        p.setPen(QColor(192, 192, 192));
        p.drawLine(S, y + R - 1, w, y + R - 1);
        if (r == m_selectedRow && hasFocus()) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(S + 2, y + 1, w - S - 5, R - 3);
        }
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
    if (m_menuOpen) return;
    m_hoverRow = -1;
    update();
}

void CDayWnd::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const std::optional<int> row = m_layout.rowAt(pos.y());
    if (event->button() != Qt::LeftButton || !row) return;
    setFocus();
    m_selectedRow = *row;
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
    m_selectedRow = *row;
    if (m_clickOpens) emit openRequested(dateOf(*row), m_clickPin);
}

void CDayWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const std::optional<int> row = m_layout.rowAt(pos.y());
    if (row) m_selectedRow = *row;
    if (pos.x() >= m_layout.stripWidth()) {
        if (row) emit openRequested(dateOf(*row), true);
        return;
    }
    const std::uint8_t month = row ? m_table.row(*row).month : 12;
    emit openRequested({m_table.year(), month, 0}, true);
}

void CDayWnd::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        if (m_selectedRow < 0 || m_selectedRow >= m_table.count()) return;
        m_layout.ensureVisible(m_selectedRow);
        changed();
        const int y = (m_selectedRow - m_layout.topRow() + 1) * m_layout.rowHeight();
        emit contextMenuRequested(dateOf(m_selectedRow),
                                  mapToGlobal(QPoint(m_layout.stripWidth() + 1, y)));
        return;
    }
    const std::optional<int> row = m_layout.rowAt(event->pos().y());
    if (!row) return;
    store::Date date = dateOf(*row);
    if (event->pos().x() < m_layout.stripWidth())
        date.day = 0;
    else
        m_selectedRow = *row;
    emit contextMenuRequested(date, event->globalPos());
}

void CDayWnd::wheelEvent(QWheelEvent* event) {
    wheel(event->angleDelta().y());
}

// Up and Down move the selected day, Page Up and Down by a page, Home and
// End to the year's ends; Enter opens the day, Ctrl+Enter its month note.
void CDayWnd::keyPressEvent(QKeyEvent* event) {
    const int count = m_table.count();
    const int at = m_selectedRow >= 0 && m_selectedRow < count ? m_selectedRow : m_layout.topRow();
    const int page = std::max(1, m_layout.visibleRows());
    switch (event->key()) {
        case Qt::Key_Up:
            select(m_selectedRow < 0 ? at : std::max(at - 1, 0));
            break;
        case Qt::Key_Down:
            select(m_selectedRow < 0 ? at : std::min(at + 1, count - 1));
            break;
        case Qt::Key_PageUp:
            select(std::max(at - page, 0));
            break;
        case Qt::Key_PageDown:
            select(std::min(at + page, count - 1));
            break;
        case Qt::Key_Home:
            select(0);
            break;
        case Qt::Key_End:
            select(count - 1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (at < count) {
                store::Date date = dateOf(at);
                if (event->modifiers() & Qt::ControlModifier) date.day = 0;
                emit openRequested(date, true);
            }
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CDayWnd::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    emit focused();
    update();
}

void CDayWnd::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

bool CDayWnd::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<int> row = m_layout.rowAt(help->pos().y());
        if (row && help->pos().x() > m_layout.stripWidth() && !m_table.row(*row).title.empty()) {
            const int R = m_layout.rowHeight();
            const QRect area(m_layout.stripWidth(), (*row - m_layout.topRow()) * R, width(), R);
            QToolTip::showText(help->globalPos(),
                               QString::fromStdU16String(m_table.row(*row).title), this, area);
        } else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

}  // namespace tl::calendar
