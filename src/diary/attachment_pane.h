#pragma once

// What find needs of an entry window's attachment strip. The strip widget
// implements it; an entry window whose strip does not shows find no
// attachments.

#include <QWidget>
#include <string>
#include <vector>

namespace tl::diary {

class AttachmentPane {
public:
    virtual ~AttachmentPane() = default;
    // The attachments' names in the strip's order.
    virtual std::vector<std::u16string> attachmentNames() const = 0;
    // The first selected attachment; -1 when none is.
    virtual int firstSelectedAttachment() const = 0;
    // Makes the attachment the only selection and the anchor, scrolls it
    // into view and gives the strip the focus.
    virtual void selectOnlyAttachment(int index) = 0;
    virtual void clearAttachmentSelection() = 0;
};

// The strip as find sees it, or none.
inline AttachmentPane* AttachmentPaneOf(QWidget* strip) {
    return dynamic_cast<AttachmentPane*>(strip);
}

}  // namespace tl::diary
