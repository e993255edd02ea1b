#include "arrow_buttons.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace tl::calendar {

namespace {

void Fill(QPainter& p, const Triangle& t, const QColor& pen, const QColor& brush) {
    const QPoint points[3] = {{t[0].x, t[0].y}, {t[1].x, t[1].y}, {t[2].x, t[2].y}};
    p.setPen(pen);
    p.setBrush(brush);
    p.drawPolygon(points, 3);
}

}  // namespace

CArrowButton::CArrowButton(ArrowDirection direction, const QString& tip, QWidget* parent)
    : QAbstractButton(parent), m_direction(direction) {
    setToolTip(tip);
    setAccessibleName(tip);
    setFocusPolicy(Qt::NoFocus);
}

void CArrowButton::enterEvent(QEnterEvent*) {
    m_hovered = true;
    update();
}

void CArrowButton::leaveEvent(QEvent*) {
    m_hovered = false;
    update();
}

void CCalenderButton::paintEvent(QPaintEvent*) {
    // No background: the calendar's header shows through.
    QPainter p(this);
    const int dpi = logicalDpiY();
    const QColor fill = isDown() ? QColor(128, 128, 128) : QColor(168, 168, 168);
    Fill(p, CalendarArrow(direction(), dpi), fill, fill);
    if (hovered()) Fill(p, CalendarArrowHover(direction(), isDown(), dpi), Qt::white, Qt::white);
}

void CScrollBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton frame;
    frame.initFrom(this);
    frame.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (hovered()) frame.state |= QStyle::State_MouseOver;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &frame, &p, this);
    const QColor text = palette().color(QPalette::ButtonText);
    for (const Triangle& t : MonthPageArrows(direction(), isDown(), logicalDpiY()))
        Fill(p, t, text, text);
}

}  // namespace tl::calendar
