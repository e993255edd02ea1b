#include "widgets/color_preview.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

#include "widgets/qt_color.h"

namespace tl::widgets {

QRect PaintColorPreview(QPainter& p, const QWidget& widget, const ColorSample& sample,
                        const QString& caption, int textFlags, QMargins textMargins,
                        QPoint textShift) {
    QStyleOptionFrame frame;
    frame.initFrom(&widget);
    frame.lineWidth = widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &widget);
    widget.style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, &widget);
    const QRect inside = widget.rect().adjusted(2, 2, -2, -2);
    p.fillRect(inside, ToQColor(sample.background));
    if (sample.textShown) {
        p.setPen(ToQColor(sample.text));
        p.drawText(inside.marginsRemoved(textMargins).translated(textShift), textFlags, caption);
    }
    return inside;
}

}  // namespace tl::widgets
