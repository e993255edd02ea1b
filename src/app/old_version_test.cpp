#include "old_version.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "exchange/merge.h"
#include "store/codepage.h"
#include "support/old_data_files.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

namespace fs = std::filesystem;
using res::Answer;
using store::Date;
using testing::OldDiary;

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A current diary in data/ (an entry and a note on a date the old diary
// also has, attachments 1 and 3 there, a date of its own), and the
// folder the fresh file of the compression goes to.
class OldVersionTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dataFolder());
        fs::create_directories(fresh());
        file = std::make_unique<store::CDiaryDataFile>(store::PosixFileSystem::instance(), ui);
        file->SetPath(dataPath());
        file->SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(file->Create(), 1);
        ASSERT_EQ(file->Open(false), store::OpenResult::Opened);
        ASSERT_EQ(file->SaveEntry(kShared, u"current title", u"rain", u"current text"), 1);
        ASSERT_EQ(file->SaveEntry(kOwn, u"own day", u"", u"kept"), 1);
        const fs::path attach = dir.path() / "current.bin";
        std::ofstream(attach) << "the current attachment";
        ASSERT_EQ(file->AttachFile(attach.string(), kShared, 1), 1);
        ASSERT_EQ(file->AttachFile(attach.string(), kShared, 3), 1);
        store::StickyNote note;
        note.date = kShared;
        note.text = u"current note";
        ASSERT_EQ(file->SaveStickyNote(note), 1);
        context.own = file.get();
        context.freshFolder = fresh().string();
        context.askPassword = [this]() -> std::optional<std::u16string> {
            if (typed.empty()) return std::nullopt;
            std::u16string t = typed.front();
            typed.erase(typed.begin());
            return t;
        };
        context.converted = [this] { ++convertedCalls; };
    }

    fs::path dataFolder() const { return dir.path() / "data"; }
    fs::path dataPath() const { return dataFolder() / "Mrlwbk31.dat"; }
    fs::path fresh() const { return dir.path() / "fresh"; }

    static constexpr Date kShared{1999, 3, 5};
    static constexpr Date kOwn{2024, 1, 1};

    testing::TempDir dir;
    testing::RecordingUi ui;
    std::unique_ptr<store::CDiaryDataFile> file;
    OldVersionContext context;
    std::vector<std::u16string> typed;
    int convertedCalls = 0;
};

// Compares the converted data file with the old diary, entry by entry.
void ExpectHolds(store::CDiaryDataFile& f, const OldDiary& want) {
    for (const testing::OldEntry& e : want.entries) {
        SCOPED_TRACE(store::DateKey(e.date.year, e.date.month, e.date.day));
        store::EntryHeader h;
        ASSERT_NE(f.ReadEntryHeader(e.date, &h), 0u);
        EXPECT_EQ(h.title, e.title);
        EXPECT_EQ(h.weather, e.weather);
        EXPECT_EQ(h.colors, e.colors);
        std::u16string text;
        EXPECT_NE(f.ReadEntryText(e.date, text), 0u);
        EXPECT_EQ(text, e.text);
    }
    for (const store::StickyNote& n : want.notes) {
        SCOPED_TRACE(store::Utf16ToUtf8(n.text));
        store::StickyNote got;
        ASSERT_NE(f.FindStickyNote(n.date, &got), 0u);
        EXPECT_EQ(got.text, n.text);
        EXPECT_EQ(got.faceName, n.faceName);
        EXPECT_EQ(got.fontHeight, n.fontHeight);
        EXPECT_EQ(got.fontWeight, n.fontWeight);
        EXPECT_EQ(got.italic, n.italic);
        EXPECT_EQ(got.textColor, n.textColor);
        EXPECT_EQ(got.backColor, n.backColor);
        EXPECT_EQ(got.top, n.top);
        EXPECT_EQ(got.side, n.side);
        EXPECT_EQ(got.transparency, n.transparency);
        EXPECT_EQ(got.blink, n.blink);
        EXPECT_EQ(got.startSet, n.startSet);
    }
    for (const testing::OldAttachment& a : want.attachments) {
        SCOPED_TRACE(store::Utf16ToUtf8(a.name));
        store::AttachmentInfo info;
        const std::uint64_t unit = f.FindAttachment(0, a.date, a.order, &info);
        ASSERT_NE(unit, 0u);
        EXPECT_EQ(info.name, a.name);
        EXPECT_EQ(info.writeTime, a.writeTime);
        std::vector<std::uint8_t> data;
        ASSERT_EQ(f.ReadAttachmentData(unit, data), 1);
        EXPECT_EQ(data, a.bytes);
    }
}

class EveryGeneration : public OldVersionTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryGeneration, ConvertsEveryEntryNoteAndAttachmentAndKeepsTheOldFile) {
    const int index = GetParam();
    const OldDiary old = testing::SampleOldDiary(1);
    const fs::path oldPath = dataFolder() / kOldDataFileNames[index];
    testing::WriteOldDataFile(index, old, oldPath.string());
    const std::string oldBytes = Bytes(oldPath);

    ui.answer(Answer::Yes);
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 1);
    EXPECT_EQ(convertedCalls, 1);
    ASSERT_TRUE(file->IsOpen());
    ExpectHolds(*file, testing::ConvertedDiary(index, old));

    // Old content wins on the shared date; the current attachment 3 stays,
    // its attachment 1 was replaced; the own day is untouched.
    EXPECT_EQ(file->ListAttachments(kShared).size(), 3u);
    store::AttachmentInfo info;
    EXPECT_NE(file->FindAttachment(0, kShared, 3, &info), 0u);
    EXPECT_EQ(info.name, u"current.bin");
    std::u16string text;
    EXPECT_NE(file->ReadEntryText(kOwn, text), 0u);
    EXPECT_EQ(text, u"kept");
    // The weather list of the newest old generation is not carried over.
    store::WeatherList list;
    if (file->ReadWeatherList(list)) {
        EXPECT_NE(list[0], u"Old weather");
    }

    // Asked with the name; the old file kept whole under ".backup".
    ASSERT_FALSE(ui.events().empty());
    EXPECT_EQ(ui.events().front().text,
              res::FormatText(res::Msg::AskConvertOldData, {kOldDataFileNames[index]}));
    EXPECT_FALSE(fs::exists(oldPath));
    EXPECT_EQ(Bytes(KeptOldFilePath(oldPath.string())), oldBytes);
    EXPECT_EQ(ui.informations(),
              (std::vector<std::string>{res::FormatText(res::Msg::ConversionCompleteSavedAs,
                                                        {KeptOldFilePath(oldPath.string())}),
                                        std::string(res::Text(res::Msg::ConversionComplete))}));
    EXPECT_FALSE(fs::exists(exchange::WorkCopyPath(dataPath().string())));
    EXPECT_TRUE(fs::is_empty(fresh()));

    // Not offered again.
    ui.clear();
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 0);
    EXPECT_TRUE(ui.events().empty());
}

INSTANTIATE_TEST_SUITE_P(Generations, EveryGeneration, ::testing::Range(4, 9));

TEST_F(OldVersionTest, PasswordIsAskedCarriedOverAndThreeWrongOnesChangeNothing) {
    const OldDiary old = testing::SampleOldDiary(2, u"secret");
    const fs::path oldPath = dataFolder() / "Mrlwbk23.dat";
    testing::WriteOldDataFile(7, old, oldPath.string());
    const std::string dataBefore = Bytes(dataPath());

    ui.answer(Answer::Yes);
    typed = {u"one", u"two", u"three"};
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 0);
    EXPECT_EQ(Bytes(dataPath()), dataBefore);
    EXPECT_TRUE(fs::exists(oldPath));
    const auto warnings = ui.warnings();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), res::Text(res::Msg::PasswordIncorrect)),
              3);
    EXPECT_EQ(warnings.back(), res::Text(res::Msg::ConversionFailure));
    EXPECT_EQ(ui.informations().front(), res::Text(res::Msg::OldDataPassword));

    // A cancelled prompt ends it the same way.
    ui.clear();
    ui.answer(Answer::Yes);
    typed.clear();
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 0);
    EXPECT_EQ(Bytes(dataPath()), dataBefore);

    ui.clear();
    ui.answer(Answer::Yes);
    typed = {u"wrong", u"secret"};
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 1);
    EXPECT_EQ(file->GetPassword(), u"secret");
    ExpectHolds(*file, testing::ConvertedDiary(7, old));
}

TEST_F(OldVersionTest, AskedInOrderAndCancelOrDamageLeaveEverythingAsItWas) {
    testing::WriteOldDataFile(5, testing::SampleOldDiary(3),
                              (dataFolder() / "Mrlwbk21.dat").string());
    testing::WriteOldDataFile(8, testing::SampleOldDiary(4),
                              (dataFolder() / "Mrlwbk30.dat").string());
    const std::string dataBefore = Bytes(dataPath());

    // No to the first, then a cancel in the second's progress.
    ui.answer(Answer::No);
    ui.answer(Answer::Yes);
    ui.cancelAtStep(3);
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 0);
    std::vector<std::string> asked;
    for (const auto& e : ui.events())
        if (e.kind == "ask") asked.push_back(e.text);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NE(asked[0].find("Mrlwbk21.dat"), std::string::npos);
    EXPECT_NE(asked[1].find("Mrlwbk30.dat"), std::string::npos);
    EXPECT_EQ(ui.informations().back(), res::Text(res::Msg::ProcessingAborted));
    EXPECT_TRUE(ui.warnings().empty());  // a cancel is no failure
    EXPECT_EQ(Bytes(dataPath()), dataBefore);
    EXPECT_TRUE(fs::exists(dataFolder() / "Mrlwbk30.dat"));
    EXPECT_FALSE(fs::exists(exchange::WorkCopyPath(dataPath().string())));

    // A damaged old file: told, the search stops, nothing changes.
    { std::ofstream(dataFolder() / "Mrlwbk21.dat", std::ios::binary) << std::string(512, 'z'); }
    ui.cancelAtStep(0);
    ui.clear();
    ui.answer(Answer::Yes);
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 0);
    EXPECT_EQ(ui.warnings(),
              (std::vector<std::string>{std::string(res::Text(res::Msg::DiaryDataIncorrect)),
                                        std::string(res::Text(res::Msg::ConversionFailure))}));
    EXPECT_EQ(Bytes(dataPath()), dataBefore);
}

TEST_F(OldVersionTest, TwoFilesConvertedTellTheirCompletionInTurn) {
    const fs::path first = dataFolder() / "Mrlwbk20.dat";
    const fs::path second = dataFolder() / "Mrlwbk30.dat";
    testing::WriteOldDataFile(4, testing::SampleOldDiary(3), first.string());
    testing::WriteOldDataFile(8, testing::SampleOldDiary(4), second.string());
    // A kept file of the first is there already and is replaced.
    { std::ofstream(KeptOldFilePath(first.string())) << "an earlier one"; }
    ui.answer(Answer::Yes);
    ui.answer(Answer::Yes);
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 1);
    EXPECT_EQ(convertedCalls, 2);
    const std::string complete(res::Text(res::Msg::ConversionComplete));
    EXPECT_EQ(ui.informations(),
              (std::vector<std::string>{res::FormatText(res::Msg::ConversionCompleteSavedAs,
                                                        {KeptOldFilePath(first.string())}),
                                        complete,
                                        res::FormatText(res::Msg::ConversionCompleteSavedAs,
                                                        {KeptOldFilePath(second.string())}),
                                        complete}));
    EXPECT_NE(Bytes(KeptOldFilePath(first.string())), "an earlier one");
}

TEST_F(OldVersionTest, ATextLongerThanItsRecordIsDamageNotARead) {
    testing::OldDiary old;
    old.entries.push_back({{2000, 1, 2}, u"t", u"", u"short", 0, {}});
    const fs::path oldPath = dataFolder() / "Mrlwbk22.dat";
    testing::WriteOldDataFile(6, old, oldPath.string());
    // Make the text's length claim far more than its one unit.
    store::CDiaryDataFile f;
    f.SetPath(oldPath.string());
    f.SetKey(store::DeriveDataFileKey());
    ASSERT_EQ(f.Open(false), store::OpenResult::Opened);
    store::RecordHeader h;
    const std::uint64_t unit = f.FindNext(store::kKindPlainText, 0, &h);
    ASSERT_NE(unit, 0u);
    std::vector<std::uint8_t> image(store::kUnitSize);
    ASSERT_EQ(f.ReadBytes(unit, image.data(), image.size()), image.size());
    store::PutU32(&image[24], 100000);
    f.FreeRecord(unit);
    ASSERT_EQ(f.WriteRecord(image), 1);
    f.Close();
    const std::string dataBefore = Bytes(dataPath());

    ui.answer(Answer::Yes);
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 0);
    EXPECT_EQ(ui.warnings().front(), res::Text(res::Msg::DiaryDataIncorrect));
    EXPECT_EQ(Bytes(dataPath()), dataBefore);
    EXPECT_TRUE(fs::exists(oldPath));
}

TEST_F(OldVersionTest, WithoutAConverterTheOldestFilesAreToldAndTheNewerStillConverted) {
    { std::ofstream(dataFolder() / "Mrlwtx14.mdb") << "old database"; }
    const OldDiary old = testing::SampleOldDiary(5);
    testing::WriteOldDataFile(8, old, (dataFolder() / "Mrlwbk30.dat").string());
    context.converterPath = (dir.path() / "no-such-converter").string();
    ui.answer(Answer::Yes);
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 0);
    EXPECT_EQ(ui.warnings(),
              (std::vector<std::string>{std::string(res::Text(res::Msg::ConverterNotFound)),
                                        std::string(res::Text(res::Msg::ConversionFailure))}));
    // Declined this time, the newer file is converted.
    ui.clear();
    ui.answer(Answer::No);
    ui.answer(Answer::Yes);
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 1);
    ExpectHolds(*file, testing::ConvertedDiary(8, old));
    EXPECT_TRUE(fs::exists(dataFolder() / "Mrlwtx14.mdb"));
}

// The real protocol against the test converter in a child process.
class ConverterTest : public OldVersionTest {
protected:
    void SetUp() override {
        OldVersionTest::SetUp();
        context.converterPath = TL_TEST_CONVERTER;
        context.channelSuffix = "-test" + std::to_string(::getpid());
    }
    // An old file of the oldest generations: the scenario the converter plays.
    fs::path scenario(const std::string& steps) {
        const fs::path p = dataFolder() / "Mrlwbk17.dat";
        std::ofstream(p) << steps;
        return p;
    }
    // The steps of the conversion's window (the compression has its own).
    std::vector<int> steps() const {
        std::vector<int> out;
        for (const auto& e : ui.events()) {
            if (e.kind == "open" && e.text == res::Text(res::Msg::DuringCompression)) break;
            if (e.kind == "step") out.push_back(std::stoi(e.text));
        }
        return out;
    }
};

TEST_F(ConverterTest, ProgressMessageAndPasswordThenTheDiaryItWrote) {
    const fs::path old = scenario(
        "progress 50\nmessage Reading the old database\npassword 秘密\nprogress 200\n"
        "diary 9\n");
    ui.answer(Answer::Yes);
    typed = {u"secret", u"秘密"};
    EXPECT_EQ(FindOldData(dataFolder().string(), context), 1);
    ExpectHolds(*file, testing::ConvertedDiary(kConverterLayoutIndex, testing::SampleOldDiary(9)));

    const auto warnings = ui.warnings();
    EXPECT_NE(std::find(warnings.begin(), warnings.end(), "Reading the old database"),
              warnings.end());
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), res::Text(res::Msg::PasswordIncorrect)),
              1);
    // The converter's half, then the second half of the same window.
    const std::vector<int> s = steps();
    ASSERT_FALSE(s.empty());
    EXPECT_NE(std::find(s.begin(), s.end(), 25), s.end());
    EXPECT_EQ(s.back(), 100);
    EXPECT_TRUE(std::all_of(s.begin() + 2, s.end(), [](int p) { return p >= 50; }));
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(dataFolder() / "Mrlwbk17.backup"));
    // The kept name, then the completion.
    const std::vector<std::string> told = ui.informations();
    ASSERT_GE(told.size(), 2u);
    EXPECT_EQ(
        told[told.size() - 2],
        res::FormatText(res::Msg::OldDataSavedAs, {(dataFolder() / "Mrlwbk17.backup").string()}));
    EXPECT_EQ(told.back(), res::Text(res::Msg::ConversionComplete));
    EXPECT_FALSE(fs::exists(fresh() / kConverterTempName));
}

TEST_F(ConverterTest, AWrongOrCancelledPasswordCancelOrCrashChangesNothing) {
    const std::string dataBefore = Bytes(dataPath());
    struct Case {
        const char* steps;
        std::vector<std::u16string> typed;
        int cancelAt;
        int result;
    };
    const Case cases[] = {
        {"password pw\ndiary 1\n", {u"a", u"b", u"c"}, 0, 0},
        {"password pw\ndiary 1\n", {}, 0, 0},
        {"progress 10\nwait-cancel\ndiary 1\n", {}, 3, 2},
        {"progress 10\ncrash\n", {}, 0, 0},
        {"progress 10\ncrash-locked\n", {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        const fs::path old = scenario(c.steps);
        ui.clear();
        ui.answer(Answer::Yes);
        ui.cancelAtStep(c.cancelAt);
        typed = c.typed;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ConvertExternally(3, old.string(), context), c.result);
        // A converter that died holding the lock holds nobody for long.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        EXPECT_EQ(Bytes(dataPath()), dataBefore);
        EXPECT_TRUE(fs::exists(old));
        EXPECT_FALSE(fs::exists(fresh() / kConverterTempName));
        EXPECT_FALSE(fs::exists(exchange::WorkCopyPath(dataPath().string())));
        if (c.result == 2) {
            EXPECT_EQ(ui.informations().back(), res::Text(res::Msg::ProcessingAborted));
        }
        // The window is closed whatever happened.
        ASSERT_FALSE(ui.events().empty());
        int open = 0;
        for (const auto& e : ui.events()) open += e.kind == "open" ? 1 : e.kind == "close" ? -1 : 0;
        EXPECT_LE(open, 0);
    }
}

}  // namespace
}  // namespace tl::app
