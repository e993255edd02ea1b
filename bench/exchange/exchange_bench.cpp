// Figures of the data exchange and maintenance operations on the generated
// diary of twenty years (about 100 MB): seconds and peak memory of each,
// beside the time cp takes for the same file in the same run. Warm page
// cache. Usage:
//   tl_exchange_bench [--data FILE] [--scratch DIR]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "../store/diary_generator.h"
#include "app/maintenance.h"
#include "exchange/export.h"
#include "exchange/import.h"
#include "exchange/merge.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"

namespace tl::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Answers Yes, never cancels, prints what it is told.
class BenchUi final : public res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;
    void warn(std::string_view t) override {
        std::fprintf(stderr, "  warning: %.*s\n", int(t.size()), t.data());
    }
    void inform(std::string_view) override {}
    bool askYesNo(std::string_view) override { return true; }
    res::Answer askYesNoCancel(std::string_view) override { return res::Answer::Yes; }
    void openProgress(std::string_view) override {}
    bool stepProgress(int) override { return true; }
    void closeProgress() override {}
};

// Resident memory in kB: now, and the peak since the last reset.
long Status(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    return 0;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void Measure(const char* name, const std::function<int()>& op) {
    ResetPeak();
    const long before = Status("VmRSS:");
    const auto t = Clock::now();
    const int r = op();
    const double s = std::chrono::duration<double>(Clock::now() - t).count();
    const long peak = Status("VmHWM:");
    std::printf("%-34s %8.3f s   peak +%6.1f MB   result %d\n", name, s,
                double(peak - before) / 1024.0, r);
}

std::unique_ptr<store::CDiaryDataFile> Open(const std::string& path, res::UserInterface& ui,
                                            bool create) {
    auto f = std::make_unique<store::CDiaryDataFile>(store::PosixFileSystem::instance(), ui);
    f->SetPath(path);
    f->SetKey(store::DeriveDataFileKey());
    if (create && !f->Create()) throw std::runtime_error("cannot create " + path);
    if (f->Open(false) != store::OpenResult::Opened || !f->Validate())
        throw std::runtime_error("cannot open " + path);
    return f;
}

std::string Fresh(const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

int Run(const std::string& data, const fs::path& scratch) {
    const DiaryFigures fig = EnsureDiary(data, 1);
    std::printf("diary: %s, %.1f MB, %llu records (%llu free)\n\n", data.c_str(),
                double(fig.bytes) / 1e6, static_cast<unsigned long long>(fig.records),
                static_cast<unsigned long long>(fig.freeRecords));
    Fresh(scratch);
    BenchUi ui;
    auto copyOf = [&](const fs::path& to) {
        fs::create_directories(to.parent_path());
        fs::copy_file(data, to, fs::copy_options::overwrite_existing);
        return to.string();
    };

    Measure("cp of the data file", [&] {
        return std::system(("cp '" + data + "' '" + (scratch / "cp.dat").string() + "'").c_str());
    });
    {
        auto source = Open(copyOf(scratch / "export-src.dat"), ui, false);
        const char* names[] = {"export everything, Ansi", "export everything, UNICODE",
                               "export everything, Rich text"};
        for (int e = 0; e < 3; ++e) {
            const std::string out = Fresh(scratch / ("export-" + std::to_string(e)));
            Measure(names[e], [&] {
                return exchange::ExportData(*source, out, true, true, "00000000", "99999999",
                                            static_cast<exchange::Encoding>(e));
            });
        }
    }
    {
        auto target = Open((scratch / "import.dat").string(), ui, true);
        Measure("import everything (UNICODE folder)", [&] {
            return exchange::ImportData(*target, (scratch / "export-1").string(),
                                        exchange::Encoding::Unicode);
        });
    }
    const std::string sourceFolder =
        fs::path(copyOf(scratch / "merge-src" / exchange::kDataFileName)).parent_path();
    for (bool full : {false, true}) {
        const fs::path own = scratch / (full ? "own-full" : "own-empty") / exchange::kDataFileName;
        if (full)
            copyOf(own);
        else
            fs::create_directories(own.parent_path());
        auto file = Open(own.string(), ui, !full);
        Measure(full ? "merge into a full diary" : "merge into an empty diary",
                [&] { return exchange::RunMerge(*file, sourceFolder, false, {}); });
    }
    const std::string freshFolder = Fresh(scratch / "default");
    const std::string opt = copyOf(scratch / "opt" / exchange::kDataFileName);
    Measure("optimisation", [&] { return app::OptimiseDataFile(opt, freshFolder, ui); });
    const std::string comp = copyOf(scratch / "comp" / exchange::kDataFileName);
    Measure("bulk compression", [&] { return app::CompressAllAttachments(comp, freshFolder, ui); });
    const std::string dest = Fresh(scratch / "copy");
    Measure("copy", [&] { return exchange::CopyData(data, dest, ui); });
    Measure("cp of the data file, again", [&] {
        return std::system(("cp '" + data + "' '" + (scratch / "cp2.dat").string() + "'").c_str());
    });
    fs::remove_all(scratch);
    return 0;
}

}  // namespace
}  // namespace tl::bench

int main(int argc, char** argv) {
    std::string data = std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat";
    std::string scratch = std::string(TL_BENCH_DATA_DIR) + "/exchange-scratch";
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc)
            data = argv[++i];
        else if (!std::strcmp(argv[i], "--scratch") && i + 1 < argc)
            scratch = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--data FILE] [--scratch DIR]\n", argv[0]);
            return 2;
        }
    }
    try {
        return tl::bench::Run(data, scratch);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tl_exchange_bench: %s\n", e.what());
        return 1;
    }
}
