#include "marlow_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QUrl>

#include "app/app_settings.h"
#include "attachment_actions.h"
#include "editor_texts.h"
#include "picture_view.h"
#include "res/user_interface.h"
#include "rtf_reader.h"
#include "rtf_writer.h"
#include "widgets/popup_menu.h"
#include "widgets/qt_color.h"

namespace tl::diary {

using widgets::ToQColor;

CMarlowView::CMarlowView(const app::AppSettings& settings, res::UserInterface& ui, QWidget* parent)
    : QTextEdit(parent), m_settings(settings), m_ui(ui) {
    // Lines wrap at the window's width; there is no horizontal scrolling.
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptRichText(false);  // outside rich text arrives as plain text
    setFrameShape(QFrame::NoFrame);
    applyBackground();
    applyDefaultFont();
}

void CMarlowView::applyBackground() {
    QPalette p = palette();
    p.setColor(QPalette::Base,
               m_settings.mainWindow.colorSpecify == 1
                   ? ToQColor(static_cast<std::uint32_t>(m_settings.mainWindow.backColor))
                   : QApplication::palette().color(QPalette::Base));
    setPalette(p);
}

void CMarlowView::applyDefaultFont() {
    const auto& f = m_settings.font;
    QFont font(QString::fromStdString(f.name));
    font.setPointSizeF(f.height / 10.0);
    font.setBold(f.weight != 400);
    font.setItalic(f.italic != 0);
    font.setUnderline(f.underline != 0);
    font.setStrikeOut(f.strikeOut != 0);
    document()->setDefaultFont(font);
    QPalette p = palette();
    p.setColor(QPalette::Text, ToQColor(static_cast<std::uint32_t>(f.color)));
    setPalette(p);
}

bool CMarlowView::isCommandEnabled(res::Cmd command) const {
    bool writable = !isReadOnly();
    bool selection = textCursor().hasSelection();
    switch (command) {
        case res::Cmd::EditUndo:
            return writable && document()->isUndoAvailable();
        case res::Cmd::EditRedo:
            return writable && document()->isRedoAvailable();
        case res::Cmd::EditCut:
            return writable && selection;
        case res::Cmd::EditCopy:
            return selection;
        case res::Cmd::EditPaste:
            return writable && canPaste();
        case res::Cmd::EditSelectAll:
            return !document()->isEmpty();
        case res::Cmd::InsertBorder:
        case res::Cmd::InsertShortBorder:
        case res::Cmd::DateStamp:
        case res::Cmd::NextFieldOrLineBreak:
        case res::Cmd::ToggleBold:
        case res::Cmd::ToggleItalic:
        case res::Cmd::ToggleUnderline:
        case res::Cmd::ToggleStrikeOut:
            return writable;
        case res::Cmd::SearchGoogle:
        case res::Cmd::SearchYahoo:
        case res::Cmd::SearchBing:
            return selection;
        case res::Cmd::FilePrint:
        case res::Cmd::FilePrintPreview:
        case res::Cmd::ToText:
            return true;
        default:
            return false;
    }
}

bool CMarlowView::runCommand(res::Cmd command) {
    if (!isCommandEnabled(command)) return false;
    switch (command) {
        case res::Cmd::EditUndo:
            undo();
            break;
        case res::Cmd::EditRedo:
            redo();
            break;
        case res::Cmd::EditCut:
            cut();
            break;
        case res::Cmd::EditCopy:
            copy();
            break;
        case res::Cmd::EditPaste:
            paste();
            break;
        case res::Cmd::EditSelectAll:
            selectAll();
            break;
        case res::Cmd::InsertBorder:
            insertBorder(false);
            break;
        case res::Cmd::InsertShortBorder:
            insertBorder(true);
            break;
        case res::Cmd::DateStamp: {
            QDateTime now = QDateTime::currentDateTime();
            insertStamp(now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                        now.time().minute());
            break;
        }
        case res::Cmd::NextFieldOrLineBreak:
            insertLineBreak();
            break;
        case res::Cmd::SearchGoogle:
        case res::Cmd::SearchYahoo:
        case res::Cmd::SearchBing:
            searchSelection(command);
            break;
        case res::Cmd::FilePrint:
            printDocument();
            break;
        case res::Cmd::FilePrintPreview:
            printPreview();
            break;
        case res::Cmd::ToText:
            setFocus();
            break;
        case res::Cmd::ToggleBold:
        case res::Cmd::ToggleItalic:
        case res::Cmd::ToggleUnderline:
        case res::Cmd::ToggleStrikeOut:
            toggleFormat(command);
            break;
        default:
            return false;
    }
    return true;
}

// Bold, italic, underline or strike-out on the selection (or for what is
// typed next), switched by the format at the cursor; the editor takes the
// focus, as after a click on the edit bar.
void CMarlowView::toggleFormat(res::Cmd command) {
    const QTextCharFormat current = currentCharFormat();
    QTextCharFormat change;
    switch (command) {
        case res::Cmd::ToggleBold:
            change.setFontWeight(current.fontWeight() > QFont::Normal ? QFont::Normal
                                                                      : QFont::Bold);
            break;
        case res::Cmd::ToggleItalic:
            change.setFontItalic(!current.fontItalic());
            break;
        case res::Cmd::ToggleUnderline:
            change.setFontUnderline(!current.fontUnderline());
            break;
        case res::Cmd::ToggleStrikeOut:
            change.setFontStrikeOut(!current.fontStrikeOut());
            break;
        default:
            return;
    }
    mergeCurrentCharFormat(change);
    setFocus(Qt::OtherFocusReason);
}

void CMarlowView::applyFontFamily(const QString& family) {
    if (isReadOnly() || family.isEmpty()) return;
    QTextCharFormat change;
    change.setFontFamilies({family});
    mergeCurrentCharFormat(change);
}

void CMarlowView::applyFontSize(double points) {
    if (isReadOnly() || points <= 0) return;
    QTextCharFormat change;
    change.setFontPointSize(points);
    mergeCurrentCharFormat(change);
}

void CMarlowView::applyTextColor(const QColor& color) {
    if (isReadOnly() || !color.isValid()) return;
    QTextCharFormat change;
    change.setForeground(color);
    mergeCurrentCharFormat(change);
}

void CMarlowView::replaceSelection(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CMarlowView::insertBorder(bool shortBorder) {
    if (isReadOnly()) return;
    replaceSelection(QString::fromStdU16String(BorderText(
        shortBorder, m_settings.etc.sepBeforeLine == 1, m_settings.etc.sepAfterLine == 1)));
    setFocus();
}

void CMarlowView::insertStamp(int year, int month, int day, int hour, int minute) {
    if (isReadOnly()) return;
    replaceSelection(QString::fromStdU16String(StampText(year, month, day, hour, minute)));
}

void CMarlowView::insertLineBreak() {
    if (isReadOnly()) return;
    replaceSelection(QStringLiteral("\n"));
}

void CMarlowView::searchSelection(res::Cmd engine) {
    SearchText(engine, textCursor().selectedText(), m_ui);
}

void CMarlowView::SearchText(res::Cmd engine, const QString& text, res::UserInterface& ui) {
    SearchEngine which = engine == res::Cmd::SearchYahoo  ? SearchEngine::Yahoo
                         : engine == res::Cmd::SearchBing ? SearchEngine::Bing
                                                          : SearchEngine::Google;
    QString plain = text;
    auto url = SearchUrl(which, plain.replace(QChar::ParagraphSeparator, u'\n').toStdU16String());
    if (!url) {
        ui.warn(res::Msg::SpecifiedTextTooLong);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(*url)));
}

void CMarlowView::printDocument() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (textCursor().hasSelection()) dialog.setOption(QAbstractPrintDialog::PrintSelection);
    if (dialog.exec() == QDialog::Accepted) print(&printer);
}

void CMarlowView::printPreview() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { print(p); });
    preview.exec();
}

QMimeData* CMarlowView::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    QTextCursor cursor = textCursor();
    const QByteArray rtf = WriteRtfSelection(cursor);
    // The own format first; word processors take the same stream as RTF.
    data->setData(QString::fromLatin1(kPrivateMimeType), rtf);
    for (const char* type : kRtfMimeTypes) data->setData(QString::fromLatin1(type), rtf);
    QString plain = cursor.selectedText();
    plain.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    // Other programs on Linux expect "\n"; the private format keeps the rest.
    data->setText(plain);
    return data;
}

bool CMarlowView::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(QString::fromLatin1(kPrivateMimeType)) || source->hasText();
}

void CMarlowView::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly()) return;
    QTextCursor cursor = textCursor();
    const QString privateType = QString::fromLatin1(kPrivateMimeType);
    if (source->hasFormat(privateType) && InsertRtf(source->data(privateType), cursor)) {
        setTextCursor(cursor);
    } else if (source->hasText()) {
        replaceSelection(source->text());
    }
    ensureCursorVisible();
}

void CMarlowView::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    // A popup (the context menu, a completer) does not take the entry away.
    if (event->reason() != Qt::PopupFocusReason) emit focusLost();
}

void CMarlowView::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    emit focusGained();
}

void CMarlowView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_beforeMenu) m_beforeMenu();
    QMenu menu(this);
    auto add = [&](const QString& text, res::Cmd command, const QKeySequence& key = {}) {
        QAction* action = menu.addAction(text);
        action->setShortcut(key);
        action->setEnabled(isCommandEnabled(command));
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    add(tr("&Undo"), res::Cmd::EditUndo, QKeySequence::Undo);
    menu.addSeparator();
    add(tr("Cu&t"), res::Cmd::EditCut, QKeySequence::Cut);
    add(tr("&Copy"), res::Cmd::EditCopy, QKeySequence::Copy);
    add(tr("&Paste"), res::Cmd::EditPaste, QKeySequence::Paste);
    menu.addSeparator();
    add(tr("Select &All"), res::Cmd::EditSelectAll, QKeySequence::SelectAll);
    menu.addSeparator();
    add(tr("Insert &border"), res::Cmd::InsertBorder, QKeySequence(Qt::Key_F9));
    add(tr("Insert &short border"), res::Cmd::InsertShortBorder, QKeySequence(Qt::Key_F8));
    if (m_menuExtension) {
        menu.addSeparator();
        m_menuExtension(menu);
    }
    menu.addSeparator();
    add(tr("Search by &Google"), res::Cmd::SearchGoogle);
    add(tr("Search by &YAHOO!"), res::Cmd::SearchYahoo);
    add(tr("Search by &bing"), res::Cmd::SearchBing);
    if (event->reason() == QContextMenuEvent::Keyboard)
        menu.exec(mapToGlobal(rect().center()));
    else
        widgets::ExecPopupMenu(menu, event->globalPos());
    viewport()->update();
}

void CMarlowView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // The caret the first click of the two left there.
        const int caret = cursorForPosition(event->position().toPoint()).position();
        const std::optional<FoundLink> link =
            FindLinkAt(document()->toPlainText().toStdU16String(), static_cast<std::size_t>(caret));
        if (link) {
            QTextCursor cursor = textCursor();
            cursor.setPosition(static_cast<int>(link->start));
            cursor.setPosition(static_cast<int>(link->start + link->length),
                               QTextCursor::KeepAnchor);
            setTextCursor(cursor);
            emit linkActivated(*link);
            event->accept();
            return;
        }
    }
    QTextEdit::mouseDoubleClickEvent(event);
}

namespace {

bool IsStripDrag(const QMimeData* data) {
    return data && data->hasFormat(QString::fromLatin1(kStripMimeType));
}

}  // namespace

// Attachments dragged from a strip insert link texts only when they come
// from this entry's own strip; their data is never taken. Files from
// outside are attached. Everything else is the editor's own business.
void CMarlowView::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptDrag(event)) QTextEdit::dragEnterEvent(event);
}

void CMarlowView::dragMoveEvent(QDragMoveEvent* event) {
    if (!acceptDrag(event)) QTextEdit::dragMoveEvent(event);
}

bool CMarlowView::acceptDrag(QDropEvent* event) {
    bool accept = false;
    if (IsStripDrag(event->mimeData())) {
        accept = !isReadOnly() && m_ownStripDragging && m_ownStripDragging();
        // The links go where the drag is let go.
        if (accept) setTextCursor(cursorForPosition(event->position().toPoint()));
    } else if (!DroppedFiles(event->mimeData()).isEmpty()) {
        accept = m_acceptFiles && m_acceptFiles();
    } else {
        return false;  // text: the editor's own business
    }
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
    return true;
}

void CMarlowView::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (IsStripDrag(data)) {
        // The dragged data itself is refused in every case.
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        if (!isReadOnly() && m_ownStripDragging && m_ownStripDragging()) {
            setTextCursor(cursorForPosition(event->position().toPoint()));
            emit stripDropped();
        }
        return;
    }
    const QStringList paths = DroppedFiles(data);
    if (!paths.isEmpty()) {
        if (m_acceptFiles && m_acceptFiles()) {
            event->acceptProposedAction();
            emit filesDropped(paths);
        } else {
            event->ignore();
        }
        return;
    }
    QTextEdit::dropEvent(event);
}

bool CMarlowView::event(QEvent* event) {
    // Ctrl+Left and Ctrl+Right open the previous and next diary, as Ctrl+Up
    // and Ctrl+Down do; the editor would take them for moving by word.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::ControlModifier &&
            (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
            event->ignore();
            return true;
        }
    }
    return QTextEdit::event(event);
}

void CMarlowView::keyPressEvent(QKeyEvent* event) {
    // The main window's accelerators usually take these first; the editor
    // answers them itself when it stands alone.
    const auto mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (mods == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_F9:
                runCommand(res::Cmd::InsertBorder);
                return;
            case Qt::Key_F8:
                runCommand(res::Cmd::InsertShortBorder);
                return;
            case Qt::Key_F5:
                runCommand(res::Cmd::DateStamp);
                return;
            case Qt::Key_F2:
                emit toTitleRequested();
                return;
            default:
                break;
        }
    }
    if (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, rect().center(),
                               mapToGlobal(rect().center()));
        contextMenuEvent(&menu);
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        mods == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        insertLineBreak();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

}  // namespace tl::diary
