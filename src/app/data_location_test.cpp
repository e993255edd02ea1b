#include "data_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "backup_generations.h"
#include "scripted_dialogs.h"
#include "startup.h"
#include "store/blowfish.h"
#include "store/data_file_key.h"
#include "store/format.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

namespace fs = std::filesystem;
using res::Answer;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FixedClock final : public Clock {
public:
    LocalTime now() const override { return {std::chrono::year{2024} / 3 / 1, 12}; }
};

// A start-up over real files in a temporary folder, its user and dialogs
// answering from scripts.
class DataLocationTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string share = (dir / "share").string();
    std::string folder = share + "/Tally Leaf/";
    std::string data = folder + "Mrlwbk31.dat";
    std::string backup = folder + "Mrlwbk31.backup";
    AppSettings settings;
    store::CDiaryDataFile file;
    testing::RecordingUi ui;
    ScriptedDialogs dialogs;
    FixedClock clock;
    DiaryStartup startup{settings, file, ui, dialogs, clock, {}, share};

    void makeDataFile(const std::string& path) {
        store::CDiaryDataFile f;
        f.SetPath(path);
        f.SetKey(store::DeriveDataFileKey());
        fs::create_directories(fs::path(path).parent_path());
        ASSERT_EQ(f.Create(), 1);
    }
    void damage(const std::string& path) {
        std::ofstream(path, std::ios::binary) << std::string(128, 'x');
    }
    std::vector<std::string> asked() const {
        std::vector<std::string> out;
        for (const auto& e : ui.events())
            if (e.kind == "ask") out.push_back(e.text);
        return out;
    }
    void TearDown() override {
        EXPECT_FALSE(ui.unexpectedQuestion());
        EXPECT_FALSE(dialogs.unexpected());
    }
};

TEST_F(DataLocationTest, FirstStartCreatesFolderFileAndBackupWithoutAsking) {
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Path(), data);
    EXPECT_EQ(startup.location().dataFolder(), folder);
    // The backup is the new, empty file; the weather choices came after.
    EXPECT_EQ(fs::file_size(backup), 128u);
    EXPECT_EQ(Read(backup).substr(0, 16), Read(data).substr(0, 16));
    store::WeatherList weather;
    EXPECT_EQ(file.ReadWeatherList(weather), 1);
    EXPECT_TRUE(asked().empty());
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_EQ(ui.events().front().kind, "open");
    EXPECT_EQ(ui.events().front().text, "During backup");
}

TEST_F(DataLocationTest, DefaultFolderThatIsAFileIsRefused) {
    fs::create_directories(share);
    std::ofstream(share + "/Tally Leaf") << "not a folder";
    EXPECT_EQ(startup.StartDiaryData(), 0);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Folder is incorrect."});
}

TEST_F(DataLocationTest, DamagedFileWithBackupIsRestoredAfterTheQuestion) {
    makeDataFile(data);
    ASSERT_TRUE(fs::copy_file(data, backup));
    damage(data);
    // The backup was made on a known day and time.
    std::tm made{};
    made.tm_year = 2024 - 1900;
    made.tm_mon = 2;
    made.tm_mday = 1;
    made.tm_hour = 9;
    made.tm_min = 41;
    made.tm_isdst = -1;
    const std::time_t madeAt = std::mktime(&made);
    fs::last_write_time(
        backup, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(madeAt)));
    ui.answer(Answer::Yes);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Diary data is incorrect."});
    EXPECT_EQ(asked(), std::vector<std::string>{"Backup found.\nDo you want to restore from "
                                                "backup?\n\nThe backup was made on 2024-03-01 "
                                                "09:41."});
    EXPECT_EQ(Read(data).substr(0, 16), Read(backup).substr(0, 16));
    EXPECT_EQ(file.Validate(), 1);
    EXPECT_FALSE(fs::exists(data + ".part"));
    // What the restore replaced is kept beside it, and the user told where.
    const std::string kept = startup.location().replacedFile();
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(fs::path(kept).parent_path(), fs::path(data).parent_path());
    EXPECT_EQ(fs::path(kept).filename().string().rfind("Mrlwbk31-replaced-", 0), 0u);
    EXPECT_EQ(Read(kept), std::string(128, 'x'));
    EXPECT_EQ(ui.informations(),
              std::vector<std::string>{"The replaced diary data was kept as:\n" + kept});
}

TEST_F(DataLocationTest, RestoresOneAfterAnotherKeepEveryReplacedFile) {
    makeDataFile(data);
    ASSERT_TRUE(fs::copy_file(data, backup));
    DataLocation location(settings, file, ui, dialogs, share);
    file.SetPath(data);
    location.setNow([] { return std::time_t{1733900000}; });  // the same second twice
    damage(data);
    ASSERT_TRUE(location.RestoreFrom(backup));
    const std::string first = location.replacedFile();
    std::ofstream(data, std::ios::binary) << "second";
    ASSERT_TRUE(location.RestoreFrom(backup));
    const std::string second = location.replacedFile();
    EXPECT_NE(first, second);
    EXPECT_EQ(Read(first), std::string(128, 'x'));
    EXPECT_EQ(Read(second), "second");
    EXPECT_EQ(Read(data), Read(backup));
}

TEST_F(DataLocationTest, RecordsPastTheTotalAreRescuedInsteadOfOpened) {
    makeDataFile(data);
    std::uint32_t hideFrom = 0;
    {
        store::CDiaryDataFile f;
        f.SetPath(data);
        f.SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(f.Open(false), store::OpenResult::Opened);
        ASSERT_EQ(f.SaveEntry({2024, 3, 5}, u"kept", u"", u"inside"), 1);
        hideFrom = f.TotalUnits();
        ASSERT_EQ(f.SaveEntry({2024, 3, 6}, u"hidden", u"", u"past the total"), 1);
    }
    {
        // The header's total, made too small.
        std::fstream io(data, std::ios::in | std::ios::out | std::ios::binary);
        std::array<std::uint8_t, store::kUnitSize> head{};
        io.read(reinterpret_cast<char*>(head.data()), head.size());
        const store::DataFileKey key = store::DeriveDataFileKey();
        store::CBlowfish bf;
        bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
        bf.Decrypt(head.data(), head.data(), head.size());
        store::PutU32(&head[store::kFhTotalUnits], hideFrom);
        bf.Encrypt(head.data(), head.data(), head.size());
        io.seekp(0);
        io.write(reinterpret_cast<const char*>(head.data()), head.size());
    }
    const std::string damaged = Read(data);
    ui.answer(Answer::Yes);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(asked(), std::vector<std::string>{std::string(res::Text(res::Msg::RecordsPastEnd))});
    store::EntryHeader h;
    ASSERT_NE(file.ReadEntryHeader({2024, 3, 6}, &h), 0u);
    EXPECT_EQ(h.title, u"hidden");
    ASSERT_NE(file.ReadEntryHeader({2024, 3, 5}, &h), 0u);
    int kept = 0;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind("Mrlwbk31.dat.damaged-", 0) == 0)
            kept += Read(e.path().string()) == damaged;
    EXPECT_EQ(kept, 1);
}

TEST_F(DataLocationTest, DamagedFileWithoutBackupAsksForAnotherLocation) {
    makeDataFile(data);
    damage(data);
    ui.answer(Answer::No);
    EXPECT_EQ(startup.StartDiaryData(), 0);
    EXPECT_EQ(asked(), std::vector<std::string>{"Do you want to change location of diary data?"});
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(Read(data), std::string(128, 'x'));
}

TEST_F(DataLocationTest, DecliningTheRestoreKeepsTheDamagedFile) {
    makeDataFile(data);
    ASSERT_TRUE(fs::copy_file(data, backup));
    damage(data);
    ui.answer(Answer::No);
    ui.answer(Answer::No);
    EXPECT_EQ(startup.StartDiaryData(), 0);
    EXPECT_EQ(Read(data), std::string(128, 'x'));
}

TEST_F(DataLocationTest, ReadOnlyFileIsToldAndNotBackedUp) {
    makeDataFile(data);
    fs::permissions(data, fs::perms::owner_read | fs::perms::group_read);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"This diary data is read-only."});
    EXPECT_TRUE(file.IsReadOnly());
    EXPECT_FALSE(fs::exists(backup));
}

TEST_F(DataLocationTest, FileInUseOffersAnotherLocation) {
    makeDataFile(data);
    store::CDiaryDataFile other;
    other.SetPath(data);
    other.SetKey(store::DeriveDataFileKey());
    ASSERT_EQ(other.Open(false), store::OpenResult::Opened);

    // Yes, then a folder of the user's choosing, where the file is created
    // once the user agrees.
    const std::string elsewhere = (dir / "elsewhere").string();
    fs::create_directories(elsewhere);
    ui.answer(Answer::Yes);
    dialogs.settingsOk([&](DataFileSettingsForm& f) {
        f.fileDefault = 0;
        f.fileFolder = "  " + elsewhere + "///  ";
    });
    ui.answer(Answer::Yes);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(asked(),
              (std::vector<std::string>{
                  "Diary data is in use.\r\nDo you want to change location of the diary data?",
                  "Diary data can not be found.\nWould you like to create?"}));
    EXPECT_EQ(file.Path(), elsewhere + "/Mrlwbk31.dat");
    EXPECT_EQ(settings.file.location, elsewhere);
    EXPECT_EQ(settings.file.history[0], elsewhere);
}

TEST_F(DataLocationTest, RestoreOverAFileInUseSaysSoAndChangesNothing) {
    makeDataFile(data);
    ASSERT_TRUE(fs::copy_file(data, backup));
    store::CDiaryDataFile other;
    other.SetPath(data);
    other.SetKey(store::DeriveDataFileKey());
    ASSERT_EQ(other.Open(false), store::OpenResult::Opened);
    ASSERT_EQ(other.SaveEntry({2024, 3, 5}, u"kept", u"", u"text"), 1);
    const std::string before = Read(data);
    file.SetPath(data);
    DataLocation location(settings, file, ui, dialogs, share);
    EXPECT_FALSE(location.RestoreBackup());
    EXPECT_EQ(ui.warnings(),
              (std::vector<std::string>{"Diary data is in use.", "Restore failure."}));
    EXPECT_EQ(Read(data), before);
    EXPECT_FALSE(fs::exists(data + ".part"));
}

// Midday of the given day of March 2024, local time.
std::time_t March(int day) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST_F(DataLocationTest, BackupsKeepOneGenerationADayAndDropTheOldestPastTheCount) {
    makeDataFile(data);
    file.SetPath(data);
    DataLocation location(settings, file, ui, dialogs, share);
    std::time_t now = March(1);
    location.setNow([&now] { return now; });
    ASSERT_TRUE(location.AutomaticBackup());
    const std::string first = folder + "Mrlwbk31-2024-03-01.backup";
    EXPECT_EQ(Read(first), Read(data));
    // A second start that day replaces the backup; the day's generation
    // keeps the first state of the day.
    const std::string morning = Read(data);
    std::ofstream(data, std::ios::binary | std::ios::app) << "later";
    ASSERT_TRUE(location.AutomaticBackup());
    EXPECT_EQ(Read(first), morning);
    EXPECT_EQ(Read(backup), Read(data));
    for (int day = 2; day <= 9; ++day) {
        now = March(day);
        std::ofstream(data, std::ios::binary | std::ios::app) << day;
        ASSERT_TRUE(location.AutomaticBackup());
    }
    // Seven kept by default: the first two days went.
    std::vector<std::string> expected;
    for (int day = 3; day <= 9; ++day)
        expected.push_back(folder + "Mrlwbk31-2024-03-0" + std::to_string(day) + ".backup");
    EXPECT_EQ(Generations(backup), expected);
    const std::vector<BackupCopy> copies = ListBackups(backup);
    ASSERT_EQ(copies.size(), 8u);
    EXPECT_TRUE(copies[0].latest);
    EXPECT_EQ(copies[0].path, backup);
    EXPECT_EQ(copies[1].path, expected.back());
    EXPECT_EQ(copies[7].path, expected.front());
    EXPECT_EQ(Read(expected.back()), Read(data));
    EXPECT_TRUE(ui.warnings().empty());
    // Fewer kept: the oldest go; none: the dated copies go, the backup stays.
    settings.backup.generations = 2;
    ASSERT_TRUE(location.AutomaticBackup());
    EXPECT_EQ(Generations(backup), (std::vector<std::string>(expected.end() - 2, expected.end())));
    settings.backup.generations = 0;
    ASSERT_TRUE(location.AutomaticBackup());
    EXPECT_TRUE(Generations(backup).empty());
    EXPECT_TRUE(fs::exists(backup));
}

TEST_F(DataLocationTest, RestoreOffersTheGenerationsNewestFirst) {
    makeDataFile(data);
    ASSERT_TRUE(fs::copy_file(data, backup));
    ASSERT_TRUE(fs::copy_file(data, folder + "Mrlwbk31-2024-03-02.backup"));
    std::ofstream(folder + "Mrlwbk31-2024-03-01.backup", std::ios::binary) << "oldest";
    // Not a generation: left out of the list.
    std::ofstream(folder + "Mrlwbk31-2024-3-1.backup", std::ios::binary) << "stray";
    damage(data);
    file.SetPath(data);
    DataLocation location(settings, file, ui, dialogs, share);
    ui.answer(Answer::Yes);
    dialogs.backupChoice(2);
    ASSERT_TRUE(location.OfferRestore());
    const std::vector<BackupCopy> offered = dialogs.lastBackupList();
    ASSERT_EQ(offered.size(), 3u);
    EXPECT_EQ(offered[0].path, backup);
    EXPECT_EQ(offered[1].path, folder + "Mrlwbk31-2024-03-02.backup");
    EXPECT_EQ(offered[2].path, folder + "Mrlwbk31-2024-03-01.backup");
    EXPECT_EQ(Read(data), "oldest");
    EXPECT_EQ(Read(location.replacedFile()), std::string(128, 'x'));
    // Cancel in the chooser restores nothing.
    ui.answer(Answer::Yes);
    dialogs.backupChoice(std::nullopt);
    EXPECT_FALSE(location.OfferRestore());
    EXPECT_EQ(Read(data), "oldest");
}

TEST_F(DataLocationTest, MissingCustomFolderShowsTheDialogAndCancelStops) {
    settings.file.locationDefault = 0;
    settings.file.location = (dir / "deleted").string();
    dialogs.settingsCancel();
    EXPECT_EQ(startup.StartDiaryData(), 0);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Location of diary data is not correct."});
}

TEST_F(DataLocationTest, CancelledBackupKeepsTheLastGoodBackup) {
    makeDataFile(data);
    std::ofstream(backup) << "last good backup";
    ui.cancelAtStep(2);
    ui.answer(Answer::No);  // do not continue without a backup
    EXPECT_EQ(startup.StartDiaryData(), 0);
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"Aborted."});
    EXPECT_TRUE(ui.warnings().empty());
    EXPECT_EQ(asked(),
              std::vector<std::string>{"Automatic backup failure.\nDo you want to continue?"});
    EXPECT_EQ(Read(backup), "last good backup");
    EXPECT_FALSE(fs::exists(backup + ".part"));
}

TEST_F(DataLocationTest, FailedBackupMayBeSkipped) {
    settings.backup.locationDefault = 0;
    settings.backup.location = (dir / "no-such-folder").string();
    ui.answer(Answer::Yes);
    EXPECT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(asked(),
              std::vector<std::string>{"Automatic backup failure.\nDo you want to continue?"});
}

TEST_F(DataLocationTest, BackupGoesToTheChosenFolder) {
    const std::string backups = (dir / "backups").string();
    fs::create_directories(backups);
    settings.backup.locationDefault = 0;
    settings.backup.location = backups;
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_TRUE(fs::exists(backups + "/Mrlwbk31.backup"));
    EXPECT_FALSE(fs::exists(backup));
}

TEST(LocationHistoryTest, NewFoldersGoOnTopAndKnownOnesMoveUp) {
    LocationHistory h{"A", "B", "C", "D", "E"};
    AddToHistory(h, "F");
    EXPECT_EQ(h, (LocationHistory{"F", "A", "B", "C", "D"}));
    h = {"A", "B", "C", "D", "E"};
    AddToHistory(h, "C");
    EXPECT_EQ(h, (LocationHistory{"C", "A", "B", "D", "E"}));
    AddToHistory(h, "C");
    EXPECT_EQ(h, (LocationHistory{"C", "A", "B", "D", "E"}));
    AddToHistory(h, "c");  // letters compare case-sensitively
    EXPECT_EQ(h, (LocationHistory{"c", "C", "A", "B", "D"}));
    AddToHistory(h, "");
    EXPECT_EQ(h[0], "c");
    EXPECT_EQ(TrimFolder("  /srv/diary\\x/// \t"), "/srv/diary\\x");
}

TEST(DataFileSettingsTest, OkChecksOnlyTheFoldersInUse) {
    testing::TempDir dir;
    testing::RecordingUi ui;
    DataFileSettingsForm form;
    form.fileDefault = 0;
    form.fileFolder = "   ";
    EXPECT_EQ(CheckDataFileSettings(form, ui), FormField::DataFolder);
    form.fileFolder = (dir / "missing").string();
    EXPECT_EQ(CheckDataFileSettings(form, ui), FormField::DataFolder);
    EXPECT_EQ(ui.warnings(),
              (std::vector<std::string>{"Specify folder name.", "Folder name is incorrect."}));

    form.fileFolder = dir.path().string() + "//";
    form.backupDefault = 0;
    form.backupFolder = "";
    form.autoBackup = 0;  // the backup group is off, its folder unchecked
    EXPECT_EQ(CheckDataFileSettings(form, ui), std::nullopt);
    EXPECT_EQ(form.fileFolder, dir.path().string() + "/");
    form.autoBackup = 1;
    EXPECT_EQ(CheckDataFileSettings(form, ui), FormField::BackupFolder);
}

TEST(DataFileSettingsTest, CommandModeRestartsOnlyWhenTheLocationChanged) {
    testing::TempDir dir;
    testing::RecordingUi ui;
    ScriptedDialogs dialogs;
    AppSettings settings;
    store::CDiaryDataFile file;
    DataLocation location(settings, file, ui, dialogs, dir.path().string());
    dialogs.settingsOk([](DataFileSettingsForm& f) { f.autoBackup = 0; });
    EXPECT_FALSE(location.RunDataFileSettings(SettingsMode::Command));
    EXPECT_EQ(settings.backup.autoBackup, 0);
    dialogs.settingsOk([&](DataFileSettingsForm& f) {
        f.fileDefault = 0;
        f.fileFolder = dir.path().string();
    });
    EXPECT_TRUE(location.RunDataFileSettings(SettingsMode::Command));
    dialogs.settingsCancel();
    EXPECT_FALSE(location.RunDataFileSettings(SettingsMode::StartUp));

    EXPECT_TRUE(ToggleDataLocation(settings));
    EXPECT_EQ(settings.file.locationDefault, 1);
    settings.file.location.clear();
    EXPECT_FALSE(ToggleDataLocation(settings));
    EXPECT_EQ(settings.file.locationDefault, 1);
}

}  // namespace
}  // namespace tl::app
