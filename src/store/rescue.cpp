#include "rescue.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <tuple>

#include "record_layout.h"

namespace tl::store {

namespace {

// A record found by the scan, its image deciphered whole.
struct Found {
    std::uint64_t unit;
    RecordHeader header;
    bool pastTotal;
};

bool PlausibleDate(const RecordHeader& h) {
    const int m = h.month(), d = h.day();
    if (h.kind() == kKindWeatherList) return h.year() == 0 && m == 0 && d == 0;
    if (h.year() < 1 || m > 12 || (m == 0 && d != 0)) return false;
    return d == 0 || d <= DaysInMonth(h.year(), m);
}

bool UnitsFitKind(const RecordHeader& h) {
    switch (h.kind()) {
        case kKindEntryHeader:
            return h.units() == 1 || h.units() == kEhUnits;
        case kKindStickyNote:
            return h.units() == kStickyUnits;
        case kKindWeatherList:
            return h.units() == kWlUnits;
        case kKindRichText:
        case kKindAttachment:
            return h.units() >= 2;
        default:
            return true;
    }
}

// Whether the record's payload decodes.
bool Decodes(CDiaryDataFile& file, const Found& f) {
    switch (f.header.kind()) {
        case kKindPlainText: {
            std::u16string text;
            return file.ReadEntryTextAt(f.unit, text) == 1;
        }
        case kKindRichText: {
            std::vector<std::uint8_t> rtf;
            return file.ReadEntryRichTextAt(f.unit, rtf) == 1;
        }
        case kKindAttachment: {
            std::vector<std::uint8_t> data;
            return file.ReadAttachmentData(f.unit, data) == 1;
        }
        default:
            return true;  // fixed fields only: any bytes read
    }
}

std::tuple<int, int, int> Key(const RecordHeader& h) {
    return {h.year(), h.month(), h.day()};
}

// The records one version of a date brings: an entry's header and texts,
// a sticky note, an attachment, the weather list.
struct Version {
    std::vector<Found> records;
    bool whole = true;
    bool pastTotal = false;
};

// Whether candidate replaces the version chosen so far.
bool Wins(const Version& candidate, const std::optional<Version>& chosen) {
    if (!chosen) return true;
    if (candidate.whole != chosen->whole) return candidate.whole;
    // A copy cut short past the total (a header without the texts that
    // the other version has) is not the later version of the entry.
    if (candidate.records.size() != chosen->records.size())
        return candidate.records.size() > chosen->records.size();
    return candidate.pastTotal && !chosen->pastTotal;
}

}  // namespace

std::string DatedName(FileSystem& fs, const std::string& path, const std::string& tag) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &tm);
    const std::string stem = path + tag + stamp;
    std::string name = stem;
    for (int n = 2; fs.exists(name); ++n) name = stem + "-" + std::to_string(n);
    return name;
}

RescueResult Rescue(const RescueRequest& request, res::UserInterface& ui) {
    RescueResult result;
    PosixFileSystem& fs = PosixFileSystem::instance();
    CDiaryDataFile damaged(fs, res::Silent());
    damaged.SetPath(request.damagedPath);
    damaged.SetKey(request.key);
    std::error_code ec;
    const std::uint64_t length = std::filesystem::file_size(request.damagedPath, ec);
    if (ec || damaged.Open(true) != OpenResult::Opened) {
        ui.warn(res::Msg::RescueFailed);
        return result;
    }
    const std::uint64_t units = length / kUnitSize;
    // The header's total and password, where unit 0 still reads as one.
    std::uint64_t total = units;
    std::u16string password;
    {
        std::array<std::uint8_t, kUnitSize> head{};
        if (damaged.ReadBytes(0, head.data(), head.size()) == head.size() &&
            std::equal(kMagic, kMagic + sizeof kMagic, &head[kFhMagic])) {
            total = std::min<std::uint64_t>(total, GetU32(&head[kFhTotalUnits]));
            password = damaged.GetPassword();
        }
    }

    ui.openProgress(res::Text(res::Msg::DuringRescue));
    auto cancelled = [&] {
        ui.closeProgress();
        result.status = 2;
        return result;
    };

    // 1. The scan: every version of every date, in file order.
    std::vector<Version> versions;
    std::vector<Date> lost;
    bool inDamage = false;
    int lastPercent = -1;
    for (std::uint64_t p = 1; p < units;) {
        const int percent = static_cast<int>(p * 80 / units);
        if (percent != lastPercent) {
            lastPercent = percent;
            if (!ui.stepProgress(percent)) return cancelled();
        }
        std::optional<RecordHeader> h = damaged.ReadRecordHeader(p);
        const bool known = h && h->kind() >= kKindEntryHeader && h->kind() <= kKindWeatherList &&
                           PlausibleDate(*h);
        const bool fits = h && h->units() > 0 && p + h->units() <= units;
        if (h && h->kind() == kKindFree && fits) {
            inDamage = false;
            p += h->units();
            continue;
        }
        if (!known) {
            result.damagedUnits += 1;
            inDamage = true;
            ++p;
            continue;
        }
        const Found f{p, *h, p >= total};
        const Date date{h->year(), h->month(), h->day()};
        if (!fits || !UnitsFitKind(*h) || !Decodes(damaged, f)) {
            if (h->kind() != kKindWeatherList) lost.push_back(date);
            // A size that does not fit says nothing of where the next
            // record begins; a body that does not decode still has its size.
            const bool stepOver = fits && UnitsFitKind(*h) && !inDamage;
            result.damagedUnits += stepOver ? h->units() : 1;
            p += stepOver ? h->units() : 1;
            // The record's texts that follow belong to a version that
            // lost something.
            if (!versions.empty() && h->kind() != kKindEntryHeader) {
                Version& last = versions.back();
                if (!last.records.empty() && Key(last.records.front().header) == Key(*h) &&
                    last.records.front().header.kind() == kKindEntryHeader)
                    last.whole = false;
            }
            continue;
        }
        inDamage = false;
        const std::uint8_t k = h->kind();
        // A text directly after its date's header (or its other text)
        // belongs to that entry.
        bool joined = false;
        if ((k == kKindPlainText || k == kKindRichText) && !versions.empty()) {
            Version& last = versions.back();
            const Found& end = last.records.back();
            const bool entry = last.records.front().header.kind() == kKindEntryHeader ||
                               last.records.front().header.kind() == kKindPlainText ||
                               last.records.front().header.kind() == kKindRichText;
            const bool adjacent = end.unit + end.header.units() == p;
            const bool kindFree =
                std::none_of(last.records.begin(), last.records.end(),
                             [&](const Found& r) { return r.header.kind() == k; });
            if (entry && adjacent && kindFree && Key(end.header) == Key(*h)) {
                last.records.push_back(f);
                joined = true;
            }
        }
        if (!joined) versions.push_back({{f}, true, f.pastTotal});
        p += h->units();
    }

    // 2. One version per date and kind of version: the later-written
    // whole one.
    using Slot = std::tuple<int, int, int, int, std::uint32_t>;  // date, group, order
    std::map<Slot, std::optional<Version>> chosen;
    std::vector<Slot> order;
    for (Version& v : versions) {
        const RecordHeader& first = v.records.front().header;
        const int group = first.kind() == kKindStickyNote    ? 1
                          : first.kind() == kKindAttachment  ? 2
                          : first.kind() == kKindWeatherList ? 3
                                                             : 0;  // an entry
        std::uint32_t attachmentOrder = 0;
        if (group == 2) {
            std::array<std::uint8_t, kUnitSize> u{};
            if (damaged.ReadBytes(v.records.front().unit, u.data(), u.size()) == u.size())
                attachmentOrder = GetU32(&u[kAttOrder]);
        }
        const auto [y, m, d] = Key(first);
        const Slot slot{y, m, d, group, attachmentOrder};
        auto [it, fresh] = chosen.try_emplace(slot);
        if (fresh) order.push_back(slot);
        if (Wins(v, it->second)) it->second = std::move(v);
    }

    // 3. The fresh file, written through the normal writer.
    const std::string target =
        request.outPath.empty() ? DatedName(fs, request.damagedPath, ".rescue") : request.outPath;
    CDiaryDataFile out(fs, ui);
    out.SetPath(target);
    out.SetKey(request.key);
    auto fail = [&] {
        out.Close();
        ::unlink(target.c_str());
        ui.closeProgress();
        ui.warn(res::Msg::RescueFailed);
        result.status = 0;
        return result;
    };
    if (out.Create() != 1 || out.Open(false) != OpenResult::Opened) return fail();
    try {
        if (!password.empty() && out.SetPassword(password) != 1) return fail();
        std::vector<std::uint8_t> image;
        std::size_t done = 0;
        for (const Slot& slot : order) {
            if (!ui.stepProgress(
                    80 + static_cast<int>(done++ * 19 / std::max<std::size_t>(1, order.size()))))
                return (out.Close(), ::unlink(target.c_str()), cancelled());
            const Version& v = *chosen[slot];
            for (const Found& f : v.records) {
                image.resize(static_cast<std::size_t>(f.header.units()) * kUnitSize);
                if (damaged.ReadBytes(f.unit, image.data(), image.size()) != image.size())
                    return fail();
                if (out.WriteRecord(image) != 1) return fail();
                ++result.kept[f.header.kind()];
            }
        }
        out.Sync();
    } catch (const FileError&) {
        return fail();
    }
    out.Close();
    damaged.Close();

    // 4. In place: the damaged file steps aside under a dated name, the
    // fresh one takes its place.
    result.rescuedPath = target;
    result.damagedKeptPath = request.damagedPath;
    if (request.outPath.empty()) {
        const std::string aside = DatedName(fs, request.damagedPath, ".damaged");
        if (::rename(request.damagedPath.c_str(), aside.c_str()) != 0) return fail();
        if (::rename(target.c_str(), request.damagedPath.c_str()) != 0) {
            (void)::rename(aside.c_str(), request.damagedPath.c_str());
            return fail();
        }
        result.damagedKeptPath = aside;
        result.rescuedPath = request.damagedPath;
    }
    std::sort(lost.begin(), lost.end(), [](const Date& a, const Date& b) {
        return std::tuple(a.year, a.month, a.day) < std::tuple(b.year, b.month, b.day);
    });
    lost.erase(std::unique(lost.begin(), lost.end()), lost.end());
    result.lostDates = std::move(lost);
    ui.stepProgress(100);
    ui.closeProgress();
    result.status = 1;
    return result;
}

}  // namespace tl::store
