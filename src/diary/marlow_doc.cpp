#include "marlow_doc.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include "app/app_settings.h"
#include "app/typing_recovery.h"
#include "attachment_actions.h"
#include "attachment_drag.h"
#include "child_frame.h"
#include "editor_texts.h"
#include "entry_attachments.h"
#include "entry_name.h"
#include "head_view.h"
#include "marlow_view.h"
#include "picture_view.h"
#include "rtf_reader.h"
#include "rtf_writer.h"
#include "store/diary_data_file.h"
#include "tab_table.h"
#include "widgets/wait_cursor.h"

namespace tl::diary {

using widgets::WaitCursor;

CMarlowDoc::CMarlowDoc(DiaryContext& context, TabTable& tabs, store::Date date, QObject* parent)
    : QObject(parent), m_context(context), m_tabs(tabs), m_date(date) {}

CMarlowDoc::~CMarlowDoc() {
    if (!m_frame) return;
    // Closing the window moves the focus; nothing may reach this document
    // any more.
    view()->disconnect(this);
    view()->document()->disconnect(this);
    view()->setBeforeMenu({});
    view()->setMenuExtension({});
    view()->setAcceptFiles({});
    view()->setOwnStripDragging({});
    head()->disconnect(this);
    head()->setAcceptFiles({});
    strip()->disconnect(this);
    strip()->disconnect(m_actions);
    view()->disconnect(m_actions);
    head()->disconnect(m_actions);
    m_frame->setCloseHandler({});
    m_frame->closeForGood();
}

std::u16string CMarlowDoc::entryName() const {
    return EntryName(m_date);
}

CMarlowView* CMarlowDoc::view() const {
    return m_frame ? m_frame->view() : nullptr;
}
CHeadView* CMarlowDoc::head() const {
    return m_frame ? m_frame->head() : nullptr;
}
CPictureView* CMarlowDoc::strip() const {
    return m_frame ? m_frame->attachmentStrip() : nullptr;
}

bool CMarlowDoc::createWindow(QWidget* areaViewport) {
    auto* head = new CHeadView(m_tabs, isNote(), m_context.settings->etc.weatherEnable == 1);
    // The array lives with the strip that shows it, which may outlive this
    // document by a moment while its window closes.
    auto* attachments = new EntryAttachments(*m_context.dataFile, *m_context.ui);
    auto* strip = new CPictureView(*attachments);
    attachments->setParent(strip);
    strip->setDragDataFactory([this, attachments](const std::vector<std::size_t>& chosen) {
        std::vector<DraggedAttachment> files;
        for (std::size_t i : chosen)
            files.push_back({attachments->date(), attachments->at(i).order()});
        return new AttachmentDragData(*m_context.dataFile, *m_context.tempFiles, std::move(files));
    });
    m_attachments = attachments;
    auto* view = new CMarlowView(*m_context.settings, *m_context.ui);
    m_frame = new CChildFrame(head, strip, view, areaViewport);
    m_actions = new AttachmentActions(m_context, *m_attachments, *strip, *view, this);
    connectAttachments(head, strip, view);
    m_frame->setWindowTitle(QString::fromStdU16String(entryName()));
    m_frame->setCloseHandler([this] {
        emit closeRequested();
        return false;
    });

    connect(view->document(), &QTextDocument::modificationChanged, this,
            [this, view](bool changed) {
                if (changed && view->isReady()) edited();
            });
    // Every edit only restarts a timer; the recovery file is written when
    // one runs out.
    m_pauseTimer = new QTimer(this);
    m_pauseTimer->setSingleShot(true);
    m_pauseTimer->setInterval(kTypingPause);
    m_longestTimer = new QTimer(this);
    m_longestTimer->setSingleShot(true);
    m_longestTimer->setInterval(kTypingLongest);
    connect(m_pauseTimer, &QTimer::timeout, this, &CMarlowDoc::keepTyping);
    connect(m_longestTimer, &QTimer::timeout, this, &CMarlowDoc::keepTyping);
    connect(view->document(), &QTextDocument::contentsChanged, this, [this, view] {
        if (view->isReady()) typed();
    });
    connect(head, &CHeadView::edited, this, &CMarlowDoc::typed);
    connect(view, &CMarlowView::focusLost, this, [this] { saveIfModified(); });
    connect(view, &CMarlowView::focusGained, head, &CHeadView::hideTitleSelection);
    connect(view, &CMarlowView::toTitleRequested, this, [this, head, view] {
        if (isNote()) {
            view->setFocus();
        } else {
            head->titleEdit()->setFocus(Qt::OtherFocusReason);
        }
    });
    view->setBeforeMenu([this] { emit saveAllRequested(); });
    connect(head, &CHeadView::edited, this, &CMarlowDoc::edited);
    connect(head, &CHeadView::fieldLeft, this, [this] { saveIfModified(); });
    connect(head, &CHeadView::menuAboutToOpen, this, &CMarlowDoc::saveAllRequested);
    connect(head, &CHeadView::toTextRequested, view,
            [view] { view->setFocus(Qt::OtherFocusReason); });
    connect(head, &CHeadView::colorsChosen, this, [this] {
        SetModifiedFlag(true);
        setPinned(true);
        saveIfModified();
    });
    return true;
}

// The attachments in every pane: the strip's commands, files dropped on
// any pane, link texts followed from the editor, and the selection that
// goes when another pane takes the focus.
void CMarlowDoc::connectAttachments(CHeadView* head, CPictureView* strip, CMarlowView* view) {
    AttachmentActions* actions = m_actions;
    connect(strip, &CPictureView::openRequested, actions, &AttachmentActions::open);
    connect(strip, &CPictureView::deleteRequested, actions,
            [actions] { actions->deleteSelected(true); });
    connect(strip, &CPictureView::saveRequested, actions, &AttachmentActions::saveSelected);
    connect(strip, &CPictureView::insertLinksRequested, actions, &AttachmentActions::insertLinks);
    connect(strip, &CPictureView::copyLinksRequested, actions, &AttachmentActions::copyLinks);
    connect(strip, &CPictureView::attachRequested, actions, &AttachmentActions::attachWithDialog);
    connect(strip, &CPictureView::filesDropped, actions, &AttachmentActions::attachPaths);
    connect(strip, &CPictureView::focusGained, head, &CHeadView::hideTitleSelection);
    connect(actions, &AttachmentActions::attachmentsChanged, this, &CMarlowDoc::attachmentsChanged);

    const auto acceptFiles = [this, strip] {
        return !m_context.dataFile->IsReadOnly() && !strip->isDraggingOut();
    };
    view->setAcceptFiles(acceptFiles);
    head->setAcceptFiles(acceptFiles);
    view->setOwnStripDragging([strip] { return strip->isDraggingOut(); });
    connect(view, &CMarlowView::filesDropped, actions, &AttachmentActions::attachPaths);
    connect(head, &CHeadView::filesDropped, actions, &AttachmentActions::attachPaths);
    connect(view, &CMarlowView::stripDropped, actions, &AttachmentActions::insertLinks);
    connect(view, &CMarlowView::focusGained, strip, &CPictureView::clearSelection);
    connect(head, &CHeadView::fieldEntered, strip, &CPictureView::clearSelection);
    connect(view, &CMarlowView::linkActivated, this, &CMarlowDoc::followLink);
    connect(head, &CHeadView::attachRequested, actions, &AttachmentActions::attachWithDialog);
    connect(head, &CHeadView::searchRequested, this, [this](res::Cmd engine, const QString& text) {
        CMarlowView::SearchText(engine, text, *m_context.ui);
    });
    view->setMenuExtension([this, actions](QMenu& menu) {
        QAction* attach = menu.addAction(tr("Attach f&ile"));
        attach->setEnabled(!m_context.dataFile->IsReadOnly());
        connect(attach, &QAction::triggered, actions, &AttachmentActions::attachWithDialog);
    });
}

void CMarlowDoc::followLink(const FoundLink& link) {
    WaitCursor wait;
    switch (link.kind) {
        case FoundLink::Kind::Web:
            QDesktopServices::openUrl(QUrl(QString::fromStdU16String(link.text)));
            break;
        case FoundLink::Kind::Entry:
            emit openEntryRequested(link.date);
            break;
        case FoundLink::Kind::Picture:
            m_actions->showPictureOfOrder(link.order);
            break;
        case FoundLink::Kind::DatedPicture:
            m_actions->showPictureOfDate(link.date, link.order);
            break;
    }
}

bool CMarlowDoc::OnOpenDocument() {
    if (!IsValidEntryDate(m_date) || !m_frame) return false;
    store::CDiaryDataFile& file = *m_context.dataFile;
    CMarlowView* editor = view();
    CHeadView* header = head();
    editor->setReady(false);
    header->setReady(false);

    store::WeatherList choices;
    if (!file.ReadWeatherList(choices)) choices = store::CDiaryDataFile::DefaultWeatherList();
    header->setWeatherChoices(choices);

    store::EntryHeader stored;
    const auto& titleDefaults = m_context.settings->titleColor;
    stored.colors = {static_cast<std::uint32_t>(titleDefaults.color),
                     static_cast<std::uint32_t>(titleDefaults.backColorSpecified),
                     static_cast<std::uint32_t>(titleDefaults.backColor),
                     static_cast<std::uint32_t>(titleDefaults.blink)};
    if (file.ReadEntryHeader(m_date, &stored) != 0) {
        std::vector<std::uint8_t> rtf;
        bool rich = file.ReadEntryRichText(m_date, rtf) != 0 && !rtf.empty() &&
                    ReadRtf(QByteArrayView(rtf.data(), static_cast<qsizetype>(rtf.size())),
                            *editor->document());
        if (!rich) {
            std::u16string text;
            file.ReadEntryText(m_date, text);
            editor->setPlainText(QString::fromStdU16String(FromCrLf(text)));
        }
    } else {
        editor->clear();
    }
    header->setHeader(stored);
    editor->document()->clearUndoRedoStacks();
    editor->document()->setModified(false);

    bool readOnly = file.IsReadOnly();
    editor->setReadOnly(readOnly);
    header->setReadOnly(readOnly);
    strip()->setReadOnly(readOnly);
    // The list only: the thumbnails follow once the window shows.
    m_attachments->load(m_date);
    SetModifiedFlag(false);
    editor->setReady(true);
    header->setReady(true);
    return true;
}

bool CMarlowDoc::writeEntry(store::Date date) {
    CMarlowView* editor = view();
    CHeadView* header = head();
    std::u16string title = header->title().toStdU16String();
    if (title.size() > store::kTitleMax) {
        title.resize(store::kTitleMax);
        header->setTitle(QString::fromStdU16String(title));
        m_context.ui->warn(res::Msg::TitleTooLong);
    }
    store::EntryHeader entry;
    entry.title = title;
    entry.weather = header->weather().toStdU16String().substr(0, store::kWeatherMax);
    entry.colors = header->colors();
    std::u16string text = ToCrLf(editor->document()->toPlainText().toStdU16String());
    QByteArray rtf = WriteRtf(*editor->document());
    auto bytes =
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(rtf.constData()),
                                      static_cast<std::size_t>(rtf.size()));
    if (!m_context.dataFile->SaveEditorEntry(date, entry, text, bytes)) return false;
    emit saved(date);
    return true;
}

bool CMarlowDoc::OnSaveDocument() {
    if (!m_frame) return false;
    return writeEntry(m_date);
}

bool CMarlowDoc::DoFileSave() {
    if (!OnSaveDocument()) return false;
    SetModifiedFlag(false);
    dropRecovery();
    return true;
}

void CMarlowDoc::typed() {
    if (!m_context.recovery || m_context.dataFile->IsReadOnly()) return;
    m_pauseTimer->start();
    if (!m_longestTimer->isActive()) m_longestTimer->start();
}

void CMarlowDoc::keepTyping() {
    m_pauseTimer->stop();
    m_longestTimer->stop();
    if (!m_modified || !m_frame || !m_context.recovery || m_context.dataFile->IsReadOnly()) return;
    app::RecoveredEntry entry;
    entry.date = m_date;
    entry.header.title = head()->title().toStdU16String();
    entry.header.weather = head()->weather().toStdU16String();
    entry.header.colors = head()->colors();
    entry.text = ToCrLf(view()->document()->toPlainText().toStdU16String());
    const QByteArray rtf = WriteRtf(*view()->document());
    entry.rtf.assign(rtf.begin(), rtf.end());
    m_context.recovery->write(app::RecoveryPath(m_context.dataFile->Path(), m_date),
                              m_context.dataFile->Cipher(), std::move(entry));
    m_recoveryWritten = true;
}

void CMarlowDoc::dropRecovery() {
    if (m_pauseTimer) m_pauseTimer->stop();
    if (m_longestTimer) m_longestTimer->stop();
    if (!m_recoveryWritten || !m_context.recovery) return;
    m_context.recovery->remove(app::RecoveryPath(m_context.dataFile->Path(), m_date));
    m_recoveryWritten = false;
}

void CMarlowDoc::bringBack(const store::EntryHeader& header, const std::u16string& text,
                           std::span<const std::uint8_t> rtf) {
    CMarlowView* editor = view();
    CHeadView* fields = head();
    editor->setReady(false);
    fields->setReady(false);
    const bool rich =
        !rtf.empty() && ReadRtf(QByteArrayView(rtf.data(), static_cast<qsizetype>(rtf.size())),
                                *editor->document());
    if (!rich) editor->setPlainText(QString::fromStdU16String(FromCrLf(text)));
    fields->setHeader(header);
    editor->setReady(true);
    fields->setReady(true);
    // The file stays until the entry is saved.
    m_recoveryWritten = true;
    edited();
}

bool CMarlowDoc::saveIfModified() {
    if (m_context.dataFile->IsReadOnly()) {
        SetModifiedFlag(false);
        return true;
    }
    if (!m_modified) return true;
    setPinned(true);
    return DoFileSave();
}

void CMarlowDoc::SetModifiedFlag(bool modified) {
    // The editor's own mark follows, so that its next edit reports again.
    if (!modified && view()) view()->document()->setModified(false);
    if (m_modified == modified) return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

void CMarlowDoc::setPinned(bool pinned) {
    m_tabs.setPinned(m_date, pinned);
    if (m_pinned == pinned) return;
    m_pinned = pinned;
    emit pinnedChanged(pinned);
}

void CMarlowDoc::edited() {
    if (m_context.dataFile->IsReadOnly()) return;
    setPinned(true);
    SetModifiedFlag(true);
}

bool CMarlowDoc::saveAsDate(store::Date newDate) {
    if (m_context.dataFile->IsReadOnly() || !IsValidEntryDate(newDate)) return false;
    if (!OnSaveDocument()) return false;
    if (!writeEntry(newDate)) return false;
    dropRecovery();
    m_tabs.setPinned(m_date, false);
    m_date = newDate;
    m_frame->setWindowTitle(QString::fromStdU16String(entryName()));
    // The attachments stay with the old date; the new date's are shown.
    strip()->clearSelection();
    m_attachments->load(newDate);
    SetModifiedFlag(false);
    setPinned(true);
    return true;
}

}  // namespace tl::diary
