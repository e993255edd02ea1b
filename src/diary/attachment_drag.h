#pragma once

// Attachments dragged out of the diary (from an entry's strip or from the
// attachment manager) into a file manager or a mail program. Linux has no
// files that exist only while a target reads them, so the drag offers a
// URI list of read-only copies in the temporary folder. They are written
// when a target first asks for the list, not when the drag starts, so that
// a drag let go over nothing writes nothing.

#include <QMimeData>
#include <QUrl>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "res/user_interface.h"
#include "store/records.h"

namespace tl::app {
class TempFileList;
}
namespace tl::store {
class CDiaryDataFile;
}

namespace tl::diary {

// Carried by every drag of attachments the diary starts: the diary's own
// panes never take such a drag as files to attach.
inline constexpr char kAttachmentDragMimeType[] = "application/x-tallyleaf-attached-files";

struct DraggedAttachment {
    store::Date date;
    std::uint32_t order = 0;
};

class AttachmentDragData : public QMimeData {
    Q_OBJECT

public:
    // The data file and the list of copies outlive the drag.
    AttachmentDragData(store::CDiaryDataFile& file, app::TempFileList& copies,
                       std::vector<DraggedAttachment> attachments);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

    // Writes the copies once (in drag order, the progress window "Copying..."
    // from the second file on) and answers their addresses; later calls
    // answer the same. A file that cannot be written is told and left out;
    // Cancel leaves out the rest.
    QList<QUrl> copyUrls() const;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    store::CDiaryDataFile& m_file;
    app::TempFileList& m_copies;
    std::vector<DraggedAttachment> m_attachments;
    mutable std::optional<QList<QUrl>> m_urls;
};

// A fresh folder for one drag's copies inside the temporary folder, so that
// every copy keeps its stored name; "" when none can be made. The folder
// goes on the list before its files, so that it is removed after them.
std::string NewDragFolder(app::TempFileList& copies);

}  // namespace tl::diary
