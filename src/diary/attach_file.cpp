#include "attach_file.h"

#include "store/attachment_names.h"

namespace tl::diary {

CAttachFile::CAttachFile(store::AttachmentInfo info)
    : m_info(std::move(info)),
      m_thumb(store::IsPictureName(m_info.name) ? Thumb::Pending : Thumb::None) {}

bool CAttachFile::isJpeg() const {
    const std::size_t dot = m_info.name.rfind(u'.');
    if (dot == std::u16string::npos) return false;
    std::u16string ext = m_info.name.substr(dot + 1);
    for (char16_t& c : ext)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    return ext == u"jpg" || ext == u"jpeg";
}

void CAttachFile::setThumbnail(QImage thumbnail) {
    m_thumbnail = std::move(thumbnail);
    m_thumb = Thumb::Ready;
}

void CAttachFile::clearPicture() {
    m_thumbnail = QImage();
    m_thumb = Thumb::None;
}

}  // namespace tl::diary
