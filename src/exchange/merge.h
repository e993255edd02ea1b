#pragma once

// Merge: every entry, text, rich text, sticky note and attachment of the
// data file in another folder copied into the own data file, replacing
// records of the same date (attachments: the same date and order). Copy:
// the own data file copied byte for byte into another folder.

#include <functional>
#include <optional>
#include <string>

#include "store/data_file_key.h"
#include "store/diary_data_file.h"

namespace tl::exchange {

// The data file's name in every folder.
inline constexpr const char* kDataFileName = "Mrlwbk31.dat";

// The user's answer to the password question of a protected source;
// nullopt when he cancels.
using PasswordPrompt = std::function<std::optional<std::u16string>()>;

// Asks for another file's password up to three times, telling each wrong
// one.
enum class PasswordTries { Right, Cancelled, WrongThreeTimes };
PasswordTries AskPasswordUpToThreeTimes(const std::u16string& password, res::UserInterface& ui,
                                        const PasswordPrompt& askPassword);

// The work copy of a merge: the data file's path with ".dat" replaced by
// ".mtemp".
std::string WorkCopyPath(const std::string& dataPath);

// Puts a synced work copy in the own file's place by one rename, with the
// own file's permissions; the folder is synced. False when the rename fails.
[[nodiscard]] bool PutWorkCopyInPlace(const std::string& workPath, const std::string& ownPath);

// Copies the open own file to the work copy while the program keeps
// painting; the own file stays open, and so held against other writers.
// False when the copy failed (a file error is told).
[[nodiscard]] bool CopyToWorkCopy(store::CDiaryDataFile& own, const std::string& workPath,
                                  res::UserInterface& ui);

// Merges the data file in folder into the work copy at workPath (already a
// copy of the own data file at ownPath) and syncs it. 1 merged, 0 failed
// (told, except a failed count), 2 declined or cancelled. With
// emptyAfter the source must be writable; it is emptied by RunMerge once
// the merge is in place, not here.
[[nodiscard]] int MergeData(const std::string& workPath, const std::string& ownPath,
                            const std::string& folder, bool emptyAfter, res::UserInterface& ui,
                            const PasswordPrompt& askPassword,
                            const store::DataFileKey& key = store::DeriveDataFileKey());

// The same for a data file of any name; without confirm the question with
// the counts is left to the caller, who asked already.
[[nodiscard]] int MergeDataFile(const std::string& workPath, const std::string& ownPath,
                                const std::string& sourcePath, bool emptyAfter,
                                res::UserInterface& ui, const PasswordPrompt& askPassword,
                                const store::DataFileKey& key = store::DeriveDataFileKey(),
                                bool confirm = true);

// The merge command. Invariants, whatever happens:
//  1. the own data file is either exactly as before or the whole merged
//     file: the work copy, synced, replaces it by one rename;
//  2. a failed or cancelled merge removes the work copy;
//  3. the source is emptied (when asked) only after step 1 succeeded;
//  4. own stays open, and so held against other writers, from the copy
//     to the rename; then it is opened on the merged file.
// Tells the result ("Merge is complete." / "Merge failure.").
[[nodiscard]] int RunMerge(store::CDiaryDataFile& own, const std::string& folder, bool emptyAfter,
                           const PasswordPrompt& askPassword);

// The merge command for a data file of any name (a conflicted copy that a
// sync tool left, a kept file).
[[nodiscard]] int RunMergeFile(store::CDiaryDataFile& own, const std::string& sourcePath,
                               bool emptyAfter, const PasswordPrompt& askPassword,
                               bool confirm = true);

// Copies the data file into folder as Mrlwbk31.dat, asking before it
// replaces one. A cancelled or failed copy leaves the destination as it
// was. 1 copied, 0 not, 2 cancelled by the user (told "Aborted.").
[[nodiscard]] int CopyData(const std::string& dataPath, const std::string& folder,
                           res::UserInterface& ui);

// The copy command: own closed for the copy and opened again; tells the
// result ("Copy failure" only when the user did not cancel).
[[nodiscard]] int RunCopy(store::CDiaryDataFile& own, const std::string& folder);

}  // namespace tl::exchange
