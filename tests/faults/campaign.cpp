#include "campaign.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "app/data_location.h"
#include "app/maintenance.h"
#include "app/old_version.h"
#include "exchange/import.h"
#include "exchange/merge.h"
#include "store/codepage.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/record_images.h"
#include "store/record_layout.h"
#include "support/old_data_files.h"

namespace tl::faults {

namespace {

using store::CDiaryDataFile;
using store::Date;

std::unique_ptr<CDiaryDataFile> OpenDiary(const fs::path& path, res::UserInterface& ui,
                                          bool readOnly = false) {
    auto f = std::make_unique<CDiaryDataFile>(store::PosixFileSystem::instance(), ui);
    f->SetPath(path.string());
    f->SetKey(store::DeriveDataFileKey());
    if (f->Open(readOnly) != store::OpenResult::Opened || !f->Validate()) return nullptr;
    return f;
}

std::unique_ptr<CDiaryDataFile> NewDiary(const fs::path& path) {
    fs::create_directories(path.parent_path());
    CDiaryDataFile maker;
    maker.SetPath(path.string());
    maker.SetKey(store::DeriveDataFileKey());
    if (!maker.Create()) throw std::runtime_error("cannot create " + path.string());
    auto f = OpenDiary(path, res::Silent());
    if (!f) throw std::runtime_error("cannot open " + path.string());
    return f;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Noise(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    return s;
}

std::vector<std::uint8_t> Vec(const std::string& s) {
    return {s.begin(), s.end()};
}

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("cannot build the scene: ") + what);
}

void Attach(CDiaryDataFile& f, Date d, const fs::path& scratch, const std::string& name,
            const std::string& bytes) {
    Write(scratch / name, bytes);
    Check(f.AttachFile((scratch / name).string(), d, f.MaxAttachmentOrder(d) + 1) == 1, "attach");
    fs::remove(scratch / name);
}

// The own diary: days saved as this program saves them, days laid out as
// older writers left them (other records between header, text and rich
// text), notes, attachments (one stored uncompressed though it is no
// archive, as converted old files hold them), a sticky note, free space.
void BuildOwn(const fs::path& path, const fs::path& scratch) {
    std::mt19937 rng(1);
    auto f = NewDiary(path);
    for (int day = 1; day <= 9; ++day) {
        const Date d{2024, 3, static_cast<std::uint8_t>(day)};
        const std::u16string text(static_cast<std::size_t>(150 + 97 * day), u'a' + day % 26);
        Check(f->SaveEditorEntry(d, {u"Day " + std::u16string(1, u'0' + day % 10), u"sun", {}},
                                 text, Vec("{\\rtf1 day " + std::to_string(day) + "}")) == 1,
              "save");
    }
    Check(f->SaveEntry({2024, 3, 0}, u"", u"", u"month of March") == 1, "month note");
    Check(f->SaveEntry({2024, 0, 0}, u"", u"", u"the year") == 1, "year note");
    for (int day = 1; day <= 3; ++day) {
        const Date d{2024, 4, static_cast<std::uint8_t>(day)};
        Check(f->WriteRecord(store::EntryHeaderImage(d, u"old layout", u"rain")) == 1, "header");
        Check(f->WriteRecord(*store::PlainTextImage(d, u"old text " + std::u16string(300, u'x'))) ==
                  1,
              "text");
        Check(f->WriteRecord(*store::RichTextImage(d, Vec("{\\rtf1 old}"))) == 1, "rich text");
    }
    Attach(*f, {2024, 3, 5}, scratch, "a.txt", "first attachment");
    Attach(*f, {2024, 3, 5}, scratch, "noise.bin", Noise(rng, 6000));
    Attach(*f, {2024, 3, 8}, scratch, "b.txt", std::string(4000, 'b'));
    {
        store::AttachmentSource s;
        s.date = {2024, 3, 9};
        s.order = 1;
        s.name = u"plain.zip";  // stored as it is...
        s.bytes = Vec(std::string(5000, 'p'));
        auto image = store::AttachmentImage(s);
        Check(image.has_value(), "attachment image");
        store::PutText(&(*image)[store::kAttName], store::kAttachmentNameMax, u"plain.dat");
        Check(f->WriteRecord(*image) == 1, "uncompressed attachment");  // ...named as no archive
    }
    store::StickyNote note;
    note.date = {2024, 3, 6};
    note.text = u"remember";
    Check(f->SaveStickyNote(note) == 1, "sticky note");
    Check(f->SaveEntry({2024, 2, 1}, u"", u"", std::u16string(2000, u'z')) == 1, "spare");
    Check(f->SaveEntry({2024, 2, 1}, u"", u"", u"") == 1, "free space");
    f->Sync();
}

// An import folder: days that replace saved ones (and the old-layout days,
// whose rich text the import drops), new days, attachments.
void BuildImport(const fs::path& folder) {
    std::mt19937 rng(2);
    for (int day = 1; day <= 6; ++day)
        Write(folder / ("2024-03-0" + std::to_string(day) + ".txt"),
              "TITLE:imported " + std::to_string(day) + "\r\nWEATHER:snow\r\n\r\n" +
                  std::string(static_cast<std::size_t>(100 + 50 * day), 'i'));
    Write(folder / "2024-04-01.txt", "replaces the old layout");
    Write(folder / "2024-04-02.txt", "");  // deletes
    for (int day = 10; day <= 13; ++day)
        Write(folder / ("2024-05-" + std::to_string(day) + ".txt"),
              "new day " + std::to_string(day));
    Write(folder / "2024-03-05" / "c.bin", Noise(rng, 5000));
    Write(folder / "2024-05-12" / "d.txt", std::string(3000, 'd'));
}

void BuildMergeSource(const fs::path& path, const fs::path& scratch) {
    auto f = NewDiary(path);
    for (int day : {3, 4})
        Check(f->SaveEntry({2024, 3, static_cast<std::uint8_t>(day)}, u"merged", u"",
                           u"from the other diary") == 1,
              "merge entry");
    for (int day = 1; day <= 2; ++day)
        Check(f->SaveEditorEntry({2024, 6, static_cast<std::uint8_t>(day)}, {u"june", u"", {}},
                                 std::u16string(400, u'j'), Vec("{\\rtf1 june}")) == 1,
              "merge day");
    Attach(*f, {2024, 3, 5}, scratch, "a.txt", "the other diary's first attachment");
    f->Sync();
}

void BuildOlder(const fs::path& path, const char* text) {
    auto f = NewDiary(path);
    Check(f->SaveEntry({2023, 12, 31}, u"older", u"", store::Utf8ToUtf16(text)) == 1, "older");
    f->Sync();
}

class NoDialogs final : public app::AppDialogs {
public:
    bool editDataFileSettings(app::DataFileSettingsForm&) override { return false; }
    app::PasswordReply askPassword(bool) override { return {}; }
};

std::unique_ptr<CDiaryDataFile> OpenOwn(Scene& s, res::UserInterface& ui) {
    auto f = OpenDiary(s.data(), ui);
    if (!f) throw std::runtime_error("the own diary cannot be opened");
    return f;
}

int WithLocation(Scene& s, res::UserInterface& ui, bool restore) {
    app::AppSettings settings;
    settings.backup.locationDefault = 0;
    settings.backup.location = s.backupFolder().string();
    CDiaryDataFile file(store::PosixFileSystem::instance(), ui);
    file.SetPath(s.data().string());
    file.SetKey(store::DeriveDataFileKey());
    NoDialogs dialogs;
    app::DataLocation location(settings, file, ui, dialogs, s.work().string());
    return (restore ? location.RestoreBackup() : location.AutomaticBackup()) ? 1 : 0;
}

std::string StateOf(CDiaryDataFile& f, Date d) {
    std::ostringstream out;
    store::EntryHeader h;
    if (f.ReadEntryHeader(d, &h))
        out << "H" << store::Utf16ToUtf8(h.title) << "|" << store::Utf16ToUtf8(h.weather) << "|"
            << h.colors.text << "," << h.colors.blink;
    std::u16string text;
    if (f.ReadEntryText(d, text)) out << "|T" << store::Utf16ToUtf8(text);
    std::vector<std::uint8_t> rtf;
    if (f.ReadEntryRichText(d, rtf)) out << "|R" << std::string(rtf.begin(), rtf.end());
    return out.str();
}

// A sticky note and each attachment are items of their own (an import adds
// a date's entry and its attachments one by one; a save replaces the note
// after the entry, and its window writes it back): keyed by date and kind.
void AddItems(CDiaryDataFile& f, Date d, DiaryState& state) {
    store::StickyNote note;
    if (f.FindStickyNote(d, &note))
        state[store::DateText(d) + " sticky note"] = store::Utf16ToUtf8(note.text);
    for (const store::AttachmentInfo& a : f.ListAttachments(d)) {
        std::vector<std::uint8_t> bytes;
        const int read = f.ReadAttachmentData(a.unit, bytes);
        state[store::DateText(d) + " attachment " + std::to_string(a.order)] =
            store::Utf16ToUtf8(a.name) + ":" + std::to_string(read) + ":" +
            std::string(bytes.begin(), bytes.end());
    }
}

}  // namespace

std::optional<DiaryState> ReadState(const fs::path& data) {
    res::SilentUserInterface quiet;
    auto f = OpenDiary(data, quiet, true);
    if (!f) return std::nullopt;
    DiaryState state;
    std::vector<Date> dates;
    store::RecordWalk walk(*f, 0);
    store::RecordRef rec;
    while (walk.next(rec)) {
        const std::uint8_t k = rec.header.kind();
        if (k >= store::kKindEntryHeader && k <= store::kKindRichText)
            dates.push_back({rec.header.year(), rec.header.month(), rec.header.day()});
    }
    for (const Date& d : dates) {
        state[store::DateText(d)] = StateOf(*f, d);
        AddItems(*f, d, state);
    }
    state["password"] = store::Utf16ToUtf8(f->GetPassword());
    return state;
}

fs::path ScratchBase() {
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return fs::temp_directory_path();
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> FilesUnder(const fs::path& folder) {
    std::set<std::string> files;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec))
        if (e.is_regular_file()) files.insert(fs::relative(e.path(), folder).string());
    return files;
}

Scene::Scene(const fs::path& root) : m_template(root / "template"), m_work(root / "work") {
    const fs::path scratch = root / "scratch";
    BuildOwn(m_template / "data" / "Mrlwbk31.dat", scratch);
    BuildImport(m_template / "import");
    BuildMergeSource(m_template / "src" / "Mrlwbk31.dat", scratch);
    BuildOlder(m_template / "backup" / "Mrlwbk31.backup", "the last backup");
    BuildOlder(m_template / "copy" / "Mrlwbk31.dat", "an older copy");
    fs::create_directories(m_template / "fresh");
    fs::create_directories(m_template / "old");
    tl::testing::WriteOldDataFile(7, tl::testing::SampleOldDiary(7),
                                  (m_template / "old" / "Mrlwbk23.dat").string());
    std::mt19937 rng(3);
    Write(m_template / "in" / "photo.bin", Noise(rng, 9000));
    fs::remove_all(scratch);
}

void Scene::reset() {
    fs::remove_all(m_work);
    fs::copy(m_template, m_work, fs::copy_options::recursive);
}

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> ops = {
        {"import", Target::Dates,
         [](Scene& s, res::UserInterface& ui, std::uint64_t& failed) {
             auto f = OpenOwn(s, ui);
             return exchange::RunImport(*f, s.importFolder().string(), exchange::Encoding::Ansi,
                                        &failed);
         }},
        {"merge", Target::WholeFile,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             return exchange::RunMerge(*f, s.mergeFolder().string(), false, {});
         }},
        {"convert_old", Target::Conversion,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             app::OldVersionContext context;
             context.own = f.get();
             context.freshFolder = s.freshFolder().string();
             return app::FindOldData(s.oldFolder().string(), context);
         }},
        {"optimise", Target::WholeFile,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             return app::RunOptimisation(*f, s.freshFolder().string());
         }},
        {"compress", Target::WholeFile,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             return app::CompressAllAttachments(*f, s.freshFolder().string());
         }},
        {"backup", Target::Backup,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             return WithLocation(s, ui, false);
         }},
        {"restore", Target::WholeFile,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             return WithLocation(s, ui, true);
         }},
        {"copy", Target::Copy,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             return exchange::RunCopy(*f, s.copyFolder().string());
         }},
        {"password", Target::Dates,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             return f->SetPassword(u"secret");
         }},
        {"attach", Target::Dates,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             const Date d{2024, 3, 7};
             return f->AttachFile(s.toAttach().string(), d, f->MaxAttachmentOrder(d) + 1);
         }},
        {"save", Target::Dates,
         [](Scene& s, res::UserInterface& ui, std::uint64_t&) {
             auto f = OpenOwn(s, ui);
             return f->SaveEditorEntry({2024, 4, 3}, {u"saved", u"", {}}, std::u16string(700, u's'),
                                       Vec("{\\rtf1 saved}"));
         }},
    };
    return ops;
}

Outcomes Measure(Scene& scene, const Operation& op) {
    Outcomes o;
    scene.reset();
    o.before = ReadState(scene.data()).value();
    o.dataBefore = Bytes(scene.data());
    o.backupBefore = Bytes(scene.backup());
    o.copyBefore = Bytes(scene.copyFolder() / "Mrlwbk31.dat");
    o.oldBefore = Bytes(scene.oldFile());
    o.filesBefore = FilesUnder(scene.work());
    AnsweringUi ui;
    std::uint64_t failed = 0;
    if (op.run(scene, ui, failed) != 1 || failed != 0)
        throw std::runtime_error(std::string(op.name) + " does not complete");
    o.after = ReadState(scene.data()).value();
    o.dataAfter = Bytes(scene.data());
    o.filesAfter = FilesUnder(scene.work());
    return o;
}

std::string CheckInterrupted(Scene& scene, const Operation& op, const Outcomes& o) {
    const std::string data = Bytes(scene.data());
    switch (op.target) {
        case Target::Backup:
            if (data != o.dataBefore) return "the data file changed";
            if (Bytes(scene.backup()) != o.backupBefore && Bytes(scene.backup()) != data)
                return "the backup is neither the last one nor a whole copy";
            return {};
        case Target::Copy: {
            const std::string copy = Bytes(scene.copyFolder() / "Mrlwbk31.dat");
            if (data != o.dataBefore) return "the data file changed";
            if (copy != o.copyBefore && copy != data)
                return "the copy is neither the older one nor a whole copy";
            return {};
        }
        default:
            break;
    }
    const std::optional<DiaryState> now = ReadState(scene.data());
    if (!now) return "the data file is not sound";
    if (op.target == Target::Conversion) {
        if (*now != o.before && *now != o.after) return "the data file is neither old nor new";
        const bool oldThere = fs::exists(scene.oldFile());
        if (oldThere && Bytes(scene.oldFile()) != o.oldBefore) return "the old file changed";
        if (*now == o.before && !oldThere) return "the old file went, its content did not come";
        if (!oldThere && Bytes(scene.keptOldFile()) != o.oldBefore)
            return "the old file is neither in its place nor kept whole";
    } else if (op.target == Target::WholeFile) {
        if (*now != o.before && *now != o.after) return "the data file is neither old nor new";
    } else {
        std::set<std::string> keys;
        for (const auto* s : {&o.before, &o.after, &*now})
            for (const auto& [key, value] : *s) keys.insert(key);
        auto at = [](const DiaryState& s, const std::string& key) {
            auto it = s.find(key);
            return it == s.end() ? std::string("(nothing)") : it->second;
        };
        for (const std::string& key : keys)
            if (at(*now, key) != at(o.before, key) && at(*now, key) != at(o.after, key))
                return key +
                       " is neither its old nor its new version: " + at(*now, key).substr(0, 80);
    }
    // The check at a writable open keeps what readers saw.
    {
        AnsweringUi quiet;
        auto f = OpenDiary(scene.data(), quiet);
        if (!f) return "the data file cannot be opened for writing";
    }
    if (ReadState(scene.data()) != now) return "the check at open changed what readers see";
    return {};
}

}  // namespace tl::faults
