#pragma once

// Whole-file maintenance: optimisation (the live records copied into a
// fresh file, free ones left behind) and bulk compression (the same, with
// every uncompressed attachment that is not an archive compressed on the
// way).
//
// Invariants of both passes:
//  1. the data file at the source path is not written: the fresh file
//     "mrlwbk.tmp" in the fresh folder receives everything;
//  2. the fresh file is synced before it takes the data file's place by
//     one rename (a copy beside the data file, then a rename, when the
//     folders lie on different file systems);
//  3. on failure or cancel the data file is as it was and no fresh file
//     remains.
// A damaged chain is refused: a pass over it would drop what lies beyond
// the damage.

#include <string>

#include "res/user_interface.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"

namespace tl::app {

inline constexpr const char* kFreshFileName = "mrlwbk.tmp";

// 1 done, 0 failed (told), 2 cancelled (told).
[[nodiscard]] int OptimiseDataFile(const std::string& sourcePath, const std::string& freshFolder,
                                   res::UserInterface& ui,
                                   const store::DataFileKey& key = store::DeriveDataFileKey());
[[nodiscard]] int CompressAllAttachments(
    const std::string& sourcePath, const std::string& freshFolder, res::UserInterface& ui,
    const store::DataFileKey& key = store::DeriveDataFileKey());

// Bulk compression of an open data file, which stays open (held against
// other writers) through the pass and is opened again afterwards.
[[nodiscard]] int CompressAllAttachments(store::CDiaryDataFile& file,
                                         const std::string& freshFolder);
// Optimisation of an open data file the same way, without a question or a
// completion message (the attachment manager's compaction at its close).
[[nodiscard]] int OptimiseDataFile(store::CDiaryDataFile& file, const std::string& freshFolder);

// The optimisation command: asks, optimises the open data file, opens it
// again and tells the result. 1 done, 0 failed, 2 declined or cancelled.
[[nodiscard]] int RunOptimisation(store::CDiaryDataFile& file, const std::string& freshFolder);
// The bulk compression command, the same way with CompressAllAttachments.
[[nodiscard]] int RunBulkCompression(store::CDiaryDataFile& file, const std::string& freshFolder);

}  // namespace tl::app
