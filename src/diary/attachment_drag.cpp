#include "attachment_drag.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <QFile>
#include <climits>
#include <filesystem>

#include "app/startup.h"
#include "app/temp_files.h"
#include "exchange/export.h"
#include "store/attachment_names.h"
#include "store/codepage.h"
#include "store/diary_data_file.h"

namespace tl::diary {
namespace {

namespace fs = std::filesystem;

const QString kUriList = QStringLiteral("text/uri-list");

// The name itself, else "stem(n).rest" (two attachments of one drag may
// share a name when they belong to different dates; a drag holds at most
// every attachment of the file, so the numbers never run out).
std::string FreeName(const std::string& folder, const std::string& name) {
    return *app::NumberedPath(folder, name, INT_MAX, [](const std::string& path) {
        std::error_code ec;
        return !fs::exists(fs::symlink_status(path, ec));
    });
}

// The mode a new file of this process gets (0666 less the umask).
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string NewDragFolder(app::TempFileList& copies) {
    const std::string temp = app::TempFolder();
    if (temp.empty()) return {};
    std::string pattern = temp + "/drag-XXXXXX";
    if (!::mkdtemp(pattern.data())) return {};
    copies.add(pattern);
    return pattern;
}

AttachmentDragData::AttachmentDragData(store::CDiaryDataFile& file, app::TempFileList& copies,
                                       std::vector<DraggedAttachment> attachments)
    : m_file(file), m_copies(copies), m_attachments(std::move(attachments)) {}

QStringList AttachmentDragData::formats() const {
    QStringList list = QMimeData::formats();
    list << QString::fromLatin1(kAttachmentDragMimeType) << kUriList;
    return list;
}

bool AttachmentDragData::hasFormat(const QString& mimeType) const {
    return formats().contains(mimeType);
}

QVariant AttachmentDragData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType == kUriList) {
        QVariantList list;
        for (const QUrl& url : copyUrls()) list << url;
        return list;
    }
    if (mimeType == QLatin1String(kAttachmentDragMimeType)) return QByteArray("1");
    return QMimeData::retrieveData(mimeType, type);
}

QList<QUrl> AttachmentDragData::copyUrls() const {
    if (m_urls) return *m_urls;
    m_urls.emplace();
    res::UserInterface& ui = m_file.ui();
    const std::string folder = NewDragFolder(m_copies);
    if (folder.empty()) {
        ui.warn(res::Msg::FailedToWrite);
        return *m_urls;
    }
    const std::size_t n = m_attachments.size();
    bool progressShown = false;
    for (std::size_t k = 0; k < n; ++k) {
        // The first file alone comes without a progress window.
        if (k > 0 && !progressShown) {
            progressShown = true;
            ui.openProgress(res::Text(res::Msg::Copying));
        }
        if (progressShown && !ui.stepProgress(static_cast<int>(k * 100 / n))) break;
        const DraggedAttachment& a = m_attachments[k];
        store::AttachmentInfo info;
        if (a.order == 0 || m_file.FindAttachment(0, a.date, a.order, &info) == 0) continue;
        const std::string path =
            FreeName(folder, store::Utf16ToUtf8(store::SafeFileName(info.name)));
        m_copies.add(path);
        if (exchange::ExportAttachment(m_file, a.date, a.order, path, true, false) != 1) continue;
        // A dropped file is the user's like any other new one: what the
        // umask gives, whatever the stored attributes say.
        ::chmod(path.c_str(), NewFileMode());
        m_urls->append(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
    }
    if (progressShown) ui.closeProgress();
    return *m_urls;
}

}  // namespace tl::diary
