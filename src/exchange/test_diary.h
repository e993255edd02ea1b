#pragma once

// Test helpers: real data files in a temporary folder, since exchange
// works on folders of the file system.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/diary_data_file.h"
#include "support/recording_ui.h"

namespace tl::exchange::testing {

// A created, open and validated data file at path.
std::unique_ptr<store::CDiaryDataFile> NewDiary(const std::filesystem::path& path,
                                                res::UserInterface& ui);
// Opens an existing one.
std::unique_ptr<store::CDiaryDataFile> OpenDiary(const std::filesystem::path& path,
                                                 res::UserInterface& ui, bool readOnly = false);

// The date's plain text and header; empty when none.
std::u16string TextOf(store::CDiaryDataFile& file, store::Date date);
store::EntryHeader HeaderOf(store::CDiaryDataFile& file, store::Date date);

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

// Attaches a file with the given name and bytes (through a scratch file).
void Attach(store::CDiaryDataFile& file, store::Date date, const std::string& name,
            std::string_view bytes, const std::filesystem::path& scratch);

// Everything a diary holds that a round trip must keep, in a comparable
// form: per date the title, weather, text, and per attachment its bytes.
struct Snapshot {
    std::vector<std::string> entries;      // "key|title|weather|text" (UTF-8)
    std::vector<std::string> attachments;  // "key|bytes", sorted
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};
Snapshot Take(store::CDiaryDataFile& file);

}  // namespace tl::exchange::testing
