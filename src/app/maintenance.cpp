#include "maintenance.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "exchange/folder_io.h"
#include "exchange/progress_scope.h"
#include "store/attachment_names.h"
#include "store/blocking_call.h"
#include "store/blowfish.h"
#include "store/file_copy.h"
#include "store/record_images.h"
#include "store/record_layout.h"

namespace tl::app {

namespace {

namespace L = store;
using store::kUnitSize;

// Writes the fresh file: runs of live records are copied as they lie on
// disk (the fresh file has the same key and every unit is enciphered on
// its own, so the bytes are those a decipher and encipher would give),
// changed records are written enciphered. Unit 0 is written last.
class FreshFile {
public:
    // A run is copied once it holds this much, so that a file without free
    // records is not copied in one call with no progress step in between.
    static constexpr std::uint64_t kMaxRunUnits = (std::uint64_t{4} << 20) / kUnitSize;

    FreshFile(int in, int out) : m_in(in), m_out(out) {}

    // Queues the record's units for copying, joined to the run before it.
    void copy(std::uint64_t unit, std::uint64_t units) {
        if (m_runUnits != 0 && m_runStart + m_runUnits == unit && m_runUnits < kMaxRunUnits) {
            m_runUnits += units;
            return;
        }
        flush();
        m_runStart = unit;
        m_runUnits = units;
    }
    // Appends units already enciphered.
    void append(const std::vector<std::uint8_t>& bytes) {
        flush();
        writeAll(bytes.data(), bytes.size(), m_next * kUnitSize);
        m_next += bytes.size() / kUnitSize;
    }
    void flush();
    void writeAll(const std::uint8_t* p, std::size_t n, std::uint64_t at);
    std::uint64_t units() const { return m_next; }

private:
    int m_in, m_out;
    std::uint64_t m_next = 1;  // unit 0 is the header
    std::uint64_t m_runStart = 0, m_runUnits = 0;
    bool m_useRange = true;
};

void FreshFile::writeAll(const std::uint8_t* p, std::size_t n, std::uint64_t at) {
    while (n > 0) {
        ssize_t w = ::pwrite(m_out, p, n, static_cast<off_t>(at));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) store::ThrowFileError(w < 0 ? errno : EIO, "cannot write", "fresh file");
        p += w, n -= static_cast<std::size_t>(w), at += static_cast<std::uint64_t>(w);
    }
}

void FreshFile::flush() {
    std::uint64_t from = m_runStart * kUnitSize;
    std::uint64_t to = m_next * kUnitSize;
    std::uint64_t left = m_runUnits * kUnitSize;
    m_next += m_runUnits;
    m_runUnits = 0;
    std::vector<std::uint8_t> buffer;
    while (left > 0) {
        if (m_useRange) {
            loff_t inOff = static_cast<loff_t>(from), outOff = static_cast<loff_t>(to);
            ssize_t r =
                ::copy_file_range(m_in, &inOff, m_out, &outOff, static_cast<std::size_t>(left), 0);
            if (r > 0) {
                from += static_cast<std::uint64_t>(r), to += static_cast<std::uint64_t>(r),
                    left -= static_cast<std::uint64_t>(r);
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL &&
                errno != EOPNOTSUPP)
                store::ThrowFileError(errno, "cannot copy", "fresh file");
            m_useRange = false;
        }
        buffer.resize(std::size_t{1} << 20);
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        ssize_t r = ::pread(m_in, buffer.data(), n, static_cast<off_t>(from));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) store::ThrowFileError(r < 0 ? errno : EIO, "cannot read", "data file");
        writeAll(buffer.data(), static_cast<std::size_t>(r), to);
        from += static_cast<std::uint64_t>(r), to += static_cast<std::uint64_t>(r),
            left -= static_cast<std::uint64_t>(r);
    }
}

// The attachment record compressed, enciphered; nullopt when it stays as
// it is (compressed already, an archive) or cannot be compressed (told).
struct Compressed {
    bool keep = true;
    std::vector<std::uint8_t> bytes;
};
Compressed CompressAttachment(store::CDiaryDataFile& source, const store::RecordRef& rec,
                              const store::CBlowfish& cipher, res::UserInterface& ui,
                              bool& failed) {
    store::AttachmentInfo info;
    const store::Date d{rec.header.year(), rec.header.month(), rec.header.day()};
    if (source.FindAttachment(rec.unit, d, 0, &info) != rec.unit || info.compressed ||
        store::IsArchiveName(info.name))
        return {};
    store::AttachmentSource s;
    s.date = d;
    s.order = info.order;
    s.name = info.name;
    s.status.times = {info.creationTime, info.writeTime, info.accessTime};
    s.status.attributes = info.attributes;
    if (!source.ReadAttachmentData(rec.unit, s.bytes) || s.bytes.empty()) {
        failed = true;
        return {};
    }
    auto image = store::AttachmentImage(s);
    if (!image) {
        ui.warn(res::Msg::FailedToCompress);
        failed = true;
        return {};
    }
    cipher.Encrypt(image->data(), image->data(), image->size());
    return {false, std::move(*image)};
}

// The pass over an open source, which stays open, and so held against
// other writers, until the fresh file has taken its place.
int Rebuild(store::CDiaryDataFile& source, const std::string& freshFolder, res::UserInterface& ui,
            const store::DataFileKey& key, bool compress) {
    const std::string& path = source.Path();
    const std::string fresh = exchange::JoinPath(freshFolder, kFreshFileName);
    ::unlink(fresh.c_str());
    if (!source.IsOpen() || !source.Validate()) {
        ui.warn(res::Msg::DiaryDataIncorrect);
        return 0;
    }
    if (source.IsReadOnly()) {
        ui.warn(res::Msg::DataReadOnly);
        return 0;
    }
    // The fresh file ends at its total: what lay past the old one is kept.
    if (!source.KeepBytesPastTotal()) return 0;
    // The walk must reach the end, and only unit 0 may be a file header.
    {
        store::RecordWalk walk(source, 0);
        store::RecordRef rec;
        bool misplaced = false;
        while (walk.next(rec))
            misplaced |= rec.unit != 0 && rec.header.kind() == store::kKindFileHeader;
        if (misplaced || walk.damaged()) {
            ui.warn(res::Msg::DiaryDataIncorrect);
            return 0;
        }
    }
    // The count refuses a record of a kind this program does not know; the
    // pass would drop it, so the file is not touched and the user is told.
    store::KindCounts counts{};
    if (!source.CountByKind(counts)) {
        ui.warn(res::Msg::DiaryDataIncorrect);
        return 0;
    }
    // Every record the walk visits: those of all kinds and the header at
    // unit 0 (the count starts after it), so that the end is 100.
    std::uint64_t total = 1;
    for (const std::uint64_t count : counts) total += count;

    exchange::UniqueFd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    exchange::UniqueFd out(::open(fresh.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (in.get() < 0 || out.get() < 0) {
        ui.warn(res::Msg::FileWriteFailed);
        return 0;
    }
    store::CBlowfish cipher;
    cipher.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()),
                      ::strnlen(key.data(), key.size()));
    exchange::ProgressScope progress(
        ui, compress ? res::Msg::DuringCompression : res::Msg::DuringOptimization);
    auto fail = [&](std::optional<res::Msg> msg) {
        progress.close();
        ::unlink(fresh.c_str());
        if (msg) ui.warn(*msg);
        return 0;
    };
    try {
        FreshFile writer(in.get(), out.get());
        std::uint64_t accumulator = 0;
        store::RecordWalk walk(source, 0);
        store::RecordRef rec;
        while (walk.next(rec)) {
            const std::uint8_t kind = rec.header.kind();
            if (kind >= store::kKindEntryHeader && kind <= store::kKindWeatherList) {
                bool failed = false;
                Compressed c;
                if (compress && kind == store::kKindAttachment)
                    c = CompressAttachment(source, rec, cipher, ui, failed);
                if (failed) return fail(std::nullopt);
                if (c.keep)
                    writer.copy(rec.unit, rec.header.units());
                else
                    writer.append(c.bytes);
            }
            accumulator += 100;
            if (total != 0 && !progress.stepPercent(static_cast<int>(accumulator / total))) {
                progress.abort();
                ::unlink(fresh.c_str());
                return 2;
            }
        }
        writer.flush();
        std::array<std::uint8_t, kUnitSize> header{};
        if (::pread(in.get(), header.data(), header.size(), 0) !=
            static_cast<ssize_t>(header.size()))
            return fail(res::Msg::DiaryDataIncorrect);
        cipher.Decrypt(header.data(), header.data(), header.size());
        store::PutU32(&header[store::kFhTotalUnits], static_cast<std::uint32_t>(writer.units()));
        cipher.Encrypt(header.data(), header.data(), header.size());
        writer.writeAll(header.data(), header.size(), 0);
        struct stat st {};
        if (::fstat(in.get(), &st) == 0) (void)::fchmod(out.get(), st.st_mode & 07777);
        int syncError = 0;
        store::RunBlocking([&] { syncError = ::fdatasync(out.get()) == 0 ? 0 : errno; },
                           [&] { ui.keepAlive(); });
        if (syncError == 0 && out.close() != 0) syncError = errno;
        if (syncError != 0)
            return fail(syncError == ENOSPC || syncError == EDQUOT ? res::Msg::DiskFull
                                                                   : res::Msg::FileWriteFailed);
    } catch (const store::FileError& e) {
        return fail(e.kind() == store::FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                               : res::Msg::FileWriteFailed);
    } catch (const std::bad_alloc&) {
        return fail(res::Msg::OutOfMemory);
    }
    in.close();
    if (::rename(fresh.c_str(), path.c_str()) != 0) {
        // Another file system: a copy beside the data file, then a rename.
        try {
            if (errno != EXDEV ||
                store::ReplaceWithCopy(fresh, path, {}) != store::CopyResult::Done)
                return fail(res::Msg::FileWriteFailed);
        } catch (const store::FileError&) {
            return fail(res::Msg::FileWriteFailed);
        }
        ::unlink(fresh.c_str());
    }
    exchange::SyncFolderOf(path);
    progress.close();
    return 1;
}

int RebuildAt(const std::string& path, const std::string& freshFolder, res::UserInterface& ui,
              const store::DataFileKey& key, bool compress) {
    store::CDiaryDataFile source(store::PosixFileSystem::instance(), ui);
    source.SetPath(path);
    source.SetKey(key);
    if (source.Open(true) != store::OpenResult::Opened) {
        ui.warn(res::Msg::DiaryDataIncorrect);
        return 0;
    }
    return Rebuild(source, freshFolder, ui, key, compress);
}

}  // namespace

int OptimiseDataFile(const std::string& sourcePath, const std::string& freshFolder,
                     res::UserInterface& ui, const store::DataFileKey& key) {
    return RebuildAt(sourcePath, freshFolder, ui, key, false);
}

int CompressAllAttachments(const std::string& sourcePath, const std::string& freshFolder,
                           res::UserInterface& ui, const store::DataFileKey& key) {
    return RebuildAt(sourcePath, freshFolder, ui, key, true);
}

namespace {

// The file stays open through the pass: nobody writes between its copy and
// the rename that replaces it.
int RebuildOpen(store::CDiaryDataFile& file, const std::string& freshFolder, bool compress) {
    const bool readOnly = !file.IsWritable();
    const int r = Rebuild(file, freshFolder, file.ui(), store::DeriveDataFileKey(), compress);
    if (file.Open(readOnly) == store::OpenResult::Opened) (void)file.Validate();
    return r;
}

}  // namespace

int CompressAllAttachments(store::CDiaryDataFile& file, const std::string& freshFolder) {
    return RebuildOpen(file, freshFolder, true);
}

int OptimiseDataFile(store::CDiaryDataFile& file, const std::string& freshFolder) {
    return RebuildOpen(file, freshFolder, false);
}

namespace {

// The texts of one whole-file command.
struct PassTexts {
    res::Msg question, completed, failed;
};

int RunPass(store::CDiaryDataFile& file, const std::string& freshFolder, bool compress,
            const PassTexts& texts) {
    res::UserInterface& ui = file.ui();
    if (!ui.askYesNo(res::Text(texts.question))) return 2;
    const int r = RebuildOpen(file, freshFolder, compress);
    if (r == 1) ui.inform(texts.completed);
    if (r == 0) ui.warn(texts.failed);
    return r;
}

}  // namespace

int RunOptimisation(store::CDiaryDataFile& file, const std::string& freshFolder) {
    return RunPass(
        file, freshFolder, false,
        {res::Msg::AskOptimize, res::Msg::OptimizationCompleted, res::Msg::OptimizationFailed});
}

int RunBulkCompression(store::CDiaryDataFile& file, const std::string& freshFolder) {
    return RunPass(file, freshFolder, true,
                   {res::Msg::AskCompressAttachments, res::Msg::CompressionCompleted,
                    res::Msg::CompressionFailed});
}

}  // namespace tl::app
