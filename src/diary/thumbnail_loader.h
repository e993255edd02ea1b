#pragma once

// Thumbnails of an entry's pictures, made off the interface thread. The
// interface thread only reads each attachment's enciphered bytes from the
// data file (one positional read); deciphering, inflating and decoding run
// on a small pool of threads, and each result comes back as a queued call.
// A JPEG photograph is first tried through the preview a camera stores in
// its first bytes; only without one is the whole file read and decoded
// (scaled while decoding where the format allows).

#include <QImage>
#include <QObject>
#include <QSize>
#include <cstdint>
#include <deque>
#include <memory>

namespace tl::store {
class CBlowfish;
class CDiaryDataFile;
}  // namespace tl::store

namespace tl::diary {

// What became of one picture.
enum class ThumbnailOutcome {
    Ready,        // thumbnail made
    NotAPicture,  // read, but the image library cannot decode it
    Unreadable,   // the record could not be read or inflated
    OutOfMemory,
};

struct ThumbnailResult {
    std::uint32_t order = 0;
    ThumbnailOutcome outcome = ThumbnailOutcome::Ready;
    QImage thumbnail;  // Ready only; fits the loader's size
};

class ThumbnailLoader : public QObject {
    Q_OBJECT

public:
    // size: the box a thumbnail fits into, in device pixels.
    ThumbnailLoader(store::CDiaryDataFile& file, QSize size, QObject* parent = nullptr);
    // Results still on their way are dropped; no thread touches this
    // object afterwards.
    ~ThumbnailLoader() override;

    // Queues a picture attachment by its record's unit. jpeg: try the
    // camera's preview first.
    void enqueue(std::uint32_t order, std::uint64_t unit, bool jpeg);
    // Forgets what has not started; what runs finishes unseen.
    void cancel();
    bool idle() const { return m_queue.empty() && m_running == 0; }

    // Decodes a whole picture file scaled to fit size (any thread). Null
    // when the image library cannot read it.
    static QImage ThumbnailOf(const QByteArray& bytes, QSize size);
    // The camera's preview inside the first bytes of a JPEG file, oriented
    // and trimmed to the photograph's shape, fitted to size; null when
    // there is none.
    static QImage PreviewOf(const QByteArray& prefix, QSize size);

signals:
    void loaded(const tl::diary::ThumbnailResult& result);
    // The queue ran empty and nothing is running.
    void finished();

private:
    struct Request {
        std::uint32_t order;
        std::uint64_t unit;
        bool preview;  // the first bytes only, for the camera's preview
    };
    struct Mailbox;
    void pump();
    void schedulePump();
    void received(const ThumbnailResult& result, bool needWhole, Request request);
    void reportIdle();

    store::CDiaryDataFile& m_file;
    QSize m_size;
    std::shared_ptr<const store::CBlowfish> m_cipher;
    std::shared_ptr<Mailbox> m_mailbox;
    std::deque<Request> m_queue;
    int m_running = 0;
    bool m_pumpScheduled = false;
    bool m_busy = false;             // finished() is owed once the work is done
    std::uint64_t m_generation = 0;  // results of before a cancel are stale
};

}  // namespace tl::diary

Q_DECLARE_METATYPE(tl::diary::ThumbnailResult)
