#include "diary_generator.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/format.h"

namespace tl::bench {

namespace {

using store::Date;

// Own arithmetic on the generator's numbers: the standard distributions
// differ between libraries and the file must not.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {
        // splitmix64
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    std::uint32_t between(std::uint32_t lo, std::uint32_t hi) { return lo + below(hi - lo + 1); }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    bool chance(double p) { return unit() < p; }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[below(N)];
    }

private:
    std::uint64_t m_state;
};

constexpr const char16_t* kWords[] = {
    u"the",     u"a",      u"walked", u"river",   u"morning", u"evening", u"train",
    u"station", u"coffee", u"friend", u"work",    u"meeting", u"rain",    u"garden",
    u"book",    u"letter", u"quiet",  u"busy",    u"bright",  u"cold",    u"warm",
    u"long",    u"short",  u"dinner", u"lunch",   u"market",  u"city",    u"mountain",
    u"sea",     u"bridge", u"cherry", u"blossom", u"tired",   u"happy",   u"wrote",
    u"read",    u"called", u"mother", u"brother", u"office",  u"project", u"deadline",
    u"weekend", u"cat",    u"park",   u"shop",    u"bought",  u"cooked",  u"and",
    u"with",    u"after",  u"before", u"under",   u"near",    u"we",      u"I",
};

constexpr const char16_t* kPhrases[] = {
    u"今日は",         u"天気が良かった",
    u"雨が降った",     u"散歩した",
    u"友達と会った",   u"仕事が忙しかった",
    u"電車で出かけた", u"公園で休んだ",
    u"桜が咲いていた", u"美味しいラーメンを食べた",
    u"本を読んだ",     u"早く寝た",
    u"会議が長かった", u"母に電話した",
    u"買い物に行った", u"夕焼けがきれいだった",
    u"新しい靴",       u"駅前の喫茶店",
    u"少し疲れた",     u"明日も頑張ろう",
};

constexpr const char16_t* kTitles[] = {
    u"",         u"",          u"",       u"Trip to the coast", u"会議", u"Birthday",
    u"引っ越し", u"Rainy day", u"花見",   u"New project",       u"病院", u"Concert",
    u"夏休み",   u"Deadline",  u"大掃除", u"First snow",        u"Exam", u"お正月",
};

constexpr const char16_t* kWeathers[] = {u"Sunny", u"cloudy", u"rain", u"snow",
                                         u"晴れ",  u"曇り",   u"雨",   u"雪"};

constexpr std::uint32_t kColors[] = {0x000000, 0x0000ff, 0x00c000, 0xff0000,
                                     0x0080ff, 0x800080, 0x008080};

// Prose of about n code units: English and Japanese sentences, paragraphs
// separated as the editor separates them. Sometimes holds the rare word.
std::u16string Prose(Random& rng, std::size_t n, bool rare) {
    std::u16string out;
    int sentences = 0;
    while (out.size() < n) {
        if (rng.chance(0.45)) {
            const int phrases = static_cast<int>(rng.between(1, 3));
            for (int i = 0; i < phrases; ++i) {
                if (i) out += u"、";
                out += rng.pick(kPhrases);
            }
            out += u"。";
        } else {
            const int words = static_cast<int>(rng.between(5, 14));
            for (int i = 0; i < words; ++i) {
                std::u16string w = rng.pick(kWords);
                if (i == 0)
                    w[0] = static_cast<char16_t>(w[0] >= u'a' && w[0] <= u'z' ? w[0] - 32 : w[0]);
                if (i) out += u' ';
                out += w;
            }
            out += u". ";
        }
        if (++sentences % 5 == 0) out += u"\r\n";
    }
    out.resize(n);
    if (rare) out.insert(n / 2, std::u16string(u" ") + kRareWord + u" ");
    return out;
}

// A small document as the editor writes it: one font, a colour table, the
// text with non-ASCII characters as \uN escapes.
std::vector<std::uint8_t> Rtf(std::u16string_view text, bool coloured) {
    std::string s =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 Gothic;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;}\\uc1\\f0\\fs20 ";
    if (coloured) s += "\\cf2 ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            s += "\\par\n";
            ++i;
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c < 0x80) {
            s += static_cast<char>(c);
        } else {
            s += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
        }
    }
    s += "\\par}";
    return {s.begin(), s.end()};
}

std::vector<std::uint8_t> RandomBytes(Random& rng, std::size_t n) {
    std::vector<std::uint8_t> b(n);
    for (std::size_t i = 0; i < n; i += 8) {
        const std::uint64_t r = rng.next();
        for (std::size_t j = 0; j < 8 && i + j < n; ++j)
            b[i + j] = static_cast<std::uint8_t>(r >> (8 * j));
    }
    return b;
}

void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// An uncompressed picture: smooth gradients with sensor-like noise in the
// low bits, so it packs a few times, as real ones do.
std::vector<std::uint8_t> Bitmap(Random& rng, std::size_t n) {
    const std::uint32_t width = 256;
    const std::uint32_t height =
        static_cast<std::uint32_t>(std::max<std::size_t>(1, (n - 54) / (width * 3)));
    const std::uint32_t pixels = width * height * 3;
    std::vector<std::uint8_t> b(54 + pixels, 0);
    b[0] = 'B', b[1] = 'M';
    PutLe(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    PutLe(b, 10, 54, 4);
    PutLe(b, 14, 40, 4);
    PutLe(b, 18, width, 4);
    PutLe(b, 22, height, 4);
    PutLe(b, 26, 1, 2);
    PutLe(b, 28, 24, 2);
    PutLe(b, 34, pixels, 4);
    const std::uint32_t tint = rng.below(256);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint64_t noise = rng.next();
            std::uint8_t* p = &b[54 + (y * width + x) * 3];
            p[0] = static_cast<std::uint8_t>((x + tint) ^ (noise & 3));
            p[1] = static_cast<std::uint8_t>((y * 2 + tint) ^ ((noise >> 8) & 3));
            p[2] = static_cast<std::uint8_t>(((x + y) / 2) ^ ((noise >> 16) & 7));
        }
    }
    return b;
}

// Already-compressed pictures: a real signature and header, then bytes
// that do not pack.
std::vector<std::uint8_t> PackedPicture(Random& rng, std::size_t n, bool jpeg) {
    std::vector<std::uint8_t> b = RandomBytes(rng, n);
    if (jpeg) {
        const std::uint8_t head[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J',
                                     'F',  'I',  'F',  0x00, 0x01, 0x01};
        std::copy(std::begin(head), std::end(head), b.begin());
        b[n - 2] = 0xFF, b[n - 1] = 0xD9;
    } else {
        const std::uint8_t head[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                     0,    0,   0,   13,  'I',  'H',  'D',  'R'};
        std::copy(std::begin(head), std::end(head), b.begin());
    }
    return b;
}

std::string Utf8(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<std::uint8_t> TextDocument(Random& rng, std::size_t n) {
    std::string s;
    while (s.size() < n) s += Utf8(Prose(rng, 2000, false));
    s.resize(n);
    return {s.begin(), s.end()};
}

std::vector<std::uint8_t> Table(Random& rng, std::size_t n) {
    std::string s = "date,amount,shop,note\n";
    while (s.size() < n) {
        char line[96];
        std::snprintf(line, sizeof line, "2019-%02u-%02u,%u.%02u,shop %u,%s\n", rng.between(1, 12),
                      rng.between(1, 28), rng.below(20000), rng.below(100), rng.below(40),
                      rng.chance(0.5) ? "paid" : "card");
        s += line;
    }
    s.resize(n);
    return {s.begin(), s.end()};
}

// Half text objects, half compressed streams.
std::vector<std::uint8_t> Document(Random& rng, std::size_t n) {
    std::vector<std::uint8_t> b = TextDocument(rng, n / 2);
    const std::string head = "%PDF-1.4\n";
    std::copy(head.begin(), head.end(), b.begin());
    const std::vector<std::uint8_t> packed = RandomBytes(rng, n - b.size());
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

// One attachment: its name and bytes. About half the bytes are already
// compressed, as pictures and archives are.
std::pair<std::string, std::vector<std::uint8_t>> Attachment(Random& rng, int serial,
                                                             const DiaryOptions& o) {
    const double u = rng.unit();
    // Most attachments are small; a few approach the largest size.
    const std::size_t n =
        o.minAttachmentBytes +
        static_cast<std::size_t>((o.maxAttachmentBytes - o.minAttachmentBytes) * u * u * u);
    struct Kind {
        std::uint32_t below;  // percent
        const char* name;
        std::vector<std::uint8_t> (*make)(Random&, std::size_t);
    };
    static const Kind kKinds[] = {
        {20, "IMG_%04d.jpg", [](Random& r, std::size_t m) { return PackedPicture(r, m, true); }},
        {25, "screenshot %d.png",
         [](Random& r, std::size_t m) { return PackedPicture(r, m, false); }},
        {42, "scan%04d.bmp", Bitmap},
        {65, "memo-%d.txt", TextDocument},
        {77, "expenses %d.csv", Table},
        {97, "ticket-%d.pdf", Document},
        {100, "photos-%d.zip", RandomBytes},
    };
    const std::uint32_t type = rng.below(100);
    const Kind& kind = *std::find_if(std::begin(kKinds), std::end(kKinds),
                                     [&](const Kind& k) { return type < k.below; });
    char name[64];
    std::snprintf(name, sizeof name, kind.name, serial);
    return {name, kind.make(rng, n)};
}

store::EntryHeader Header(Random& rng) {
    store::EntryHeader h;
    h.title = rng.pick(kTitles);
    h.weather = rng.chance(0.8) ? rng.pick(kWeathers) : u"";
    if (!h.title.empty() && rng.chance(0.6)) {
        h.colors.text = rng.pick(kColors);
        if (rng.chance(0.3)) {
            h.colors.backgroundOn = 1;
            h.colors.background = 0x00ffff;
        }
        if (rng.chance(0.1)) h.colors.blink = rng.between(1, 2);
    }
    return h;
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysIn(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

Date Next(Date d) {
    if (d.day < DaysIn(d.year, d.month))
        return {d.year, d.month, static_cast<std::uint8_t>(d.day + 1)};
    if (d.month < 12) return {d.year, static_cast<std::uint8_t>(d.month + 1), 1};
    return {static_cast<std::int16_t>(d.year + 1), 1, 1};
}

class Writer {
public:
    Writer(store::CDiaryDataFile& file, Random& rng, const DiaryOptions& o, std::string scratch)
        : m_file(file), m_rng(rng), m_options(o), m_scratch(std::move(scratch)) {}

    void entry(Date d) {
        const std::size_t units = m_rng.between(m_options.minTextBytes, m_options.maxTextBytes) / 2;
        const std::u16string text = Prose(m_rng, units, m_rng.chance(1.0 / 300));
        const auto rtf = Rtf(text, m_rng.chance(0.2));
        if (m_file.SaveEditorEntry(d, Header(m_rng), text, rtf) != 1) fail("entry");
    }

    void attach(Date d, std::uint32_t order) {
        auto [name, bytes] = Attachment(m_rng, ++m_serial, m_options);
        const std::string path = m_scratch + "/" + name;
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            if (!out) fail("scratch file");
        }
        // Times from the diary's date rather than from today; the creation
        // time is the file system's own and cannot be set.
        const auto day = std::chrono::sys_days(
            std::chrono::year(d.year) / std::chrono::month(d.month) / std::chrono::day(d.day));
        const timespec noon{static_cast<time_t>(day.time_since_epoch().count()) * 86400 + 43200, 0};
        const timespec times[2] = {noon, noon};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        if (m_file.AttachFile(path, d, order) != 1) fail("attachment");
        std::filesystem::remove(path);
    }

    void sticky(Date d) {
        store::StickyNote n;
        n.date = d;
        n.faceName = u"Gothic";
        n.fontHeight = -12;
        n.textColor = m_rng.pick(kColors);
        n.backColor = 0x80ffff;
        n.top = static_cast<std::int32_t>(m_rng.below(600));
        n.side = static_cast<std::uint8_t>(m_rng.below(2));
        n.text = Prose(m_rng, m_rng.between(10, 60), false);
        if (m_rng.chance(0.2)) {
            n.blink = 1;
            n.startSet = true;
            n.start = d;
        }
        if (m_file.SaveStickyNote(n) != 1) fail("sticky note");
    }

private:
    [[noreturn]] static void fail(const char* what) {
        throw std::runtime_error(std::string("the engine refused a save: ") + what);
    }

    store::CDiaryDataFile& m_file;
    Random& m_rng;
    const DiaryOptions& m_options;
    std::string m_scratch;
    int m_serial = 0;
};

}  // namespace

DiaryFigures GenerateDiary(const std::string& path, std::uint64_t seed, const DiaryOptions& o) {
    const auto started = std::chrono::steady_clock::now();
    Random rng(seed);
    store::CDiaryDataFile file;
    file.SetPath(path);
    file.SetKey(store::DeriveDataFileKey());
    if (file.Create() != 1 || file.Open(false) != store::OpenResult::Opened || file.Validate() != 1)
        throw std::runtime_error("cannot create " + path);
    store::WeatherList weathers;
    for (std::size_t i = 0; i < std::size(kWeathers); ++i) weathers[i] = kWeathers[i];
    if (file.WriteWeatherList(weathers) != 1)
        throw std::runtime_error("cannot write the weather list");

    const std::string scratch = path + ".parts";
    std::filesystem::create_directories(scratch);
    Writer w(file, rng, o, scratch);

    // What falls on which day is drawn up front, so that the file is written
    // in the order a diarist would write it: day by day.
    const auto days = static_cast<std::uint32_t>(o.dayEntries);
    std::vector<std::uint32_t> attachmentsOn(days, 0);
    for (int i = 0; i < o.attachments; ++i) ++attachmentsOn[rng.below(days)];
    std::set<std::uint32_t> stickyOn, resaveOn;
    while (stickyOn.size() < static_cast<std::size_t>(o.stickyNotes))
        stickyOn.insert(rng.below(days));
    while (resaveOn.size() < static_cast<std::size_t>(o.resaves))
        resaveOn.insert(rng.between(7, days - 1));

    std::vector<Date> written;
    Date d{static_cast<std::int16_t>(o.firstYear), 1, 1};
    for (std::uint32_t i = 0; i < days; ++i, d = Next(d)) {
        if (d.month == 1 && d.day == 1) w.entry({d.year, 0, 0});
        if (d.day == 1) w.entry({d.year, d.month, 0});
        w.entry(d);
        written.push_back(d);
        for (std::uint32_t k = 1; k <= attachmentsOn[i]; ++k) w.attach(d, k);
        if (stickyOn.count(i)) w.sticky(d);
        // A later change to an entry of the last week.
        if (resaveOn.count(i)) w.entry(written[i - rng.between(1, 7)]);
    }
    // Month and year notes of the rest of the span, written ahead.
    for (; d.year < o.firstYear + o.years; d = Next(d)) {
        if (d.month == 1 && d.day == 1) w.entry({d.year, 0, 0});
        if (d.day == 1) w.entry({d.year, d.month, 0});
    }
    file.Close();
    std::filesystem::remove_all(scratch);

    DiaryFigures f = MeasureDiary(path);
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return f;
}

DiaryFigures EnsureDiary(const std::string& path, std::uint64_t seed, const DiaryOptions& o) {
    if (std::filesystem::exists(path)) return MeasureDiary(path);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::string temp = path + ".new";
    DiaryFigures f = GenerateDiary(temp, seed, o);
    std::filesystem::rename(temp, path);
    return f;
}

DiaryFigures MeasureDiary(const std::string& path) {
    store::CDiaryDataFile file;
    file.SetPath(path);
    file.SetKey(store::DeriveDataFileKey());
    if (file.Open(true) != store::OpenResult::Opened || file.Validate() != 1)
        throw std::runtime_error("not a sound data file: " + path);
    DiaryFigures f;
    f.bytes = std::filesystem::file_size(path);
    store::RecordWalk walk(file, 1);
    store::RecordRef rec;
    while (walk.next(rec)) {
        ++f.records;
        if (rec.header.kind() == store::kKindFree) ++f.freeRecords;
    }
    return f;
}

}  // namespace tl::bench
