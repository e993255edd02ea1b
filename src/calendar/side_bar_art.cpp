#include "side_bar_art.h"

#include <QPainter>
#include <QPainterPath>

#include "widgets/scale.h"

namespace tl::calendar {

namespace {

QPixmap Blank(int w, int h) {
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap SideBarPattern() {
    // A quiet paper grain: a pale ground with a sparse diagonal dot.
    QPixmap tile(8, 8);
    tile.fill(QColor(246, 244, 238));
    QPainter p(&tile);
    p.setPen(QColor(234, 230, 220));
    for (int i = 0; i < 8; i += 4) {
        p.drawPoint(i, i);
        p.drawPoint((i + 6) % 8, (i + 2) % 8);
    }
    return tile;
}

QPixmap PictureIcon(int dpi) {
    const int w = widgets::ScaleAt(16, dpi);
    const int h = widgets::ScaleAt(14, dpi);
    QPixmap pixmap = Blank(w, h);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(0.5, 0.5, w - 1, h - 1);
    p.setPen(QColor(90, 110, 140));
    p.setBrush(QColor(200, 228, 250));
    p.drawRect(frame);
    // Two hills and a sun.
    QPainterPath hills;
    hills.moveTo(1, h - 1);
    hills.lineTo(w * 0.35, h * 0.45);
    hills.lineTo(w * 0.55, h * 0.7);
    hills.lineTo(w * 0.75, h * 0.5);
    hills.lineTo(w - 1, h - 1);
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 160, 90));
    p.drawPath(hills);
    p.setBrush(QColor(240, 180, 60));
    p.drawEllipse(QPointF(w * 0.72, h * 0.28), w * 0.1, w * 0.1);
    return pixmap;
}

QPixmap FileIcon(int dpi) {
    const int w = widgets::ScaleAt(11, dpi);
    const int h = widgets::ScaleAt(14, dpi);
    const int fold = widgets::ScaleAt(4, dpi);
    QPixmap pixmap = Blank(w, h);
    QPainter p(&pixmap);
    const QPoint page[5] = {{0, 0}, {w - 1 - fold, 0}, {w - 1, fold}, {w - 1, h - 1}, {0, h - 1}};
    p.setPen(QColor(110, 110, 110));
    p.setBrush(Qt::white);
    p.drawPolygon(page, 5);
    p.drawLine(w - 1 - fold, 0, w - 1 - fold, fold);
    p.drawLine(w - 1 - fold, fold, w - 1, fold);
    p.setPen(QColor(170, 170, 170));
    for (int y = fold + 2; y < h - 2; y += 2) p.drawLine(2, y, w - 3, y);
    return pixmap;
}

}  // namespace tl::calendar
