#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>

#include "app/app_settings.h"
#include "exchange/export.h"
#include "res/command_target.h"
#include "res/user_interface.h"

class QWidget;

namespace tl::diary {
class CDiaryDocuments;
}
namespace tl::store {
class CDiaryDataFile;
}

namespace tl::frame {

// The File menu's whole-file commands: copy, export, import, merge,
// optimisation (also Shift+Alt+C), bulk compression, the import of old
// version data and the attachment manager. Each saves the open entries
// first; those that change or replace the data file close them, and open
// them again afterwards from the new contents. The work runs on this thread
// behind the progress window.
class CExchangeCommands : public QObject, public res::CommandTarget {
    Q_OBJECT

public:
    struct Context {
        app::AppSettings* settings = nullptr;
        store::CDiaryDataFile* dataFile = nullptr;
        diary::CDiaryDocuments* documents = nullptr;
        // Where dialogs and pickers are shown.
        QWidget* window = nullptr;
        // The folder that receives the fresh file of optimisation and bulk
        // compression (the default data folder); nullopt when it cannot be
        // made, and then the data file's own folder is used.
        std::function<std::optional<std::string>()> freshFolder;
        // Around a conversion of old data: the sticky note windows written
        // into the data file and removed, then created again from it.
        std::function<void()> putNotesAway;
        std::function<void()> loadNotes;
    };

    explicit CExchangeCommands(Context context, QObject* parent = nullptr);
    void registerCommands(res::CommandRegistry& commands);

    bool isEnabled(res::Cmd cmd) const override;
    void run(res::Cmd cmd) override;

    // The commands from the point where their dialogs were accepted:
    // 1 done, 0 failed, 2 declined or cancelled (as the engine answers).
    int exportData(const exchange::ExportRequest& request);
    int importData(const std::string& folder, exchange::Encoding encoding);
    int mergeData(const std::string& folder, bool emptyAfter);
    int copyData(const std::string& folder);
    int optimise(bool compress);
    // "Management attached files": the open entries saved and closed, the
    // dialog, and the data file compacted after a deletion. 1 shown, 0 not.
    int manageAttachments();
    // Offers every data file of an earlier version in the folder (also at
    // start-up, on the data folder). 1 when one was converted.
    int convertOldData(const std::string& folder);
    // File > Merge conflicted copies; the number merged.
    int mergeConflictCopies();
    // Once the data file is detached (replaced, moved or deleted
    // underneath): keeps it, offers the merge, opens the file at the path
    // and saves the open entries into it. 1 when a file is open again.
    int keepReplacedDataFile();

signals:
    // The data file's contents changed or it was replaced: whatever shows
    // them reads it again.
    void dataFileChanged();

private:
    void exportCommand();
    void importCommand();
    void mergeCommand();
    void copyCommand();
    void importOldVersionCommand();
    std::string freshFolder() const;

    Context m_context;
    res::UserInterface& ui() const;
};

}  // namespace tl::frame
