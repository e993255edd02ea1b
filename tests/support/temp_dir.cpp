#include "temp_dir.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace tl::testing {

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path()) {}

TempDir::TempDir(const std::filesystem::path& base) {
    std::string pattern = (base / "tallyleaf-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files inside must not stop the clean-up.
    for (auto& e : std::filesystem::recursive_directory_iterator(m_path, ec))
        std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

}  // namespace tl::testing
