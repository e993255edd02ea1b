#include "bar_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tl::frame {

namespace {

// Every picture is designed on a 32 x 32 grid and scaled to its rectangle.
constexpr qreal kGrid = 32.0;

// The colours of a picture: outlines, the blue and red accents, paper,
// light fills, faint text lines and the clipboard's board.
struct Ink {
    QColor line, accent, warm, paper, fill, faint, board;
};

Ink InkOf(bool enabled) {
    if (!enabled) {
        const QColor grey(0xA8, 0xA8, 0xA8);
        const QColor light(0xE4, 0xE4, 0xE4);
        return {grey, grey, grey, QColor(0xF4, 0xF4, 0xF4), light, light, light};
    }
    return {QColor(0x34, 0x45, 0x5A), QColor(0x24, 0x6B, 0xD0), QColor(0xCF, 0x3A, 0x34), Qt::white,
            QColor(0xD9, 0xE9, 0xFF), QColor(0xB0, 0xB8, 0xC4), QColor(0xC9, 0x9A, 0x5B)};
}

QPen Pen(const QColor& c, qreal width) {
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Page(QPainter& p, const Ink& ink, const QRectF& r) {
    p.setPen(Pen(ink.line, 1.4));
    p.setBrush(ink.paper);
    p.drawRect(r);
}

// Text lines on a page, every 4 units from top.
void Lines(QPainter& p, const QColor& c, qreal left, qreal right, qreal top, int count) {
    p.setPen(Pen(c, 1.4));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + 4 * i), QPointF(right, top + 4 * i));
}

void Triangle(QPainter& p, const QColor& c, QPointF a, QPointF b, QPointF d) {
    p.setPen(Pen(c, 1.0));
    p.setBrush(c);
    p.drawPolygon(QPolygonF{a, b, d});
}

void Magnifier(QPainter& p, const Ink& ink, QPointF centre, qreal radius) {
    p.setPen(Pen(ink.line, 3.0));
    const QPointF handle = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(handle, handle + QPointF(radius * 0.85, radius * 0.85));
    p.setPen(Pen(ink.line, 2.2));
    p.setBrush(ink.fill);
    p.drawEllipse(centre, radius, radius);
}

// The curved arrow of undo (pointing left); redo mirrors it.
void TurnArrow(QPainter& p, const Ink& ink) {
    QPainterPath path(QPointF(25, 26));
    path.cubicTo(QPointF(27, 16), QPointF(21, 11), QPointF(12, 11));
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(ink.accent, 3.4));
    p.drawPath(path);
    Triangle(p, ink.accent, QPointF(3.5, 11), QPointF(12.5, 4), QPointF(12.5, 18));
}

// A glyph for the format buttons, centred in the upper part of the grid.
void Glyph(QPainter& p, const Ink& ink, const QString& text, bool bold, bool italic,
           qreal bottom = 27) {
    QFont font(QStringLiteral("Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(26);
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(ink.line);
    p.drawText(QRectF(0, 0, kGrid, bottom), Qt::AlignHCenter | Qt::AlignBottom, text);
}

void Paint(QPainter& p, BarPicture picture, const Ink& ink, const QColor& colour) {
    switch (picture) {
        case BarPicture::Cut:
            p.setPen(Pen(ink.line, 2.4));
            p.drawLine(QPointF(12.5, 19), QPointF(21.5, 4));
            p.drawLine(QPointF(19.5, 19), QPointF(10.5, 4));
            p.setPen(Pen(ink.warm, 2.4));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(10, 23.5), 4.2, 4.2);
            p.drawEllipse(QPointF(22, 23.5), 4.2, 4.2);
            p.setPen(Qt::NoPen);
            p.setBrush(ink.line);
            p.drawEllipse(QPointF(16, 13.4), 1.5, 1.5);
            break;
        case BarPicture::Copy:
            Page(p, ink, QRectF(5, 3, 14, 18));
            Lines(p, ink.line, 8, 16, 8, 3);
            Page(p, ink, QRectF(12.5, 10.5, 14, 18));
            Lines(p, ink.accent, 15.5, 23.5, 15.5, 3);
            break;
        case BarPicture::Paste:
            p.setPen(Pen(ink.line, 1.4));
            p.setBrush(ink.board);
            p.drawRoundedRect(QRectF(5, 5, 18, 23), 2, 2);
            p.setBrush(ink.fill);
            p.drawRoundedRect(QRectF(10, 2.5, 8, 5), 1.5, 1.5);
            Page(p, ink, QRectF(13, 11.5, 14, 17));
            Lines(p, ink.accent, 16, 24, 16.5, 3);
            break;
        case BarPicture::Undo:
            TurnArrow(p, ink);
            break;
        case BarPicture::Redo:
            p.translate(kGrid, 0);
            p.scale(-1, 1);
            TurnArrow(p, ink);
            break;
        case BarPicture::ExistOnly:
            // Days of a list, of which only those with a diary remain.
            for (int row = 0; row < 4; ++row) {
                const qreal y = 6 + 6 * row;
                const bool kept = row % 2 == 0;
                p.setPen(Qt::NoPen);
                p.setBrush(kept ? ink.accent : ink.faint);
                p.drawEllipse(QPointF(5.5, y), 2.1, 2.1);
                p.setPen(Pen(kept ? ink.line : ink.faint, 2.0));
                p.drawLine(QPointF(10, y), QPointF(kept ? 21 : 17, y));
            }
            p.setPen(Pen(ink.line, 1.2));
            p.setBrush(ink.warm);
            p.drawPolygon(QPolygonF{QPointF(19, 17), QPointF(30, 17), QPointF(26, 23),
                                    QPointF(26, 29), QPointF(23, 30), QPointF(23, 23)});
            break;
        case BarPicture::Border:
        case BarPicture::ShortBorder: {
            Page(p, ink, QRectF(5, 3, 22, 26));
            Lines(p, ink.faint, 8, 24, 8, 2);
            Lines(p, ink.faint, 8, 24, 22, 2);
            QPen dash = Pen(ink.accent, 2.4);
            dash.setCapStyle(Qt::FlatCap);
            dash.setDashPattern({1.2, 0.8});
            p.setPen(dash);
            const qreal end = picture == BarPicture::Border ? 24.5 : 16;
            p.drawLine(QPointF(7.5, 16), QPointF(end, 16));
            break;
        }
        case BarPicture::Find:
            Magnifier(p, ink, QPointF(13, 13), 8);
            break;
        case BarPicture::FindNext:
        case BarPicture::FindPrevious: {
            Magnifier(p, ink, QPointF(11, 11), 7);
            const bool down = picture == BarPicture::FindNext;
            const qreal tip = down ? 30 : 17;
            const qreal base = down ? 22 : 25;
            p.setPen(Pen(ink.accent, 3.0));
            p.drawLine(QPointF(25, down ? 16 : 31 - 0.5), QPointF(25, base));
            Triangle(p, ink.accent, QPointF(19.5, base), QPointF(30.5, base), QPointF(25, tip));
            break;
        }
        case BarPicture::NextDiary:
        case BarPicture::PreviousDiary: {
            // A diary page with the way to the next (down) or previous (up) one.
            Page(p, ink, QRectF(3.5, 3, 16, 24));
            p.setPen(Pen(ink.warm, 2.0));
            p.drawLine(QPointF(6.5, 8), QPointF(16.5, 8));
            Lines(p, ink.line, 6.5, 16.5, 13, 3);
            const bool down = picture == BarPicture::NextDiary;
            p.setPen(Pen(ink.accent, 3.0));
            p.drawLine(QPointF(25.5, down ? 5 : 28), QPointF(25.5, down ? 20 : 13));
            if (down)
                Triangle(p, ink.accent, QPointF(20, 19), QPointF(31, 19), QPointF(25.5, 28.5));
            else
                Triangle(p, ink.accent, QPointF(20, 14), QPointF(31, 14), QPointF(25.5, 4.5));
            break;
        }
        case BarPicture::Bold:
            Glyph(p, ink, QStringLiteral("B"), true, false);
            break;
        case BarPicture::Italic:
            Glyph(p, ink, QStringLiteral("I"), true, true);
            break;
        case BarPicture::Underline:
            Glyph(p, ink, QStringLiteral("U"), false, false, 25);
            p.setPen(Pen(ink.line, 2.0));
            p.drawLine(QPointF(8, 28.5), QPointF(24, 28.5));
            break;
        case BarPicture::StrikeOut:
            Glyph(p, ink, QStringLiteral("S"), false, false);
            p.setPen(Pen(ink.warm, 2.2));
            p.drawLine(QPointF(5, 17), QPointF(27, 17));
            break;
        case BarPicture::TextColor:
            Glyph(p, ink, QStringLiteral("A"), true, false, 23);
            p.setPen(Pen(ink.line, 1.0));
            p.setBrush(colour.isValid() ? colour : ink.line);
            p.drawRect(QRectF(4, 24.5, 24, 5.5));
            break;
        case BarPicture::DropDown:
            Triangle(p, ink.line, QPointF(4, 12), QPointF(28, 12), QPointF(16, 21));
            break;
    }
}

}  // namespace

void PaintBarPicture(QPainter& p, BarPicture picture, const QRectF& rect, bool enabled,
                     const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(rect.topLeft());
    p.scale(rect.width() / kGrid, rect.height() / kGrid);
    Paint(p, picture, InkOf(enabled), enabled ? colour : QColor(0xA8, 0xA8, 0xA8));
    p.restore();
}

void PaintButtonFrame(QPainter& p, ButtonFrame frame, const QRectF& rect) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    if (frame == ButtonFrame::Hover) {
        fill.setColorAt(0, QColor(0xF5, 0xFA, 0xFF));
        fill.setColorAt(1, QColor(0xD8, 0xE8, 0xFC));
        p.setPen(QPen(QColor(0x7D, 0xA2, 0xCE), 1));
    } else {
        fill.setColorAt(0, QColor(0xBC, 0xD4, 0xF2));
        fill.setColorAt(1, QColor(0xD6, 0xE6, 0xF8));
        p.setPen(QPen(QColor(0x4F, 0x77, 0xAD), 1));
    }
    p.setBrush(fill);
    const qreal radius = std::max<qreal>(2.0, r.height() / 10);
    p.drawRoundedRect(r, radius, radius);
    p.restore();
}

}  // namespace tl::frame
