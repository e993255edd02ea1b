#include "exchange_forms.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tl::app {
namespace {

using exchange::Encoding;

class ExportFormTest : public ::testing::Test {
protected:
    ExportFormTest() { form.folder = dir.path().string(); }
    ExportCheck withTerm(exchange::DateFields from, exchange::DateFields to) {
        form.specify = true;
        form.from = std::move(from);
        form.to = std::move(to);
        return CheckExportForm(form);
    }
    tl::testing::TempDir dir;
    ExportForm form;
};

TEST_F(ExportFormTest, FolderIsTrimmedShownWithOneSeparatorAndMustExist) {
    form.folder = "  " + dir.path().string() + "//  ";
    ExportCheck c = CheckExportForm(form);
    ASSERT_TRUE(c.request);
    EXPECT_EQ(c.request->folder, dir.path().string());
    EXPECT_EQ(c.folderText, dir.path().string() + "/");

    form.folder = "   ";
    c = CheckExportForm(form);
    EXPECT_EQ(c.error, res::Msg::SpecifyFolderName);
    EXPECT_EQ(c.field, ExportField::Folder);
    EXPECT_FALSE(c.request);

    form.folder = (dir.path() / "missing").string();
    c = CheckExportForm(form);
    EXPECT_EQ(c.error, res::Msg::FolderNameIncorrect);
    EXPECT_EQ(c.field, ExportField::Folder);

    // A file is not a folder.
    form.folder = (dir.path() / "file").string();
    {
        std::FILE* f = std::fopen(form.folder.c_str(), "w");
        std::fclose(f);
    }
    EXPECT_EQ(CheckExportForm(form).error, res::Msg::FolderNameIncorrect);
}

TEST_F(ExportFormTest, WithoutTermEverythingAndTheDateFieldsAreNotLookedAt) {
    form.from = {"1899", "2", "30"};
    ExportCheck c = CheckExportForm(form);
    ASSERT_TRUE(c.request);
    EXPECT_EQ(c.request->fromKey, "00000000");
    EXPECT_EQ(c.request->toKey, "99999999");
    EXPECT_TRUE(c.request->texts);
    EXPECT_TRUE(c.request->attachments);
    EXPECT_EQ(c.request->encoding, Encoding::Ansi);
}

TEST_F(ExportFormTest, TermKeysCoverNotesOfOpenMonthsAndYears) {
    ExportCheck c = withTerm({"2023", "", ""}, {"2024", "", ""});
    ASSERT_TRUE(c.request);
    EXPECT_EQ(c.request->fromKey, "20230000");
    EXPECT_EQ(c.request->toKey, "20249999");
    c = withTerm({"", "", ""}, {"2024", "2", "29"});  // leap year
    ASSERT_TRUE(c.request);
    EXPECT_EQ(c.request->fromKey, "00000000");
    EXPECT_EQ(c.request->toKey, "20240229");
    c = withTerm({"1900", "1", "1"}, {"1900", "12", ""});
    ASSERT_TRUE(c.request);
    EXPECT_EQ(c.request->toKey, "19001299");
}

TEST_F(ExportFormTest, EachWrongDateNamesItsMessageAndField) {
    struct Case {
        exchange::DateFields from, to;
        res::Msg msg;
        ExportField field;
    } cases[] = {
        // 1900 was not a leap year.
        {{"1900", "2", "29"}, {}, res::Msg::DayIncorrect, ExportField::FromDay},
        {{}, {"2023", "2", "29"}, res::Msg::DayIncorrect, ExportField::ToDay},
        {{"1899", "12", "31"}, {}, res::Msg::Specify1900OrLater, ExportField::FromYear},
        {{}, {"", "3", "1"}, res::Msg::EnterYear, ExportField::ToYear},
        {{"2024", "", "5"}, {}, res::Msg::EnterMonth, ExportField::FromMonth},
        {{}, {"2024", "13", ""}, res::Msg::MonthIncorrect, ExportField::ToMonth},
        {{"2024", "4", "31"}, {}, res::Msg::DayIncorrect, ExportField::FromDay},
        {{}, {"2024", "x", ""}, res::Msg::MonthIncorrect, ExportField::ToMonth},
        // The end before the start, also within one month.
        {{"2024", "", ""}, {"2023", "", ""}, res::Msg::StartAfterEnd, ExportField::FromYear},
        {{"2024", "3", "6"}, {"2024", "3", "5"}, res::Msg::StartAfterEnd, ExportField::FromYear},
    };
    for (const Case& c : cases) {
        const ExportCheck r = withTerm(c.from, c.to);
        EXPECT_FALSE(r.request);
        ASSERT_TRUE(r.error) << c.from.year << c.to.year;
        EXPECT_EQ(*r.error, c.msg) << c.from.year << "/" << c.to.year;
        EXPECT_EQ(r.field, c.field) << c.from.year << "/" << c.to.year;
    }
}

TEST_F(ExportFormTest, AFolderMistakeComesBeforeTheDates) {
    form.folder = "";
    EXPECT_EQ(withTerm({"1899", "", ""}, {}).error, res::Msg::SpecifyFolderName);
}

TEST(ExchangeSettingsTest, DialogsStartFromTheStoredValues) {
    AppSettings s;
    EXPECT_EQ(ExportForm::FromSettings(s).folder, "");
    s.exportTo.location = "/home/u/out";
    const ExportForm e = ExportForm::FromSettings(s);
    EXPECT_EQ(e.folder, "/home/u/out/");
    EXPECT_TRUE(e.texts && e.attachments && !e.specify);

    s.importFrom = {"/home/u/in", 2};
    ImportForm i = ImportForm::FromSettings(s);
    EXPECT_EQ(i.folder, "/home/u/in/");
    EXPECT_EQ(i.encoding, Encoding::RichText);
    for (int wrong : {3, -1, 1000}) {
        s.importFrom.textKind = wrong;
        EXPECT_EQ(ImportForm::FromSettings(s).encoding, Encoding::Ansi) << wrong;
    }

    s.merge.location = "/m/b";
    s.merge.history = {"/m/b", "", "/m/a", "", ""};
    s.merge.emptyAfterMerge = 1;
    const MergeForm m = MergeForm::FromSettings(s);
    EXPECT_EQ(m.folder, "/m/b/");
    EXPECT_EQ(m.choices, (std::vector<std::string>{"/m/b/", "/m/a/"}));
    EXPECT_TRUE(m.emptyAfter);
}

TEST(ExchangeSettingsTest, StartStoresWhatTheNextDialogShows) {
    AppSettings s;
    s.merge.history = {"/a", "/b", "/c", "/d", "/e"};
    StoreMergeSettings(s, "/c", false);
    EXPECT_EQ(s.merge.history, (LocationHistory{"/c", "/a", "/b", "/d", "/e"}));
    StoreMergeSettings(s, "/f", true);
    EXPECT_EQ(s.merge.history, (LocationHistory{"/f", "/c", "/a", "/b", "/d"}));
    EXPECT_EQ(s.merge.location, "/f");
    EXPECT_EQ(s.merge.emptyAfterMerge, 1);
    EXPECT_EQ(MergeForm::FromSettings(s).choices.front(), "/f/");

    StoreImportSettings(s, "/in", Encoding::Unicode);
    EXPECT_EQ(s.importFrom.location, "/in");
    EXPECT_EQ(s.importFrom.textKind, 1);
    exchange::ExportRequest r;
    r.folder = "/out";
    StoreExportSettings(s, r);
    EXPECT_EQ(ExportForm::FromSettings(s).folder, "/out/");
}

}  // namespace
}  // namespace tl::app
