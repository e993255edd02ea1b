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
                             {entry ? "Op&timisation..." : "&Optimisation...", Cmd::Optimise},
                             {"Import old &version data...", Cmd::ImportOldVersion},
                             kSeparator,
                             {"Change pass&word...", Cmd::ChangePassword},
                             {"Mana&gement attach files...", Cmd::ManageAttachments},
                             kSeparator,
                             {"E&xit", Cmd::AppExit}});

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
              {"&Calender", Cmd::ViewCalendar}}},
            {"&Help",
             {{"&Help", Cmd::Help},
              kSeparator,
              {"&About Tally Leaf...", Cmd::About},
              {"About &donation...", Cmd::AboutDonation}}}};
}

// Ctrl+Alt+Shift+Return is the text of Ctrl+Shift+Alt+Enter (the main
// Enter key); keys of commands that nothing handles are kept so that they
// are swallowed here instead of typing into a field.
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
    Accelerator{"Ctrl+B", Cmd::ToggleBold},
    Accelerator{"Ctrl+C", Cmd::EditCopy},
    Accelerator{"Ctrl+Ins", Cmd::EditCopy},
    Accelerator{"Shift+Del", Cmd::EditCut},
    Accelerator{"Ctrl+X", Cmd::EditCut},
    Accelerator{"Ctrl+V", Cmd::EditPaste},
    Accelerator{"Shift+Ins", Cmd::EditPaste},
    Accelerator{"Ctrl+A", Cmd::EditSelectAll},
    Accelerator{"Ctrl+Z", Cmd::EditUndo},
    Accelerator{"Ctrl+Y", Cmd::EditRedo},
    Accelerator{"Ctrl+P", Cmd::FilePrint},
    Accelerator{"F3", Cmd::FindNext},
    Accelerator{"Ctrl+F", Cmd::Find},
    Accelerator{"Shift+F3", Cmd::FindPrevious},
    Accelerator{"Ctrl+L", Cmd::CtrlL},
    Accelerator{"F1", Cmd::HelpKey},
    Accelerator{"F9", Cmd::InsertBorder},
    Accelerator{"F8", Cmd::InsertShortBorder},
    Accelerator{"F5", Cmd::DateStamp},
    Accelerator{"Ctrl+Shift+Alt+Return", Cmd::NextFieldOrLineBreak},
    Accelerator{"Ctrl+M", Cmd::Merge},
    Accelerator{"Ctrl+Down", Cmd::NextEntry},
    Accelerator{"Ctrl+Right", Cmd::NextEntry},
    Accelerator{"Ctrl+Up", Cmd::PreviousEntry},
    Accelerator{"Ctrl+Left", Cmd::PreviousEntry},
    Accelerator{"Alt+Return", Cmd::ObjectProperties},
    Accelerator{"Shift+F6", Cmd::PreviousPane},
    Accelerator{"Ctrl+D", Cmd::ViewSideBar},
    Accelerator{"Ctrl+F4", Cmd::FileClose},
};

constexpr std::array kEntryCommands = {
    Cmd::FileClose,
    Cmd::FileSave,
    Cmd::FileSaveAs,
    Cmd::AttachFile,
    Cmd::CloseAllButThis,
    Cmd::DeleteEntry,
    Cmd::EditUndo,
    Cmd::EditRedo,
    Cmd::EditCut,
    Cmd::EditCopy,
    Cmd::EditPaste,
    Cmd::EditSelectAll,
    Cmd::FilePrint,
    Cmd::InsertBorder,
    Cmd::InsertShortBorder,
    Cmd::DateStamp,
    Cmd::NextFieldOrLineBreak,
    Cmd::ToText,
    Cmd::ToggleBold,
    Cmd::ToggleItalic,
    Cmd::ToggleUnderline,
    Cmd::ToggleStrikeOut,
    Cmd::NextTab,
    // With or without an open entry: without one they step from the ends
    // of the diary.
    Cmd::PreviousEntry,
    Cmd::NextEntry,
};

constexpr std::array kFrameCommands = {
    Cmd::Today,         Cmd::OpenSpecified,    Cmd::ChangePassword,
    Cmd::DefaultFont,   Cmd::DataFileSettings, Cmd::ToggleDataLocation,
    Cmd::OtherSettings, Cmd::ViewToolBar,      Cmd::ViewEditBar,
    Cmd::Help,          Cmd::HelpContents,     Cmd::About,
    Cmd::AppExit,       Cmd::Escape,           Cmd::HelpKey,
    Cmd::ShiftAltD,     Cmd::ShiftAltR,        Cmd::CtrlL,
    Cmd::PreviousPane,  Cmd::ObjectProperties, Cmd::ViewSideBar,
    Cmd::ViewCalendar,  Cmd::ExistOnly,        Cmd::SideBarScale,
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
    Cmd::ImportOldVersion,
    Cmd::ManageAttachments,
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
           cmd == Cmd::ViewCalendar || cmd == Cmd::ExistOnly || cmd == Cmd::SideBarScale;
}

std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}

bool ChangesDataFile(Cmd cmd) {
    return contains(kChangesDataFile, cmd);
}

Handler HandlerOf(Cmd cmd) {
    if (contains(kEntryCommands, cmd)) return Handler::Entries;
    if (contains(kFrameCommands, cmd)) return Handler::Frame;
    return Handler::NotYetBuilt;
}

bool IsCommandEnabled(Cmd cmd, const CommandState& state, bool entryEnabled) {
    if (!state.dataOpen && contains(kNeedsData, cmd)) return false;
    if (state.readOnly && ChangesDataFile(cmd)) return false;
    if ((cmd == Cmd::FindNext || cmd == Cmd::FindPrevious) && state.findTextEmpty) return false;
    if ((cmd == Cmd::SideBarScale || cmd == Cmd::ExistOnly) && !state.sideBarVisible) return false;
    switch (HandlerOf(cmd)) {
        case Handler::Entries:
            return entryEnabled;
        case Handler::Frame:
            return true;
        case Handler::NotYetBuilt:
            return false;
    }
    return false;
}

}  // namespace tl::frame
