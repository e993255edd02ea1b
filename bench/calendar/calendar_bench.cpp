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
#include <optional>
#include <string>
#include <vector>

#include "calendar/year_day_table.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"
#include "timing.h"

using tl::bench::Clock;
using tl::bench::Millis;

int main(int argc, char** argv) {
    const std::optional<tl::bench::RunOptions> run = tl::bench::ParseRunOptions(
        argc, argv, std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat", 20, 1);
    if (!run) return 2;
    const std::string data = run->data;
    const int runs = run->runs;
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

        tl::bench::Figures full, existOnly;
        int entries = 0;
        for (int run = 0; run < runs; ++run) {
            for (int y = 0; y < options.years; ++y) {
                const auto year = static_cast<std::int16_t>(options.firstYear + y);
                start = Clock::now();
                table.RebuildYearTable(year, false);
                full.add(Millis(Clock::now() - start));
                if (run == 0)
                    for (const auto& r : table.rows()) entries += r.hasEntry;
                start = Clock::now();
                table.RebuildYearTable(year, true);
                existOnly.add(Millis(Clock::now() - start));
            }
        }
        std::printf("%s (%d day entries found in %d years)\n",
                    chainMap ? "with the chain map" : "walking the file", entries, options.years);
        std::printf("%-40s %7.3f ms\n", "  first build after opening", first);
        full.print("  one year, full table");
        existOnly.print("  one year, exist-only");
        file.Close();
    }
    return 0;
}
