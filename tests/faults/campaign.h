#pragma once

// The fault campaign's scene and operations: a small diary with the files
// every long operation needs, each operation run as the program runs it,
// and the checks that nothing saved before was lost.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "res/user_interface.h"

namespace tl::faults {

namespace fs = std::filesystem;

// Says yes to every question and keeps what it was told.
class AnsweringUi final : public res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;
    void warn(std::string_view text) override { warnings.emplace_back(text); }
    void inform(std::string_view text) override { informations.emplace_back(text); }
    bool askYesNo(std::string_view) override { return true; }
    res::Answer askYesNoCancel(std::string_view) override { return res::Answer::Yes; }
    void openProgress(std::string_view) override {}
    bool stepProgress(int) override { return true; }
    void closeProgress() override {}

    std::vector<std::string> warnings, informations;
};

// Where the campaign's folders go: a memory file system when there is one
// (syncs cost nothing there, so many more runs fit the time), else the
// system's temporary folder.
fs::path ScratchBase();

// Everything each date holds as the readers give it (header and texts by
// date; its sticky note, and each attachment with its bytes, as items of
// their own), plus the password.
using DiaryState = std::map<std::string, std::string>;
// nullopt when the file cannot be opened or is not sound.
std::optional<DiaryState> ReadState(const fs::path& data);
std::string Bytes(const fs::path& path);
// Every file under the folder, as paths relative to it.
std::set<std::string> FilesUnder(const fs::path& folder);

// The folders of one run, copied fresh from a template for every run.
class Scene {
public:
    explicit Scene(const fs::path& root);
    void reset();

    const fs::path& work() const { return m_work; }
    fs::path data() const { return m_work / "data" / "Mrlwbk31.dat"; }
    fs::path importFolder() const { return m_work / "import"; }
    fs::path mergeFolder() const { return m_work / "src"; }
    fs::path backupFolder() const { return m_work / "backup"; }
    fs::path backup() const { return backupFolder() / "Mrlwbk31.backup"; }
    fs::path copyFolder() const { return m_work / "copy"; }
    fs::path freshFolder() const { return m_work / "fresh"; }
    fs::path toAttach() const { return m_work / "in" / "photo.bin"; }
    // A data file of generation 2.3 to convert, and its name once kept.
    fs::path oldFolder() const { return m_work / "old"; }
    fs::path oldFile() const { return oldFolder() / "Mrlwbk23.dat"; }
    fs::path keptOldFile() const { return oldFolder() / "Mrlwbk23.backup"; }

private:
    fs::path m_template, m_work;
};

// What must hold after an interrupted run.
enum class Target {
    Dates,       // the data file: every date old or new
    WholeFile,   // the data file: all old or all new (it is replaced whole)
    Backup,      // the data file unchanged; the backup old or a whole copy
    Copy,        // the data file unchanged; the copy old or a whole copy
    Conversion,  // the data file all old or all new; while it is old, the
                 // old file is there as it was
};

struct Operation {
    const char* name;
    Target target;
    // Runs in this process as the program does; 1 done. failed receives
    // the items an import could not take.
    std::function<int(Scene&, res::UserInterface&, std::uint64_t& failed)> run;
};
const std::vector<Operation>& Operations();
// Test names for a parameter that indexes Operations().
struct OperationName {
    template <class Info>
    std::string operator()(const Info& info) const {
        return Operations()[info.param].name;
    }
};

// The files' states before and after one complete run.
struct Outcomes {
    DiaryState before, after;
    std::string dataBefore, dataAfter, backupBefore, copyBefore, oldBefore;
    std::set<std::string> filesBefore, filesAfter;
};
Outcomes Measure(Scene& scene, const Operation& op);

// Checks the scene after an interrupted run; an empty text when it holds,
// else what is wrong.
std::string CheckInterrupted(Scene& scene, const Operation& op, const Outcomes& o);

}  // namespace tl::faults
