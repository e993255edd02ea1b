#include "color_sample.h"

#include <QPainter>

#include "colors.h"

namespace tl::diary {

void PaintColorSample(QPainter& p, const QRect& inside, const QRect& textRect, std::uint32_t back,
                      std::uint32_t text, const QString& caption, const sticky::BlinkPhase& blink,
                      int textFlags) {
    const bool inverted = blink.inverted();
    p.fillRect(inside, ToQColor(inverted ? sticky::InvertedColor(back) : back));
    if (blink.textHidden()) return;
    p.setPen(ToQColor(inverted ? sticky::InvertedColor(text) : text));
    p.drawText(textRect, textFlags, caption);
}

}  // namespace tl::diary
