#include "temp_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace tl::app {
namespace {

namespace fs = std::filesystem;

// The highest number a copy's name gets ("report(99).pdf").
constexpr int kLastCopyNumber = 99;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

bool IsNumber(const char* name) {
    if (!*name) return false;
    for (const char* p = name; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

// Deletes a copy: made writable first, as it was written read-only.
bool Remove(const std::string& path) {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    return fs::remove(path, ec) || !fs::exists(fs::symlink_status(path, ec));
}

bool Free(const std::string& path, const PathTest& inUse) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return true;
    return !inUse(path) && Remove(path);
}

// A real folder of this user's that nobody else may enter (closed again
// when it was opened to others).
bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    return (st.st_mode & 0777) == 0700 || ::chmod(path.c_str(), 0700) == 0;
}

}  // namespace

std::string OwnFolder(const fs::path& parent, const std::string& name) {
    if (parent.empty()) return {};
    for (int n = 1; n <= 9; ++n) {
        const std::string path =
            (parent / (n == 1 ? name : name + "-" + std::to_string(n))).string();
        (void)::mkdir(path.c_str(), 0700);
        if (IsOwnFolder(path)) return path;
    }
    return {};
}

std::string UserRuntimeFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/') {
        struct stat st {};
        if (::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
            (st.st_mode & 077) == 0)
            return runtime;
    }
    std::error_code ec;
    return OwnFolder(fs::temp_directory_path(ec), "tallyleaf-" + std::to_string(::getuid()));
}

bool IsFileOpenElsewhere(const std::string& path) {
    char real[PATH_MAX];
    if (!::realpath(path.c_str(), real)) return false;
    const std::string target = real;
    const std::string self = std::to_string(::getpid());
    Dir proc(::opendir("/proc"));
    if (!proc) return false;
    while (dirent* p = ::readdir(proc.get())) {
        if (!IsNumber(p->d_name) || self == p->d_name) continue;
        const std::string fdFolder = std::string("/proc/") + p->d_name + "/fd";
        Dir fds(::opendir(fdFolder.c_str()));
        if (!fds) continue;  // another user's process, or gone meanwhile
        while (dirent* f = ::readdir(fds.get())) {
            if (!IsNumber(f->d_name)) continue;
            char link[PATH_MAX];
            const std::string fdPath = fdFolder + "/" + f->d_name;
            const ssize_t n = ::readlink(fdPath.c_str(), link, sizeof link - 1);
            if (n > 0 &&
                target.compare(0, std::string::npos, link, static_cast<std::size_t>(n)) == 0)
                return true;
        }
    }
    return false;
}

std::optional<std::string> TempCopyPath(const std::string& folder, const std::string& name,
                                        const PathTest& inUse) {
    if (name.find('.') == std::string::npos) return std::nullopt;
    return NumberedPath(folder, name, kLastCopyNumber,
                        [&inUse](const std::string& path) { return Free(path, inUse); });
}

std::optional<std::string> NumberedPath(const std::string& folder, const std::string& name,
                                        int last, const PathTest& free) {
    const std::string first = folder + "/" + name;
    if (free(first)) return first;
    const std::size_t dot = name.find('.');
    const std::string stem = name.substr(0, dot);
    const std::string rest = dot == std::string::npos ? "" : name.substr(dot);
    for (int n = 2; n <= last; ++n) {
        const std::string path = folder + "/" + stem + "(" + std::to_string(n) + ")" + rest;
        if (free(path)) return path;
    }
    return std::nullopt;
}

void TempFileList::RemoveAll(const PathTest& inUse, const AskRetry& askRetry) {
    while (!m_paths.empty()) {
        const std::string path = std::move(m_paths.back());
        m_paths.pop_back();
        for (;;) {
            std::error_code ec;
            if (!fs::exists(fs::symlink_status(path, ec))) break;
            if (!inUse(path) && Remove(path)) break;
            if (!askRetry(fs::path(path).filename().string())) break;
        }
    }
}

}  // namespace tl::app
