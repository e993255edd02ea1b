#pragma once

// The attachments array of an open entry (the document owns it): read from
// the data file when the entry opens, sorted by attachment order, with
// thumbnails that arrive afterwards; and the operations on it (attach,
// delete, save, read, copy for other programs). Failures are told through
// the user interface where they happen.

#include <QObject>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "attach_file.h"
#include "store/records.h"

namespace tl::app {
class TempFileList;
}
namespace tl::res {
class UserInterface;
}
namespace tl::store {
class CDiaryDataFile;
}

namespace tl::diary {

class ThumbnailLoader;
struct ThumbnailResult;

class EntryAttachments : public QObject {
    Q_OBJECT

public:
    EntryAttachments(store::CDiaryDataFile& file, res::UserInterface& ui,
                     QObject* parent = nullptr);
    ~EntryAttachments() override;

    // The box thumbnails are made to fit, in device pixels.
    void setThumbnailSize(QSize size) { m_thumbSize = size; }
    // Lists the date's attachments (without reading their bytes) and starts
    // making the thumbnails of its pictures.
    void load(store::Date date);
    store::Date date() const { return m_date; }

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const CAttachFile& at(std::size_t index) const { return *m_items[index]; }
    std::optional<std::size_t> indexOfOrder(std::uint32_t order) const;
    // Some thumbnails are still being made.
    bool loading() const;

    // AttachFiles: each file in turn, numbered after the highest number
    // stored for the date; at 50 attachments "No more attachments is not
    // allowed." and the rest is left. Progress (with Cancel) for more than
    // one file. The number attached.
    int AttachFiles(const std::vector<std::string>& paths);
    // Deletes the attachments at the indices from the data file and the
    // array, last first. The number deleted.
    int deleteAt(std::vector<std::size_t> indices);
    // Writes the attachment's bytes to path (its stored times and
    // attributes; read-only added when asked). False when it failed (told).
    bool SaveAttachment(std::size_t index, const std::string& path, bool readOnly);
    // The file's bytes; nullopt when there is no such record or it cannot
    // be read.
    std::optional<std::vector<std::uint8_t>> ReadAttachment(std::uint32_t order);
    // A read-only copy, for this user only, in the temporary folder for the
    // associated program to open; listed in temps. nullopt: nothing to
    // open (no extension, no free name, the folder unusable, or a failed
    // write, which was told).
    std::optional<std::string> WriteTempCopy(std::size_t index, app::TempFileList& temps,
                                             const std::function<bool(const std::string&)>& inUse);

signals:
    // The array changed (loaded, attached, deleted, an unreadable picture
    // left out): the strip and the side bar's marks follow.
    void changed();
    void thumbnailChanged(std::size_t index);
    // Every thumbnail asked for so far is made.
    void thumbnailsDone();

private:
    void insertSorted(std::unique_ptr<CAttachFile> item);
    void requestThumbnail(const CAttachFile& item);
    void thumbnailLoaded(const ThumbnailResult& result);

    store::CDiaryDataFile& m_file;
    res::UserInterface& m_ui;
    store::Date m_date;
    QSize m_thumbSize{64, 46};
    std::vector<std::unique_ptr<CAttachFile>> m_items;
    // Orders attached in this session: a thumbnail failure shows them as
    // files instead of leaving them out.
    std::vector<std::uint32_t> m_attachedNow;
    std::unique_ptr<ThumbnailLoader> m_loader;
    bool m_memoryTold = false;  // one message per opening
};

}  // namespace tl::diary
