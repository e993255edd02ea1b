#include "command_table.h"

#include <gtest/gtest.h>

#include <QKeySequence>
#include <algorithm>
#include <map>
#include <string>

namespace tl::frame {
namespace {

using res::Cmd;

std::vector<Cmd> itemsOf(MenuKind kind, std::string_view popup) {
    std::vector<Cmd> out;
    for (const Popup& p : Menu(kind))
        if (p.title == popup)
            for (const MenuItem& item : p.items) out.push_back(item.separator() ? Cmd{} : item.cmd);
    return out;
}

TEST(MenuTest, EntryMenuFileHasEveryItemInOrder) {
    const std::vector<Cmd> expected = {Cmd::Today,
                                       Cmd::OpenSpecified,
                                       Cmd::FileClose,
                                       Cmd::FileSaveAs,
                                       Cmd::DeleteEntry,
                                       Cmd::PreviousEntry,
                                       Cmd::NextEntry,
                                       Cmd{},
                                       Cmd::CopyData,
                                       Cmd::Export,
                                       Cmd::Import,
                                       Cmd::Merge,
                                       Cmd::MergeConflicts,
                                       Cmd::Optimise,
                                       Cmd::CompressAttachments,
                                       Cmd::ImportOldVersion,
                                       Cmd{},
                                       Cmd::ChangePassword,
                                       Cmd::ManageAttachments,
                                       Cmd{},
                                       Cmd::FilePrintPreview,
                                       Cmd{},
                                       Cmd::AppExit};
    EXPECT_EQ(itemsOf(MenuKind::Entry, "&File"), expected);
}

TEST(MenuTest, MenuWithoutEntryLacksTheEntryItems) {
    const std::vector<Cmd> file = itemsOf(MenuKind::NoEntry, "&File");
    for (Cmd entryOnly : {Cmd::FileClose, Cmd::FileSaveAs, Cmd::DeleteEntry, Cmd::FilePrintPreview})
        EXPECT_EQ(std::count(file.begin(), file.end(), entryOnly), 0);
    EXPECT_EQ(file.size() + 5, itemsOf(MenuKind::Entry, "&File").size());
    EXPECT_EQ(itemsOf(MenuKind::NoEntry, "&Edit"), std::vector<Cmd>{Cmd::Find});
    EXPECT_EQ(itemsOf(MenuKind::Entry, "&Edit").size(), 15u);
    // The five popups, in order, in both menus.
    for (MenuKind kind : {MenuKind::NoEntry, MenuKind::Entry}) {
        std::vector<std::string_view> titles;
        for (const Popup& p : Menu(kind)) titles.push_back(p.title);
        EXPECT_EQ(titles,
                  (std::vector<std::string_view>{"&File", "&Edit", "&Settings", "&View", "&Help"}));
    }
}

// Alt and a letter reach one item, except for the repeats the menus were
// designed with (Qt then cycles between the items).
TEST(MenuTest, MnemonicsRepeatOnlyWhereTheMenusAlwaysDid) {
    std::vector<std::string> repeats;
    for (MenuKind kind : {MenuKind::NoEntry, MenuKind::Entry}) {
        for (const Popup& p : Menu(kind)) {
            std::map<char, int> seen;
            for (const MenuItem& item : p.items) {
                if (item.separator()) continue;
                const std::size_t amp = item.text.find('&');
                ASSERT_NE(amp, std::string_view::npos) << item.text;
                ++seen[static_cast<char>(
                    std::tolower(static_cast<unsigned char>(item.text[amp + 1])))];
            }
            for (const auto& [key, count] : seen)
                if (count > 1)
                    repeats.push_back(std::to_string(static_cast<int>(kind)) +
                                      std::string(p.title) + key);
        }
    }
    EXPECT_EQ(repeats, (std::vector<std::string>{"128&Fileo", "129&Filet"}));
}

TEST(AcceleratorTest, KeysParseAndNoKeyServesTwoCommands) {
    std::map<std::string, Cmd> byKey;
    for (const Accelerator& a : Accelerators()) {
        const QKeySequence seq(
            QString::fromUtf8(a.key.data(), static_cast<qsizetype>(a.key.size())));
        ASSERT_EQ(seq.count(), 1) << a.key;
        EXPECT_NE(seq[0].key(), Qt::Key_unknown) << a.key;
        const std::string text = seq.toString(QKeySequence::PortableText).toStdString();
        const auto [it, inserted] = byKey.emplace(text, a.cmd);
        EXPECT_TRUE(inserted) << text << " is bound twice";
    }
    EXPECT_EQ(byKey.at("Ctrl+I"), Cmd::OpenSpecified);
    EXPECT_EQ(byKey.at("Ctrl+Left"), Cmd::PreviousEntry);
    EXPECT_EQ(byKey.at("Ctrl+Right"), Cmd::NextEntry);
    EXPECT_EQ(byKey.at("Shift+Ins"), Cmd::EditPaste);
}

TEST(AcceleratorTest, MenuKeysShownAreTheKeysBound) {
    for (MenuKind kind : {MenuKind::NoEntry, MenuKind::Entry}) {
        for (const Popup& p : Menu(kind)) {
            for (const MenuItem& item : p.items) {
                const std::size_t tab = item.text.find('\t');
                if (tab == std::string_view::npos) continue;
                const std::string_view key = item.text.substr(tab + 1);
                const QKeySequence shown(
                    QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
                const bool bound = std::any_of(
                    Accelerators().begin(), Accelerators().end(), [&](const Accelerator& a) {
                        return a.cmd == item.cmd &&
                               QKeySequence(QString::fromUtf8(
                                   a.key.data(), static_cast<qsizetype>(a.key.size()))) == shown;
                    });
                EXPECT_TRUE(bound) << item.text;
            }
        }
    }
}

TEST(EnablingTest, ReadOnlyDataFileGreysEveryCommandThatWritesIt) {
    CommandState state{.dataOpen = true, .readOnly = true};
    for (Cmd cmd : {Cmd::Merge, Cmd::ChangePassword, Cmd::ImportOldVersion, Cmd::ManageAttachments,
                    Cmd::FileSaveAs, Cmd::DeleteEntry, Cmd::AttachFile, Cmd::OptimiseKey})
        EXPECT_FALSE(IsCommandAllowed(cmd, state)) << static_cast<int>(cmd);
    EXPECT_TRUE(IsCommandAllowed(Cmd::Today, state));
    EXPECT_TRUE(IsCommandAllowed(Cmd::FileClose, state));
    state.readOnly = false;
    EXPECT_TRUE(IsCommandAllowed(Cmd::ChangePassword, state));
    EXPECT_TRUE(IsCommandAllowed(Cmd::FileSaveAs, state));
}

TEST(EnablingTest, FindNextAndPreviousNeedAFindText) {
    CommandState state{.dataOpen = true};
    EXPECT_FALSE(IsCommandAllowed(Cmd::FindNext, state));
    EXPECT_FALSE(IsCommandAllowed(Cmd::FindPrevious, state));
    state.findTextEmpty = false;
    EXPECT_TRUE(IsCommandAllowed(Cmd::FindNext, state));
}

TEST(EnablingTest, NothingThatNeedsTheDataFileRunsBeforeItIsOpen) {
    const CommandState starting{};
    for (Cmd cmd : {Cmd::Today, Cmd::OpenSpecified, Cmd::NextEntry, Cmd::ChangePassword})
        EXPECT_FALSE(IsCommandAllowed(cmd, starting)) << static_cast<int>(cmd);
    for (Cmd cmd : {Cmd::DataFileSettings, Cmd::Help, Cmd::AppExit, Cmd::OtherSettings})
        EXPECT_TRUE(IsCommandAllowed(cmd, starting)) << static_cast<int>(cmd);
}

TEST(EnablingTest, SideBarKeysNeedTheSideBar) {
    CommandState state{.dataOpen = true};
    EXPECT_FALSE(IsCommandAllowed(Cmd::SideBarScale, state));
    EXPECT_FALSE(IsCommandAllowed(Cmd::ExistOnly, state));
    state.sideBarVisible = true;
    EXPECT_TRUE(IsCommandAllowed(Cmd::ExistOnly, state));
}

}  // namespace
}  // namespace tl::frame
