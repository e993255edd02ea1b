#include "diary_data_file.h"

#include <cstring>

#include "codepage.h"
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

int CDiaryDataFile::Create() {
    keyCipher();
    std::unique_ptr<File> file;
    try {
        file = m_fs->create(m_path);
        std::array<std::uint8_t, kUnitSize> header{};
        header[kHdrKind] = kKindFileHeader;
        PutU32(&header[kHdrUnits], 1);
        PutU32(&header[kFhTotalUnits], 1);
        header[kFhGeneration] = kGeneration;
        header[kFhRevision] = kRevision;
        std::memcpy(&header[kFhMagic], kMagic, sizeof kMagic);
        header[kFhFlag] = 1;
        m_cipher.Encrypt(header.data(), header.data(), header.size());
        file->writeAt(0, header.data(), header.size());
        file->sync();
    } catch (const FileError&) {
        return 0;
    }
    m_totalUnits = 1;
    return 1;
}

OpenResult CDiaryDataFile::Open(bool readOnlyWanted) {
    Close();  // forgets what the search kept of the file
    invalidateChain();
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
        std::uint64_t length = m_file->size();
        if (length % kUnitSize != 0) return 0;
        // A file longer than its total is the trace of a growth that was
        // interrupted before the header committed it: the tail holds no
        // record of the chain and the next growth reuses it. Shorter is
        // damage.
        if (length < static_cast<std::uint64_t>(total) * kUnitSize) return 0;
        m_totalUnits = total;
        // The check is one walk over the file; with the chain map on, the
        // map is built by that same pass.
        if (m_useChainMap) loadChain();
        RecordWalk walk(*this, 0);
        RecordRef rec;
        while (walk.next(rec)) {
            std::uint8_t kind = rec.header.kind();
            if (kind > kKindWeatherList && kind != kKindFileHeader) return 0;
        }
        return walk.damaged() ? 0 : 1;
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

std::array<std::uint8_t, kUnitSize> CDiaryDataFile::readFileHeader() {
    std::array<std::uint8_t, kUnitSize> header{};
    if (m_file->readAt(0, header.data(), header.size()) != header.size())
        throw FileError(FileErrorKind::Io, 0, "cannot read the header of '" + m_path + "'");
    m_cipher.Decrypt(header.data(), header.data(), header.size());
    return header;
}

void CDiaryDataFile::writeFileHeader(std::array<std::uint8_t, kUnitSize> header) {
    m_cipher.Encrypt(header.data(), header.data(), header.size());
    m_file->writeAt(0, header.data(), header.size());
}

std::uint64_t CDiaryDataFile::growWith(std::uint64_t newTotal,
                                       const std::function<void(std::uint64_t)>& fill) {
    if (!m_file || m_totalUnits == 0 || newTotal <= m_totalUnits) return 0;
    if (newTotal * kUnitSize > kMaxFileBytes) {
        m_ui->warn(res::Msg::DataTooLarge);
        return 0;
    }
    const std::uint32_t oldTotal = m_totalUnits;
    std::uint64_t oldLength = 0;
    bool resized = false;
    try {
        auto header = readFileHeader();
        oldLength = m_file->size();
        m_file->setSize(newTotal * kUnitSize);
        resized = true;
        fill(static_cast<std::uint64_t>(oldTotal));
        // The header total is the commit point: until it is written the new
        // units are not part of the chain.
        PutU32(&header[kFhTotalUnits], static_cast<std::uint32_t>(newTotal));
        writeFileHeader(header);
    } catch (const FileError& e) {
        if (e.kind() == FileErrorKind::DiskFull) m_ui->warn(res::Msg::DiskFull);
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
    auto header = readFileHeader();
    std::memset(&header[kFhPassword], 0, kFhPasswordSize);
    std::memcpy(&header[kFhPassword], ansi->data(), ansi->size());
    writeFileHeader(header);
    return 1;
}

std::u16string CDiaryDataFile::GetPassword() {
    auto header = readFileHeader();
    const char* field = reinterpret_cast<const char*>(&header[kFhPassword]);
    return FromAnsi(std::string_view(field, ::strnlen(field, kFhPasswordSize)));
}

}  // namespace tl::store
