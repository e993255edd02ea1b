#include "exif_thumbnail.h"

#include <array>
#include <cstring>

namespace tl::diary {
namespace {

// Markers of the JPEG file format.
constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kApp1 = 0xE1;
// Exif tags.
constexpr std::uint16_t kOrientation = 0x0112;
constexpr std::uint16_t kPreviewOffset = 0x0201;  // JPEGInterchangeFormat
constexpr std::uint16_t kPreviewLength = 0x0202;  // JPEGInterchangeFormatLength
constexpr std::size_t kIfdEntry = 12;

std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

// The TIFF structure inside the Exif block, in its own byte order; every
// read is bounded by the block.
class Tiff {
public:
    explicit Tiff(std::span<const std::uint8_t> b) : m_b(b) {}
    bool init() {
        if (m_b.size() < 8) return false;
        if (m_b[0] == 'I' && m_b[1] == 'I')
            m_little = true;
        else if (m_b[0] == 'M' && m_b[1] == 'M')
            m_little = false;
        else
            return false;
        return u16(2) && *u16(2) == 42;
    }
    std::optional<std::uint16_t> u16(std::size_t at) const {
        if (at > m_b.size() || m_b.size() - at < 2) return std::nullopt;
        const std::uint8_t* p = m_b.data() + at;
        return static_cast<std::uint16_t>(m_little ? p[0] | p[1] << 8 : p[0] << 8 | p[1]);
    }
    std::optional<std::uint32_t> u32(std::size_t at) const {
        if (at > m_b.size() || m_b.size() - at < 4) return std::nullopt;
        const std::uint8_t* p = m_b.data() + at;
        return m_little ? static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
                              static_cast<std::uint32_t>(p[3]) << 24
                        : static_cast<std::uint32_t>(p[0]) << 24 |
                              static_cast<std::uint32_t>(p[1] << 16 | p[2] << 8 | p[3]);
    }
    // The value of a SHORT or LONG entry with count 1.
    std::optional<std::uint32_t> value(std::size_t entry) const {
        const auto type = u16(entry + 2);
        const auto count = u32(entry + 4);
        if (!type || !count || *count != 1) return std::nullopt;
        if (*type == 3) {
            const auto v = u16(entry + 8);
            return v ? std::optional<std::uint32_t>(*v) : std::nullopt;
        }
        if (*type == 4) return u32(entry + 8);
        return std::nullopt;
    }
    std::size_t size() const { return m_b.size(); }

private:
    std::span<const std::uint8_t> m_b;
    bool m_little = true;
};

// Reads IFD0 (orientation) and IFD1 (the preview) of the Exif block.
bool ReadExif(std::span<const std::uint8_t> block, std::size_t blockOffset, JpegPreview& out) {
    static constexpr std::array<std::uint8_t, 6> kExif = {'E', 'x', 'i', 'f', 0, 0};
    if (block.size() < kExif.size() || std::memcmp(block.data(), kExif.data(), kExif.size()) != 0)
        return false;
    const std::span<const std::uint8_t> tiffBytes = block.subspan(kExif.size());
    Tiff tiff(tiffBytes);
    if (!tiff.init()) return false;
    std::optional<std::uint32_t> ifd = tiff.u32(4);
    std::optional<std::uint32_t> previewAt, previewLength;
    // Two IFDs at most, and each at a later offset, so a loop of offsets
    // in damaged data ends.
    for (int n = 0; n < 2 && ifd && *ifd >= 8; ++n) {
        const auto count = tiff.u16(*ifd);
        if (!count) return false;
        for (std::size_t i = 0; i < *count; ++i) {
            const std::size_t entry = *ifd + 2 + i * kIfdEntry;
            const auto tag = tiff.u16(entry);
            if (!tag) return false;
            const auto v = tiff.value(entry);
            if (!v) continue;
            if (n == 0 && *tag == kOrientation && *v >= 1 && *v <= 8)
                out.orientation = static_cast<int>(*v);
            if (n == 1 && *tag == kPreviewOffset) previewAt = v;
            if (n == 1 && *tag == kPreviewLength) previewLength = v;
        }
        const auto next = tiff.u32(*ifd + 2 + std::size_t{*count} * kIfdEntry);
        if (!next || *next <= *ifd) break;
        ifd = next;
    }
    if (!previewAt || !previewLength || *previewLength < 4 || *previewAt > tiff.size() ||
        tiff.size() - *previewAt < *previewLength)
        return false;
    const std::uint8_t* preview = tiffBytes.data() + *previewAt;
    if (preview[0] != kMarker || preview[1] != kStartOfImage) return false;
    out.offset = blockOffset + kExif.size() + *previewAt;
    out.length = *previewLength;
    return true;
}

bool IsFrameHeader(std::uint8_t marker) {
    // SOF0-SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

std::optional<JpegPreview> FindJpegPreview(std::span<const std::uint8_t> jpeg) {
    if (jpeg.size() < 4 || jpeg[0] != kMarker || jpeg[1] != kStartOfImage) return std::nullopt;
    JpegPreview found;
    bool hasPreview = false;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size()) {
        if (jpeg[pos] != kMarker) break;
        const std::uint8_t marker = jpeg[pos + 1];
        if (marker == kMarker) {  // fill byte
            ++pos;
            continue;
        }
        if (marker == kStartOfScan || marker == 0xD9) break;
        const std::size_t length = Be16(&jpeg.data()[pos + 2]);
        if (length < 2) break;
        const std::size_t dataAt = pos + 4;
        const std::size_t dataLength = length - 2;
        if (marker == kApp1 && !hasPreview && jpeg.size() - dataAt >= dataLength)
            hasPreview = ReadExif(jpeg.subspan(dataAt, dataLength), dataAt, found);
        if (IsFrameHeader(marker) && dataLength >= 5 && jpeg.size() - dataAt >= 5) {
            found.frameHeight = Be16(&jpeg.data()[dataAt + 1]);
            found.frameWidth = Be16(&jpeg.data()[dataAt + 3]);
            break;
        }
        pos = dataAt + dataLength;
    }
    if (!hasPreview) return std::nullopt;
    return found;
}

}  // namespace tl::diary
