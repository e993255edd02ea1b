#pragma once

// Data files of earlier generations, written from the layouts of
// src/store/FORMAT.md ("Older data files"), and what a converted diary
// must hold afterwards.

#include <cstdint>
#include <string>
#include <vector>

#include "store/data_file_key.h"
#include "store/records.h"

namespace tl::testing {

struct OldEntry {
    store::Date date;
    std::u16string title, weather, text;
    std::uint8_t colorIndex = 0;  // generations up to index 5
    store::TitleColors colors;    // later ones
};

struct OldAttachment {
    store::Date date;
    std::uint32_t order = 0;
    std::u16string name;
    std::vector<std::uint8_t> bytes;
    std::int64_t writeTime = 0;
};

struct OldDiary {
    std::vector<OldEntry> entries;
    std::vector<store::StickyNote> notes;
    std::vector<OldAttachment> attachments;
    std::u16string password;
};

// Days, a month note and a year note, sticky notes, attachments (one of
// them compressible, one an archive), texts in code page 932 (Japanese and
// half-width kana included), a title longer than the new field; seed varies
// the dates and bytes.
OldDiary SampleOldDiary(unsigned seed, std::u16string password = {});

// Writes the diary as the generation of the index (4 to 8) wrote it.
void WriteOldDataFile(int index, const OldDiary& diary, const std::string& path,
                      const store::DataFileKey& key = store::DeriveDataFileKey());

// What the diary reads as after conversion from the generation: texts cut
// to the new fields, colour indexes looked up in the standard colours.
OldDiary ConvertedDiary(int index, const OldDiary& diary);

}  // namespace tl::testing
