#pragma once

// The pictures of the command bar and the edit bar, drawn as shapes at the
// size asked for, so that they stay sharp at any screen resolution. A
// disabled picture is the same shape in grey.

#include <QColor>
#include <QRectF>

class QPainter;

namespace tl::frame {

enum class BarPicture {
    Cut,
    Copy,
    Paste,
    Undo,
    Redo,
    ExistOnly,
    Border,
    ShortBorder,
    Find,
    FindNext,
    FindPrevious,
    NextDiary,
    PreviousDiary,
    Bold,
    Italic,
    Underline,
    StrikeOut,
    TextColor,  // an "A" over a bar in the button's colour
    DropDown,   // the small arrow of a drop-down button
};

// Draws the picture into the rectangle. colour is the bar of TextColor.
void PaintBarPicture(QPainter& p, BarPicture picture, const QRectF& rect, bool enabled,
                     const QColor& colour = {});

// The frames under a picture: while the pointer is over the button, and
// while it is pressed or checked.
enum class ButtonFrame { Hover, Pressed };
void PaintButtonFrame(QPainter& p, ButtonFrame frame, const QRectF& rect);

}  // namespace tl::frame
