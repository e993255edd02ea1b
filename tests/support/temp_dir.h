#pragma once

#include <filesystem>

namespace tl::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away.
class TempDir {
public:
    TempDir();
    // Under base instead of the system's temporary folder.
    explicit TempDir(const std::filesystem::path& base);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

}  // namespace tl::testing
