#include "color_pick_wnd.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "res/messages.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Scale;

namespace {

QRect ToQRect(const widgets::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

QString MsgText(res::Msg id) {
    const std::string_view t = res::Text(id);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

}  // namespace

CColorPickWnd::CColorPickWnd(QWidget* parent) : QWidget(parent, Qt::Popup), m_layout(Scale(96)) {
    setFixedSize(m_layout.width(), m_layout.height());
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Text color"));
}

void CColorPickWnd::popup(QPoint topLeft) {
    m_hover = -1;
    move(topLeft);
    show();
    setFocus(Qt::PopupFocusReason);
}

void CColorPickWnd::setHover(int item) {
    if (item == m_hover) return;
    m_hover = item;
    update();
}

void CColorPickWnd::pick(int item) {
    close();
    if (item >= 0) emit picked(item);
}

void CColorPickWnd::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    setHover(m_layout.hitTest(at.x(), at.y()));
}

void CColorPickWnd::leaveEvent(QEvent*) {
    setHover(-1);
}

// A release outside every item closes the popup without a choice.
void CColorPickWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    pick(rect().contains(at) ? m_layout.hitTest(at.x(), at.y()) : -1);
}

void CColorPickWnd::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            setHover(MovePick(m_hover, PickMove::Left));
            return;
        case Qt::Key_Right:
            setHover(MovePick(m_hover, PickMove::Right));
            return;
        case Qt::Key_Up:
            setHover(MovePick(m_hover, PickMove::Up));
            return;
        case Qt::Key_Down:
            setHover(MovePick(m_hover, PickMove::Down));
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            pick(m_hover);
            return;
        case Qt::Key_Escape:
            pick(-1);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CColorPickWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(192, 192, 192));
    for (const ColorPickLayout::Line& line : m_layout.separators())
        p.drawLine(line.x, line.y, line.x + line.length, line.y);
    // The highlight of the item under the pointer goes under its swatch or text.
    if (m_hover >= 0) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(0x7D, 0xA2, 0xCE));
        p.setBrush(QColor(0xDC, 0xEA, 0xFB));
        p.drawRoundedRect(
            QRectF(ToQRect(m_layout.itemRect(m_hover))).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        p.restore();
    }
    p.setPen(palette().color(QPalette::Text));
    p.drawText(ToQRect(m_layout.itemRect(kAutoItem)), Qt::AlignCenter,
               MsgText(res::Msg::AutoColor));
    p.drawText(ToQRect(m_layout.itemRect(kOtherItem)), Qt::AlignCenter,
               MsgText(res::Msg::OtherColor));
    const int inset = Scale(4);
    for (int item = 1; item < kOtherItem; ++item) {
        const QRect swatch =
            ToQRect(m_layout.itemRect(item)).adjusted(inset, inset, -inset, -inset);
        const std::uint32_t color = SwatchColor(item);
        p.fillRect(swatch, widgets::ToQColor(color));
        if (color == 0xFFFFFF) {
            p.setPen(QColor(128, 128, 128));
            p.drawRect(swatch.adjusted(0, 0, -1, -1));
        }
    }
}

}  // namespace tl::frame
