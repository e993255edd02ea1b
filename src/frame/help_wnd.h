#pragma once

#include <QMainWindow>
#include <QUrl>

class QTextBrowser;

namespace tl::frame {

// The user guide in a window of the program's own, for when no browser can
// be started: the installed HTML page with its pictures; links inside the
// guide are followed here, others go to the desktop. One window, reused.
class CHelpWnd : public QMainWindow {
public:
    // Shows the guide (a local HTML file) in the one help window, made
    // when missing, and brings it forward.
    static CHelpWnd* showGuide(const QString& guidePath);
    // The open help window, or nullptr.
    static CHelpWnd* current();

    QTextBrowser* browser() const { return m_browser; }

private:
    explicit CHelpWnd(QWidget* parent = nullptr);

    QTextBrowser* m_browser;
};

}  // namespace tl::frame
