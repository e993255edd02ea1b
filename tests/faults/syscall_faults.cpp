#include "syscall_faults.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace tl::faults {

namespace {

// Plain globals: the calls come from the test's own thread and from the
// import's workers, which only read and compress (they never write).
std::atomic<bool> g_armed{false};
char g_folder[4096];
std::size_t g_folderLength = 0;
std::atomic<int> g_count{0};
int g_failAt = 0;
int g_error = 0;
std::atomic<bool> g_fired{false};
std::atomic<int> g_notify{-1};

bool InFolder(int fd) {
    char link[64], path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    if (n < 0) return false;
    path[n] = 0;
    return static_cast<std::size_t>(n) >= g_folderLength &&
           std::memcmp(path, g_folder, g_folderLength) == 0;
}

}  // namespace

// The error to fail this call with, or 0 to let it through.
int Inject(int fd) {
    if (!g_armed.load() || !InFolder(fd)) return 0;
    if (const int notify = g_notify.exchange(-1); notify >= 0) {
        const char byte = 1;
        (void)syscall(SYS_write, notify, &byte, 1);
    }
    const int n = ++g_count;
    if (n != g_failAt) return 0;
    g_fired = true;
    return g_error;
}

void ArmFaults(const std::string& folder, int n, int err) {
    std::snprintf(g_folder, sizeof g_folder, "%s", folder.c_str());
    g_folderLength = std::strlen(g_folder);
    g_count = 0;
    g_failAt = n;
    g_error = err;
    g_fired = false;
    g_armed = true;
}

int DisarmFaults() {
    g_armed = false;
    return g_count.load();
}

bool FaultFired() {
    return g_fired.load();
}

void NotifyFirstCall(int fd) {
    g_notify = fd;
}

}  // namespace tl::faults

using tl::faults::Inject;

extern "C" {

ssize_t pwrite(int fd, const void* buf, size_t n, off_t offset) {
    if (int err = Inject(fd)) return errno = err, -1;
    return syscall(SYS_pwrite64, fd, buf, n, offset);
}
ssize_t pwrite64(int fd, const void* buf, size_t n, off_t offset) {
    return pwrite(fd, buf, n, offset);
}
int posix_fallocate(int fd, off_t offset, off_t length) {
    if (int err = Inject(fd)) return err;
    return syscall(SYS_fallocate, fd, 0, offset, length) == 0 ? 0 : errno;
}
int posix_fallocate64(int fd, off_t offset, off_t length) {
    return posix_fallocate(fd, offset, length);
}
int ftruncate(int fd, off_t length) {
    if (int err = Inject(fd)) return errno = err, -1;
    return static_cast<int>(syscall(SYS_ftruncate, fd, length));
}
int ftruncate64(int fd, off_t length) {
    return ftruncate(fd, length);
}
int fsync(int fd) {
    if (int err = Inject(fd)) return errno = err, -1;
    return static_cast<int>(syscall(SYS_fsync, fd));
}
int fdatasync(int fd) {
    if (int err = Inject(fd)) return errno = err, -1;
    return static_cast<int>(syscall(SYS_fdatasync, fd));
}
ssize_t copy_file_range(int in, loff_t* inOffset, int out, loff_t* outOffset, size_t n,
                        unsigned flags) {
    if (int err = Inject(out)) return errno = err, -1;
    return syscall(SYS_copy_file_range, in, inOffset, out, outOffset, n, flags);
}

}  // extern "C"
