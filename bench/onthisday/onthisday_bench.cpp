// "On this day" on the generated diary of twenty years (the store
// benchmark's file, reused):
//   - the rows of one date: every day of a leap year in turn (29 February
//     and the month notes included), after the chain map is read once;
//   - the view filled with a date's rows and painted into an image, the
//     thumbnails asked for but not waited for (they are made off the
//     interface thread), and, for information, until the last thumbnail
//     has arrived and been painted.
// The platform is Qt's (QT_QPA_PLATFORM; offscreen when unset). Usage:
//   tl_onthisday_bench [--data FILE] [--runs N]
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/on_this_day.h"
#include "onthisday/on_this_day_view.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"
#include "timing.h"

using tl::bench::Clock;
using tl::bench::Millis;
using tl::store::Date;

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::optional<tl::bench::RunOptions> run = tl::bench::ParseRunOptions(
        argc, argv, std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat", 3, 1);
    if (!run) return 2;
    std::filesystem::create_directories(std::filesystem::path(run->data).parent_path());
    const tl::bench::DiaryOptions options;
    tl::bench::EnsureDiary(run->data, 1, options);
    QApplication app(argc, argv);

    tl::store::CDiaryDataFile file;
    file.SetPath(run->data);
    file.SetKey(tl::store::DeriveDataFileKey());
    if (file.Open(true) != tl::store::OpenResult::Opened) {
        std::fprintf(stderr, "cannot open %s\n", run->data.c_str());
        return 1;
    }
    const std::int16_t asked = static_cast<std::int16_t>(options.firstYear + options.years);
    auto start = Clock::now();
    std::size_t rows = tl::app::OnThisDayRows(file, {asked, 3, 5}).size();
    const double first = Millis(Clock::now() - start);

    tl::bench::Figures day, months;
    for (int r = 0; r < run->runs; ++r) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= tl::store::DaysInMonth(2024, m); ++d) {
                start = Clock::now();
                rows = tl::app::OnThisDayRows(file, {asked, static_cast<std::uint8_t>(m),
                                                     static_cast<std::uint8_t>(d)})
                           .size();
                day.add(Millis(Clock::now() - start));
            }
            start = Clock::now();
            (void)tl::app::OnThisDayRows(file, {asked, static_cast<std::uint8_t>(m), 0});
            months.add(Millis(Clock::now() - start));
        }
    }
    std::printf("rows of one date (%zu rows on the last, %d years)\n", rows, options.years);
    std::printf("%-40s %7.3f ms\n", "  first, reading the chain map", first);
    day.print("  one day");
    months.print("  one month's notes");

    tl::onthisday::COnThisDayView view(file);
    view.resize(380, 900);
    view.show();
    QApplication::processEvents();
    QImage canvas(view.size(), QImage::Format_ARGB32_Premultiplied);
    tl::bench::Figures filled, whole;
    int pictures = 0;
    for (int r = 0; r < run->runs; ++r) {
        for (int m = 1; m <= 12; ++m) {
            const Date date{asked, static_cast<std::uint8_t>(m), 14};
            QElapsedTimer total;
            total.start();
            start = Clock::now();
            view.setDate(date);
            {
                QPainter p(&canvas);
                view.render(&p);
            }
            filled.add(Millis(Clock::now() - start));
            while (!view.thumbnailsDone())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            QApplication::processEvents();
            {
                QPainter p(&canvas);
                view.render(&p);
            }
            whole.add(static_cast<double>(total.nsecsElapsed()) / 1e6);
            if (r == 0)
                for (int i = 0; i < static_cast<int>(view.rows().size()); ++i)
                    pictures += view.hasThumbnail(i);
        }
    }
    std::printf("the view, the 14th of every month (%d thumbnails in the first round)\n", pictures);
    filled.print("  filled and painted");
    whole.print("  with every thumbnail painted");
    file.Close();
    return 0;
}
