#pragma once

// Where sticky notes sit: along the left or right outer edge of the main
// window, each at its own distance from the top of the edge area, pulled up
// when the window is too short for it. Plain arithmetic in screen pixels.

#include <cstdint>

namespace tl::sticky {

enum class NoteSide : std::uint8_t { Left = 0, Right = 1 };

// The band the notes attach to: the main window's outer rectangle (right
// and bottom exclusive).
struct EdgeArea {
    int left = 0, top = 0, right = 0, bottom = 0;
    int height() const { return bottom - top; }
    // A cursor left of this x pulls a dragged note to the left edge.
    int middle() const { return left + (right - left) / 2; }
};

struct NotePoint {
    int x = 0, y = 0;
    friend bool operator==(const NotePoint&, const NotePoint&) = default;
};

// The note's top-left corner. A note lower than the area allows is pulled
// up so that its bottom meets the area's bottom (its stored offset is kept,
// so it returns when the window grows); one taller than the area sits at
// its top.
NotePoint PlaceNote(const EdgeArea& area, NoteSide side, int offset, int width, int height);

// A new note goes to the right when there is no room on the left: the main
// window's outer left edge is at the desktop's left edge or beyond it.
NoteSide NewNoteSide(int outerLeft, int desktopLeft);

// Dragging a note: along its edge, and across to the other edge when the
// cursor passes the middle of the area. The area is the one at the start of
// the drag.
class NoteDrag {
public:
    struct Step {
        NoteSide side = NoteSide::Left;
        NotePoint at;
        int offset = 0;  // the new distance from the area's top
        bool sideChanged = false;
    };

    NoteDrag(const EdgeArea& area, NoteSide side, int noteTop, int cursorY);
    Step move(int cursorX, int cursorY, int width, int height);
    NoteSide side() const { return m_side; }

private:
    EdgeArea m_area;
    NoteSide m_side;
    int m_grip;  // cursor y minus note top at the start
};

// The note's top moved by dy within the area, as a drag would clamp it.
int NudgedOffset(const EdgeArea& area, int offset, int height, int dy);

// The constant alpha (0 transparent .. 255 opaque) of a note. Off: opaque.
// The rate comes from the common setting when one rate serves all notes,
// else from the note; alpha = (100 - rate) x 2.55 in single precision,
// truncated and held within 0..255.
int NoteAlpha(bool translucent, bool oneRate, int commonRate, int ownRate);

}  // namespace tl::sticky
