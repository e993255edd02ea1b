#include "calender_ctl.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "arrow_buttons.h"
#include "widgets/month_names.h"
#include "widgets/popup_menu.h"
#include "widgets/qt_color.h"
#include "year_day_table.h"

namespace tl::calendar {

using widgets::kMonthAbbreviations;
using widgets::kMonthNames;
using widgets::kWeekdayAbbreviations;
using widgets::Rect;
using widgets::ToQColor;

CCalenderCtl::CCalenderCtl(const YearDayTable& table, Today today, QWidget* parent)
    : QWidget(parent), m_table(table), m_today(std::move(today)) {
    setObjectName("CALENDER");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_month = m_today().month;
    m_keyDay = m_today().day;
    createButtons();
}

void CCalenderCtl::createButtons() {
    m_prevYear = new CCalenderButton(ArrowDirection::Left, tr("Previous year"), this);
    m_nextYear = new CCalenderButton(ArrowDirection::Right, tr("Next year"), this);
    m_prevMonth = new CCalenderButton(ArrowDirection::Left, tr("Previous month"), this);
    m_nextMonth = new CCalenderButton(ArrowDirection::Right, tr("Next month"), this);
    connect(m_prevYear, &QAbstractButton::clicked, this,
            [this] { emit yearMonthRequested(PreviousYear(m_table.year()), m_month); });
    connect(m_nextYear, &QAbstractButton::clicked, this,
            [this] { emit yearMonthRequested(NextYear(m_table.year()), m_month); });
    connect(m_prevMonth, &QAbstractButton::clicked, this, [this] {
        stepMonth(PreviousMonth({m_table.year(), m_month}));
    });
    connect(m_nextMonth, &QAbstractButton::clicked, this, [this] {
        stepMonth(NextMonth({m_table.year(), m_month}));
    });
}

MonthGrid CCalenderCtl::grid() const {
    return MonthGrid(m_table.year(), m_month, width(), logicalDpiY());
}

QSize CCalenderCtl::sizeHint() const {
    const MonthGrid g = grid();
    return {g.scaled(200), g.paintedHeight()};
}

void CCalenderCtl::setDisplayedMonth(int month) {
    if (month < 1 || month > 12) return;
    m_month = month;
    m_hoverDay = -1;
    m_keyDay = std::min(m_keyDay, DaysInMonth(m_table.year(), month));
    update();
}

void CCalenderCtl::stepMonth(YearMonth to) {
    if (to.year != m_table.year()) {
        emit yearMonthRequested(to.year, to.month);
        return;
    }
    setDisplayedMonth(to.month);
    emit monthChanged(to.month);
}

void CCalenderCtl::onBlinkTick(bool phaseOn) {
    m_blinkPhase = !phaseOn;
    const MonthGrid g = grid();
    for (int day = 1; day <= g.daysInMonth(); ++day) {
        const std::optional<int> row = m_table.FindRow(m_month, day);
        if (row && m_table.row(*row).blinkKind != 0) {
            const Rect r = g.cellRect(day);
            update(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1);
        }
    }
}

void CCalenderCtl::layoutButtons() {
    const MonthGrid g = grid();
    const QSize size(g.scaled(15), g.scaled(20));
    const int w = width();
    for (CCalenderButton* b : {m_prevYear, m_nextYear, m_prevMonth, m_nextMonth}) b->resize(size);
    m_prevYear->move(1, 1);
    m_nextYear->move(w / 2 - size.width(), 1);
    m_prevMonth->move(w / 2, 1);
    m_nextMonth->move(w - size.width(), 1);
}

void CCalenderCtl::resizeEvent(QResizeEvent*) {
    layoutButtons();
}

void CCalenderCtl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const MonthGrid g = grid();
    const int w = width();
    const int half = w / 2;
    p.fillRect(1, 1, w, g.scaled(144), Qt::white);
    for (int i = 0; i < g.scaled(16); ++i)
        p.fillRect(half, i, w - half, 1, ToQColor(HeaderGradient(i, m_month, g)));
    p.fillRect(1, 0, half, g.scaled(16) + 2, QColor(215, 240, 255));
    if (m_headerHover == HeaderHalf::Month)
        p.fillRect(half, 0, half, g.scaled(16) + 2, QColor(230, 255, 255));
    if (m_headerHover == HeaderHalf::Year)
        p.fillRect(1, 0, half, g.scaled(16) + 2, QColor(230, 255, 255));
    for (int c = 0; c < 7; ++c)
        for (int k = 0; k <= 7; ++k) {
            const int v = 239 + 2 * k;
            p.fillRect(g.columnLeft(c) + 1, g.scaled(36) - k, g.columnWidth(c), 1, QColor(v, v, v));
        }
    p.fillRect(1, g.scaled(36) + 1, g.columnWidth(0), 6 * g.rowHeight(), ToQColor(kSundayBase));

    const QColor grey(128, 128, 128);
    auto triangle = [&](int x, int y, int x2, int y2) {
        const QPoint points[3] = {{x, y}, {x, y2}, {x2, y}};
        p.setPen(grey);
        p.setBrush(grey);
        p.drawPolygon(points, 3);
    };
    if (m_table.yearNote().hasContent()) triangle(1, 1, g.scaled(6), g.scaled(6));
    if (m_table.monthNote(m_month).hasContent())
        triangle(half + 1, 1, half + g.scaled(6), g.scaled(6));

    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(0, 2, half, g.scaled(18) - 2), Qt::AlignCenter,
               QString::asprintf("%04d", m_table.year()));
    p.drawText(QRect(half, 2, w - half, g.scaled(18) - 2), Qt::AlignCenter,
               kMonthAbbreviations[m_month - 1]);
    const int weekdayMiddle = (g.scaled(18) + g.scaled(36) + 2) / 2;
    for (int c = 0; c < 7; ++c) {
        p.setPen(c == 0 ? QColor(255, 0, 0) : QColor(0, 0, 0));
        p.drawText(QRect(g.columnLeft(c) + 5, weekdayMiddle - g.scaled(9), g.columnWidth(c) - 5,
                         g.scaled(18)),
                   Qt::AlignCenter, kWeekdayAbbreviations[c]);
    }

    const store::Date today = m_today();
    for (int day = 1; day <= g.daysInMonth(); ++day) {
        const int c = g.columnOf(day);
        const int top = g.rowTop(g.rowOf(day));
        const std::optional<int> index = m_table.FindRow(m_month, day);
        const DayRow* row = index ? &m_table.row(*index) : nullptr;
        const bool isToday =
            today.year == m_table.year() && today.month == m_month && today.day == day;
        const DayCellLook look = CalendarDayLook(row, c, day == m_hoverDay, isToday, m_blinkPhase);
        const QRect cell(g.columnLeft(c) + 1, top + 1, g.columnWidth(c) - 1, g.rowHeight() - 1);
        if (look.fill) p.fillRect(cell, ToQColor(look.fillColor));
        if (look.marked)
            triangle(cell.left(), cell.top(), g.columnLeft(c) + g.scaled(6), top + g.scaled(6));
        if (look.showNumber) {
            p.setPen(ToQColor(look.textColor));
            p.drawText(QRect(g.columnLeft(c) + 5, top + 3, g.columnWidth(c) - 5, g.rowHeight() - 3),
                       Qt::AlignCenter, QString::number(day));
        }
        if (look.inverted) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(cell, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
    if (hasFocus() && m_keyDay <= g.daysInMonth()) {
        const int c = g.columnOf(m_keyDay);
        const int top = g.rowTop(g.rowOf(m_keyDay));
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(g.columnLeft(c) + 1, top + 1, g.columnWidth(c) - 2, g.rowHeight() - 2);
    }
    p.setPen(QColor(192, 192, 192));
    p.drawLine(0, 0, 0, g.paintedHeight() - 1);
    p.drawLine(w - 1, 0, w - 1, g.paintedHeight() - 1);
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, g.scaled(144) + 1, w - 1, g.scaled(144) + 1);
}

void CCalenderCtl::mouseMoveEvent(QMouseEvent* event) {
    const MonthGrid g = grid();
    const QPoint pos = event->position().toPoint();
    const int day = g.dayAt(pos.x(), pos.y()).value_or(-1);
    const HeaderHalf header = g.headerAt(pos.x(), pos.y());
    if (day != m_hoverDay || header != m_headerHover) {
        m_hoverDay = day;
        m_headerHover = header;
        update();
    }
}

void CCalenderCtl::leaveEvent(QEvent*) {
    if (m_menuOpen) return;
    m_hoverDay = -1;
    m_headerHover = HeaderHalf::None;
    update();
}

void CCalenderCtl::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const MonthGrid g = grid();
    if (event->button() != Qt::LeftButton) return;
    m_pressPos = pos;
    m_hoverDay = -1;
    if (pos.y() >= g.headerHeight()) {
        if (const std::optional<int> day = g.dayAt(pos.x(), pos.y())) {
            m_hoverDay = *day;
            m_keyDay = *day;
            emit dayPicked({m_table.year(), static_cast<std::uint8_t>(m_month),
                            static_cast<std::uint8_t>(*day)});
            if (m_clickOpens)
                emit openRequested({m_table.year(), static_cast<std::uint8_t>(m_month),
                                    static_cast<std::uint8_t>(*day)},
                                   m_clickPin);
        }
        update();
        return;
    }
    showHeaderMenu(g.headerAt(pos.x(), pos.y()), event->globalPosition().toPoint());
}

void CCalenderCtl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || pos != m_pressPos || m_hoverDay != -1) return;
    switch (grid().pagingAt(pos.y())) {
        case Paging::PreviousMonth:
            stepMonth(PreviousMonth({m_table.year(), m_month}));
            break;
        case Paging::NextMonth:
            stepMonth(NextMonth({m_table.year(), m_month}));
            break;
        case Paging::None:
            break;
    }
}

void CCalenderCtl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const MonthGrid g = grid();
    const auto month = static_cast<std::uint8_t>(m_month);
    if (const std::optional<int> day = g.dayAt(pos.x(), pos.y()))
        emit openRequested({m_table.year(), month, static_cast<std::uint8_t>(*day)}, true);
    else if (pos.y() < g.headerHeight())
        emit openRequested({m_table.year(), month, 0}, true);
}

// From the keyboard: the day's menu; with Ctrl the month note's, with
// Ctrl+Shift the year note's.
void CCalenderCtl::contextMenuEvent(QContextMenuEvent* event) {
    const MonthGrid g = grid();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const Rect cell = g.cellRect(m_keyDay);
        const Qt::KeyboardModifiers mods = event->modifiers();
        const int target = !(mods & Qt::ControlModifier) ? m_keyDay
                           : (mods & Qt::ShiftModifier)  ? -1
                                                         : 0;
        showContextMenu(target, mapToGlobal(QPoint(cell.left, cell.bottom)));
        return;
    }
    const QPoint pos = event->pos();
    if (const std::optional<int> day = g.dayAt(pos.x(), pos.y()))
        showContextMenu(*day, event->globalPos());
    else if (g.headerAt(pos.x(), pos.y()) == HeaderHalf::Year)
        showContextMenu(-1, event->globalPos());
    else if (g.headerAt(pos.x(), pos.y()) == HeaderHalf::Month)
        showContextMenu(0, event->globalPos());
}

// day 0: the month note; -1: the year note.
void CCalenderCtl::showContextMenu(int day, QPoint globalPos) {
    store::Date target{m_table.year(), static_cast<std::uint8_t>(m_month),
                       static_cast<std::uint8_t>(std::max(day, 0))};
    if (day < 0) target.month = 0;
    m_menuOpen = true;
    emit contextMenuRequested(target, globalPos);
    m_menuOpen = false;
    update();
}

void CCalenderCtl::moveKeyDay(int days) {
    const CalendarDay to = StepDays({{m_table.year(), m_month}, m_keyDay}, days);
    if (to.month.year != m_table.year())
        emit yearMonthRequested(to.month.year, to.month.month);
    else if (to.month.month != m_month)
        stepMonth(to.month);
    m_keyDay = to.day;
    emit dayPicked(
        {m_table.year(), static_cast<std::uint8_t>(m_month), static_cast<std::uint8_t>(m_keyDay)});
    update();
}

// The keys: arrows move the day, Page Up and Down the month (with Ctrl the
// year), Home today, Enter opens the day, Ctrl+Enter its month note.
void CCalenderCtl::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const auto month = static_cast<std::uint8_t>(m_month);
    switch (event->key()) {
        case Qt::Key_Left:
            moveKeyDay(-1);
            break;
        case Qt::Key_Right:
            moveKeyDay(1);
            break;
        case Qt::Key_Up:
            moveKeyDay(-7);
            break;
        case Qt::Key_Down:
            moveKeyDay(7);
            break;
        case Qt::Key_PageUp:
            if (ctrl)
                emit yearMonthRequested(PreviousYear(m_table.year()), m_month);
            else
                stepMonth(PreviousMonth({m_table.year(), m_month}));
            break;
        case Qt::Key_PageDown:
            if (ctrl)
                emit yearMonthRequested(NextYear(m_table.year()), m_month);
            else
                stepMonth(NextMonth({m_table.year(), m_month}));
            break;
        case Qt::Key_Home: {
            const store::Date today = m_today();
            m_keyDay = today.day;
            if (today.year != m_table.year())
                emit yearMonthRequested(today.year, today.month);
            else
                stepMonth({today.year, today.month});
            update();
            break;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit openRequested(
                {m_table.year(), month, static_cast<std::uint8_t>(ctrl ? 0 : m_keyDay)}, true);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CCalenderCtl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CCalenderCtl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CCalenderCtl::showHeaderMenu(HeaderHalf half, QPoint globalPos) {
    QMenu menu(this);
    const std::int16_t year = m_table.year();
    if (half == HeaderHalf::Month) {
        connect(menu.addAction(tr("Open month &note")), &QAction::triggered, this, [this, year] {
            emit openRequested({year, static_cast<std::uint8_t>(m_month), 0}, true);
        });
        for (int k = 1; k <= 12; ++k) {
            QAction* a = menu.addAction(kMonthNames[k - 1]);
            a->setCheckable(true);
            a->setChecked(k == m_month);
            connect(a, &QAction::triggered, this, [this, k] { stepMonth({m_table.year(), k}); });
        }
    } else {
        connect(menu.addAction(tr("Open year &note")), &QAction::triggered, this, [this, year] {
            emit openRequested({year, 0, 0}, true);
        });
        const int start = YearMenuStart(year);
        for (int y = start; y <= start + 10; ++y) {
            QAction* a = menu.addAction(QString::number(y));
            a->setCheckable(true);
            a->setChecked(y == year);
            connect(a, &QAction::triggered, this,
                    [this, y] { emit yearMonthRequested(y, m_month); });
        }
    }
    connect(menu.addAction(tr("Specify year and &month")), &QAction::triggered, this,
            &CCalenderCtl::yearMonthDialogRequested);
    m_menuOpen = true;
    widgets::ExecPopupMenu(menu, globalPos);
    m_menuOpen = false;
    update();
}

bool CCalenderCtl::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const MonthGrid g = grid();
        const std::optional<int> day = g.dayAt(help->pos().x(), help->pos().y());
        const std::optional<int> row = day ? m_table.FindRow(m_month, *day) : std::nullopt;
        if (row && !m_table.row(*row).title.empty()) {
            const Rect r = g.cellRect(*day);
            QToolTip::showText(help->globalPos(),
                               QString::fromStdU16String(m_table.row(*row).title), this,
                               QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace tl::calendar
