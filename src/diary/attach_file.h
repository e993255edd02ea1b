#pragma once

// One attachment of an open entry, as the strip shows it: the stored
// record's values, whether it is shown as a picture, and its thumbnail
// once one has been made.

#include <QImage>

#include "store/records.h"

namespace tl::diary {

class CAttachFile {
public:
    // The thumbnail's state: a picture waits for it, gets it, or turns out
    // not to be one (then it is shown as a file).
    enum class Thumb { Pending, Ready, None };

    explicit CAttachFile(store::AttachmentInfo info);

    const store::AttachmentInfo& info() const { return m_info; }
    std::uint32_t order() const { return m_info.order; }
    const std::u16string& name() const { return m_info.name; }
    bool isPicture() const { return m_thumb != Thumb::None; }
    bool isJpeg() const;
    Thumb thumbState() const { return m_thumb; }
    const QImage& thumbnail() const { return m_thumbnail; }

    void setThumbnail(QImage thumbnail);
    // The image library cannot decode it: shown as a file from now on.
    void clearPicture();

private:
    store::AttachmentInfo m_info;
    Thumb m_thumb;
    QImage m_thumbnail;
};

}  // namespace tl::diary
