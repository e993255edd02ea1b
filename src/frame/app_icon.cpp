#include "app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tl::frame {
namespace {

// The drawing is laid out on a 64 x 64 grid and scaled to each size, so
// small sizes are rendered sharp instead of shrunk from one large pixmap.
constexpr qreal kGrid = 64.0;

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kGrid, size / kGrid);

    // The page, with a darker spine on the left as on a bound diary.
    const QRectF page(8, 4, 48, 56);
    p.setPen(QPen(QColor(0x6b, 0x4f, 0x2a), 2));
    p.setBrush(QColor(0xfb, 0xf6, 0xe4));
    p.drawRoundedRect(page, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x5a, 0x2b));
    p.drawRoundedRect(QRectF(8, 4, 9, 56), 4, 4);
    p.drawRect(QRectF(13, 4, 4, 56));

    // Ruled lines, only where they stay visible.
    if (size >= 32) {
        p.setPen(QPen(QColor(0xb8, 0xc8, 0xd8), 1.5));
        for (qreal y = 16; y <= 48; y += 8) p.drawLine(QPointF(22, y), QPointF(50, y));
    }

    // The leaf: two curves from the stem end to the tip, and a vein.
    QPainterPath leaf;
    leaf.moveTo(22, 54);
    leaf.cubicTo(18, 34, 34, 18, 54, 14);
    leaf.cubicTo(56, 34, 42, 52, 22, 54);
    p.setPen(QPen(QColor(0x2e, 0x6b, 0x2a), 2));
    p.setBrush(QColor(0x4c, 0xa8, 0x3c));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(0x2e, 0x6b, 0x2a), 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath vein;
    vein.moveTo(22, 54);
    vein.quadTo(34, 38, 52, 16);
    p.drawPath(vein);
    return pixmap;
}

}  // namespace

QIcon makeAppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(drawIcon(size));
    return icon;
}

}  // namespace tl::frame
