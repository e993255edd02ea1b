#include "old_version.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>
#include <set>

#include "app_settings.h"
#include "converter_channel.h"
#include "exchange/date_names.h"
#include "exchange/folder_io.h"
#include "exchange/work_index.h"
#include "maintenance.h"
#include "store/codepage.h"
#include "store/file_copy.h"
#include "store/record_header.h"
#include "store/record_images.h"
#include "store/record_layout.h"

extern char** environ;

namespace tl::app {

namespace {

namespace fs = std::filesystem;
using store::Date;
using store::Image;

constexpr std::size_t kUnit = store::kUnitSize;
// Older layouts (FORMAT.md, "Older data files").
constexpr std::size_t kOldColorIndex = 64;
constexpr std::size_t kOldWeatherBytes = 20;
constexpr std::size_t kOldOneUnitTitleBytes = 40;
constexpr std::size_t kOldTextBytes = 24;
constexpr std::size_t kOldText = 44;
constexpr std::size_t kOldStickyText = 24;
constexpr std::size_t kOldStickyTextBytes = 40;
constexpr std::size_t kOldStickyFaceBytes = 32;
constexpr std::size_t kStTransparency = 125;
constexpr std::size_t kOldAttName = 128;
constexpr std::size_t kOldAttNameBytes = 256;
constexpr std::size_t kOldAttData = 384;
// Every generation up to this one wrote 8-bit texts; the colour index
// lasted up to generation 2.1.
constexpr int kLastAnsiIndex = 7;
constexpr int kLastColorIndexIndex = 5;

// Code page 932 bytes of a field, up to the first zero.
std::u16string AnsiField(const std::uint8_t* field, std::size_t size) {
    const auto* end = std::find(field, field + size, std::uint8_t{0});
    return store::FromAnsi(
        {reinterpret_cast<const char*>(field), static_cast<std::size_t>(end - field)});
}

// The text cut to at most max code units, never inside a surrogate pair.
std::u16string_view Cut(std::u16string_view text, std::size_t max) {
    if (text.size() <= max) return text;
    if (max > 0 && text[max - 1] >= 0xD800 && text[max - 1] < 0xDC00) --max;
    return text.substr(0, max);
}

void PutAnsiAsText(std::uint8_t* to, std::size_t maxUnits, const std::uint8_t* from,
                   std::size_t bytes) {
    std::memset(to, 0, maxUnits * 2);
    store::PutText(to, maxUnits, Cut(AnsiField(from, bytes), maxUnits));
}

class Converter {
public:
    Converter(int index, store::CDiaryDataFile& old, store::CDiaryDataFile& target,
              res::UserInterface& ui, bool external, std::uint64_t total)
        : m_index(index),
          m_old(old),
          m_target(target),
          m_ui(ui),
          m_external(external),
          m_total(total) {}

    int run() {
        exchange::WorkIndex index(m_target);
        m_work = &index;
        for (std::uint8_t kind : {store::kKindEntryHeader, store::kKindPlainText,
                                  store::kKindStickyNote, store::kKindAttachment}) {
            const int r = walk(kind);
            if (r != 1) return r;
        }
        return 1;
    }

private:
    int walk(std::uint8_t kind);
    int convert(const store::RecordRef& rec, Image& image);
    std::optional<Image> header(const Image& old) const;
    std::optional<Image> text(Date date, const Image& old) const;
    Image sticky(const Image& old) const;
    std::optional<Image> attachment(const Image& old) const;
    int write(const Image& image);
    bool step();

    int m_index;
    store::CDiaryDataFile& m_old;
    store::CDiaryDataFile& m_target;
    res::UserInterface& m_ui;
    bool m_external;
    std::uint64_t m_total;
    std::uint64_t m_accumulator = 0;
    exchange::WorkIndex* m_work = nullptr;
    std::set<int> m_convertedHeaders;
};

bool Converter::step() {
    m_accumulator += 100;
    int percent = static_cast<int>(m_accumulator / std::max<std::uint64_t>(m_total, 1));
    if (m_external) percent = percent / 2 + 50;
    return m_ui.stepProgress(std::min(percent, 100));
}

int Converter::walk(std::uint8_t kind) {
    store::RecordWalk walk(m_old, 0);
    store::RecordRef rec;
    while (walk.next(rec, store::OfKind(kind))) {
        const Date d{rec.header.year(), rec.header.month(), rec.header.day()};
        if (exchange::IsValidDate(d.year, d.month, d.day)) {
            Image image(static_cast<std::size_t>(rec.header.units()) * kUnit);
            if (m_old.ReadBytes(rec.unit, image.data(), image.size()) != image.size()) {
                m_ui.warn(res::Msg::DiaryDataIncorrect);
                return 0;
            }
            if (const int r = convert(rec, image); r != 1) return r;
        }
        if (!step()) {
            m_ui.closeProgress();
            m_ui.inform(res::Msg::ProcessingAborted);
            return 2;
        }
    }
    if (walk.damaged()) {
        m_ui.warn(res::Msg::DiaryDataIncorrect);
        return 0;
    }
    return 1;
}

int Converter::convert(const store::RecordRef& rec, Image& image) {
    const Date d{rec.header.year(), rec.header.month(), rec.header.day()};
    switch (rec.header.kind()) {
        case store::kKindEntryHeader: {
            std::optional<Image> out = header(image);
            if (!out) return 0;
            // The old entry wins: the target's entry and note of the date go.
            if (m_work->hasHeader(d)) m_work->freeEntry(d);
            m_convertedHeaders.insert(exchange::DateNumber(d));
            return write(*out);
        }
        case store::kKindPlainText: {
            // A text without its converted header would sit beside the
            // target's own text as a second text of the date.
            if (!m_convertedHeaders.count(exchange::DateNumber(d))) {
                m_ui.warn(res::Msg::DiaryDataIncorrect);
                return 0;
            }
            std::optional<Image> out = text(d, image);
            if (!out) return 0;
            return write(*out);
        }
        case store::kKindStickyNote:
            m_work->freeSticky(d);
            return write(sticky(image));
        case store::kKindAttachment: {
            std::optional<Image> out = attachment(image);
            if (!out) return 0;
            m_work->freeAttachment(d, store::GetU32(&image[store::kAttOrder]));
            return write(*out);
        }
        default:
            return 1;
    }
}

std::optional<Image> Converter::header(const Image& old) const {
    if (m_index > kLastAnsiIndex) return exchange::TwoUnitHeader(old);
    Image out(store::kEhUnits * kUnit, 0);
    std::copy_n(old.begin(), kUnit, out.begin());
    store::PutU32(&out[store::kHdrUnits], store::kEhUnits);
    const bool oneUnit = old.size() < 2 * kUnit;
    PutAnsiAsText(&out[store::kEhTitle], store::kTitleMax,
                  &old[oneUnit ? store::kEhOneUnitTitle : kUnit],
                  oneUnit ? kOldOneUnitTitleBytes : kUnit);
    PutAnsiAsText(&out[store::kEhWeather], store::kWeatherMax, &old[store::kEhWeather],
                  kOldWeatherBytes);
    if (m_index <= kLastColorIndexIndex) {
        const std::uint8_t colorIndex = old[kOldColorIndex];
        store::PutU32(&out[store::kEhTextColor],
                      colorIndex < kStandardColors.size() ? kStandardColors[colorIndex] : 0xFFFFFF);
        store::PutU32(&out[store::kEhBackOn], 0);
        store::PutU32(&out[store::kEhBackColor], 0xFFFFFF);
        store::PutU32(&out[store::kEhBlink], 0);
    }
    return out;
}

std::optional<Image> Converter::text(Date date, const Image& old) const {
    // A length past the record is a damaged file, not a reason to read on.
    const std::uint64_t bytes = store::GetU32(&old[kOldTextBytes]);
    if (bytes > old.size() - kOldText) {
        m_ui.warn(res::Msg::DiaryDataIncorrect);
        return std::nullopt;
    }
    const auto* from = old.data() + kOldText;
    std::u16string text;
    if (m_index > kLastAnsiIndex) {
        text.resize(static_cast<std::size_t>(bytes / 2));
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(from[2 * i] | (from[2 * i + 1] << 8));
        while (!text.empty() && text.back() == u'\0') text.pop_back();
    } else {
        text = AnsiField(from, static_cast<std::size_t>(bytes));
    }
    std::optional<Image> out = store::PlainTextImage(date, text);
    if (!out) m_ui.warn(res::Msg::WriteToDiskFailure);
    return out;
}

Image Converter::sticky(const Image& old) const {
    Image out(store::kStickyBytes, 0);
    if (m_index > kLastAnsiIndex) {
        std::copy_n(old.begin(), std::min(old.size(), out.size()), out.begin());
    } else {
        std::copy_n(old.begin(), kUnit, out.begin());
        // The old text lay in the first unit; the new one has it in the third.
        std::fill(out.begin() + store::kRecordHeaderSize, out.begin() + store::kStFace, 0);
        PutAnsiAsText(&out[store::kStFace], store::kStickyFaceMax, &old[store::kStFace],
                      kOldStickyFaceBytes);
        PutAnsiAsText(&out[store::kStText], store::kStickyTextMax, &old[kOldStickyText],
                      kOldStickyTextBytes);
        if (m_index <= kLastColorIndexIndex) out[kStTransparency] = 0;
    }
    store::PutU32(&out[store::kHdrUnits], store::kStickyUnits);
    return out;
}

std::optional<Image> Converter::attachment(const Image& old) const {
    if (m_index > kLastAnsiIndex) return old;
    if (old.size() < kOldAttData) {
        m_ui.warn(res::Msg::DiaryDataIncorrect);
        return std::nullopt;
    }
    Image out(old.size() + 2 * kUnit, 0);
    std::copy_n(old.begin(), kUnit, out.begin());
    store::PutU32(&out[store::kHdrUnits], static_cast<std::uint32_t>(out.size() / kUnit));
    PutAnsiAsText(&out[store::kAttName], store::kAttachmentNameMax, &old[kOldAttName],
                  kOldAttNameBytes);
    std::copy(old.begin() + kOldAttData, old.end(), out.begin() + store::kAttData);
    return out;
}

int Converter::write(const Image& image) {
    return m_work->write(image);
}

// The old diary's password, asked up to three times. 1 typed right.
int AskOldPassword(const std::u16string& password, res::UserInterface& ui,
                   const exchange::PasswordPrompt& askPassword) {
    ui.inform(res::Msg::OldDataPassword);
    return exchange::AskPasswordUpToThreeTimes(password, ui, askPassword) ==
           exchange::PasswordTries::Right;
}

int Convert(int index, const std::string& target, const std::string& old, bool external,
            res::UserInterface& ui, const exchange::PasswordPrompt& askPassword,
            const store::DataFileKey& key) {
    if (!fs::exists(old)) {
        ui.warn(res::Msg::OldDataNotFound);
        return 0;
    }
    store::CDiaryDataFile source(store::PosixFileSystem::instance(), ui);
    source.SetPath(old);
    source.SetKey(key);
    // For reading only: the old file is never written.
    if (source.Open(true) != store::OpenResult::Opened) {
        ui.warn(res::FormatText(res::Msg::FileReadFailedPath, {old}));
        return 0;
    }
    if (!source.Validate()) {
        ui.warn(res::Msg::DiaryDataIncorrect);
        return 0;
    }
    const std::u16string password = source.GetPassword();
    store::CDiaryDataFile work(store::PosixFileSystem::instance(), ui);
    work.SetPath(target);
    work.SetKey(key);
    if (work.Open(false) != store::OpenResult::Opened || !work.Validate()) {
        ui.warn(res::Msg::DiaryDataIncorrect);
        return 0;
    }
    if (!password.empty() && !external && !AskOldPassword(password, ui, askPassword)) return 0;

    store::KindCounts counts{};
    if (!source.CountByKind(counts)) return 0;
    std::uint64_t total = 0;
    for (int k = store::kKindEntryHeader; k <= store::kKindAttachment; ++k) total += counts[k];
    if (!external) ui.openProgress(res::Text(res::Msg::DuringConversion));
    Converter converter(index, source, work, ui, external, total);
    const int r = converter.run();
    if (r == 2) return 2;
    ui.closeProgress();
    if (r != 1) return r;
    if (work.GetPassword().empty() && !password.empty() && !work.SetPassword(password)) return 0;
    work.SyncWhileAlive();
    return 1;
}

// Renames the old file so that it is not offered again, once the data
// file holds its content, and tells it: the in-process route with the
// completion and the kept name together, the converter's route with the
// kept name alone. The completion follows in both (ConvertVia).
void KeepOldFile(const std::string& oldPath, bool external, res::UserInterface& ui) {
    const std::string kept = KeptOldFilePath(oldPath);
    std::error_code ec;
    if (fs::exists(kept, ec)) fs::remove(kept, ec);
    const bool renamed = !fs::exists(kept, ec) && ::rename(oldPath.c_str(), kept.c_str()) == 0;
    if (renamed) exchange::SyncFolderOf(kept);
    if (external) {
        if (renamed) ui.inform(res::FormatText(res::Msg::OldDataSavedAs, {kept}));
    } else {
        ui.inform(renamed ? res::FormatText(res::Msg::ConversionCompleteSavedAs, {kept})
                          : std::string(res::Text(res::Msg::ConversionComplete)));
    }
}

// The common frame of both routes: a work copy of the data file receives
// the old content, is compressed, and takes the data file's place.
int ConvertVia(int index, const std::string& oldPath, OldVersionContext& context, bool external) {
    store::CDiaryDataFile& own = *context.own;
    res::UserInterface& ui = own.ui();
    if (!own.IsWritable()) {
        ui.warn(res::Msg::DataReadOnly);
        return 0;
    }
    const std::string ownPath = own.Path();
    const std::string workPath = exchange::WorkCopyPath(ownPath);
    auto fail = [&](int result) {
        std::error_code ec;
        fs::remove(workPath, ec);
        return result;
    };
    // The own file stays open, and so held against other writers, up to
    // the rename.
    if (!exchange::CopyToWorkCopy(own, workPath, ui)) return fail(0);
    int r = 0;
    try {
        r = external ? RunExternalConverter(index, workPath, oldPath, context)
                     : ConvertOldDataFile(index, workPath, oldPath, false, ui, context.askPassword);
    } catch (const store::FileError& e) {
        ui.closeProgress();
        ui.warn(store::FailureText(e));
        r = 0;
    }
    if (r != 1) return fail(r);
    // Compressed before it takes the data file's place: a failure here
    // leaves the data file as it was.
    const int c = CompressAllAttachments(workPath, context.freshFolder, ui);
    if (c == 0) ui.inform(res::Msg::CompressionFailed);
    if (c != 1) return fail(c);
    if (!exchange::PutWorkCopyInPlace(workPath, ownPath)) return fail(0);
    own.Close();
    if (own.Open(false) == store::OpenResult::Opened) (void)own.Validate();
    KeepOldFile(oldPath, external, ui);
    ui.inform(res::Msg::ConversionComplete);
    return 1;
}

}  // namespace

std::string KeptOldFilePath(const std::string& oldPath) {
    return (oldPath.size() >= 4 ? oldPath.substr(0, oldPath.size() - 4) : oldPath) + ".backup";
}

bool HasOldDataFiles(const std::string& folder) {
    std::error_code ec;
    return std::any_of(kOldDataFileNames.begin(), kOldDataFileNames.end(), [&](const char* name) {
        return fs::is_regular_file(exchange::JoinPath(folder, name), ec);
    });
}

int ConvertOldDataFile(int index, const std::string& target, const std::string& old, bool external,
                       res::UserInterface& ui, const exchange::PasswordPrompt& askPassword,
                       const store::DataFileKey& key) {
    try {
        return Convert(index, target, old, external, ui, askPassword, key);
    } catch (const store::FileError& e) {
        ui.closeProgress();
        ui.warn(e.kind() == store::FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                           : res::Msg::WriteToDiskFailure);
        return 0;
    } catch (const std::bad_alloc&) {
        ui.closeProgress();
        ui.warn(res::Msg::OutOfMemory);
        return 0;
    }
}

bool CreateConverterTarget(const std::string& path, const store::DataFileKey& key) {
    store::CDiaryDataFile file;
    file.SetPath(path);
    file.SetKey(key);
    return file.Create(2, 1) == 1;  // generation 2.1
}

int FindOldData(const std::string& folder, OldVersionContext& context) {
    res::UserInterface& ui = context.own->ui();
    int converted = 0;
    for (std::size_t i = 0; i < kOldDataFileNames.size(); ++i) {
        const std::string path = exchange::JoinPath(folder, kOldDataFileNames[i]);
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) continue;
        if (!ui.askYesNo(res::FormatText(res::Msg::AskConvertOldData, {kOldDataFileNames[i]})))
            continue;
        const int index = static_cast<int>(i);
        const int r = index >= kFirstInProcessIndex ? ConvertInProcess(index, path, context)
                                                    : ConvertExternally(index, path, context);
        if (r == 1) {
            converted = 1;
            if (context.converted) context.converted();
            continue;
        }
        // A cancel was told as such; it is no failure.
        if (r == 0) ui.warn(res::Msg::ConversionFailure);
        break;
    }
    return converted;
}

int ConvertInProcess(int index, const std::string& oldPath, OldVersionContext& context) {
    return ConvertVia(index, oldPath, context, false);
}

int ConvertExternally(int index, const std::string& oldPath, OldVersionContext& context) {
    return ConvertVia(index, oldPath, context, true);
}

namespace {

// The converter's process and the objects shared with it, for one run.
class ConverterRun {
public:
    ConverterRun(OldVersionContext& context, res::UserInterface& ui)
        : m_context(context), m_ui(ui) {}
    ~ConverterRun() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    bool start(const std::string& oldPath, const std::string& tempPath) {
        m_channel = ConverterChannel::Create(m_context.channelSuffix);
        if (!m_channel) return false;
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, kConvertNamesVariable, std::strlen(kConvertNamesVariable)) != 0)
                env.emplace_back(*e);
        if (!m_context.channelSuffix.empty())
            env.push_back(std::string(kConvertNamesVariable) + "=" + m_context.channelSuffix);
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = m_context.converterPath, a1 = oldPath, a2 = tempPath;
        char* argv[] = {program.data(), a1.data(), a2.data(), nullptr};
        return ::posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv, envp.data()) == 0;
    }

    // Answers the converter until it ends; its exit code, -1 when it died.
    int serve() {
        int status = 0;
        for (;;) {
            const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
            poll();
            if (done == m_pid) break;
            m_ui.keepAlive();
            // Polls without holding a processor for the whole conversion.
            ::usleep(2000);
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool cancelled() const { return m_cancelled; }

private:
    void poll() {
        if (m_channel->take(ConvertEvent::Progress)) {
            std::int32_t value = 0;
            if (m_channel->lock()) {
                value = m_channel->progress();
                m_channel->unlock();
            }
            if (!m_ui.stepProgress(std::clamp(value / 2, 0, 100)) && !m_cancelled) {
                m_cancelled = true;
                m_channel->signal(ConvertEvent::Cancel);
            }
        }
        if (m_channel->take(ConvertEvent::Message)) {
            std::string message;
            if (m_channel->lock()) {
                message = m_channel->message();
                m_channel->unlock();
            }
            m_ui.warn(store::Utf16ToUtf8(Cut(store::FromAnsi(message), 100)));
        }
        if (m_channel->take(ConvertEvent::Password)) {
            std::string stored;
            if (m_channel->lock()) {
                stored = m_channel->password();
                m_channel->unlock();
            }
            const std::u16string password(Cut(store::FromAnsi(stored), 100));
            const PasswordAnswer answer = askPassword(password);
            if (m_channel->lock()) {
                m_channel->setAnswer(static_cast<std::int32_t>(answer));
                m_channel->unlock();
            }
            m_channel->signal(ConvertEvent::PasswordAnswer);
        }
    }

    PasswordAnswer askPassword(const std::u16string& password) {
        m_ui.inform(res::Msg::OldDataPassword);
        switch (exchange::AskPasswordUpToThreeTimes(password, m_ui, m_context.askPassword)) {
            case exchange::PasswordTries::Right:
                return PasswordAnswer::Correct;
            case exchange::PasswordTries::Cancelled:
                return PasswordAnswer::Cancelled;
            case exchange::PasswordTries::WrongThreeTimes:
                break;
        }
        return PasswordAnswer::WrongThreeTimes;
    }

    OldVersionContext& m_context;
    res::UserInterface& m_ui;
    std::unique_ptr<ConverterChannel> m_channel;
    pid_t m_pid = -1;
    bool m_cancelled = false;
};

}  // namespace

int RunExternalConverter(int, const std::string& workPath, const std::string& oldPath,
                         OldVersionContext& context) {
    res::UserInterface& ui = context.own->ui();
    if (context.converterPath.empty() || ::access(context.converterPath.c_str(), X_OK) != 0) {
        ui.warn(res::Msg::ConverterNotFound);
        return 0;
    }
    const std::string tempPath = exchange::JoinPath(context.freshFolder, kConverterTempName);
    struct TempFile {
        std::string path;
        ~TempFile() {
            std::error_code ec;
            fs::remove(path, ec);
        }
    } temp{tempPath};
    if (!CreateConverterTarget(tempPath)) return 0;
    int exitCode = -1;
    bool cancelled = false;
    {
        ConverterRun run(context, ui);
        ui.openProgress(res::Text(res::Msg::DuringConversion));
        if (!run.start(oldPath, tempPath)) {
            ui.closeProgress();
            return 0;
        }
        exitCode = run.serve();
        cancelled = run.cancelled();
    }
    if (exitCode != 0) {
        ui.closeProgress();
        if (!cancelled) return 0;
        ui.inform(res::Msg::ProcessingAborted);
        return 2;
    }
    return ConvertOldDataFile(kConverterLayoutIndex, workPath, tempPath, true, ui,
                              context.askPassword);
}

}  // namespace tl::app
