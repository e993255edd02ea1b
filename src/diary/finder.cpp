#include "finder.h"

#include <QLineEdit>
#include <QTextCursor>

#include "app/app_settings.h"
#include "attachment_pane.h"
#include "child_frame.h"
#include "find_dlg.h"
#include "head_view.h"
#include "hit_list.h"
#include "marlow_doc.h"
#include "marlow_view.h"
#include "store/diary_data_file.h"
#include "store/format.h"
#include "widgets/wait_cursor.h"

namespace tl::diary {

namespace {

constexpr res::Cmd kFindCommands[] = {res::Cmd::Find, res::Cmd::FindNext, res::Cmd::FindPrevious};

bool Holds(QWidget* pane, QWidget* widget) {
    return pane && widget && (pane == widget || pane->isAncestorOf(widget));
}

}  // namespace

CFinder::CFinder(DiaryContext context, CDiaryDocuments& documents, QWidget* mainWindow,
                 QObject* parent)
    : QObject(parent), m_context(std::move(context)), m_documents(documents) {
    m_dialog = new CFindDlg(*m_context.settings, *m_context.ui, mainWindow);
    if (res::CommandRegistry* commands = m_context.commands) commands->add(*this, kFindCommands);
    connect(m_dialog, &CFindDlg::findRequested, this, &CFinder::Find);
    connect(m_dialog, &CFindDlg::stepRequested, this, [this](bool forward) {
        if (isEnabled(forward ? res::Cmd::FindNext : res::Cmd::FindPrevious)) Find(forward);
    });
    connect(m_dialog, &CFindDlg::listRequested, this, [this] {
        store::CDiaryDataFile* file = m_context.dataFile;
        if (!file || !file->IsOpen()) return;
        m_dialog->hitList()->start(*file, SearchSettingsOf(*m_context.settings),
                                   m_context.settings->find.matchCase != 0);
    });
    connect(m_dialog, &CFindDlg::hitChosen, this, &CFinder::openHit);
}

CFinder::~CFinder() {
    if (res::CommandRegistry* commands = m_context.commands) commands->remove(*this);
    if (m_dialog) m_dialog->hitList()->stop();
}

CFindDlg* CFinder::dialog() const {
    return m_dialog;
}

bool CFinder::isEnabled(res::Cmd cmd) const {
    if (cmd == res::Cmd::Find) return true;
    const store::CDiaryDataFile* file = m_context.dataFile;
    return !m_searching && !m_context.settings->find.text.empty() && file && file->IsOpen();
}

void CFinder::run(res::Cmd cmd) {
    switch (cmd) {
        case res::Cmd::Find:
            showDialog();
            break;
        case res::Cmd::FindNext:
            Find(true);
            break;
        case res::Cmd::FindPrevious:
            Find(false);
            break;
        default:
            break;
    }
}

void CFinder::showDialog() {
    QString selected;
    if (CMarlowDoc* doc = m_documents.activeDocument(); doc && doc->view()) {
        selected = doc->view()->textCursor().selectedText();
        selected.replace(QChar::ParagraphSeparator, u'\n');
        selected.replace(QChar::LineSeparator, u'\n');
    }
    m_dialog->showWith(selected);
}

void CFinder::dataFileReloaded() {
    CHitListView* list = m_dialog->hitList();
    list->stop();
    list->hits()->clear();
}

// The active pane is where the entry window's focus was last, also while
// the focus is in the dialog.
EntryView CFinder::viewOf(CMarlowDoc* doc, std::u16string& title, std::u16string& text) const {
    EntryView v;
    CChildFrame* frame = doc->frame();
    QWidget* focus = frame->focusWidget();
    if (Holds(doc->head(), focus))
        v.active = FindPane::Header;
    else if (Holds(frame->attachmentStrip(), focus))
        v.active = FindPane::Attachments;
    if (!doc->isNote()) title = doc->head()->title().toStdU16String();
    v.title = title;
    if (AttachmentPane* pane = AttachmentPaneOf(frame->attachmentStrip())) {
        v.attachments = pane->attachmentNames();
        v.firstSelected = pane->firstSelectedAttachment();
    }
    text = doc->view()->document()->toPlainText().toStdU16String();
    v.text = text;
    const QTextCursor cursor = doc->view()->textCursor();
    v.selectionStart = static_cast<std::size_t>(cursor.selectionStart());
    v.selectionEnd = static_cast<std::size_t>(cursor.selectionEnd());
    return v;
}

void CFinder::select(CMarlowDoc* doc, const EntryMatch& match) {
    AttachmentPane* pane = AttachmentPaneOf(doc->frame()->attachmentStrip());
    switch (match.pane) {
        case FindPane::Editor: {
            CMarlowView* view = doc->view();
            QTextCursor cursor(view->document());
            cursor.setPosition(static_cast<int>(match.start));
            cursor.setPosition(static_cast<int>(match.start + match.length),
                               QTextCursor::KeepAnchor);
            view->setTextCursor(cursor);
            view->ensureCursorVisible();
            if (pane) pane->clearAttachmentSelection();
            view->setFocus(Qt::OtherFocusReason);
            break;
        }
        case FindPane::Header: {
            QLineEdit* title = doc->head()->titleEdit();
            if (!title) break;
            title->setFocus(Qt::OtherFocusReason);
            title->setSelection(static_cast<int>(match.start), static_cast<int>(match.length));
            break;
        }
        case FindPane::Attachments:
            if (pane) pane->selectOnlyAttachment(static_cast<int>(match.attachment));
            break;
    }
}

void CFinder::arrive(CMarlowDoc* doc, std::uint8_t kind, const store::SearchRule& rule,
                     bool forward) {
    std::u16string title, text;
    const EntryView view = viewOf(doc, title, text);
    if (std::optional<EntryMatch> match = MatchOnArrival(view, kind, rule, forward))
        select(doc, *match);
    else
        doc->view()->setFocus(Qt::OtherFocusReason);
}

void CFinder::Find(bool forward) {
    const auto& f = m_context.settings->find;
    store::CDiaryDataFile* file = m_context.dataFile;
    if (m_searching || (f.text.empty() && f.text2.empty())) return;
    // One search at a time, also when one fails with an exception.
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    };
    std::optional<Busy> busy(std::in_place, m_searching);
    widgets::WaitCursor wait;
    const store::SearchSettings settings = SearchSettingsOf(*m_context.settings);
    const bool matchCase = f.matchCase != 0;
    const store::SearchRule rule(settings, matchCase);
    store::Date from = forward ? store::Date{0, 0, 0} : store::Date{9999, 99, 99};
    bool acrossDays = true;
    if (CMarlowDoc* doc = m_documents.activeDocument(); doc && doc->frame()) {
        std::u16string title, text;
        const EntryFindResult result = FindInEntry(viewOf(doc, title, text), rule, forward);
        if (result.editorToStart) {
            QTextCursor cursor = doc->view()->textCursor();
            cursor.movePosition(QTextCursor::Start);
            doc->view()->setTextCursor(cursor);
        }
        if (result.match) {
            select(doc, *result.match);
            return;
        }
        acrossDays = f.overDay != 0;
        from = doc->date();
    }
    std::optional<store::RecordHeader> found;
    if (acrossDays && file && file->IsOpen()) {
        file->SetSearchSettings(settings);
        const std::uint64_t unit = forward ? file->FindNextMatch(from, matchCase)
                                           : file->FindPreviousMatch(from, matchCase);
        if (unit != 0) found = file->ReadRecordHeader(unit);
    }
    busy.reset();
    if (!found) {
        m_context.ui->inform(res::Msg::TextNotFound);
        return;
    }
    if (CMarlowDoc* opened =
            m_documents.OpenEntry({found->year(), found->month(), found->day()}, false))
        arrive(opened, found->kind(), rule, forward);
}

void CFinder::openHit(int row) {
    CHitListView* list = m_dialog->hitList();
    if (row < 0 || row >= list->hits()->rowCount()) return;
    const store::FindHit hit = list->hits()->hit(row);
    const store::SearchRule rule(list->settings(), list->matchCase());
    if (CMarlowDoc* doc = m_documents.OpenEntry(hit.date, false)) arrive(doc, hit.kind, rule, true);
}

}  // namespace tl::diary
