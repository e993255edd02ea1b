#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file.h"

namespace tl::store {

// Files in memory, for tests: the same locking rule as real files, an
// optional capacity to play a full disk, and direct access to the bytes.
class MemFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override;
    std::unique_ptr<File> create(const std::string& path) override;
    std::optional<bool> isReadOnly(const std::string& path) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;

    // Total bytes all files may hold; growing past it fails as a full disk.
    void setCapacity(std::uint64_t bytes) { m_capacity = bytes; }
    void setReadOnly(const std::string& path, bool readOnly);
    // Moves a file to another name, replacing what was there, as rename(2)
    // does: files open under either name keep their contents.
    void rename(const std::string& from, const std::string& to);
    // The stored bytes of a file (created empty when missing).
    std::vector<std::uint8_t>& bytes(const std::string& path);

    struct Node {
        std::vector<std::uint8_t> bytes;
        bool locked = false;
        bool readOnly = false;
    };

private:
    friend class MemFile;
    std::uint64_t used() const;
    std::map<std::string, std::shared_ptr<Node>> m_files;
    std::uint64_t m_capacity = UINT64_MAX;
};

}  // namespace tl::store
