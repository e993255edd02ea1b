#include "tab_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QToolButton>

#include "tab_click_window.h"
#include "tab_table.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::Scale;

namespace {

QToolButton* StripButton(QWidget* parent, Qt::ArrowType arrow, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(tip);
    if (arrow != Qt::NoArrow) button->setArrowType(arrow);
    return button;
}

}  // namespace

CTabStrip::CTabStrip(TabTable& table, QWidget* parent) : QWidget(parent), m_table(table) {
    setMouseTracking(true);
    setFixedHeight(Scale(kTabStripHeight));
    m_close = StripButton(this, Qt::NoArrow, tr("Close"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_right = StripButton(this, Qt::RightArrow, tr("Scroll right"));
    m_left = StripButton(this, Qt::LeftArrow, tr("Scroll left"));
    connect(m_close, &QToolButton::pressed, this, &CTabStrip::closeClicked);
    connect(m_left, &QToolButton::pressed, this, [this] {
        if (m_table.scrollLeft()) emit tableChanged();
    });
    connect(m_right, &QToolButton::pressed, this, [this] {
        if (m_table.scrollRight(tabsRight())) emit tableChanged();
    });
    layoutButtons();
}

int CTabStrip::tabsRight() const {
    return width() - Scale(50);
}

QSize CTabStrip::sizeHint() const {
    return QSize(Scale(300), Scale(kTabStripHeight));
}

void CTabStrip::layoutButtons() {
    int size = Scale(14);
    int top = Scale(3);
    m_close->setGeometry(width() - Scale(20), top, size, size);
    m_right->setGeometry(width() - Scale(34), top, size, size);
    m_left->setGeometry(width() - Scale(47), top, size, size);
}

void CTabStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutButtons();
}

void CTabStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), widgets::ToQColor(kTabStripColor));
    const auto& rows = m_table.rows();
    auto xs = m_table.positions();
    int right = tabsRight();
    painter.setClipRect(QRect(0, 0, right, height()));
    for (int i = m_table.firstVisible(); i < m_table.count(); ++i) {
        if (xs[i] >= right) break;
        QStyleOptionTab option;
        option.initFrom(this);
        option.rect = QRect(xs[i], Scale(2), rows[i].width, height() - Scale(2));
        option.shape = QTabBar::RoundedNorth;
        option.text = QString::fromStdU16String(rows[i].name);
        option.position = QStyleOptionTab::Middle;
        option.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver);
        if (i == m_table.current()) option.state |= QStyle::State_Selected;
        if (i == m_table.hover()) option.state |= QStyle::State_MouseOver;
        if (rows[i].pinned) {
            // The pin: a small filled head on a stem, left of the text.
            style()->drawControl(QStyle::CE_TabBarTabShape, &option, &painter, this);
            int x = xs[i] + Scale(5);
            int mid = option.rect.center().y();
            painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
            painter.drawLine(x + Scale(3), mid, x + Scale(3), mid + Scale(5));
            painter.setBrush(QColor(0xD0, 0x30, 0x30));
            painter.drawEllipse(QPoint(x + Scale(3), mid - Scale(1)), Scale(3), Scale(3));
            QRect textRect = option.rect.adjusted(Scale(6), 0, 0, 0);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, option.text);
        } else {
            style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
        }
    }
}

void CTabStrip::press(QMouseEvent* event) {
    int x = event->position().toPoint().x();
    if (x <= TabTable::kLeft && m_table.firstVisible() > 0) {
        m_table.scrollLeft();
        x = TabTable::kLeft + 1;
        emit tableChanged();
    }
    int row = m_table.hitTest(x, tabsRight());
    if (row < 0) return;
    store::Date date = m_table.rows()[row].date;
    if (event->button() == Qt::RightButton) {
        m_table.setCurrent(row);
        m_table.setHover(-1);
        emit tabActivated(date);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    m_currentBeforePress = m_table.current();
    m_table.setCurrent(row);
    m_moved = false;
    const bool second =
        m_clickWindow && m_clickWindow->press(date) == TabClickWindow::Press::TogglePin;
    // The second click starts no drag. Its tab is current already unless a
    // third tab was clicked in between; then it comes forward too, so that
    // the strip and the entry shown agree.
    m_pressedRow = second ? -1 : row;
    if (row != m_currentBeforePress) emit tabActivated(date);
    if (second) emit pinToggled(date);
    update();
}

void CTabStrip::mousePressEvent(QMouseEvent* event) {
    press(event);
}

// A double click is another button down: the click window decides.
void CTabStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    press(event);
}

void CTabStrip::mouseMoveEvent(QMouseEvent* event) {
    int row = m_table.hitTest(event->position().toPoint().x(), tabsRight());
    if (m_pressedRow >= 0 && (event->buttons() & Qt::LeftButton)) {
        if (row >= 0 && row != m_pressedRow) {
            m_table.move(m_pressedRow, row);
            m_pressedRow = row;
            m_moved = true;
            emit tableChanged();
        }
        return;
    }
    if (row != m_table.hover()) {
        m_table.setHover(row);
        update();
    }
}

void CTabStrip::mouseReleaseEvent(QMouseEvent* event) {
    int row = m_table.hitTest(event->position().toPoint().x(), tabsRight());
    if (event->button() == Qt::RightButton) {
        if (row >= 0)
            emit menuRequested(m_table.rows()[row].date, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    int pressed = m_pressedRow;
    m_pressedRow = -1;
    if (pressed < 0) return;
    store::Date date = m_table.rows()[pressed].date;
    if (pressed == m_currentBeforePress && !m_moved) {
        emit pinToggled(date);
    } else if (m_moved) {
        emit tabActivated(date);
    }
    m_moved = false;
}

void CTabStrip::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (m_table.hover() != -1) {
        m_table.setHover(-1);
        update();
    }
}

}  // namespace tl::diary
