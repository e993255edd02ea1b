#pragma once

#include <string_view>

namespace tl::res {

// The string table: every text the program tells or asks the user, by number.
// Numbers below 300 are the program's historical resource numbers; texts that
// never had one are numbered from 300 on. Never renumber: the numbers are how
// code and tests name a message.
enum class Msg : int {
    DiaryDataIncorrect = 142,
    OutOfMemory = 196,
    CreatingDiaryDataFailed = 185,
    FailedToCompress = 125,
    DiskFull = 300,
    DataTooLarge = 301,
    FailedToDecompress = 302,
    PasswordTooLong = 303,
    PasswordNotConvertible = 304,
};

// The text of a message, exactly as the program words it. "\n" separates lines.
[[nodiscard]] std::string_view Text(Msg id);

}  // namespace tl::res
