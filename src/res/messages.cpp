#include "messages.h"

#include <cassert>

namespace tl::res {

std::string_view Text(Msg id) {
    switch (id) {
        case Msg::FolderCanNotBeOpened: return "Folder can not be opened.";
        case Msg::LocationNotCorrect: return "Location of diary data is not correct.";
        case Msg::TimeIncorrect: return "Time is incorrect.";
        case Msg::DiaryDataIncorrect: return "Diary data is incorrect.";
        case Msg::PasswordIncorrect: return "Password is incorrect.";
        case Msg::CurrentPasswordIncorrect: return "Current password is incorrect.";
        case Msg::PasswordsNotSame: return "Both passwords are not same.";
        case Msg::DisablePassword: return "Do you want to disable password?";
        case Msg::AutomaticBackupFailed: return "Automatic backup failure.\nDo you want to continue?";
        case Msg::DataNotFoundCreate: return "Diary data can not be found.\nWould you like to create?";
        case Msg::ChangeLocation: return "Do you want to change location of diary data?";
        case Msg::DataReadOnly: return "This diary data is read-only.";
        case Msg::DataInUseChangeLocation:
            return "Diary data is in use.\r\nDo you want to change location of the diary data?";
        case Msg::FolderNameIncorrect: return "Folder name is incorrect.";
        case Msg::FolderNotFound: return "Folder could not be found.";
        case Msg::SpecifyFolderName: return "Specify folder name.";
        case Msg::Aborted: return "Aborted.";
        case Msg::DuringBackup: return "During backup";
        case Msg::DisplayTitle: return "Tally Leaf";
        case Msg::RestoreFromBackup: return "Backup found.\nDo you want to restore from backup?";
        case Msg::RestoreFailed: return "Restore failure.";
        case Msg::FolderIncorrect: return "Folder is incorrect.";
        case Msg::ExitBeforeManipulating: return "Exit Tally Leaf If you want to manipulate diary file.";
        case Msg::Cancel: return "Cancel";
        case Msg::OutOfMemory: return "Out of memory.";
        case Msg::CreatingDiaryDataFailed: return "Creating a diary data failure.";
        case Msg::FailedToCompress: return "Failed to compress.";
        case Msg::DiskFull: return "Disk is full.";
        case Msg::DataTooLarge: return "Diary data can not be more than 4G bytes.\nSave failure.";
        case Msg::WriteToDiskFailure: return "Write to disk failure.";
        case Msg::OutOfMemoryDiarySaveFailure: return "Out of memory.\nDiary save failure";
        case Msg::FailedToDecompress: return "Failed to decompress.";
        case Msg::PasswordTooLong:
            return "The password is too long.\nIt may take at most 11 bytes in code page 932 "
                   "(a double-byte character takes two).";
        case Msg::PasswordNotConvertible:
            return "The password contains a character that can not be used.\nUse letters, digits and "
                   "characters of code page 932.";
        case Msg::StickyTextEmpty: return "Enter text on the sticky note.";
        case Msg::StickyTextTooLong: return "Text on the sticky note is too long.";
        case Msg::StickyNoteSaveFailure: return "Write to disk failure.\nSticky note save failure";
        case Msg::FileWriteFailed: return "File write failed.";
        case Msg::FileReadFailedPath: return "File read failed.(%s)";
        case Msg::NotAFile: return "[%s]s not a file.\nAttachment failure.";
        case Msg::FileNameTooLong: return "File name is too long.";
        case Msg::EmptyFileNotAttached: return "Empty file can not be attached.";
        case Msg::FileTooLargeToAttach: return "10M bytes or more files can not be attached.";
        case Msg::FileReadFailed: return "File read failed.";
    }
    assert(false && "message without text");
    return {};
}

}  // namespace tl::res
