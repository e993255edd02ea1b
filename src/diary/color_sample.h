#pragma once

// How a choice of title or note colours is previewed: the inside filled
// with the background colour and the text over it in the text colour. In
// the off phase of its blink, kind 1 hides the text and kind 2 shows both
// colours inverted. Used by the header's colour button and by the colour
// dialogs of titles and sticky notes.

#include <QRect>
#include <QString>
#include <cstdint>

#include "sticky/blink_rule.h"

class QPainter;

namespace tl::diary {

// back and text are 0x00BBGGRR; the caption goes into textRect with
// textFlags as for QPainter::drawText.
void PaintColorSample(QPainter& p, const QRect& inside, const QRect& textRect, std::uint32_t back,
                      std::uint32_t text, const QString& caption, const sticky::BlinkPhase& blink,
                      int textFlags);

}  // namespace tl::diary
