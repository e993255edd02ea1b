#include "old_data_files.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>

#include "app/app_settings.h"
#include "store/codepage.h"
#include "store/diary_data_file.h"
#include "store/record_images.h"
#include "store/record_layout.h"

namespace tl::testing {

namespace {

using store::Date;
using store::Image;
constexpr std::size_t kUnit = store::kUnitSize;

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("old data file: ") + what);
}

// The text in code page 932, whole characters only, at most bytes long.
std::string AnsiFitting(std::u16string_view text, std::size_t bytes) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = (text[i] >= 0xD800 && text[i] < 0xDC00) ? 2 : 1;
        std::optional<std::string> c = store::ToAnsi(text.substr(i, n));
        Check(c.has_value(), "a character outside code page 932");
        if (out.size() + c->size() > bytes) break;
        out += *c;
        i += n - 1;
    }
    return out;
}

void PutAnsi(std::uint8_t* field, std::size_t bytes, std::u16string_view text) {
    const std::string a = AnsiFitting(text, bytes);
    std::memset(field, 0, bytes);
    std::memcpy(field, a.data(), a.size());
}

// What an 8-bit field of so many bytes gives back, cut to max code units.
std::u16string ThroughAnsi(std::u16string_view text, std::size_t bytes, std::size_t max) {
    std::u16string back = store::FromAnsi(AnsiFitting(text, bytes));
    if (back.size() > max) back.resize(max);
    return back;
}

Image HeaderImage(int index, const OldEntry& e) {
    if (index == 8) return store::EntryHeaderImage(e.date, e.title, e.weather, e.colors);
    // Generation 2.0 kept the title in the header's one unit.
    const bool oneUnit = index == 4;
    Image image = store::NewImage(store::kKindEntryHeader, e.date, oneUnit ? 1 : 2);
    if (oneUnit)
        PutAnsi(&image[store::kEhOneUnitTitle], 40, e.title);
    else
        PutAnsi(&image[kUnit], kUnit, e.title);
    PutAnsi(&image[store::kEhWeather], 20, e.weather);
    if (index <= 5) {
        image[64] = e.colorIndex;
    } else {
        store::PutU32(&image[store::kEhTextColor], e.colors.text);
        store::PutU32(&image[store::kEhBackOn], e.colors.backgroundOn);
        store::PutU32(&image[store::kEhBackColor], e.colors.background);
        store::PutU32(&image[store::kEhBlink], e.colors.blink);
    }
    return image;
}

// Texts were stored as they are: UTF-16 with its zero in generation 3.0,
// code page 932 before.
Image TextImage(int index, const OldEntry& e) {
    std::string bytes;
    if (index == 8) {
        for (char16_t c : e.text) {
            bytes += static_cast<char>(c & 0xff);
            bytes += static_cast<char>(c >> 8);
        }
        bytes.append(2, '\0');
    } else {
        bytes = AnsiFitting(e.text, SIZE_MAX);
    }
    Image image = store::NewImage(store::kKindPlainText, e.date,
                                  store::CDiaryDataFile::UnitsForPayload(bytes.size()));
    store::PutU32(&image[store::kPtOriginal], static_cast<std::uint32_t>(bytes.size()));
    std::memcpy(&image[store::kPtPayload], bytes.data(), bytes.size());
    return image;
}

Image StickyImage(int index, const store::StickyNote& n) {
    Image image = store::NewImage(store::kKindStickyNote, n.date, 1);
    PutAnsi(&image[24], 40, n.text);
    PutAnsi(&image[store::kStFace], 32, n.faceName);
    store::PutU32(&image[store::kStFontWidth], static_cast<std::uint32_t>(n.fontWidth));
    store::PutU32(&image[store::kStFontHeight], static_cast<std::uint32_t>(n.fontHeight));
    store::PutU32(&image[store::kStFontWeight], static_cast<std::uint32_t>(n.fontWeight));
    image[store::kStItalic] = n.italic ? 1 : 0;
    store::PutU32(&image[store::kStTextColor], n.textColor);
    store::PutU32(&image[store::kStTextColor + 4], n.backColor);
    store::PutU32(&image[120], static_cast<std::uint32_t>(n.top));
    image[124] = n.side;
    // Generation 2.1 and before had no rate of their own: a stray byte.
    image[125] = index <= 5 ? 0x77 : n.transparency;
    return image;
}

Image AttachmentImageOf(int index, const OldAttachment& a) {
    store::AttachmentSource source;
    source.date = a.date;
    source.order = a.order;
    source.name = a.name;
    source.status.times = {a.writeTime - 60, a.writeTime, a.writeTime + 60};
    source.status.attributes = 0x20;
    source.bytes = a.bytes;
    std::optional<Image> image = store::AttachmentImage(source);
    Check(image.has_value(), "attachment image");
    if (index == 8) return *image;
    // Before 3.0 the name was 256 bytes of code page 932 and the data began
    // at 384: two units fewer.
    Image old(image->size() - 2 * kUnit, 0);
    std::copy_n(image->begin(), kUnit, old.begin());
    store::PutU32(&old[store::kHdrUnits], static_cast<std::uint32_t>(old.size() / kUnit));
    PutAnsi(&old[kUnit], 256, a.name);
    std::copy(image->begin() + store::kAttData, image->end(), old.begin() + 3 * kUnit);
    return old;
}

}  // namespace

OldDiary SampleOldDiary(unsigned seed, std::u16string password) {
    std::mt19937 rng(seed);
    OldDiary d;
    d.password = std::move(password);
    const std::int16_t year = static_cast<std::int16_t>(1998 + seed % 5);
    const auto day = [&](std::uint8_t m, std::uint8_t dd) { return Date{year, m, dd}; };
    d.entries.push_back({day(3, 5),
                         u"日記の始まり",
                         u"晴れ",
                         u"今日は晴れ。\r\nA walk by the river.",
                         2,
                         {0x0000FF, 1, 0x00FFFF, 1}});
    d.entries.push_back({day(3, 6),
                         std::u16string(70, u'T'),  // longer than every field
                         u"ｸﾓﾘ",
                         u"Half-width ｶﾀｶﾅ and a long line " + std::u16string(300, u'x'),
                         20,
                         {0x00FF00, 0, 0, 2}});
    d.entries.push_back({day(4, 0), u"April", u"", u"Month note", 15, {}});
    d.entries.push_back({{year, 0, 0}, u"The year", u"", u"Year note", 7, {0x808080, 0, 0, 0}});
    d.entries.push_back({day(12, 31), u"", u"雪", u"", 0, {}});

    store::StickyNote n;
    n.date = day(3, 5);
    n.faceName = u"ＭＳ ゴシック and a long face name";
    n.fontWidth = 7;
    n.fontHeight = -12;
    n.fontWeight = 700;
    n.italic = true;
    n.textColor = 0x0000FF;
    n.backColor = 0xC0FFFF;
    n.top = 40;
    n.side = 1;
    n.transparency = 30;
    n.text = u"付箋 note";
    d.notes.push_back(n);
    n.date = day(4, 0);
    n.faceName = u"Sans";
    n.italic = false;
    n.side = 0;
    n.top = 200;
    n.text = u"A month note's sticky with a text that is longer than forty bytes";
    d.notes.push_back(n);

    std::vector<std::uint8_t> noise(3000 + rng() % 500);
    for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
    d.attachments.push_back({day(3, 5), 1, u"写真.jpg", noise, 1000000000});
    d.attachments.push_back(
        {day(3, 5), 2, u"notes.txt", std::vector<std::uint8_t>(5000, 'a'), 1100000000});
    d.attachments.push_back({day(12, 31), 1, u"archive.zip", {'P', 'K', 3, 4, 1, 2}, 1200000000});
    return d;
}

void WriteOldDataFile(int index, const OldDiary& diary, const std::string& path,
                      const store::DataFileKey& key) {
    Check(index >= 4 && index <= 8, "generation index");
    store::CDiaryDataFile file;
    file.SetPath(path);
    file.SetKey(key);
    Check(file.Create() == 1, "create");
    Check(file.Open(false) == store::OpenResult::Opened, "open");
    for (const OldEntry& e : diary.entries) {
        Check(file.WriteRecord(HeaderImage(index, e)) == 1, "header");
        Check(file.WriteRecord(TextImage(index, e)) == 1, "text");
    }
    for (const store::StickyNote& n : diary.notes) {
        if (index == 8)
            Check(file.SaveStickyNote(n) == 1, "sticky note");
        else
            Check(file.WriteRecord(StickyImage(index, n)) == 1, "sticky note");
    }
    for (const OldAttachment& a : diary.attachments)
        Check(file.WriteRecord(AttachmentImageOf(index, a)) == 1, "attachment");
    // Generation 3.0 already had the weather list; it is not carried over.
    if (index == 8) {
        store::WeatherList list = store::CDiaryDataFile::DefaultWeatherList();
        list[0] = u"Old weather";
        Check(file.WriteWeatherList(list) == 1, "weather list");
    }
    if (!diary.password.empty()) Check(file.SetPassword(diary.password) == 1, "password");
    file.Close();
}

OldDiary ConvertedDiary(int index, const OldDiary& diary) {
    OldDiary out = diary;
    if (index == 8) {
        for (OldEntry& e : out.entries) {
            if (e.title.size() > store::kTitleMax) e.title.resize(store::kTitleMax);
        }
        for (store::StickyNote& n : out.notes) {
            if (n.faceName.size() > store::kStickyFaceMax) n.faceName.resize(store::kStickyFaceMax);
            if (n.text.size() > store::kStickyTextMax) n.text.resize(store::kStickyTextMax);
        }
        return out;
    }
    for (OldEntry& e : out.entries) {
        e.title = ThroughAnsi(e.title, index == 4 ? 40 : kUnit, store::kTitleMax);
        e.weather = ThroughAnsi(e.weather, 20, store::kWeatherMax);
        e.text = store::FromAnsi(AnsiFitting(e.text, SIZE_MAX));
        if (index <= 5)
            e.colors = {e.colorIndex < 16 ? app::kStandardColors[e.colorIndex] : 0xFFFFFFu, 0,
                        0xFFFFFF, 0};
    }
    for (store::StickyNote& n : out.notes) {
        n.faceName = ThroughAnsi(n.faceName, 32, store::kStickyFaceMax);
        n.text = ThroughAnsi(n.text, 40, store::kStickyTextMax);
        if (index <= 5) n.transparency = 0;
    }
    for (OldAttachment& a : out.attachments) a.name = ThroughAnsi(a.name, 256, 256);
    return out;
}

}  // namespace tl::testing
