// Sticky note records (kind 3): one per date, three units.
//
// Record layout (little-endian, text UTF-16LE, colours 0x00BBGGRR):
//    0 .. 23  record header: kind 3, the date, units 3
//   64  face name            16 code units, zero-filled
//   96  font width           i32 (kept, not drawn)
//  100  font height          i32
//  104  font weight          i32
//  108  italic               u8, 1 or 0
//  112  text colour          u32
//  116  background colour    u32
//  120  vertical position    i32
//  124  side                 u8, 0 left, 1 right
//  125  own transparency     u8, percent
//  128  blink                u8, 0 none, 1 text, 2 text and background
//  129  start date set       u8;  130 start year i16, 132 month u8, 133 day u8
//  134  end date set         u8;  136 end year i16, 138 month u8, 139 day u8
//  256  text                 64 code units, zero-filled, no terminator when full
// Every other byte is zero.

#include <algorithm>
#include <map>
#include <set>

#include "diary_data_file.h"
#include "record_layout.h"

namespace tl::store {
namespace {

using StickyImage = std::array<std::uint8_t, kStickyBytes>;

void PutDate(std::uint8_t* p, Date d) {
    PutU16(p, static_cast<std::uint16_t>(d.year));
    p[2] = d.month;
    p[3] = d.day;
}

Date GetDate(const std::uint8_t* p) {
    return {static_cast<std::int16_t>(GetU16(p)), p[2], p[3]};
}

StickyImage BuildImage(const StickyNote& n) {
    StickyImage b{};
    RecordHeader h;
    h.setKind(kKindStickyNote);
    h.setDate(n.date.year, n.date.month, n.date.day);
    h.setUnits(kStickyUnits);
    std::copy(h.bytes.begin(), h.bytes.end(), b.begin());
    PutText(&b[kStFace], kStickyFaceMax, n.faceName);
    PutU32(&b[kStFontWidth], static_cast<std::uint32_t>(n.fontWidth));
    PutU32(&b[kStFontHeight], static_cast<std::uint32_t>(n.fontHeight));
    PutU32(&b[kStFontWeight], static_cast<std::uint32_t>(n.fontWeight));
    b[kStItalic] = n.italic ? 1 : 0;
    PutU32(&b[kStTextColor], n.textColor);
    PutU32(&b[kStBackColor], n.backColor);
    PutU32(&b[kStTop], static_cast<std::uint32_t>(n.top));
    b[kStSide] = n.side;
    b[kStTransparency] = n.transparency;
    b[kStBlink] = n.blink;
    b[kStStartSet] = n.startSet ? 1 : 0;
    PutDate(&b[kStStart], n.start);
    b[kStEndSet] = n.endSet ? 1 : 0;
    PutDate(&b[kStEnd], n.end);
    PutText(&b[kStText], kStickyTextMax, n.text);
    return b;
}

StickyNote ParseImage(const StickyImage& b) {
    RecordHeader h;
    std::copy_n(b.begin(), kRecordHeaderSize, h.bytes.begin());
    StickyNote n;
    n.date = {h.year(), h.month(), h.day()};
    n.faceName = GetText(&b[kStFace], kStickyFaceMax);
    n.fontWidth = static_cast<std::int32_t>(GetU32(&b[kStFontWidth]));
    n.fontHeight = static_cast<std::int32_t>(GetU32(&b[kStFontHeight]));
    n.fontWeight = static_cast<std::int32_t>(GetU32(&b[kStFontWeight]));
    n.italic = b[kStItalic] != 0;
    n.textColor = GetU32(&b[kStTextColor]);
    n.backColor = GetU32(&b[kStBackColor]);
    n.top = static_cast<std::int32_t>(GetU32(&b[kStTop]));
    n.side = b[kStSide];
    n.transparency = b[kStTransparency];
    n.blink = b[kStBlink];
    n.startSet = b[kStStartSet] != 0;
    n.start = GetDate(&b[kStStart]);
    n.endSet = b[kStEndSet] != 0;
    n.end = GetDate(&b[kStEnd]);
    n.text = GetText(&b[kStText], kStickyTextMax);
    return n;
}

// The record's units as stored; a record of fewer than three units leaves
// the rest zero, one of more is read up to its third unit.
std::optional<StickyImage> ReadImage(CDiaryDataFile& file, const RecordRef& rec) {
    StickyImage b{};
    const std::size_t n = std::min(rec.header.units(), kStickyUnits) * kUnitSize;
    if (file.ReadBytes(rec.unit, b.data(), n) != n) return std::nullopt;
    return b;
}

std::int64_t DateNumber(Date d) {
    return d.year * 10000LL + d.month * 100 + d.day;
}

// Writes the note as a new record, then frees the old ones (ReplaceRecords,
// which also syncs). A failure at any point leaves the old records whole, at
// worst beside the new one, which the next save of the date replaces too.
// A note stored alone and byte for byte as it would be written stays where
// it is: writing the same bytes again would only move them (the desktop
// writes every note back at each shut-down).
int ReplaceNote(CDiaryDataFile& file, const StickyNote& note,
                const std::vector<std::uint64_t>& old) {
    const StickyImage image = BuildImage(note);
    const std::vector<std::vector<std::uint8_t>> images{{image.begin(), image.end()}};
    try {
        if (old.size() == 1) {
            const std::optional<RecordHeader> header = file.ReadRecordHeader(old.front());
            if (header && header->units() == kStickyUnits &&
                ReadImage(file, {old.front(), *header}) == image)
                return 1;
        }
        return file.ReplaceRecords(images, old);
    } catch (const FileError&) {
        return 0;
    }
}

}  // namespace

int CDiaryDataFile::SaveStickyNote(const StickyNote& note) {
    int saved = 0;
    try {
        saved = ReplaceNote(*this, note, UnitsOfDate(note.date, {kKindStickyNote}));
    } catch (const FileError&) {
    }
    if (saved || m_stickySaveFailed) return 1;
    m_stickySaveFailed = true;
    if (IsDetached()) return 0;  // told by whoever handles the replacement
    m_ui->warn(res::Msg::StickyNoteSaveFailure);
    return 0;
}

int CDiaryDataFile::RemoveStickyNote(Date date) {
    // Every note of the date goes: a duplicate left by an interrupted save
    // would otherwise come back at the next start.
    const std::vector<std::uint64_t> units = UnitsOfDate(date, {kKindStickyNote});
    for (std::uint64_t u : units) FreeRecord(u);
    if (units.empty()) return 0;
    Sync();
    return 1;
}

std::uint64_t CDiaryDataFile::FindStickyNote(Date date, StickyNote* note) {
    RecordWalk walk(*this, 0);
    RecordRef rec;
    while (walk.next(rec)) {
        if (rec.header.kind() != kKindStickyNote ||
            !rec.header.isDate(date.year, date.month, date.day))
            continue;
        std::optional<StickyImage> image = ReadImage(*this, rec);
        if (!image) continue;
        if (note) *note = ParseImage(*image);
        return rec.unit;
    }
    return 0;
}

std::uint64_t CDiaryDataFile::ReadNextStickyNote(std::uint64_t from, StickyNote& note,
                                                 std::uint32_t* units) {
    RecordWalk walk(*this, from);
    RecordRef rec;
    while (walk.next(rec)) {
        if (rec.header.kind() != kKindStickyNote) continue;
        std::optional<StickyImage> image = ReadImage(*this, rec);
        if (!image) continue;
        note = ParseImage(*image);
        if (units) *units = rec.header.units();
        return rec.unit;
    }
    return 0;
}

std::vector<StickyNote> CDiaryDataFile::LoadStickyNotes() {
    // One walk collects the notes first; the re-saves below move records,
    // and a note written further on must not be read a second time.
    std::vector<RecordRef> records;
    std::map<std::string, std::vector<std::uint64_t>> unitsByDate;
    {
        RecordWalk walk(*this, 0);
        RecordRef rec;
        while (walk.next(rec)) {
            if (rec.header.kind() != kKindStickyNote) continue;
            records.push_back(rec);
            unitsByDate[rec.header.key()].push_back(rec.unit);
        }
    }

    BeginStickyNoteSaves();
    bool resave = IsWritable();
    std::vector<StickyNote> notes;
    std::set<std::string> loaded;
    for (const RecordRef& rec : records) {
        // The note table has kStickySlots slots; the rest stay stored.
        if (notes.size() >= kStickySlots) break;
        const std::string key = rec.header.key();
        if (loaded.count(key)) continue;  // a duplicate of a date already shown
        std::optional<StickyImage> image = ReadImage(*this, rec);
        if (!image) continue;
        StickyNote note = ParseImage(*image);
        loaded.insert(key);
        // The re-save writes the note as this version would. A record that
        // already reads back byte for byte, alone for its date, stays where
        // it is: rewriting it would only move it.
        const std::vector<std::uint64_t>& sameDate = unitsByDate[key];
        const bool canonical = rec.header.units() == kStickyUnits && BuildImage(note) == *image &&
                               sameDate.size() == 1;
        if (resave && !canonical && !ReplaceNote(*this, note, sameDate)) {
            // Told once; the stored note is as it was, and the others are
            // still shown but no longer rewritten.
            m_stickySaveFailed = true;
            m_ui->warn(res::Msg::StickyNoteSaveFailure);
            resave = false;
        }
        notes.push_back(std::move(note));
    }
    return notes;
}

bool BlinkScheduled(const StickyNote& note, Date today) {
    if (note.blink == 0) return false;
    const std::int64_t day = DateNumber(today);
    if (note.startSet && day < DateNumber(note.start)) return false;
    if (note.endSet && day > DateNumber(note.end)) return false;
    return true;
}

}  // namespace tl::store
