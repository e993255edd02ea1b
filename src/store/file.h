#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace tl::store {

// What went wrong in the file layer. Disk full and "in use" are kept apart
// from other I/O errors because the user is told different things.
// Replaced: the path no longer names the open file (another program renamed
// a new file over it, moved it or deleted it); nothing more is written.
enum class FileErrorKind { DiskFull, InUse, NotFound, AccessDenied, Io, Replaced };

// The one exception type of the file layer; errno is mapped in one place.
class FileError : public std::runtime_error {
public:
    FileError(FileErrorKind kind, int err, const std::string& what);
    FileErrorKind kind() const { return m_kind; }
    int error() const { return m_errno; }

private:
    FileErrorKind m_kind;
    int m_errno;
};

FileErrorKind KindFromErrno(int err);
[[noreturn]] void ThrowFileError(int err, const std::string& operation, const std::string& path);
// A short reason for a person: "in use", "disk full", "not found", ...
const char* Describe(FileErrorKind kind);
// What the user is told of a failed copy, backup or restore: the program's
// words for a full disk and a file in use, the system's text otherwise.
std::string FailureText(const FileError& e);

// Whether the path a file was opened by still names that file.
enum class PathState { Same, Replaced, Gone };

// An open file of the engine. Reads and writes are positional; every error
// is thrown as FileError.
class File {
public:
    virtual ~File() = default;
    // Reads up to n bytes at offset; fewer only at the end of the file.
    virtual std::size_t readAt(std::uint64_t offset, void* buf, std::size_t n) = 0;
    // Writes all n bytes or throws.
    virtual void writeAt(std::uint64_t offset, const void* buf, std::size_t n) = 0;
    virtual std::uint64_t size() = 0;
    // Sets the length. Growing reserves the space, so a full disk is told
    // here and not by a later write.
    virtual void setSize(std::uint64_t size) = 0;
    // Data reaches the disk before this returns.
    virtual void sync() = 0;
    // Compares the open file with what its path names now. Files without
    // a path of their own are always the same.
    virtual PathState pathState() { return PathState::Same; }
};

// Forwards every call to another file, so a test's faulty file overrides
// just the call it breaks.
class FileWrapper : public File {
public:
    explicit FileWrapper(std::unique_ptr<File> target) : m_target(std::move(target)) {}
    std::size_t readAt(std::uint64_t offset, void* buf, std::size_t n) override;
    void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override;
    std::uint64_t size() override;
    void setSize(std::uint64_t size) override;
    void sync() override;
    PathState pathState() override;

protected:
    File& target() { return *m_target; }

private:
    std::unique_ptr<File> m_target;
};

enum class OpenMode { ReadOnly, ReadWrite };

// How the engine reaches files by path. Every open holds the file
// exclusively: a second opener, in this process or another, gets InUse.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens an existing file.
    virtual std::unique_ptr<File> open(const std::string& path, OpenMode mode) = 0;
    // Opens the file for writing, creating it when missing, and empties it.
    // An existing file held by someone else is left untouched (InUse).
    virtual std::unique_ptr<File> create(const std::string& path) = 0;
    // Whether the file's read-only attribute is set; nullopt when the file
    // cannot be queried.
    virtual std::optional<bool> isReadOnly(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Removes the file; a missing one is no error.
    virtual void remove(const std::string& path) = 0;
};

// Forwards every call to another file system, so a test's file system
// wraps the files it opens by overriding wrap() alone.
class FileSystemWrapper : public FileSystem {
public:
    explicit FileSystemWrapper(FileSystem& target) : m_target(target) {}
    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override;
    std::unique_ptr<File> create(const std::string& path) override;
    std::optional<bool> isReadOnly(const std::string& path) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;

protected:
    virtual std::unique_ptr<File> wrap(std::unique_ptr<File> file) { return file; }

private:
    FileSystem& m_target;
};

// Real files: open + flock(LOCK_EX | LOCK_NB), pread/pwrite, fallocate,
// fdatasync. Read-only means the owner has no write permission.
class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override;
    std::unique_ptr<File> create(const std::string& path) override;
    std::optional<bool> isReadOnly(const std::string& path) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;

    static PosixFileSystem& instance();
};

}  // namespace tl::store
