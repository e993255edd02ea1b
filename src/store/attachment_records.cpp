// Attachment records (kind 4): a file from disk stored whole in one record,
// compressed unless it is an archive already.
//
// Record layout (little-endian, text UTF-16LE):
//    0 .. 23  record header: kind 4, the entry's date, units
//   24  attachment order          u32, 1 and up
//   32  original size             u64, the file's length (below 10,000,000)
//   40  creation time             i64, seconds since 1970-01-01 UTC
//   48  last-write time           i64
//   56  last-access time          i64
//   64  attributes                u8 (read-only 0x01, hidden 0x02, system 0x04, archive 0x20)
//   72  compressed flag           u8, 1 or 0
//   80  stored size               u64, the zlib stream's length; 0 when not compressed
//  128  name                      256 code units, zero-filled, no terminator when full
//  640  the file's bytes: the zlib stream, or the file itself
// units = floor((stored bytes - 1) / 128) + 6: five units before the data.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "attachment_names.h"
#include "codepage.h"
#include "compression.h"
#include "diary_data_file.h"
#include "file_times.h"
#include "record_images.h"
#include "record_layout.h"

namespace tl::store {
namespace {

using AttachmentHead = std::array<std::uint8_t, kAttData>;

AttachmentInfo ParseHead(std::uint64_t unit, const AttachmentHead& b) {
    RecordHeader h;
    std::copy_n(b.begin(), kRecordHeaderSize, h.bytes.begin());
    AttachmentInfo a;
    a.unit = unit;
    a.units = h.units();
    a.date = {h.year(), h.month(), h.day()};
    a.order = GetU32(&b[kAttOrder]);
    a.originalSize = GetU64(&b[kAttOriginalSize]);
    a.creationTime = static_cast<std::int64_t>(GetU64(&b[kAttCreation]));
    a.writeTime = static_cast<std::int64_t>(GetU64(&b[kAttWrite]));
    a.accessTime = static_cast<std::int64_t>(GetU64(&b[kAttAccess]));
    a.attributes = b[kAttAttributes];
    a.compressed = b[kAttCompressed] != 0;
    a.storedSize = GetU64(&b[kAttStoredSize]);
    a.name = GetText(&b[kAttName], kAttachmentNameMax);
    return a;
}

// Reads the header and name units of an attachment record. A record of
// fewer than five units (damaged) leaves the missing part zero.
std::optional<AttachmentHead> ReadHead(CDiaryDataFile& file, const RecordRef& rec) {
    AttachmentHead b{};
    const std::size_t n = std::min(rec.header.units(), kAttHeadUnits) * kUnitSize;
    if (file.ReadBytes(rec.unit, b.data(), n) != n) return std::nullopt;
    return b;
}

class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;

private:
    int m_fd;
};

// Reads exactly n bytes from the start of fd; false on an error or a file
// that turned out shorter.
bool ReadWhole(int fd, std::uint8_t* buf, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(fd, buf + done, n - done, static_cast<off_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        done += static_cast<std::size_t>(r);
    }
    return true;
}

}  // namespace

bool IsArchiveName(std::u16string_view name) {
    const auto dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos || name.size() - dot != 4) return false;
    std::u16string ext(name.substr(dot + 1));
    for (char16_t& c : ext)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return ext == u"ZIP" || ext == u"LZH";
}

bool IsPictureName(std::u16string_view name) {
    static constexpr std::u16string_view kExtensions[] = {u"bmp", u"dib", u"jpg",  u"jpeg", u"gif",
                                                          u"png", u"tif", u"tiff", u"ico"};
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    const std::u16string_view ext = name.substr(dot + 1);
    return std::any_of(
        std::begin(kExtensions), std::end(kExtensions), [ext](std::u16string_view want) {
            return ext.size() == want.size() &&
                   std::equal(ext.begin(), ext.end(), want.begin(), [](char16_t a, char16_t b) {
                       return (a >= u'A' && a <= u'Z' ? a + 32 : a) == b;
                   });
        });
}

std::u16string SafeFileName(std::u16string_view storedName) {
    if (storedName.empty() || storedName == u"." || storedName == u"..") return u"_";
    std::u16string out(storedName);
    for (char16_t& c : out)
        if (c == u'/' || c == u'\\' || c < 0x20 || c == 0x7f) c = u'_';
    return out;
}

bool IsAttachableFile(const std::optional<FileStatus>& status, const std::string& path,
                      res::UserInterface& ui) {
    if (!status) {
        ui.warn(res::FormatText(res::Msg::FileReadFailedPath, {path}));
        return false;
    }
    if (status->type != FileType::Regular) {
        ui.warn(res::FormatText(res::Msg::NotAFile, {path}));
        return false;
    }
    return true;
}

bool IsAttachableSize(std::u16string_view name, std::uint64_t size, res::UserInterface& ui) {
    if (name.size() > kAttachmentNameMax) {
        ui.warn(res::Msg::FileNameTooLong);
        return false;
    }
    if (size == 0) {
        ui.warn(res::Msg::EmptyFileNotAttached);
        return false;
    }
    if (size >= kAttachmentLimit) {
        ui.warn(res::Msg::FileTooLargeToAttach);
        return false;
    }
    return true;
}

int CDiaryDataFile::AttachFile(const std::string& path, Date date, std::uint32_t order,
                               AttachmentInfo* info) {
    const auto slash = path.find_last_of('/');
    const std::string baseName = slash == std::string::npos ? path : path.substr(slash + 1);

    // Checked before opening, so that a fifo or a device is never opened.
    std::optional<FileStatus> status = QueryFileStatus(path);
    if (!IsAttachableFile(status, path, *m_ui)) return 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        m_ui->warn(res::FormatText(res::Msg::FileReadFailedPath, {path}));
        return 0;
    }
    FdGuard guard(fd);
    // What was opened may not be what was queried; the open file decides.
    status = QueryFileStatus(fd, baseName);
    if (!IsAttachableFile(status, path, *m_ui)) return 0;
    const std::u16string name = Utf8ToUtf16(baseName);
    if (!IsAttachableSize(name, status->size, *m_ui)) return 0;

    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> image;
    try {
        bytes.resize(status->size);
        if (!ReadWhole(fd, bytes.data(), bytes.size())) {
            m_ui->warn(res::Msg::FileReadFailed);
            return 0;
        }
        std::optional<Image> built =
            AttachmentImage({date, order, name, *status, std::move(bytes)});
        if (!built) {
            m_ui->warn(res::Msg::FailedToCompress);
            return 0;
        }
        image = std::move(*built);
    } catch (const std::bad_alloc&) {
        m_ui->warn(res::Msg::OutOfMemory);
        return 0;
    }

    // One change: the record appears whole, synced, or not at all.
    RecordChange change;
    change.images.push_back(std::move(image));
    try {
        if (!ApplyChanges(std::span(&change, 1))) {
            m_ui->warn(res::Msg::FileWriteFailed);
            return 0;
        }
    } catch (const FileError& e) {
        if (e.kind() == FileErrorKind::Replaced) return 0;  // told by its handler
        if (e.kind() == FileErrorKind::DiskFull) m_ui->warn(res::Msg::DiskFull);
        m_ui->warn(res::Msg::FileWriteFailed);
        return 0;
    }
    const std::uint64_t unit = change.placed;
    if (info) {
        AttachmentHead head;
        std::copy_n(change.images.front().begin(), kAttData, head.begin());
        *info = ParseHead(unit, head);
    }
    return 1;
}

std::uint64_t CDiaryDataFile::FindAttachment(std::uint64_t from, Date date, std::uint32_t order,
                                             AttachmentInfo* info) {
    RecordWalk walk(*this, from);
    RecordRef rec;
    while (walk.next(rec, OfKindAndDate(KindBit(kKindAttachment), date))) {
        std::optional<AttachmentHead> head = ReadHead(*this, rec);
        if (!head) continue;
        AttachmentInfo a = ParseHead(rec.unit, *head);
        if (order != 0 && a.order != order) continue;
        if (info) *info = std::move(a);
        return rec.unit;
    }
    return 0;
}

std::vector<AttachmentInfo> CDiaryDataFile::ListAttachments(Date date) {
    std::vector<AttachmentInfo> list;
    AttachmentInfo a;
    for (std::uint64_t u = FindAttachment(0, date, 0, &a); u != 0;
         u = FindAttachment(u + a.units, date, 0, &a))
        list.push_back(a);
    return list;
}

SealedResult CDiaryDataFile::ReadSealedAttachment(std::uint64_t unit, SealedAttachment& out,
                                                  std::size_t prefix) {
    // Every size in the record is untrusted: the stored bytes must lie within
    // the record's own units, and the original size within the limit that
    // attaching enforces, before anything is allocated from them.
    std::array<std::uint8_t, kUnitSize> first{};
    if (unit == 0 || unit >= m_totalUnits || !m_file ||
        ReadBytes(unit, first.data(), first.size()) != first.size())
        return SealedResult::Damaged;
    const std::uint32_t units = GetU32(&first[kHdrUnits]);
    const bool compressed = first[kAttCompressed] != 0;
    const std::uint64_t original = GetU64(&first[kAttOriginalSize]);
    const std::uint64_t stored = compressed ? GetU64(&first[kAttStoredSize]) : original;
    if (first[kHdrKind] != kKindAttachment || units <= kAttHeadUnits ||
        unit + units > m_totalUnits || original >= kAttachmentLimit ||
        stored > static_cast<std::uint64_t>(units - kAttHeadUnits) * kUnitSize)
        return SealedResult::Damaged;
    // A prefix of the file needs about as many stored bytes: files worth
    // reading in part (photographs) barely deflate; a little more covers
    // the stream's own overhead.
    std::uint64_t wanted = stored;
    if (prefix < original) wanted = std::min<std::uint64_t>(stored, prefix + prefix / 64 + 1024);
    // The data units in one read; only as many as hold the wanted bytes.
    const std::size_t readLength =
        static_cast<std::size_t>((wanted + kUnitSize - 1) / kUnitSize * kUnitSize);
    SealedAttachment sealed;
    try {
        sealed.units.resize(readLength);
    } catch (const std::bad_alloc&) {
        return SealedResult::OutOfMemory;
    }
    if (readLength > 0 && m_file->readAt((unit + kAttHeadUnits) * kUnitSize, sealed.units.data(),
                                         readLength) != readLength)
        return SealedResult::Damaged;
    sealed.compressed = compressed;
    sealed.originalSize = original;
    sealed.storedSize = wanted;
    sealed.whole = wanted == stored;
    out = std::move(sealed);
    return SealedResult::Ok;
}

SealedResult OpenSealedAttachment(const CBlowfish& cipher, SealedAttachment& sealed,
                                  std::vector<std::uint8_t>& data, std::size_t prefix) {
    if (sealed.storedSize > sealed.units.size()) return SealedResult::Damaged;
    cipher.Decrypt(sealed.units.data(), sealed.units.data(), sealed.units.size());
    const std::span<const std::uint8_t> bytes =
        std::span<const std::uint8_t>(sealed.units)
            .first(static_cast<std::size_t>(sealed.storedSize));
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(sealed.originalSize, prefix));
    if (!sealed.compressed) {
        const std::size_t have = std::min(want, bytes.size());
        if (sealed.whole && have != sealed.originalSize) return SealedResult::Damaged;
        sealed.units.resize(have);
        data = std::move(sealed.units);
        return SealedResult::Ok;
    }
    std::vector<std::uint8_t> out;
    try {
        out.resize(want);
    } catch (const std::bad_alloc&) {
        return SealedResult::OutOfMemory;
    }
    // The original size bounds the inflated length, so a stream cannot
    // claim more memory than the file it stands for; a whole file is the
    // whole stream, neither shorter nor longer.
    const bool whole = sealed.whole && want == sealed.originalSize;
    const std::optional<std::size_t> written =
        whole ? InflateInto(bytes, out) : InflatePrefix(bytes, out);
    if (!written || (whole && *written != want)) return SealedResult::Undecodable;
    out.resize(*written);
    sealed.units.clear();
    data = std::move(out);
    return SealedResult::Ok;
}

int CDiaryDataFile::ReadAttachmentData(std::uint64_t unit, std::vector<std::uint8_t>& data) {
    SealedAttachment sealed;
    SealedResult result = ReadSealedAttachment(unit, sealed);
    if (result == SealedResult::Ok) result = OpenSealedAttachment(m_cipher, sealed, data);
    switch (result) {
        case SealedResult::Ok:
            return 1;
        case SealedResult::Damaged:
            m_ui->warn(res::Msg::DiaryDataIncorrect);
            return 0;
        case SealedResult::Undecodable:
            m_ui->warn(res::Msg::FailedToDecompress);
            return 0;
        case SealedResult::OutOfMemory:
            m_ui->warn(res::Msg::OutOfMemory);
            return 0;
    }
    return 0;
}

int CDiaryDataFile::DeleteAttachment(Date date, std::uint32_t order) {
    // Order 0 would match any attachment of the date.
    if (order == 0) return 0;
    const std::uint64_t unit = FindAttachment(0, date, order);
    if (unit == 0) return 0;
    FreeRecord(unit);
    Sync();
    return 1;
}

std::uint32_t CDiaryDataFile::MaxAttachmentOrder(Date date) {
    std::uint32_t most = 0;
    for (const AttachmentInfo& a : ListAttachments(date)) most = std::max(most, a.order);
    return most;
}

int CDiaryDataFile::AttachmentNameExists(Date date, std::u16string_view name) {
    for (const AttachmentInfo& a : ListAttachments(date))
        if (a.name == name) return 1;
    return 0;
}

std::uint32_t CDiaryDataFile::SameNameRank(Date date, std::uint32_t order,
                                           std::u16string_view name) {
    std::uint32_t rank = 1;
    for (const AttachmentInfo& a : ListAttachments(date))
        if (a.order < order && a.name == name) ++rank;
    return rank;
}

}  // namespace tl::store
