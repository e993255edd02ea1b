#pragma once

// Record images (deciphered, whole units) of entries and attachments, for
// the bulk writers that compress on worker threads. Safe to call from any
// thread: they tell nobody; a failure is nullopt and the caller tells the
// user.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "store/file_times.h"
#include "store/records.h"

namespace tl::exchange {

using Image = std::vector<std::uint8_t>;

// Zeros of the units with the record header filled in.
Image NewImage(std::uint8_t kind, store::Date date, std::uint64_t units);

// Kind 1 as import writes it: title and weather, black title, 2 units.
Image EntryHeaderImage(store::Date date, std::u16string_view title, std::u16string_view weather);
// Kind 2: the text with its terminating zero, deflated.
std::optional<Image> PlainTextImage(store::Date date, std::u16string_view text);
// Kind 5: RTF bytes, deflated.
std::optional<Image> RichTextImage(store::Date date, std::span<const std::uint8_t> rtf);

// A file to attach, read whole.
struct AttachmentSource {
    store::Date date;
    std::uint32_t order = 0;
    std::u16string name;
    store::FileStatus status;
    std::vector<std::uint8_t> bytes;
};
// Kind 4: the file's bytes deflated unless it is an archive.
std::optional<Image> AttachmentImage(const AttachmentSource& source);

}  // namespace tl::exchange
