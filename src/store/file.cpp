#include "file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "res/messages.h"

namespace tl::store {

FileError::FileError(FileErrorKind kind, int err, const std::string& what)
    : std::runtime_error(what), m_kind(kind), m_errno(err) {}

FileErrorKind KindFromErrno(int err) {
    switch (err) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return FileErrorKind::DiskFull;
        case EWOULDBLOCK:
            return FileErrorKind::InUse;
        case ENOENT:
        case ENOTDIR:
            return FileErrorKind::NotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileErrorKind::AccessDenied;
        default:
            return FileErrorKind::Io;
    }
}

void ThrowFileError(int err, const std::string& operation, const std::string& path) {
    throw FileError(KindFromErrno(err), err, operation + " '" + path + "': " + std::strerror(err));
}

const char* Describe(FileErrorKind kind) {
    switch (kind) {
        case FileErrorKind::DiskFull:
            return "disk full";
        case FileErrorKind::InUse:
            return "in use";
        case FileErrorKind::NotFound:
            return "not found";
        case FileErrorKind::AccessDenied:
            return "access denied";
        case FileErrorKind::Io:
            return "input/output error";
        case FileErrorKind::Replaced:
            return "replaced by another file";
    }
    return "error";
}

std::string FailureText(const FileError& e) {
    switch (e.kind()) {
        case FileErrorKind::DiskFull:
            return std::string(res::Text(res::Msg::DiskFull));
        case FileErrorKind::InUse:
            return std::string(res::Text(res::Msg::DataInUse));
        default:
            return e.what();
    }
}

std::size_t FileWrapper::readAt(std::uint64_t offset, void* buf, std::size_t n) {
    return m_target->readAt(offset, buf, n);
}
void FileWrapper::writeAt(std::uint64_t offset, const void* buf, std::size_t n) {
    m_target->writeAt(offset, buf, n);
}
std::uint64_t FileWrapper::size() {
    return m_target->size();
}
void FileWrapper::setSize(std::uint64_t size) {
    m_target->setSize(size);
}
void FileWrapper::sync() {
    m_target->sync();
}
PathState FileWrapper::pathState() {
    return m_target->pathState();
}

std::unique_ptr<File> FileSystemWrapper::open(const std::string& path, OpenMode mode) {
    return wrap(m_target.open(path, mode));
}
std::unique_ptr<File> FileSystemWrapper::create(const std::string& path) {
    return wrap(m_target.create(path));
}
std::optional<bool> FileSystemWrapper::isReadOnly(const std::string& path) {
    return m_target.isReadOnly(path);
}
bool FileSystemWrapper::exists(const std::string& path) {
    return m_target.exists(path);
}
void FileSystemWrapper::remove(const std::string& path) {
    m_target.remove(path);
}

namespace {

class PosixFile final : public File {
public:
    PosixFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {
        struct stat st {};
        if (::fstat(m_fd, &st) == 0) m_dev = st.st_dev, m_ino = st.st_ino;
    }
    ~PosixFile() override { ::close(m_fd); }  // also drops the lock
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::size_t readAt(std::uint64_t offset, void* buf, std::size_t n) override {
        auto* p = static_cast<char*>(buf);
        std::size_t done = 0;
        while (done < n) {
            ssize_t r = ::pread(m_fd, p + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                ThrowFileError(errno, "cannot read", m_path);
            }
            if (r == 0) break;
            done += static_cast<std::size_t>(r);
        }
        return done;
    }

    void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override {
        const auto* p = static_cast<const char*>(buf);
        std::size_t done = 0;
        while (done < n) {
            ssize_t r = ::pwrite(m_fd, p + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                ThrowFileError(errno, "cannot write", m_path);
            }
            done += static_cast<std::size_t>(r);
        }
    }

    std::uint64_t size() override {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0) ThrowFileError(errno, "cannot query", m_path);
        return static_cast<std::uint64_t>(st.st_size);
    }

    void setSize(std::uint64_t newSize) override {
        std::uint64_t old = size();
        if (newSize > old) {
            // Reserve the blocks now so that a full disk shows here.
            int rc =
                ::posix_fallocate(m_fd, static_cast<off_t>(old), static_cast<off_t>(newSize - old));
            if (rc == 0) return;
            if (rc != EOPNOTSUPP && rc != EINVAL) {
                // fallocate may have extended the file before failing.
                (void)::ftruncate(m_fd, static_cast<off_t>(old));
                ThrowFileError(rc, "cannot grow", m_path);
            }
        }
        if (::ftruncate(m_fd, static_cast<off_t>(newSize)) != 0)
            ThrowFileError(errno, "cannot resize", m_path);
    }

    void sync() override {
        if (::fdatasync(m_fd) != 0) ThrowFileError(errno, "cannot sync", m_path);
    }

    // One stat of the path against the identity taken at the open: the
    // lock is advisory, so a sync tool's rename goes through.
    PathState pathState() override {
        struct stat now {};
        if (::stat(m_path.c_str(), &now) != 0)
            return errno == ENOENT || errno == ENOTDIR ? PathState::Gone : PathState::Same;
        return now.st_dev == m_dev && now.st_ino == m_ino ? PathState::Same : PathState::Replaced;
    }

private:
    int m_fd;
    std::string m_path;
    dev_t m_dev = 0;
    ino_t m_ino = 0;
};

int OpenLocked(const std::string& path, int flags) {
    for (;;) {
        int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
        if (fd < 0) ThrowFileError(errno, "cannot open", path);
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            ThrowFileError(EISDIR, "cannot open", path);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            int err = errno;
            ::close(fd);
            ThrowFileError(err, "cannot lock", path);
        }
        // A merge or optimisation renames a new file over the path and then
        // lets the old one go: a lock won on the old one guards nothing.
        struct stat now {};
        if (::stat(path.c_str(), &now) != 0 || (now.st_ino == st.st_ino && now.st_dev == st.st_dev))
            return fd;
        ::close(fd);
    }
}

}  // namespace

std::unique_ptr<File> PosixFileSystem::open(const std::string& path, OpenMode mode) {
    int fd = OpenLocked(path, mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR);
    return std::make_unique<PosixFile>(fd, path);
}

std::unique_ptr<File> PosixFileSystem::create(const std::string& path) {
    // No O_TRUNC: the lock must be ours before anything is emptied.
    int fd = OpenLocked(path, O_RDWR | O_CREAT);
    auto file = std::make_unique<PosixFile>(fd, path);
    file->setSize(0);
    return file;
}

std::optional<bool> PosixFileSystem::isReadOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return (st.st_mode & S_IWUSR) == 0;
}

bool PosixFileSystem::exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void PosixFileSystem::remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        ThrowFileError(errno, "cannot remove", path);
}

PosixFileSystem& PosixFileSystem::instance() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace tl::store
