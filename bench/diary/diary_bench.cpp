// Opening and saving an entry window on a diary of twenty years: the time
// from OpenEntry to a filled window, and of a save (written and synced).
// Runs on a work copy of the store benchmark's generated file, so the
// saves leave that file as generated. Usage:
//   tl_diary_bench [--data FILE] [--runs N]
#include <QApplication>
#include <QMdiArea>
#include <QTextCursor>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "res/user_interface.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"
#include "timing.h"

namespace {

using tl::bench::Clock;
using tl::bench::Figures;
using tl::bench::Millis;
using tl::store::Date;

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::optional<tl::bench::RunOptions> options = tl::bench::ParseRunOptions(
        argc, argv, std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat", 200, 20);
    if (!options) return 2;
    const std::string data = options->data;
    const int runs = options->runs;
    QApplication app(argc, argv);
    std::filesystem::create_directories(std::filesystem::path(data).parent_path());
    tl::bench::EnsureDiary(data, 1);
    const std::string work = data + ".entry-work";
    std::filesystem::copy_file(data, work, std::filesystem::copy_options::overwrite_existing);

    tl::store::CDiaryDataFile file;
    file.SetPath(work);
    file.SetKey(tl::store::DeriveDataFileKey());
    if (file.Open(false) != tl::store::OpenResult::Opened) {
        std::fprintf(stderr, "cannot open %s\n", work.c_str());
        return 1;
    }
    tl::app::AppSettings settings;
    settings.etc.firstFocusTitle = 0;
    QMdiArea area;
    area.resize(1000, 700);
    tl::diary::DiaryContext context{&settings, &file, &tl::res::Silent(), {}};
    tl::diary::CDiaryDocuments documents(context, &area);

    // The generated diary writes consecutive days from 1 January 2005.
    std::mt19937 random(7);
    auto someDay = [&] {
        std::chrono::sys_days day =
            std::chrono::sys_days{std::chrono::year{2005} / 1 / 1} +
            std::chrono::days{std::uniform_int_distribution<int>(0, 7299)(random)};
        std::chrono::year_month_day ymd{day};
        return Date{static_cast<std::int16_t>(int(ymd.year())),
                    static_cast<std::uint8_t>(unsigned(ymd.month())),
                    static_cast<std::uint8_t>(unsigned(ymd.day()))};
    };

    auto t = Clock::now();
    documents.OpenEntry(someDay(), false);
    std::printf("%-34s %7.2f ms (reads the record chain once)\n", "first open",
                Millis(Clock::now() - t));

    tl::bench::Figures open, save, switchSaving;
    for (int i = 0; i < runs; ++i) {
        Date date = someDay();
        t = Clock::now();
        tl::diary::CMarlowDoc* doc = documents.OpenEntry(date, false);
        open.add(Millis(Clock::now() - t));
        if (!doc) {
            std::fprintf(stderr, "could not open an entry\n");
            return 1;
        }
        QTextCursor cursor = doc->view()->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral(" and a line more"));
        t = Clock::now();
        if (!doc->DoFileSave()) return 1;
        save.add(Millis(Clock::now() - t));
        cursor.insertText(QStringLiteral("."));
        doc->setPinned(false);
        // Opening another date saves and closes the edited entry first.
        t = Clock::now();
        documents.OpenEntry(someDay(), false);
        switchSaving.add(Millis(Clock::now() - t));
        QCoreApplication::processEvents();
    }
    open.print("open an entry");
    save.print("save an entry (written, synced)");
    switchSaving.print("open another date after an edit");
    documents.CloseAll();
    file.Close();
    std::filesystem::remove(work);
    return 0;
}
