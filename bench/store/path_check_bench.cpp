// What the check that the path still names the open data file costs a
// durable save: the same editor save on a real file in the build folder,
// with the check and with it answered without looking.
//
//   build-release/bench/store/tl_path_check_bench

#include <benchmark/benchmark.h>

#include <filesystem>

#include "store/data_file_key.h"
#include "store/diary_data_file.h"

namespace {

using namespace tl::store;

// Forwards everything; with check off, every file says it is still at its
// path without a stat.
class CheckSwitch final : public FileSystemWrapper {
public:
    CheckSwitch(FileSystem& fs, bool check) : FileSystemWrapper(fs), m_check(check) {}

protected:
    std::unique_ptr<File> wrap(std::unique_ptr<File> file) override {
        class Unchecked final : public FileWrapper {
        public:
            using FileWrapper::FileWrapper;
            PathState pathState() override { return PathState::Same; }
        };
        if (m_check) return std::make_unique<FileWrapper>(std::move(file));
        return std::make_unique<Unchecked>(std::move(file));
    }

private:
    bool m_check;
};

void DurableSave(benchmark::State& state) {
    const bool check = state.range(0) != 0;
    const std::string path =
        std::string(TL_BENCH_DATA_DIR) + (check ? "/path-check-on.dat" : "/path-check-off.dat");
    std::filesystem::create_directories(TL_BENCH_DATA_DIR);
    CheckSwitch fs(PosixFileSystem::instance(), check);
    CDiaryDataFile f(fs);
    f.SetPath(path);
    f.SetKey(DeriveDataFileKey());
    if (f.Create() != 1 || f.Open(false) != OpenResult::Opened || f.Validate() != 1) {
        state.SkipWithError("cannot make the data file");
        return;
    }
    const std::u16string text(2000, u'x');
    const std::vector<std::uint8_t> rtf(3000, 'r');
    int day = 0;
    for (auto _ : state) {
        const Date date{2024, 5, static_cast<std::uint8_t>(1 + day++ % 28)};
        if (f.SaveEditorEntry(date, {u"title", u"", {}}, text, rtf) != 1)
            state.SkipWithError("save failed");
    }
    state.SetLabel(check ? "checked" : "unchecked");
    f.Close();
    std::filesystem::remove(path);
}
BENCHMARK(DurableSave)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void PathCheck(benchmark::State& state) {
    const std::string path = std::string(TL_BENCH_DATA_DIR) + "/path-check.dat";
    std::filesystem::create_directories(TL_BENCH_DATA_DIR);
    CDiaryDataFile f;
    f.SetPath(path);
    f.SetKey(DeriveDataFileKey());
    if (f.Create() != 1 || f.Open(false) != OpenResult::Opened) {
        state.SkipWithError("cannot make the data file");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(f.CheckPath());
    f.Close();
    std::filesystem::remove(path);
}
BENCHMARK(PathCheck)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
