#pragma once

// The main window's two top bars: the command bar above the edit bar, each
// in a tool bar area row of its own across the whole width. Shows them as
// TOOLBAR VISIBLE and EDITBAR VISIBLE say, keeps the edit bar on the
// active entry's editor, and refreshes both from the commands' state.

#include <QObject>

class QToolBar;

namespace tl::frame {

class CCmdBar;
class CEditBar;
class CMainFrame;

class CFrameBars : public QObject {
    Q_OBJECT

public:
    explicit CFrameBars(CMainFrame& frame);

    CCmdBar* cmdBar() const { return m_cmdBar; }
    CEditBar* editBar() const { return m_editBar; }
    QToolBar* cmdBarHost() const { return m_cmdHost; }
    QToolBar* editBarHost() const { return m_editHost; }

    // Shows or hides each bar as the settings say; the frame lays out anew.
    void showAsSet();
    // The state of every button and box (the 100 ms refresh and after
    // every command).
    void refresh();
    // The keyboard's way to the edit bar (shown first when hidden).
    void focusEditBar();

private:
    QToolBar* host(QWidget* bar, const QString& name);
    void followActiveEntry();

    CMainFrame& m_frame;
    CCmdBar* m_cmdBar;
    CEditBar* m_editBar;
    QToolBar* m_cmdHost;
    QToolBar* m_editHost;
};

}  // namespace tl::frame
