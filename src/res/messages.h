#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tl::res {

// The string table: every text the program tells or asks the user, by number.
// Numbers below 300 are the program's historical resource numbers; texts that
// never had one are numbered from 300 on. Never renumber: the numbers are how
// code and tests name a message.
enum class Msg : int {
    FolderCanNotBeOpened = 107,
    LocationNotCorrect = 119,
    TimeIncorrect = 127,
    DiaryDataIncorrect = 142,
    PasswordIncorrect = 143,
    CurrentPasswordIncorrect = 171,
    PasswordsNotSame = 172,
    DisablePassword = 173,
    AutomaticBackupFailed = 181,
    DataNotFoundCreate = 183,
    ChangeLocation = 184,
    DataReadOnly = 186,
    DataInUseChangeLocation = 188,
    FolderNameIncorrect = 194,
    FolderNotFound = 197,
    SpecifyFolderName = 202,
    Aborted = 224,
    DuringBackup = 225,
    DisplayTitle = 235,
    RestoreFromBackup = 244,
    RestoreFailed = 245,
    FolderIncorrect = 254,
    ExitBeforeManipulating = 282,
    Cancel = 298,
    OutOfMemory = 196,
    CreatingDiaryDataFailed = 185,
    FailedToCompress = 125,
    DiskFull = 300,
    DataTooLarge = 301,
    FailedToDecompress = 302,
    PasswordTooLong = 303,
    PasswordNotConvertible = 304,
    WriteToDiskFailure = 133,
    OutOfMemoryDiarySaveFailure = 305,
    DataInUse = 306,
    // Attachment and sticky note records.
    StickyTextEmpty = 113,
    StickyTextTooLong = 114,
    StickyNoteSaveFailure = 134,
    FileWriteFailed = 167,
    FileReadFailedPath = 500,
    NotAFile = 501,
    FileNameTooLong = 502,
    EmptyFileNotAttached = 503,
    FileTooLargeToAttach = 504,
    FileReadFailed = 505,
    // Export, import, merge, copy, optimisation and bulk compression.
    OptimizationCompleted = 117,
    OptimizationFailed = 118,
    AskOptimize = 146,
    ProcessingAborted = 217,
    DuringOptimization = 227,
    DuringCompression = 230,
    ExportOpenFailure = 600,
    NoDataToExport = 601,
    DiariesCount = 602,
    AttachedFilesCount = 603,
    AskStartExport = 604,
    ExportCompleted = 605,
    ExportFailed = 606,
    EnterYear = 607,
    Specify1900OrLater = 608,
    EnterMonth = 609,
    MonthIncorrect = 610,
    DayIncorrect = 611,
    StartAfterEnd = 612,
    DuringExport = 613,
    AskSkipDamagedFile = 614,
    AttachedFileCorrupted = 615,
    PathDate = 616,
    PathFileName = 617,
    PathNameTooLong = 618,
    FailedToWrite = 619,
    AnsiCharactersReplaced = 620,
    NoDataToImport = 621,
    AskStartImport = 622,
    ImportCompleted = 623,
    ImportFailed = 624,
    DuringImport = 625,
    MergeFailure = 626,
    MergeNotToItself = 627,
    MergeDataNotFound = 628,
    MergeDataWriteProtected = 629,
    MergeDataEmpty = 630,
    AskStartMerge = 631,
    MergeAttachmentsCount = 632,
    MergeSourcePassword = 633,
    DuringMerge = 634,
    MergeComplete = 635,
    SelectDestinationFolder = 636,
    CopyCompleted = 637,
    CopyFailure = 638,
    AskOverwriteData = 639,
    Copying = 640,
    MergeSourceNotEmptied = 641,
    CompressionFailed = 131,
    AskCompressAttachments = 642,
    CompressionCompleted = 643,
    // Conversion of older data files.
    OldDataNotFoundInFolder = 105,
    AskConvertOldData = 149,  // %s: the old file's name
    ConversionFailure = 150,
    OldDataNotFound = 190,
    OldDataPassword = 204,
    OldDataSavedAs = 219,  // %s: the kept old file
    DuringConversion = 221,
    ConversionComplete = 222,
    ConversionCompleteSavedAs = 650,  // %s: the kept old file
    ConverterNotFound = 269,
    ConvertOldDiaryData = 651,
    ConvertLocation = 652,
    ConvertBrowse = 653,
    ConvertStart = 654,
    // Entry windows, editor and header.
    Sample = 109,
    OpenNotAnyMore = 201,
    EnterDay = 206,
    TitleTooLong = 800,
    DiaryAlreadyOpened = 801,
    ReplaceExistingDiary = 802,
    SpecifiedTextTooLong = 803,
    DeleteDiaryConfirm = 804,  // %s: the entry name
    DeleteNoteConfirm = 805,
    DiaryHasAttachments = 806,
    MonthNoteHasAttachments = 807,
    YearNoteHasAttachments = 808,
    DiaryHasStickyNote = 809,
    MonthNoteHasStickyNote = 810,
    YearNoteHasStickyNote = 811,
    // Sticky note windows, their settings and the blink term.
    StickyNoteCreateFailed = 115,
    NoMoreStickyNotes = 144,
    BlinkTermOrder = 162,
    TransparencyAbnormal = 191,
    DayHasStickyNote = 199,
    MonthHasStickyNote = 200,
    YearHasStickyNote = 294,
    // Display settings.
    DefaultTitleColor = 108,
    BlinkRateIncorrect = 192,
    BackColor = 291,
    // The edit bar's colour choice.
    AutoColor = 284,
    OtherColor = 288,
    // Find across days.
    EnterTextToSearch = 850,
    TextNotFound = 851,
    // Attachments of an open entry: the strip and the picture viewer.
    DeleteAttachedFiles = 860,  // %s: "" for one, "s" for more
    NoMoreAttachments = 861,
    ImageLackOfMemory = 862,
    ThumbnailLackOfMemory = 863,
    Attaching = 864,
    // The attachment manager.
    SelectDeleteTarget = 111,
    AskDeleteSelectedFile = 112,  // %s: "" for one, "s" for more
    FetchingAttachmentInformation = 231,
    // The desktop program's main window.
    HelpNotOpened = 700,
    CloseWithUnsavedEntry = 701,
    ReadFailed = 702,
    // Damaged data files: bytes past the end, the rescue.
    BytesPastEndKept = 950,  // %s: the file that keeps them
    RecordsPastEnd = 951,    // a question: rescue?
    DuringRescue = 952,
    RescueDone = 953,  // %s: the rescued file, %s: the damaged file kept
    RescueFailed = 954,
    AskRescue = 955,
    RescueLostDates = 956,
    // A data file replaced, moved or deleted underneath, and the conflicted
    // copies that sync tools leave beside it.
    DataFileReplaced = 2801,     // %s: the data file, %s: the kept file
    DataFileGone = 2802,         // %s: the data file
    KeptFileStays = 2803,        // %s: the kept file
    KeepReplacedFailed = 2804,   // %s: the kept file, %s: why
    ConflictCopyFound = 2805,    // %s: the copy, %s: its name once merged
    ConflictCopyDamaged = 2806,  // %s: the copy
    NoConflictCopies = 2807,
    ReplacedWhileRunning = 2808,  // %s: the data file
    ConflictCopyNotMoved = 2809,  // %s: the copy
    // Start-up on a desktop of today.
    InstanceUnreachable = 760,  // %s: the lock file
};

// The text of a message, exactly as the program words it. "\n" separates lines.
[[nodiscard]] std::string_view Text(Msg id);
// The message with its "%s" and "%d" replaced by the arguments in order.
[[nodiscard]] std::string FormatText(Msg id, std::initializer_list<std::string_view> args);

}  // namespace tl::res
