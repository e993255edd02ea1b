#pragma once

// The rules of an entry's attachments that need no window: how many an
// entry may hold, the number a new one gets, and the texts shown about them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "store/records.h"

namespace tl::diary {

inline constexpr std::size_t kMaxAttachments = 50;

// The number of the next attachment of a date. Numbers are never reused
// while an attachment holds them: the highest stored in the file counts,
// also when that attachment could not be read and is not shown.
std::uint32_t NextAttachmentOrder(std::uint32_t storedMax, std::span<const std::uint32_t> shown);

// The tooltip over a slot: the name, then the sizes as grouped numbers
// ("Original size" and "Compressed size" for a compressed file).
std::string AttachmentTooltip(const store::AttachmentInfo& info);

// "Do you want to delete selected attached file?" for one, "...files?"
// for more.
std::string DeleteAttachmentsQuestion(std::size_t selected);

}  // namespace tl::diary
