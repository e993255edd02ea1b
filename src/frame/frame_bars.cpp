#include "frame_bars.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QToolBar>

#include "cmd_bar.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "edit_bar.h"
#include "main_frame.h"

namespace tl::frame {

using res::Cmd;

CFrameBars::CFrameBars(CMainFrame& frame) : QObject(&frame), m_frame(frame) {
    auto run = [this](Cmd cmd) { m_frame.runCommand(cmd); };
    m_cmdBar = new CCmdBar(run);
    m_editBar = new CEditBar(frame.settings(), run);
    m_cmdHost = host(m_cmdBar, QStringLiteral("TOOLBAR"));
    m_frame.addToolBar(Qt::TopToolBarArea, m_cmdHost);
    m_frame.addToolBarBreak(Qt::TopToolBarArea);
    m_editHost = host(m_editBar, QStringLiteral("EDITBAR"));
    m_frame.addToolBar(Qt::TopToolBarArea, m_editHost);
    connect(&frame.documents(), &diary::CDiaryDocuments::activeEntryChanged, this,
            &CFrameBars::followActiveEntry);
    // The keyboard's way to the edit bar; Tab then visits its boxes and
    // buttons, Esc in a box returns to the text.
    auto* toEditBar = new QAction(tr("Go to the edit bar"), &frame);
    toEditBar->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    toEditBar->setShortcutContext(Qt::WindowShortcut);
    frame.addAction(toEditBar);
    connect(toEditBar, &QAction::triggered, this, &CFrameBars::focusEditBar);
    showAsSet();
}

// A bar sits in a tool bar that cannot be moved, floated or switched off
// by the tool bar area's own menu: the View menu and the settings decide.
QToolBar* CFrameBars::host(QWidget* bar, const QString& name) {
    auto* tools = new QToolBar(&m_frame);
    tools->setObjectName(name);
    tools->setWindowTitle(bar->accessibleName());
    tools->setMovable(false);
    tools->setFloatable(false);
    tools->setContextMenuPolicy(Qt::PreventContextMenu);
    tools->toggleViewAction()->setEnabled(false);
    tools->layout()->setContentsMargins(0, 0, 0, 0);
    tools->layout()->setSpacing(0);
    tools->setStyleSheet(QStringLiteral("QToolBar { border: 0px; padding: 0px; spacing: 0px; }"));
    bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    tools->addWidget(bar);
    return tools;
}

void CFrameBars::showAsSet() {
    m_cmdHost->setVisible(m_frame.settings().toolBar.visible == 1);
    m_editHost->setVisible(m_frame.settings().editBar.visible == 1);
}

void CFrameBars::followActiveEntry() {
    diary::CMarlowDoc* doc = m_frame.documents().activeDocument();
    m_editBar->setEditor(doc ? doc->view() : nullptr);
}

void CFrameBars::refresh() {
    followActiveEntry();
    diary::CDiaryDocuments& documents = m_frame.documents();
    // Cutting and copying need the focus where text is edited (a field of
    // the entry or a box of the edit bar); the borders need the editor.
    QWidget* focus = QApplication::focusWidget();
    const bool textFocus = documents.entryHasFocus() || (focus && m_editBar->isAncestorOf(focus));
    const bool editorFocus = documents.editorHasFocus();
    m_cmdBar->refresh(
        [&](Cmd cmd) {
            if (!m_frame.isCommandEnabled(cmd)) return false;
            switch (cmd) {
                case Cmd::EditCut:
                case Cmd::EditCopy:
                    return textFocus;
                case Cmd::InsertBorder:
                case Cmd::InsertShortBorder:
                    return editorFocus;
                default:
                    return true;
            }
        },
        [&](Cmd cmd) { return m_frame.commands().isChecked(cmd).value_or(false); });
    m_editBar->refresh([&](Cmd cmd) { return m_frame.isCommandEnabled(cmd); });
}

void CFrameBars::focusEditBar() {
    if (!m_editHost->isVisible()) m_frame.runCommand(Cmd::ViewEditBar);
    m_editBar->focusFontName();
}

}  // namespace tl::frame
