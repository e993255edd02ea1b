#include "replaced_file_watch.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>

namespace tl::frame {

ReplacedFileWatch::ReplacedFileWatch(store::CDiaryDataFile& file, std::function<void()> handle,
                                     QObject* parent)
    : QObject(parent), m_file(file), m_handle(std::move(handle)) {
    m_file.SetDetachedHandler([this](store::PathState) { handleSoon(); });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { check(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { check(); });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) check();
            });
}

ReplacedFileWatch::~ReplacedFileWatch() {
    m_file.SetDetachedHandler({});
}

void ReplacedFileWatch::check() {
    watchPath();
    if (m_file.IsOpen() && m_file.CheckPath() != store::PathState::Same) handleSoon();
}

void ReplacedFileWatch::watchPath() {
    const QString path = QString::fromStdString(m_file.Path());
    if (path.isEmpty()) return;
    const QString folder = QFileInfo(path).absolutePath();
    // A rename over the file drops it from the watch: add it again.
    if (!m_watcher.files().contains(path) && QFileInfo::exists(path)) m_watcher.addPath(path);
    if (!m_watcher.directories().contains(folder)) m_watcher.addPath(folder);
}

void ReplacedFileWatch::handleSoon() {
    if (m_pending) return;
    m_pending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_file.IsOpen() && m_file.IsDetached() && m_handle) m_handle();
        m_pending = false;
        watchPath();
    });
}

}  // namespace tl::frame
