#include "messages.h"

#include <cassert>

#include "kept_messages.h"

namespace tl::res {

namespace {

std::string_view KeptText(Msg id) {
    if (id == kept::LocationKeptForUnsavedEntry)
        return "An entry could not be saved.\nThe location of the diary data was not changed.";
    if (id == kept::BackupMadeAt) return "The backup was made on %s.";
    if (id == kept::ReplacedFileKept) return "The replaced diary data was kept as:\n%s";
    if (id == kept::TypingBroughtBack)
        return "What was typed before the program ended unexpectedly was brought back and will "
               "be saved:\n%s";
    return {};
}

}  // namespace

std::string_view Text(Msg id) {
    if (std::string_view kept = KeptText(id); !kept.empty()) return kept;
    switch (id) {
        case Msg::FolderCanNotBeOpened:
            return "Folder can not be opened.";
        case Msg::LocationNotCorrect:
            return "Location of diary data is not correct.";
        case Msg::TimeIncorrect:
            return "Time is incorrect.";
        case Msg::DiaryDataIncorrect:
            return "Diary data is incorrect.";
        case Msg::PasswordIncorrect:
            return "Password is incorrect.";
        case Msg::CurrentPasswordIncorrect:
            return "Current password is incorrect.";
        case Msg::PasswordsNotSame:
            return "Both passwords are not same.";
        case Msg::DisablePassword:
            return "Do you want to disable password?";
        case Msg::AutomaticBackupFailed:
            return "Automatic backup failure.\nDo you want to continue?";
        case Msg::DataNotFoundCreate:
            return "Diary data can not be found.\nWould you like to create?";
        case Msg::ChangeLocation:
            return "Do you want to change location of diary data?";
        case Msg::DataReadOnly:
            return "This diary data is read-only.";
        case Msg::DataInUseChangeLocation:
            return "Diary data is in use.\r\nDo you want to change location of the diary data?";
        case Msg::FolderNameIncorrect:
            return "Folder name is incorrect.";
        case Msg::FolderNotFound:
            return "Folder could not be found.";
        case Msg::SpecifyFolderName:
            return "Specify folder name.";
        case Msg::Aborted:
            return "Aborted.";
        case Msg::DuringBackup:
            return "During backup";
        case Msg::DisplayTitle:
            return "Tally Leaf";
        case Msg::RestoreFromBackup:
            return "Backup found.\nDo you want to restore from backup?";
        case Msg::RestoreFailed:
            return "Restore failure.";
        case Msg::FolderIncorrect:
            return "Folder is incorrect.";
        case Msg::ExitBeforeManipulating:
            return "Exit Tally Leaf If you want to manipulate diary file.";
        case Msg::Cancel:
            return "Cancel";
        case Msg::OutOfMemory:
            return "Out of memory.";
        case Msg::CreatingDiaryDataFailed:
            return "Creating a diary data failure.";
        case Msg::FailedToCompress:
            return "Failed to compress.";
        case Msg::DiskFull:
            return "Disk is full.";
        case Msg::DataTooLarge:
            return "Diary data can not be more than 4G bytes.\nSave failure.";
        case Msg::WriteToDiskFailure:
            return "Write to disk failure.";
        case Msg::DataInUse:
            return "Diary data is in use.";
        case Msg::OutOfMemoryDiarySaveFailure:
            return "Out of memory.\nDiary save failure";
        case Msg::FailedToDecompress:
            return "Failed to decompress.";
        case Msg::PasswordTooLong:
            return "The password is too long.\nIt may take at most 11 bytes in code page 932 "
                   "(a double-byte character takes two).";
        case Msg::PasswordNotConvertible:
            return "The password contains a character that can not be used.\nUse letters, digits "
                   "and "
                   "characters of code page 932.";
        case Msg::StickyTextEmpty:
            return "Enter text on the sticky note.";
        case Msg::StickyTextTooLong:
            return "Text on the sticky note is too long.";
        case Msg::StickyNoteSaveFailure:
            return "Write to disk failure.\nSticky note save failure";
        case Msg::FileWriteFailed:
            return "File write failed.";
        case Msg::FileReadFailedPath:
            return "File read failed.(%s)";
        case Msg::NotAFile:
            return "[%s]s not a file.\nAttachment failure.";
        case Msg::FileNameTooLong:
            return "File name is too long.";
        case Msg::EmptyFileNotAttached:
            return "Empty file can not be attached.";
        case Msg::FileTooLargeToAttach:
            return "10M bytes or more files can not be attached.";
        case Msg::FileReadFailed:
            return "File read failed.";
        case Msg::OptimizationCompleted:
            return "Optimization has been completed.";
        case Msg::OptimizationFailed:
            return "Optimization failed.";
        case Msg::AskOptimize:
            return "Do you want to optimize?";
        case Msg::ProcessingAborted:
            return "Processing was aborted.";
        case Msg::DuringOptimization:
            return "During optimization";
        case Msg::DuringCompression:
            return "During compression";
        case Msg::ExportOpenFailure:
            return "Diary data Open failure\nExport failed.";
        case Msg::NoDataToExport:
            return "No data to be exported.";
        case Msg::DiariesCount:
            return "Diaries:%d\n";
        case Msg::AttachedFilesCount:
            return "Attached files:%d";
        case Msg::AskStartExport:
            return "%s\nwill be exported.\n\nAre you sure you want to start the export?";
        case Msg::ExportCompleted:
            return "Export has been completed.";
        case Msg::ExportFailed:
            return "Export failed.";
        case Msg::EnterYear:
            return "Enter year.";
        case Msg::Specify1900OrLater:
            return "Specify 1900 or later.";
        case Msg::EnterMonth:
            return "Enter month.";
        case Msg::MonthIncorrect:
            return "Month is incorrect.";
        case Msg::DayIncorrect:
            return "Day is incorrect.";
        case Msg::StartAfterEnd:
            return "Start date has become since the end date.";
        case Msg::DuringExport:
            return "During export";
        case Msg::AskSkipDamagedFile:
            return "There is a damaged file.(%d-%d-%d)\nAre you sure you want to skip?";
        case Msg::AttachedFileCorrupted:
            return "Attached file is corrupted.";
        case Msg::PathDate:
            return "Date: ";
        case Msg::PathFileName:
            return "File name: ";
        case Msg::PathNameTooLong:
            return "The path name is too long.";
        case Msg::FailedToWrite:
            return "Failed to write.";
        case Msg::AnsiCharactersReplaced:
            return "%d characters are not in code page 932 and were written as \"?\".";
        case Msg::NoDataToImport:
            return "There is no data to be imported.";
        case Msg::AskStartImport:
            return "%s\nwill be imported.\n\nDo you want to start import?";
        case Msg::ImportCompleted:
            return "Import has been completed.";
        case Msg::ImportFailed:
            return "Import failed.";
        case Msg::DuringImport:
            return "During import";
        case Msg::MergeFailure:
            return "Merge failure.";
        case Msg::MergeNotToItself:
            return "Merge not to itself.";
        case Msg::MergeDataNotFound:
            return "Merge diary data can not be found.";
        case Msg::MergeDataWriteProtected:
            return "Merge diary data is write-protected.";
        case Msg::MergeDataEmpty:
            return "Merge diary data is empty.";
        case Msg::AskStartMerge:
            return "Are you sure you want to start the merge?\n* It will be overwritten if the "
                   "diary or attachments "
                   "of the same date already exists.\n\nThe number of the merged diary:  %s%s";
        case Msg::MergeAttachmentsCount:
            return "\nThe number of the merged attachments:  %s";
        case Msg::MergeSourcePassword:
            return "Import data is protected by password.\nEnter password.";
        case Msg::DuringMerge:
            return "During merge";
        case Msg::MergeComplete:
            return "Merge is complete.";
        case Msg::SelectDestinationFolder:
            return "Select destination folder.";
        case Msg::CopyCompleted:
            return "Copy has been completed.";
        case Msg::CopyFailure:
            return "Copy failure";
        case Msg::AskOverwriteData:
            return "Data already exists.\nDo you want to overwrite?";
        case Msg::Copying:
            return "Copying...";
        case Msg::MergeSourceNotEmptied:
            return "The merge is complete, but the merged diary data could not be emptied.";
        case Msg::CompressionFailed:
            return "Compression failed.";
        case Msg::AskCompressAttachments:
            return "Do you want to compress all attached files?";
        case Msg::CompressionCompleted:
            return "Compression has been completed.";
        case Msg::OldDataNotFoundInFolder:
        case Msg::OldDataNotFound:
            return "Old version data can not be found.";
        case Msg::AskConvertOldData:
            return "Old version of the diary data (%s) was found.\nAre you sure you want to "
                   "convert to the new version?";
        case Msg::ConversionFailure:
            return "Diary data conversion failure.";
        case Msg::OldDataPassword:
            return "Old version data is protected by a password.\nEnter password.";
        case Msg::OldDataSavedAs:
            return "Old version of diary data is saved as\n %s";
        case Msg::DuringConversion:
            return "During conversion";
        case Msg::ConversionComplete:
            return "Complete conversion of old version of the diary data in the new version.\n";
        case Msg::ConversionCompleteSavedAs:
            return "Complete conversion of old version of the diary data in the new "
                   "version.\nOld version of diary data is saved as\n %s";
        case Msg::ConverterNotFound:
            return "Necessary DLL in conversion could not be found.";
        case Msg::ConvertOldDiaryData:
            return "Convert old diary data";
        case Msg::ConvertLocation:
            return "&Location";
        case Msg::ConvertBrowse:
            return "&Browse...";
        case Msg::ConvertStart:
            return "&Start";
        case Msg::Sample:
            return "Sample";
        case Msg::OpenNotAnyMore:
            return "Open not any more.";
        case Msg::EnterDay:
            return "Enter day.";
        case Msg::TitleTooLong:
            return "Title is too long. Part of more than 64 characters was truncated.";
        case Msg::DiaryAlreadyOpened:
            return "Diary of this day already opened.";
        case Msg::ReplaceExistingDiary:
            return "There is already a diary on this day.\nReplace existing diary?";
        case Msg::SpecifiedTextTooLong:
            return "Specified text is too long.";
        case Msg::DeleteDiaryConfirm:
            return "Are you sure you want to delete %s of diary?";
        case Msg::DeleteNoteConfirm:
            return "Are you sure you want to delete %s of note?";
        case Msg::DiaryHasAttachments:
            return "This diary has attachments.\nRemove this?";
        case Msg::MonthNoteHasAttachments:
            return "This month note has attachments.\nRemove this?";
        case Msg::YearNoteHasAttachments:
            return "This year note has attachments.\nRemove this?";
        case Msg::DiaryHasStickyNote:
            return "Do you want to remove sticky note of this diary?";
        case Msg::MonthNoteHasStickyNote:
            return "The note for this month has a sticky note.\nRemove this?";
        case Msg::YearNoteHasStickyNote:
            return "The note for this year has a sticky note.\nRemove this?";
        case Msg::StickyNoteCreateFailed:
            return "Failed to create sticky note.";
        case Msg::NoMoreStickyNotes:
            return "No be pasted any more sticky note.";
        case Msg::BlinkTermOrder:
            return "Magnitude relation of blinking period is incorrect.";
        case Msg::TransparencyAbnormal:
            return "Transparency specified abnormal.";
        case Msg::DayHasStickyNote:
            return "There is already sticky note in a note of this day.";
        case Msg::MonthHasStickyNote:
            return "There is already sticky notes in a note of this year";
        case Msg::YearHasStickyNote:
            return "There is already sticky note in a note of this year";
        case Msg::DeleteAttachedFiles:
            return "Do you want to delete selected attached file%s?";
        case Msg::NoMoreAttachments:
            return "No more attachments is not allowed.";
        case Msg::ImageLackOfMemory:
            return "There is an image that can not be displayed due to lack of memory.";
        case Msg::ThumbnailLackOfMemory:
            return "Part of the thumbnail can not be displayed because of insufficient memory.";
        case Msg::Attaching:
            return "Attaching...";
        case Msg::SelectDeleteTarget:
            return "Select the Delete target.";
        case Msg::AskDeleteSelectedFile:
            return "Are you sure delete selected file%s?";
        case Msg::FetchingAttachmentInformation:
            return "Fetching attachment information.";
        case Msg::DefaultTitleColor:
            return "Default title color";
        case Msg::BackColor:
            return "Back color";
        case Msg::AutoColor:
            return "Auto";
        case Msg::OtherColor:
            return "Other...";
        case Msg::BlinkRateIncorrect:
            return "Specifying blink rate is incorrect.";
        case Msg::EnterTextToSearch:
            return "Enter text to search for.";
        case Msg::TextNotFound:
            return "Specified text was not found.";
        case Msg::HelpNotOpened:
            return "The help could not be opened.";
        case Msg::CloseWithUnsavedEntry:
            return "An entry could not be saved.\nDo you want to close anyway and lose its "
                   "changes?";
        case Msg::ReadFailed:
            return "The diary data could not be read.";
        case Msg::BytesPastEndKept:
            return "Bytes were found past the end of the diary data.\nThey have been kept in "
                   "%s";
        case Msg::RecordsPastEnd:
            return "Records were found past the end of the diary data.\nDo you want to rescue "
                   "the diary data?";
        case Msg::DuringRescue:
            return "Rescuing diary data...";
        case Msg::RescueDone:
            return "The diary data has been rescued into %s\nThe damaged file has been kept as "
                   "%s";
        case Msg::RescueFailed:
            return "The diary data could not be rescued.";
        case Msg::AskRescue:
            return "Every readable record of the diary data is copied into a fresh diary data "
                   "file; the present file is kept under a new name.\nDo you want to rescue the "
                   "diary data?";
        case Msg::RescueLostDates:
            return "These dates lost something:";
        case Msg::DataFileReplaced:
            return "Another program (a sync tool, perhaps) replaced the data file\n %s\nwhile it "
                   "was open here. Nothing more was written into the replaced file; what it held "
                   "is kept as\n %s\n\nDo you want to merge the kept file into the new data "
                   "file now?\nEither way the entries open in the window are saved into the new "
                   "data file.";
        case Msg::DataFileGone:
            return "Another program deleted or moved away the data file\n %s\nwhile it was "
                   "open here. What it held was put back under its name.";
        case Msg::KeptFileStays:
            return "The kept file stays beside the data file as\n %s\n\"Merge conflicted "
                   "copies\" in the File menu merges it later.";
        case Msg::KeepReplacedFailed:
            return "The data file was replaced by another program, and what the replaced file "
                   "held could not be kept as\n %s\n(%s).\nNothing is written until it can "
                   "be kept: make room and switch back to the program to try again.";
        case Msg::ConflictCopyFound:
            return "A sync tool left a conflicted copy of the data file beside it:\n %s\n\nDo "
                   "you want to merge it into your diary? Once merged it is renamed to\n %s";
        case Msg::ConflictCopyDamaged:
            return "This conflicted copy is damaged or not a data file and was left as it is:\n "
                   "%s";
        case Msg::NoConflictCopies:
            return "There are no conflicted copies beside the data file.";
        case Msg::ReplacedWhileRunning:
            return "Another program replaced, moved or deleted the data file\n %s\nwhile the "
                   "command ran. Nothing more was written into it; run the command again.";
        case Msg::ConflictCopyNotMoved:
            return "The conflicted copy was merged but could not be renamed, so it will be "
                   "offered again:\n %s";
        case Msg::InstanceUnreachable:
            return "Tally Leaf seems to be running already, but it does not answer.\n"
                   "Close it and start again. If it is not running, delete this lock "
                   "file and start again:\n%s";
    }
    assert(false && "message without text");
    return {};
}

std::string FormatText(Msg id, std::initializer_list<std::string_view> args) {
    const std::string_view text = Text(id);
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd') &&
            next != args.end()) {
            out += *next++;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tl::res
