// Building the year day table of one year of the generated diary of twenty
// years (the store benchmark's file, reused): the first build after opening
// (which also reads the record chain once) and then every year in turn, as
// when the displayed year changes. Usage:
//   tl_calendar_bench [--data FILE] [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "calendar/year_day_table.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s median %7.3f ms  p95 %7.3f ms  max %7.3f ms  (%zu runs)\n", what,
                ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back(), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::string data = std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat";
    int runs = 20;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc)
            data = argv[++i];
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: %s [--data FILE] [--runs N]\n", argv[0]);
            return 2;
        }
    }
    std::filesystem::create_directories(std::filesystem::path(data).parent_path());
    const tl::bench::DiaryOptions options;
    tl::bench::EnsureDiary(data, 1, options);

    for (bool chainMap : {true, false}) {
        tl::store::CDiaryDataFile file;
        file.SetPath(data);
        file.SetKey(tl::store::DeriveDataFileKey());
        file.SetChainMap(chainMap);
        if (file.Open(true) != tl::store::OpenResult::Opened) {
            std::fprintf(stderr, "cannot open %s\n", data.c_str());
            return 1;
        }
        tl::calendar::YearDayTable table(file);
        const auto y0 = static_cast<std::int16_t>(options.firstYear);
        auto start = Clock::now();
        table.RebuildYearTable(y0, false);
        const double first = Millis(Clock::now() - start);

        std::vector<double> full, existOnly;
        int entries = 0;
        for (int run = 0; run < runs; ++run) {
            for (int y = 0; y < options.years; ++y) {
                const auto year = static_cast<std::int16_t>(options.firstYear + y);
                start = Clock::now();
                table.RebuildYearTable(year, false);
                full.push_back(Millis(Clock::now() - start));
                if (run == 0)
                    for (const auto& r : table.rows()) entries += r.hasEntry;
                start = Clock::now();
                table.RebuildYearTable(year, true);
                existOnly.push_back(Millis(Clock::now() - start));
            }
        }
        std::printf("%s (%d day entries found in %d years)\n",
                    chainMap ? "with the chain map" : "walking the file", entries, options.years);
        std::printf("%-40s %7.3f ms\n", "  first build after opening", first);
        Print("  one year, full table", full);
        Print("  one year, exist-only", existOnly);
        file.Close();
    }
    return 0;
}
