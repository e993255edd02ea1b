#pragma once

// The small preview a camera stores inside a JPEG file's Exif block, found
// in the first bytes of the file. The strip shows it instead of decoding
// the whole photograph: only the beginning of a large attachment has to be
// deciphered and inflated. The bytes are untrusted: every offset is
// checked against what was read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tl::diary {

struct JpegPreview {
    // The embedded JPEG, as a range of the bytes given.
    std::size_t offset = 0;
    std::size_t length = 0;
    // Exif orientation 1-8 (1: as stored), for the preview as for the photo.
    int orientation = 1;
    // The photograph's own size as stored (before orientation), when its
    // frame header lies within the bytes given; 0 otherwise.
    int frameWidth = 0;
    int frameHeight = 0;
};

// nullopt when the bytes do not begin a JPEG file or hold no preview.
std::optional<JpegPreview> FindJpegPreview(std::span<const std::uint8_t> jpeg);

// How many bytes of a file to read for its preview: the Exif block is at
// most 64 KB and comes first.
inline constexpr std::size_t kPreviewPrefix = 96 * 1024;

}  // namespace tl::diary
