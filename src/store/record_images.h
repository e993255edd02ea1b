#pragma once

// Record images (deciphered, whole units) of entries and attachments: the
// one builder of each, for the store's own saves and for the bulk writers
// that compress on worker threads. Safe to call from any
// thread: they tell nobody; a failure is nullopt and the caller tells the
// user.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "file_times.h"
#include "records.h"

namespace tl::store {

using Image = std::vector<std::uint8_t>;

// Zeros of the units with the record header filled in.
Image NewImage(std::uint8_t kind, Date date, std::uint64_t units);

// Kind 1, 2 units: title, weather and the title's colours (import writes
// them black: all zero).
Image EntryHeaderImage(Date date, std::u16string_view title, std::u16string_view weather,
                       const TitleColors& colors = {});
// Kind 2: the text with its terminating zero, deflated.
std::optional<Image> PlainTextImage(Date date, std::u16string_view text);
// Kind 5: RTF bytes, deflated.
std::optional<Image> RichTextImage(Date date, std::span<const std::uint8_t> rtf);

// A file to attach, read whole.
struct AttachmentSource {
    Date date;
    std::uint32_t order = 0;
    std::u16string name;
    FileStatus status;
    std::vector<std::uint8_t> bytes;
};
// Kind 4: the file's bytes deflated unless it is an archive.
std::optional<Image> AttachmentImage(const AttachmentSource& source);

}  // namespace tl::store
