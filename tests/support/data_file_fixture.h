#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "recording_ui.h"
#include "store/diary_data_file.h"
#include "store/mem_file_system.h"

namespace tl::testing {

// A data file in memory with the program's key, created and opened.
class MemDataFile {
public:
    explicit MemDataFile(const std::string& path = "/mem/Mrlwbk31.dat");

    store::MemFileSystem fs;
    RecordingUi ui;
    std::unique_ptr<store::CDiaryDataFile> file;
    std::string path;

    // Closes and reopens (as after a restart) without validating.
    store::OpenResult reopen(bool readOnly = false);
    std::vector<std::uint8_t>& raw() { return fs.bytes(path); }
};

// A record image of the given kind, date and units, its payload bytes
// filled with a pattern so that stale contents can be told apart.
std::vector<std::uint8_t> RecordImage(std::uint8_t kind, int year, int month, int day,
                                      std::uint32_t units, std::uint8_t fill = 0x5a);

// The date of the record at unit; {0, 0, 0} when none can be read.
store::Date DateOf(store::CDiaryDataFile& file, std::uint64_t unit);

// The chain as (kind, units) pairs from unit 0, read through a walk.
std::vector<std::pair<int, std::uint32_t>> Chain(store::CDiaryDataFile& file);

}  // namespace tl::testing
