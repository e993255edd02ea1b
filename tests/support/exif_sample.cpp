#include "exif_sample.h"

namespace tl::testing {
namespace {

class Writer {
public:
    explicit Writer(bool big) : m_big(big) {}
    void u16(std::uint16_t v) {
        if (m_big) {
            bytes.push_back(static_cast<std::uint8_t>(v >> 8));
            bytes.push_back(static_cast<std::uint8_t>(v));
        } else {
            bytes.push_back(static_cast<std::uint8_t>(v));
            bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    }
    void u32(std::uint32_t v) {
        if (m_big) {
            u16(static_cast<std::uint16_t>(v >> 16));
            u16(static_cast<std::uint16_t>(v));
        } else {
            u16(static_cast<std::uint16_t>(v));
            u16(static_cast<std::uint16_t>(v >> 16));
        }
    }
    // One IFD entry of a SHORT (type 3) or LONG (type 4) value.
    void entry(std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
        u16(tag);
        u16(type);
        u32(1);
        if (type == 3) {
            u16(static_cast<std::uint16_t>(value));
            u16(0);
        } else {
            u32(value);
        }
    }
    std::vector<std::uint8_t> bytes;

private:
    bool m_big;
};

}  // namespace

std::vector<std::uint8_t> WithExifPreview(std::span<const std::uint8_t> photo,
                                          std::span<const std::uint8_t> preview, int orientation,
                                          bool bigEndian) {
    // TIFF: header (8), IFD0 with one entry (2 + 12 + 4) at 8, IFD1 with
    // three entries (2 + 36 + 4) at 26, the preview at 68.
    Writer tiff(bigEndian);
    tiff.bytes =
        bigEndian ? std::vector<std::uint8_t>{'M', 'M'} : std::vector<std::uint8_t>{'I', 'I'};
    tiff.u16(42);
    tiff.u32(8);
    tiff.u16(1);
    tiff.entry(0x0112, 3, static_cast<std::uint32_t>(orientation));
    tiff.u32(26);
    tiff.u16(3);
    tiff.entry(0x0103, 3, 6);  // compression: JPEG
    tiff.entry(0x0201, 4, 68);
    tiff.entry(0x0202, 4, static_cast<std::uint32_t>(preview.size()));
    tiff.u32(0);
    tiff.bytes.insert(tiff.bytes.end(), preview.begin(), preview.end());

    std::vector<std::uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE1};
    const std::size_t length = 2 + 6 + tiff.bytes.size();
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(length));
    for (char c : {'E', 'x', 'i', 'f', '\0', '\0'}) out.push_back(static_cast<std::uint8_t>(c));
    out.insert(out.end(), tiff.bytes.begin(), tiff.bytes.end());
    out.insert(out.end(), photo.begin() + 2, photo.end());
    return out;
}

}  // namespace tl::testing
