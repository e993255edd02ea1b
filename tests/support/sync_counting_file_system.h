#pragma once

#include <memory>

#include "store/file.h"

namespace tl::testing {

// Counts the syncs of the files it opens, so a test can see that a save
// reached the disk and how often.
class SyncCountingFileSystem final : public store::FileSystemWrapper {
public:
    explicit SyncCountingFileSystem(store::FileSystem& fs) : FileSystemWrapper(fs) {}
    int syncs = 0;

protected:
    std::unique_ptr<store::File> wrap(std::unique_ptr<store::File> file) override;
};

}  // namespace tl::testing
