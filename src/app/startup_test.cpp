#include "startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "scripted_dialogs.h"
#include "store/data_file_key.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

class FakeClock final : public Clock {
public:
    LocalTime time{year{2024} / 3 / 1, 12};
    LocalTime now() const override { return time; }
};

TEST(DiaryTodayTest, HoursBeforeTheRangeBelongToThePreviousDay) {
    FakeClock clock;
    const year_month_day march1 = year{2024} / 3 / 1;
    const year_month_day feb29 = year{2024} / 2 / 29;
    struct Case {
        int hour, range;
        year_month_day expected;
    };
    for (const Case& c :
         {Case{0, 0, march1}, Case{23, 0, march1}, Case{0, 6, feb29}, Case{5, 6, feb29},
          Case{6, 6, march1}, Case{22, 23, feb29}, Case{23, 23, march1}}) {
        clock.time = {march1, c.hour};
        EXPECT_EQ(GetDiaryToday(clock, c.range), c.expected) << c.hour << " with range " << c.range;
    }
    clock.time = {year{2025} / 1 / 1, 3};
    EXPECT_EQ(GetDiaryToday(clock, 6), year{2024} / 12 / 31);
}

TEST(OtherSettingsTest, HourMustBeAWholeNumberFrom0To23) {
    testing::RecordingUi ui;
    EXPECT_EQ(ParseTodayRange("7", ui), 7);
    EXPECT_EQ(ParseTodayRange("0", ui), 0);
    EXPECT_EQ(ParseTodayRange("23", ui), 23);
    EXPECT_TRUE(ui.warnings().empty());
    for (const char* bad : {"24", "-1", "", "7a", " 7"})
        EXPECT_EQ(ParseTodayRange(bad, ui), std::nullopt) << bad;
    EXPECT_EQ(ui.warnings(), std::vector<std::string>(5, "Time is incorrect."));
}

class StartupTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string share = (dir / "share").string();
    std::string data = share + "/Tally Leaf/Mrlwbk31.dat";
    AppSettings settings;
    store::CDiaryDataFile file;
    testing::RecordingUi ui;
    ScriptedDialogs dialogs;
    FakeClock clock;
    std::vector<std::string> steps;

    StartHooks recordingHooks() {
        StartHooks h;
        h.beforeLocate = [this] { steps.push_back("before"); };
        h.convertOldData = [this](const std::string&) { steps.push_back("convert"); };
        h.loadStickyNotes = [this] { steps.push_back("sticky"); };
        h.loadWeatherList = [this] { steps.push_back("weather"); };
        h.openToday = [this](year_month_day d) {
            steps.push_back("today " + std::to_string(static_cast<unsigned>(d.day())));
        };
        h.setInputMethod = [this](bool open) { steps.push_back(open ? "ime on" : "ime off"); };
        h.refreshBars = [this] { steps.push_back("bars"); };
        return h;
    }
    void makeDataFile(const std::string& path, std::u16string_view password) {
        store::CDiaryDataFile f;
        f.SetPath(path);
        f.SetKey(store::DeriveDataFileKey());
        fs::create_directories(fs::path(path).parent_path());
        ASSERT_EQ(f.Create(), 1);
        ASSERT_EQ(f.Open(false), store::OpenResult::Opened);
        ASSERT_EQ(f.SetPassword(password), 1);
    }
    void TearDown() override {
        EXPECT_FALSE(ui.unexpectedQuestion());
        EXPECT_FALSE(dialogs.unexpected());
    }
};

TEST_F(StartupTest, StepsRunInOrderAndTodayFollowsTheRange) {
    clock.time = {year{2024} / 3 / 1, 5};
    DiaryStartup startup(settings, file, ui, dialogs, clock, recordingHooks(), share);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(steps, (std::vector<std::string>{"before", "convert", "sticky", "weather", "today 29",
                                               "ime off", "bars"}));
}

TEST_F(StartupTest, ReadOnlyFileIsNotOfferedConversionAndTodayMayStayClosed) {
    makeDataFile(data, u"");
    fs::permissions(data, fs::perms::owner_read);
    settings.etc.todayOpen = 0;
    settings.etc.imeEnable = 1;
    DiaryStartup startup(settings, file, ui, dialogs, clock, recordingHooks(), share);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(steps, (std::vector<std::string>{"before", "sticky", "weather", "ime on", "bars"}));
}

// The weather choices exist in the file once start-up is done; a list the
// user edited is kept, and a read-only file is not written.
TEST_F(StartupTest, WeatherChoicesAreWrittenOnlyWhereTheFileHasNone) {
    settings.etc.todayOpen = 0;
    {
        DiaryStartup startup(settings, file, ui, dialogs, clock, {}, share);
        ASSERT_EQ(startup.StartDiaryData(), 1);
        store::WeatherList list;
        ASSERT_EQ(file.ReadWeatherList(list), 1);
        EXPECT_EQ(list, store::CDiaryDataFile::DefaultWeatherList());
        list[0] = u"Fog";
        ASSERT_EQ(file.WriteWeatherList(list), 1);
        file.Close();
    }
    {
        DiaryStartup startup(settings, file, ui, dialogs, clock, {}, share);
        ASSERT_EQ(startup.StartDiaryData(), 1);
        store::WeatherList list;
        ASSERT_EQ(file.ReadWeatherList(list), 1);
        EXPECT_EQ(list[0], u"Fog");
        file.Close();
    }
    const std::string readOnly = (dir / "ro" / "Mrlwbk31.dat").string();
    makeDataFile(readOnly, u"");
    fs::permissions(readOnly, fs::perms::owner_read);
    settings.file.locationDefault = 0;
    settings.file.location = fs::path(readOnly).parent_path().string();
    DiaryStartup startup(settings, file, ui, dialogs, clock, {}, share);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    ASSERT_TRUE(file.IsReadOnly());
    store::WeatherList list;
    EXPECT_EQ(file.ReadWeatherList(list), 0);
}

TEST_F(StartupTest, PasswordIsAskedOnlyOnTheFirstStartWithTheSwitchOffered) {
    makeDataFile(data, u"diary");
    DiaryStartup startup(settings, file, ui, dialogs, clock, {}, share);
    dialogs.password(u"wrong");
    dialogs.password(u"diary");
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_TRUE(dialogs.lastOfferedDataFileSetting());
    // A later restart (after a location change) no longer offers the switch.
    dialogs.password(u"diary");
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_FALSE(dialogs.lastOfferedDataFileSetting());
    EXPECT_EQ(dialogs.passwordsAsked(), 3);

    dialogs.password(u"a");
    dialogs.password(u"b");
    dialogs.password(u"c");
    EXPECT_EQ(startup.StartDiaryData(), 0);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(StartupTest, SwitchToAFolderWithoutPasswordOpensThatDiary) {
    makeDataFile(data, u"diary");
    const std::string open = (dir / "open").string();
    makeDataFile(open + "/Mrlwbk31.dat", u"");
    dialogs.passwordDataFileSetting();
    dialogs.settingsOk([&](DataFileSettingsForm& f) {
        f.fileDefault = 0;
        f.fileFolder = open;
    });
    DiaryStartup startup(settings, file, ui, dialogs, clock, {}, share);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(file.Path(), open + "/Mrlwbk31.dat");
    EXPECT_TRUE(file.IsOpen());
}

TEST_F(StartupTest, FailedSwitchKeepsCheckingTheFileThatIsOpened) {
    makeDataFile(data, u"diary");
    const std::string other = (dir / "other").string();
    makeDataFile(other + "/Mrlwbk31.dat", u"other");
    fs::create_directories(dir / "empty");
    dialogs.passwordDataFileSetting();
    // A folder without a data file, where the user declines to create one.
    dialogs.settingsOk([&](DataFileSettingsForm& f) {
        f.fileDefault = 0;
        f.fileFolder = (dir / "empty").string();
    });
    ui.answer(res::Answer::No);
    ui.answer(res::Answer::No);
    dialogs.password(u"diary");
    DiaryStartup startup(settings, file, ui, dialogs, clock, {}, share);
    ASSERT_EQ(startup.StartDiaryData(), 1);
    EXPECT_EQ(file.Path(), data);
    EXPECT_TRUE(file.IsOpen());
}

TEST(TempFolderTest, CleaningRemovesFilesAndThenTheEmptyFolder) {
    testing::TempDir dir;
    const std::string folder = TempFolder(dir.path());
    ASSERT_EQ(folder, (dir / ("Tally Leaf-" + std::to_string(::getuid()))).string());
    std::ofstream(folder + "/a.txt") << "a";
    std::ofstream(folder + "/locked.jpg") << "b";
    fs::permissions(folder + "/locked.jpg", fs::perms::owner_read);
    fs::create_directory(folder + "/sub");
    CleanTempFolder(dir.path());
    EXPECT_FALSE(fs::exists(folder + "/a.txt"));
    EXPECT_FALSE(fs::exists(folder + "/locked.jpg"));
    EXPECT_TRUE(fs::exists(folder + "/sub"));  // folders are left, and so is the folder
    fs::remove(folder + "/sub");
    CleanTempFolder(dir.path());
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(TempFolder(dir / "missing" / "deeper"), "");
}

TEST(TempFolderTest, OnlyAFolderOfThisUsersOwnIsUsedAndNoOtherBlocksIt) {
    testing::TempDir dir;
    const std::string folder = TempFolder(dir.path());
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    // A folder left open to others is closed again.
    fs::permissions(folder, fs::perms::all);
    EXPECT_EQ(TempFolder(dir.path()), folder);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    const auto isOwnFolder = [](const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
               (st.st_mode & 0777) == 0700;
    };
    // What someone else put under the name (a link, a file, a folder of
    // another user) is never used and never blocks: the next name is.
    fs::remove(folder);
    fs::create_directory(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", folder);
    std::string other = TempFolder(dir.path());
    EXPECT_EQ(other, folder + "-2");
    EXPECT_TRUE(isOwnFolder(other));
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
    fs::remove(folder);
    std::ofstream(folder) << "a file";
    EXPECT_EQ(TempFolder(dir.path()), folder + "-2");
    if (::getuid() == 0) {  // only root can give a folder to someone else
        fs::remove(folder);
        fs::remove(folder + "-2");
        fs::create_directory(folder);
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        other = TempFolder(dir.path());
        EXPECT_EQ(other, folder + "-2");
        EXPECT_TRUE(isOwnFolder(other));
        // Cleaning goes to this user's folder alone.
        std::ofstream(folder + "/theirs.txt") << "theirs";
        CleanTempFolder(dir.path());
        EXPECT_TRUE(fs::exists(folder + "/theirs.txt"));
    }
}

TEST(EndApplicationTest, SettingsAreSavedAfterTheStickyNotesAndTheGuard) {
    MemSettingsStore store;
    std::vector<std::string> order;
    EndHooks hooks{[&] { order.push_back("sticky " + std::to_string(store.values().size())); },
                   [&] { order.push_back("guard"); }};
    AppSettings settings;
    EndApplication(settings, store, hooks);
    EXPECT_EQ(order, (std::vector<std::string>{"sticky 0", "guard"}));
    EXPECT_FALSE(store.empty());
}

}  // namespace
}  // namespace tl::app
