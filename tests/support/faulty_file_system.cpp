#include "faulty_file_system.h"

namespace tl::testing {

namespace {

class FaultyFile final : public store::FileWrapper {
public:
    FaultyFile(std::unique_ptr<store::File> f, FaultyFileSystem& fs)
        : FileWrapper(std::move(f)), m_fs(fs) {}
    void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override {
        m_fs.tick();
        FileWrapper::writeAt(offset, buf, n);
    }
    void setSize(std::uint64_t size) override {
        m_fs.tick();
        FileWrapper::setSize(size);
    }

private:
    FaultyFileSystem& m_fs;
};

}  // namespace

void FaultyFileSystem::tick() {
    if (countdown > 0 && --countdown == 0) {
        m_fired = true;
        throw store::FileError(kind, kind == store::FileErrorKind::DiskFull ? 28 : 5, "injected");
    }
}

std::unique_ptr<store::File> FaultyFileSystem::open(const std::string& path, store::OpenMode mode) {
    return std::make_unique<FaultyFile>(m_fs.open(path, mode), *this);
}

std::unique_ptr<store::File> FaultyFileSystem::create(const std::string& path) {
    return std::make_unique<FaultyFile>(m_fs.create(path), *this);
}

}  // namespace tl::testing
