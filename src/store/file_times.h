#pragma once

// File attributes and times of attached files, mapped onto POSIX:
//  - read-only: the owner has no write permission;
//  - hidden: the name starts with ".";
//  - archive: set on every file read from disk;
//  - system: never;
//  - creation time: the birth time where the file system records one, else
//    the last-write time (it cannot be set back here).
// Times are seconds since 1970-01-01 00:00 UTC.

#include <cstdint>
#include <optional>
#include <string>

namespace tl::store {

inline constexpr std::uint8_t kAttrReadOnly = 0x01;
inline constexpr std::uint8_t kAttrHidden = 0x02;
inline constexpr std::uint8_t kAttrSystem = 0x04;
inline constexpr std::uint8_t kAttrArchive = 0x20;

struct FileTimes {
    std::int64_t creation = 0;
    std::int64_t write = 0;
    std::int64_t access = 0;
};

enum class FileType { Regular, Directory, Other };

struct FileStatus {
    FileType type = FileType::Other;
    std::uint64_t size = 0;
    FileTimes times;
    std::uint8_t attributes = 0;
};

// The status of the file at path (symbolic links followed); nullopt when it
// cannot be queried.
std::optional<FileStatus> QueryFileStatus(const std::string& path);
// The same for an open descriptor; name decides the hidden bit.
std::optional<FileStatus> QueryFileStatus(int fd, const std::string& name);

// Sets the last-write and last-access times. False when refused.
bool ApplyFileTimes(const std::string& path, const FileTimes& times);
// Applies the read-only bit (clears or restores the owner's write
// permission); the other bits have no POSIX counterpart to set. False when
// refused.
bool ApplyAttributes(const std::string& path, std::uint8_t attributes);

}  // namespace tl::store
