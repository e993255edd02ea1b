#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "blowfish.h"
#include "data_file_key.h"
#include "file.h"
#include "file_copy.h"
#include "format.h"
#include "record_header.h"
#include "records.h"
#include "res/user_interface.h"

namespace tl::store {

class SearchCache;

enum class OpenResult { Opened = 0, InUse = 1, Failed = 2 };

// What lies past the header's total (see FORMAT.md, "Past the total").
enum class PastTotal {
    Nothing,  // the file ends at the total, or only zeros follow
    Bytes,    // bytes that are no chain of records: kept before a growth
    Records,  // a chain of records: the total is too small, a rescue is due
};

// An attachment's stored bytes as they lie in the file: enciphered whole
// units, a zlib stream inside when the record says so. The interface thread
// reads them (ReadSealedAttachment: one positional read, nothing
// deciphered); any thread opens them (OpenSealedAttachment), so that
// deciphering and inflating large pictures never holds a window up.
struct SealedAttachment {
    std::vector<std::uint8_t> units;  // enciphered, a whole number of units
    bool compressed = false;
    std::uint64_t originalSize = 0;
    // The stored bytes the units hold: all of them, or the first ones when
    // only the beginning of the file was asked for.
    std::uint64_t storedSize = 0;
    bool whole = true;
};
enum class SealedResult { Ok, Damaged, Undecodable, OutOfMemory };

// Deciphers and inflates sealed bytes (consumed) with a copy of the data
// file's cipher. Whole: exactly the file's bytes, or Undecodable. Read
// for a prefix: the first bytes, at most prefix of them. Thread-safe.
SealedResult OpenSealedAttachment(const CBlowfish& cipher, SealedAttachment& sealed,
                                  std::vector<std::uint8_t>& data, std::size_t prefix = SIZE_MAX);

// Counts of records by kind 0-6.
using KindCounts = std::array<std::uint64_t, kCountedKinds>;

// The data file: an array of 128-byte enciphered units holding a chain of
// records (see FORMAT.md). Owns the open file, the cipher and the total.
//
// Calling order: SetPath and SetKey, then Create once for a new file; Open;
// Validate after the first open; record operations; Close.
// Invariant while open: TotalUnits() equals the header's total, and the
// record chain from unit 0 ends exactly there.
//
// File errors of reads and writes propagate as FileError; the container
// operations (Create, Open, Validate, Grow) turn them into their results.
class CDiaryDataFile {
public:
    explicit CDiaryDataFile(FileSystem& fs = PosixFileSystem::instance(),
                            res::UserInterface& ui = res::Silent());
    ~CDiaryDataFile();
    CDiaryDataFile(const CDiaryDataFile&) = delete;
    CDiaryDataFile& operator=(const CDiaryDataFile&) = delete;

    void SetPath(std::string path) { m_path = std::move(path); }
    const std::string& Path() const { return m_path; }
    // Copies the 33-byte key text.
    void SetKey(const DataFileKey& key) { m_key = key; }
    void SetUserInterface(res::UserInterface& ui) { m_ui = &ui; }
    res::UserInterface& ui() const { return *m_ui; }

    // --- Container ---------------------------------------------------------
    // Creates or empties the file with a fresh header; leaves it closed.
    // Another generation only for the target of the old-data converter.
    [[nodiscard]] int Create(std::uint8_t generation = kGeneration,
                             std::uint8_t revision = kRevision);
    [[nodiscard]] OpenResult Open(bool readOnlyWanted);
    // 1 when the open file is a sound data file. A file whose chain ends at
    // its total opens whatever follows, unless that holds records
    // (PastTotal::Records: 0, and the owner offers the rescue).
    [[nodiscard]] int Validate();
    // What Validate found past the total.
    PastTotal BytesPastTotal() const { return m_pastTotal; }
    // Copies the bytes past the total, if any are still to be kept, into a
    // file of their own next to the data file (its name with the date and
    // time), synced, and tells the user once. Called before anything that
    // would cut them away (a growth, a file put in the data file's place).
    // false when they could not be kept (told): nothing may cut them then.
    [[nodiscard]] bool KeepBytesPastTotal();
    // The file KeepBytesPastTotal wrote; empty when none.
    const std::string& KeptBytesPath() const { return m_keptPath; }
    void Close();
    bool IsOpen() const { return m_file != nullptr; }
    // Grows the file to newTotal units; returns the old total (the first new
    // unit), or 0 on failure with the file as it was.
    [[nodiscard]] std::uint64_t Grow(std::uint64_t newTotal);
    // 1 stored and synced; 0 refused (with a message) when the password
    // cannot be stored so that it can be typed again, or not written.
    [[nodiscard]] int SetPassword(std::u16string_view password);
    std::u16string GetPassword();
    std::uint32_t TotalUnits() const { return m_totalUnits; }
    // The file's read-only attribute at the last open.
    bool IsReadOnly() const { return m_readOnly; }
    // Whether changes can be written: open, and neither read-only on disk
    // nor opened for reading only.
    bool IsWritable() const { return m_file != nullptr && m_writable; }
    // Data reaches the disk before this returns.
    void Sync();
    // Copies the open file byte for byte to another path (replacing it and
    // syncing it), holding the file meanwhile. Failures throw FileError.
    [[nodiscard]] CopyResult CopyTo(const std::string& to, const CopyProgress& progress = {});
    // The same at the end of long work that wrote much: the user interface
    // is kept alive while the disk catches up.
    void SyncWhileAlive();

    // --- The file under its path ---------------------------------------------
    // Whether the path still names the open file. Once it does not, the file
    // is detached: it stays open, so that its content can still be copied
    // away, but every later write throws FileError(Replaced) and writes
    // nothing; the handler hears of it once. Every write checks first.
    PathState CheckPath();
    bool IsDetached() const { return m_detached != PathState::Same; }
    PathState Detached() const { return m_detached; }
    void SetDetachedHandler(std::function<void(PathState)> handler) {
        m_onDetached = std::move(handler);
    }

    // --- Records -----------------------------------------------------------
    // Reads n bytes (24 or whole units) at the unit and deciphers them into
    // buf; a short read leaves buf as it was. Returns the bytes read.
    std::size_t ReadBytes(std::uint64_t unit, std::uint8_t* buf, std::size_t n);
    // The header of the record beginning at unit; nullopt on a short read.
    std::optional<RecordHeader> ReadRecordHeader(std::uint64_t unit);
    // The first record of the kind at or after the record boundary from;
    // 0 when none.
    std::uint64_t FindNext(std::uint8_t kind, std::uint64_t from, RecordHeader* header = nullptr);
    // The first plain text at or after from, or attachment / entry header
    // when asked for; 0 when none.
    std::uint64_t FindNextContent(std::uint64_t from, bool includeAttachments, bool includeHeaders,
                                  RecordHeader* header = nullptr);
    // First fit: a free stretch of exactly units, merging neighbouring free
    // records; 0 when none.
    std::uint64_t Allocate(std::uint32_t units);
    // Writes a record image (units x 128 bytes, units in bytes 8-11) into a
    // free stretch or at the end. 1 written (its unit in *unit), 0 refused.
    [[nodiscard]] int WriteRecord(std::span<const std::uint8_t> image,
                                  std::uint64_t* unit = nullptr);
    void FreeRecord(std::uint64_t unit);
    // Frees the date's entry and sticky note (and attachments) in one
    // change (ApplyChanges); synced. File errors propagate.
    void FreeDate(std::int16_t year, std::uint8_t month, std::uint8_t day, bool includeAttachments);
    void FreeAllDiaryRecords();
    void FreeWeatherLists();
    // Counts records of kinds 0-6 whose key lies in [fromKey, toKey].
    [[nodiscard]] int CountByKind(KindCounts& counts, std::string_view fromKey = "00000000",
                                  std::string_view toKey = "99999999");
    // Units of a record whose payload of n bytes starts at record byte 44.
    static std::uint64_t UnitsForPayload(std::uint64_t n);

    // One change of the file that every reader sees happen at once (see
    // FORMAT.md, "Saving at once"): new records, laid end to end in the
    // order given, replacing old ones.
    struct RecordChange {
        std::vector<std::vector<std::uint8_t>> images;  // the new records
        std::vector<std::uint64_t> entry;               // an entry's old records (kinds 1, 2 and 5)
        std::vector<std::uint64_t> others;              // other old records, each replaced alone
        std::uint64_t placed = 0;                       // out: the unit of the first new record
    };
    // Applies the changes:
    //  1. every change's new records are written into a stretch that is
    //     still one free record (or past the total, then committed as one
    //     free record), and synced;
    //  2. each change's first unit is written, which makes its records
    //     appear together; synced;
    //  3. the old records go: an entry whose records lie end to end as one
    //     free record by one write, otherwise its header first; synced.
    // An old entry laid out otherwise that the change would leave with a
    // kind it does not replace is first copied into one stretch, so that
    // no moment shows half of it. 1 done; 0 refused (the size limit, a
    // full disk while growing, a damaged tail: told). File errors
    // propagate once the file is back as it was, as far as it lets us.
    [[nodiscard]] int ApplyChanges(std::span<RecordChange> changes);
    // One change: images replace the records at replaced.
    [[nodiscard]] int ReplaceRecords(std::span<const std::vector<std::uint8_t>> images,
                                     std::span<const std::uint64_t> replaced);
    // The units of the date's records of the given kinds, in file order,
    // those that an interrupted save left behind included.
    std::vector<std::uint64_t> UnitsOfDate(Date date, std::initializer_list<std::uint8_t> kinds);

    // --- Entries (entry_records.cpp) -----------------------------------------
    // The date's entry header; 0 when none. firstUnit receives its
    // deciphered first unit.
    std::uint64_t ReadEntryHeader(Date date, EntryHeader* header = nullptr,
                                  std::array<std::uint8_t, kUnitSize>* firstUnit = nullptr);
    // The same for the entry header record at unit; 1 read, 0 not.
    [[nodiscard]] int ReadEntryHeaderAt(std::uint64_t unit, EntryHeader* header,
                                        std::array<std::uint8_t, kUnitSize>* firstUnit = nullptr);
    // The date's plain text; 0 when none or when it cannot be read (the
    // user has been told why).
    std::uint64_t ReadEntryText(Date date, std::u16string& text);
    [[nodiscard]] int ReadEntryTextAt(std::uint64_t unit, std::u16string& text);
    // The date's rich text (RTF bytes); 0 when none or unreadable.
    std::uint64_t ReadEntryRichText(Date date, std::vector<std::uint8_t>& rtf);
    [[nodiscard]] int ReadEntryRichTextAt(std::uint64_t unit, std::vector<std::uint8_t>& rtf);
    // The import save: title, weather and plain text, black title; all
    // empty deletes the entry. 1 saved, 0 failed (told, old entry kept).
    [[nodiscard]] int SaveEntry(Date date, std::u16string_view title, std::u16string_view weather,
                                std::u16string_view text);
    // The same with the header's colours kept: header and plain text, no
    // rich text (for tools that change an entry's text without an editor).
    [[nodiscard]] int SaveEntry(Date date, const EntryHeader& header, std::u16string_view text);
    // The editor's save: header with its colours, plain text and rich
    // text. The caller has cut the title to 64 characters and warned.
    [[nodiscard]] int SaveEditorEntry(Date date, const EntryHeader& header,
                                      std::u16string_view text, std::span<const std::uint8_t> rtf);
    // 1 found, 0 none.
    [[nodiscard]] int ReadWeatherList(WeatherList& list);
    [[nodiscard]] int WriteWeatherList(const WeatherList& list);
    static WeatherList DefaultWeatherList();
    // Writes the default list when the file has none. 1 when a list exists
    // afterwards.
    int EnsureWeatherList();

    // --- Attachments (attachment_records.cpp) --------------------------------
    // Attaches one file under the given order. 1 attached (its record in
    // *info), 0 refused or failed with a message to the user.
    int AttachFile(const std::string& path, Date date, std::uint32_t order,
                   AttachmentInfo* info = nullptr);
    // The first attachment at or after the record boundary from with the
    // date (and the order, unless 0); 0 when none.
    std::uint64_t FindAttachment(std::uint64_t from, Date date, std::uint32_t order,
                                 AttachmentInfo* info = nullptr);
    // The date's attachments in file order.
    std::vector<AttachmentInfo> ListAttachments(Date date);
    // The file's bytes. 1 read, 0 failed (told).
    [[nodiscard]] int ReadAttachmentData(std::uint64_t unit, std::vector<std::uint8_t>& data);
    // The stored bytes of the attachment at unit, as they lie in the file;
    // with prefix, only enough of them for the file's first prefix bytes.
    // Damaged or OutOfMemory leave out untouched; nothing is told.
    SealedResult ReadSealedAttachment(std::uint64_t unit, SealedAttachment& out,
                                      std::size_t prefix = SIZE_MAX);
    // The key schedule, for OpenSealedAttachment on other threads (copy it).
    const CBlowfish& Cipher() const { return m_cipher; }
    // 1 when a record was freed.
    int DeleteAttachment(Date date, std::uint32_t order);
    std::uint32_t MaxAttachmentOrder(Date date);
    [[nodiscard]] int AttachmentNameExists(Date date, std::u16string_view name);
    std::uint32_t SameNameRank(Date date, std::uint32_t order, std::u16string_view name);

    // --- Sticky notes (sticky_note_records.cpp) ------------------------------
    // Replaces the date's note. 1 saved; 0 on the first failure of a run of
    // saves (told once), later failures of the run 1 silently.
    int SaveStickyNote(const StickyNote& note);
    // Forgets an earlier failure: a new run of saves begins.
    void BeginStickyNoteSaves() { m_stickySaveFailed = false; }
    // 1 when a record was freed.
    int RemoveStickyNote(Date date);
    std::uint64_t FindStickyNote(Date date, StickyNote* note = nullptr);
    // The first note at or after the record boundary from; its units in
    // *units. 0 when none.
    std::uint64_t ReadNextStickyNote(std::uint64_t from, StickyNote& note,
                                     std::uint32_t* units = nullptr);
    // The start-up pass: reads every note (at most kStickySlots), re-saving
    // each in place unless the file is read-only. Notes beyond the slots
    // stay stored.
    std::vector<StickyNote> LoadStickyNotes();

    // --- Date queries (date_queries.cpp) -------------------------------------
    std::uint64_t NextDateWithContent(Date date);
    std::uint64_t PreviousDateWithContent(Date date);
    // The first record at or after from that is not free and has the year.
    std::uint64_t FindNextInYear(std::int16_t year, std::uint64_t from,
                                 std::array<std::uint8_t, kUnitSize>& firstUnit);

    // --- Find (find_queries.cpp) ---------------------------------------------
    // Titles, attachment names and texts read by a search are kept (see
    // SearchCache) and answer the later searches; every write drops what it
    // changes.
    void SetSearchSettings(SearchSettings settings) { m_search = std::move(settings); }
    const SearchSettings& GetSearchSettings() const { return m_search; }
    // The record through which the nearest matching date after (before) the
    // date is found; 0 when none. On that date the title wins over the
    // attachments and they over the text going forward, the reverse going
    // backward.
    std::uint64_t FindNextMatch(Date date, bool matchCase);
    std::uint64_t FindPreviousMatch(Date date, bool matchCase);
    [[nodiscard]] int TextMatches(std::u16string_view text, bool matchCase) const;
    // Every matching date after (or, backward, before) scan.from, nearest
    // first, each given to onHit with its record as FindNextMatch (or
    // FindPreviousMatch) would pick it. more is asked between dates with
    // the share of the range done; false pauses the scan, and a later call
    // with the same scan goes on after the last date examined, whatever was
    // written in between.
    void FindMatches(MatchScan& scan, const std::function<void(FindHit&&)>& onHit,
                     const std::function<bool(double)>& more = {});
    // What the search keeps in memory: at most budget bytes of text.
    void SetSearchCacheBudget(std::size_t bytes);
    std::size_t SearchCacheBytes() const;
    // Threads that read texts for a search; 0: one per processor (at most 4).
    void SetSearchThreads(unsigned threads) { m_searchThreads = threads; }

    // Queries are answered from an exact in-memory map of the chain (kind,
    // date and units of every record in file order), built in one
    // sequential read on first use and kept exact by every write and free.
    // Off, every walk reads the headers from the file, one by one.
    void SetChainMap(bool on) { m_useChainMap = on; }

private:
    friend class RecordWalk;
    friend class SearchScan;
    // One record of the chain map.
    struct ChainLink {
        std::uint64_t unit;
        std::uint32_t units;
        std::uint8_t kind;  // as walks see it: 0 for a record left behind
        std::uint8_t month;
        std::uint8_t day;
        std::int16_t year;
        std::uint8_t stored;  // the kind on disk
        bool hidden() const { return kind != stored; }
    };
    // The title of the entry header record at unit.
    std::u16string titleAt(std::uint64_t unit, std::uint32_t units);
    void loadChain();
    void invalidateChain();
    unsigned searchThreads() const;
    // The reading rule for what interrupted saves leave (record_sets.cpp):
    // marks the records no reader may see; with repair, frees them.
    void hideLeftBehind();
    void freeLeftBehind();
    // Whether Allocate may take the free record at unit.
    bool usableFree(std::uint64_t unit);
    // The first fit for Allocate: free records from a boundary, together
    // at least units long, and the last one's header as the file holds it.
    struct FreeRun {
        std::uint64_t start;
        std::uint64_t units;
        std::size_t records;
        RecordHeader last;
    };
    std::optional<FreeRun> findFreeRun(std::uint32_t units);
    // Replaces the map's link at unit by links covering the same units.
    void chainReplace(std::uint64_t unit, const std::vector<ChainLink>& links);
    // Where ApplyChanges puts a change: the free record it fills (of
    // stretch units), and the header of what its records leave free.
    struct Placement {
        RecordChange* change;
        std::uint64_t stretch;
        RecordHeader rest;
    };
    int applyChanges(std::span<RecordChange> changes);
    int convertEntry(RecordChange& change);
    void placeChanges(std::span<RecordChange> changes, std::vector<Placement>& placed);
    // Frees the change's old records: first an entry laid end to end (one
    // write) or the headers of one laid out otherwise, and the other
    // records; then the rest of such an entry.
    void hideOld(RecordChange& change, bool endToEnd, bool first, std::vector<RecordRef>& hidden);
    std::size_t chainIndex(std::uint64_t unit) const;
    ChainLink* chainAt(std::uint64_t unit);
    void chainSetHeader(std::uint64_t unit, const RecordHeader& header);
    void keyCipher();
    // Throws FileError(Replaced) when the path no longer names the file.
    void guardWrite();
    void writeUnitBytes(std::uint64_t unit, const std::uint8_t* bytes, std::size_t n);
    std::uint8_t* scratch(std::size_t n);
    void writeHeaderAt(std::uint64_t unit, const RecordHeader& header);
    std::array<std::uint8_t, kUnitSize> readFileHeader();
    // Reads what lies past the total.
    PastTotal classifyPastTotal();
    void writeFileHeader(std::array<std::uint8_t, kUnitSize> header);
    // Extends the file to newTotal units, lets fill write into the new
    // units, then commits the header total. Any failure restores the old
    // length and total and reports 0.
    // With durable, the new units reach the disk before the total commits
    // them.
    std::uint64_t growWith(std::uint64_t newTotal, const std::function<void(std::uint64_t)>& fill,
                           bool durable = false);
    void freeWhere(bool (*match)(const RecordHeader&, const void*), const void* arg);

    PastTotal m_pastTotal = PastTotal::Nothing;
    std::string m_keptPath;
    std::vector<ChainLink> m_chain;
    bool m_chainReady = false;
    std::size_t m_firstFree = 0;  // no link before this index is free
    bool m_chainDamaged = false;
    bool m_useChainMap = true;
    SearchSettings m_search;
    std::unique_ptr<SearchCache> m_searchCache;
    unsigned m_searchThreads = 0;
    bool m_stickySaveFailed = false;
    FileSystem* m_fs;
    res::UserInterface* m_ui;
    bool m_readOnly = false;
    bool m_writable = false;
    std::uint32_t m_totalUnits = 0;
    std::unique_ptr<File> m_file;
    std::string m_path;
    DataFileKey m_key{};
    CBlowfish m_cipher;
    std::vector<std::uint8_t> m_scratch;
    // Free records that ApplyChanges is filling: not free for Allocate.
    std::vector<std::uint64_t> m_reserved;
    PathState m_detached = PathState::Same;
    std::function<void(PathState)> m_onDetached;
};

// 1 when needle occurs in text; an empty text contains nothing, an empty
// needle is in every other text.
[[nodiscard]] int Contains(std::u16string_view text, std::u16string_view needle, bool matchCase);
// Whether a blinking note blinks on the day: within its start and end dates
// where they are set.
bool BlinkScheduled(const StickyNote& note, Date today);

// Which records a walk yields: kinds as a mask of KindBit values, and
// optionally one date only. Records that do not match are stepped over
// without being handed out.
struct WalkFilter {
    std::uint8_t kinds = 0xff;
    bool byDate = false;
    Date date;
};
// Kinds 0-6 are bits 0-6 and the file header bit 7; other kinds match no
// mask but the full one.
constexpr std::uint8_t KindBit(std::uint8_t kind) {
    return kind == kKindFileHeader ? 0x80
           : kind < kCountedKinds  ? static_cast<std::uint8_t>(1u << kind)
                                   : 0;
}
WalkFilter OfKind(std::uint8_t kind);
WalkFilter OfKindAndDate(std::uint8_t kinds, Date date);

// The one walk over the record chain: yields each record from a boundary
// unit to the end of the file. A header that cannot be read, a record of
// zero units or one that runs past the end ends the walk and marks the
// chain damaged; nothing is read outside the file.
class RecordWalk {
public:
    RecordWalk(CDiaryDataFile& file, std::uint64_t from);
    [[nodiscard]] bool next(RecordRef& out);
    // The next record that passes the filter.
    [[nodiscard]] bool next(RecordRef& out, const WalkFilter& filter);
    bool damaged() const { return m_damaged; }

private:
    CDiaryDataFile& m_file;
    std::uint64_t m_pos;
    std::size_t m_index = 0;  // position in the chain map, when it is used
    bool m_useMap;
    bool m_damaged = false;
};

}  // namespace tl::store
