#pragma once

// The entry window: a sub-window of the main window's document area split
// into four rows (header, attachment strip, editor, advertisement row).

#include <QMdiSubWindow>
#include <functional>

class QSplitter;

namespace tl::diary {

class CHeadView;
class CMarlowView;
class CPictureView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    CChildFrame(CHeadView* head, CPictureView* strip, CMarlowView* view, QWidget* parent = nullptr);

    CHeadView* head() const { return m_head; }
    CMarlowView* view() const { return m_view; }
    CPictureView* attachmentStrip() const { return m_strip; }
    QSplitter* splitter() const { return m_splitter; }

    // Asked when the user closes the window; answering false keeps it open
    // (the entry could not be saved). Not asked once the window is being
    // closed by its document.
    void setCloseHandler(std::function<bool()> handler) { m_onClose = std::move(handler); }
    void closeForGood();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CHeadView* m_head;
    CMarlowView* m_view;
    CPictureView* m_strip;
    QSplitter* m_splitter;
    std::function<bool()> m_onClose;
    bool m_closing = false;
};

}  // namespace tl::diary
