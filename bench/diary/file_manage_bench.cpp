// The attachment manager on the diary of twenty years (2,000 attachments):
// opening it (the table read from the data file, the dialog built, shown
// and painted), a click on each heading (sorted and repainted), selecting
// every row (the totals follow) and deleting 500 rows at once. Works on a
// copy of the store benchmark's generated file. Usage:
//   tl_file_manage_bench [--data FILE] [--runs N]
#include <QApplication>
#include <QHeaderView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "diary/file_manage_dlg.h"
#include "res/user_interface.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "store/diary_generator.h"
#include "timing.h"

namespace {

using tl::bench::Clock;
using tl::bench::Figures;
using tl::bench::Millis;

// Says yes to the deletion question, and nothing else.
class YesUserInterface final : public tl::res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;
    void warn(std::string_view text) override {
        std::fprintf(stderr, "warning: %.*s\n", static_cast<int>(text.size()), text.data());
    }
    void inform(std::string_view) override {}
    bool askYesNo(std::string_view) override { return true; }
    tl::res::Answer askYesNoCancel(std::string_view) override { return tl::res::Answer::Yes; }
    void openProgress(std::string_view) override {}
    bool stepProgress(int) override { return true; }
    void closeProgress() override {}
};

std::unique_ptr<tl::diary::CFileManageDlg> OpenManager(tl::store::CDiaryDataFile& file) {
    auto rows = tl::diary::BuildFileManageRows(file, file.ui());
    if (!rows) return nullptr;
    auto dialog = std::make_unique<tl::diary::CFileManageDlg>(
        tl::diary::CFileManageDlg::Context{&file, nullptr, {}}, std::move(*rows));
    dialog->show();
    dialog->list()->viewport()->repaint();
    QApplication::processEvents();
    return dialog;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::optional<tl::bench::RunOptions> options = tl::bench::ParseRunOptions(
        argc, argv, std::string(TL_BENCH_DATA_DIR) + "/diary-20y-seed1.dat", 20, 3);
    if (!options) return 2;
    QApplication app(argc, argv);
    std::filesystem::create_directories(std::filesystem::path(options->data).parent_path());
    tl::bench::EnsureDiary(options->data, 1);
    const std::string work = options->data + ".manager-work";
    std::filesystem::copy_file(options->data, work,
                               std::filesystem::copy_options::overwrite_existing);

    YesUserInterface ui;
    tl::store::CDiaryDataFile file(tl::store::PosixFileSystem::instance(), ui);
    file.SetPath(work);
    file.SetKey(tl::store::DeriveDataFileKey());
    if (file.Open(false) != tl::store::OpenResult::Opened || !file.Validate()) {
        std::fprintf(stderr, "cannot open %s\n", work.c_str());
        return 1;
    }

    Figures open, select;
    Figures sorts[tl::diary::kFileManageColumns];
    std::size_t rows = 0;
    for (int run = 0; run < options->runs; ++run) {
        auto t = Clock::now();
        auto dialog = OpenManager(file);
        open.add(Millis(Clock::now() - t));
        if (!dialog) return 1;
        rows = dialog->model().rows().size();
        QHeaderView* header = dialog->list()->header();
        for (int c = 0; c < tl::diary::kFileManageColumns; ++c) {
            t = Clock::now();
            emit header->sectionClicked(c);
            dialog->list()->viewport()->repaint();
            sorts[c].add(Millis(Clock::now() - t));
        }
        t = Clock::now();
        dialog->list()->selectAll();
        QApplication::processEvents();
        select.add(Millis(Clock::now() - t));
    }
    std::printf("%zu attachments, %d runs, medians / p95 / max\n", rows, options->runs);
    open.print("open (table, dialog, first paint)", 40);
    const char* names[] = {"sort by File name", "sort by Date", "sort by Original size",
                           "sort by Compressed size", "sort by Attachment order"};
    for (int c = 0; c < tl::diary::kFileManageColumns; ++c) sorts[c].print(names[c], 40);
    select.print("select all (totals follow)", 40);

    // Deleting a quarter of the rows at once, then the compaction's input
    // is ready (one sync for the lot).
    auto dialog = OpenManager(file);
    if (!dialog) return 1;
    auto* selection = dialog->list()->selectionModel();
    for (int r = 0; r < dialog->model().rowCount(); r += 4)
        selection->select(dialog->model().index(r, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const std::size_t chosen = dialog->list()->selectedRows().size();
    const auto t = Clock::now();
    dialog->deleteSelected();
    QApplication::processEvents();
    std::printf("%-40s %7.1f ms (%zu rows)\n", "delete selected rows", Millis(Clock::now() - t),
                chosen);
    dialog.reset();
    file.Close();
    std::filesystem::remove(work);
    return 0;
}
