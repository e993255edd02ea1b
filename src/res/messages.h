#pragma once

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
};

// The text of a message, exactly as the program words it. "\n" separates lines.
[[nodiscard]] std::string_view Text(Msg id);

}  // namespace tl::res
