// Runs tallyleaf-cli's backup, restore, password and settings commands in
// a private home, so the user's own settings and diary are never touched.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace tl::cli {
namespace {

namespace fs = std::filesystem;

using Result = CliResult;

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class AppCommandsTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    fs::path folder = dir / "data" / "Tally Leaf";
    fs::path data = folder / "Mrlwbk31.dat";
    fs::path backup = folder / "Mrlwbk31.backup";

    Result run(const std::string& args) { return RunCli(args, dir.path()); }
    std::string passwords(const std::string& lines) {
        std::ofstream(dir / "pw") << lines;
        return "--password-file '" + (dir / "pw").string() + "' ";
    }
};

TEST_F(AppCommandsTest, DataFileIsFoundWhereTheSettingsPutIt) {
    ASSERT_EQ(run("create").code, 0);
    EXPECT_TRUE(fs::exists(data));

    const fs::path custom = dir / "custom";
    fs::create_directories(custom);
    ASSERT_EQ(run("settings FILE/LOCATION '" + custom.string() + "'").code, 0);
    ASSERT_EQ(run("settings FILE/LOCATION_DEFAULT 0").code, 0);
    EXPECT_EQ(run("settings FILE/LOCATION_DEFAULT").out, "0\n");
    Result r = run("create");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(custom / "Mrlwbk31.dat"));
    EXPECT_NE(run("check").out.find((custom / "Mrlwbk31.dat").string()), std::string::npos);
    // --data still wins.
    EXPECT_NE(run("--data '" + data.string() + "' check").out.find(data.string()),
              std::string::npos);
}

TEST_F(AppCommandsTest, SettingsAreCheckedBeforeTheyAreWritten) {
    Result r = run("settings");
    ASSERT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("ETC/TODAYRANGE=6\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("TAGBLINK/TO__ENABLE=0\n"), std::string::npos);
    EXPECT_EQ(run("settings ETC/TODAYRANGE seven").code, 2);
    EXPECT_EQ(run("settings ETC/TODAYRANGES 7").code, 2);
    EXPECT_EQ(run("settings ETC/DEFTITLECOLOR 3").code, 2);  // read only while migrating
    ASSERT_EQ(run("settings FIND/WINPOS_X -1").code, 0);
    ASSERT_EQ(run("settings TITLECOL/TITLECOLOR32 0x00FF00").code, 0);
    EXPECT_EQ(run("settings TITLECOL/TITLECOLOR32").out, "65280\n");
    r = run("settings PICTURE/REDUCTION 0");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("at its default"), std::string::npos);
    EXPECT_EQ(run("settings PICTURE/REDUCTION").out, "1\n");
}

TEST_F(AppCommandsTest, BackupAndRestoreWithTheQuestion) {
    ASSERT_EQ(run("create").code, 0);
    Result r = run("backup");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string good = Slurp(data);
    EXPECT_EQ(Slurp(backup), good);

    std::ofstream(data, std::ios::binary) << std::string(128, 'x');
    // A damaged data file is never backed up over the good backup.
    EXPECT_EQ(run("backup").code, 1);
    EXPECT_EQ(Slurp(backup), good);

    r = run("restore");  // no answer on standard input: No
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Backup found.\nDo you want to restore from backup?"), std::string::npos)
        << r.err;
    EXPECT_EQ(Slurp(data), std::string(128, 'x'));
    r = run("--yes restore");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(data), good);
    EXPECT_EQ(run("check").code, 0);

    std::ofstream(backup, std::ios::binary) << std::string(128, 'y');
    r = run("--yes restore");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("damaged"), std::string::npos);
    EXPECT_EQ(Slurp(data), good);
}

TEST_F(AppCommandsTest, RestoreListsTheGenerationsAndKeepsWhatItReplaces) {
    ASSERT_EQ(run("create").code, 0);
    ASSERT_EQ(run("backup").code, 0);
    const std::string empty = Slurp(data);
    ASSERT_EQ(run("put 2024-03-05 --text 'written later'").code, 0);
    ASSERT_EQ(run("backup").code, 0);  // the same day: the day's copy stays
    const std::string later = Slurp(data);

    Result r = run("restore --list");
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::string first, second, third;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_FALSE(std::getline(lines, third));
    EXPECT_EQ(first.rfind("1  ", 0), 0u) << first;
    EXPECT_NE(first.find(backup.string()), std::string::npos) << first;
    EXPECT_EQ(second.rfind("2  ", 0), 0u) << second;
    const std::string generation = second.substr(second.find(folder.string()));
    EXPECT_EQ(Slurp(generation), empty);

    EXPECT_EQ(run("--yes restore --from 3").code, 2);
    EXPECT_EQ(run("--yes restore --from two").code, 2);
    r = run("--yes restore --from 2");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(data), empty);
    EXPECT_NE(r.err.find("The backup was made on "), std::string::npos) << r.err;
    // What the restore replaced is kept beside the data file.
    std::vector<fs::path> kept;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind("Mrlwbk31-replaced-", 0) == 0)
            kept.push_back(e.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(Slurp(kept.front()), later);
    EXPECT_NE(r.err.find(kept.front().string()), std::string::npos) << r.err;
    // By path as well.
    ASSERT_EQ(run("--yes restore --from '" + backup.string() + "'").code, 0);
    EXPECT_EQ(Slurp(data), later);
}

TEST_F(AppCommandsTest, PasswordIsSetAskedThreeTimesAndCleared) {
    ASSERT_EQ(run("create").code, 0);
    EXPECT_EQ(run(passwords("diary\nDiary\n") + "password set").code, 1);
    EXPECT_NE(
        run(passwords("diary\nDiary\n") + "password set").err.find("Both passwords are not same."),
        std::string::npos);
    Result r = run(passwords("diary\ndiary\n") + "password set");
    ASSERT_EQ(r.code, 0) << r.err;

    r = run("check");  // nobody to ask
    EXPECT_EQ(r.code, 1);
    r = run(passwords("Diary\nwrong\ndiary\n") + "check");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Count(r.err, "Password is incorrect."), 2u);
    r = run(passwords("Diary\nwrong\nDIARY\ndiary\n") + "check");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Count(r.err, "Password is incorrect."), 3u);

    EXPECT_EQ(run(passwords("wrong\n") + "--yes password clear").code, 1);
    EXPECT_EQ(run(passwords("diary\n") + "password clear").code,
              1);  // the question was not answered
    r = run(passwords("diary\n") + "--yes password clear");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Do you want to disable password?"), std::string::npos);
    EXPECT_EQ(run("check").code, 0);
}

}  // namespace
}  // namespace tl::cli
