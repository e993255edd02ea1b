#pragma once

// Messages of keeping what a failed save, a restore or a crash would lose:
// string table numbers from 2510 (texts in messages.cpp).

#include "messages.h"

namespace tl::res::kept {

inline constexpr Msg LocationKeptForUnsavedEntry = static_cast<Msg>(2510);
inline constexpr Msg BackupMadeAt = static_cast<Msg>(2511);       // %s: the date and time
inline constexpr Msg ReplacedFileKept = static_cast<Msg>(2512);   // %s: the path
inline constexpr Msg TypingBroughtBack = static_cast<Msg>(2513);  // %s: entry names, one a line

}  // namespace tl::res::kept
