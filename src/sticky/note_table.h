#pragma once

// The main window's table of sticky notes: up to 100 note windows, kept
// contiguous from slot 0, at most one per date. The table owns the windows:
// removing a note destroys its window. What a window must offer the table
// is NoteWindow, so the table's rules run without a display.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "blink_rule.h"
#include "note_placement.h"
#include "store/records.h"

namespace tl::store {
class CDiaryDataFile;
}

namespace tl::sticky {

class NoteWindow {
public:
    virtual ~NoteWindow() = default;
    // The note's fields as they are now (dragging and the settings change
    // them); what SaveAllNotes writes.
    virtual const store::StickyNote& note() const = 0;
    virtual int noteWidth() const = 0;
    virtual int noteHeight() const = 0;
    // Moves the window without resizing, activating or restacking it.
    virtual void moveTo(NotePoint at) = 0;
    virtual void setShown(bool shown) = 0;
    virtual BlinkPhase& blink() = 0;
    virtual void repaintNote() = 0;
};

class StickyNoteTable {
public:
    // Creates the window of a stored note; nullptr when it cannot.
    using Factory = std::function<std::unique_ptr<NoteWindow>(const store::StickyNote&)>;
    static constexpr std::size_t kSlots = store::kStickySlots;

    StickyNoteTable() = default;
    StickyNoteTable(const StickyNoteTable&) = delete;
    StickyNoteTable& operator=(const StickyNoteTable&) = delete;

    std::size_t count() const { return m_notes.size(); }
    bool full() const { return m_notes.size() >= kSlots; }
    NoteWindow& at(std::size_t slot) const { return *m_notes.at(slot); }
    std::optional<std::size_t> FindNote(store::Date date) const;
    std::optional<std::size_t> SlotOf(const NoteWindow& note) const;

    // REQUIRES: !full() and no note of the same date.
    void AddNote(std::unique_ptr<NoteWindow> note);
    // Peels off the date's note: its record is freed (when the file can be
    // written), then its window is destroyed and every later slot moves up
    // one. A file error leaves the window in place. False without a note.
    bool RemoveNote(store::Date date, store::CDiaryDataFile& file);
    // Writes every note back in slot order (not while the file cannot be
    // written; a failure is told once and ends the saving), then destroys
    // every window: the table is empty afterwards.
    void SaveAllNotes(store::CDiaryDataFile& file);
    // Creates a window for every stored note, in file order, after the
    // store's start-up pass (which re-saves them where the file can be
    // written). A note whose window cannot be created stays stored and is
    // skipped. The number of notes in the table afterwards.
    std::size_t LoadNotes(store::CDiaryDataFile& file, const Factory& create);
    // Moves every note to its place at the area's edge.
    void ArrangeNotes(const EdgeArea& area) const;
    void ShowAllNotes(bool shown) const;
    // One tick of the blink clock: a note blinks on the days of its term.
    void BlinkTick(bool phaseOn, store::Date today) const;

private:
    std::vector<std::unique_ptr<NoteWindow>> m_notes;
};

}  // namespace tl::sticky
