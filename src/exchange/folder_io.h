#pragma once

// File access of export and import, confined to the chosen folder: names
// are single components, symbolic links are neither followed nor
// replaced by what they point to, and a file that cannot be written whole
// is removed again.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tl::exchange {

enum class WriteResult { Written, DiskFull, Failed };

// Creates or replaces the regular file at path with the bytes. An existing
// read-only file or symbolic link of that name is replaced, never written
// through. A failed write leaves no partial file.
[[nodiscard]] WriteResult WriteWholeFile(const std::string& path,
                                         std::span<const std::uint8_t> bytes);

// Makes sure path is a folder of its own (created when missing); false
// when it cannot be created or is a file or a symbolic link.
[[nodiscard]] bool EnsureSubfolder(const std::string& path);

// One entry of a folder listing.
struct FolderEntry {
    std::string name;
    bool isFolder = false;  // a real folder, not a link to one
    bool isFile = false;    // a regular file, not a link to one
};
// The folder's entries sorted by name, without "." and ".."; empty when
// the folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// Reads the regular file whole (not through a symbolic link). false when
// it cannot be opened or read in full.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// Owns a descriptor: closed on every path out.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return m_fd; }
    int release();
    // Closes now, so that a failing close is seen.
    int close() { return closeFd(release()); }

private:
    static int closeFd(int fd);
    int m_fd;
};

// Makes a rename or an unlink in the folder of path durable.
void SyncFolderOf(const std::string& path);

// The platform's separator between a folder and a name.
inline std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace tl::exchange
