// The damaged-file set: each case damages a small diary in one way. What
// opens must read as an independent walk of the format reads it; the
// rescue must keep every record that still reads, and nothing of another
// date.

#include "rescue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::store {
namespace {

namespace fs = std::filesystem;

constexpr int kDates = 12;

Date DateNo(int i) {
    return {2024, static_cast<std::uint8_t>(1 + i % 12), static_cast<std::uint8_t>(1 + i)};
}

// Letters that deflate to several units.
std::u16string TextOf(int i) {
    std::u16string t;
    std::uint32_t x = 12345u + static_cast<std::uint32_t>(i);
    for (int n = 0; n < 700 + 30 * i; ++n) {
        x = x * 1103515245u + 12345u;
        t += static_cast<char16_t>(u'a' + (x >> 16) % 26);
    }
    return t;
}

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& p, const std::vector<std::uint8_t>& b) {
    std::ofstream(p, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

CBlowfish Cipher() {
    CBlowfish bf;
    const DataFileKey key = DeriveDataFileKey();
    bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
    return bf;
}

RecordHeader HeaderAt(const std::vector<std::uint8_t>& raw, std::uint64_t unit) {
    RecordHeader h;
    Cipher().Decrypt(raw.data() + unit * kUnitSize, h.bytes.data(), kRecordHeaderSize);
    return h;
}

void PutHeaderAt(std::vector<std::uint8_t>& raw, std::uint64_t unit, const RecordHeader& h) {
    Cipher().Encrypt(h.bytes.data(), raw.data() + unit * kUnitSize, kRecordHeaderSize);
}

// An independent reading of the format: the chain from unit 0 to the
// header's total, as (unit, kind, units).
using Link = std::tuple<std::uint64_t, int, std::uint32_t>;
std::vector<Link> IndependentChain(const std::vector<std::uint8_t>& raw) {
    std::vector<Link> out;
    std::array<std::uint8_t, kUnitSize> head{};
    Cipher().Decrypt(raw.data(), head.data(), kUnitSize);
    const std::uint32_t total = GetU32(&head[kFhTotalUnits]);
    for (std::uint64_t p = 0; p < total;) {
        const RecordHeader h = HeaderAt(raw, p);
        out.emplace_back(p, h.kind(), h.units());
        p += h.units();
    }
    return out;
}

// What a reader of the file sees of each date.
std::map<int, std::string> Contents(CDiaryDataFile& f) {
    std::map<int, std::string> out;
    for (int i = 0; i < kDates; ++i) {
        EntryHeader h;
        std::u16string text;
        std::vector<std::uint8_t> rtf;
        const bool header = f.ReadEntryHeader(DateNo(i), &h) != 0;
        const bool plain = f.ReadEntryText(DateNo(i), text) != 0;
        const bool rich = f.ReadEntryRichText(DateNo(i), rtf) != 0;
        if (!header && !plain && !rich) continue;
        // "?" marks a text that is not the date's own.
        out[i] = std::string(h.title.begin(), h.title.end()) + "|" + std::to_string(text.size()) +
                 (text.empty() || text == TextOf(i) ? "" : "?") + "|" +
                 std::string(rtf.begin(), rtf.end());
    }
    return out;
}

struct Diary {
    testing::TempDir dir;
    fs::path path = dir / "Mrlwbk31.dat";
    std::vector<std::uint64_t> headerUnits;  // each date's header, in date order
    std::map<int, std::string> written;

    Diary() {
        CDiaryDataFile f;
        f.SetPath(path);
        f.SetKey(DeriveDataFileKey());
        EXPECT_EQ(f.Create(), 1);
        EXPECT_EQ(f.Open(false), OpenResult::Opened);
        EXPECT_EQ(f.EnsureWeatherList(), 1);
        for (int i = 0; i < kDates; ++i) {
            const std::string title = "day " + std::to_string(i);
            EXPECT_EQ(
                f.SaveEditorEntry(DateNo(i), {std::u16string(title.begin(), title.end()), u"", {}},
                                  TextOf(i), Bytes("{\\rtf1 " + std::to_string(i) + "}")),
                1);
            headerUnits.push_back(f.ReadEntryHeader(DateNo(i)));
        }
        written = Contents(f);
    }
    std::vector<std::uint8_t> raw() const { return ReadAll(path); }
};

struct Opened {
    bool sound;
    std::vector<Link> chain;
    std::map<int, std::string> contents;
};

Opened Open(const fs::path& path, testing::RecordingUi& ui, bool writable = false) {
    auto f = std::make_unique<CDiaryDataFile>(PosixFileSystem::instance(), ui);
    f->SetPath(path);
    f->SetKey(DeriveDataFileKey());
    Opened o{};
    if (f->Open(!writable) != OpenResult::Opened) return o;
    o.sound = f->Validate() == 1;
    if (!o.sound) return o;
    RecordWalk walk(*f, 0);
    RecordRef rec;
    while (walk.next(rec)) o.chain.emplace_back(rec.unit, rec.header.kind(), rec.header.units());
    o.contents = Contents(*f);
    return o;
}

// The damaged-file set.
struct Case {
    const char* name;
    std::function<void(Diary&, std::vector<std::uint8_t>&)> damage;
    bool opens;
    std::vector<int> lostDates;  // dates that the rescue may keep in part or not at all
};

std::vector<std::uint8_t> Random(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

void SetTotal(std::vector<std::uint8_t>& raw, std::uint32_t total) {
    std::array<std::uint8_t, kUnitSize> u{};
    Cipher().Decrypt(raw.data(), u.data(), kUnitSize);
    PutU32(&u[kFhTotalUnits], total);
    Cipher().Encrypt(u.data(), raw.data(), kUnitSize);
}

std::vector<Case> Cases() {
    return {
        {"1,280 random bytes past the total",
         [](Diary&, auto& raw) {
             auto r = Random(1280, 1);
             raw.insert(raw.end(), r.begin(), r.end());
         },
         true,
         {}},
        {"30 units of its own records copied past the total",
         [](Diary& d, auto& raw) {
             // From inside a record (a header's second unit) to a record
             // boundary: the copy is no chain of its own.
             const std::uint64_t from = d.headerUnits[1] + 1;
             std::uint64_t to = from;
             for (std::uint64_t u : d.headerUnits)
                 if (u >= from + 30) {
                     to = u;
                     break;
                 }
             const std::vector<std::uint8_t> copy(raw.begin() + static_cast<long>(from * kUnitSize),
                                                  raw.begin() + static_cast<long>(to * kUnitSize));
             raw.insert(raw.end(), copy.begin(), copy.end());
         },
         true,
         {}},
        {"a total too small hides the last entries",
         [](Diary& d, auto& raw) { SetTotal(raw, static_cast<std::uint32_t>(d.headerUnits[9])); },
         false,
         {}},
        {"one bad unit in the middle of a text",
         [](Diary& d, auto& raw) {
             const std::uint64_t text = d.headerUnits[6] + 2;  // after the 2-unit header
             auto r = Random(kUnitSize, 2);
             std::copy(r.begin(), r.end(), raw.begin() + static_cast<long>((text + 1) * kUnitSize));
         },
         true,
         {6}},
        {"a zeroed unit where a header was",
         [](Diary& d, auto& raw) {
             std::fill_n(raw.begin() + static_cast<long>(d.headerUnits[4] * kUnitSize), kUnitSize,
                         0);
         },
         false,
         {4}},
        {"a file cut by 100 bytes",
         [](Diary&, auto& raw) { raw.resize(raw.size() - 100); },
         false,
         {kDates - 1}},
        {"a record size that overruns the file",
         [](Diary& d, auto& raw) {
             RecordHeader h = HeaderAt(raw, d.headerUnits[3] + 2);
             h.setUnits(1'000'000);
             PutHeaderAt(raw, d.headerUnits[3] + 2, h);
         },
         false,
         {3}},
    };
}

TEST(DamagedFiles, WhatOpensReadsAsTheFormatSaysAndTheRescueKeepsEveryReadableRecord) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        Diary d;
        auto raw = d.raw();
        c.damage(d, raw);
        WriteAll(d.path, raw);
        testing::RecordingUi ui;
        const Opened o = Open(d.path, ui);
        EXPECT_EQ(o.sound, c.opens);
        if (o.sound) {
            EXPECT_EQ(o.chain, IndependentChain(raw));
            // Every date reads as written, a damaged one at most without
            // what its bad unit held.
            std::map<int, std::string> expected = d.written, seen = o.contents;
            for (int lost : c.lostDates) {
                expected.erase(lost);
                seen.erase(lost);
            }
            EXPECT_EQ(seen, expected);
        }

        testing::RecordingUi rescueUi;
        const fs::path out = d.dir / "rescued.dat";
        const RescueResult r = Rescue({d.path.string(), out.string()}, rescueUi);
        ASSERT_EQ(r.status, 1);
        EXPECT_EQ(ReadAll(d.path), raw) << "the damaged file is never written";
        const Opened rescued = Open(out, rescueUi);
        ASSERT_TRUE(rescued.sound);
        for (const auto& [i, text] : d.written) {
            const bool lost = std::count(c.lostDates.begin(), c.lostDates.end(), i) != 0;
            if (!lost) {
                EXPECT_EQ(rescued.contents.count(i) ? rescued.contents.at(i) : "", text) << i;
            } else if (rescued.contents.count(i)) {
                // What is kept of a damaged date is its own, never another's.
                const std::string& kept = rescued.contents.at(i);
                const std::string title = kept.substr(0, kept.find('|'));
                EXPECT_TRUE(title.empty() || title == "day " + std::to_string(i)) << kept;
                EXPECT_EQ(kept.find('?'), std::string::npos) << kept;
                const std::string rtf = kept.substr(kept.rfind('|') + 1);
                EXPECT_TRUE(rtf.empty() || rtf == "{\\rtf1 " + std::to_string(i) + "}") << kept;
            }
        }
        EXPECT_EQ(r.kept[kKindWeatherList], 1u);
        const std::uint64_t wholeDates = d.written.size() - c.lostDates.size();
        EXPECT_GE(r.kept[kKindEntryHeader], wholeDates);
        EXPECT_LE(r.kept[kKindEntryHeader], static_cast<std::uint64_t>(kDates));
        for (const Date& date : r.lostDates) {
            bool expectedLoss = false;
            for (int lost : c.lostDates) expectedLoss |= DateNo(lost) == date;
            EXPECT_TRUE(expectedLoss) << DateText(date);
        }
    }
}

TEST(DamagedFiles, BytesPastTheTotalAreKeptOnceBeforeTheFirstGrowth) {
    Diary d;
    auto raw = d.raw();
    const auto tail = Random(1280, 3);
    raw.insert(raw.end(), tail.begin(), tail.end());
    WriteAll(d.path, raw);
    testing::RecordingUi ui;
    CDiaryDataFile f(PosixFileSystem::instance(), ui);
    f.SetPath(d.path);
    f.SetKey(DeriveDataFileKey());
    ASSERT_EQ(f.Open(false), OpenResult::Opened);
    ASSERT_EQ(f.Validate(), 1);
    EXPECT_EQ(f.BytesPastTotal(), PastTotal::Bytes);
    EXPECT_TRUE(ui.informations().empty()) << "nothing is told before anything is cut";
    ASSERT_EQ(f.SaveEntry({2025, 1, 1}, u"new", u"", std::u16string(3000, u'x')), 1);
    ASSERT_EQ(f.SaveEntry({2025, 1, 2}, u"newer", u"", std::u16string(3000, u'y')), 1);
    ASSERT_FALSE(f.KeptBytesPath().empty());
    EXPECT_EQ(ReadAll(f.KeptBytesPath()), tail);
    EXPECT_EQ(fs::path(f.KeptBytesPath()).parent_path(), d.path.parent_path());
    ASSERT_EQ(ui.informations().size(), 1u);
    EXPECT_NE(ui.informations()[0].find(f.KeptBytesPath()), std::string::npos);
    f.Close();
    const Opened o = Open(d.path, ui);
    ASSERT_TRUE(o.sound);
    EXPECT_EQ(o.contents, d.written);
}

TEST(DamagedFiles, RecordsBehindATooSmallTotalAreOfferedToTheRescueAndNeverCut) {
    Diary d;
    auto raw = d.raw();
    SetTotal(raw, static_cast<std::uint32_t>(d.headerUnits[8]));
    WriteAll(d.path, raw);
    testing::RecordingUi ui;
    CDiaryDataFile f(PosixFileSystem::instance(), ui);
    f.SetPath(d.path);
    f.SetKey(DeriveDataFileKey());
    ASSERT_EQ(f.Open(false), OpenResult::Opened);
    EXPECT_EQ(f.Validate(), 0);
    EXPECT_EQ(f.BytesPastTotal(), PastTotal::Records);
    EXPECT_EQ(f.WriteRecord(std::vector<std::uint8_t>(kUnitSize * 2, 0)), 0);
    f.Close();
    EXPECT_EQ(ReadAll(d.path), raw);

    // In place: the damaged file steps aside, the rescued one takes its name.
    testing::RecordingUi rescueUi;
    const RescueResult r = Rescue({d.path.string(), ""}, rescueUi);
    ASSERT_EQ(r.status, 1);
    EXPECT_EQ(r.rescuedPath, d.path.string());
    EXPECT_EQ(ReadAll(r.damagedKeptPath), raw);
    EXPECT_TRUE(r.lostDates.empty());
    EXPECT_EQ(r.kept[kKindEntryHeader], static_cast<std::uint64_t>(kDates));
    EXPECT_EQ(Open(d.path, rescueUi).contents, d.written);
}

TEST(DamagedFiles, OfTwoWholeVersionsOfADateTheOnePastTheTotalWins) {
    Diary d;
    auto raw = d.raw();
    const std::uint32_t total = static_cast<std::uint32_t>(raw.size() / kUnitSize);
    {
        // A newer version of date 2 and one more date, hidden past the total.
        CDiaryDataFile f;
        f.SetPath(d.path);
        f.SetKey(DeriveDataFileKey());
        ASSERT_EQ(f.Open(false), OpenResult::Opened);
        ASSERT_EQ(f.Validate(), 1);
        ASSERT_EQ(f.SaveEditorEntry(DateNo(2), {u"later", u"", {}}, TextOf(2), Bytes("{\\rtf1 L}")),
                  1);
    }
    raw = d.raw();
    SetTotal(raw, total);
    // The old version of date 2 is free now: bring it back, as a save cut
    // short would have left it.
    RecordHeader old = HeaderAt(raw, d.headerUnits[2]);
    old.setKind(kKindEntryHeader);
    PutHeaderAt(raw, d.headerUnits[2], old);
    WriteAll(d.path, raw);
    testing::RecordingUi ui;
    const RescueResult r = Rescue({d.path.string(), (d.dir / "out.dat").string()}, ui);
    ASSERT_EQ(r.status, 1);
    const Opened o = Open(d.dir / "out.dat", ui);
    ASSERT_TRUE(o.sound);
    ASSERT_TRUE(o.contents.count(2));
    EXPECT_EQ(o.contents.at(2).substr(0, 6), "later|");
}

TEST(DamagedFiles, ATextWithoutItsHeaderReadsAsAnUntitledEntryAndIsKept) {
    Diary d;
    auto raw = d.raw();
    RecordHeader h = HeaderAt(raw, d.headerUnits[5]);
    h.setKind(kKindFree);
    PutHeaderAt(raw, d.headerUnits[5], h);
    WriteAll(d.path, raw);
    testing::RecordingUi ui;
    // A writable open frees what interrupted saves left behind: not this.
    const Opened first = Open(d.path, ui, true);
    ASSERT_TRUE(first.sound);
    ASSERT_TRUE(first.contents.count(5));
    EXPECT_EQ(first.contents.at(5), "|" + std::to_string(TextOf(5).size()) + "|{\\rtf1 5}");
    EXPECT_EQ(Open(d.path, ui, true).contents, first.contents);
    const RescueResult r = Rescue({d.path.string(), (d.dir / "out.dat").string()}, ui);
    ASSERT_EQ(r.status, 1);
    EXPECT_EQ(Open(d.dir / "out.dat", ui).contents, first.contents);
}

}  // namespace
}  // namespace tl::store
