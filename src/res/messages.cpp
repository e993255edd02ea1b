#include "messages.h"

#include <cassert>

namespace tl::res {

std::string_view Text(Msg id) {
    switch (id) {
        case Msg::DiaryDataIncorrect: return "Diary data is incorrect.";
        case Msg::OutOfMemory: return "Out of memory.";
        case Msg::CreatingDiaryDataFailed: return "Creating a diary data failure.";
        case Msg::FailedToCompress: return "Failed to compress.";
        case Msg::DiskFull: return "Disk is full.";
        case Msg::DataTooLarge: return "Diary data can not be more than 4G bytes.\nSave failure.";
        case Msg::FailedToDecompress: return "Failed to decompress.";
        case Msg::PasswordTooLong:
            return "The password is too long.\nIt may take at most 11 bytes in code page 932 "
                   "(a double-byte character takes two).";
        case Msg::PasswordNotConvertible:
            return "The password contains a character that can not be used.\nUse letters, digits and "
                   "characters of code page 932.";
    }
    assert(false && "message without text");
    return {};
}

}  // namespace tl::res
