#include "attachment_actions.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <QUrl>

#include "app/app_settings.h"
#include "app/temp_files.h"
#include "attachment_drag.h"
#include "attachment_rules.h"
#include "diary_documents.h"
#include "entry_attachments.h"
#include "link_text.h"
#include "marlow_view.h"
#include "pic_viewer_wnd.h"
#include "picture_view.h"
#include "res/user_interface.h"
#include "store/attachment_names.h"
#include "store/codepage.h"
#include "store/diary_data_file.h"
#include "widgets/wait_cursor.h"

namespace tl::diary {

using widgets::WaitCursor;
namespace {

QByteArray ToBytes(const std::vector<std::uint8_t>& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()),
                      static_cast<qsizetype>(data.size()));
}

}  // namespace

QStringList DroppedFiles(const QMimeData* data) {
    QStringList paths;
    // The diary's own drags of attachments are never files to attach, and
    // asking them for their addresses would write their copies.
    if (!data || data->hasFormat(QString::fromLatin1(kAttachmentDragMimeType)) || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

void PutTextOnClipboard(const QString& text) {
    if (text.isEmpty()) return;
    QApplication::clipboard()->setText(text);
}

QStringList TypedFileNames(const QString& typed) {
    if (!typed.contains(QLatin1Char('"'))) {
        const QString name = typed.trimmed();
        return name.isEmpty() ? QStringList() : QStringList{name};
    }
    QStringList names;
    const QStringList parts = typed.split(QLatin1Char('"'));
    for (qsizetype i = 1; i < parts.size(); i += 2)
        if (!parts[i].isEmpty()) names << parts[i];
    return names;
}

namespace {

// The dialog drops typed names that do not exist without a word when
// several are typed; here the user is told which, and the dialog stays.
class AttachFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            QStringList missing;
            for (const QString& name : TypedFileNames(edit->text())) {
                const QFileInfo info(directory(), name);
                if (!info.exists()) missing << name;
            }
            if (!missing.isEmpty()) {
                QMessageBox::warning(
                    this, windowTitle(),
                    QObject::tr("These files were not found, so nothing was attached:\n%1")
                        .arg(missing.join(QLatin1Char('\n'))));
                return;
            }
        }
        QFileDialog::accept();
    }
};

}  // namespace

QStringList ChooseFilesToAttach(QWidget* parent, QString* folder) {
    AttachFileDialog dialog(parent, QObject::tr("Attach file"), *folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(
        {QObject::tr("All files (*)"),
         QObject::tr("Pictures (*.bmp *.jpg *.jpeg *.gif *.png *.tif *.tiff *.ico)")});
    if (dialog.exec() != QDialog::Accepted) return {};
    *folder = dialog.directory().absolutePath();
    return dialog.selectedFiles();
}

QString ChooseAttachmentSavePath(QWidget* parent, const QString& folder, const QString& name) {
    return QFileDialog::getSaveFileName(parent, QObject::tr("Save attached file"),
                                        QDir(folder).filePath(name));
}

bool AskRetryOpenCopy(QWidget* parent, const QString& fileName) {
    QMessageBox box(QMessageBox::Warning, QObject::tr("Security Warning"),
                    QObject::tr("The following file are open."), QMessageBox::NoButton, parent);
    box.setInformativeText(fileName + QStringLiteral("\n\n") +
                           QObject::tr("For security reasons, please close the file."));
    QPushButton* retry = box.addButton(QObject::tr("Retry"), QMessageBox::AcceptRole);
    box.addButton(QObject::tr("Skip"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.exec();
    return box.clickedButton() == retry;
}

AttachmentActions::AttachmentActions(DiaryContext& context, EntryAttachments& attachments,
                                     CPictureView& strip, CMarlowView& editor, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_attachments(attachments),
      m_strip(strip),
      m_editor(editor) {}

void AttachmentActions::attachWithDialog() {
    if (m_context.dataFile->IsReadOnly()) return;
    if (m_attachments.size() >= kMaxAttachments) {
        m_context.ui->warn(res::Msg::NoMoreAttachments);
        return;
    }
    std::string& remembered = m_context.settings->etc.attachLoadFolder;
    QString folder = QString::fromStdString(remembered);
    const QStringList paths = m_context.chooseFilesToAttach(m_strip.window(), &folder);
    if (paths.isEmpty()) return;
    remembered = folder.toStdString();
    attachPaths(paths);
}

void AttachmentActions::attachPaths(const QStringList& paths) {
    if (paths.isEmpty() || m_context.dataFile->IsReadOnly()) return;
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(QFile::encodeName(path).toStdString());
    int attached = 0;
    {
        WaitCursor wait;
        attached = m_attachments.AttachFiles(files);
    }
    if (attached > 0) emit attachmentsChanged(m_attachments.date());
}

void AttachmentActions::deleteSelected(bool ask) {
    const std::vector<std::size_t> chosen = m_strip.selectedIndices();
    if (m_context.dataFile->IsReadOnly() || chosen.empty()) return;
    if (ask && !m_context.ui->askYesNo(DeleteAttachmentsQuestion(chosen.size()))) return;
    if (m_attachments.deleteAt(chosen) > 0) emit attachmentsChanged(m_attachments.date());
}

void AttachmentActions::saveSelected() {
    std::string& remembered = m_context.settings->etc.attachSaveFolder;
    for (std::size_t index : m_strip.selectedIndices()) {
        const QString name =
            QString::fromStdU16String(store::SafeFileName(m_attachments.at(index).name()));
        const QString path =
            m_context.chooseSavePath(m_strip.window(), QString::fromStdString(remembered), name);
        if (path.isEmpty()) return;  // Cancel ends the whole command
        remembered = QFileInfo(path).absolutePath().toStdString();
        WaitCursor wait;
        if (!m_attachments.SaveAttachment(index, QFile::encodeName(path).toStdString(), false))
            return;
    }
}

void AttachmentActions::open(std::size_t index) {
    if (index >= m_attachments.size()) return;
    // A picture the viewer cannot decode is opened as a file.
    if (m_attachments.at(index).isPicture() && showPicture(index)) return;
    openCopy(index);
}

void AttachmentActions::openCopy(std::size_t index) {
    WaitCursor wait;
    const std::optional<std::string> path =
        m_attachments.WriteTempCopy(index, *m_context.tempFiles, app::IsFileOpenElsewhere);
    if (path) QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path->c_str())));
}

bool AttachmentActions::showPicture(std::size_t index) {
    // The viewer steps through the entry's pictures in strip order.
    std::vector<CPicViewerWnd::Picture> pictures;
    std::size_t current = 0;
    for (std::size_t i = 0; i < m_attachments.size(); ++i) {
        const CAttachFile& item = m_attachments.at(i);
        if (!item.isPicture()) continue;
        if (i == index) current = pictures.size();
        const std::uint32_t order = item.order();
        // The viewer may outlive the entry's window.
        QPointer<EntryAttachments> list(&m_attachments);
        pictures.push_back(
            {QString::fromStdU16String(item.name()), [list, order]() -> std::optional<QByteArray> {
                 if (!list) return std::nullopt;
                 const auto data = list->ReadAttachment(order);
                 if (!data) return std::nullopt;
                 return ToBytes(*data);
             }});
    }
    return CPicViewerWnd::Open(std::move(pictures), current,
                               m_context.settings->picture.reduction == 1,
                               m_strip.window()) != nullptr;
}

bool AttachmentActions::showPictureOfOrder(std::uint32_t order) {
    const std::optional<std::size_t> index = m_attachments.indexOfOrder(order);
    if (!index || !m_attachments.at(*index).isPicture()) return false;
    return showPicture(*index);
}

bool AttachmentActions::showPictureOfDate(store::Date date, std::uint32_t order) {
    return ShowDatedPicture(*m_context.dataFile, m_context.settings->picture.reduction == 1, date,
                            order, m_strip.window());
}

bool ShowDatedPicture(store::CDiaryDataFile& file, bool reduce, store::Date date,
                      std::uint32_t order, QWidget* parent) {
    store::AttachmentInfo info;
    if (order == 0 || file.FindAttachment(0, date, order, &info) == 0 ||
        !store::IsPictureName(info.name))
        return false;
    std::vector<CPicViewerWnd::Picture> one;
    const std::uint64_t unit = info.unit;
    one.push_back(
        {QString::fromStdU16String(info.name), [&file, unit]() -> std::optional<QByteArray> {
             std::vector<std::uint8_t> data;
             if (!file.ReadAttachmentData(unit, data)) return std::nullopt;
             return ToBytes(data);
         }});
    return CPicViewerWnd::Open(std::move(one), 0, reduce, parent) != nullptr;
}

QString AttachmentActions::linkTexts(bool withDate) const {
    std::u16string text;
    for (std::size_t index : m_strip.selectedPictures()) {
        const std::uint32_t order = m_attachments.at(index).order();
        text +=
            withDate ? DatedPictureLinkText(m_attachments.date(), order) : PictureLinkText(order);
    }
    return QString::fromStdU16String(text);
}

void AttachmentActions::insertLinks() {
    if (m_context.dataFile->IsReadOnly() || m_editor.isReadOnly()) return;
    const QString text = linkTexts(false);
    if (text.isEmpty()) return;
    QTextCursor cursor = m_editor.textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    m_editor.setTextCursor(cursor);
    m_editor.setFocus(Qt::OtherFocusReason);
}

void AttachmentActions::copyLinks(bool withDate) {
    if (withDate && m_context.dataFile->IsReadOnly()) return;
    PutTextOnClipboard(linkTexts(withDate));
}

}  // namespace tl::diary
