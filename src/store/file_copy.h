#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tl::store {

// The copy's steps: bytes copied so far of the total. Answers false to
// cancel the copy.
using CopyProgress = std::function<bool(std::uint64_t copied, std::uint64_t total)>;

// One progress step per chunk: often enough for a smooth bar, rare enough
// that the progress sink costs nothing next to the disk.
inline constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

enum class CopyResult { Done, Cancelled };

// Copies the file from to to, replacing to, in chunks (copy_file_range
// where the file systems allow it, else read and write), and syncs to
// before it returns Done. The source is locked shared, so a file that a
// writer holds is refused as in use.
// A cancelled or failed copy removes its target. Failures throw FileError.
[[nodiscard]] CopyResult CopyFile(const std::string& from, const std::string& to,
                                  const CopyProgress& progress, std::size_t chunk = kCopyChunk);

class File;
// The same from a file the caller holds open (and so keeps locked), read
// through the file's own reads; fromName names it in errors.
[[nodiscard]] CopyResult CopyOpenFile(File& from, const std::string& fromName,
                                      const std::string& to, const CopyProgress& progress,
                                      std::size_t chunk = kCopyChunk);

// Replaces to with a copy of from without ever leaving to half written:
//   1. copy into the sibling to + ".part" and sync it;
//   2. rename it over to, then sync the folder.
// Until step 2, to is as it was; a cancelled or failed copy leaves to
// untouched and removes the partial file. Failures throw FileError.
[[nodiscard]] CopyResult ReplaceWithCopy(const std::string& from, const std::string& to,
                                         const CopyProgress& progress,
                                         std::size_t chunk = kCopyChunk);

// The name ReplaceWithCopy writes into before the rename.
std::string PartialName(const std::string& to);

// Makes to a second name of from's present contents that survives a power
// cut: a hard link where the file system has them, else a synced copy;
// then the folder is synced. Never replaces an existing to (EEXIST is
// thrown). Failures throw FileError.
void KeepUnderName(const std::string& from, const std::string& to);

// Writes the bytes to to as one step: into the partial name, synced,
// renamed over to, folder synced. Until the rename to is as it was.
void WriteWhole(const std::string& to, const std::uint8_t* bytes, std::size_t size);

// Syncs the folder that holds path, so that a rename or a new name in it
// reaches the disk.
void SyncFolderOf(const std::string& path);

}  // namespace tl::store
