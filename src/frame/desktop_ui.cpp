#include "desktop_ui.h"

#include <QApplication>
#include <QMessageBox>

#include "progress_wnd.h"

namespace tl::frame {

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The normal pointer over a message box, also in the middle of an
// operation that shows the wait cursor.
class ArrowCursor {
public:
    ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
};

QString title() {
    return qText(res::Text(res::Msg::DisplayTitle));
}

// Questions carry the exclamation icon; Yes (or OK) is the default except
// where the careless answer would remove something.
QMessageBox::StandardButton ask(QWidget* owner, std::string_view text,
                                QMessageBox::StandardButtons buttons) {
    const ArrowCursor pointer;
    QMessageBox box(QMessageBox::Warning, title(), qText(text), buttons, owner);
    const bool removes = text == res::Text(res::Msg::DisablePassword) ||
                         text == res::Text(res::Msg::ReplaceExistingDiary);
    const bool okCancel = buttons.testFlag(QMessageBox::Ok);
    const QMessageBox::StandardButton no = okCancel ? QMessageBox::Cancel : QMessageBox::No;
    box.setDefaultButton(removes ? no : okCancel ? QMessageBox::Ok : QMessageBox::Yes);
    box.setEscapeButton(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : no);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

DesktopUi::DesktopUi() = default;
DesktopUi::~DesktopUi() {
    closeProgress();
}

QWidget* DesktopUi::owner() const {
    if (m_progress) return m_progress.data();
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return m_main.data();
}

void DesktopUi::warn(std::string_view text) {
    const ArrowCursor pointer;
    QMessageBox::warning(owner(), title(), qText(text));
}

void DesktopUi::inform(std::string_view text) {
    const ArrowCursor pointer;
    QMessageBox::information(owner(), title(), qText(text));
}

bool DesktopUi::askYesNo(std::string_view text) {
    return ask(owner(), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

res::Answer DesktopUi::askYesNoCancel(std::string_view text) {
    switch (ask(owner(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return res::Answer::Yes;
        case QMessageBox::No:
            return res::Answer::No;
        default:
            return res::Answer::Cancel;
    }
}

bool DesktopUi::askOkCancel(std::string_view text) {
    return ask(owner(), text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void DesktopUi::openProgress(std::string_view text) {
    // One progress window at a time; a second open replaces the first.
    closeProgress();
    QWidget* parent = m_main && m_main->isVisible() ? m_main.data() : nullptr;
    m_progress = new CProgressWnd(qText(text), parent);
}

bool DesktopUi::stepProgress(int percent) {
    return m_progress ? m_progress->step(percent) : true;
}

void DesktopUi::keepAlive() {
    if (m_progress)
        m_progress->keepAlive();
    else if (OperationScope::active())
        m_pump.pump();
}

void DesktopUi::closeProgress() {
    delete m_progress.data();
}

}  // namespace tl::frame
