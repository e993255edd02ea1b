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
    // Editor commands reached from the menus and keys (the active entry).
    EditUndo = 57643,
    EditRedo = 57644,
    EditCut = 57635,
    EditCopy = 57634,
    EditPaste = 57637,
    EditSelectAll = 57642,
    FilePrint = 57607,
    InsertBorder = 32816,
    InsertShortBorder = 32874,
    DateStamp = 32833,
    NextFieldOrLineBreak = 32802,
    ToText = 32772,
    ToggleBold = 32947,
    ToggleItalic = 59408,
    ToggleUnderline = 59410,
    ToggleStrikeOut = 59409,
    // The edit bar's own controls: the text colour button, its drop-down
    // and the two boxes. They act on the active editor directly.
    TextColor = 59403,
    TextColorMenu = 59404,
    FontSize = 59406,
    FontName = 59407,
    // More frame commands: the File, Edit, Settings, View and Help menus and
    // the keys without a menu item.
    Today = 32806,
    CopyData = 32938,
    Export = 32846,
    Import = 32962,
    Merge = 32843,
    Optimise = 32905,
    OptimiseKey = 32813,
    ImportOldVersion = 32773,
    ChangePassword = 59415,
    ManageAttachments = 32797,
    Find = 32818,
    FindNext = 32821,
    FindPrevious = 32822,
    DefaultFont = 32774,
    DataFileSettings = 32845,
    ToggleDataLocation = 32884,
    DisplaySettings = 32792,
    OtherSettings = 32817,
    ViewToolBar = 32936,
    ViewEditBar = 32949,
    ViewSideBar = 32771,
    ViewCalendar = 32961,
    SideBarScale = 32777,
    ExistOnly = 32832,
    Help = 57666,
    HelpContents = 57670,
    About = 57664,
    AboutDonation = 1210,
    // Keys that nothing handles: accepted so that they do not reach a field.
    Escape = 32768,
    HelpKey = 57667,
    ShiftAltD = 32841,
    ShiftAltR = 32814,
    CtrlL = 32880,
    PreviousPane = 57681,
    ObjectProperties = 57860,
    // More entry commands: the editor's context menu and the tab menu.
    FilePrintPreview = 57609,
    SearchGoogle = 32901,
    SearchYahoo = 32898,
    SearchBing = 32899,
    TogglePin = 32964,
    EditSelectAllTitle = 32903,
    // The side bar's month and year selection popups: pick year and month
    // in a dialog. Handled by the side bar itself.
    OpenYearMonth = 32967,
    // A sticky note's menu: they act on the note whose menu is shown, else
    // on the note with the keyboard focus. Handled by the sticky notes.
    StickyOpen = 32826,
    StickyPeelOff = 32860,
    StickySettings = 32829,
    // File menu: compress every attached file stored uncompressed.
    CompressAttachments = 32980,
    // File menu: merge the conflicted copies a sync tool left beside the
    // data file.
    MergeConflicts = 32981,
    // View menu: the date in every year of the diary.
    OnThisDay = 33030,
};

}  // namespace tl::res
