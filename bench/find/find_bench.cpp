// Find across days on the generated diary of twenty years: the first search
// of a session (nothing kept yet), later searches, and the hit list of a
// common word, beside the time of inflating every text once and a LIKE scan
// of the same texts in an SQLite table. Wall time and the process's CPU time
// (all threads), medians, warm page cache. Usage:
//   tl_find_bench [--data FILE] [--quick]
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/codepage.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"

#if TL_WITH_SQLITE
#include <sqlite3.h>
#endif

namespace tl::bench {
namespace {

using Clock = std::chrono::steady_clock;
using store::CDiaryDataFile;

double CpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Figure {
    std::vector<double> wall, cpu;
    void add(const std::function<void()>& fn) {
        const double c = CpuMs();
        const auto t = Clock::now();
        fn();
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
        cpu.push_back(CpuMs() - c);
    }
    static double median(std::vector<double> v) {
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

std::unique_ptr<CDiaryDataFile> OpenData(const std::string& path) {
    auto f = std::make_unique<CDiaryDataFile>();
    f->SetPath(path);
    f->SetKey(store::DeriveDataFileKey());
    if (f->Open(true) != store::OpenResult::Opened || f->Validate() != 1) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(2);
    }
    return f;
}

std::vector<std::uint64_t> TextUnits(CDiaryDataFile& f) {
    std::vector<std::uint64_t> units;
    store::RecordWalk walk(f, 0);
    store::RecordRef r;
    while (walk.next(r))
        if (r.header.kind() == store::kKindPlainText) units.push_back(r.unit);
    return units;
}

struct Row {
    std::string name;
    Figure figure;
    double target = 0;  // ms; 0 none
    std::string note;
};

void Print(const std::vector<Row>& rows) {
    double load[1] = {-1};
    (void)::getloadavg(load, 1);
    std::printf("\nmedians, warm page cache; load average %.1f on %ld processors\n", load[0],
                ::sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-58s %10s %10s %10s  %s\n", "operation", "wall", "CPU", "target", "note");
    for (const Row& r : rows) {
        char target[32] = "-";
        if (r.target > 0) std::snprintf(target, sizeof target, "< %.0f ms", r.target);
        std::printf("%-58s %7.1f ms %7.1f ms %10s  %s\n", r.name.c_str(),
                    Figure::median(r.figure.wall), Figure::median(r.figure.cpu), target,
                    r.note.c_str());
    }
}

#if TL_WITH_SQLITE
// The same titles and texts in an in-memory table, scanned with LIKE.
void SqliteRows(CDiaryDataFile& f, std::vector<Row>& rows, int reps) {
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) return;
    sqlite3_exec(db, "CREATE TABLE t(d TEXT, title TEXT, body TEXT)", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?1, ?2, ?3)", -1, &insert, nullptr);
    store::RecordWalk walk(f, 0);
    store::RecordRef r;
    while (walk.next(r)) {
        if (r.header.kind() != store::kKindPlainText) continue;
        const store::Date d{r.header.year(), r.header.month(), r.header.day()};
        std::u16string text;
        (void)f.ReadEntryTextAt(r.unit, text);
        store::EntryHeader header;
        f.ReadEntryHeader(d, &header);
        const std::string key = r.header.key(), title = store::Utf16ToUtf8(header.title),
                          body = store::Utf16ToUtf8(text);
        sqlite3_bind_text(insert, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, body.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    auto scan = [&](const char* name, const char* sql, const char* pattern) {
        sqlite3_stmt* q = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &q, nullptr);
        Row row{name, {}, 0, ""};
        int count = 0;
        for (int i = 0; i < reps; ++i) {
            row.figure.add([&] {
                sqlite3_bind_text(q, 1, pattern, -1, SQLITE_STATIC);
                count = 0;
                while (sqlite3_step(q) == SQLITE_ROW) ++count;
                sqlite3_reset(q);
            });
        }
        row.note = std::to_string(count) + " rows";
        sqlite3_finalize(q);
        rows.push_back(std::move(row));
    };
    scan("SQLite: LIKE over titles and texts, absent word",
         "SELECT d FROM t WHERE title LIKE ?1 OR body LIKE ?1", "%zeppelin%");
    scan("SQLite: LIKE over titles and texts, common word",
         "SELECT d, title, body FROM t WHERE title LIKE ?1 OR body LIKE ?1 ORDER BY d", "%coffee%");
    sqlite3_close(db);
}
#endif

int Run(int argc, char** argv) {
    std::string data = std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat";
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc) {
            data = argv[++i];
        } else if (!std::strcmp(argv[i], "--quick")) {
            quick = true;
        } else {
            std::fprintf(stderr, "usage: %s [--data FILE] [--quick]\n", argv[0]);
            return 2;
        }
    }
    std::printf("diary: %s\n", data.c_str());
    std::fflush(stdout);
    const DiaryFigures fig = EnsureDiary(data, 1);
    std::printf("  %.1f MB, %llu records\n", fig.bytes / 1e6,
                static_cast<unsigned long long>(fig.records));
    const int cold = quick ? 3 : 9, warm = quick ? 9 : 31;
    std::vector<Row> rows;
    const store::SearchSettings absent{kAbsentWord, u"", false, false, true};
    const store::SearchSettings rare{kRareWord, u"", false, false, true};
    const store::SearchSettings common{u"coffee", u"", false, false, true};
    const store::SearchSettings andNot{u"coffee", u"train", true, false, false};

    {
        Row row{"inflate every text once (ReadEntryTextAt, 1 thread)", {}, 0, ""};
        auto f = OpenData(data);
        const auto units = TextUnits(*f);
        std::size_t chars = 0;
        for (int i = 0; i < cold; ++i) {
            row.figure.add([&] {
                chars = 0;
                std::u16string text;
                for (std::uint64_t u : units)
                    chars += f->ReadEntryTextAt(u, text) ? text.size() : 0;
            });
        }
        row.note = std::to_string(units.size()) + " texts, " + std::to_string(chars) + " chars";
        rows.push_back(std::move(row));
    }
    auto first = [&](const char* name, unsigned threads, const store::SearchSettings& s) {
        Row row{name, {}, 250, ""};
        std::uint64_t found = 1;
        for (int i = 0; i < cold; ++i) {
            auto f = OpenData(data);  // nothing kept
            f->SetSearchThreads(threads);
            f->SetSearchSettings(s);
            row.figure.add([&] { found = f->FindNextMatch({0, 0, 0}, false); });
            row.note = (found ? "found, " : "not found, ") +
                       std::to_string(f->SearchCacheBytes() >> 20) + " MB kept";
        }
        rows.push_back(std::move(row));
    };
    first("first search, absent word (every text read)", 0, absent);
    first("first search, absent word, one thread", 1, absent);

    // Only one opener at a time: the file is held exclusively.
    std::unique_ptr<CDiaryDataFile>* warmFile = nullptr;
    auto list = [&](const char* name, bool fresh, double target) {
        Row row{name, {}, target, ""};
        std::size_t hits = 0;
        for (int i = 0; i < (fresh ? cold : warm / 3); ++i) {
            std::unique_ptr<CDiaryDataFile> own = fresh ? OpenData(data) : nullptr;
            CDiaryDataFile& file = fresh ? *own : **warmFile;
            file.SetSearchSettings(common);
            row.figure.add([&] {
                hits = 0;
                store::MatchScan scan;
                file.FindMatches(scan, [&](store::FindHit&&) { ++hits; });
            });
        }
        row.note = std::to_string(hits) + " dates";
        rows.push_back(std::move(row));
    };
    list("hit list of \"coffee\", first search of the session", true, 300);

    auto f = OpenData(data);
    warmFile = &f;
    f->SetSearchSettings(absent);
    (void)f->FindNextMatch({0, 0, 0}, false);
    auto later = [&](const char* name, const store::SearchSettings& s, bool matchCase,
                     bool backward) {
        f->SetSearchSettings(s);
        Row row{name, {}, 25, ""};
        std::uint64_t found = 0;
        for (int i = 0; i < warm; ++i)
            row.figure.add([&] {
                found = backward ? f->FindPreviousMatch({9999, 99, 99}, matchCase)
                                 : f->FindNextMatch({0, 0, 0}, matchCase);
            });
        row.note = found ? "found" : "not found";
        rows.push_back(std::move(row));
    };
    later("later search, absent word", absent, false, false);
    later("later search, absent word, match case", absent, true, false);
    later("later search, rare word from the start", rare, false, false);
    later("later search, \"coffee\" and not \"train\", backward", andNot, false, true);

    list("hit list of \"coffee\", later", false, 300);
#if TL_WITH_SQLITE
    SqliteRows(*f, rows, warm);
#else
    std::printf("(built without SQLite: no LIKE comparison)\n");
#endif
    Print(rows);
    return 0;
}

}  // namespace
}  // namespace tl::bench

int main(int argc, char** argv) {
    return tl::bench::Run(argc, argv);
}
