// The exchange commands end to end through the real tool: an export then
// import round trip, merge, copy and optimisation.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace tl::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class ExchangeCliTest : public ::testing::Test {
protected:
    tl::testing::TempDir dir;

    CliResult on(const fs::path& data, const std::string& args) {
        return RunCli("--yes --data '" + data.string() + "' " + args, dir.path());
    }
    // The entry as `show --json` gives it, with each attachment's bytes.
    json entry(const fs::path& data, const std::string& date) {
        CliResult r = on(data, "--json show " + date);
        EXPECT_EQ(r.code, 0) << date << ": " << r.err;
        json j = json::parse(r.out);
        for (auto& a : j["attachments"]) {
            fs::path out = dir / ("extract-" + std::to_string(a["order"].get<int>()));
            EXPECT_EQ(on(data, "extract " + date + " " + std::to_string(a["order"].get<int>()) +
                                   " -o '" + out.string() + "'")
                          .code,
                      0);
            std::string bytes = Slurp(out);
            a["bytes"] = json::binary(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
            fs::remove(out);
        }
        return j;
    }
    fs::path file(const std::string& folder, const std::string& name, const std::string& bytes) {
        fs::create_directories(dir / folder);
        std::ofstream(dir / folder / name, std::ios::binary) << bytes;
        return dir / folder / name;
    }
    // A small diary: a day with a title, weather, Japanese text and three
    // attachments, two of them named alike; a month note; a year note.
    fs::path makeDiary(const std::string& name) {
        fs::path data = dir / name / "Mrlwbk31.dat";
        EXPECT_EQ(on(data, "create").code, 0);
        EXPECT_EQ(on(data,
                     "put 2024-03-05 --title 'Trip' --weather rain --text $'line one\\nline two "
                     "\\u65e5\\u8a18'")
                      .code,
                  0);
        EXPECT_EQ(on(data, "put 2024-03 --text 'month note'").code, 0);
        EXPECT_EQ(on(data, "put 2024 --text 'year note'").code, 0);
        std::string binary(30000, '\0');
        for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 31 % 251);
        EXPECT_EQ(on(data, "attach 2024-03-05 '" + file("in1", "a.txt", "first a").string() +
                               "' '" + file("in2", "a.txt", "second a").string() + "' '" +
                               file("in1", "photo.bin", binary).string() + "'")
                      .code,
                  0);
        return data;
    }
};

TEST_F(ExchangeCliTest, ExportThenImportReproducesEveryEntryAndAttachment) {
    fs::path source = makeDiary("a");
    for (const char* encoding : {"unicode", "ansi"}) {
        fs::path folder = dir / (std::string("export-") + encoding);
        fs::create_directories(folder);
        CliResult r =
            on(source, std::string("export --encoding ") + encoding + " '" + folder.string() + "'");
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(fs::exists(folder / "2024-03-05.txt")) << encoding;

        fs::path target = dir / (std::string("b-") + encoding) / "Mrlwbk31.dat";
        ASSERT_EQ(on(target, "create").code, 0);
        r = on(target, std::string("import --encoding ") + encoding + " '" + folder.string() + "'");
        ASSERT_EQ(r.code, 0) << r.err;
        for (const char* date : {"2024-03-05", "2024-03", "2024"}) {
            json a = entry(source, date), b = entry(target, date);
            // Files of one name come back under the numbered names the
            // export gave them ("a(2).txt"), ordered by name: compare the
            // bytes, whatever their order.
            auto files = [](json& j) {
                std::multiset<std::string> bytes;
                for (auto& f : j["attachments"]) bytes.insert(f["bytes"].dump());
                j.erase("attachments");
                j.erase("rich_text_bytes");
                return bytes;
            };
            EXPECT_EQ(files(a), files(b)) << encoding << " " << date;
            EXPECT_EQ(a, b) << encoding << " " << date;
        }
        EXPECT_EQ(on(target, "check").code, 0);
    }
}

TEST_F(ExchangeCliTest, ImportWithItemsThatFailedExitsNonZeroAndCountsThem) {
    fs::path data = dir / "d" / "Mrlwbk31.dat";
    ASSERT_EQ(on(data, "create").code, 0);
    file("in", "2024-03-05.txt", "TITLE:T\r\nWEATHER:W\r\n\r\ntext");
    file("in/2024-03-05", "kept.txt", "bytes");
    file("in/2024-03-05", "empty.txt", "");
    CliResult r = on(data, "import '" + (dir / "in").string() + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Import has been completed."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1 of 3 items could not be imported"), std::string::npos) << r.err;
    EXPECT_EQ(entry(data, "2024-03-05")["attachments"].size(), 1u);
    // Importing again skips the names that exist: nothing fails but the
    // empty file.
    r = on(data, "import '" + (dir / "in").string() + "'");
    EXPECT_NE(r.err.find("1 of 3 items"), std::string::npos) << r.err;
}

TEST_F(ExchangeCliTest, OptimiseCopyAndMergeKeepTheEntries) {
    fs::path data = makeDiary("a");
    ASSERT_EQ(on(data, "put 2024-03-05 --text 'rewritten, leaving free units behind'").code, 0);
    json before = entry(data, "2024-03-05");
    CliResult r = on(data, "optimise");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(entry(data, "2024-03-05"), before);
    r = on(data, "--json stats");
    EXPECT_EQ(json::parse(r.out)["counts"]["free"], 0);

    fs::path copyFolder = dir / "copy";
    fs::create_directories(copyFolder);
    r = on(data, "copy '" + copyFolder.string() + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(copyFolder / "Mrlwbk31.dat"), Slurp(data));

    fs::path other = dir / "other" / "Mrlwbk31.dat";
    ASSERT_EQ(on(other, "create").code, 0);
    ASSERT_EQ(on(other, "put 2025-01-01 --title New --text 'from the other diary'").code, 0);
    r = on(data, "merge '" + other.parent_path().string() + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(entry(data, "2025-01-01")["text"], "from the other diary");
    EXPECT_EQ(entry(data, "2024-03-05"), before) << "dates the other diary lacks stay";
    EXPECT_EQ(on(data, "check").code, 0);
}

}  // namespace
}  // namespace tl::cli

namespace tl::cli {
namespace {

TEST_F(ExchangeCliTest, MergeConflictsTakesTheSyncToolsCopiesAndLeavesTheRest) {
    const fs::path data = dir / "sync" / "Mrlwbk31.dat";
    const fs::path copy = dir / "sync" / "Mrlwbk31.sync-conflict-20240105-134502-ABCDEF2.dat";
    const fs::path damaged = dir / "sync" / "Mrlwbk31 (conflicted copy 2024-01-05 134502).dat";
    const fs::path lookAlike = dir / "sync" / "Mrlwbk31 (copy).dat";
    ASSERT_EQ(on(data, "create").code, 0);
    ASSERT_EQ(on(data, "put 2024-03-05 --title 'Mine' --text 'mine'").code, 0);
    for (const fs::path& p : {copy, lookAlike}) {
        ASSERT_EQ(on(p, "create").code, 0);
        ASSERT_EQ(on(p, "put 2024-03-06 --title 'Theirs' --text 'theirs'").code, 0);
    }
    file("sync", damaged.filename().string(), "not a diary");

    CliResult r = on(data, "merge-conflicts");
    EXPECT_EQ(r.code, 1) << r.err;  // the damaged copy is named
    EXPECT_NE(r.err.find(damaged.filename().string()), std::string::npos) << r.err;
    EXPECT_EQ(entry(data, "2024-03-06")["title"], "Theirs");
    EXPECT_EQ(entry(data, "2024-03-05")["title"], "Mine");
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_TRUE(fs::exists(copy.string() + ".merged"));
    EXPECT_TRUE(fs::exists(lookAlike));
    EXPECT_TRUE(fs::exists(damaged));

    fs::remove(damaged);
    r = on(data, "merge-conflicts");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("no conflicted copies"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tl::cli
