#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "store/file.h"

namespace tl::testing {

// Wraps a file system so that the n-th write, resize or sync from the
// moment countdown is set fails with the given kind (set countdown to 0 to
// stop), and so that no file grows past a capacity (a full disk that stays
// full).
class FaultyFileSystem final : public store::FileSystemWrapper {
public:
    explicit FaultyFileSystem(store::FileSystem& fs) : FileSystemWrapper(fs) {}

    int countdown = 0;
    store::FileErrorKind kind = store::FileErrorKind::Io;
    std::uint64_t capacity = UINT64_MAX;  // bytes one file may reach
    // After the injected failure nothing more reaches any file, as when the
    // process is killed at that write: clean-ups fail too.
    bool killAtFault = false;
    // Whether a failure has been injected since countdown was last set.
    bool fired() const { return m_fired; }
    void arm(int n) {
        countdown = n;
        m_fired = false;
        m_dead = false;
    }

    // Called by the wrapped files before each write, resize or sync; end
    // is where a write or resize would leave the file (0 for a sync).
    void tick(std::uint64_t end);

protected:
    std::unique_ptr<store::File> wrap(std::unique_ptr<store::File> file) override;

private:
    bool m_fired = false;
    bool m_dead = false;
};

}  // namespace tl::testing
