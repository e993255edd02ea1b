#include "password.h"

#include <gtest/gtest.h>

#include "scripted_dialogs.h"
#include "support/recording_ui.h"

namespace tl::app {
namespace {

class PasswordTest : public ::testing::Test {
protected:
    testing::RecordingUi ui;
    ScriptedDialogs dialogs;
    void TearDown() override { EXPECT_FALSE(dialogs.unexpected()); }
};

TEST_F(PasswordTest, ThirdTryMayStillBeRight) {
    dialogs.password(u"one");
    dialogs.password(u"two");
    dialogs.password(u"diary");
    EXPECT_TRUE(AskPassword(u"diary", dialogs, ui));
    EXPECT_EQ(ui.warnings(), (std::vector<std::string>(2, "Password is incorrect.")));
}

TEST_F(PasswordTest, ThreeWrongTriesOrCancelStop) {
    dialogs.password(u"Diary");  // case matters
    dialogs.password(u"diary ");
    dialogs.password(u"");
    EXPECT_FALSE(AskPassword(u"diary", dialogs, ui));
    EXPECT_EQ(ui.warnings().size(), 3u);
    EXPECT_TRUE(dialogs.scriptUsedUp());

    dialogs.passwordCancel();
    EXPECT_FALSE(AskPassword(u"diary", dialogs, ui));
    EXPECT_EQ(ui.warnings().size(), 3u);
}

TEST_F(PasswordTest, SwitchingToAFileWithoutPasswordGoesOn) {
    dialogs.passwordDataFileSetting();
    int switches = 0;
    EXPECT_TRUE(AskPassword(u"diary", dialogs, ui, [&] { return ++switches, std::u16string(); }));
    EXPECT_EQ(switches, 1);
    EXPECT_TRUE(dialogs.lastOfferedDataFileSetting());
}

TEST_F(PasswordTest, SwitchingToAFileWithPasswordExpectsThatOne) {
    dialogs.passwordDataFileSetting();
    dialogs.password(u"diary");
    dialogs.passwordDataFileSetting();  // a failed switch keeps the prompt
    dialogs.password(u"other");
    bool first = true;
    auto switchFile = [&]() -> std::optional<std::u16string> {
        if (!first) return std::nullopt;
        first = false;
        return u"other";
    };
    EXPECT_TRUE(AskPassword(u"diary", dialogs, ui, switchFile));
    EXPECT_EQ(ui.warnings().size(), 1u);
}

TEST_F(PasswordTest, PromptWithoutSwitchHidesTheButton) {
    dialogs.password(u"diary");
    EXPECT_TRUE(AskPassword(u"diary", dialogs, ui));
    EXPECT_FALSE(dialogs.lastOfferedDataFileSetting());
}

TEST_F(PasswordTest, ChangeChecksOldThenConfirmThenAsksBeforeRemoving) {
    EXPECT_EQ(CheckPasswordChange(u"diary", {u"Diary", u"new", u"new"}, ui), ChangeCheck::FocusOld);
    EXPECT_EQ(CheckPasswordChange(u"diary", {u"diary", u"new", u"New"}, ui), ChangeCheck::FocusNew);
    EXPECT_EQ(ui.warnings(), (std::vector<std::string>{"Current password is incorrect.",
                                                       "Both passwords are not same."}));
    EXPECT_EQ(CheckPasswordChange(u"diary", {u"diary", u"new", u"new"}, ui), ChangeCheck::Accept);
    EXPECT_EQ(CheckPasswordChange(u"", {u"", u"first", u"first"}, ui), ChangeCheck::Accept);

    ui.answer(res::Answer::No);
    EXPECT_EQ(CheckPasswordChange(u"diary", {u"diary", u"", u""}, ui), ChangeCheck::StayOpen);
    ui.answer(res::Answer::Yes);
    EXPECT_EQ(CheckPasswordChange(u"diary", {u"diary", u"", u""}, ui), ChangeCheck::Accept);
    EXPECT_EQ(ui.events().back().text, "Do you want to disable password?");
    EXPECT_FALSE(ui.unexpectedQuestion());
}

}  // namespace
}  // namespace tl::app
