#include "mem_file_system.h"

#include <errno.h>

#include <algorithm>
#include <cstring>

namespace tl::store {

class MemFile final : public File {
public:
    MemFile(MemFileSystem& fs, std::shared_ptr<MemFileSystem::Node> node, std::string path,
            bool writable)
        : m_fs(fs), m_node(std::move(node)), m_path(std::move(path)), m_writable(writable) {
        m_node->locked = true;
    }
    ~MemFile() override { m_node->locked = false; }
    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;

    std::size_t readAt(std::uint64_t offset, void* buf, std::size_t n) override {
        const auto& b = m_node->bytes;
        if (offset >= b.size()) return 0;
        std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(n, b.size() - offset));
        std::memcpy(buf, b.data() + offset, got);
        return got;
    }

    void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override {
        if (!m_writable) ThrowFileError(EBADF, "cannot write", m_path);
        auto& b = m_node->bytes;
        if (offset + n > b.size()) reserve(offset + n);
        std::memcpy(b.data() + offset, buf, n);
    }

    std::uint64_t size() override { return m_node->bytes.size(); }

    void setSize(std::uint64_t newSize) override {
        if (!m_writable) ThrowFileError(EBADF, "cannot resize", m_path);
        if (newSize > m_node->bytes.size())
            reserve(newSize);
        else
            m_node->bytes.resize(static_cast<std::size_t>(newSize));
    }

    void sync() override {}

    PathState pathState() override {
        auto it = m_fs.m_files.find(m_path);
        if (it == m_fs.m_files.end()) return PathState::Gone;
        return it->second == m_node ? PathState::Same : PathState::Replaced;
    }

private:
    void reserve(std::uint64_t newSize) {
        std::uint64_t growth = newSize - m_node->bytes.size();
        if (m_fs.used() + growth > m_fs.m_capacity) ThrowFileError(ENOSPC, "cannot grow", m_path);
        m_node->bytes.resize(static_cast<std::size_t>(newSize));
    }

    MemFileSystem& m_fs;
    std::shared_ptr<MemFileSystem::Node> m_node;
    std::string m_path;
    bool m_writable;
};

std::unique_ptr<File> MemFileSystem::open(const std::string& path, OpenMode mode) {
    auto it = m_files.find(path);
    if (it == m_files.end()) ThrowFileError(ENOENT, "cannot open", path);
    if (it->second->locked) ThrowFileError(EWOULDBLOCK, "cannot lock", path);
    return std::make_unique<MemFile>(*this, it->second, path, mode == OpenMode::ReadWrite);
}

std::unique_ptr<File> MemFileSystem::create(const std::string& path) {
    auto& node = m_files[path];
    if (!node) node = std::make_shared<Node>();
    if (node->locked) ThrowFileError(EWOULDBLOCK, "cannot lock", path);
    node->bytes.clear();
    return std::make_unique<MemFile>(*this, node, path, true);
}

std::optional<bool> MemFileSystem::isReadOnly(const std::string& path) {
    auto it = m_files.find(path);
    if (it == m_files.end()) return std::nullopt;
    return it->second->readOnly;
}

bool MemFileSystem::exists(const std::string& path) {
    return m_files.count(path) != 0;
}

void MemFileSystem::remove(const std::string& path) {
    m_files.erase(path);
}

void MemFileSystem::rename(const std::string& from, const std::string& to) {
    auto it = m_files.find(from);
    if (it == m_files.end()) ThrowFileError(ENOENT, "cannot rename", from);
    std::shared_ptr<Node> node = it->second;
    m_files.erase(it);
    m_files[to] = std::move(node);
}

void MemFileSystem::setReadOnly(const std::string& path, bool readOnly) {
    auto& node = m_files[path];
    if (!node) node = std::make_shared<Node>();
    node->readOnly = readOnly;
}

std::vector<std::uint8_t>& MemFileSystem::bytes(const std::string& path) {
    auto& node = m_files[path];
    if (!node) node = std::make_shared<Node>();
    return node->bytes;
}

std::uint64_t MemFileSystem::used() const {
    std::uint64_t total = 0;
    for (const auto& [path, node] : m_files) total += node->bytes.size();
    return total;
}

}  // namespace tl::store
