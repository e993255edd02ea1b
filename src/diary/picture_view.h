#pragma once

// The attachment strip: the second row of an entry window, one horizontally
// scrolling row of the entry's attachments (pictures as thumbnails, other
// files as their icon with their name). Selection, opening, the menus, the
// keys, dragging out and files dropped in. Hidden while the entry has no
// attachment.

#include <QAbstractScrollArea>
#include <QHash>
#include <QIcon>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "attachment_pane.h"
#include "strip_layout.h"

class QMimeData;
class QTimer;

namespace tl::diary {

class EntryAttachments;

// The drag of attachments out of a strip: the entry's date and the
// attachment orders, "YYYYMMDD:1,3,4".
inline constexpr char kStripMimeType[] = "application/x-tallyleaf-attachments";

class CPictureView : public QAbstractScrollArea, public AttachmentPane {
    Q_OBJECT

public:
    explicit CPictureView(EntryAttachments& attachments, QWidget* parent = nullptr);

    // Rebuilds from the attachments array: the row's height (hidden when
    // empty), the scroll range, the anchor kept within the array.
    void Refresh();
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    const StripSelection& selection() const { return m_selection; }
    std::vector<std::size_t> selectedIndices() const { return m_selection.selected(); }
    // The selected attachments that are pictures.
    std::vector<std::size_t> selectedPictures() const;
    void selectAll();
    void clearSelection();
    // Set while a drag started here is under way: the editor then inserts
    // link texts instead of taking the data.
    bool isDraggingOut() const { return m_draggingOut; }
    void setDraggingOut(bool on) { m_draggingOut = on; }
    // Makes the data of a drag out of the chosen attachments (the files
    // for other programs); without it the drag reaches only the editor.
    using DragDataFactory = std::function<QMimeData*(const std::vector<std::size_t>& chosen)>;
    void setDragDataFactory(DragDataFactory factory) { m_dragData = std::move(factory); }

    // What find needs of the strip.
    std::vector<std::u16string> attachmentNames() const override;
    int firstSelectedAttachment() const override;
    void selectOnlyAttachment(int index) override;
    void clearAttachmentSelection() override { clearSelection(); }

    // The row's height for the current array: 0 when empty.
    int rowHeight() const;
    QSize sizeHint() const override;
    // Where a slot lies in the viewport (for tests and the keyboard menu).
    QRect slotRect(std::size_t index) const;

signals:
    void openRequested(std::size_t index);
    void deleteRequested();
    void saveRequested();
    void insertLinksRequested();
    void copyLinksRequested(bool withDate);
    void attachRequested();
    void filesDropped(const QStringList& paths);
    void focusGained();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::optional<std::size_t> slotAt(QPoint viewportPos) const;
    void updateScrollRange();
    void showAnchor();
    void showSlotMenu(QPoint globalPos);
    void showStripMenu(QPoint globalPos);
    void startDrag();
    void bandMoved(QPoint viewportPos);
    void autoScroll();
    QIcon iconFor(const QString& name);

    EntryAttachments& m_attachments;
    StripGeometry m_geometry;
    StripSelection m_selection;
    std::vector<std::uint32_t> m_orders;  // the array's numbers at the last refresh
    bool m_readOnly = false;
    DragDataFactory m_dragData;
    bool m_draggingOut = false;
    // The click on a slot, until the button is released or a drag begins.
    struct Press {
        std::size_t index = 0;
        bool ctrl = false;
        bool shift = false;
        bool wasSelected = false;
        QPoint at;
    };
    std::optional<Press> m_press;
    // The rubber band, in content coordinates.
    std::optional<QPoint> m_bandStart;
    QPoint m_bandNow;
    int m_autoScroll = 0;  // -1 left, +1 right, 0 none
    QTimer* m_scrollTimer;
    QHash<QString, QIcon> m_icons;  // by extension
};

}  // namespace tl::diary
