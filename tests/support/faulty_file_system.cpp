#include "faulty_file_system.h"

#include <cerrno>

namespace tl::testing {

namespace {

class FaultyFile final : public store::FileWrapper {
public:
    FaultyFile(std::unique_ptr<store::File> f, FaultyFileSystem& fs)
        : FileWrapper(std::move(f)), m_fs(fs) {}
    void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override {
        m_fs.tick(offset + n);
        FileWrapper::writeAt(offset, buf, n);
    }
    void setSize(std::uint64_t size) override {
        m_fs.tick(size);
        FileWrapper::setSize(size);
    }
    void sync() override {
        m_fs.tick(0);
        FileWrapper::sync();
    }

private:
    FaultyFileSystem& m_fs;
};

}  // namespace

void FaultyFileSystem::tick(std::uint64_t end) {
    if (m_dead) throw store::FileError(store::FileErrorKind::Io, EIO, "killed");
    if (end > capacity) throw store::FileError(store::FileErrorKind::DiskFull, ENOSPC, "disk full");
    if (countdown > 0 && --countdown == 0) {
        m_fired = true;
        m_dead = killAtFault;
        throw store::FileError(kind, kind == store::FileErrorKind::DiskFull ? ENOSPC : EIO,
                               "injected");
    }
}

std::unique_ptr<store::File> FaultyFileSystem::wrap(std::unique_ptr<store::File> file) {
    return std::make_unique<FaultyFile>(std::move(file), *this);
}

}  // namespace tl::testing
