#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "blowfish.h"
#include "data_file_key.h"
#include "file.h"
#include "record_header.h"
#include "res/user_interface.h"

namespace tl::store {

enum class OpenResult { Opened = 0, InUse = 1, Failed = 2 };

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
    [[nodiscard]] int Create();
    [[nodiscard]] OpenResult Open(bool readOnlyWanted);
    // 1 when the open file is a sound data file.
    [[nodiscard]] int Validate();
    void Close();
    bool IsOpen() const { return m_file != nullptr; }
    // Grows the file to newTotal units; returns the old total (the first new
    // unit), or 0 on failure with the file as it was.
    [[nodiscard]] std::uint64_t Grow(std::uint64_t newTotal);
    // 1 stored; 0 refused (with a message) when the password cannot be
    // stored so that it can be typed again.
    [[nodiscard]] int SetPassword(std::u16string_view password);
    std::u16string GetPassword();
    std::uint32_t TotalUnits() const { return m_totalUnits; }
    bool IsReadOnly() const { return m_readOnly; }
    // Data reaches the disk before this returns.
    void Sync();

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
    [[nodiscard]] int WriteRecord(std::span<const std::uint8_t> image, std::uint64_t* unit = nullptr);
    void FreeRecord(std::uint64_t unit);
    void FreeDate(std::int16_t year, std::uint8_t month, std::uint8_t day, bool includeAttachments);
    void FreeAllDiaryRecords();
    void FreeWeatherLists();
    // Counts records of kinds 0-6 whose key lies in [fromKey, toKey].
    [[nodiscard]] int CountByKind(KindCounts& counts, std::string_view fromKey = "00000000",
                                  std::string_view toKey = "99999999");
    // Units of a record whose payload of n bytes starts at record byte 44.
    static std::uint64_t UnitsForPayload(std::uint64_t n);

private:
    friend class RecordWalk;
    void keyCipher();
    void writeUnitBytes(std::uint64_t unit, const std::uint8_t* bytes, std::size_t n);
    void writeHeaderAt(std::uint64_t unit, const RecordHeader& header);
    std::array<std::uint8_t, kUnitSize> readFileHeader();
    void writeFileHeader(std::array<std::uint8_t, kUnitSize> header);
    // Extends the file to newTotal units, lets fill write into the new
    // units, then commits the header total. Any failure restores the old
    // length and total and reports 0.
    std::uint64_t growWith(std::uint64_t newTotal, const std::function<void(std::uint64_t)>& fill);
    void freeWhere(bool (*match)(const RecordHeader&, const void*), const void* arg);

    FileSystem* m_fs;
    res::UserInterface* m_ui;
    bool m_readOnly = false;
    std::uint32_t m_totalUnits = 0;
    std::unique_ptr<File> m_file;
    std::string m_path;
    DataFileKey m_key{};
    CBlowfish m_cipher;
};

// The one walk over the record chain: yields each record from a boundary
// unit to the end of the file. A header that cannot be read, a record of
// zero units or one that runs past the end ends the walk and marks the
// chain damaged; nothing is read outside the file.
class RecordWalk {
public:
    RecordWalk(CDiaryDataFile& file, std::uint64_t from);
    [[nodiscard]] bool next(RecordRef& out);
    bool damaged() const { return m_damaged; }

private:
    CDiaryDataFile& m_file;
    std::uint64_t m_pos;
    bool m_damaged = false;
};

}  // namespace tl::store
