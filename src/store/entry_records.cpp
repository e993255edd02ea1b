// Entry records of CDiaryDataFile: the header (kind 1), the plain text
// (kind 2), the rich text (kind 5) and the weather list (kind 6); their
// layouts are in record_layout.h.

#include <algorithm>
#include <bit>
#include <cstring>

#include "compression.h"
#include "diary_data_file.h"
#include "record_decode.h"
#include "record_images.h"
#include "record_layout.h"

namespace tl::store {

namespace {

std::u16string TextOfBytes(std::span<const std::uint8_t> bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    std::size_t n = 0;
    for (; n < text.size(); ++n) {
        const char16_t c = GetU16(&bytes[2 * n]);
        if (c == 0) break;
        text[n] = c;
    }
    text.resize(n);
    return text;
}

}  // namespace

std::u16string HeaderTitle(std::span<const std::uint8_t> bytes, std::uint32_t units) {
    if (units == 1) return GetText(&bytes[kEhOneUnitTitle], kEhOneUnitTitleMax);
    return bytes.size() < kEhTitle + 2 * kTitleMax ? std::u16string()
                                                   : GetText(&bytes[kEhTitle], kTitleMax);
}

std::optional<std::u16string> DecodePlainText(std::span<const std::uint8_t> record) {
    if (record.size() < kUnitSize || record.size() > kTextLimit + kUnitSize) return std::nullopt;
    const std::uint32_t original = GetU32(&record[kPtOriginal]);
    const std::size_t capacity = record.size() - kPtPayload;
    std::span<const std::uint8_t> stored = record.subspan(kPtPayload);
    if (GetU32(&record[kPtFlag]) == 0)
        return TextOfBytes(stored.first(std::min<std::size_t>(original, capacity)));
    const std::uint32_t storedSize = GetU32(&record[kPtStored]);
    if (storedSize > capacity) return std::nullopt;
    // Inflated straight into the text (the stored bytes are UTF-16LE) when
    // the stated original size holds it. That size is informative only:
    // other writers and converted old files do not keep it exact, so a
    // stream that inflates to more is read again up to the fixed cap.
    // Deflate expands at most 1032 to 1, so a damaged size cannot make
    // a small record claim megabytes of zeroed memory per read.
    const std::uint64_t bound = std::uint64_t{storedSize} * kDeflateMaxRatio + 2;
    const auto room =
        static_cast<std::size_t>(std::min<std::uint64_t>({original, bound, kTextLimit}));
    if constexpr (std::endian::native == std::endian::little) {
        std::u16string text((room + 1) / 2, u'\0');
        const std::optional<std::size_t> n = InflateInto(
            stored.first(storedSize), {reinterpret_cast<std::uint8_t*>(text.data()), room});
        if (n) {
            text.resize(*n / 2);
            text.resize(std::min(text.size(), text.find(u'\0')));
            return text;
        }
    }
    auto payload = DecompressPayload(stored.first(storedSize), kTextLimit, res::Silent());
    if (!payload) return std::nullopt;
    return TextOfBytes(*payload);
}

std::uint64_t CDiaryDataFile::ReadEntryHeader(Date date, EntryHeader* header,
                                              std::array<std::uint8_t, kUnitSize>* firstUnit) {
    RecordWalk walk(*this, 0);
    RecordRef rec;
    if (!walk.next(rec, OfKindAndDate(KindBit(kKindEntryHeader), date))) return 0;
    return ReadEntryHeaderAt(rec.unit, header, firstUnit) ? rec.unit : 0;
}

int CDiaryDataFile::ReadEntryHeaderAt(std::uint64_t unit, EntryHeader* header,
                                      std::array<std::uint8_t, kUnitSize>* firstUnit) {
    std::array<std::uint8_t, kUnitSize> bytes{};
    if (ReadBytes(unit, bytes.data(), kUnitSize) != kUnitSize) return 0;
    RecordHeader h;
    std::copy_n(bytes.begin(), kRecordHeaderSize, h.bytes.begin());
    if (h.kind() != kKindEntryHeader) return 0;
    if (firstUnit) *firstUnit = bytes;
    if (header) {
        header->title = titleAt(unit, h.units());
        header->weather = GetText(&bytes[kEhWeather], kWeatherMax);
        header->colors = {GetU32(&bytes[kEhTextColor]), GetU32(&bytes[kEhBackOn]),
                          GetU32(&bytes[kEhBackColor]), GetU32(&bytes[kEhBlink])};
    }
    return 1;
}

std::u16string CDiaryDataFile::titleAt(std::uint64_t unit, std::uint32_t units) {
    std::array<std::uint8_t, 2 * kUnitSize> bytes{};
    const std::size_t want = units == 1 ? kUnitSize : 2 * kUnitSize;
    if (ReadBytes(unit, bytes.data(), want) != want) return {};
    return HeaderTitle(bytes, units);
}

int CDiaryDataFile::ReadEntryTextAt(std::uint64_t unit, std::u16string& text) {
    std::optional<RecordHeader> h = ReadRecordHeader(unit);
    if (!h || h->kind() != kKindPlainText) return 0;
    const std::uint64_t bytesInRecord = static_cast<std::uint64_t>(h->units()) * kUnitSize;
    if (bytesInRecord > kTextLimit + kUnitSize) {
        m_ui->warn(res::Msg::FailedToDecompress);
        return 0;
    }
    std::vector<std::uint8_t> record(static_cast<std::size_t>(bytesInRecord));
    if (ReadBytes(unit, record.data(), record.size()) != record.size()) return 0;
    std::optional<std::u16string> decoded = DecodePlainText(record);
    if (!decoded) {
        m_ui->warn(res::Msg::FailedToDecompress);
        return 0;
    }
    text = std::move(*decoded);
    return 1;
}

std::uint64_t CDiaryDataFile::ReadEntryText(Date date, std::u16string& text) {
    RecordWalk walk(*this, 0);
    RecordRef rec;
    if (!walk.next(rec, OfKindAndDate(KindBit(kKindPlainText), date))) return 0;
    return ReadEntryTextAt(rec.unit, text) ? rec.unit : 0;
}

std::uint64_t CDiaryDataFile::ReadEntryRichText(Date date, std::vector<std::uint8_t>& rtf) {
    RecordWalk walk(*this, 0);
    RecordRef rec;
    if (!walk.next(rec, OfKindAndDate(KindBit(kKindRichText), date))) return 0;
    return ReadEntryRichTextAt(rec.unit, rtf) ? rec.unit : 0;
}

int CDiaryDataFile::ReadEntryRichTextAt(std::uint64_t unit, std::vector<std::uint8_t>& rtf) {
    std::optional<RecordHeader> h = ReadRecordHeader(unit);
    if (!h || h->kind() != kKindRichText) return 0;
    const std::uint64_t bytesInRecord = static_cast<std::uint64_t>(h->units()) * kUnitSize;
    if (bytesInRecord > kTextLimit + kUnitSize || h->units() < 2) {
        m_ui->warn(res::Msg::FailedToDecompress);
        return 0;
    }
    std::vector<std::uint8_t> record(static_cast<std::size_t>(bytesInRecord));
    if (ReadBytes(unit, record.data(), record.size()) != record.size()) return 0;
    const std::uint32_t original = GetU32(&record[kRtOriginal]);
    const std::size_t capacity = record.size() - kRtPayload;
    std::span<const std::uint8_t> stored(record.data() + kRtPayload, capacity);
    if (record[kRtFlag] == 0) {
        auto part = stored.first(std::min<std::size_t>(original, capacity));
        rtf.assign(part.begin(), part.end());
        return 1;
    }
    const std::uint32_t storedSize = static_cast<std::uint32_t>(GetU64(&record[kRtStored]));
    if (storedSize > capacity) {
        m_ui->warn(res::Msg::FailedToDecompress);
        return 0;
    }
    auto payload = DecompressPayload(stored.first(storedSize), kTextLimit, *m_ui);
    if (!payload) return 0;
    rtf = std::move(*payload);
    return 1;
}

namespace {

// The record images of one entry save: header, plain text and, from the
// editor, rich text. nullopt when compression failed (the user was told).
std::optional<std::vector<Image>> EntryImages(Date date, const EntryHeader& header,
                                              std::u16string_view text,
                                              const std::span<const std::uint8_t>* rtf,
                                              res::UserInterface& ui) {
    std::vector<Image> images;
    images.push_back(EntryHeaderImage(date, header.title, header.weather, header.colors));
    std::optional<Image> plain = PlainTextImage(date, text);
    std::optional<Image> rich = rtf ? RichTextImage(date, *rtf) : std::nullopt;
    if (!plain || (rtf && !rich)) {
        ui.warn(res::Msg::FailedToCompress);
        return std::nullopt;
    }
    images.push_back(std::move(*plain));
    if (rich) images.push_back(std::move(*rich));
    return images;
}

}  // namespace

// The save of an entry, from the editor or from import: one change
// (ApplyChanges) whose new header, text and rich text replace the date's
// old ones of kinds 1, 2 and 5 at once. Everything empty deletes the entry.
// A failure keeps the old entry whole. The date's sticky note and its
// attachments are not part of the entry: they stay as they are.
static int SaveEntryRecords(CDiaryDataFile& file, Date date, const EntryHeader& header,
                            std::u16string_view text, const std::span<const std::uint8_t>* rtf) {
    res::UserInterface& ui = file.ui();
    try {
        CDiaryDataFile::RecordChange change;
        if (!header.title.empty() || !header.weather.empty() || !text.empty()) {
            auto images = EntryImages(date, header, text, rtf, ui);
            if (!images) return 0;
            change.images = std::move(*images);
        }
        change.entry = file.UnitsOfDate(date, {kKindEntryHeader, kKindPlainText, kKindRichText});
        if (!file.ApplyChanges(std::span(&change, 1))) {
            ui.warn(res::Msg::WriteToDiskFailure);
            return 0;
        }
        return 1;
    } catch (const FileError& e) {
        // A replaced file is told by whoever handles the replacement.
        if (e.kind() != FileErrorKind::Replaced)
            ui.warn(e.kind() == FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                        : res::Msg::WriteToDiskFailure);
        return 0;
    } catch (const std::bad_alloc&) {
        ui.warn(res::Msg::OutOfMemoryDiarySaveFailure);
        return 0;
    }
}

int CDiaryDataFile::SaveEntry(Date date, std::u16string_view title, std::u16string_view weather,
                              std::u16string_view text) {
    EntryHeader header;
    header.title = title.substr(0, kTitleMax);
    header.weather = weather.substr(0, 2 * kWeatherMax);  // the record keeps the first 10
    return SaveEntryRecords(*this, date, header, text, nullptr);
}

int CDiaryDataFile::SaveEntry(Date date, const EntryHeader& header, std::u16string_view text) {
    return SaveEntryRecords(*this, date, header, text, nullptr);
}

int CDiaryDataFile::SaveEditorEntry(Date date, const EntryHeader& header, std::u16string_view text,
                                    std::span<const std::uint8_t> rtf) {
    return SaveEntryRecords(*this, date, header, text, &rtf);
}

int CDiaryDataFile::ReadWeatherList(WeatherList& list) {
    RecordHeader h;
    std::uint64_t unit = FindNext(kKindWeatherList, 0, &h);
    if (unit == 0 || h.units() < kWlUnits) return 0;
    std::array<std::uint8_t, kWlUnits * kUnitSize> bytes{};
    if (ReadBytes(unit, bytes.data(), bytes.size()) != bytes.size()) return 0;
    for (std::size_t i = 0; i < kWeatherChoices; ++i)
        list[i] = GetText(&bytes[kWlFirst + kWlStride * i], kWeatherMax);
    return 1;
}

int CDiaryDataFile::WriteWeatherList(const WeatherList& list) {
    auto image = NewImage(kKindWeatherList, Date{}, kWlUnits);
    for (std::size_t i = 0; i < kWeatherChoices; ++i)
        PutText(&image[kWlFirst + kWlStride * i], kWeatherMax, list[i]);
    std::vector<std::uint64_t> replaced;
    RecordHeader h;
    for (std::uint64_t u = FindNext(kKindWeatherList, 0, &h); u != 0;
         u = FindNext(kKindWeatherList, u + h.units(), &h))
        replaced.push_back(u);
    std::vector<std::vector<std::uint8_t>> images{std::move(image)};
    return ReplaceRecords(images, replaced);
}

WeatherList CDiaryDataFile::DefaultWeatherList() {
    WeatherList list;
    list[0] = u"Sunny";
    list[1] = u"cloudy";
    list[2] = u"rain";
    list[3] = u"snow";
    return list;
}

int CDiaryDataFile::EnsureWeatherList() {
    WeatherList list;
    if (ReadWeatherList(list)) return 1;
    if (!IsWritable()) return 0;
    return WriteWeatherList(DefaultWeatherList());
}

}  // namespace tl::store
