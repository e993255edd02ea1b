#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/file_times.h"

namespace tl::res {
class UserInterface;
}

namespace tl::store {

// The checks of a file to be attached, each failure told through ui:
// the file could be queried and is a regular file ...
bool IsAttachableFile(const std::optional<FileStatus>& status, const std::string& path,
                      res::UserInterface& ui);
// ... its name fits, and it is neither empty nor at the size limit.
bool IsAttachableSize(std::u16string_view name, std::uint64_t size, res::UserInterface& ui);

// A stored attachment name made safe to use as one file name inside a
// target folder. Names come from the data file and are untrusted: a name
// must never reach outside the folder it is written to.
//  - "/", "\\", NUL and other control characters (below U+0020, and U+007F)
//    become "_", so no name holds a path separator;
//  - "", "." and ".." become "_";
//  - everything else is kept, leading dots included (hidden files are
//    legitimate attachments).
std::u16string SafeFileName(std::u16string_view storedName);

// Whether a file of this name is stored as it is: ".ZIP" and ".LZH" files,
// in any case, are compressed already and deflating them gains nothing.
bool IsArchiveName(std::u16string_view name);

// Whether an attachment of this name is a picture: its extension, in any
// case, is one of bmp, dib, jpg, jpeg, gif, png, tif, tiff or ico (the
// image library is always there).
bool IsPictureName(std::u16string_view name);

}  // namespace tl::store
