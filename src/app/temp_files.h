#pragma once

// The copies of attachments written for other programs to open: where each
// copy goes, the list of them that the application keeps, and their
// removal when the program closes.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tl::app {

// A folder of this user's own named name inside parent: made when missing,
// mode 0700, owned by this user, never a link. What someone else made
// under the name (or a file, or a link) never blocks: "name-2" to
// "name-9" are tried in turn, so every process of this user settles on
// the same folder. Empty when none can be had.
std::string OwnFolder(const std::filesystem::path& parent, const std::string& name);

// The user's runtime folder for the single-instance lock and socket:
// $XDG_RUNTIME_DIR when it is a folder of this user's that nobody else may
// enter, else a folder of this user's own in the system's temporary
// folder ("tallyleaf-<uid>"). Empty when neither can be had.
std::string UserRuntimeFolder();

// Whether a process other than this one holds the file open. On Linux a
// file in use can still be deleted, so "in use" is asked of the process
// table (/proc/<pid>/fd) instead; processes of other users are not seen,
// and their copies are not theirs to open anyway.
bool IsFileOpenElsewhere(const std::string& path);

// Where a copy of the file named name (UTF-8, one file name) goes in
// folder: the name itself, else "stem(n).rest" for n from 2 to 99 with the
// name split at its first "."; the first path that is free (missing, or
// removed now because usable allowed it). nullopt for a name without "."
// (it has no program to open it) and when all are taken.
using PathTest = std::function<bool(const std::string& path)>;
std::optional<std::string> TempCopyPath(const std::string& folder, const std::string& name,
                                        const PathTest& inUse);
// The numbering of TempCopyPath for any name ("stem(n)" without a "."),
// up to last: the first path that free accepts.
std::optional<std::string> NumberedPath(const std::string& folder, const std::string& name,
                                        int last, const PathTest& free);

// Owned by the application; paths are added as copies are written.
class TempFileList {
public:
    void add(std::string path) { m_paths.push_back(std::move(path)); }
    const std::vector<std::string>& paths() const { return m_paths; }

    // The close step, from the last copy to the first: a copy still in use
    // is reported through askRetry (its file name without the folder; true
    // is Retry, false is Skip, which leaves it); every other one is made
    // writable and deleted. The list is empty afterwards.
    using AskRetry = std::function<bool(const std::string& fileName)>;
    void RemoveAll(const PathTest& inUse, const AskRetry& askRetry);

private:
    std::vector<std::string> m_paths;
};

}  // namespace tl::app
