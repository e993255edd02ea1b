#include "diary_documents.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include "app/app_settings.h"
#include "app/delete_entry.h"
#include "app/temp_files.h"
#include "app/typing_recovery.h"
#include "attachment_actions.h"
#include "child_frame.h"
#include "date_change_dlg.h"
#include "entry_attachments.h"
#include "entry_name.h"
#include "head_view.h"
#include "link_text.h"
#include "marlow_doc.h"
#include "marlow_view.h"
#include "picture_view.h"
#include "res/kept_messages.h"
#include "store/diary_data_file.h"
#include "store/record_header.h"
#include "tab_click_window.h"
#include "tab_strip.h"
#include "weather_setting_dlg.h"
#include "widgets/popup_menu.h"
#include "widgets/scale.h"
#include "widgets/wait_cursor.h"

namespace tl::diary {

using widgets::Scale;
using widgets::WaitCursor;

namespace {

// The commands this target answers, registered with the main window.
constexpr res::Cmd kEntryCommands[] = {
    res::Cmd::FileClose,
    res::Cmd::FileSave,
    res::Cmd::FileSaveAs,
    res::Cmd::CloseAllButThis,
    res::Cmd::DeleteEntry,
    res::Cmd::EditUndo,
    res::Cmd::EditRedo,
    res::Cmd::EditCut,
    res::Cmd::EditCopy,
    res::Cmd::EditPaste,
    res::Cmd::EditSelectAll,
    res::Cmd::FilePrint,
    res::Cmd::FilePrintPreview,
    res::Cmd::InsertBorder,
    res::Cmd::InsertShortBorder,
    res::Cmd::DateStamp,
    res::Cmd::NextFieldOrLineBreak,
    res::Cmd::ToText,
    res::Cmd::ToggleBold,
    res::Cmd::ToggleItalic,
    res::Cmd::ToggleUnderline,
    res::Cmd::ToggleStrikeOut,
    res::Cmd::TogglePin,
    res::Cmd::PreviousEntry,
    res::Cmd::NextEntry,
    res::Cmd::AttachFile,
};

}  // namespace

struct CDiaryDocuments::Impl {
    CDiaryDocuments* q;
    DiaryContext context;
    QPointer<QMdiArea> area;
    TabTable tabs;
    TabClickWindow* clickWindow = nullptr;  // a child of the documents
    std::vector<CMarlowDoc*> docs;
    QPointer<CMarlowDoc> active;
    bool stepping = false;  // a previous or next step is running
    bool closingAll = false;
    app::TempFileList tempFiles;                    // when the context brings none
    std::unique_ptr<app::RecoveryWriter> recovery;  // when the context brings none
    store::Date lastOpened;                         // {0,0,0} while no entry is open

    void setLastOpened(store::Date date) {
        if (date == lastOpened) return;
        lastOpened = date;
        emit q->lastOpenedChanged(date);
    }

    CMarlowDoc* docOf(QMdiSubWindow* window) const {
        for (CMarlowDoc* doc : docs)
            if (doc->frame() == window) return doc;
        return nullptr;
    }
    int tabWidth(const std::u16string& name) const {
        QFontMetrics metrics(QApplication::font());
        return metrics.horizontalAdvance(QString::fromStdU16String(name)) + Scale(18) + Scale(6);
    }
    void refreshStrips(bool scroll) {
        for (CMarlowDoc* doc : docs) {
            CTabStrip* strip = doc->head() ? doc->head()->tabStrip() : nullptr;
            if (!strip) continue;
            if (scroll && doc == active && strip->width() > 0)
                tabs.scrollIntoView(strip->tabsRight());
            strip->update();
        }
    }
    void activate(CMarlowDoc* doc) {
        if (!doc || !doc->frame()) return;
        area->setActiveSubWindow(doc->frame());
        doc->frame()->showMaximized();
    }
    void focusFirst(CMarlowDoc* doc) {
        if (!context.settings->etc.firstFocusTitle || doc->isNote())
            doc->view()->setFocus(Qt::OtherFocusReason);
        else
            doc->head()->titleEdit()->setFocus(Qt::OtherFocusReason);
    }
    bool close(CMarlowDoc* doc, bool save);
    CMarlowDoc* create(store::Date date);
    void showTabMenu(store::Date date, QPoint at);
};

CMarlowDoc* CDiaryDocuments::Impl::create(store::Date date) {
    auto* doc = new CMarlowDoc(context, tabs, date, q);
    if (!doc->createWindow(area)) {
        context.ui->warn(res::Msg::OpenNotAnyMore);
        delete doc;
        return nullptr;
    }
    area->addSubWindow(doc->frame());
    if (!doc->OnOpenDocument()) {
        delete doc;
        return nullptr;
    }
    docs.push_back(doc);
    CTabStrip* strip = doc->head()->tabStrip();
    strip->setClickWindow(clickWindow);
    connect(strip, &CTabStrip::tabActivated, q, [this](store::Date d) {
        if (CMarlowDoc* target = q->OpenEntry(d, false))
            target->view()->setFocus(Qt::MouseFocusReason);
    });
    connect(strip, &CTabStrip::pinToggled, q, [this](store::Date d) {
        if (CMarlowDoc* target = q->document(d)) target->setPinned(!target->isPinned());
        refreshStrips(false);
    });
    connect(strip, &CTabStrip::tableChanged, q, [this] { refreshStrips(false); });
    connect(strip, &CTabStrip::closeClicked, q, [this, doc] { close(doc, true); });
    connect(strip, &CTabStrip::menuRequested, q,
            [this](store::Date d, QPoint at) { showTabMenu(d, at); });
    connect(doc, &CMarlowDoc::closeRequested, q, [this, doc] { close(doc, true); });
    connect(doc, &CMarlowDoc::saved, q, &CDiaryDocuments::entryChanged);
    connect(doc, &CMarlowDoc::pinnedChanged, q, [this] { refreshStrips(false); });
    connect(doc, &CMarlowDoc::saveAllRequested, q, [this] { q->SaveAll(); });
    connect(doc, &CMarlowDoc::attachmentsChanged, q, &CDiaryDocuments::entryChanged);
    connect(doc, &CMarlowDoc::openEntryRequested, q, [this](store::Date d) {
        // Deferred: the link's own window may close on the way.
        QTimer::singleShot(0, q, [this, d] {
            if (CMarlowDoc* target = q->OpenEntry(d, true))
                target->view()->setFocus(Qt::OtherFocusReason);
        });
    });
    // The editor tells when undo, redo and copying become possible; the
    // menus follow at once rather than at the next refresh.
    if (res::CommandRegistry* commands = context.commands) {
        using res::Cmd;
        CMarlowView* view = doc->view();
        connect(view, &QTextEdit::undoAvailable, q,
                [commands] { commands->changed(Cmd::EditUndo); });
        connect(view, &QTextEdit::redoAvailable, q,
                [commands] { commands->changed(Cmd::EditRedo); });
        connect(view, &QTextEdit::copyAvailable, q, [commands] {
            commands->changed({Cmd::EditCut, Cmd::EditCopy});
        });
        connect(view->document(), &QTextDocument::modificationChanged, q,
                [commands] { commands->changed(Cmd::FileSave); });
    }
    return doc;
}

bool CDiaryDocuments::Impl::close(CMarlowDoc* doc, bool save) {
    if (save && !doc->saveIfModified()) return false;
    store::Date date = doc->date();
    tabs.remove(date);
    std::erase(docs, doc);
    if (active == doc) active = nullptr;
    // The window goes now; the document after the signal that asked.
    if (doc->frame()) doc->frame()->closeForGood();
    doc->deleteLater();
    if (closingAll) return true;
    if (!docs.empty()) {
        int row = tabs.current();
        CMarlowDoc* next = row >= 0 ? q->document(tabs.rows()[row].date) : docs.back();
        activate(next ? next : docs.back());
        refreshStrips(true);
    } else {
        setLastOpened(store::Date{});
    }
    emit q->activeEntryChanged();
    return true;
}

void CDiaryDocuments::Impl::showTabMenu(store::Date date, QPoint at) {
    CMarlowDoc* doc = q->document(date);
    if (!doc) return;
    doc->saveIfModified();
    bool writable = !context.dataFile->IsReadOnly();
    QMenu menu;
    auto add = [&](const QString& text, bool enabled, auto action) {
        QAction* item = menu.addAction(text);
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, q, action);
    };
    add(doc->isPinned() ? tr("Remove &pin") : tr("Put &pin"), true, [this, date] {
        if (CMarlowDoc* d = q->document(date)) d->setPinned(!d->isPinned());
    });
    menu.addSeparator();
    add(tr("&Close"), true, [this, date] {
        if (CMarlowDoc* d = q->document(date)) close(d, true);
    });
    add(tr("Close all but this tab"), docs.size() > 1,
        [this] { q->run(res::Cmd::CloseAllButThis); });
    add(tr("S&ave as..."), writable, [this] { q->saveActiveAsDate(); });
    add(tr("&Delete"), writable, [this, date] { q->DeleteEntry(date); });
    const StickyNoteHooks& notes = context.stickyNotes;
    const bool hasNote = notes.has && notes.has(date);
    add(tr("Pu&t sticky note"), writable && notes.put && !hasNote,
        [notes, date] { notes.put(date); });
    add(tr("&Peel off sticky"), writable && notes.peel && hasNote,
        [notes, date] { notes.peel(date); });
    menu.addSeparator();
    add(tr("Attach f&ile"), writable, [this, date] {
        if (CMarlowDoc* d = q->document(date)) d->attachmentActions()->attachWithDialog();
    });
    add(tr("Copy &link text"), true, [this, date] { q->copyLinkText(date); });
    widgets::ExecPopupMenu(menu, at);
}

void CDiaryDocuments::showActiveTabMenu() {
    Impl& d = *m_impl;
    CMarlowDoc* doc = activeDocument();
    const int row = doc ? d.tabs.indexOf(doc->date()) : -1;
    if (row < 0) return;
    CTabStrip* strip = doc->head()->tabStrip();
    d.tabs.scrollIntoView(strip->tabsRight());
    const int x = d.tabs.positions()[static_cast<std::size_t>(row)];
    d.showTabMenu(doc->date(), strip->mapToGlobal(QPoint(x, strip->height())));
}

CDiaryDocuments::CDiaryDocuments(DiaryContext context, QMdiArea* area, QObject* parent)
    : QObject(parent), m_impl(std::make_unique<Impl>()) {
    m_impl->q = this;
    m_impl->context = std::move(context);
    m_impl->area = area;
    DiaryContext& c = m_impl->context;
    if (!c.tempFiles) c.tempFiles = &m_impl->tempFiles;
    if (!c.recovery) {
        m_impl->recovery = std::make_unique<app::RecoveryWriter>();
        c.recovery = m_impl->recovery.get();
    }
    if (!c.chooseFilesToAttach) c.chooseFilesToAttach = ChooseFilesToAttach;
    if (!c.chooseSavePath) c.chooseSavePath = ChooseAttachmentSavePath;
    m_impl->clickWindow = new TabClickWindow(this);
    if (res::CommandRegistry* commands = m_impl->context.commands)
        commands->add(*this, kEntryCommands);
    area->setViewMode(QMdiArea::SubWindowView);
    // The keyboard's way to the tab menu (pin, close, save as, delete...).
    auto* tabMenu = new QAction(tr("Tab menu"), area);
    tabMenu->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+T")));
    tabMenu->setShortcutContext(Qt::WindowShortcut);
    area->window()->addAction(tabMenu);
    connect(tabMenu, &QAction::triggered, this, &CDiaryDocuments::showActiveTabMenu);
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        Impl& d = *m_impl;
        CMarlowDoc* now = d.docOf(window);
        // Leaving an entry window saves it.
        if (d.active && d.active != now) d.active->saveIfModified();
        if (!window) return;  // the main window lost the focus; current stays
        d.active = now;
        if (now) {
            d.tabs.select(now->date());
            d.refreshStrips(true);
        }
        emit activeEntryChanged();
    });
}

CDiaryDocuments::~CDiaryDocuments() {
    // Documents are QObject children; their windows belong to the area.
    m_impl->closingAll = true;
    if (res::CommandRegistry* commands = m_impl->context.commands) commands->remove(*this);
    if (m_impl->area) disconnect(m_impl->area, nullptr, this, nullptr);
    for (CMarlowDoc* doc : m_impl->docs) delete doc;
}

CMarlowDoc* CDiaryDocuments::document(store::Date date) const {
    for (CMarlowDoc* doc : m_impl->docs)
        if (doc->date() == date) return doc;
    return nullptr;
}

std::vector<CMarlowDoc*> CDiaryDocuments::documents() const {
    return m_impl->docs;
}

CMarlowDoc* CDiaryDocuments::OpenEntry(store::Date date, bool pin) {
    Impl& d = *m_impl;
    if (!IsValidEntryDate(date) || !d.context.dataFile || !d.context.dataFile->IsOpen())
        return nullptr;
    WaitCursor wait;
    // Unpinned entries of other dates give way (saved first when modified).
    for (CMarlowDoc* doc : std::vector<CMarlowDoc*>(d.docs))
        if (!doc->isPinned() && doc->date() != date) d.close(doc, true);
    CMarlowDoc* doc = document(date);
    bool wasOpen = doc != nullptr;
    if (!doc) doc = d.create(date);
    if (!doc) return nullptr;
    // An entry that is open already keeps its mark: clearing it would lose
    // what a failed save kept.
    if (!wasOpen) doc->SetModifiedFlag(false);
    if (wasOpen) {
        if (pin && !doc->isPinned()) doc->setPinned(true);
        d.tabs.select(date);
    } else {
        std::u16string name = TabName(doc->entryName(), d.context.settings->tab.weekday == 1);
        d.tabs.add(TabRow{name, d.tabWidth(name), doc->isPinned(), date});
    }
    d.activate(doc);
    d.active = doc;
    if (!wasOpen) d.focusFirst(doc);
    d.tabs.setHover(-1);
    d.refreshStrips(true);
    d.setLastOpened(date);
    emit activeEntryChanged();
    return doc;
}

CMarlowDoc* CDiaryDocuments::activeDocument() const {
    CMarlowDoc* doc = m_impl->docOf(m_impl->area->currentSubWindow());
    return doc ? doc : m_impl->active.data();
}

TabClickWindow& CDiaryDocuments::tabClickWindow() const {
    return *m_impl->clickWindow;
}

store::Date CDiaryDocuments::lastOpened() const {
    return m_impl->lastOpened;
}

const std::vector<TabRow>& CDiaryDocuments::tabs() const {
    return m_impl->tabs.rows();
}

bool CDiaryDocuments::SaveAll() {
    bool ok = true;
    for (CMarlowDoc* doc : std::vector<CMarlowDoc*>(m_impl->docs)) ok = doc->saveIfModified() && ok;
    return ok;
}

bool CDiaryDocuments::CloseAll(Unsaved unsaved) {
    Impl& d = *m_impl;
    d.closingAll = true;
    for (CMarlowDoc* doc : std::vector<CMarlowDoc*>(d.docs)) {
        if (unsaved == Unsaved::Keep) {
            d.close(doc, true);
        } else {
            // The user chose to lose what could not be saved.
            doc->saveIfModified();
            doc->dropRecovery();
            d.close(doc, false);
        }
    }
    d.closingAll = false;
    if (d.docs.empty()) {
        d.setLastOpened(store::Date{});
    } else {
        // What stays is what could not be saved: it stays in front.
        d.activate(d.docs.back());
        d.active = d.docs.back();
        d.refreshStrips(true);
    }
    emit activeEntryChanged();
    return d.docs.empty();
}

void CDiaryDocuments::blinkTick(bool phaseOn) {
    for (CMarlowDoc* doc : m_impl->docs)
        if (doc->head()) doc->head()->blinkTick(phaseOn);
}

void CDiaryDocuments::applyDefaultFont() {
    for (CMarlowDoc* doc : m_impl->docs)
        if (CMarlowView* view = doc->view()) view->applyDefaultFont();
}

void CDiaryDocuments::applyDisplaySettings(bool weekdayChanged) {
    Impl& d = *m_impl;
    const app::AppSettings& settings = *d.context.settings;
    if (weekdayChanged) {
        for (int row = 0; row < d.tabs.count(); ++row) {
            const TabRow& tab = d.tabs.rows()[static_cast<std::size_t>(row)];
            std::u16string name = RetitledTab(tab.name, tab.date, settings.tab.weekday == 1);
            const int width = d.tabWidth(name);
            d.tabs.rename(row, std::move(name), width, tab.date);
        }
    }
    for (CMarlowDoc* doc : d.docs) {
        doc->view()->applyBackground();
        doc->head()->setWeatherShown(settings.etc.weatherEnable == 1);
        doc->frame()->update();
    }
    d.refreshStrips(true);
}

void CDiaryDocuments::DeleteEntry(store::Date date) {
    Impl& d = *m_impl;
    store::CDiaryDataFile& file = *d.context.dataFile;
    if (file.IsReadOnly() || !IsValidEntryDate(date)) return;
    const std::string name = QString::fromStdU16String(EntryName(date)).toStdString();
    const StickyNoteHooks& notes = d.context.stickyNotes;
    const std::optional<app::DeleteChoices> choices =
        app::AskDeleteChoices(*d.context.ui, file, date, name, notes.has && notes.has(date));
    if (!choices) return;
    WaitCursor wait;
    if (CMarlowDoc* doc = document(date)) {
        doc->saveIfModified();
        doc->dropRecovery();
        d.close(doc, false);
    }
    app::DeleteEntry(file, date, *choices);
    // The record went with the entry; its window goes too.
    if (choices->stickyNote && notes.peel) notes.peel(date);
    emit entryChanged(date);
    d.refreshStrips(false);
}

void CDiaryDocuments::openPreviousOrNext(bool next) {
    Impl& d = *m_impl;
    if (d.stepping || !d.context.dataFile || !d.context.dataFile->IsOpen()) return;
    d.stepping = true;
    CMarlowDoc* doc = activeDocument();
    store::Date from = doc ? doc->date() : next ? store::Date{0, 1, 1} : store::Date{9999, 12, 31};
    std::uint64_t unit = next ? d.context.dataFile->NextDateWithContent(from)
                              : d.context.dataFile->PreviousDateWithContent(from);
    if (unit != 0) {
        if (auto header = d.context.dataFile->ReadRecordHeader(unit)) {
            store::Date date{header->year(), header->month(), header->day()};
            if (CMarlowDoc* opened = OpenEntry(date, false))
                opened->view()->setFocus(Qt::OtherFocusReason);
        }
    }
    d.stepping = false;
}

void CDiaryDocuments::copyLinkText(store::Date date) {
    if (IsValidEntryDate(date)) PutTextOnClipboard(QString::fromStdU16String(EntryLinkText(date)));
}

void CDiaryDocuments::removeTemporaryCopies(std::function<bool(const std::string&)> inUse,
                                            std::function<bool(const std::string&)> askRetry) {
    if (!inUse) inUse = app::IsFileOpenElsewhere;
    if (!askRetry) {
        askRetry = [this](const std::string& name) {
            return AskRetryOpenCopy(m_impl->area ? m_impl->area->window() : nullptr,
                                    QString::fromStdString(name));
        };
    }
    m_impl->context.tempFiles->RemoveAll(inUse, askRetry);
}

app::RecoveryWriter& CDiaryDocuments::recoveryWriter() {
    return *m_impl->context.recovery;
}

void CDiaryDocuments::bringBackTyping() {
    Impl& d = *m_impl;
    store::CDiaryDataFile* file = d.context.dataFile;
    if (!file || !file->IsOpen() || file->IsReadOnly()) return;
    std::string names;
    for (const std::string& path : app::RecoveryFiles(file->Path())) {
        const std::optional<app::RecoveredEntry> entry =
            app::ReadRecoveryFile(file->Cipher(), path);
        // Not this diary's, or damaged: left where it is, untouched.
        if (!entry || !IsValidEntryDate(entry->date) ||
            app::RecoveryPath(file->Path(), entry->date) != path)
            continue;
        store::EntryHeader stored;
        std::u16string text;
        if (file->ReadEntryHeader(entry->date, &stored) != 0)
            file->ReadEntryText(entry->date, text);
        if (stored.title == entry->header.title && stored.weather == entry->header.weather &&
            text == entry->text) {
            // The save had gone through before the end.
            d.context.recovery->remove(path);
            continue;
        }
        CMarlowDoc* doc = OpenEntry(entry->date, true);
        if (!doc) continue;
        doc->bringBack(entry->header, entry->text, entry->rtf);
        names += "\n" + QString::fromStdU16String(EntryName(entry->date)).toStdString();
    }
    if (!names.empty())
        d.context.ui->inform(res::FormatText(res::kept::TypingBroughtBack, {names.substr(1)}));
}

const app::TempFileList& CDiaryDocuments::temporaryCopies() const {
    return *m_impl->context.tempFiles;
}

app::TempFileList& CDiaryDocuments::temporaryCopies() {
    return *m_impl->context.tempFiles;
}

void CDiaryDocuments::saveActiveAsDate() {
    Impl& d = *m_impl;
    CMarlowDoc* doc = activeDocument();
    if (!doc || d.context.dataFile->IsReadOnly()) return;
    QPointer<CMarlowDoc> guard(doc);
    CDateChangeDlg dialog(
        doc->date(), *d.context.ui, [this](store::Date date) { return canSaveAsDate(date); },
        doc->frame());
    if (dialog.exec() != QDialog::Accepted || !guard) return;
    store::Date old = doc->date();
    if (!doc->saveAsDate(dialog.chosenDate())) return;
    int row = d.tabs.indexOf(old);
    std::u16string name = TabName(doc->entryName(), false);
    d.tabs.rename(row, name, d.tabWidth(name), doc->date());
    d.tabs.setPinned(doc->date(), doc->isPinned());
    d.refreshStrips(true);
    emit entryChanged(old);
    d.setLastOpened(doc->date());
}

bool CDiaryDocuments::canSaveAsDate(store::Date date) {
    Impl& d = *m_impl;
    if (document(date)) {
        d.context.ui->warn(res::Msg::DiaryAlreadyOpened);
        return false;
    }
    if (d.context.dataFile->ReadEntryHeader(date) != 0)
        return d.context.ui->askOkCancel(res::Text(res::Msg::ReplaceExistingDiary));
    return true;
}

bool CDiaryDocuments::editWeatherChoices(QWidget* parent) {
    Impl& d = *m_impl;
    store::WeatherList list;
    if (!d.context.dataFile->ReadWeatherList(list))
        list = store::CDiaryDataFile::DefaultWeatherList();
    CWeatherSettingDlg dialog(list, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    list = dialog.choices();
    for (auto& choice : list) choice = choice.substr(0, store::kWeatherMax);
    for (CMarlowDoc* doc : d.docs) doc->head()->setWeatherChoices(list);
    if (!d.context.dataFile->IsReadOnly() && !d.context.dataFile->WriteWeatherList(list))
        return false;
    return true;
}

namespace {

// The text field with the keyboard focus that the clipboard and undo
// commands serve instead of the editor: a header field of the document's
// window, or a field of the main window outside the entries (the edit
// bar's boxes). An editable combo box stands for its field.
QLineEdit* FocusedField(CMarlowDoc* doc) {
    QWidget* focus = QApplication::focusWidget();
    auto* edit = qobject_cast<QLineEdit*>(focus);
    if (auto* box = qobject_cast<QComboBox*>(focus); box && box->isEditable())
        edit = box->lineEdit();
    if (!edit || !doc->frame()) return nullptr;
    if (doc->head() && doc->head()->isAncestorOf(edit)) return edit;
    const QMdiArea* area = doc->frame()->mdiArea();
    const bool inEntries = area && area->isAncestorOf(edit);
    return !inEntries && edit->window() == doc->frame()->window() ? edit : nullptr;
}

bool StripHasFocus(CMarlowDoc* doc) {
    return doc->strip() && doc->strip()->hasFocus();
}

bool IsEditorCommand(res::Cmd command) {
    switch (command) {
        case res::Cmd::EditUndo:
        case res::Cmd::EditRedo:
        case res::Cmd::EditCut:
        case res::Cmd::EditCopy:
        case res::Cmd::EditPaste:
        case res::Cmd::EditSelectAll:
        case res::Cmd::FilePrint:
        case res::Cmd::FilePrintPreview:
        case res::Cmd::InsertBorder:
        case res::Cmd::InsertShortBorder:
        case res::Cmd::DateStamp:
        case res::Cmd::SearchGoogle:
        case res::Cmd::SearchYahoo:
        case res::Cmd::SearchBing:
        case res::Cmd::ToggleBold:
        case res::Cmd::ToggleItalic:
        case res::Cmd::ToggleUnderline:
        case res::Cmd::ToggleStrikeOut:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool CDiaryDocuments::isEnabled(res::Cmd command) const {
    const Impl& d = *m_impl;
    CMarlowDoc* doc = activeDocument();
    bool writable =
        d.context.dataFile && d.context.dataFile->IsOpen() && !d.context.dataFile->IsReadOnly();
    switch (command) {
        case res::Cmd::PreviousEntry:
        case res::Cmd::NextEntry:
            return !d.stepping && d.context.dataFile && d.context.dataFile->IsOpen();
        case res::Cmd::FileSave:
            return doc && doc->IsModified() && writable;
        case res::Cmd::FileClose:
        case res::Cmd::TogglePin:
        case res::Cmd::ToText:
        case res::Cmd::NextFieldOrLineBreak:
            return doc != nullptr;
        case res::Cmd::FileSaveAs:
        case res::Cmd::DeleteEntry:
            return doc && writable;
        case res::Cmd::CloseAllButThis:
            return doc && d.docs.size() > 1;
        case res::Cmd::AttachFile:
            return doc && writable;
        default:
            break;
    }
    if (!doc || !IsEditorCommand(command)) return false;
    // In the attachment strip Select All selects the attachments; the
    // clipboard commands are not the strip's.
    if (StripHasFocus(doc))
        return command == res::Cmd::EditSelectAll && !doc->attachments().empty();
    if (QLineEdit* field = FocusedField(doc)) {
        switch (command) {
            case res::Cmd::EditCut:
                return !field->isReadOnly() && field->hasSelectedText();
            case res::Cmd::EditCopy:
                return field->hasSelectedText();
            case res::Cmd::EditPaste:
                return !field->isReadOnly();
            case res::Cmd::EditUndo:
                return field->isUndoAvailable();
            case res::Cmd::EditRedo:
                return field->isRedoAvailable();
            case res::Cmd::EditSelectAll:
                return !field->text().isEmpty();
            default:
                break;
        }
    }
    return doc->view()->isCommandEnabled(command);
}

bool CDiaryDocuments::editorHasFocus() const {
    CMarlowDoc* doc = activeDocument();
    return doc && doc->view() && doc->view()->hasFocus();
}

bool CDiaryDocuments::entryHasFocus() const {
    CMarlowDoc* doc = activeDocument();
    QWidget* focus = QApplication::focusWidget();
    return doc && doc->frame() && focus && doc->frame()->isAncestorOf(focus);
}

void CDiaryDocuments::run(res::Cmd command) {
    if (!isEnabled(command)) return;
    Impl& d = *m_impl;
    CMarlowDoc* doc = activeDocument();
    switch (command) {
        case res::Cmd::PreviousEntry:
            openPreviousOrNext(false);
            return;
        case res::Cmd::NextEntry:
            openPreviousOrNext(true);
            return;
        case res::Cmd::FileSave:
            doc->setPinned(true);
            doc->DoFileSave();
            return;
        case res::Cmd::FileClose:
            d.close(doc, true);
            return;
        case res::Cmd::TogglePin:
            doc->setPinned(!doc->isPinned());
            return;
        case res::Cmd::FileSaveAs:
            saveActiveAsDate();
            return;
        case res::Cmd::DeleteEntry:
            DeleteEntry(doc->date());
            return;
        case res::Cmd::AttachFile:
            doc->attachmentActions()->attachWithDialog();
            return;
        case res::Cmd::CloseAllButThis:
            for (CMarlowDoc* other : std::vector<CMarlowDoc*>(d.docs))
                if (other != doc) d.close(other, true);
            d.activate(doc);
            d.refreshStrips(true);
            return;
        case res::Cmd::ToText:
            // F2 goes from the text to the title and back; a note has no title.
            if (!doc->isNote() && doc->view()->hasFocus())
                doc->head()->titleEdit()->setFocus(Qt::ShortcutFocusReason);
            else
                doc->view()->setFocus(Qt::ShortcutFocusReason);
            return;
        case res::Cmd::NextFieldOrLineBreak: {
            CHeadView* head = doc->head();
            QWidget* focus = QApplication::focusWidget();
            if (doc->isNote() || !focus || !head->isAncestorOf(focus)) {
                doc->view()->runCommand(command);
            } else if (focus == head->titleEdit() && head->weatherBox()->isVisible()) {
                head->weatherBox()->setFocus(Qt::TabFocusReason);
            } else {
                doc->view()->setFocus(Qt::TabFocusReason);
            }
            return;
        }
        default:
            break;
    }
    if (StripHasFocus(doc)) {
        doc->strip()->selectAll();
        return;
    }
    if (QLineEdit* field = FocusedField(doc)) {
        switch (command) {
            case res::Cmd::EditCut:
                field->cut();
                return;
            case res::Cmd::EditCopy:
                field->copy();
                return;
            case res::Cmd::EditPaste:
                field->paste();
                return;
            case res::Cmd::EditUndo:
                field->undo();
                return;
            case res::Cmd::EditRedo:
                field->redo();
                return;
            case res::Cmd::EditSelectAll:
                field->selectAll();
                return;
            default:
                break;
        }
    }
    doc->view()->runCommand(command);
}

}  // namespace tl::diary
