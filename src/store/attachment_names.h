#pragma once

#include <string>
#include <string_view>

namespace tl::store {

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

}  // namespace tl::store
