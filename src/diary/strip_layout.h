#pragma once

// The attachment strip without a window: where each slot lies, which slot
// a point hits, and the selection with its anchor as the mouse and the
// keys change it. Lengths are designed at 96 dots per inch and scaled.

#include <cstddef>
#include <optional>
#include <vector>

namespace tl::diary {

// Slot i starts at x = 10 + 74 i; a slot is 64 wide, its picture 64 x 46
// from y = 4. The strip is 56 high (plus a scroll bar when one is shown).
class StripGeometry {
public:
    explicit StripGeometry(int dpi = 96);

    int slotLeft(std::size_t index) const;
    int slotWidth() const { return m_slotWidth; }
    int pitch() const { return m_pitch; }
    int pictureTop() const { return m_top; }
    int pictureHeight() const { return m_pictureHeight; }
    // The width of the labelled slot of a file: the pitch, centred on it.
    int labelLeft(std::size_t index) const;
    // Width of the content for count slots (the scroll range's base).
    int contentWidth(std::size_t count) const;
    int stripHeight() const { return m_height; }

    // The slot under a point in content coordinates (x already scrolled).
    std::optional<std::size_t> slotAt(int x, int y, std::size_t count) const;
    // The slots a rubber band (content coordinates, any corner order)
    // touches.
    std::vector<std::size_t> slotsInBand(int x1, int y1, int x2, int y2, std::size_t count) const;
    // The scroll offset that brings the slot fully into a view of width
    // viewWidth scrolled by offset, moving as little as possible.
    int scrollToShow(std::size_t index, int viewWidth, int offset) const;

private:
    int m_left, m_pitch, m_slotWidth, m_top, m_pictureHeight, m_height;
};

// The selected flags of the attachments in array order, the anchor (the
// slot last clicked or moved to, -1 for none) and the rules by which
// clicks and keys change them.
class StripSelection {
public:
    // A new array: nothing selected; the anchor kept within it.
    void resize(std::size_t count);
    // One slot taken out of the array (deleted, or found unreadable).
    void erase(std::size_t index);
    // A changed array: these slots selected, the anchor there (-1: the old
    // one, kept within the array).
    void reset(std::size_t count, const std::vector<std::size_t>& selected, int anchor);
    std::size_t size() const { return m_selected.size(); }

    bool isSelected(std::size_t index) const { return m_selected[index]; }
    std::vector<std::size_t> selected() const;
    std::size_t selectedCount() const;
    int anchor() const { return m_anchor; }

    void clear();
    void selectAll();
    void selectOnly(std::size_t index);
    // The rubber band: exactly these slots.
    void selectExactly(const std::vector<std::size_t>& indices);

    // Button down on a slot. Ctrl adds it; Shift selects the range from the
    // anchor (which stays); plain keeps a selection the slot belongs to
    // (so that it can be dragged) and otherwise selects it alone. The slot
    // becomes the anchor unless Shift. Returns whether it was selected
    // before, which the click's end needs.
    bool press(std::size_t index, bool ctrl, bool shift);
    // The click ended where it began without dragging: Ctrl toggles the slot
    // from its state before the press; without Shift it is selected alone.
    void click(std::size_t index, bool ctrl, bool shift, bool wasSelected);
    // The right button on a slot: an unselected slot becomes the only one
    // selected; it becomes the anchor.
    void pressRight(std::size_t index);

    // Left / Right (step -1 / +1), Home / End (to an end): the anchor moves
    // and is selected alone, or with Shift the range from where Shift-moving
    // began. No anchor yet: the first slot.
    void step(int delta, bool shift);
    void moveTo(std::size_t index, bool shift);

private:
    void selectRange(std::size_t from, std::size_t to);

    std::vector<bool> m_selected;
    int m_anchor = -1;
    int m_shiftOrigin = -1;  // where the current Shift-moving began
};

}  // namespace tl::diary
