#include "record_images.h"

#include <algorithm>

#include "store/record_layout.h"
#include "store/attachment_names.h"
#include "store/compression.h"
#include "store/diary_data_file.h"
#include "store/record_header.h"

namespace tl::exchange {

namespace L = store;
using store::PutU32;
using store::PutU64;

Image NewImage(std::uint8_t kind, store::Date date, std::uint64_t units) {
    Image image(static_cast<std::size_t>(units) * store::kUnitSize, 0);
    store::RecordHeader h;
    h.setKind(kind);
    h.setDate(date.year, date.month, date.day);
    h.setUnits(static_cast<std::uint32_t>(units));
    std::copy(h.bytes.begin(), h.bytes.end(), image.begin());
    return image;
}

Image EntryHeaderImage(store::Date date, std::u16string_view title, std::u16string_view weather) {
    Image image = NewImage(store::kKindEntryHeader, date, L::kEhUnits);
    store::PutText(&image[L::kEhWeather], store::kWeatherMax, weather);
    store::PutText(&image[L::kEhTitle], store::kTitleMax, title);
    return image;
}

std::optional<Image> PlainTextImage(store::Date date, std::u16string_view text) {
    std::vector<std::uint8_t> plain(2 * text.size() + 2, 0);
    for (std::size_t i = 0; i < text.size(); ++i) store::PutU16(&plain[2 * i], text[i]);
    auto stream = store::CompressPayload(plain, res::Silent());
    if (!stream) return std::nullopt;
    Image image = NewImage(store::kKindPlainText, date, store::CDiaryDataFile::UnitsForPayload(stream->size()));
    PutU32(&image[L::kPtOriginal], static_cast<std::uint32_t>(plain.size()));
    PutU32(&image[L::kPtFlag], 1);
    PutU32(&image[L::kPtStored], static_cast<std::uint32_t>(stream->size()));
    std::copy(stream->begin(), stream->end(), image.begin() + L::kPtPayload);
    return image;
}

std::optional<Image> RichTextImage(store::Date date, std::span<const std::uint8_t> rtf) {
    auto stream = store::CompressPayload(rtf, res::Silent());
    if (!stream) return std::nullopt;
    Image image = NewImage(store::kKindRichText, date, stream->size() / store::kUnitSize + 2);
    PutU32(&image[L::kRtOriginal], static_cast<std::uint32_t>(rtf.size()));
    image[L::kRtFlag] = 1;
    PutU64(&image[L::kRtStored], stream->size());
    std::copy(stream->begin(), stream->end(), image.begin() + L::kRtPayload);
    return image;
}

std::optional<Image> AttachmentImage(const AttachmentSource& s) {
    const bool compress = !store::IsArchiveName(s.name);
    std::optional<std::vector<std::uint8_t>> packed;
    if (compress) {
        packed = store::CompressPayload(s.bytes, res::Silent());
        if (!packed) return std::nullopt;
    }
    const std::vector<std::uint8_t>& stored = compress ? *packed : s.bytes;
    const std::uint64_t units = (stored.size() - 1) / store::kUnitSize + L::kAttHeadUnits + 1;
    Image image = NewImage(store::kKindAttachment, s.date, units);
    PutU32(&image[L::kAttOrder], s.order);
    PutU64(&image[L::kAttOriginalSize], s.bytes.size());
    PutU64(&image[L::kAttCreation], static_cast<std::uint64_t>(s.status.times.creation));
    PutU64(&image[L::kAttWrite], static_cast<std::uint64_t>(s.status.times.write));
    PutU64(&image[L::kAttAccess], static_cast<std::uint64_t>(s.status.times.access));
    image[L::kAttAttributes] = s.status.attributes;
    image[L::kAttCompressed] = compress ? 1 : 0;
    PutU64(&image[L::kAttStoredSize], compress ? stored.size() : 0);
    store::PutText(&image[L::kAttName], store::kAttachmentNameMax, s.name);
    std::copy(stored.begin(), stored.end(), image.begin() + L::kAttData);
    return image;
}

}  // namespace tl::exchange
