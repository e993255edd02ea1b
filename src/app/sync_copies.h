#pragma once

// One diary kept in step on two machines by a sync tool: what to do when
// the tool replaced the open data file underneath, and the conflicted
// copies it leaves beside the data file when both sides changed.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_dialogs.h"
#include "exchange/merge.h"
#include "store/diary_data_file.h"

namespace tl::app {

// Who left a conflicted copy.
enum class ConflictSource { Syncthing, Nextcloud, Dropbox, OwnCloud, Kept };

// The tool whose conflicted-copy name this is for the data file named
// dataName ("Mrlwbk31.dat"); nullopt for every other name, look-alikes
// included. Kept: the program's own copy of a replaced file.
std::optional<ConflictSource> ConflictCopyOf(std::string_view name,
                                             std::string_view dataName = exchange::kDataFileName);
// The conflicted copies beside the data file, sorted by name.
std::vector<std::string> FindConflictCopies(const std::string& dataPath);

// Where a replaced file's content is kept: "Mrlwbk31.kept-YYYYMMDD-HHMMSS.dat"
// beside the data file (local time), numbered when taken.
std::string KeptFilePath(const std::string& dataPath, std::chrono::system_clock::time_point now);
// Where a merged copy is moved aside: its name + ".merged", numbered when
// taken. Such names are never offered again.
std::string MergedCopyPath(const std::string& copyPath);

// Offers each conflicted copy beside the open own file once: a damaged
// copy or one that is no data file is named and left alone; an accepted
// one is merged and moved aside. Nothing on a read-only own file.
struct ConflictMerges {
    int merged = 0;
    int failed = 0;   // accepted but not merged, or merged but not moved aside
    int damaged = 0;  // named and left alone
};
ConflictMerges OfferConflictCopies(store::CDiaryDataFile& own,
                                   const exchange::PasswordPrompt& askPassword);

// The start-up's step after the backup: the same, with the password
// prompt of the start-up's dialogs for a copy protected otherwise.
void OfferConflictCopiesAtStart(store::CDiaryDataFile& own, AppDialogs& dialogs);

enum class DetachedOutcome {
    None,      // the file was not detached
    Failed,    // its content could not be kept: the file stays open, detached
    Restored,  // deleted or moved away: its content is back under its name
    Kept,      // replaced: kept beside, the new file opened, no merge
    Merged,    // replaced: kept, merged into the new file, which is open
};
// What the program does once the open file is detached (see
// CDiaryDataFile::CheckPath), each step leaving whole files whenever it
// is interrupted:
//  1. the open file is copied (a partial name, synced, then renamed) to
//     KeptFilePath, and only then let go;
//  2. a deleted or moved file: the kept file is renamed back to the path
//     unless a new file came meanwhile;
//  3. replaced: the user is told and asked whether to merge the kept file
//     into the new one (the merge's own work copy and rename); the new
//     file is opened either way, and a merged kept file moved aside.
DetachedOutcome HandleDetachedDataFile(store::CDiaryDataFile& own,
                                       const exchange::PasswordPrompt& askPassword,
                                       std::chrono::system_clock::time_point now);

}  // namespace tl::app
