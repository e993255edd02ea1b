#pragma once

// What the user does with an open entry's attachments, wherever he starts
// it (the strip and its menus, the Edit menu, the editor's, title's and
// tab's menus, keys, drops, link texts): the dialogs, questions and other
// programs around the document's attachment operations.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "store/records.h"

namespace tl::store {
class CDiaryDataFile;
}

class QMimeData;
class QWidget;

namespace tl::diary {

class CMarlowView;
class CPictureView;
class EntryAttachments;
struct DiaryContext;

// The local files a drag carries (from a file manager); empty when it
// carries anything else.
QStringList DroppedFiles(const QMimeData* data);

// Puts a link text on the clipboard as its only content; an empty text
// leaves the clipboard as it was.
void PutTextOnClipboard(const QString& text);

// The names typed into a file dialog's name field: each "quoted" name, or
// the whole text when it has no quotes.
QStringList TypedFileNames(const QString& typed);

// The default "Attach file" dialog: several files at once, from the
// folder in *folder, which then holds the folder chosen. Empty: cancelled.
QStringList ChooseFilesToAttach(QWidget* parent, QString* folder);
// The default save dialog for one attachment: its name offered in folder,
// overwriting confirmed. Empty: cancelled.
QString ChooseAttachmentSavePath(QWidget* parent, const QString& folder, const QString& name);
// The Security Warning at close for a copy still open in another program:
// true is Retry, false is Skip.
bool AskRetryOpenCopy(QWidget* parent, const QString& fileName);

// The viewer on one attachment read straight from the data file, as a
// dated picture link shows it; false when there is no such attachment or
// it is not a picture.
bool ShowDatedPicture(store::CDiaryDataFile& file, bool reduce, store::Date date,
                      std::uint32_t order, QWidget* parent);

class AttachmentActions : public QObject {
    Q_OBJECT

public:
    AttachmentActions(DiaryContext& context, EntryAttachments& attachments, CPictureView& strip,
                      CMarlowView& editor, QObject* parent = nullptr);

    // "Attach file": the dialog, then AttachFiles.
    void attachWithDialog();
    // Files dropped on the header, the strip or the editor, one after another.
    void attachPaths(const QStringList& paths);
    // DeleteSelectedAttachments: asked first when ask.
    void deleteSelected(bool ask);
    // "Save attached file": one save dialog per selected attachment.
    void saveSelected();
    // A double click or Enter: a picture in the viewer, another file in its
    // associated program through a temporary copy.
    void open(std::size_t index);
    // The viewer on the attachment with that number ([picture:nnn]); false
    // when the entry has no such picture.
    bool showPictureOfOrder(std::uint32_t order);
    // [picture:date-nnn]: read straight from the data file.
    bool showPictureOfDate(store::Date date, std::uint32_t order);
    // "Insert link text of picture", and the strip's drag dropped on the
    // editor: the selected pictures' links replace the editor's selection.
    void insertLinks();
    void copyLinks(bool withDate);

signals:
    // Attachments of the date were added or deleted: the side bar follows.
    void attachmentsChanged(store::Date date);

private:
    bool showPicture(std::size_t index);
    void openCopy(std::size_t index);
    QString linkTexts(bool withDate) const;

    DiaryContext& m_context;
    EntryAttachments& m_attachments;
    CPictureView& m_strip;
    CMarlowView& m_editor;
};

}  // namespace tl::diary
