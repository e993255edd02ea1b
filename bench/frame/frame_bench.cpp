// How the desktop program answers while its long operations run on the
// interface thread: export, import, merge (two diaries of twenty years),
// optimisation, bulk compression and copy, each driven through the exchange
// commands of a real main window with the real progress window.
//
// For every operation: its time, the longest stretch in which the program
// handled no events (no painting, no timers, no Cancel), the number of
// stretches over 50 ms, and the paint events handled; then the operation
// again, cancelled from another thread at a quarter, a half and three
// quarters of its time, as a user's click would arrive: how long until the
// click was handled, and until the operation had stopped. Usage:
//   tl_frame_bench [--data FILE] [--second FILE] [--scratch DIR] [--only NAME]
// Run it on a display (DISPLAY=:N) or with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_settings.h"
#include "diary/diary_documents.h"
#include "exchange/export.h"
#include "exchange/merge.h"
#include "frame/desktop_ui.h"
#include "frame/exchange_commands.h"
#include "frame/main_frame.h"
#include "frame/progress_wnd.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"

namespace tl::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Answers every question Yes at once and prints warnings; the progress
// window is the desktop program's own.
class BenchUi final : public res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;
    explicit BenchUi(frame::DesktopUi& desktop) : m_desktop(desktop) {}
    void warn(std::string_view t) override {
        std::fprintf(stderr, "  warning: %.*s\n", int(t.size()), t.data());
    }
    void inform(std::string_view) override {
        if (m_firstInform == Clock::time_point{}) m_firstInform = Clock::now();
    }
    bool askYesNo(std::string_view) override { return true; }
    res::Answer askYesNoCancel(std::string_view) override { return res::Answer::Yes; }
    void openProgress(std::string_view title) override {
        m_marks.push_back({Clock::now(), "open " + std::string(title)});
        m_desktop.openProgress(title);
    }
    bool stepProgress(int percent) override {
        m_marks.push_back({Clock::now(), {}});
        return m_desktop.stepProgress(percent);
    }
    void closeProgress() override {
        m_marks.push_back({Clock::now(), "close"});
        m_desktop.closeProgress();
    }
    void keepAlive() override { m_desktop.keepAlive(); }

    // The calls of the progress interface with their times, to tell where
    // a long stretch without events lies.
    struct Mark {
        Clock::time_point at;
        std::string what;  // empty for a step
    };
    std::vector<Mark> m_marks;
    // When the first message of information was shown ("Processing was
    // aborted.", "Aborted.") since it was cleared.
    Clock::time_point m_firstInform{};

private:
    frame::DesktopUi& m_desktop;
};

// Notes every moment the event loop handled events: a 1 ms timer beats
// whenever the loop runs. Also counts the paint events.
class Heartbeat : public QObject {
public:
    Heartbeat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { m_beats.push_back(Clock::now()); });
        m_timer.start(1);
        qApp->installEventFilter(this);
    }
    void reset() {
        m_beats.clear();
        m_paints = 0;
    }
    // The longest time without a beat within [from, to], and how many
    // such stretches were longer than limitMs.
    // With where, the stretches over limitMs as (start, length).
    std::pair<double, int> gaps(
        Clock::time_point from, Clock::time_point to, double limitMs,
        std::vector<std::pair<Clock::time_point, double>>* where = nullptr) const {
        double longest = 0;
        int over = 0;
        Clock::time_point last = from;
        auto note = [&](Clock::time_point t) {
            const double gap = Ms(t - last);
            longest = std::max(longest, gap);
            over += gap > limitMs;
            if (where && gap > limitMs) where->emplace_back(last, gap);
            last = t;
        };
        for (Clock::time_point t : m_beats)
            if (t > from && t < to) note(t);
        note(to);
        return {longest, over};
    }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        m_paints += event->type() == QEvent::Paint;
        return false;
    }

private:
    QTimer m_timer;
    std::vector<Clock::time_point> m_beats;
    int m_paints = 0;
};

// Clicks Cancel of the progress window after a delay, from another thread
// through the event queue, as the window system delivers a user's click.
class CancelClick {
public:
    explicit CancelClick(double afterMs) {
        m_thread = std::thread([this, afterMs] {
            std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(afterMs));
            m_posted = Clock::now();
            QMetaObject::invokeMethod(
                qApp,
                [this] {
                    m_handled = Clock::now();
                    for (QWidget* w : QApplication::topLevelWidgets())
                        if (auto* p = qobject_cast<frame::CProgressWnd*>(w); p && p->isVisible()) {
                            p->findChild<QPushButton*>()->click();
                            m_clicked = true;
                        }
                },
                Qt::QueuedConnection);
        });
    }
    ~CancelClick() { join(); }
    void join() {
        if (m_thread.joinable()) m_thread.join();
    }
    Clock::time_point posted() const { return m_posted; }
    Clock::time_point handled() const { return m_handled; }
    bool clicked() const { return m_clicked; }

private:
    std::thread m_thread;
    Clock::time_point m_posted{}, m_handled{};
    bool m_clicked = false;
};

struct Operation {
    const char* name;
    std::function<void()> prepare;
    std::function<int()> run;
};

class Bench {
public:
    Bench(const std::string& first, const std::string& second, const fs::path& scratch,
          std::string only)
        : m_first(first),
          m_second(second),
          m_scratch(scratch),
          m_only(std::move(only)),
          m_ui(m_desktop) {}

    int run();

private:
    // The main window's data file becomes a copy of source, or an empty
    // diary when source is empty.
    void useOwn(const std::string& source);
    void measure(const Operation& op);

    std::string m_first, m_second;
    fs::path m_scratch;
    std::string m_only;  // runs only the operations whose name contains it
    bool m_showGaps = std::getenv("TL_BENCH_GAPS") != nullptr;
    frame::DesktopUi m_desktop;
    BenchUi m_ui;
    std::unique_ptr<store::CDiaryDataFile> m_file;
    std::unique_ptr<frame::CMainFrame> m_frame;
    app::AppSettings m_settings;
    Heartbeat m_heartbeat;
};

void Bench::useOwn(const std::string& source) {
    const fs::path own = m_scratch / "own" / exchange::kDataFileName;
    m_file->Close();
    fs::create_directories(own.parent_path());
    fs::remove(own);
    if (!source.empty()) fs::copy_file(source, own);
    m_file->SetPath(own.string());
    if (source.empty() && !m_file->Create())
        throw std::runtime_error("cannot create " + own.string());
    if (m_file->Open(false) != store::OpenResult::Opened || !m_file->Validate())
        throw std::runtime_error("cannot open " + own.string());
    m_frame->dataFileOpened();
    QCoreApplication::processEvents();
}

void Bench::measure(const Operation& op) {
    op.prepare();
    m_ui.m_marks.clear();
    m_heartbeat.reset();
    QCoreApplication::processEvents();
    const Clock::time_point start = Clock::now();
    const int result = op.run();
    const Clock::time_point end = Clock::now();
    std::fflush(stdout);
    std::vector<std::pair<Clock::time_point, double>> where;
    const auto [longest, over] = m_heartbeat.gaps(start, end, 50, &where);
    const double total = Ms(end - start);
    std::printf(
        "%-36s %8.2f s  longest without events %6.1f ms  over 50 ms: %d  paints %5d  "
        "result %d\n",
        op.name, total / 1000, longest, over, m_heartbeat.paints(), result);
    // Where the progress window stood: before it opened, between two of its
    // steps, after it closed.
    if (!m_ui.m_marks.empty()) {
        double inside = 0;
        for (std::size_t i = 1; i < m_ui.m_marks.size(); ++i)
            if (m_ui.m_marks[i].what.empty() || m_ui.m_marks[i].what == "close")
                inside = std::max(inside, Ms(m_ui.m_marks[i].at - m_ui.m_marks[i - 1].at));
        std::printf(
            "    progress window: opened after %.1f ms, longest step %.1f ms, "
            "%zu calls, closed %.1f ms before the end\n",
            Ms(m_ui.m_marks.front().at - start), inside, m_ui.m_marks.size(),
            Ms(end - m_ui.m_marks.back().at));
    }
    if (m_showGaps) {
        for (const auto& [at, ms] : where) {
            // The progress calls made before the stretch began.
            const auto calls = std::count_if(m_ui.m_marks.begin(), m_ui.m_marks.end(),
                                             [at = at](const auto& m) { return m.at <= at; });
            std::printf("      %.1f ms without events from %.3f s (after %ld progress calls)\n", ms,
                        Ms(at - start) / 1000, static_cast<long>(calls));
        }
    }
    for (double share : {0.25, 0.5, 0.75}) {
        op.prepare();
        QCoreApplication::processEvents();
        const Clock::time_point t0 = Clock::now();
        m_ui.m_firstInform = {};
        CancelClick click(total * share);
        const int r = op.run();
        const Clock::time_point stopped = Clock::now();
        click.join();
        QCoreApplication::processEvents();  // a click that came after the end
        if (!click.clicked()) {
            std::printf("    Cancel at %5.2f s: no progress window up (result %d, after %.2f s)\n",
                        Ms(click.posted() - t0) / 1000, r, Ms(stopped - t0) / 1000);
            continue;
        }
        const double told =
            m_ui.m_firstInform > click.posted() ? Ms(m_ui.m_firstInform - click.posted()) : -1;
        std::printf(
            "    Cancel at %5.2f s: handled after %6.1f ms, told after %6.1f ms, operation "
            "stopped after %6.1f ms (result %d)\n",
            Ms(click.posted() - t0) / 1000, Ms(click.handled() - click.posted()), told,
            Ms(stopped - click.posted()), r);
    }
}

int Bench::run() {
    for (const auto& [path, seed] : {std::pair{m_first, 1}, std::pair{m_second, 2}}) {
        const DiaryFigures fig = EnsureDiary(path, static_cast<std::uint64_t>(seed));
        std::printf("diary %d: %s, %.1f MB, %llu records\n", seed, path.c_str(),
                    double(fig.bytes) / 1e6, static_cast<unsigned long long>(fig.records));
    }
    std::printf("platform: %s\n\n", qPrintable(QApplication::platformName()));
    fs::remove_all(m_scratch);
    const fs::path exported = m_scratch / "exported";
    const fs::path importFrom = m_scratch / "import-from";
    const fs::path mergeFrom = m_scratch / "merge-from";
    const fs::path fresh = m_scratch / "default";
    const fs::path copyTo = m_scratch / "copy-to";
    for (const fs::path& p : {exported, importFrom, mergeFrom, fresh, copyTo})
        fs::create_directories(p);
    fs::copy_file(m_second, mergeFrom / exchange::kDataFileName);

    m_file = std::make_unique<store::CDiaryDataFile>(store::PosixFileSystem::instance(), m_ui);
    m_file->SetKey(store::DeriveDataFileKey());
    m_frame = std::make_unique<frame::CMainFrame>(m_settings, *m_file, m_ui, [] {
        return std::chrono::year_month_day{std::chrono::year{2014}, std::chrono::month{6},
                                           std::chrono::day{1}};
    });
    m_desktop.setMainWindow(m_frame.get());
    m_frame->resize(1100, 750);
    m_frame->show();
    useOwn(m_first);
    frame::CExchangeCommands::Context context;
    context.settings = &m_settings;
    context.dataFile = m_file.get();
    context.documents = &m_frame->documents();
    context.window = m_frame.get();
    context.freshFolder = [fresh] { return std::optional<std::string>(fresh.string()); };
    frame::CExchangeCommands commands(context);
    QObject::connect(&commands, &frame::CExchangeCommands::dataFileChanged, m_frame.get(),
                     &frame::CMainFrame::dataFileOpened);
    // The folder the import reads: the whole first diary, exported once.
    {
        res::SilentUserInterface silent;
        store::CDiaryDataFile source(store::PosixFileSystem::instance(), silent);
        source.SetPath(m_first);
        source.SetKey(store::DeriveDataFileKey());
        if (source.Open(true) != store::OpenResult::Opened ||
            exchange::ExportData(source, importFrom.string(), true, true, "00000000", "99999999",
                                 exchange::Encoding::Unicode) != 1)
            throw std::runtime_error("cannot export " + m_first);
    }
    m_frame->documents().OpenEntry({2014, 6, 1}, true);

    auto first = [this] { useOwn(m_first); };
    exchange::ExportRequest everything;
    everything.folder = exported.string();
    everything.encoding = exchange::Encoding::Unicode;
    const Operation ops[] = {
        {"export everything, UNICODE",
         [&] {
             first();
             fs::remove_all(exported);
             fs::create_directories(exported);
         },
         [&] { return commands.exportData(everything); }},
        {"import everything into an empty diary", [&] { useOwn({}); },
         [&] { return commands.importData(importFrom.string(), exchange::Encoding::Unicode); }},
        {"merge two diaries of twenty years", first,
         [&] { return commands.mergeData(mergeFrom.string(), false); }},
        {"optimisation", first, [&] { return commands.optimise(false); }},
        {"bulk compression", first, [&] { return commands.optimise(true); }},
        {"copy", [&] { fs::remove(copyTo / exchange::kDataFileName); },
         [&] { return commands.copyData(copyTo.string()); }},
    };
    for (const Operation& op : ops)
        if (std::string_view(op.name).find(m_only) != std::string_view::npos) measure(op);
    m_frame.reset();
    m_file.reset();
    fs::remove_all(m_scratch);
    return 0;
}

}  // namespace
}  // namespace tl::bench

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string first = std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat";
    std::string second = std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed2.dat";
    std::string scratch = std::string(TL_BENCH_DATA_DIR) + "/frame-scratch";
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc)
            first = argv[++i];
        else if (!std::strcmp(argv[i], "--second") && i + 1 < argc)
            second = argv[++i];
        else if (!std::strcmp(argv[i], "--scratch") && i + 1 < argc)
            scratch = argv[++i];
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: %s [--data FILE] [--second FILE] [--scratch DIR] "
                         "[--only NAME]\n",
                         argv[0]);
            return 2;
        }
    }
    try {
        return tl::bench::Bench(first, second, scratch, only).run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tl_frame_bench: %s\n", e.what());
        return 1;
    }
}
