#include "folder_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tl::exchange {

namespace {

int OpenForWriting(const std::string& path) {
    constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.c_str(), kFlags, 0666);
    if (fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
        ::close(fd);
        errno = EISDIR;
        return -1;
    }
    // A read-only file (an attachment exported before) or a symbolic link
    // of that name: the name is taken over by a new file. The owner may
    // replace what is in his folder; he may not write through a link.
    if (errno == EACCES || errno == ELOOP || errno == EPERM) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && ::unlink(path.c_str()) == 0)
            return ::open(path.c_str(), kFlags | O_EXCL, 0666);
    }
    return -1;
}

}  // namespace

UniqueFd::~UniqueFd() {
    if (m_fd >= 0) ::close(m_fd);
}

int UniqueFd::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

int UniqueFd::closeFd(int fd) {
    return ::close(fd);
}

void SyncFolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) (void)::fsync(fd.get());
}

WriteResult WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    UniqueFd fd(OpenForWriting(path));
    if (fd.get() < 0)
        return errno == ENOSPC || errno == EDQUOT ? WriteResult::DiskFull : WriteResult::Failed;
    std::size_t done = 0;
    int err = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (err == 0 && ::close(fd.release()) != 0) err = errno;
    if (err == 0) return WriteResult::Written;
    ::unlink(path.c_str());
    return err == ENOSPC || err == EDQUOT ? WriteResult::DiskFull : WriteResult::Failed;
}

bool EnsureSubfolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return entries;
    const int dirFd = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry entry{name, e->d_type == DT_DIR, e->d_type == DT_REG};
        if (e->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                entry.isFolder = S_ISDIR(st.st_mode);
                entry.isFile = S_ISREG(st.st_mode);
            }
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n =
            ::pread(fd.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace tl::exchange
