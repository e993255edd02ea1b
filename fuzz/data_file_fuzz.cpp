// Feeds arbitrary data files to the reader: the bytes are the deciphered
// file (enciphered here, so that the fuzzer shapes headers and records, not
// cipher text), held by the in-memory file system. Opening, the check (and
// its freeing of what interrupted saves left), every walk and every typed
// reader must return for every file; after the check the chain map and the
// plain walk must count the same records.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "store/blowfish.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/mem_file_system.h"

namespace {

using namespace tl::store;

const char* const kPath = "/fuzz/Mrlwbk31.dat";

void ReadEverything(CDiaryDataFile& f) {
    std::vector<Date> dates;
    RecordWalk walk(f, 0);
    RecordRef rec;
    while (walk.next(rec)) {
        const Date d{rec.header.year(), rec.header.month(), rec.header.day()};
        std::u16string text;
        std::vector<std::uint8_t> bytes;
        switch (rec.header.kind()) {
            case kKindEntryHeader: {
                EntryHeader h;
                (void)f.ReadEntryHeaderAt(rec.unit, &h);
                if (dates.size() < 8) dates.push_back(d);
                break;
            }
            case kKindPlainText:
                (void)f.ReadEntryTextAt(rec.unit, text);
                break;
            case kKindRichText:
                (void)f.ReadEntryRichTextAt(rec.unit, bytes);
                break;
            case kKindAttachment: {
                AttachmentInfo info;
                if (f.FindAttachment(rec.unit, d, 0, &info) == rec.unit)
                    (void)f.ReadAttachmentData(rec.unit, bytes);
                break;
            }
            case kKindStickyNote: {
                StickyNote note;
                (void)f.ReadNextStickyNote(rec.unit, note);
                break;
            }
            default:
                break;
        }
    }
    f.SetSearchSettings({u"a", u"b", false, true, true});
    for (const Date& d : dates) {
        EntryHeader h;
        std::u16string text;
        std::vector<std::uint8_t> rtf;
        (void)f.ReadEntryHeader(d, &h);
        (void)f.ReadEntryText(d, text);
        (void)f.ReadEntryRichText(d, rtf);
        (void)f.ListAttachments(d);
        (void)f.FindStickyNote(d);
        (void)f.NextDateWithContent(d);
        (void)f.PreviousDateWithContent(d);
        (void)f.FindNextMatch(d, false);
        (void)f.FindPreviousMatch(d, true);
    }
    WeatherList list;
    (void)f.ReadWeatherList(list);
    std::array<std::uint8_t, kUnitSize> first{};
    (void)f.FindNextInYear(2024, 0, first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const DataFileKey key = DeriveDataFileKey();
    static CBlowfish cipher = [] {
        CBlowfish c;
        c.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
        return c;
    }();
    MemFileSystem fs;
    std::vector<std::uint8_t>& file = fs.bytes(kPath);
    file.assign(data, data + size);
    const std::size_t whole = size / 8 * 8;
    if (whole > 0) cipher.Encrypt(file.data(), file.data(), whole);

    CDiaryDataFile f(fs);
    f.SetPath(kPath);
    f.SetKey(key);
    if (f.Open(false) != OpenResult::Opened) return 0;
    if (!f.Validate()) {
        // A damaged file is never read by the program, but must not crash
        // a count or a search either.
        KindCounts counts;
        (void)f.CountByKind(counts);
        (void)f.FindNext(kKindAttachment, 0);
        return 0;
    }
    KindCounts byMap, byWalk;
    const int mapped = f.CountByKind(byMap);
    f.SetChainMap(false);
    const int walked = f.CountByKind(byWalk);
    f.SetChainMap(true);
    // The check freed what interrupted saves left: both views are the same.
    if (mapped != walked || byMap != byWalk) std::abort();
    ReadEverything(f);
    (void)f.LoadStickyNotes();
    return 0;
}
