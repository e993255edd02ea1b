#include "file_times.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tl::store {
namespace {

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<FileStatus> FromStatx(const struct statx& st, const std::string& name) {
    FileStatus s;
    if (S_ISREG(st.stx_mode))
        s.type = FileType::Regular;
    else if (S_ISDIR(st.stx_mode))
        s.type = FileType::Directory;
    s.size = st.stx_size;
    s.times.write = st.stx_mtime.tv_sec;
    s.times.access = st.stx_atime.tv_sec;
    s.times.creation = (st.stx_mask & STATX_BTIME) ? st.stx_btime.tv_sec : st.stx_mtime.tv_sec;
    s.attributes = kAttrArchive;
    if (!(st.stx_mode & S_IWUSR)) s.attributes |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.') s.attributes |= kAttrHidden;
    return s;
}

constexpr unsigned kStatxMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_ATIME | STATX_BTIME;

}  // namespace

std::optional<FileStatus> QueryFileStatus(const std::string& path) {
    struct statx st {};
    if (::statx(AT_FDCWD, path.c_str(), 0, kStatxMask, &st) != 0) return std::nullopt;
    return FromStatx(st, BaseName(path));
}

std::optional<FileStatus> QueryFileStatus(int fd, const std::string& name) {
    struct statx st {};
    if (::statx(fd, "", AT_EMPTY_PATH, kStatxMask, &st) != 0) return std::nullopt;
    return FromStatx(st, name);
}

bool ApplyFileTimes(const std::string& path, const FileTimes& times) {
    struct timespec ts[2] = {{static_cast<time_t>(times.access), 0},
                             {static_cast<time_t>(times.write), 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), ts, 0) == 0;
}

bool ApplyAttributes(const std::string& path, std::uint8_t attributes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH})
                                        : (mode | S_IWUSR);
    return mode == (st.st_mode & 07777) || ::chmod(path.c_str(), mode) == 0;
}

}  // namespace tl::store
