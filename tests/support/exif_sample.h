#pragma once

// JPEG files as cameras write them: an Exif block with the orientation and
// a small preview JPEG, in front of the photograph. For the tests and the
// benchmark of the attachment strip.

#include <cstdint>
#include <span>
#include <vector>

namespace tl::testing {

// photo: a whole JPEG file (from its start-of-image marker). preview: the
// embedded JPEG. The Exif block goes right after the photo's start marker.
std::vector<std::uint8_t> WithExifPreview(std::span<const std::uint8_t> photo,
                                          std::span<const std::uint8_t> preview,
                                          int orientation = 1, bool bigEndian = false);

}  // namespace tl::testing
