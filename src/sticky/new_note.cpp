#include "new_note.h"

#include "diary/entry_name.h"
#include "store/codepage.h"

namespace tl::sticky {

namespace {

store::Date DateOf(int year, int month, int day) {
    return {static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
            static_cast<std::uint8_t>(day)};
}

}  // namespace

std::u16string NoteDefaultText(store::Date date, std::u16string_view title) {
    if (!title.empty()) return std::u16string(title.substr(0, store::kStickyTextMax));
    return diary::TabName(diary::EntryName(date), false);
}

store::StickyNote NewNote(const app::AppSettings& settings, store::Date date,
                          std::u16string_view title, NoteSide side) {
    const auto& font = settings.tagFont;
    const auto& blink = settings.tagBlink;
    store::StickyNote n;
    n.date = date;
    n.text = NoteDefaultText(date, title);
    n.side = static_cast<std::uint8_t>(side);
    n.top = 0;
    n.faceName = store::Utf8ToUtf16(font.name).substr(0, store::kStickyFaceMax);
    n.fontHeight = font.height;
    n.fontWidth = font.width;
    n.fontWeight = font.weight;
    n.italic = font.italic != 0;
    n.textColor = font.color;
    n.backColor = font.backColor;
    n.transparency = static_cast<std::uint8_t>(font.transparentRate);
    n.blink = static_cast<std::uint8_t>(blink.kind);
    n.startSet = blink.fromEnable != 0;
    n.start = DateOf(blink.fromYear, blink.fromMonth, blink.fromDay);
    n.endSet = blink.toEnable != 0;
    n.end = DateOf(blink.toYear, blink.toMonth, blink.toDay);
    return n;
}

void StoreNoteDefaults(app::AppSettings& settings, const store::StickyNote& note) {
    auto& font = settings.tagFont;
    auto& blink = settings.tagBlink;
    font.name = store::Utf16ToUtf8(note.faceName);
    font.height = note.fontHeight;
    font.width = note.fontWidth;
    font.weight = note.fontWeight;
    font.italic = note.italic ? 1 : 0;
    font.color = note.textColor;
    font.backColor = note.backColor;
    font.transparentRate = note.transparency;
    blink.kind = note.blink;
    blink.fromEnable = note.startSet ? 1 : 0;
    blink.fromYear = note.start.year;
    blink.fromMonth = note.start.month;
    blink.fromDay = note.start.day;
    blink.toEnable = note.endSet ? 1 : 0;
    blink.toYear = note.end.year;
    blink.toMonth = note.end.month;
    blink.toDay = note.end.day;
}

}  // namespace tl::sticky
