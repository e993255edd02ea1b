#include "entry_attachments.h"

#include <sys/stat.h>

#include <algorithm>

#include "app/progress.h"
#include "app/startup.h"
#include "app/temp_files.h"
#include "attachment_rules.h"
#include "exchange/export.h"
#include "res/user_interface.h"
#include "store/attachment_names.h"
#include "store/codepage.h"
#include "store/diary_data_file.h"
#include "thumbnail_loader.h"

namespace tl::diary {

EntryAttachments::EntryAttachments(store::CDiaryDataFile& file, res::UserInterface& ui,
                                   QObject* parent)
    : QObject(parent), m_file(file), m_ui(ui) {}

EntryAttachments::~EntryAttachments() = default;

void EntryAttachments::load(store::Date date) {
    m_date = date;
    m_items.clear();
    m_attachedNow.clear();
    m_memoryTold = false;
    m_loader.reset();
    if (m_file.IsOpen()) {
        for (store::AttachmentInfo& info : m_file.ListAttachments(date))
            insertSorted(std::make_unique<CAttachFile>(std::move(info)));
    }
    for (const auto& item : m_items)
        if (item->isPicture()) requestThumbnail(*item);
    emit changed();
}

void EntryAttachments::insertSorted(std::unique_ptr<CAttachFile> item) {
    // Before the first with a greater number, else at the end.
    const auto at = std::upper_bound(
        m_items.begin(), m_items.end(), item->order(),
        [](std::uint32_t order, const auto& other) { return order < other->order(); });
    m_items.insert(at, std::move(item));
}

std::optional<std::size_t> EntryAttachments::indexOfOrder(std::uint32_t order) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->order() == order) return i;
    return std::nullopt;
}

bool EntryAttachments::loading() const {
    return m_loader && !m_loader->idle();
}

void EntryAttachments::requestThumbnail(const CAttachFile& item) {
    if (!m_loader) {
        m_loader = std::make_unique<ThumbnailLoader>(m_file, m_thumbSize);
        connect(m_loader.get(), &ThumbnailLoader::loaded, this, &EntryAttachments::thumbnailLoaded);
        connect(m_loader.get(), &ThumbnailLoader::finished, this,
                &EntryAttachments::thumbnailsDone);
    }
    m_loader->enqueue(item.order(), item.info().unit, item.isJpeg());
}

void EntryAttachments::thumbnailLoaded(const ThumbnailResult& result) {
    const std::optional<std::size_t> index = indexOfOrder(result.order);
    if (!index) return;  // deleted meanwhile
    CAttachFile& item = *m_items[*index];
    const bool attachedNow =
        std::find(m_attachedNow.begin(), m_attachedNow.end(), result.order) != m_attachedNow.end();
    switch (result.outcome) {
        case ThumbnailOutcome::Ready:
            item.setThumbnail(result.thumbnail);
            emit thumbnailChanged(*index);
            return;
        case ThumbnailOutcome::NotAPicture:
            item.clearPicture();
            emit thumbnailChanged(*index);
            return;
        case ThumbnailOutcome::OutOfMemory:
            if (attachedNow) {
                m_ui.warn(res::Msg::ThumbnailLackOfMemory);
                item.clearPicture();
                emit thumbnailChanged(*index);
                return;
            }
            if (!m_memoryTold) m_ui.warn(res::Msg::ImageLackOfMemory);
            m_memoryTold = true;
            break;
        case ThumbnailOutcome::Unreadable:
            if (attachedNow) {
                item.clearPicture();
                emit thumbnailChanged(*index);
                return;
            }
            break;
    }
    // A picture whose bytes cannot be had is not listed.
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(*index));
    emit changed();
}

int EntryAttachments::AttachFiles(const std::vector<std::string>& paths) {
    if (paths.empty() || m_file.IsReadOnly()) return 0;
    std::optional<app::Progress> progress;
    if (paths.size() > 1) progress.emplace(m_ui, res::Text(res::Msg::Attaching));
    // Numbered from what the file holds: an attachment left out of the
    // array (unreadable) still has its number.
    std::uint32_t storedMax = m_file.MaxAttachmentOrder(m_date);
    int attached = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (m_items.size() >= kMaxAttachments) {
            m_ui.warn(res::Msg::NoMoreAttachments);
            break;
        }
        std::vector<std::uint32_t> shown;
        for (const auto& item : m_items) shown.push_back(item->order());
        const std::uint32_t order = NextAttachmentOrder(storedMax, shown);
        store::AttachmentInfo info;
        if (m_file.AttachFile(paths[i], m_date, order, &info) == 1) {
            storedMax = std::max(storedMax, order);
            m_attachedNow.push_back(order);
            auto item = std::make_unique<CAttachFile>(std::move(info));
            const CAttachFile& added = *item;
            insertSorted(std::move(item));
            if (added.isPicture()) requestThumbnail(added);
            ++attached;
        }
        if (progress && progress->StepProgress(static_cast<int>((i + 1) * 100 / paths.size())) ==
                            app::Progress::Step::Cancel)
            break;
    }
    if (progress) progress->CloseProgress();
    if (attached > 0) emit changed();
    return attached;
}

int EntryAttachments::deleteAt(std::vector<std::size_t> indices) {
    if (m_file.IsReadOnly()) return 0;
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    int deleted = 0;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it >= m_items.size()) continue;
        m_file.DeleteAttachment(m_date, m_items[*it]->order());
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(*it));
        ++deleted;
    }
    if (deleted > 0) emit changed();
    return deleted;
}

bool EntryAttachments::SaveAttachment(std::size_t index, const std::string& path, bool readOnly) {
    if (index >= m_items.size()) return false;
    return exchange::ExportAttachment(m_file, m_date, m_items[index]->order(), path, true,
                                      readOnly) == 1;
}

std::optional<std::vector<std::uint8_t>> EntryAttachments::ReadAttachment(std::uint32_t order) {
    store::AttachmentInfo info;
    if (order == 0 || m_file.FindAttachment(0, m_date, order, &info) == 0) return std::nullopt;
    std::vector<std::uint8_t> data;
    if (!m_file.ReadAttachmentData(info.unit, data)) return std::nullopt;
    return data;
}

std::optional<std::string> EntryAttachments::WriteTempCopy(
    std::size_t index, app::TempFileList& temps,
    const std::function<bool(const std::string&)>& inUse) {
    if (index >= m_items.size()) return std::nullopt;
    const std::string name = store::Utf16ToUtf8(store::SafeFileName(m_items[index]->name()));
    if (name.find('.') == std::string::npos) return std::nullopt;
    const std::string folder = app::TempFolder();
    if (folder.empty()) {
        m_ui.warn(res::Msg::FailedToWrite);
        return std::nullopt;
    }
    const std::optional<std::string> path = app::TempCopyPath(folder, name, inUse);
    if (!path) return std::nullopt;
    temps.add(*path);
    if (!SaveAttachment(index, *path, true)) return std::nullopt;
    // Read-only for its owner alone, whatever the stored attributes say.
    ::chmod(path->c_str(), S_IRUSR);
    return path;
}

}  // namespace tl::diary
