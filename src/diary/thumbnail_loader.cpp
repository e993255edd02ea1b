#include "thumbnail_loader.h"

#include <QBuffer>
#include <QImageReader>
#include <QThreadPool>
#include <QTimer>
#include <QTransform>
#include <algorithm>
#include <mutex>
#include <new>

#include "exif_thumbnail.h"
#include "store/diary_data_file.h"

namespace tl::diary {
namespace {

// Whole files in flight at once: each holds up to 10 MB of bytes, so the
// memory stays bounded however many pictures an entry has. One more than
// the threads keeps them busy while the interface thread reads the next.
int MaxRunning() {
    return std::max(2, QThread::idealThreadCount()) + 1;
}

// The threads that decode; shared by every open entry.
QThreadPool& Pool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        p->setExpiryTimeout(5000);
        return p;
    }();
    return *pool;
}

// Exif orientation 2-8 applied to a picture stored as the camera held it.
QImage Oriented(const QImage& image, int orientation) {
    switch (orientation) {
        case 2:
            return image.mirrored(true, false);
        case 3:
            return image.mirrored(true, true);
        case 4:
            return image.mirrored(false, true);
        case 5:  // transpose
            return image.transformed(QTransform().rotate(90)).mirrored(true, false);
        case 6:
            return image.transformed(QTransform().rotate(90));
        case 7:  // transverse
            return image.transformed(QTransform().rotate(90)).mirrored(false, true);
        case 8:
            return image.transformed(QTransform().rotate(270));
        default:
            return image;
    }
}

QImage Fitted(const QImage& image, QSize size) {
    if (image.isNull()) return image;
    QImage fitted = image.width() > size.width() || image.height() > size.height()
                        ? image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        : image;
    return fitted.convertToFormat(fitted.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
}

}  // namespace

struct ThumbnailLoader::Mailbox {
    std::mutex mutex;
    ThumbnailLoader* target = nullptr;
};

ThumbnailLoader::ThumbnailLoader(store::CDiaryDataFile& file, QSize size, QObject* parent)
    : QObject(parent),
      m_file(file),
      m_size(size),
      m_cipher(std::make_shared<store::CBlowfish>(file.Cipher())),
      m_mailbox(std::make_shared<Mailbox>()) {
    qRegisterMetaType<ThumbnailResult>();
    m_mailbox->target = this;
}

ThumbnailLoader::~ThumbnailLoader() {
    std::lock_guard lock(m_mailbox->mutex);
    m_mailbox->target = nullptr;
}

void ThumbnailLoader::enqueue(std::uint32_t order, std::uint64_t unit, bool jpeg) {
    m_queue.push_back({order, unit, jpeg});
    m_busy = true;
    schedulePump();
}

void ThumbnailLoader::cancel() {
    m_queue.clear();
    ++m_generation;
    m_running = 0;
    m_busy = false;
}

void ThumbnailLoader::schedulePump() {
    if (m_pumpScheduled) return;
    m_pumpScheduled = true;
    // After the events already waiting (a paint, a key): reading is short,
    // but the window comes first.
    QTimer::singleShot(0, this, [this] {
        m_pumpScheduled = false;
        pump();
    });
}

QImage ThumbnailLoader::PreviewOf(const QByteArray& prefix, QSize size) {
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(prefix.constData()),
                                 static_cast<std::size_t>(prefix.size()));
    const std::optional<JpegPreview> found = FindJpegPreview(bytes);
    if (!found) return {};
    QImage preview = QImage::fromData(bytes.subspan(found->offset, found->length), "JPEG");
    if (preview.isNull()) return {};
    // Some cameras pad a preview to 4:3 with black bars: cut it to the
    // photograph's own shape.
    if (found->frameWidth > 0 && found->frameHeight > 0) {
        const double frame = static_cast<double>(found->frameWidth) / found->frameHeight;
        const double shown = static_cast<double>(preview.width()) / preview.height();
        if (std::abs(shown - frame) > 0.03 * frame) {
            QRect keep = preview.rect();
            if (shown > frame)
                keep.setWidth(std::max(1, static_cast<int>(preview.height() * frame + 0.5)));
            else
                keep.setHeight(std::max(1, static_cast<int>(preview.width() / frame + 0.5)));
            keep.moveCenter(preview.rect().center());
            preview = preview.copy(keep);
        }
    }
    return Fitted(Oriented(preview, found->orientation), size);
}

QImage ThumbnailLoader::ThumbnailOf(const QByteArray& bytes, QSize size) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        // Decoding at a fraction of the size is much faster (JPEG scales
        // while decoding); twice the box keeps the final scaling smooth.
        QSize box = size * 2;
        if (reader.transformation() & QImageIOHandler::TransformationRotate90) box.transpose();
        if (stored.width() > box.width() || stored.height() > box.height())
            reader.setScaledSize(stored.scaled(box, Qt::KeepAspectRatio));
    }
    return Fitted(reader.read(), size);
}

void ThumbnailLoader::pump() {
    while (m_running < MaxRunning() && !m_queue.empty()) {
        if (!m_file.IsOpen()) {
            m_queue.clear();
            break;
        }
        const Request request = m_queue.front();
        m_queue.pop_front();
        auto sealed = std::make_shared<store::SealedAttachment>();
        store::SealedResult read = store::SealedResult::Damaged;
        try {
            read = m_file.ReadSealedAttachment(request.unit, *sealed,
                                               request.preview ? kPreviewPrefix : SIZE_MAX);
        } catch (const store::FileError&) {
            // A picture that cannot be read is left out without a message;
            // the entry's text and the other pictures are unaffected.
        }
        if (read != store::SealedResult::Ok) {
            ThumbnailResult failed{request.order,
                                   read == store::SealedResult::OutOfMemory
                                       ? ThumbnailOutcome::OutOfMemory
                                       : ThumbnailOutcome::Unreadable,
                                   {}};
            emit loaded(failed);
            continue;
        }
        ++m_running;
        Pool().start([mailbox = m_mailbox, cipher = m_cipher, sealed, request, size = m_size,
                      generation = m_generation]() mutable {
            ThumbnailResult result{request.order, ThumbnailOutcome::Ready, {}};
            bool needWhole = false;
            try {
                std::vector<std::uint8_t> bytes;
                const std::size_t prefix = request.preview ? kPreviewPrefix : SIZE_MAX;
                switch (store::OpenSealedAttachment(*cipher, *sealed, bytes, prefix)) {
                    case store::SealedResult::Ok: {
                        const QByteArray data =
                            QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
                        if (request.preview) {
                            result.thumbnail = PreviewOf(data, size);
                            needWhole = result.thumbnail.isNull() && !sealed->whole;
                            // A small file was read whole: decode it as it is.
                            if (result.thumbnail.isNull() && !needWhole)
                                result.thumbnail = ThumbnailOf(data, size);
                        } else {
                            result.thumbnail = ThumbnailOf(data, size);
                        }
                        if (result.thumbnail.isNull() && !needWhole)
                            result.outcome = ThumbnailOutcome::NotAPicture;
                        break;
                    }
                    case store::SealedResult::OutOfMemory:
                        result.outcome = ThumbnailOutcome::OutOfMemory;
                        break;
                    default:
                        result.outcome = ThumbnailOutcome::Unreadable;
                        break;
                }
            } catch (const std::bad_alloc&) {
                result.outcome = ThumbnailOutcome::OutOfMemory;
            }
            sealed.reset();
            std::lock_guard lock(mailbox->mutex);
            if (ThumbnailLoader* target = mailbox->target) {
                QMetaObject::invokeMethod(
                    target,
                    [target, result, needWhole, request, generation] {
                        if (generation == target->m_generation)
                            target->received(result, needWhole, request);
                    },
                    Qt::QueuedConnection);
            }
        });
    }
    reportIdle();
}

void ThumbnailLoader::reportIdle() {
    if (!m_busy || !idle()) return;
    m_busy = false;
    emit finished();
}

void ThumbnailLoader::received(const ThumbnailResult& result, bool needWhole, Request request) {
    --m_running;
    if (needWhole) {
        request.preview = false;
        m_queue.push_front(request);
    } else {
        emit loaded(result);
    }
    if (idle())
        reportIdle();
    else
        schedulePump();
}

}  // namespace tl::diary
