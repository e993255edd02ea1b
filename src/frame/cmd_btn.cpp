#include "cmd_btn.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "widgets/scale.h"

namespace tl::frame {

CCmdBtn::CCmdBtn(res::Cmd cmd, BarPicture picture, const QString& tip, QWidget* parent)
    : QAbstractButton(parent), m_cmd(cmd), m_picture(picture) {
    QString shown = tip;
    shown.remove(u'&');
    setToolTip(shown);
    setAccessibleName(shown);
    setFocusPolicy(Qt::NoFocus);
}

QSize CCmdBtn::sizeHint() const {
    return QSize(widgets::Scale(32), widgets::Scale(32));
}

void CCmdBtn::setColour(const QColor& colour) {
    if (colour == m_colour) return;
    m_colour = colour;
    update();
}

void CCmdBtn::setState(bool enabled, bool on) {
    if (enabled != isEnabled()) setEnabled(enabled);
    if (on == m_on) return;
    m_on = on;
    update();
}

void CCmdBtn::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    m_hovered = true;
    update();
}

void CCmdBtn::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    m_hovered = false;
    update();
}

void CCmdBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF inside = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (isEnabled()) {
        if (isDown() || m_on)
            PaintButtonFrame(p, ButtonFrame::Pressed, inside);
        else if (m_hovered)
            PaintButtonFrame(p, ButtonFrame::Hover, inside);
    }
    // The picture keeps a small margin inside the frame.
    const qreal margin = std::max<qreal>(1.0, width() / 16.0);
    PaintBarPicture(p, m_picture, inside.adjusted(margin, margin, -margin, -margin), isEnabled(),
                    m_colour);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

}  // namespace tl::frame
