#pragma once

// One open entry: its date, its window and the link between the two and
// the data file. The document never asks whether to save: every path that
// leaves, closes or hides a modified entry saves it.

#include <QObject>
#include <QPointer>
#include <span>
#include <string>

#include "child_frame.h"
#include "diary_documents.h"
#include "entry_attachments.h"
#include "store/records.h"

class QTimer;

namespace tl::diary {

class AttachmentActions;
class CHeadView;
class CMarlowView;
class CPictureView;
struct FoundLink;
class TabTable;

class CMarlowDoc : public QObject {
    Q_OBJECT

public:
    CMarlowDoc(DiaryContext& context, TabTable& tabs, store::Date date, QObject* parent = nullptr);
    ~CMarlowDoc() override;

    store::Date date() const { return m_date; }
    bool isNote() const { return m_date.day == 0; }
    std::u16string entryName() const;

    // Builds the window (not yet shown); false when it cannot be made.
    bool createWindow(QWidget* areaViewport);
    CChildFrame* frame() const { return m_frame; }
    CMarlowView* view() const;
    CHeadView* head() const;
    CPictureView* strip() const;
    // The attachments array and what the user does with it.
    EntryAttachments& attachments() const { return *m_attachments; }
    AttachmentActions* attachmentActions() const { return m_actions; }

    // Loads the stored entry into the views; false when the date is not a
    // valid date of its kind.
    bool OnOpenDocument();
    // Writes the entry; false when it failed (the user was told).
    bool OnSaveDocument();
    bool DoFileSave();
    // The save trigger: nothing is written to a read-only file (the flag is
    // cleared); a modified entry is pinned and saved. False when a save
    // failed.
    bool saveIfModified();

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified);
    bool isPinned() const { return m_pinned; }
    void setPinned(bool pinned);

    // Moves the entry to another date: saved under the old date first, then
    // written under the new one, whose attachments are then shown.
    bool saveAsDate(store::Date newDate);

    // Typing survives a crash: a moment after the typing pauses (and at
    // least every kTypingLongest while it goes on) the unsaved state goes to
    // the recovery file; a save removes it.
    static constexpr int kTypingPause = 300;     // milliseconds
    static constexpr int kTypingLongest = 1000;  // milliseconds
    // Hands the unsaved state to the recovery writer now.
    void keepTyping();
    // Removes the recovery file (the changes were saved or given up).
    void dropRecovery();
    // Shows what a recovery file kept, marked modified so that the next save
    // writes it.
    void bringBack(const store::EntryHeader& header, const std::u16string& text,
                   std::span<const std::uint8_t> rtf);

signals:
    void modifiedChanged(bool modified);
    void pinnedChanged(bool pinned);
    void saved(store::Date date);
    // The user asked to close the window.
    void closeRequested();
    // Every modified entry should be saved now (a menu is opening).
    void saveAllRequested();
    // Attachments were added or deleted: the side bar's marks follow.
    void attachmentsChanged(store::Date date);
    // A link text to another entry was followed.
    void openEntryRequested(store::Date date);

private:
    void edited();
    void typed();
    // Fills the header and the editor, without marking anything modified.
    void show(const store::EntryHeader& header, const std::u16string& text,
              std::span<const std::uint8_t> rtf);
    bool writeEntry(store::Date date);
    void followLink(const FoundLink& link);
    void connectAttachments(CHeadView* head, CPictureView* strip, CMarlowView* view);

    DiaryContext& m_context;
    TabTable& m_tabs;
    store::Date m_date;
    bool m_modified = false;
    bool m_pinned = false;
    QPointer<CChildFrame> m_frame;
    QPointer<EntryAttachments> m_attachments;
    AttachmentActions* m_actions = nullptr;
    QTimer* m_pauseTimer = nullptr;
    QTimer* m_longestTimer = nullptr;
    bool m_recoveryWritten = false;  // a recovery file may exist
};

}  // namespace tl::diary
