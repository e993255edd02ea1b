// Runs the real tallyleaf-cli on attachments and sticky notes.

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

namespace fs = std::filesystem;
using nlohmann::json;

class AttachmentCliTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string data = (dir / "Mrlwbk31.dat").string();
    fs::path work = dir / "work";
    int code = -1;
    std::string out, err;

    void SetUp() override {
        fs::create_directory(work);
        ASSERT_EQ(run("create"), 0) << err;
    }
    // Runs the tool on the data file from the work folder; returns its exit code.
    int run(const std::string& args) {
        CliResult r = RunCli("--data '" + data + "' " + args, dir.path(), work);
        code = r.code;
        out = r.out;
        err = r.err;
        return code;
    }
    std::string file(const std::string& name, const std::string& bytes) {
        std::ofstream(work / name, std::ios::binary) << bytes;
        return "'" + (work / name).string() + "'";
    }
    // Gives the date's first attachment another stored name, as a damaged or
    // hostile data file might hold.
    void renameStored(store::Date date, std::u16string_view name) {
        store::CDiaryDataFile f;
        f.SetPath(data);
        f.SetKey(store::DeriveDataFileKey());
        ASSERT_EQ(f.Open(false), store::OpenResult::Opened);
        store::AttachmentInfo info;
        const std::uint64_t u = f.FindAttachment(0, date, 0, &info);
        ASSERT_NE(u, 0u);
        std::vector<std::uint8_t> image(info.units * store::kUnitSize);
        ASSERT_EQ(f.ReadBytes(u, image.data(), image.size()), image.size());
        store::PutText(&image[128], store::kAttachmentNameMax, name);
        f.FreeRecord(u);
        ASSERT_EQ(f.WriteRecord(image), 1);
    }
};

TEST_F(AttachmentCliTest, AttachListExtractAndDetach) {
    const std::string text(5000, 't');
    ASSERT_EQ(run("attach 2024-03-05 " + file("a.txt", text) + " " + file("b.zip", "PK")), 0)
        << err;
    EXPECT_NE(out.find("2024-03-05 #2  b.zip  2 bytes"), std::string::npos) << out;

    ASSERT_EQ(run("--json attachments 2024-03-05"), 0) << err;
    json list = json::parse(out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["name"], "a.txt");
    EXPECT_EQ(list[0]["compressed"], true);
    EXPECT_EQ(list[1]["order"], 2);
    EXPECT_EQ(list[1]["compressed"], false);
    ASSERT_EQ(run("--json attachments 2024-03"), 0);
    EXPECT_EQ(json::parse(out).size(), 0u);

    fs::create_directory(dir / "outdir");
    ASSERT_EQ(run("extract 2024-03-05 1 -o '" + (dir / "outdir").string() + "'"), 0) << err;
    EXPECT_EQ(Slurp(dir / "outdir" / "a.txt"), text);
    // Times are stored in whole seconds.
    EXPECT_EQ(
        std::chrono::floor<std::chrono::seconds>(fs::last_write_time(dir / "outdir" / "a.txt")),
        std::chrono::floor<std::chrono::seconds>(fs::last_write_time(work / "a.txt")));
    // An existing file is replaced only when the user agrees.
    EXPECT_EQ(run("extract 2024-03-05 2 -o '" + (dir / "outdir" / "a.txt").string() + "'"), 1);
    EXPECT_EQ(Slurp(dir / "outdir" / "a.txt"), text);
    ASSERT_EQ(run("--yes extract 2024-03-05 2 -o '" + (dir / "outdir" / "a.txt").string() + "'"), 0)
        << err;
    EXPECT_EQ(Slurp(dir / "outdir" / "a.txt"), "PK");

    ASSERT_EQ(run("detach 2024-03-05 1"), 0) << err;
    EXPECT_EQ(run("detach 2024-03-05 1"), 1);
    EXPECT_NE(err.find("no attachment #1 on 2024-03-05"), std::string::npos) << err;
    ASSERT_EQ(run("--json attachments 2024-03-05"), 0);
    EXPECT_EQ(json::parse(out).size(), 1u);
    // The next attachment follows the largest order, not the count.
    ASSERT_EQ(run("attach 2024-03-05 " + file("c.txt", "c")), 0) << err;
    EXPECT_NE(out.find("#3  c.txt"), std::string::npos) << out;
}

TEST_F(AttachmentCliTest, RefusalsAndMisuse) {
    EXPECT_EQ(run("attach 2024-03-05 " + file("empty.txt", "")), 1);
    EXPECT_NE(err.find("Empty file can not be attached."), std::string::npos) << err;
    EXPECT_EQ(run("attach 2024-03-05 '" + dir.path().string() + "'"), 1);
    EXPECT_NE(err.find("[" + dir.path().string() + "]s not a file.\nAttachment failure."),
              std::string::npos)
        << err;
    EXPECT_EQ(run("attach 2024-02-30 " + file("a.txt", "a")), 2);
    EXPECT_EQ(run("attach 2024-03-05"), 2);
    EXPECT_EQ(run("extract 2024-03-05 0"), 2);
    EXPECT_EQ(run("extract 2024-03-05 x"), 2);
    EXPECT_EQ(run("extract 2024-03-05 1"), 1);
    EXPECT_EQ(run("--json attachments 2024-03-05"), 0);
    EXPECT_EQ(json::parse(out).size(), 0u) << "nothing was attached";
}

TEST_F(AttachmentCliTest, StoredNamesCannotWriteOutsideTheTargetFolder) {
    ASSERT_EQ(run("attach 2024-03-05 " + file("a.txt", "payload")), 0) << err;
    renameStored({2024, 3, 5}, u"../escaped.txt");
    ASSERT_EQ(run("extract 2024-03-05 1"), 0) << err;
    EXPECT_FALSE(fs::exists(dir / "escaped.txt"));
    EXPECT_EQ(Slurp(work / ".._escaped.txt"), "payload");

    renameStored({2024, 3, 5}, u"..");
    fs::create_directory(dir / "target");
    ASSERT_EQ(run("extract 2024-03-05 1 -o '" + (dir / "target").string() + "'"), 0) << err;
    EXPECT_EQ(Slurp(dir / "target" / "_"), "payload");
}

TEST_F(AttachmentCliTest, StickyNotesArePutChangedListedAndPeeledOff) {
    ASSERT_EQ(run("sticky 2024-03 --text rent"), 0) << err;
    ASSERT_EQ(run("sticky 2024"), 0) << err;
    ASSERT_EQ(run("sticky 2024-03-05"), 0) << err;
    ASSERT_EQ(run("--json stickies"), 0) << err;
    json notes = json::parse(out);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0]["date"], "2024-03");
    EXPECT_EQ(notes[0]["text"], "rent");
    EXPECT_EQ(notes[1]["text"], "2024");
    EXPECT_EQ(notes[2]["text"], "03-05-2024");
    EXPECT_EQ(notes[2]["back_color"], 0x80FFFF);

    // Changing the text keeps the rest; a run without --text keeps the text.
    ASSERT_EQ(run("sticky 2024-03"), 0) << err;
    ASSERT_EQ(run("stickies"), 0);
    EXPECT_NE(out.find("2024-03  rent"), std::string::npos) << out;
    EXPECT_EQ(run("sticky 2024-03 --text ''"), 1);
    EXPECT_NE(err.find("Enter text on the sticky note."), std::string::npos) << err;
    EXPECT_EQ(run("sticky 2024-03 --text 123456789012345678901"), 1);
    EXPECT_NE(err.find("Text on the sticky note is too long."), std::string::npos) << err;

    ASSERT_EQ(run("unsticky 2024-03"), 0) << err;
    EXPECT_EQ(run("unsticky 2024-03"), 1);
    ASSERT_EQ(run("--json stickies"), 0);
    EXPECT_EQ(json::parse(out).size(), 2u);
}

TEST_F(AttachmentCliTest, ANotesPlaceColoursAndBlinkTermAreSetAsTheDialogsSetThem) {
    ASSERT_EQ(run("sticky 2024-12-24 --side right --top 120 --color '#FF0000' "
                  "--background 00FF00 --transparency 30 --blink all "
                  "--from 2024-12-20 --to 2025-01-06"),
              0)
        << err;
    ASSERT_EQ(run("--json stickies"), 0) << err;
    json note = json::parse(out).at(0);
    EXPECT_EQ(note["side"], "right");
    EXPECT_EQ(note["top"], 120);
    EXPECT_EQ(note["text_color"], 0x0000FF);
    EXPECT_EQ(note["back_color"], 0x00FF00);
    EXPECT_EQ(note["transparency"], 30);
    EXPECT_EQ(note["blink"], 2);
    EXPECT_EQ(note["blink_from"], "2024-12-20");
    EXPECT_EQ(note["blink_to"], "2025-01-06");

    // An end before the start is refused and changes nothing; '' clears a date.
    EXPECT_EQ(run("sticky 2024-12-24 --to 2024-12-19"), 2);
    EXPECT_NE(err.find("Magnitude relation of blinking period is incorrect."), std::string::npos)
        << err;
    ASSERT_EQ(run("sticky 2024-12-24 --from ''"), 0) << err;
    ASSERT_EQ(run("--json stickies"), 0) << err;
    note = json::parse(out).at(0);
    EXPECT_TRUE(note["blink_from"].is_null());
    EXPECT_EQ(note["blink_to"], "2025-01-06");
    EXPECT_EQ(run("sticky 2024-12-24 --transparency 100"), 2);
    EXPECT_EQ(run("sticky 2024-12-24 --from 2024-12"), 2);
}

}  // namespace
}  // namespace tl::cli
