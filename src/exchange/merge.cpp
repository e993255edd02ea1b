#include "merge.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <new>
#include <set>
#include <unordered_map>

#include "date_names.h"
#include "exchange_texts.h"
#include "folder_io.h"
#include "progress_scope.h"
#include "store/file_copy.h"
#include "store/record_images.h"
#include "store/record_layout.h"
#include "work_index.h"

namespace tl::exchange {

using store::Image;

namespace {

using store::Date;
using store::RecordRef;
namespace fs = std::filesystem;

Date DateOf(const RecordRef& rec) {
    return {rec.header.year(), rec.header.month(), rec.header.day()};
}

bool SamePath(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Whether a file can be created in the folder.
bool FolderWritable(const std::string& folder) {
    const std::string probe = JoinPath(folder, "$mltemp$");
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

class Merger {
public:
    Merger(store::CDiaryDataFile& source, store::CDiaryDataFile& work, res::UserInterface& ui,
           std::uint64_t total)
        : m_source(source), m_work(work), m_ui(ui), m_total(total) {}

    int run();

private:
    // Result of one walk: 1 go on, 0 failed, 2 cancelled.
    int walk(std::uint8_t kind);
    int mergeRecord(const RecordRef& rec);
    int write(const Image& image);

    store::CDiaryDataFile& m_source;
    store::CDiaryDataFile& m_work;
    res::UserInterface& m_ui;
    std::uint64_t m_total;
    std::uint64_t m_written = 0;
    std::set<int> m_mergedHeaders;
    std::unique_ptr<WorkIndex> m_index;
    std::unique_ptr<ProgressScope> m_progress;
};

int Merger::run() {
    m_index = std::make_unique<WorkIndex>(m_work);
    m_progress = std::make_unique<ProgressScope>(m_ui, res::Msg::DuringMerge);
    for (std::uint8_t kind : {store::kKindEntryHeader, store::kKindPlainText, store::kKindRichText,
                              store::kKindStickyNote, store::kKindAttachment}) {
        const int r = walk(kind);
        if (r == 2) m_progress->abort();
        if (r != 1) return r;
    }
    m_work.SyncWhileAlive();
    m_progress->close();
    return 1;
}

int Merger::walk(std::uint8_t kind) {
    store::RecordWalk walk(m_source, 0);
    RecordRef rec;
    while (walk.next(rec)) {
        if (rec.header.kind() != kind) continue;
        const Date d = DateOf(rec);
        if (!IsValidDate(d.year, d.month, d.day)) continue;
        if (int r = mergeRecord(rec); r != 1) return r;
        if (!m_progress->step(++m_written, m_total)) return 2;
    }
    return 1;
}

int Merger::mergeRecord(const RecordRef& rec) {
    const Date d = DateOf(rec);
    const std::uint8_t kind = rec.header.kind();
    Image image(static_cast<std::size_t>(rec.header.units()) * store::kUnitSize);
    if (m_source.ReadBytes(rec.unit, image.data(), image.size()) != image.size()) {
        m_ui.warn(res::Msg::DiaryDataIncorrect);
        return 0;
    }
    switch (kind) {
        case store::kKindEntryHeader:
            if (m_index->hasHeader(d)) m_index->freeEntry(d);
            m_mergedHeaders.insert(DateNumber(d));
            return write(TwoUnitHeader(image));
        case store::kKindPlainText:
        case store::kKindRichText:
            // A text belongs to the header merged with it. One without (an
            // untitled entry) replaces the own entry under an empty header,
            // so that it never sits beside the own entry's text.
            if (!m_mergedHeaders.count(DateNumber(d))) {
                if (m_index->hasHeader(d)) m_index->freeEntry(d);
                m_mergedHeaders.insert(DateNumber(d));
                if (int r = write(store::EntryHeaderImage(d, {}, {})); r != 1) return r;
            }
            return write(image);
        case store::kKindStickyNote:
            m_index->freeSticky(d);
            image.resize(store::kStickyUnits * store::kUnitSize, 0);
            store::PutU32(&image[store::kHdrUnits], store::kStickyUnits);
            return write(image);
        case store::kKindAttachment:
            m_index->freeAttachment(d, store::GetU32(&image[store::kAttOrder]));
            return write(image);
        default:
            return 1;
    }
}

int Merger::write(const Image& image) {
    return m_index->write(image);
}

int AskSourcePassword(store::CDiaryDataFile& source, store::CDiaryDataFile& work,
                      res::UserInterface& ui, const PasswordPrompt& askPassword) {
    const std::u16string password = source.GetPassword();
    if (password.empty() || password == work.GetPassword()) return 1;
    ui.inform(res::Msg::MergeSourcePassword);
    return AskPasswordUpToThreeTimes(password, ui, askPassword) == PasswordTries::Right;
}

void Reopen(store::CDiaryDataFile& own, bool readOnly) {
    if (own.Open(readOnly) == store::OpenResult::Opened) (void)own.Validate();
}

}  // namespace

bool PutWorkCopyInPlace(const std::string& workPath, const std::string& ownPath) {
    // The work copy takes the own file's permissions, then its place.
    struct stat st {};
    if (::stat(ownPath.c_str(), &st) == 0) (void)::chmod(workPath.c_str(), st.st_mode & 07777);
    if (::rename(workPath.c_str(), ownPath.c_str()) != 0) return false;
    SyncFolderOf(ownPath);
    return true;
}

PasswordTries AskPasswordUpToThreeTimes(const std::u16string& password, res::UserInterface& ui,
                                        const PasswordPrompt& askPassword) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::optional<std::u16string> typed = askPassword ? askPassword() : std::nullopt;
        if (!typed) return PasswordTries::Cancelled;
        if (*typed == password) return PasswordTries::Right;
        ui.warn(res::Msg::PasswordIncorrect);
    }
    return PasswordTries::WrongThreeTimes;
}

bool CopyToWorkCopy(store::CDiaryDataFile& own, const std::string& workPath,
                    res::UserInterface& ui) {
    try {
        // No progress window yet: the copy only keeps the program painting.
        const auto keepAlive = [&ui](std::uint64_t, std::uint64_t) {
            ui.keepAlive();
            return true;
        };
        return own.CopyTo(workPath, keepAlive) == store::CopyResult::Done;
    } catch (const store::FileError& e) {
        ui.warn(store::FailureText(e));
        return false;
    }
}

std::string WorkCopyPath(const std::string& dataPath) {
    const std::string base =
        dataPath.size() >= 4 ? dataPath.substr(0, dataPath.size() - 4) : dataPath;
    return base + ".mtemp";
}

int MergeData(const std::string& workPath, const std::string& ownPath, const std::string& folder,
              bool emptyAfter, res::UserInterface& ui, const PasswordPrompt& askPassword,
              const store::DataFileKey& key) {
    return MergeDataFile(workPath, ownPath, JoinPath(folder, kDataFileName), emptyAfter, ui,
                         askPassword, key);
}

int MergeDataFile(const std::string& workPath, const std::string& ownPath,
                  const std::string& sourcePath, bool emptyAfter, res::UserInterface& ui,
                  const PasswordPrompt& askPassword, const store::DataFileKey& key, bool confirm) {
    const std::string folder = fs::path(sourcePath).parent_path().string();
    if (SamePath(sourcePath, ownPath)) {
        ui.warn(res::Msg::MergeNotToItself);
        return 0;
    }
    if (!store::PosixFileSystem::instance().exists(sourcePath)) {
        ui.warn(res::Msg::MergeDataNotFound);
        return 0;
    }
    try {
        store::CDiaryDataFile source(store::PosixFileSystem::instance(), ui);
        source.SetPath(sourcePath);
        source.SetKey(key);
        if (source.Open(!emptyAfter) != store::OpenResult::Opened) {
            ui.warn(FormatText(res::Msg::FileReadFailedPath, {sourcePath}));
            return 0;
        }
        if (!source.Validate()) {
            ui.warn(res::Msg::DiaryDataIncorrect);
            return 0;
        }
        if (emptyAfter && (source.IsReadOnly() || !FolderWritable(folder))) {
            ui.warn(res::Msg::MergeDataWriteProtected);
            return 0;
        }
        store::KindCounts counts{};
        if (!source.CountByKind(counts)) return 0;
        std::uint64_t total = 0;
        for (int k = store::kKindEntryHeader; k <= store::kKindRichText; ++k) total += counts[k];
        if (total - counts[store::kKindRichText] == 0) {
            ui.warn(res::Msg::MergeDataEmpty);
            return 0;
        }
        if (confirm && !ui.askYesNo(MergeQuestion(counts[store::kKindPlainText],
                                                  counts[store::kKindAttachment])))
            return 2;

        store::CDiaryDataFile work(store::PosixFileSystem::instance(), ui);
        work.SetPath(workPath);
        work.SetKey(key);
        if (work.Open(false) != store::OpenResult::Opened || !work.Validate()) return 0;
        if (!AskSourcePassword(source, work, ui, askPassword)) return 0;
        Merger merger(source, work, ui, total);
        return merger.run();
    } catch (const store::FileError& e) {
        ui.warn(e.kind() == store::FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                           : res::Msg::WriteToDiskFailure);
        return 0;
    } catch (const std::bad_alloc&) {
        ui.warn(res::Msg::OutOfMemory);
        return 0;
    }
}

int RunMerge(store::CDiaryDataFile& own, const std::string& folder, bool emptyAfter,
             const PasswordPrompt& askPassword) {
    return RunMergeFile(own, JoinPath(folder, kDataFileName), emptyAfter, askPassword);
}

int RunMergeFile(store::CDiaryDataFile& own, const std::string& sourcePath, bool emptyAfter,
                 const PasswordPrompt& askPassword, bool confirm) {
    res::UserInterface& ui = own.ui();
    const std::string ownPath = own.Path();
    const std::string workPath = WorkCopyPath(ownPath);
    if (own.IsReadOnly()) {
        ui.warn(res::Msg::DataReadOnly);
        return 0;
    }
    // The own file stays open, and so locked, from here to the rename: a
    // change another program made meanwhile would be lost with the old file.
    auto fail = [&](int result) {
        std::error_code ec;
        fs::remove(workPath, ec);
        if (result == 0) ui.warn(res::Msg::MergeFailure);
        return result;
    };
    if (!CopyToWorkCopy(own, workPath, ui)) return fail(0);
    const int r = MergeDataFile(workPath, ownPath, sourcePath, emptyAfter, ui, askPassword,
                                store::DeriveDataFileKey(), confirm);
    if (r != 1) return fail(r);
    if (!PutWorkCopyInPlace(workPath, ownPath)) return fail(0);
    own.Close();
    Reopen(own, false);

    if (emptyAfter) {
        store::CDiaryDataFile source(store::PosixFileSystem::instance(), ui);
        source.SetPath(sourcePath);
        source.SetKey(store::DeriveDataFileKey());
        bool emptied = false;
        try {
            if (source.Open(false) == store::OpenResult::Opened && !source.IsReadOnly() &&
                source.Validate()) {
                source.FreeAllDiaryRecords();
                source.Sync();
                emptied = true;
            }
        } catch (const store::FileError&) {
        }
        if (!emptied) ui.warn(res::Msg::MergeSourceNotEmptied);
    }
    ui.inform(res::Msg::MergeComplete);
    return 1;
}

int CopyData(const std::string& dataPath, const std::string& folder, res::UserInterface& ui) {
    const std::string destination = JoinPath(folder, kDataFileName);
    if (store::PosixFileSystem::instance().exists(destination) &&
        !ui.askYesNo(res::Text(res::Msg::AskOverwriteData)))
        return 0;
    ProgressScope progress(ui, res::Msg::Copying);
    bool aborted = false;
    auto step = [&](std::uint64_t copied, std::uint64_t total) {
        if (progress.step(copied, total)) return true;
        if (!aborted) ui.inform(res::Msg::Aborted);
        aborted = true;
        return false;
    };
    try {
        const store::CopyResult r = store::ReplaceWithCopy(dataPath, destination, step);
        progress.close();
        if (r == store::CopyResult::Done) return 1;
        return aborted ? 2 : 0;
    } catch (const store::FileError& e) {
        progress.close();
        ui.warn(store::FailureText(e));
        return 0;
    }
}

int RunCopy(store::CDiaryDataFile& own, const std::string& folder) {
    res::UserInterface& ui = own.ui();
    const bool readOnly = own.IsReadOnly();
    own.Close();
    const int r = CopyData(own.Path(), folder, ui);
    // A cancel was told as "Aborted." and is no failure.
    if (r == 1) ui.inform(res::Msg::CopyCompleted);
    if (r == 0) ui.warn(res::Msg::CopyFailure);
    Reopen(own, readOnly);
    return r;
}

}  // namespace tl::exchange
