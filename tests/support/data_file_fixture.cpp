#include "data_file_fixture.h"

#include <stdexcept>

#include "store/data_file_key.h"

namespace tl::testing {

MemDataFile::MemDataFile(const std::string& p) : path(p) {
    file = std::make_unique<store::CDiaryDataFile>(fs, ui);
    file->SetPath(path);
    file->SetKey(store::DeriveDataFileKey());
    if (!file->Create() || file->Open(false) != store::OpenResult::Opened)
        throw std::runtime_error("cannot make the test data file");
}

store::OpenResult MemDataFile::reopen(bool readOnly) {
    file->Close();
    return file->Open(readOnly);
}

std::vector<std::uint8_t> RecordImage(std::uint8_t kind, int year, int month, int day,
                                      std::uint32_t units, std::uint8_t fill) {
    std::vector<std::uint8_t> image(units * store::kUnitSize, fill);
    store::RecordHeader h;
    h.setKind(kind);
    h.setDate(static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
              static_cast<std::uint8_t>(day));
    h.setUnits(units);
    std::copy(h.bytes.begin(), h.bytes.end(), image.begin());
    return image;
}

std::vector<std::pair<int, std::uint32_t>> Chain(store::CDiaryDataFile& file) {
    std::vector<std::pair<int, std::uint32_t>> out;
    store::RecordWalk walk(file, 0);
    store::RecordRef rec;
    while (walk.next(rec)) out.emplace_back(rec.header.kind(), rec.header.units());
    if (walk.damaged()) out.emplace_back(-1, 0);
    return out;
}

store::Date DateOf(store::CDiaryDataFile& file, std::uint64_t unit) {
    auto h = file.ReadRecordHeader(unit);
    return h ? store::Date{h->year(), h->month(), h->day()} : store::Date{};
}

}  // namespace tl::testing
