#pragma once

// Export: the diary out of the data file into an ordinary folder. One text
// file per entry named by its date, a rich-text file beside it when asked,
// and the attached files in a subfolder per date with their stored times
// and attributes. The data file is only read.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/diary_data_file.h"

namespace tl::exchange {

// Also the encodings import reads; the values are those of the settings.
enum class Encoding : int { Ansi = 0, Unicode = 1, RichText = 2 };

// 1 completed, 0 failed (told), 2 aborted by the user (told). Entries and
// attachments whose key lies in [fromKey, toKey]. Nothing is written
// outside folder: names from the data file are made safe, symbolic links
// in the folder are replaced rather than written through.
[[nodiscard]] int ExportData(store::CDiaryDataFile& file, const std::string& folder,
                             bool exportTexts, bool exportAttachments, std::string_view fromKey,
                             std::string_view toKey, Encoding encoding);

// Writes one attachment: into the folder destination under its stored name
// (numbered when an earlier attachment of the date has the same name), or
// to the full path destination. The file gets the stored times and
// attributes, read-only added when asked. 1 written, 0 not (told).
[[nodiscard]] int ExportAttachment(store::CDiaryDataFile& file, store::Date date,
                                   std::uint32_t order, const std::string& destination,
                                   bool destinationIsFullPath, bool makeReadOnly);

// "%s(%d)%s": the stored name numbered by its rank among equal names.
std::u16string NumberedName(std::u16string_view name, std::uint32_t rank);

// The export command after its dialog: counts, asks, exports and tells the
// result. 1 done, 0 failed or nothing to export, 2 declined or aborted.
struct ExportRequest {
    std::string folder;
    bool texts = true;
    bool attachments = true;
    Encoding encoding = Encoding::Ansi;
    std::string fromKey = "00000000";
    std::string toKey = "99999999";
};
[[nodiscard]] int RunExport(store::CDiaryDataFile& file, const ExportRequest& request);

}  // namespace tl::exchange
