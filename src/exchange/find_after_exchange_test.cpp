// What the search keeps of the own data file stays exact through an import
// (saves into the open file) and a merge (the file replaced and reopened).

#include <gtest/gtest.h>

#include "import.h"
#include "merge.h"
#include "support/temp_dir.h"
#include "test_diary.h"

namespace tl::exchange {
namespace {

namespace fs = std::filesystem;

class FindAfterExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "own");
        fs::create_directories(dir / "in");
        own = testing::NewDiary(dir / "own" / "Mrlwbk31.dat", ui);
    }
    // Every date matching the word, as the hit list shows them.
    std::vector<std::string> dates(std::u16string word) {
        own->SetSearchSettings({std::move(word), u"", false, false, true});
        std::vector<std::string> out;
        store::MatchScan scan;
        own->FindMatches(scan, [&](store::FindHit&& h) { out.push_back(store::DateText(h.date)); });
        return out;
    }

    tl::testing::TempDir dir;
    tl::testing::RecordingUi ui;
    std::unique_ptr<store::CDiaryDataFile> own;
};

TEST_F(FindAfterExchangeTest, ImportedTextsReplaceWhatWasKept) {
    ASSERT_EQ(own->SaveEntry({2024, 3, 5}, u"", u"", u"an old heron"), 1);
    ASSERT_EQ(dates(u"heron"), std::vector<std::string>{"2024-03-05"});
    ASSERT_GT(own->SearchCacheBytes(), 0u);
    testing::WriteFile(dir / "in" / "2024-03-05.txt", "a new swan");
    testing::WriteFile(dir / "in" / "2024-03-07.txt", "a heron again");
    ASSERT_EQ(ImportData(*own, (dir / "in").string(), Encoding::Ansi), 1);
    EXPECT_EQ(dates(u"heron"), std::vector<std::string>{"2024-03-07"});
    EXPECT_EQ(dates(u"swan"), std::vector<std::string>{"2024-03-05"});
}

TEST_F(FindAfterExchangeTest, AMergedFileIsSearchedAsItIsNow) {
    ASSERT_EQ(own->SaveEntry({2024, 3, 5}, u"", u"", u"own heron"), 1);
    ASSERT_EQ(own->SaveEntry({2024, 3, 6}, u"", u"", u"own crane"), 1);
    ASSERT_EQ(dates(u"heron"), std::vector<std::string>{"2024-03-05"});
    fs::create_directories(dir / "src");
    {
        auto source = testing::NewDiary(dir / "src" / "Mrlwbk31.dat", ui);
        ASSERT_EQ(source->SaveEntry({2024, 3, 5}, u"", u"", u"merged swan"), 1);
        ASSERT_EQ(source->SaveEntry({2024, 3, 8}, u"Heron", u"", u"x"), 1);
    }
    ui.answer(res::Answer::Yes);
    ASSERT_EQ(RunMerge(*own, (dir / "src").string(), false, {}), 1);
    EXPECT_EQ(dates(u"heron"), std::vector<std::string>{"2024-03-08"});
    EXPECT_EQ(dates(u"crane"), std::vector<std::string>{"2024-03-06"});
    EXPECT_EQ(dates(u"swan"), std::vector<std::string>{"2024-03-05"});
}

}  // namespace
}  // namespace tl::exchange
