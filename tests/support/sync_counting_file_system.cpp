#include "sync_counting_file_system.h"

namespace tl::testing {

namespace {

class Counted final : public store::FileWrapper {
public:
    Counted(std::unique_ptr<store::File> f, int& syncs)
        : FileWrapper(std::move(f)), m_syncs(syncs) {}
    void sync() override {
        ++m_syncs;
        FileWrapper::sync();
    }

private:
    int& m_syncs;
};

}  // namespace

std::unique_ptr<store::File> SyncCountingFileSystem::wrap(std::unique_ptr<store::File> file) {
    return std::make_unique<Counted>(std::move(file), syncs);
}

}  // namespace tl::testing
