// The cost of keeping typing safe from a crash, on the interface thread: a
// keystroke only restarts two timers; when one runs out the entry's state
// is taken from the editor (plain text and RTF) and handed to the recovery
// writer, whose thread seals, writes and syncs it. Prints the interface
// thread's share per hand-over for entries of three sizes, and the
// writer's time per file for comparison. Usage:
//   tl_typing_recovery_bench [--data FILE] [--runs N]
#include <QApplication>
#include <QMdiArea>
#include <QTextCursor>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_settings.h"
#include "app/typing_recovery.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "res/user_interface.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "timing.h"

namespace {

using tl::bench::Clock;
using tl::bench::Figures;
using tl::bench::Millis;

// Words, every third one bold, up to the given count of characters.
void Fill(QTextEdit& editor, int characters) {
    QTextCursor cursor(editor.document());
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int n = 0, word = 0; n < characters; ++word) {
        const QString text = word % 12 == 11 ? QStringLiteral("line.\n") : QStringLiteral("word ");
        cursor.insertText(text, word % 3 == 0 ? bold : plain);
        n += static_cast<int>(text.size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string folder =
        (std::filesystem::temp_directory_path() / "tl-typing-recovery-bench").string();
    const std::optional<tl::bench::RunOptions> options =
        tl::bench::ParseRunOptions(argc, argv, folder + "/Mrlwbk31.dat", 200, 20);
    if (!options) return 2;
    QApplication app(argc, argv);
    std::filesystem::create_directories(std::filesystem::path(options->data).parent_path());
    std::filesystem::remove(options->data);

    tl::res::SilentUserInterface ui;
    tl::store::CDiaryDataFile file(tl::store::PosixFileSystem::instance(), ui);
    file.SetPath(options->data);
    file.SetKey(tl::store::DeriveDataFileKey());
    if (file.Create() != 1 || file.Open(false) != tl::store::OpenResult::Opened) {
        std::fprintf(stderr, "cannot create %s\n", options->data.c_str());
        return 1;
    }
    tl::app::AppSettings settings;
    tl::app::RecoveryWriter writer;
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    tl::diary::DiaryContext context{&settings, &file, &ui, {}, nullptr};
    context.recovery = &writer;
    tl::diary::CDiaryDocuments documents(context, &area);
    int day = 1;
    for (int size : {1000, 10000, 50000}) {
        tl::diary::CMarlowDoc* doc =
            documents.OpenEntry({2026, 1, static_cast<std::uint8_t>(day++)}, true);
        if (!doc) return 1;
        Fill(*doc->view(), size);
        Figures handOver;
        Figures written;
        for (int run = 0; run < options->runs; ++run) {
            QTextCursor cursor(doc->view()->document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QStringLiteral("x"));
            const auto start = Clock::now();
            doc->keepTyping();
            handOver.add(Millis(Clock::now() - start));
            const auto queued = Clock::now();
            writer.flush();
            written.add(Millis(Clock::now() - queued));
        }
        std::printf("entry of %d characters\n", size);
        handOver.print("  interface thread per hand-over");
        written.print("  writer thread per file (synced)");
        doc->dropRecovery();
        doc->SetModifiedFlag(false);
    }
    writer.flush();
    file.Close();
    std::filesystem::remove_all(folder);
    return 0;
}
