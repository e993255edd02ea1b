#include "note_table.h"

#include <cassert>

#include "store/diary_data_file.h"

namespace tl::sticky {

std::optional<std::size_t> StickyNoteTable::FindNote(store::Date date) const {
    for (std::size_t i = 0; i < m_notes.size(); ++i)
        if (m_notes[i]->note().date == date) return i;
    return std::nullopt;
}

std::optional<std::size_t> StickyNoteTable::SlotOf(const NoteWindow& note) const {
    for (std::size_t i = 0; i < m_notes.size(); ++i)
        if (m_notes[i].get() == &note) return i;
    return std::nullopt;
}

void StickyNoteTable::AddNote(std::unique_ptr<NoteWindow> note) {
    assert(!full() && !FindNote(note->note().date));
    m_notes.push_back(std::move(note));
}

bool StickyNoteTable::RemoveNote(store::Date date, store::CDiaryDataFile& file) {
    const std::optional<std::size_t> slot = FindNote(date);
    if (!slot) return false;
    if (file.IsWritable()) file.RemoveStickyNote(date);
    m_notes.erase(m_notes.begin() + static_cast<std::ptrdiff_t>(*slot));
    return true;
}

void StickyNoteTable::SaveAllNotes(store::CDiaryDataFile& file) {
    file.BeginStickyNoteSaves();
    if (file.IsWritable())
        for (const auto& note : m_notes)
            if (!file.SaveStickyNote(note->note())) break;
    m_notes.clear();
}

std::size_t StickyNoteTable::LoadNotes(store::CDiaryDataFile& file, const Factory& create) {
    if (!file.IsOpen()) return count();
    for (const store::StickyNote& stored : file.LoadStickyNotes()) {
        if (full()) break;
        if (FindNote(stored.date)) continue;
        if (std::unique_ptr<NoteWindow> window = create(stored)) AddNote(std::move(window));
    }
    return count();
}

void StickyNoteTable::ArrangeNotes(const EdgeArea& area) const {
    for (const auto& note : m_notes) {
        const store::StickyNote& n = note->note();
        note->moveTo(PlaceNote(area, n.side == 1 ? NoteSide::Right : NoteSide::Left, n.top,
                               note->noteWidth(), note->noteHeight()));
    }
}

void StickyNoteTable::ShowAllNotes(bool shown) const {
    for (const auto& note : m_notes) note->setShown(shown);
}

void StickyNoteTable::BlinkTick(bool phaseOn, store::Date today) const {
    for (const auto& note : m_notes)
        if (note->blink().tick(phaseOn, store::BlinkScheduled(note->note(), today)))
            note->repaintNote();
}

}  // namespace tl::sticky
