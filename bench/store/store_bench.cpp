// Figures of the data file engine on a diary of twenty years, each taken
// twice: answered from the chain map and by the plain walk over the file.
// Warm page cache throughout. Usage:
//   tl_store_bench [--data FILE] [--seed N] [--quick]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "diary_generator.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/format.h"

namespace tl::bench {
namespace {

using Clock = std::chrono::steady_clock;
using store::CDiaryDataFile;
using store::Date;

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ThreadCpuMicros() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Wall time and the thread's CPU time of each run, in microseconds. On a
// shared machine the CPU time shows the engine's own cost; the wall time
// adds waiting for the disk and for the processor.
struct Sample {
    std::vector<double> us;
    std::vector<double> cpu;
    double median() const { return Median(us); }
    double cpuMedian() const { return Median(cpu); }
    double add(const std::function<void()>& fn) {
        const double c = ThreadCpuMicros();
        const auto t = Clock::now();
        fn();
        us.push_back(Micros(Clock::now() - t));
        cpu.push_back(ThreadCpuMicros() - c);
        return us.back();
    }
};

// A small deterministic sequence for picking dates; the same in both modes.
struct Picker {
    std::uint64_t state;
    std::uint32_t below(std::uint32_t n) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>((state >> 33) % n);
    }
};

// FNV-1a over whatever the queries answered, so that the two modes can be
// compared.
struct Digest {
    std::uint64_t h = 1469598103934665603ull;
    void add(const void* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            h = (h ^ static_cast<const std::uint8_t*>(p)[i]) * 1099511628211ull;
    }
    void add(std::uint64_t v) { add(&v, sizeof v); }
    void add(const std::u16string& s) { add(s.data(), s.size() * 2); }
};

std::vector<Date> Days(const DiaryOptions& o) {
    std::vector<Date> days;
    for (int y = o.firstYear; static_cast<int>(days.size()) < o.dayEntries; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= 31; ++d) {
                const auto ymd = std::chrono::year(y) / std::chrono::month(m) / std::chrono::day(d);
                if (ymd.ok() && static_cast<int>(days.size()) < o.dayEntries)
                    days.push_back({static_cast<std::int16_t>(y), static_cast<std::uint8_t>(m),
                                    static_cast<std::uint8_t>(d)});
            }
    return days;
}

std::unique_ptr<CDiaryDataFile> OpenData(const std::string& path, bool map) {
    auto f = std::make_unique<CDiaryDataFile>();
    f->SetPath(path);
    f->SetKey(store::DeriveDataFileKey());
    f->SetChainMap(map);
    if (f->Open(false) != store::OpenResult::Opened || f->Validate() != 1) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(2);
    }
    return f;
}

struct Row {
    const char* name;
    double map = 0;
    double walk = 0;
    double target = 0;  // microseconds; 0 none
    double mapCpu = 0;
    double walkCpu = 0;
    std::uint64_t mapDigest = 0;
    std::uint64_t walkDigest = 0;
};

struct Reps {
    int opens, reads, years, nexts, finds, saves;
};

// The query figures of one mode; the saves come later, once both modes
// have read the same file.
// Only the first cmp samples of each query enter the digests, so that both
// modes digest the same questions.
void Queries(const std::string& path, bool map, const Reps& r, const Reps& cmp,
             const std::vector<Date>& days, std::vector<Row>& rows) {
    auto put = [&](std::size_t i, const Sample& sample, std::uint64_t digest) {
        (map ? rows[i].map : rows[i].walk) = sample.median();
        (map ? rows[i].mapCpu : rows[i].walkCpu) = sample.cpuMedian();
        (map ? rows[i].mapDigest : rows[i].walkDigest) = digest;
    };

    Sample open;
    for (int i = 0; i < r.opens; ++i) open.add([&] { OpenData(path, map)->Close(); });
    put(0, open, 0);

    auto file = OpenData(path, map);

    Sample read;
    Digest dr;
    Picker pick{7};
    for (int i = 0; i < r.reads; ++i) {
        const Date d = days[pick.below(static_cast<std::uint32_t>(days.size()))];
        store::EntryHeader h;
        std::u16string text;
        std::vector<std::uint8_t> rtf;
        std::vector<store::AttachmentInfo> atts;
        read.add([&] {
            file->ReadEntryHeader(d, &h);
            file->ReadEntryText(d, text);
            file->ReadEntryRichText(d, rtf);
            atts = file->ListAttachments(d);
        });
        if (i >= cmp.reads) continue;
        dr.add(h.title), dr.add(text), dr.add(rtf.size());
        for (const auto& a : atts) dr.add(a.unit), dr.add(a.name);
    }
    put(1, read, dr.h);

    Sample year;
    Digest dy;
    for (int i = 0; i < r.years; ++i) {
        const auto y = static_cast<std::int16_t>(days.front().year + (i * 7) % 20);
        std::uint64_t found = 0;
        year.add([&] {
            std::array<std::uint8_t, store::kUnitSize> first{};
            for (std::uint64_t u = file->FindNextInYear(y, 0, first); u != 0;
                 u = file->FindNextInYear(y, u + store::GetU32(&first[8]), first)) {
                ++found;
                if (i < cmp.years) dy.add(u);
            }
        });
        if (i < cmp.years) dy.add(found);
    }
    put(2, year, dy.h);

    Sample next;
    Digest dn;
    pick = Picker{17};
    for (int i = 0; i < r.nexts; ++i) {
        const Date d = days[pick.below(static_cast<std::uint32_t>(days.size()))];
        std::uint64_t u = 0;
        next.add([&] { u = file->NextDateWithContent(d); });
        if (i < cmp.nexts) dn.add(u);
    }
    put(3, next, dn.h);

    // From the first day: the rare word stops at its first entry, the
    // absent one reads every text of the diary.
    const Date before{static_cast<std::int16_t>(days.front().year - 1), 12, 31};
    std::size_t row = 4;
    for (const char16_t* word : {kRareWord, kAbsentWord}) {
        file->SetSearchSettings({word, u"", false, false, true});
        Sample find;
        Digest df;
        for (int i = 0; i < r.finds; ++i) {
            std::uint64_t u = 0;
            find.add([&] { u = file->FindNextMatch(before, false); });
            if (i < cmp.finds) df.add(u);
        }
        put(row++, find, df.h);
    }
    file->Close();
}

// What one fdatasync of a small overwrite costs on the same disk. The cost
// changes with what else the machine writes, so each save is paired with a
// probe taken right after it.
class SyncProbe {
public:
    explicit SyncProbe(std::string path) : m_path(std::move(path)) {
        m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        // Blocks allocated and on disk first: the probe overwrites, as a save
        // into a reused record does.
        std::vector<char> zeros(kSpan, 0);
        if (m_fd < 0 || ::pwrite(m_fd, zeros.data(), zeros.size(), 0) < 0 || ::fdatasync(m_fd) != 0)
            std::perror("sync probe");
    }
    ~SyncProbe() {
        ::close(m_fd);
        std::filesystem::remove(m_path);
    }
    void once(Sample& s) {
        const char buf[256] = {};
        const off_t at = static_cast<off_t>(m_next++ % (kSpan / 4096)) * 4096;
        s.add([&] {
            if (::pwrite(m_fd, buf, sizeof buf, at) < 0 || ::fdatasync(m_fd) != 0)
                std::perror("sync probe");
        });
    }

private:
    static constexpr std::size_t kSpan = 32 * 1024;
    std::string m_path;
    int m_fd = -1;
    unsigned m_next = 0;
};

void Saves(const std::string& path, bool map, const Reps& r, const std::vector<Date>& days,
           Row& row, Sample& syncs) {
    SyncProbe probe(path + ".sync-probe");
    auto file = OpenData(path, map);
    Picker pick{map ? 11u : 13u};
    Sample save;
    for (int i = 0; i < r.saves; ++i) {
        const Date d = days[pick.below(static_cast<std::uint32_t>(days.size()))];
        // The entry as it was, saved again with one more line: the editor's
        // save of a day that was open.
        store::EntryHeader h;
        std::u16string text;
        std::vector<std::uint8_t> rtf;
        file->ReadEntryHeader(d, &h);
        file->ReadEntryText(d, text);
        file->ReadEntryRichText(d, rtf);
        text += u"\r\nOne more line, もう一行。";
        int saved = 0;
        save.add([&] { saved = file->SaveEditorEntry(d, h, text, rtf); });
        if (saved != 1) {
            std::fprintf(stderr, "save refused\n");
            std::exit(2);
        }
        if (map) probe.once(syncs);
    }
    (map ? row.map : row.walk) = save.median();
    (map ? row.mapCpu : row.walkCpu) = save.cpuMedian();
    file->Close();
}

double ReadFloor(const std::string& path, int reps) {
    Sample s;
    std::vector<char> buf(1 << 20);
    for (int i = 0; i < reps; ++i) {
        s.add([&] {
            const int fd = ::open(path.c_str(), O_RDONLY);
            while (::read(fd, buf.data(), buf.size()) > 0) {
            }
            ::close(fd);
        });
    }
    return s.median();
}

std::string Fmt(double us) {
    char b[32];
    if (us >= 1000)
        std::snprintf(b, sizeof b, "%.2f ms", us / 1000);
    else
        std::snprintf(b, sizeof b, "%.1f us", us);
    return b;
}

int Run(int argc, char** argv) {
    std::string data = std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat";
    std::uint64_t seed = 1;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc)
            data = argv[++i];
        else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc)
            seed = std::stoull(argv[++i]);
        else if (!std::strcmp(argv[i], "--quick"))
            quick = true;
        else {
            std::fprintf(stderr, "usage: %s [--data FILE] [--seed N] [--quick]\n", argv[0]);
            return 2;
        }
    }
    if (seed != 1 && data.ends_with("seed1.dat"))
        data.replace(data.size() - 9, 9, "seed" + std::to_string(seed) + ".dat");

    const DiaryOptions options;
    std::printf("diary: %s\n", data.c_str());
    std::fflush(stdout);
    const DiaryFigures fig = EnsureDiary(data, seed, options);
    std::printf(
        "  %.1f MB, %llu records (%llu free)%s\n", fig.bytes / 1e6,
        static_cast<unsigned long long>(fig.records),
        static_cast<unsigned long long>(fig.freeRecords),
        fig.seconds > 0
            ? (", generated in " + std::to_string(static_cast<int>(fig.seconds)) + " s").c_str()
            : ", reused");

    // The saves change the file; they run on a copy.
    const std::string work = std::filesystem::path(data).parent_path() / "store-bench-work.dat";
    std::filesystem::copy_file(data, work, std::filesystem::copy_options::overwrite_existing);

    const Reps mapReps = quick ? Reps{5, 200, 3, 200, 2, 50} : Reps{21, 2000, 10, 1000, 5, 300};
    const Reps walkReps = quick ? Reps{3, 10, 2, 5, 1, 5} : Reps{7, 60, 4, 30, 3, 30};
    const std::vector<Date> days = Days(options);

    std::vector<Row> rows = {
        {"open + validate + map", 0, 0, 25000},
        {"read one date (header, text, RTF, attachments)", 0, 0, 1000},
        {"FindNextInYear over a whole year", 0, 0, 5000},
        {"NextDateWithContent", 0, 0, 0},
        {"FindNextMatch, rare word, from the start", 0, 0, 0},
        {"FindNextMatch, absent word (reads every text)", 0, 0, 0},
        {"durable save of one entry (SaveEditorEntry)", 0, 0, 1000},
    };
    Queries(work, true, mapReps, walkReps, days, rows);
    Queries(work, false, walkReps, walkReps, days, rows);
    Sample syncs;
    Saves(work, true, mapReps, days, rows.back(), syncs);
    Saves(work, false, walkReps, days, rows.back(), syncs);
    const double sync = syncs.median();
    const double page = ReadFloor(work, quick ? 3 : 9);
    std::filesystem::remove(work);

    double load[3] = {};
    if (::getloadavg(load, 3) < 1) load[0] = -1;
    std::printf("\nmedians, warm page cache; load average %.1f on %ld processors\n", load[0],
                ::sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-48s %11s %11s %11s %11s %11s  %s\n", "operation", "chain map", "(its CPU)",
                "plain walk", "(its CPU)", "target", "met");
    for (const Row& r : rows) {
        const bool same = r.mapDigest == r.walkDigest;
        std::printf("%-48s %11s %11s %11s %11s %11s  %s%s\n", r.name, Fmt(r.map).c_str(),
                    Fmt(r.mapCpu).c_str(), Fmt(r.walk).c_str(), Fmt(r.walkCpu).c_str(),
                    r.target > 0 ? ("< " + Fmt(r.target)).c_str() : "-",
                    r.target > 0 ? (r.map < r.target      ? "yes"
                                    : r.mapCpu < r.target ? "CPU only"
                                                          : "NO")
                                 : "",
                    same ? "" : "  (answers differ between the modes!)");
    }
    std::printf(
        "\nfloors: one fdatasync %s (taken beside each map save); reading the whole file from the "
        "page cache %s\n",
        Fmt(sync).c_str(), Fmt(page).c_str());
    std::printf(
        "answers compared between the modes on the same samples (reads, years, next dates, "
        "finds)\n");
    return 0;
}

}  // namespace
}  // namespace tl::bench

int main(int argc, char** argv) {
    return tl::bench::Run(argc, argv);
}
