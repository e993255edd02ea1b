#pragma once

// The backups a restore can start from: the latest one ("Mrlwbk31.backup",
// replaced at every start) and the dated generations beside it
// ("Mrlwbk31-2026-12-11.backup", at most one per day, the first of the day),
// and the name under which a restore keeps the file it replaces.

#include <ctime>
#include <string>
#include <vector>

namespace tl::app {

// Past this many the setting is taken as this many: a month of starts.
inline constexpr int kMaxBackupGenerations = 31;

struct BackupCopy {
    std::string path;
    std::time_t madeAt = 0;  // its last write: when the copy was made
    bool latest = false;     // the ".backup" file itself
};

// The dated generation of the local day of when, beside the backup path.
std::string GenerationPath(const std::string& backupPath, std::time_t when);
// The dated generations beside the backup path, oldest first.
std::vector<std::string> Generations(const std::string& backupPath);
// The latest backup and the generations that exist, newest first.
std::vector<BackupCopy> ListBackups(const std::string& backupPath);
// Removes the oldest generations until keep remain.
void PruneGenerations(const std::string& backupPath, int keep);

// "2026-12-11 15:47", local time.
std::string LocalDateTimeText(std::time_t when);
// "Backup found. Do you want to restore from backup?" naming when the
// backup was made.
std::string RestoreQuestion(std::time_t madeAt);
// Where a restore keeps the data file it replaces: beside it, named with the
// date and time ("Mrlwbk31-replaced-2026-12-11-154700.dat"), the first such
// name that is free.
std::string ReplacedName(const std::string& dataPath, std::time_t when);

}  // namespace tl::app
