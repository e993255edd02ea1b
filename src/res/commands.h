#pragma once

// Command identifiers: every menu item, accelerator and button names its
// command by one of these numbers, and every window that handles commands
// answers by them. Append; never renumber.

namespace tl::res {

enum class Cmd : int {
    // Entry commands (the open entry's document).
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,  // save by changing date
    PreviousEntry = 32785,
    NextEntry = 32786,
    AttachFile = 32838,
    CloseAllButThis = 32952,
    DeleteEntry = 32778,
    // Frame commands.
    OpenSpecified = 32807,
    AppExit = 57665,
    NextTab = 59420,
};

}  // namespace tl::res
