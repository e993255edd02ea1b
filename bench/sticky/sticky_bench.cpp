// Sticky notes in the desktop program with the table full (100 notes), on
// a work copy of the generated diary of twenty years:
//   - start-up: from creating the main window to its first complete paint
//     with the data file open, with 100 notes and with none; the difference
//     is what the notes add;
//   - one blink round with all 100 notes blinking: the clock's tick and the
//     repaints it causes, on the main thread;
//   - the write-back of the 100 notes when the window goes (for information).
// Each figure is given as wall time and as the main thread's CPU time (what
// the program itself spends, whatever else the machine runs). The platform
// is Qt's (QT_QPA_PLATFORM; offscreen when unset): run it on a display (xcb)
// for the real window system's share. Usage:
//   tl_sticky_bench [--data FILE] [--runs N]
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "frame/main_frame.h"
#include "res/user_interface.h"
#include "sticky/blink_clock.h"
#include "sticky/sticky_notes.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"
#include "timing.h"

namespace {

using tl::bench::Clock;
using tl::bench::Millis;
using tl::store::Date;

// The main thread's CPU time so far, in milliseconds.
double CpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The figures' labels are long.
struct Figures : tl::bench::Figures {
    void print(const char* what) { tl::bench::Figures::print(what, 44); }
};

// Every pending event handled, paints included.
void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool OpenWork(tl::store::CDiaryDataFile& file, const std::string& path) {
    file.SetPath(path);
    file.SetKey(tl::store::DeriveDataFileKey());
    return file.Open(false) == tl::store::OpenResult::Opened;
}

// The work copy with exactly `count` notes, every one blinking without a
// term, spread over both edges.
bool PrepareNotes(const std::string& path, int count) {
    tl::store::CDiaryDataFile file;
    if (!OpenWork(file, path)) return false;
    tl::store::StickyNote n;
    std::uint32_t units = 0;
    std::vector<Date> stored;
    for (std::uint64_t u = file.ReadNextStickyNote(0, n, &units); u != 0;
         u = file.ReadNextStickyNote(u + units, n, &units))
        stored.push_back(n.date);
    for (Date d : stored) file.RemoveStickyNote(d);
    file.BeginStickyNoteSaves();
    for (int i = 0; i < count; ++i) {
        tl::store::StickyNote note;
        // Days of 2024, one a few days apart.
        const std::chrono::year_month_day ymd{
            std::chrono::sys_days{std::chrono::year{2024} / 1 / 1} + std::chrono::days{i * 3}};
        note.date = {static_cast<std::int16_t>(int(ymd.year())),
                     static_cast<std::uint8_t>(unsigned(ymd.month())),
                     static_cast<std::uint8_t>(unsigned(ymd.day()))};
        note.text = u"Note number " + std::u16string(1, char16_t(u'0' + i % 10));
        note.faceName = u"Sans";
        note.fontHeight = 12;
        note.fontWeight = 400;
        note.backColor = 0x80FFFF;
        note.side = static_cast<std::uint8_t>(i % 2);
        note.top = (i / 2) * 8;
        note.blink = 2;
        if (!file.SaveStickyNote(note)) return false;
    }
    file.Close();
    return true;
}

struct Run {
    double startMs = 0;  // until every window is on the screen and painted
    double startCpuMs = 0;
    double openMs = 0;  // the step that opens the data file's views: side bar, notes
    double openCpuMs = 0;
    double writeBackMs = 0;
};

struct Blink {
    Figures wall, cpu;
};

// One start: the main window created and shown, the data file opened, the
// side bar filled and the notes loaded and painted.
Run StartOnce(const std::string& path, tl::app::AppSettings& settings, Blink* blink, int ticks) {
    Run run;
    tl::store::CDiaryDataFile file;
    const auto t = Clock::now();
    const double cpu = CpuMillis();
    if (!OpenWork(file, path) || file.Validate() != 1) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(1);
    }
    auto frame = std::make_unique<tl::frame::CMainFrame>(settings, file, tl::res::Silent(), [] {
        return std::chrono::year_month_day{std::chrono::year{2024} / 6 / 1};
    });
    frame->show();
    Settle();
    const auto n = Clock::now();
    const double nCpu = CpuMillis();
    frame->dataFileOpened();
    Settle();
    run.openMs = Millis(Clock::now() - n);
    run.openCpuMs = CpuMillis() - nCpu;
    // Done when the main window and every note are on the screen and
    // painted (a window system exposes windows when it has mapped them).
    const auto exposed = [&frame] {
        if (!frame->windowHandle() || !frame->windowHandle()->isExposed()) return false;
        tl::sticky::CStickyNotes& notes = frame->stickyNotes();
        for (std::size_t i = 0; i < notes.count(); ++i)
            if (!notes.at(i).windowHandle() || !notes.at(i).windowHandle()->isExposed())
                return false;
        return true;
    };
    while (!exposed() && Clock::now() - t < std::chrono::seconds(10)) {
        // Waits without spinning: the CPU figure stays the program's own work.
        QEventLoop wait;
        QTimer::singleShot(2, &wait, &QEventLoop::quit);
        wait.exec();
    }
    Settle();
    run.startMs = Millis(Clock::now() - t);
    run.startCpuMs = CpuMillis() - cpu;
    frame->blinkClock().stop();  // the rounds below are driven by hand
    for (int i = 0; blink && i < ticks; ++i) {
        const auto b = Clock::now();
        const double c = CpuMillis();
        frame->blinkClock().tick();
        Settle();
        blink->cpu.ms.push_back(CpuMillis() - c);
        blink->wall.ms.push_back(Millis(Clock::now() - b));
    }
    const auto w = Clock::now();
    frame.reset();
    run.writeBackMs = Millis(Clock::now() - w);
    file.Close();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::optional<tl::bench::RunOptions> options = tl::bench::ParseRunOptions(
        argc, argv, std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat", 15, 3);
    if (!options) return 2;
    const std::string data = options->data;
    const int runs = options->runs;
    QApplication app(argc, argv);
    std::filesystem::create_directories(std::filesystem::path(data).parent_path());
    tl::bench::EnsureDiary(data, 1);
    const std::string full = data + ".sticky-100";
    const std::string none = data + ".sticky-0";
    for (const std::string& work : {full, none})
        std::filesystem::copy_file(data, work, std::filesystem::copy_options::overwrite_existing);
    if (!PrepareNotes(full, 100) || !PrepareNotes(none, 0)) {
        std::fprintf(stderr, "cannot prepare the notes\n");
        return 1;
    }
    std::printf("platform %s, %d runs\n", qPrintable(QGuiApplication::platformName()), runs);

    tl::app::AppSettings settings;
    settings.window = {100, 80, 1000, 680, "NORMAL"};
    settings.dayBar.visible = 1;
    settings.etc.todayOpen = 0;
    // One start first of each: the page cache and the fonts are warm.
    StartOnce(none, settings, nullptr, 0);
    StartOnce(full, settings, nullptr, 0);
    // [0] without notes, [1] with 100.
    Figures start[2], startCpu[2], open[2], openCpu[2], writeBack;
    Blink blink;
    for (int i = 0; i < runs; ++i) {
        for (int full100 : {0, 1}) {
            const Run r = full100 ? StartOnce(full, settings, &blink, 40)
                                  : StartOnce(none, settings, nullptr, 0);
            start[full100].ms.push_back(r.startMs);
            startCpu[full100].ms.push_back(r.startCpuMs);
            open[full100].ms.push_back(r.openMs);
            openCpu[full100].ms.push_back(r.openCpuMs);
            if (full100) writeBack.ms.push_back(r.writeBackMs);
        }
    }
    const char* names[] = {"no notes", "100 notes"};
    for (int k : {0, 1}) {
        std::printf("-- %s\n", names[k]);
        open[k].print("  data file's views (side bar, notes): wall");
        openCpu[k].print("  data file's views (side bar, notes): CPU");
        start[k].print("  start-up until all is on screen: wall");
        startCpu[k].print("  start-up until all is on screen: CPU");
    }
    std::printf("added by 100 notes (difference of medians, target < 150 ms):\n");
    std::printf(
        "  views step %.2f ms wall, %.2f ms CPU; until on screen %.2f ms wall, %.2f ms CPU\n",
        open[1].median() - open[0].median(), openCpu[1].median() - openCpu[0].median(),
        start[1].median() - start[0].median(), startCpu[1].median() - startCpu[0].median());
    blink.wall.print("one blink round, 100 notes (wall)");
    blink.cpu.print("one blink round, 100 notes (CPU)");
    writeBack.print("window closed: 100 notes written back");
    std::filesystem::remove(full);
    std::filesystem::remove(none);
    return 0;
}
