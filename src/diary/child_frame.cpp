#include "child_frame.h"

#include <QCloseEvent>
#include <QSplitter>

#include "head_view.h"
#include "marlow_view.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::Scale;

CChildFrame::CChildFrame(CHeadView* head, CMarlowView* view, QWidget* parent)
    : QMdiSubWindow(parent), m_head(head), m_view(view) {
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(Scale(3));
    // The attachment strip comes later; its row already keeps its height.
    m_strip = new QWidget(m_splitter);
    m_strip->setMinimumHeight(Scale(8));
    // The advertisement row is never shown.
    auto* ad = new QWidget(m_splitter);
    ad->hide();
    m_splitter->insertWidget(0, head);
    m_splitter->insertWidget(1, m_strip);
    m_splitter->insertWidget(2, view);
    m_splitter->addWidget(ad);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setStretchFactor(2, 1);
    m_splitter->setSizes({CHeadView::paneHeight(false), Scale(56), Scale(400), 0});
    setWidget(m_splitter);
}

void CChildFrame::closeForGood() {
    m_closing = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (m_closing || !m_onClose) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    // The document decides and closes the window itself when it may.
    event->ignore();
    m_onClose();
}

}  // namespace tl::diary
