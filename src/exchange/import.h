#pragma once

// Import: a folder laid out as export writes it becomes diary entries and
// attachments. Every "*.txt" whose name is a date replaces that date's
// entry; every file in a subfolder whose name is a date is attached to the
// date unless it already has an attachment of that name. Only regular
// files and folders directly in the chosen folder are read, never what a
// symbolic link points to.

#include <cstdint>
#include <string>

#include "export.h"
#include "store/diary_data_file.h"

namespace tl::exchange {

// The "*.txt" files of the folder whose names are valid dates.
std::uint64_t CountImportTexts(const std::string& folder);
// The files inside the folder's subfolders whose names are valid dates;
// ui is kept alive while the subfolders are listed.
std::uint64_t CountImportAttachments(const std::string& folder,
                                     res::UserInterface& ui = res::Silent());

// 1 completed, 0 failed (told), 2 aborted by the user (told). Entries are
// compressed on worker threads and written in folder order, in batches
// that each reach the data file as one change (CDiaryDataFile::
// ApplyChanges: every date whole or not at all, a few syncs per batch);
// after a cancel or a failure what was imported until then stays.
// Items that could not be imported (a file that could not be read, an
// attachment refused, a record that could not be written) do not stop it;
// their number goes to *failed.
[[nodiscard]] int ImportData(store::CDiaryDataFile& file, const std::string& folder,
                             Encoding encoding, std::uint64_t* failed = nullptr);

// The import command after its dialog: counts, asks, imports and tells
// the result. 1 done, 0 failed or nothing to import, 2 declined or aborted.
[[nodiscard]] int RunImport(store::CDiaryDataFile& file, const std::string& folder,
                            Encoding encoding, std::uint64_t* failed = nullptr);

}  // namespace tl::exchange
