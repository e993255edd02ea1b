#pragma once

// Conversion of the data files of earlier versions (their layouts:
// src/store/FORMAT.md, "Older data files"). The newer generations are
// read here; the oldest go through an external converter program that
// writes them into a temporary file of generation 2.1, which is then read
// the same way.
//
// Invariants, whatever happens (a failure, a cancel, a kill):
//  1. the data file is either exactly as before or the whole converted
//     file: a work copy (".mtemp") receives the old content, is bulk
//     compressed and synced, and replaces the data file by one rename;
//  2. the old file keeps its name until that rename is done; only then is
//     it renamed to ".backup" so that it is not offered again;
//  3. the old file is never written.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "exchange/merge.h"
#include "res/user_interface.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"

namespace tl::app {

// The old names, searched in this order; the index is the generation.
inline constexpr std::array<const char*, 9> kOldDataFileNames = {
    "Mrlwarc.mdb",  "Mrlwtx11.mdb", "Mrlwtx14.mdb", "Mrlwbk17.dat", "Mrlwbk20.dat",
    "Mrlwbk21.dat", "Mrlwbk22.dat", "Mrlwbk23.dat", "Mrlwbk30.dat"};
// Indexes from here on are read in-process; those below need the converter.
inline constexpr int kFirstInProcessIndex = 4;
// The layout the converter writes (generation 2.1).
inline constexpr int kConverterLayoutIndex = 5;
inline constexpr const char* kConverterFileName = "MLConv";
inline constexpr const char* kConverterTempName = "conv21.tmp";

// The old file's path with its last four characters replaced by ".backup".
std::string KeptOldFilePath(const std::string& oldPath);
// Whether any of the old files lies in the folder.
bool HasOldDataFiles(const std::string& folder);

// Merges the old file (of layout index) into the data file at target: old
// content wins over the target's on the same date. With external, old is
// the converter's temporary file: no password is asked and the progress
// window opened by the caller is driven in its second half and closed.
// 1 done (target synced), 0 failed (told), 2 cancelled (told).
[[nodiscard]] int ConvertOldDataFile(int index, const std::string& target, const std::string& old,
                                     bool external, res::UserInterface& ui,
                                     const exchange::PasswordPrompt& askPassword,
                                     const store::DataFileKey& key = store::DeriveDataFileKey());

// Creates an empty data file of generation 2.1 at path (the converter's
// target). False when it cannot be written.
[[nodiscard]] bool CreateConverterTarget(
    const std::string& path, const store::DataFileKey& key = store::DeriveDataFileKey());

struct OldVersionContext {
    store::CDiaryDataFile* own = nullptr;  // open, writable
    exchange::PasswordPrompt askPassword;
    // The default data folder: the converter's temporary file and the
    // fresh file of the final bulk compression go there.
    std::string freshFolder;
    // The converter program; empty or missing: the oldest files cannot be
    // converted (told).
    std::string converterPath;
    // Suffix of the converter objects' names (tests); empty in use.
    std::string channelSuffix;
    // After each conversion that succeeded (the side bar reads the file).
    std::function<void()> converted;
};

// Offers each old file found in the folder, in the order of the names.
// 1 when at least one conversion succeeded.
int FindOldData(const std::string& folder, OldVersionContext& context);
// One old file by either route: 1 done, 0 failed, 2 cancelled.
int ConvertInProcess(int index, const std::string& oldPath, OldVersionContext& context);
int ConvertExternally(int index, const std::string& oldPath, OldVersionContext& context);
// Runs the converter on the old file and merges what it wrote into the
// work copy at workPath. 1, 0 (told) or 2 (told).
int RunExternalConverter(int index, const std::string& workPath, const std::string& oldPath,
                         OldVersionContext& context);

}  // namespace tl::app
