// Feeds arbitrary bytes to the reader of a camera's preview inside a JPEG
// file: it must return for every input, and a preview it finds must lie
// within the bytes given.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "diary/exif_thumbnail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto found = tl::diary::FindJpegPreview(bytes)) {
        if (found->offset > size || found->length > size - found->offset) std::abort();
        if (found->orientation < 1 || found->orientation > 8) std::abort();
        volatile std::uint8_t sum = 0;
        for (std::uint8_t b : bytes.subspan(found->offset, found->length))
            sum = static_cast<std::uint8_t>(sum ^ b);
    }
    return 0;
}
