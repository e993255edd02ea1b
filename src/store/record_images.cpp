#include "record_images.h"

#include <algorithm>

#include "attachment_names.h"
#include "compression.h"
#include "diary_data_file.h"
#include "record_header.h"
#include "record_layout.h"

namespace tl::store {

Image NewImage(std::uint8_t kind, Date date, std::uint64_t units) {
    Image image(static_cast<std::size_t>(units) * kUnitSize, 0);
    RecordHeader h;
    h.setKind(kind);
    h.setDate(date.year, date.month, date.day);
    h.setUnits(static_cast<std::uint32_t>(units));
    std::copy(h.bytes.begin(), h.bytes.end(), image.begin());
    return image;
}

Image EntryHeaderImage(Date date, std::u16string_view title, std::u16string_view weather,
                       const TitleColors& colors) {
    Image image = NewImage(kKindEntryHeader, date, kEhUnits);
    PutText(&image[kEhWeather], kWeatherMax, weather);
    PutU32(&image[kEhTextColor], colors.text);
    PutU32(&image[kEhBackOn], colors.backgroundOn);
    PutU32(&image[kEhBackColor], colors.background);
    PutU32(&image[kEhBlink], colors.blink);
    PutText(&image[kEhTitle], kTitleMax, title);
    return image;
}

std::optional<Image> PlainTextImage(Date date, std::u16string_view text) {
    std::vector<std::uint8_t> plain(2 * text.size() + 2, 0);
    for (std::size_t i = 0; i < text.size(); ++i) PutU16(&plain[2 * i], text[i]);
    auto stream = CompressPayload(plain, res::Silent());
    if (!stream) return std::nullopt;
    Image image = NewImage(kKindPlainText, date, CDiaryDataFile::UnitsForPayload(stream->size()));
    PutU32(&image[kPtOriginal], static_cast<std::uint32_t>(plain.size()));
    PutU32(&image[kPtFlag], 1);
    PutU32(&image[kPtStored], static_cast<std::uint32_t>(stream->size()));
    std::copy(stream->begin(), stream->end(), image.begin() + kPtPayload);
    return image;
}

std::optional<Image> RichTextImage(Date date, std::span<const std::uint8_t> rtf) {
    auto stream = CompressPayload(rtf, res::Silent());
    if (!stream) return std::nullopt;
    Image image = NewImage(kKindRichText, date, stream->size() / kUnitSize + 2);
    PutU32(&image[kRtOriginal], static_cast<std::uint32_t>(rtf.size()));
    image[kRtFlag] = 1;
    PutU64(&image[kRtStored], stream->size());
    std::copy(stream->begin(), stream->end(), image.begin() + kRtPayload);
    return image;
}

std::optional<Image> AttachmentImage(const AttachmentSource& s) {
    const bool compress = !IsArchiveName(s.name);
    std::optional<std::vector<std::uint8_t>> packed;
    if (compress) {
        packed = CompressPayload(s.bytes, res::Silent());
        if (!packed) return std::nullopt;
    }
    const std::vector<std::uint8_t>& stored = compress ? *packed : s.bytes;
    const std::uint64_t units = (stored.size() - 1) / kUnitSize + kAttHeadUnits + 1;
    Image image = NewImage(kKindAttachment, s.date, units);
    PutU32(&image[kAttOrder], s.order);
    PutU64(&image[kAttOriginalSize], s.bytes.size());
    PutU64(&image[kAttCreation], static_cast<std::uint64_t>(s.status.times.creation));
    PutU64(&image[kAttWrite], static_cast<std::uint64_t>(s.status.times.write));
    PutU64(&image[kAttAccess], static_cast<std::uint64_t>(s.status.times.access));
    image[kAttAttributes] = s.status.attributes;
    image[kAttCompressed] = compress ? 1 : 0;
    PutU64(&image[kAttStoredSize], compress ? stored.size() : 0);
    PutText(&image[kAttName], kAttachmentNameMax, s.name);
    std::copy(stored.begin(), stored.end(), image.begin() + kAttData);
    return image;
}

}  // namespace tl::store
