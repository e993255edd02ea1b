#include "diary_data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "blocking_call.h"
#include "codepage.h"
#include "rescue.h"
#include "search_cache.h"

namespace tl::store {

CDiaryDataFile::CDiaryDataFile(FileSystem& fs, res::UserInterface& ui)
    : m_searchCache(std::make_unique<SearchCache>()), m_fs(&fs), m_ui(&ui) {}

CDiaryDataFile::~CDiaryDataFile() {
    Close();
}

void CDiaryDataFile::keyCipher() {
    // The key is the 32 characters of the key text, not the digest bytes.
    std::size_t len = ::strnlen(m_key.data(), m_key.size());
    m_cipher.Initialize(reinterpret_cast<const std::uint8_t*>(m_key.data()), len);
}

int CDiaryDataFile::Create(std::uint8_t generation, std::uint8_t revision) {
    keyCipher();
    std::unique_ptr<File> file;
    try {
        file = m_fs->create(m_path);
    } catch (const FileError&) {
        return 0;  // someone else's file, or none could be made: left alone
    }
    try {
        std::array<std::uint8_t, kUnitSize> header{};
        header[kHdrKind] = kKindFileHeader;
        PutU32(&header[kHdrUnits], 1);
        PutU32(&header[kFhTotalUnits], 1);
        header[kFhGeneration] = generation;
        header[kFhRevision] = revision;
        std::memcpy(&header[kFhMagic], kMagic, sizeof kMagic);
        header[kFhFlag] = 1;
        m_cipher.Encrypt(header.data(), header.data(), header.size());
        file->writeAt(0, header.data(), header.size());
        file->sync();
    } catch (const FileError&) {
        // The file is ours and empty (or half written): no data file at all
        // is better than one that every open calls damaged.
        try {
            m_fs->remove(m_path);
        } catch (const FileError&) {
        }
        return 0;
    }
    m_totalUnits = 1;
    return 1;
}

OpenResult CDiaryDataFile::Open(bool readOnlyWanted) {
    Close();  // forgets what the search kept of the file
    invalidateChain();
    m_detached = PathState::Same;
    keyCipher();
    m_readOnly = m_fs->isReadOnly(m_path).value_or(false);
    try {
        bool writable = !readOnlyWanted && !m_readOnly;
        m_writable = writable;
        m_file = m_fs->open(m_path, writable ? OpenMode::ReadWrite : OpenMode::ReadOnly);
        std::array<std::uint8_t, kUnitSize> header{};
        // A header that cannot be read leaves a total of 0, which Validate
        // and every walk reject.
        m_totalUnits = 0;
        if (m_file->readAt(0, header.data(), header.size()) == header.size()) {
            m_cipher.Decrypt(header.data(), header.data(), header.size());
            m_totalUnits = GetU32(&header[kFhTotalUnits]);
        }
    } catch (const FileError& e) {
        m_file.reset();
        return e.kind() == FileErrorKind::InUse ? OpenResult::InUse : OpenResult::Failed;
    }
    return OpenResult::Opened;
}

int CDiaryDataFile::Validate() {
    if (!m_file) return 0;
    try {
        std::array<std::uint8_t, kUnitSize> header{};
        if (m_file->readAt(0, header.data(), header.size()) != header.size()) return 0;
        m_cipher.Decrypt(header.data(), header.data(), header.size());
        if (std::memcmp(&header[kFhMagic], kMagic, sizeof kMagic) != 0) return 0;
        // Unit 0 is a one-unit record of kind 255; a total of 0 would let
        // the next write land on the header.
        if (header[kHdrKind] != kKindFileHeader || GetU32(&header[kHdrUnits]) != 1) return 0;
        std::uint32_t total = GetU32(&header[kFhTotalUnits]);
        if (total == 0) return 0;
        // Shorter than the total is damage; what lies past it is read as
        // the format says (see classifyPastTotal).
        if (m_file->size() < static_cast<std::uint64_t>(total) * kUnitSize) return 0;
        m_totalUnits = total;
        m_pastTotal = classifyPastTotal();
        if (m_pastTotal == PastTotal::Records) return 0;
        // The check is one walk over the file; with the chain map on, the
        // map is built by that same pass.
        if (m_useChainMap) loadChain();
        RecordWalk walk(*this, 0);
        RecordRef rec;
        while (walk.next(rec)) {
            std::uint8_t kind = rec.header.kind();
            if (kind > kKindWeatherList && kind != kKindFileHeader) return 0;
        }
        if (walk.damaged()) return 0;
        // The start-up check: what interrupted saves left behind (which no
        // reader sees) is freed, so that older programs and plain walks
        // see one version too.
        if (m_useChainMap && IsWritable()) freeLeftBehind();
        return 1;
    } catch (const FileError&) {
        return 0;
    }
}

void CDiaryDataFile::Close() {
    m_file.reset();
    m_searchCache->clear();
}

void CDiaryDataFile::Sync() {
    if (m_file) m_file->sync();
}

CopyResult CDiaryDataFile::CopyTo(const std::string& to, const CopyProgress& progress) {
    if (!m_file) throw FileError(FileErrorKind::Io, EBADF, "'" + m_path + "' is not open");
    return CopyOpenFile(*m_file, m_path, to, progress);
}

void CDiaryDataFile::SyncWhileAlive() {
    if (m_file) RunBlocking([this] { m_file->sync(); }, [this] { m_ui->keepAlive(); });
}

std::array<std::uint8_t, kUnitSize> CDiaryDataFile::readFileHeader() {
    std::array<std::uint8_t, kUnitSize> header{};
    if (m_file->readAt(0, header.data(), header.size()) != header.size())
        throw FileError(FileErrorKind::Io, 0, "cannot read the header of '" + m_path + "'");
    m_cipher.Decrypt(header.data(), header.data(), header.size());
    return header;
}

PathState CDiaryDataFile::CheckPath() {
    if (!m_file || m_detached != PathState::Same) return m_detached;
    const PathState now = m_file->pathState();
    if (now != PathState::Same) {
        m_detached = now;
        if (m_onDetached) m_onDetached(now);
    }
    return now;
}

void CDiaryDataFile::guardWrite() {
    if (CheckPath() != PathState::Same)
        throw FileError(FileErrorKind::Replaced, 0,
                        "'" + m_path + "' no longer names the open data file");
}

void CDiaryDataFile::writeFileHeader(std::array<std::uint8_t, kUnitSize> header) {
    guardWrite();
    m_cipher.Encrypt(header.data(), header.data(), header.size());
    m_file->writeAt(0, header.data(), header.size());
}

PastTotal CDiaryDataFile::classifyPastTotal() {
    const std::uint64_t length = m_file->size();
    const std::uint64_t end = static_cast<std::uint64_t>(m_totalUnits) * kUnitSize;
    if (length <= end) return PastTotal::Nothing;
    // Records hidden behind a total that is too small lie end to end from
    // the total to the end of the file: two or more, not all free. One
    // record alone is what an interrupted growth leaves (it is kept as
    // bytes); random bytes chain that far only by a rare chance.
    if ((length - end) % kUnitSize == 0) {
        std::uint64_t p = m_totalUnits, records = 0, used = 0;
        const std::uint64_t units = length / kUnitSize;
        std::array<std::uint8_t, kRecordHeaderSize> raw{};
        while (p < units) {
            // A unit of zeros is what a growth extends the file by: no record.
            if (m_file->readAt(p * kUnitSize, raw.data(), raw.size()) != raw.size() ||
                std::all_of(raw.begin(), raw.end(), [](std::uint8_t b) { return b == 0; }))
                break;
            std::optional<RecordHeader> h = ReadRecordHeader(p);
            if (!h || h->units() == 0 || p + h->units() > units || h->kind() > kKindWeatherList)
                break;
            ++records;
            if (h->kind() != kKindFree) ++used;
            p += h->units();
        }
        if (p == units && records >= 2 && used > 0) return PastTotal::Records;
    }
    // Anything but zeros is kept: an interrupted save's units, or bytes
    // that someone may still want.
    std::vector<std::uint8_t> buf(64 * kUnitSize);
    for (std::uint64_t at = end; at < length;) {
        const std::size_t n = m_file->readAt(
            at, buf.data(),
            static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), length - at)));
        if (n == 0) break;
        if (std::any_of(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n),
                        [](std::uint8_t b) { return b != 0; }))
            return PastTotal::Bytes;
        at += n;
    }
    return PastTotal::Nothing;
}

bool CDiaryDataFile::KeepBytesPastTotal() {
    if (!m_file || m_pastTotal != PastTotal::Bytes) return true;
    const std::uint64_t end = static_cast<std::uint64_t>(m_totalUnits) * kUnitSize;
    std::string kept;
    try {
        const std::uint64_t length = m_file->size();
        kept = DatedName(*m_fs, m_path, ".past-end");
        std::unique_ptr<File> out = m_fs->create(kept);
        std::vector<std::uint8_t> buf(static_cast<std::size_t>(kCopyChunk));
        for (std::uint64_t at = end; at < length;) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), length - at));
            const std::size_t n = m_file->readAt(at, buf.data(), want);
            if (n == 0) throw FileError(FileErrorKind::Io, 0, "short read of '" + m_path + "'");
            out->writeAt(at - end, buf.data(), n);
            at += n;
        }
        out->sync();
    } catch (const FileError& e) {
        if (!kept.empty()) {
            try {
                m_fs->remove(kept);
            } catch (const FileError&) {
            }
        }
        m_ui->warn(e.kind() == FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                       : res::Msg::WriteToDiskFailure);
        return false;
    }
    m_keptPath = kept;
    m_pastTotal = PastTotal::Nothing;
    m_ui->inform(res::FormatText(res::Msg::BytesPastEndKept, {kept}));
    return true;
}

std::uint64_t CDiaryDataFile::growWith(std::uint64_t newTotal,
                                       const std::function<void(std::uint64_t)>& fill,
                                       bool durable) {
    if (!m_file || m_totalUnits == 0 || newTotal <= m_totalUnits) return 0;
    if (newTotal * kUnitSize > kMaxFileBytes) {
        m_ui->warn(res::Msg::DataTooLarge);
        return 0;
    }
    const std::uint32_t oldTotal = m_totalUnits;
    std::uint64_t oldLength = 0;
    bool resized = false;
    try {
        // Past the total lie bytes that the growth writes over: they are
        // kept first (looked at again: the file may have been reopened
        // without a check). Records there (a total too small) are never cut.
        if (m_file->size() > static_cast<std::uint64_t>(oldTotal) * kUnitSize)
            m_pastTotal = classifyPastTotal();
        if (m_pastTotal == PastTotal::Records) {
            m_ui->warn(res::Msg::DiaryDataIncorrect);
            return 0;
        }
        if (!KeepBytesPastTotal()) return 0;
        auto header = readFileHeader();
        oldLength = static_cast<std::uint64_t>(oldTotal) * kUnitSize;
        guardWrite();
        m_file->setSize(newTotal * kUnitSize);
        resized = true;
        fill(static_cast<std::uint64_t>(oldTotal));
        // The header total is the commit point: until it is written the new
        // units are not part of the chain. A power cut must never commit
        // units that did not reach the disk.
        if (durable) m_file->sync();
        PutU32(&header[kFhTotalUnits], static_cast<std::uint32_t>(newTotal));
        writeFileHeader(header);
    } catch (const FileError& e) {
        if (e.kind() == FileErrorKind::DiskFull) m_ui->warn(res::Msg::DiskFull);
        m_totalUnits = oldTotal;
        // Not even the old length goes back into a file that was replaced.
        if (IsDetached()) throw;
        if (resized) {
            try {
                m_file->setSize(oldLength);
            } catch (const FileError&) {
                // The tail beyond the header total is ignored on open.
            }
        }
        m_totalUnits = oldTotal;
        return 0;
    }
    m_totalUnits = static_cast<std::uint32_t>(newTotal);
    return oldTotal;
}

std::uint64_t CDiaryDataFile::Grow(std::uint64_t newTotal) {
    // The added units hold no record yet: the map can't describe them.
    invalidateChain();
    return growWith(newTotal, [](std::uint64_t) {});
}

int CDiaryDataFile::SetPassword(std::u16string_view password) {
    std::optional<std::string> ansi = ToAnsi(password);
    // A password that cannot be stored whole could never be typed again.
    if (!ansi) {
        m_ui->warn(res::Msg::PasswordNotConvertible);
        return 0;
    }
    if (ansi->size() > kFhPasswordSize) {
        m_ui->warn(res::Msg::PasswordTooLong);
        return 0;
    }
    try {
        auto header = readFileHeader();
        std::memset(&header[kFhPassword], 0, kFhPasswordSize);
        std::memcpy(&header[kFhPassword], ansi->data(), ansi->size());
        writeFileHeader(header);
        Sync();
    } catch (const FileError& e) {
        if (!IsDetached())
            m_ui->warn(e.kind() == FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                           : res::Msg::WriteToDiskFailure);
        return 0;
    }
    return 1;
}

std::u16string CDiaryDataFile::GetPassword() {
    auto header = readFileHeader();
    const char* field = reinterpret_cast<const char*>(&header[kFhPassword]);
    return FromAnsi(std::string_view(field, ::strnlen(field, kFhPasswordSize)));
}

}  // namespace tl::store
