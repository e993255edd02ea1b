// tallyleaf-cli on-this-day on a data file in a private home.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace tl::cli {
namespace {

class OnThisDayCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run("create").code, 0);
        put("2024-03-05 --title 'Market day' --weather Sunny --color '#FF0000' "
            "--text 'Apples and cheese'");
        put("2019-03-05 --title 'Long ago' --text 'first line'");
        put("2022-03-06 --title 'Next day' --text 'not shown'");
        put("2024-02-29 --title 'Leap' --text 'leap day'");
        put("2023-02-28 --title 'Common' --text 'the 28th'");
        put("2021-06 --title 'June' --text 'a month note'");
        std::ofstream(dir / "photo.png") << "not really a picture";
        ASSERT_EQ(run("attach 2020-03-05 '" + (dir / "photo.png").string() + "'").code, 0);
    }
    void put(const std::string& args) {
        const CliResult r = run("put " + args);
        ASSERT_EQ(r.code, 0) << r.err;
    }
    CliResult run(const std::string& args) { return RunCli(args, dir.path()); }

    testing::TempDir dir;
};

TEST_F(OnThisDayCommandTest, JsonRowsNewestFirstWithTheirFields) {
    const CliResult r = run("on-this-day 2026-03-05 --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["date"], "2024-03-05");
    EXPECT_EQ(rows[0]["years_ago"], 2);
    EXPECT_EQ(rows[0]["weekday"], "Tue");
    EXPECT_EQ(rows[0]["title"], "Market day");
    EXPECT_EQ(rows[0]["title_color"], "#FF0000");
    EXPECT_EQ(rows[0]["weather"], "Sunny");
    EXPECT_EQ(rows[0]["lines"], nlohmann::json::parse(R"(["Apples and cheese"])"));
    EXPECT_EQ(rows[1]["date"], "2020-03-05");
    EXPECT_EQ(rows[1]["has_text"], false);
    EXPECT_EQ(rows[1]["pictures"], 1);
    EXPECT_EQ(rows[1]["first_picture"]["name"], "photo.png");
    EXPECT_EQ(rows[2]["date"], "2019-03-05");
    EXPECT_TRUE(rows[2]["first_picture"].is_null());
}

TEST_F(OnThisDayCommandTest, LeapDayAndMonthNotesAsText) {
    CliResult r = run("on-this-day 2026-02-29");
    // 2026 has no 29 February: the date is refused as the other commands refuse it.
    EXPECT_EQ(r.code, 2);
    r = run("on-this-day 2028-02-29");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "2024-02-29 Thu  4 years ago  Leap\n"
              "    leap day\n"
              "2023-02-28 Tue  5 years ago (28 February: no 29th that year)  Common\n"
              "    the 28th\n");
    r = run("on-this-day 2026-06 --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["date"], "2021-06");
    EXPECT_TRUE(rows[0]["weekday"].is_null());
    EXPECT_EQ(run("on-this-day 2026-12-25").out, "");
}

TEST_F(OnThisDayCommandTest, MisuseExitsWithUsage) {
    CliResult r = run("on-this-day 2026");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("a day (YYYY-MM-DD) or a month"), std::string::npos) << r.err;
    EXPECT_EQ(run("on-this-day tomorrow").code, 2);
    // Without a date it is today's date: it runs, whatever today holds.
    EXPECT_EQ(run("on-this-day --json").code, 0);
}

}  // namespace
}  // namespace tl::cli
