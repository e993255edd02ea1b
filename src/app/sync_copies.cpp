#include "sync_copies.h"

#include <fcntl.h>
#include <stdio.h>
#include <time.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <regex>

#include "exchange/folder_io.h"
#include "store/data_file_key.h"
#include "store/file_copy.h"

namespace tl::app {

namespace fs = std::filesystem;

namespace {

// "YYYYMMDD" and "HHMMSS" that name a real moment (a sync tool's own
// stamp); a name with 20231341 in it is somebody's file, not a copy.
bool RealStamp(const std::string& day, const std::string& time) {
    const int y = std::stoi(day.substr(0, 4)), m = std::stoi(day.substr(4, 2)),
              d = std::stoi(day.substr(6, 2));
    const int h = std::stoi(time.substr(0, 2)), mi = std::stoi(time.substr(2, 2)),
              s = std::stoi(time.substr(4, 2));
    const auto ymd = std::chrono::year_month_day{std::chrono::year{y},
                                                 std::chrono::month{static_cast<unsigned>(m)},
                                                 std::chrono::day{static_cast<unsigned>(d)}};
    return y >= 1970 && ymd.ok() && h < 24 && mi < 60 && s < 60;
}

std::string RegexEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c))) out += '\\';
        out += c;
    }
    return out;
}

// The pattern of each tool, as its own code builds the name: the group
// "day" is YYYYMMDD or YYYY, MM, DD in three groups; "time" HHMMSS.
struct Pattern {
    ConflictSource source;
    std::string body;  // between the stem and the extension
    bool splitDay;
    bool hasTime;
};

const std::vector<Pattern>& Patterns() {
    static const std::vector<Pattern> patterns = {
        // name.sync-conflict-20240105-134502-ABCDEF2.ext (short device id)
        {ConflictSource::Syncthing, R"(\.sync-conflict-(\d{8})-(\d{6})-[A-Z2-7]{7})", false, true},
        // name (conflicted copy [user ]2024-01-05 134502).ext
        {ConflictSource::Nextcloud,
         R"( \(conflicted copy (?:[^()/]+ )?(\d{4})-(\d{2})-(\d{2}) (\d{6})\))", true, true},
        // name (Host's conflicted copy 2024-01-05[ (1)]).ext
        {ConflictSource::Dropbox,
         R"( \([^()/]+'s conflicted copy (\d{4})-(\d{2})-(\d{2})(?: \(\d+\))?\))", true, false},
        // name_conflict-20240105-134502.ext (the older desktop clients)
        {ConflictSource::OwnCloud, R"(_conflict-(\d{8})-(\d{6}))", false, true},
        // name.kept-20240105-134502[-2].ext
        {ConflictSource::Kept, R"(\.kept-(\d{8})-(\d{6})(?:-\d+)?)", false, true},
    };
    return patterns;
}

std::string Stamp(std::chrono::system_clock::time_point now) {
    const time_t t = std::chrono::system_clock::to_time_t(now);
    struct tm local {};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// The first of base + ext, base + "-2" + ext, ... that names nothing.
std::string FreeName(const std::string& base, const std::string& ext) {
    std::error_code ec;
    std::string name = base + ext;
    for (int n = 2; fs::exists(name, ec) || fs::is_symlink(name, ec); ++n)
        name = base + "-" + std::to_string(n) + ext;
    return name;
}

bool SoundDataFile(const std::string& path) {
    store::CDiaryDataFile f(store::PosixFileSystem::instance(), res::Silent());
    f.SetPath(path);
    f.SetKey(store::DeriveDataFileKey());
    return f.Open(true) == store::OpenResult::Opened && f.Validate() == 1;
}

// Renames without replacing anything; false when the target exists or
// the rename fails.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        return false;
    exchange::SyncFolderOf(to);
    return true;
}

bool MoveAside(const std::string& copy, res::UserInterface& ui) {
    if (RenameNoReplace(copy, MergedCopyPath(copy))) return true;
    ui.warn(res::FormatText(res::Msg::ConflictCopyNotMoved, {copy}));
    return false;
}

void OpenAgain(store::CDiaryDataFile& own) {
    if (own.Open(false) == store::OpenResult::Opened) (void)own.Validate();
}

}  // namespace

std::optional<ConflictSource> ConflictCopyOf(std::string_view name, std::string_view dataName) {
    const std::size_t dot = dataName.rfind('.');
    const std::string_view stem = dataName.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? "" : dataName.substr(dot);
    const std::string text(name);
    for (const Pattern& p : Patterns()) {
        const std::regex re(RegexEscaped(stem) + p.body + RegexEscaped(ext));
        std::smatch m;
        if (!std::regex_match(text, m, re)) continue;
        const std::string day = p.splitDay ? m.str(1) + m.str(2) + m.str(3) : m.str(1);
        const std::string time = !p.hasTime   ? std::string("000000")
                                 : p.splitDay ? m.str(4)
                                              : m.str(2);
        if (RealStamp(day, time)) return p.source;
    }
    return std::nullopt;
}

std::vector<std::string> FindConflictCopies(const std::string& dataPath) {
    const fs::path data(dataPath);
    const std::string dataName = data.filename().string();
    std::vector<std::string> copies;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(data.parent_path(), ec)) {
        std::error_code fileEc;
        if (!e.is_regular_file(fileEc)) continue;
        if (ConflictCopyOf(e.path().filename().string(), dataName))
            copies.push_back(e.path().string());
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}

std::string KeptFilePath(const std::string& dataPath, std::chrono::system_clock::time_point now) {
    const fs::path data(dataPath);
    const std::string stem = (data.parent_path() / data.stem()).string();
    return FreeName(stem + ".kept-" + Stamp(now), data.extension().string());
}

std::string MergedCopyPath(const std::string& copyPath) {
    return FreeName(copyPath, ".merged");
}

ConflictMerges OfferConflictCopies(store::CDiaryDataFile& own,
                                   const exchange::PasswordPrompt& askPassword) {
    ConflictMerges result;
    if (!own.IsOpen() || own.IsReadOnly()) return result;
    res::UserInterface& ui = own.ui();
    for (const std::string& copy : FindConflictCopies(own.Path())) {
        if (!SoundDataFile(copy)) {
            ui.warn(res::FormatText(res::Msg::ConflictCopyDamaged, {copy}));
            ++result.damaged;
            continue;
        }
        if (!ui.askYesNo(
                res::FormatText(res::Msg::ConflictCopyFound, {copy, MergedCopyPath(copy)})))
            continue;
        if (exchange::RunMergeFile(own, copy, false, askPassword, false) == 1 &&
            MoveAside(copy, ui))
            ++result.merged;
        else
            ++result.failed;
    }
    return result;
}

void OfferConflictCopiesAtStart(store::CDiaryDataFile& own, AppDialogs& dialogs) {
    (void)OfferConflictCopies(own, [&dialogs]() -> std::optional<std::u16string> {
        const PasswordReply reply = dialogs.askPassword(false);
        if (reply.action != PasswordReply::Action::Ok) return std::nullopt;
        return reply.text;
    });
}

DetachedOutcome HandleDetachedDataFile(store::CDiaryDataFile& own,
                                       const exchange::PasswordPrompt& askPassword,
                                       std::chrono::system_clock::time_point now) {
    if (!own.IsOpen() || !own.IsDetached()) return DetachedOutcome::None;
    res::UserInterface& ui = own.ui();
    const std::string path = own.Path();
    const std::string kept = KeptFilePath(path, now);
    const std::string part = store::PartialName(kept);
    try {
        const auto keepAlive = [&ui](std::uint64_t, std::uint64_t) {
            ui.keepAlive();
            return true;
        };
        if (own.CopyTo(part, keepAlive) != store::CopyResult::Done || !RenameNoReplace(part, kept))
            throw store::FileError(store::FileErrorKind::Io, errno, "cannot keep '" + kept + "'");
    } catch (const store::FileError& e) {
        std::error_code ec;
        fs::remove(part, ec);
        ui.warn(res::FormatText(res::Msg::KeepReplacedFailed, {kept, store::FailureText(e)}));
        return DetachedOutcome::Failed;
    }
    // Kept whole: only now the old file may go.
    own.Close();
    if (own.Detached() == store::PathState::Gone && RenameNoReplace(kept, path)) {
        ui.inform(res::FormatText(res::Msg::DataFileGone, {path}));
        OpenAgain(own);
        return DetachedOutcome::Restored;
    }
    OpenAgain(own);
    if (own.IsOpen() && ui.askYesNo(res::FormatText(res::Msg::DataFileReplaced, {path, kept})) &&
        exchange::RunMergeFile(own, kept, false, askPassword, false) == 1) {
        (void)MoveAside(kept, ui);
        return DetachedOutcome::Merged;
    }
    ui.inform(res::FormatText(res::Msg::KeptFileStays, {kept}));
    return DetachedOutcome::Kept;
}

}  // namespace tl::app
