#include "command_table.h"

#include <algorithm>
#include <array>

namespace tl::frame {

using res::Cmd;

namespace {

const MenuItem kSeparator{};

std::vector<Popup> buildMenu(MenuKind kind) {
    const bool entry = kind == MenuKind::Entry;
    std::vector<MenuItem> file = {{"&Today\tCtrl+T", Cmd::Today},
                                  {"&Open...\tCtrl+I", Cmd::OpenSpecified}};
    if (entry) {
        file.push_back({"&Close\tCtrl+F4", Cmd::FileClose});
        file.push_back({"S&ave as...", Cmd::FileSaveAs});
        file.push_back({"&Delete", Cmd::DeleteEntry});
    }
    file.insert(file.end(), {{"P&revious diary\tCtrl+Up", Cmd::PreviousEntry},
                             {"&Next diary\tCtrl+Down", Cmd::NextEntry},
                             kSeparator,
                             {"Cop&y data...", Cmd::CopyData},
                             {"&Export...", Cmd::Export},
                             {"Im&port...", Cmd::Import},
                             {"&Merge...", Cmd::Merge},
                             {"Merge con&flicted copies...", Cmd::MergeConflicts},
                             {entry ? "Op&timisation..." : "&Optimisation...", Cmd::Optimise},
                             {"Compre&ss attached files...", Cmd::CompressAttachments},
                             {"Import old &version data...", Cmd::ImportOldVersion},
                             kSeparator,
                             {"Change pass&word...", Cmd::ChangePassword},
                             {"Mana&gement attach files...", Cmd::ManageAttachments},
                             kSeparator});
    // Printing is reached by Ctrl+P; the preview needs a menu item.
    if (entry) file.insert(file.end(), {{"Pr&int preview...", Cmd::FilePrintPreview}, kSeparator});
    file.push_back({"E&xit", Cmd::AppExit});

    std::vector<MenuItem> edit;
    if (entry) {
        edit = {{"&Undo\tCtrl+Z", Cmd::EditUndo},
                {"R&edo\tCtrl+Y", Cmd::EditRedo},
                kSeparator,
                {"Cu&t\tCtrl+X", Cmd::EditCut},
                {"&Copy\tCtrl+C", Cmd::EditCopy},
                {"&Paste\tCtrl+V", Cmd::EditPaste},
                {"Select A&ll\tCtrl+A", Cmd::EditSelectAll},
                kSeparator,
                {"&Find...\tCtrl+F", Cmd::Find},
                {"Find &Next\tF3", Cmd::FindNext},
                {"Find Pre&vious\tShift+F3", Cmd::FindPrevious},
                kSeparator,
                {"&Attach file", Cmd::AttachFile},
                {"In&sert border\tF9", Cmd::InsertBorder},
                {"Insert sho&rt border\tF8", Cmd::InsertShortBorder}};
    } else {
        edit = {{"&Find...\tCtrl+F", Cmd::Find}};
    }

    // One calendar command in both menus: the item works whenever the side
    // bar does, with or without an open entry.
    return {{"&File", file},
            {"&Edit", edit},
            {"&Settings",
             {{"Default &font Settings...", Cmd::DefaultFont},
              {"&Data file settings...", Cmd::DataFileSettings},
              {"Displ&ay settings...", Cmd::DisplaySettings},
              {"Other &settings...", Cmd::OtherSettings}}},
            {"&View",
             {{"&Tool Bar", Cmd::ViewToolBar},
              {"&Side Bar", Cmd::ViewSideBar},
              {"&Edit Bar", Cmd::ViewEditBar},
              {"&Calender", Cmd::ViewCalendar},
              {"On this &day\tCtrl+Shift+Y", Cmd::OnThisDay}}},
            {"&Help",
             {{"&Help", Cmd::Help},
              kSeparator,
              {"&About Tally Leaf...", Cmd::About},
              {"About &donation...", Cmd::AboutDonation}}}};
}

// Ctrl+Alt+Shift+Return is the text of Ctrl+Shift+Alt+Enter (the main
// Enter key); keys of commands that nothing handles are kept so that they
// are swallowed here instead of typing into a field. The clipboard keys are
// Entry keys: a header field or the editor with the focus takes them itself,
// anywhere else they do nothing.
constexpr KeyScope kEntry = KeyScope::Entry;
constexpr KeyScope kEditor = KeyScope::Editor;
constexpr std::array kAccelerators = {
    Accelerator{"Esc", Cmd::Escape},
    Accelerator{"F2", Cmd::ToText},
    Accelerator{"Shift+Alt+D", Cmd::ShiftAltD},
    Accelerator{"Ctrl+O", Cmd::ToggleDataLocation},
    Accelerator{"Ctrl+I", Cmd::OpenSpecified},
    Accelerator{"Ctrl+T", Cmd::Today},
    Accelerator{"F6", Cmd::ExistOnly},
    Accelerator{"F4", Cmd::SideBarScale},
    Accelerator{"Shift+Alt+C", Cmd::OptimiseKey},
    Accelerator{"Shift+Alt+R", Cmd::ShiftAltR},
    Accelerator{"Ctrl+B", Cmd::ToggleBold, kEditor},
    Accelerator{"Ctrl+U", Cmd::ToggleUnderline, kEditor},
    // Ctrl+I opens a date, so italic and strike-through take Shift too.
    Accelerator{"Ctrl+Shift+I", Cmd::ToggleItalic, kEditor},
    Accelerator{"Ctrl+Shift+X", Cmd::ToggleStrikeOut, kEditor},
    Accelerator{"Ctrl+C", Cmd::EditCopy, kEntry},
    Accelerator{"Ctrl+Ins", Cmd::EditCopy, kEntry},
    Accelerator{"Shift+Del", Cmd::EditCut, kEntry},
    Accelerator{"Ctrl+X", Cmd::EditCut, kEntry},
    Accelerator{"Ctrl+V", Cmd::EditPaste, kEntry},
    Accelerator{"Shift+Ins", Cmd::EditPaste, kEntry},
    Accelerator{"Ctrl+A", Cmd::EditSelectAll, kEntry},
    Accelerator{"Ctrl+Z", Cmd::EditUndo, kEntry},
    Accelerator{"Ctrl+Y", Cmd::EditRedo, kEntry},
    Accelerator{"Ctrl+P", Cmd::FilePrint},
    Accelerator{"F3", Cmd::FindNext},
    Accelerator{"Ctrl+F", Cmd::Find},
    Accelerator{"Shift+F3", Cmd::FindPrevious},
    Accelerator{"Ctrl+L", Cmd::CtrlL},
    Accelerator{"F1", Cmd::HelpKey},
    Accelerator{"F9", Cmd::InsertBorder, kEditor},
    Accelerator{"F8", Cmd::InsertShortBorder, kEditor},
    Accelerator{"F5", Cmd::DateStamp, kEditor},
    Accelerator{"Ctrl+Shift+Alt+Return", Cmd::NextFieldOrLineBreak, kEntry},
    Accelerator{"Ctrl+M", Cmd::Merge},
    Accelerator{"Ctrl+Down", Cmd::NextEntry},
    Accelerator{"Ctrl+Right", Cmd::NextEntry},
    Accelerator{"Ctrl+Up", Cmd::PreviousEntry},
    Accelerator{"Ctrl+Left", Cmd::PreviousEntry},
    Accelerator{"Alt+Return", Cmd::ObjectProperties},
    Accelerator{"Shift+F6", Cmd::PreviousPane},
    Accelerator{"Ctrl+D", Cmd::ViewSideBar},
    Accelerator{"Ctrl+F4", Cmd::FileClose},
    Accelerator{"Ctrl+Shift+Y", Cmd::OnThisDay},
};

constexpr std::array kChangesDataFile = {
    Cmd::Merge,      Cmd::ChangePassword, Cmd::OptimiseKey,      Cmd::AttachFile,
    Cmd::FileSaveAs, Cmd::DeleteEntry,    Cmd::ImportOldVersion, Cmd::ManageAttachments,
};

constexpr std::array kNeedsData = {
    Cmd::Today,
    Cmd::OpenSpecified,
    Cmd::PreviousEntry,
    Cmd::NextEntry,
    Cmd::ChangePassword,
    Cmd::CopyData,
    Cmd::Export,
    Cmd::Import,
    Cmd::Merge,
    Cmd::Optimise,
    Cmd::OptimiseKey,
    Cmd::CompressAttachments,
    Cmd::ImportOldVersion,
    Cmd::ManageAttachments,
    Cmd::MergeConflicts,
    Cmd::OnThisDay,
};

template <std::size_t N>
bool contains(const std::array<Cmd, N>& list, Cmd cmd) {
    return std::find(list.begin(), list.end(), cmd) != list.end();
}

}  // namespace

const std::vector<Popup>& Menu(MenuKind kind) {
    static const std::vector<Popup> noEntry = buildMenu(MenuKind::NoEntry);
    static const std::vector<Popup> entry = buildMenu(MenuKind::Entry);
    return kind == MenuKind::Entry ? entry : noEntry;
}

bool IsCheckable(Cmd cmd) {
    return cmd == Cmd::ViewToolBar || cmd == Cmd::ViewEditBar || cmd == Cmd::ViewSideBar ||
           cmd == Cmd::ViewCalendar || cmd == Cmd::ExistOnly || cmd == Cmd::SideBarScale ||
           cmd == Cmd::OnThisDay;
}

std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}

bool ChangesDataFile(Cmd cmd) {
    return contains(kChangesDataFile, cmd);
}

bool IsCommandAllowed(Cmd cmd, const CommandState& state) {
    if (!state.dataOpen && contains(kNeedsData, cmd)) return false;
    if (state.readOnly && ChangesDataFile(cmd)) return false;
    if ((cmd == Cmd::FindNext || cmd == Cmd::FindPrevious) && state.findTextEmpty) return false;
    if ((cmd == Cmd::SideBarScale || cmd == Cmd::ExistOnly) && !state.sideBarVisible) return false;
    return true;
}

std::vector<Cmd> MenuAndKeyCommands() {
    std::vector<Cmd> commands;
    auto add = [&](Cmd cmd) {
        if (std::find(commands.begin(), commands.end(), cmd) == commands.end())
            commands.push_back(cmd);
    };
    for (MenuKind kind : {MenuKind::NoEntry, MenuKind::Entry})
        for (const Popup& popup : Menu(kind))
            for (const MenuItem& item : popup.items)
                if (!item.separator()) add(item.cmd);
    for (const Accelerator& accelerator : kAccelerators) add(accelerator.cmd);
    return commands;
}

}  // namespace tl::frame
