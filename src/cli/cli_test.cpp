// Runs the real tallyleaf-cli as a separate process.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_runner.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "support/temp_dir.h"

namespace tl::cli {
namespace {

using Result = CliResult;

class CliTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string data = (dir / "Mrlwbk31.dat").string();

    Result run(const std::string& args) { return RunCli(args, dir.path()); }
    std::string onData(const std::string& args) { return "--data '" + data + "' " + args; }
};

TEST_F(CliTest, CreateThenCheckGivesAOneUnitSoundFile) {
    Result r = run(onData("create"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(std::filesystem::file_size(data), 128u);
    r = run(onData("check"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("sound"), std::string::npos);
    // A second create must not empty the diary.
    EXPECT_EQ(run(onData("create")).code, 1);
    EXPECT_EQ(run(onData("create --if-missing")).code, 0);
}

TEST_F(CliTest, CheckTellsMissingDamagedAndInUse) {
    Result r = run(onData("check"));
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("not found"), std::string::npos) << r.err;

    ASSERT_EQ(run(onData("create")).code, 0);
    {
        store::CDiaryDataFile held;
        held.SetPath(data);
        held.SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(held.Open(false), store::OpenResult::Opened);
        r = run(onData("check"));
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("in use"), std::string::npos) << r.err;
    }
    {
        std::fstream f(data, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(45);
        f.put('\x7f');
    }
    r = run(onData("check"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Diary data is incorrect."), std::string::npos) << r.err;
}

TEST_F(CliTest, StatsPrintsTheSevenCountsAsTextAndJson) {
    ASSERT_EQ(run(onData("create")).code, 0);
    {
        store::CDiaryDataFile f;
        f.SetPath(data);
        f.SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(f.Open(false), store::OpenResult::Opened);
        std::vector<std::uint8_t> image(2 * store::kUnitSize, 0);
        store::RecordHeader h;
        h.setKind(store::kKindEntryHeader);
        h.setDate(2024, 3, 5);
        h.setUnits(2);
        std::copy(h.bytes.begin(), h.bytes.end(), image.begin());
        ASSERT_EQ(f.WriteRecord(image), 1);
    }
    Result r = run(onData("--json stats"));
    ASSERT_EQ(r.code, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["counts"].size(), 7u);
    EXPECT_EQ(j["counts"]["entry_headers"], 1);
    EXPECT_EQ(j["counts"]["free"], 0);
    r = run(onData("--json stats 2024-04 2025"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["counts"]["entry_headers"], 0);
    r = run(onData("stats 2024-03"));
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("entry headers   1"), std::string::npos) << r.out;
    EXPECT_EQ(run(onData("stats 2024-13")).code, 2);
}

TEST_F(CliTest, MisuseExitsWithTwoAndSuggestsTheNearestCommand) {
    Result r = run("chek");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("did you mean 'check'?"), std::string::npos) << r.err;
    r = run("stats --bogus");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
    r = run("");
    EXPECT_EQ(r.code, 2);
    r = run("help");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("stats"), std::string::npos);
}

TEST_F(CliTest, OptionsOfTheToolWorkAfterTheSubcommandToo) {
    ASSERT_EQ(run("create --data '" + data + "'").code, 0);
    Result r = run("stats --json --data '" + data + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["counts"]["free"], 0);
    r = run("put 2024-03-05 --text 'Kept' --data '" + data + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    // The question is answered by --yes given after the subcommand.
    r = run("optimise --yes --data '" + data + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    r = run("show 2024-03-05 --data '" + data + "' --json");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["text"], "Kept");
    // An option the subcommand does not know is still refused.
    EXPECT_EQ(run("stats --bogus --data '" + data + "'").code, 2);
    EXPECT_EQ(run("stats --data").code, 2);
}

TEST_F(CliTest, EntriesRoundTripThroughPutShowListFindAndDelete) {
    ASSERT_EQ(run(onData("create")).code, 0);
    Result r = run(
        onData("put 2024-03-05 --title Trip --weather rain --text 'We went to the sea. \u6d77'"));
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(run(onData("put 2024-03 --text 'March plans'")).code, 0);
    // Changing the title keeps the text.
    ASSERT_EQ(run(onData("put 2024-03-05 --title 'Trip to the sea'")).code, 0);
    r = run(onData("--json show 2024-03-05"));
    ASSERT_EQ(r.code, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["title"], "Trip to the sea");
    EXPECT_EQ(j["weather"], "rain");
    EXPECT_EQ(j["text"], "We went to the sea. \u6d77");

    // Title colours: given as #RRGGBB, kept by later changes of other fields.
    ASSERT_EQ(run(onData("put 2024-03-05 --color '#FF8000' --background 102030 --blink all")).code,
              0);
    ASSERT_EQ(run(onData("put 2024-03-05 --weather sun")).code, 0);
    j = nlohmann::json::parse(run(onData("--json show 2024-03-05")).out);
    EXPECT_EQ(j["title_color"], "#FF8000");
    EXPECT_EQ(j["title_background"], "#102030");
    EXPECT_EQ(j["blink"], 2);
    EXPECT_EQ(j["text"], "We went to the sea. \u6d77");
    ASSERT_EQ(run(onData("put 2024-03-05 --background none --blink text")).code, 0);
    j = nlohmann::json::parse(run(onData("--json show 2024-03-05")).out);
    EXPECT_EQ(j["title_background"], nullptr);
    EXPECT_EQ(j["blink"], 1);
    r = run(onData("put 2024-03-05 --color red"));
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("#RRGGBB"), std::string::npos) << r.err;
    EXPECT_EQ(run(onData("put 2024-03-05 --blink fast")).code, 2);

    r = run(onData("--json list 2024"));
    ASSERT_EQ(r.code, 0) << r.err;
    j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j.size(), 2u);
    EXPECT_EQ(j[0]["date"], "2024-03") << "a month note sorts before its days";
    EXPECT_EQ(run(onData("next 2024-03")).out, "2024-03-05\n");
    EXPECT_EQ(run(onData("prev 2024-03-05")).out, "2024-03\n");
    EXPECT_EQ(run(onData("next 2024-03-05")).code, 1);
    EXPECT_EQ(run(onData("find SEA")).out, "2024-03-05  (title)\n");
    EXPECT_EQ(run(onData("find SEA --case")).code, 1);
    EXPECT_EQ(run(onData("find plans --and sea")).code, 1);
    EXPECT_EQ(run(onData("find plans --or sea --all")).out,
              "2024-03  (text)  March plans\n2024-03-05  (title)  Trip to the sea\n");
    EXPECT_EQ(run(onData("find went --all --backward")).out,
              "2024-03-05  (text)  [Trip to the sea]  We went to the sea. \u6d77\n");
    j = nlohmann::json::parse(run(onData("--json find SEA --all")).out);
    ASSERT_EQ(j.size(), 1u);
    EXPECT_EQ(j[0]["line"], "Trip to the sea");
    EXPECT_EQ(j[0]["marks"], nlohmann::json::parse("[[12, 3]]"));

    ASSERT_EQ(run(onData("weather --set Fine,Wet")).code, 0);
    EXPECT_EQ(run(onData("weather")).out, "Fine\nWet\n");
    EXPECT_EQ(run(onData("delete 2024-03-05")).code, 0);
    EXPECT_EQ(run(onData("show 2024-03-05")).code, 1);
    EXPECT_EQ(run(onData("delete 2024-03-05")).code, 1);
    EXPECT_EQ(run(onData("show 2024-02-30")).code, 2);
    EXPECT_EQ(run(onData("check")).code, 0);
}

TEST_F(CliTest, DefaultDataFileLivesInTheUsersDataFolder) {
    std::string env = "XDG_DATA_HOME='" + dir.path().string() + "' XDG_CONFIG_HOME='" +
                      dir.path().string() + "' ";
    std::string cmd = env + "'" TL_CLI_EXE "' create >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(std::filesystem::file_size(dir / "Tally Leaf" / "Mrlwbk31.dat"), 128u);
}

}  // namespace
}  // namespace tl::cli

namespace tl::cli {
namespace {

TEST_F(CliTest, RescueCopiesEveryReadableEntryAndKeepsTheDamagedFile) {
    ASSERT_EQ(run(onData("create")).code, 0);
    ASSERT_EQ(run(onData("put 2024-03-05 --title One --text first")).code, 0);
    ASSERT_EQ(run(onData("put 2024-03-06 --title Two --text second")).code, 0);
    {
        // A bad unit where the first entry's header lies: the file no
        // longer checks.
        std::fstream f(data, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(128);
        f.write(std::string(128, '\x11').data(), 128);
    }
    EXPECT_EQ(run(onData("check")).code, 1);
    const std::string damaged = [&] {
        std::ifstream in(data, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const std::string out = (dir / "rescued.dat").string();
    Result r = run(onData("--json rescue --out '" + out + "'"));
    ASSERT_EQ(r.code, 0) << r.err;
    const auto report = nlohmann::json::parse(r.out);
    EXPECT_EQ(report["kept"]["entry_headers"], 1);
    // The text whose header was damaged comes along as an untitled entry.
    EXPECT_EQ(report["kept"]["plain_texts"], 2);
    r = run("--data '" + out + "' show 2024-03-06");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("second"), std::string::npos);
    {
        std::ifstream in(data, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
    }
    EXPECT_EQ(run(onData("rescue --out '" + data + "'")).code, 2);
}

}  // namespace
}  // namespace tl::cli
