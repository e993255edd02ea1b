#include "help_wnd.h"

#include <QAction>
#include <QDesktopServices>
#include <QKeySequence>
#include <QPointer>
#include <QTextBrowser>
#include <QToolBar>

#include "res/messages.h"

namespace tl::frame {

namespace {

QPointer<CHelpWnd>& theWindow() {
    static QPointer<CHelpWnd> window;
    return window;
}

}  // namespace

CHelpWnd::CHelpWnd(QWidget* parent) : QMainWindow(parent), m_browser(new QTextBrowser(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("%1 Help").arg(QString::fromUtf8(res::Text(res::Msg::DisplayTitle).data())));
    // Links of the guide (its table of contents, its sections) stay here;
    // web addresses and mail go to the desktop's programs.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const QUrl target = m_browser->source().resolved(url);
        if (target.isLocalFile())
            m_browser->setSource(target);
        else
            QDesktopServices::openUrl(url);
    });
    setCentralWidget(m_browser);

    QToolBar* bar = addToolBar(tr("Navigation"));
    bar->setMovable(false);
    QAction* back = bar->addAction(tr("Back"), m_browser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QAction* forward = bar->addAction(tr("Forward"), m_browser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    QAction* home = bar->addAction(tr("Contents"), m_browser, &QTextBrowser::home);
    home->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    QAction* close = new QAction(tr("Close"), this);
    close->setShortcuts({QKeySequence::Close, QKeySequence(Qt::Key_Escape)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    resize(900, 700);
}

CHelpWnd* CHelpWnd::current() {
    return theWindow();
}

CHelpWnd* CHelpWnd::showGuide(const QString& guidePath) {
    QPointer<CHelpWnd>& window = theWindow();
    if (!window) window = new CHelpWnd;
    window->m_browser->setSource(QUrl::fromLocalFile(guidePath));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace tl::frame
