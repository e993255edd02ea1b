#pragma once

// The preview of a colour choice, as the colour dialogs and the note
// settings' colour button show it: an edit field's frame, the inside filled
// with the background colour and the caption in the text colour.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

class QPainter;
class QWidget;

namespace tl::widgets {

struct ColorSample {
    std::uint32_t background = 0;  // 0x00BBGGRR
    std::uint32_t text = 0;
    bool textShown = true;  // false in the off phase of a blinking text
};

// The caption goes into the inside less textMargins, moved by textShift
// (a pressed button's caption sinks by a pixel), with textFlags as for
// QPainter::drawText. Returns the inside.
QRect PaintColorPreview(QPainter& p, const QWidget& widget, const ColorSample& sample,
                        const QString& caption, int textFlags, QMargins textMargins = {},
                        QPoint textShift = {});

}  // namespace tl::widgets
