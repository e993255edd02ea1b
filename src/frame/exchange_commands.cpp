#include "exchange_commands.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <filesystem>

#include "app/exchange_forms.h"
#include "app/failure_report.h"
#include "app/maintenance.h"
#include "app/old_version.h"
#include "app/sync_copies.h"
#include "diary/attachment_actions.h"
#include "diary/diary_documents.h"
#include "diary/file_manage_dlg.h"
#include "diary/marlow_doc.h"
#include "exchange/import.h"
#include "exchange/merge.h"
#include "export_dlg.h"
#include "import_dlg.h"
#include "merge_dlg.h"
#include "old_data_dlg.h"
#include "operation_scope.h"
#include "password_dlg.h"
#include "store/diary_data_file.h"
#include "widgets/wait_cursor.h"

namespace tl::frame {

using res::Cmd;

namespace {

constexpr Cmd kExchangeCommands[] = {
    Cmd::CopyData,
    Cmd::Export,
    Cmd::Import,
    Cmd::Merge,
    Cmd::Optimise,
    Cmd::OptimiseKey,
    Cmd::CompressAttachments,
    Cmd::ManageAttachments,
    Cmd::ImportOldVersion,
    Cmd::MergeConflicts,
};

exchange::PasswordPrompt PasswordPromptIn(QWidget* window) {
    return [window]() -> std::optional<std::u16string> {
        CPasswordDlg dialog(false, window);
        const app::PasswordReply reply = dialog.ask();
        if (reply.action != app::PasswordReply::Action::Ok) return std::nullopt;
        return reply.text;
    };
}

// The open entries around an operation. All are saved first; when the
// operation changes or replaces the data file they are closed, and
// reopen() opens them again from the new contents, the pinned ones pinned
// and the entry that had the focus in front.
class EntriesAside {
public:
    EntriesAside(diary::CDiaryDocuments& documents, bool close) : m_documents(documents) {
        // An entry that cannot be saved stays open and modified, and the
        // operation does not start: nothing typed is lost.
        m_saved = documents.SaveAll();
        if (!m_saved || !close) return;
        m_rows = documents.tabs();
        if (const diary::CMarlowDoc* active = documents.activeDocument()) m_active = active->date();
        if (!documents.CloseAll()) {
            // A save failed on the way: what closed comes back beside it.
            m_saved = false;
            reopen();
        }
    }
    bool saved() const { return m_saved; }

    void reopen() {
        // Opening a date closes every other unpinned entry, so the pinned
        // ones come first; a newly opened entry is pinned by opening it a
        // second time.
        std::optional<store::Date> unpinned;
        for (const diary::TabRow& row : m_rows) {
            if (!row.pinned) {
                unpinned = row.date;
                continue;
            }
            if (m_documents.OpenEntry(row.date, true)) m_documents.OpenEntry(row.date, true);
        }
        if (unpinned)
            m_documents.OpenEntry(*unpinned, false);
        else if (m_active && m_documents.document(*m_active))
            m_documents.OpenEntry(*m_active, true);
        m_rows.clear();
    }

private:
    diary::CDiaryDocuments& m_documents;
    bool m_saved = false;
    std::vector<diary::TabRow> m_rows;
    std::optional<store::Date> m_active;
};

// While the engine works: the wait cursor, and the user's input held off
// while events are let through between its steps.
struct Running {
    widgets::WaitCursor wait;
    OperationScope operation;
};

}  // namespace

CExchangeCommands::CExchangeCommands(Context context, QObject* parent)
    : QObject(parent), m_context(std::move(context)) {}

void CExchangeCommands::registerCommands(res::CommandRegistry& commands) {
    commands.add(*this, kExchangeCommands);
}

res::UserInterface& CExchangeCommands::ui() const {
    return m_context.dataFile->ui();
}

// Commands that write the data file wait while it is read-only; the main
// window's rules add the need for an open data file.
bool CExchangeCommands::isEnabled(Cmd cmd) const {
    switch (cmd) {
        case Cmd::Import:
        case Cmd::Merge:
        case Cmd::Optimise:
        case Cmd::OptimiseKey:
        case Cmd::CompressAttachments:
        case Cmd::ManageAttachments:
        case Cmd::ImportOldVersion:
        case Cmd::MergeConflicts:
            return !m_context.dataFile->IsReadOnly();
        default:
            return true;
    }
}

void CExchangeCommands::run(Cmd cmd) {
    switch (cmd) {
        case Cmd::Export:
            exportCommand();
            break;
        case Cmd::Import:
            importCommand();
            break;
        case Cmd::Merge:
            mergeCommand();
            break;
        case Cmd::CopyData:
            copyCommand();
            break;
        case Cmd::Optimise:
        case Cmd::OptimiseKey:
            optimise(false);
            break;
        case Cmd::CompressAttachments:
            optimise(true);
            break;
        case Cmd::ManageAttachments:
            manageAttachments();
            break;
        case Cmd::ImportOldVersion:
            importOldVersionCommand();
            break;
        case Cmd::MergeConflicts:
            (void)mergeConflictCopies();
            break;
        default:
            break;
    }
}

void CExchangeCommands::exportCommand() {
    CExportDlg dialog(app::ExportForm::FromSettings(*m_context.settings), ui(), m_context.window);
    if (dialog.exec() != QDialog::Accepted || !dialog.request()) return;
    app::StoreExportSettings(*m_context.settings, *dialog.request());
    exportData(*dialog.request());
}

void CExchangeCommands::importCommand() {
    CImportDlg dialog(app::ImportForm::FromSettings(*m_context.settings), ui(), m_context.window);
    if (dialog.exec() != QDialog::Accepted) return;
    app::StoreImportSettings(*m_context.settings, dialog.folder(), dialog.encoding());
    importData(dialog.folder(), dialog.encoding());
}

void CExchangeCommands::mergeCommand() {
    CMergeDlg dialog(app::MergeForm::FromSettings(*m_context.settings), ui(), m_context.window);
    if (dialog.exec() != QDialog::Accepted) return;
    app::StoreMergeSettings(*m_context.settings, dialog.folder(), dialog.emptyAfter());
    mergeData(dialog.folder(), dialog.emptyAfter());
}

void CExchangeCommands::copyCommand() {
    const QString chosen = QFileDialog::getExistingDirectory(
        m_context.window, QString::fromUtf8(res::Text(res::Msg::SelectDestinationFolder)));
    if (chosen.isEmpty()) return;
    copyData(chosen.toStdString());
}

void CExchangeCommands::importOldVersionCommand() {
    // The open entries are saved and closed before the dialog is shown.
    EntriesAside entries(*m_context.documents, true);
    if (!entries.saved()) return;
    const app::AppSettings& settings = *m_context.settings;
    std::string start = settings.file.location;
    if (settings.file.locationDefault == 1 || start.empty()) start = freshFolder();
    COldDataDlg dialog(start, ui(), m_context.window);
    if (dialog.exec() == QDialog::Accepted) convertOldData(dialog.folder());
    entries.reopen();
}

int CExchangeCommands::convertOldData(const std::string& folder) {
    // Start-up asks at every start: without old files no entry or note is
    // put away and loaded again.
    if (!m_context.dataFile->IsWritable() || !app::HasOldDataFiles(folder)) return 0;
    EntriesAside entries(*m_context.documents, true);
    if (!entries.saved()) return 0;
    app::OldVersionContext context;
    context.own = m_context.dataFile;
    context.askPassword = PasswordPromptIn(m_context.window);
    context.freshFolder = freshFolder();
    context.converterPath =
        (QCoreApplication::applicationDirPath() + QLatin1Char('/') + app::kConverterFileName)
            .toStdString();
    context.converted = [this] { emit dataFileChanged(); };
    if (m_context.putNotesAway) m_context.putNotesAway();
    int r = 0;
    {
        const Running running;
        r = app::FindOldData(folder, context);
    }
    if (m_context.loadNotes) m_context.loadNotes();
    entries.reopen();
    return r;
}

int CExchangeCommands::exportData(const exchange::ExportRequest& request) {
    EntriesAside entries(*m_context.documents, false);
    if (!entries.saved()) return 0;
    const Running running;
    return exchange::RunExport(*m_context.dataFile, request);
}

int CExchangeCommands::importData(const std::string& folder, exchange::Encoding encoding) {
    EntriesAside entries(*m_context.documents, true);
    if (!entries.saved()) return 0;
    int r = 0;
    {
        const Running running;
        r = exchange::RunImport(*m_context.dataFile, folder, encoding);
    }
    // Also a cancelled import keeps what it imported until then.
    emit dataFileChanged();
    entries.reopen();
    return r;
}

int CExchangeCommands::mergeData(const std::string& folder, bool emptyAfter) {
    EntriesAside entries(*m_context.documents, true);
    if (!entries.saved()) return 0;
    const exchange::PasswordPrompt askPassword = PasswordPromptIn(m_context.window);
    int r = 0;
    {
        const Running running;
        r = exchange::RunMerge(*m_context.dataFile, folder, emptyAfter, askPassword);
    }
    emit dataFileChanged();
    entries.reopen();
    return r;
}

int CExchangeCommands::copyData(const std::string& folder) {
    EntriesAside entries(*m_context.documents, false);
    if (!entries.saved()) return 0;
    const Running running;
    return exchange::RunCopy(*m_context.dataFile, folder);
}

int CExchangeCommands::optimise(bool compress) {
    EntriesAside entries(*m_context.documents, true);
    if (!entries.saved()) return 0;
    const std::string fresh = freshFolder();
    int r = 0;
    {
        const Running running;
        r = compress ? app::RunBulkCompression(*m_context.dataFile, fresh)
                     : app::RunOptimisation(*m_context.dataFile, fresh);
    }
    emit dataFileChanged();
    entries.reopen();
    return r;
}

int CExchangeCommands::manageAttachments() {
    store::CDiaryDataFile& file = *m_context.dataFile;
    std::optional<std::vector<diary::FileManageRow>> rows;
    {
        const Running running;
        rows = diary::BuildFileManageRows(file, ui());
    }
    if (!rows) return 0;
    // Deleting must not pull records from under an open entry.
    EntriesAside entries(*m_context.documents, true);
    if (!entries.saved()) return 0;
    const bool reduce = m_context.settings->picture.reduction == 1;
    diary::CFileManageDlg dialog(
        {&file, &m_context.documents->temporaryCopies(),
         [&file, reduce](store::Date date, std::uint32_t order, QWidget* parent) {
             return diary::ShowDatedPicture(file, reduce, date, order, parent);
         }},
        std::move(*rows), m_context.window);
    dialog.exec();
    if (dialog.deletedSomething()) {
        // Deleting left free records: compacted at once, without asking;
        // the pass tells its own failure or cancel, a file error is told
        // here, and the entries come back either way.
        const std::string fresh = freshFolder();
        try {
            const Running running;
            (void)app::OptimiseDataFile(file, fresh);
        } catch (const std::exception&) {
            app::ReportFailure(ui(), std::current_exception());
        }
        emit dataFileChanged();
    }
    entries.reopen();
    return 1;
}

std::string CExchangeCommands::freshFolder() const {
    if (m_context.freshFolder)
        if (std::optional<std::string> folder = m_context.freshFolder()) return *folder;
    return std::filesystem::path(m_context.dataFile->Path()).parent_path().string();
}

int CExchangeCommands::mergeConflictCopies() {
    if (app::FindConflictCopies(m_context.dataFile->Path()).empty()) {
        ui().inform(res::Msg::NoConflictCopies);
        return 0;
    }
    EntriesAside entries(*m_context.documents, true);
    if (!entries.saved()) return 0;
    app::ConflictMerges r;
    {
        const Running running;
        r = app::OfferConflictCopies(*m_context.dataFile, PasswordPromptIn(m_context.window));
    }
    emit dataFileChanged();
    entries.reopen();
    return r.merged;
}

int CExchangeCommands::keepReplacedDataFile() {
    app::DetachedOutcome r;
    {
        const Running running;
        r = app::HandleDetachedDataFile(*m_context.dataFile, PasswordPromptIn(m_context.window),
                                        std::chrono::system_clock::now());
    }
    if (r == app::DetachedOutcome::None || r == app::DetachedOutcome::Failed) return 0;
    // The entries in the window, and the notes, go into the file now open.
    EntriesAside entries(*m_context.documents, true);
    emit dataFileChanged();
    entries.reopen();
    return 1;
}

}  // namespace tl::frame
