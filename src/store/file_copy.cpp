#include "file_copy.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "blocking_call.h"
#include "file.h"

namespace tl::store {

namespace {

// Closes its descriptor on every path out.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            if (m_fd >= 0) ::close(m_fd);
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now, so that a failing close is seen.
    int close() {
        int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

Fd OpenLocked(const std::string& path, int flags, int lock, mode_t mode = 0) {
    Fd fd(::open(path.c_str(), flags | O_CLOEXEC, mode));
    if (fd.get() < 0) ThrowFileError(errno, "cannot open", path);
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode))
        ThrowFileError(EISDIR, "cannot open", path);
    if (::flock(fd.get(), lock | LOCK_NB) != 0) ThrowFileError(errno, "cannot lock", path);
    return fd;
}

// Moves up to n bytes at *offset; returns the bytes moved, 0 at the end of
// the source. Falls back to read and write for good once the kernel
// refuses copy_file_range between these two files.
std::size_t CopyChunk(int in, int out, std::uint64_t offset, std::size_t n, bool& useRange,
                      std::vector<char>& buffer, const std::string& from, const std::string& to) {
    if (useRange) {
        loff_t inOff = static_cast<loff_t>(offset);
        loff_t outOff = static_cast<loff_t>(offset);
        for (;;) {
            ssize_t r = ::copy_file_range(in, &inOff, out, &outOff, n, 0);
            if (r >= 0) return static_cast<std::size_t>(r);
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                errno == EBADF) {
                useRange = false;
                break;
            }
            ThrowFileError(errno, "cannot copy to", to);
        }
    }
    buffer.resize(n);
    ssize_t got;
    do got = ::pread(in, buffer.data(), n, static_cast<off_t>(offset));
    while (got < 0 && errno == EINTR);
    if (got < 0) ThrowFileError(errno, "cannot read", from);
    std::size_t done = 0;
    while (done < static_cast<std::size_t>(got)) {
        ssize_t w = ::pwrite(out, buffer.data() + done, static_cast<std::size_t>(got) - done,
                             static_cast<off_t>(offset + done));
        if (w < 0) {
            if (errno == EINTR) continue;
            ThrowFileError(errno, "cannot write", to);
        }
        done += static_cast<std::size_t>(w);
    }
    return done;
}

// Moves up to n bytes at offset from an open file of the engine; returns
// the bytes moved, 0 at the end of the source.
std::size_t CopyChunk(File& in, int out, std::uint64_t offset, std::size_t n,
                      std::vector<char>& buffer, const std::string& to) {
    buffer.resize(n);
    const std::size_t got = in.readAt(offset, buffer.data(), n);
    std::size_t done = 0;
    while (done < got) {
        ssize_t w =
            ::pwrite(out, buffer.data() + done, got - done, static_cast<off_t>(offset + done));
        if (w < 0) {
            if (errno == EINTR) continue;
            ThrowFileError(errno, "cannot write", to);
        }
        done += static_cast<std::size_t>(w);
    }
    return done;
}

// Where a copy reads from: a path it opens and locks shared, or a file
// the caller holds open.
struct CopySource {
    const std::string& name;
    File* open = nullptr;
};

// Sets targetOwned once the target is open and locked by us, so that
// failures before that leave someone else's file alone.
CopyResult CopyInto(const CopySource& from, const std::string& to, const CopyProgress& progress,
                    std::size_t chunk, bool& targetOwned) {
    Fd in(-1);
    std::uint64_t total = 0;
    mode_t mode = 0666;
    if (from.open) {
        total = from.open->size();
    } else {
        in = OpenLocked(from.name, O_RDONLY, LOCK_SH);
        struct stat st {};
        if (::fstat(in.get(), &st) != 0) ThrowFileError(errno, "cannot query", from.name);
        total = static_cast<std::uint64_t>(st.st_size);
        mode = st.st_mode;
    }
    // The copy may be written again later (the next backup replaces it).
    Fd out = OpenLocked(to, O_WRONLY | O_CREAT, LOCK_EX, (mode & 0777) | S_IWUSR);
    targetOwned = true;
    // Emptied only once the lock is ours.
    if (::ftruncate(out.get(), 0) != 0) ThrowFileError(errno, "cannot empty", to);

    bool useRange = true;
    std::vector<char> buffer;
    std::uint64_t copied = 0;
    if (progress && !progress(0, total)) return CopyResult::Cancelled;
    while (copied < total) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, total - copied));
        const std::size_t moved =
            from.open ? CopyChunk(*from.open, out.get(), copied, n, buffer, to)
                      : CopyChunk(in.get(), out.get(), copied, n, useRange, buffer, from.name, to);
        if (moved == 0) break;  // the source shrank under us; what was there is copied
        copied += moved;
        if (progress && !progress(copied, total)) return CopyResult::Cancelled;
    }
    // The sync of a large copy takes a while: the progress goes on being
    // asked meanwhile, and a cancel then still counts.
    bool cancelled = false;
    const std::function<void()> keepAlive = [&] { cancelled |= !progress(copied, total); };
    RunBlocking(
        [&] {
            if (::fsync(out.get()) != 0) ThrowFileError(errno, "cannot sync", to);
        },
        progress ? keepAlive : std::function<void()>());
    if (cancelled) return CopyResult::Cancelled;
    if (out.close() != 0) ThrowFileError(errno, "cannot close", to);
    return CopyResult::Done;
}

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

CopyResult CopyFrom(const CopySource& from, const std::string& to, const CopyProgress& progress,
                    std::size_t chunk) {
    bool targetOwned = false;
    try {
        CopyResult r = CopyInto(from, to, progress, chunk, targetOwned);
        if (r == CopyResult::Cancelled) RemoveQuietly(to);
        return r;
    } catch (const FileError&) {
        if (targetOwned) RemoveQuietly(to);
        throw;
    }
}

}  // namespace

CopyResult CopyFile(const std::string& from, const std::string& to, const CopyProgress& progress,
                    std::size_t chunk) {
    return CopyFrom({from}, to, progress, chunk);
}

CopyResult CopyOpenFile(File& from, const std::string& fromName, const std::string& to,
                        const CopyProgress& progress, std::size_t chunk) {
    return CopyFrom({fromName, &from}, to, progress, chunk);
}

std::string PartialName(const std::string& to) {
    return to + ".part";
}

CopyResult ReplaceWithCopy(const std::string& from, const std::string& to,
                           const CopyProgress& progress, std::size_t chunk) {
    const std::string part = PartialName(to);
    if (CopyFile(from, part, progress, chunk) == CopyResult::Cancelled)
        return CopyResult::Cancelled;
    if (::rename(part.c_str(), to.c_str()) != 0) {
        int err = errno;
        RemoveQuietly(part);
        ThrowFileError(err, "cannot replace", to);
    }
    // The rename itself reaches the disk only with its folder.
    SyncFolderOf(to);
    return CopyResult::Done;
}

void SyncFolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) (void)::fsync(dir.get());
}

void KeepUnderName(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        const int err = errno;
        if (err != EXDEV && err != EPERM && err != ENOTSUP && err != EMLINK)
            ThrowFileError(err, "cannot keep", to);
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0) ThrowFileError(EEXIST, "cannot keep", to);
        (void)CopyFile(from, to, nullptr);
    }
    SyncFolderOf(to);
}

void WriteWhole(const std::string& to, const std::uint8_t* bytes, std::size_t size) {
    const std::string part = PartialName(to);
    {
        Fd fd(::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (fd.get() < 0) ThrowFileError(errno, "cannot create", part);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd.get(), bytes + done, size - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const int err = n < 0 ? errno : EIO;
                RemoveQuietly(part);
                ThrowFileError(err, "cannot write", part);
            }
            done += static_cast<std::size_t>(n);
        }
        if (::fdatasync(fd.get()) != 0 || fd.close() != 0) {
            const int err = errno;
            RemoveQuietly(part);
            ThrowFileError(err, "cannot write", part);
        }
    }
    if (::rename(part.c_str(), to.c_str()) != 0) {
        const int err = errno;
        RemoveQuietly(part);
        ThrowFileError(err, "cannot replace", to);
    }
    SyncFolderOf(to);
}

}  // namespace tl::store
