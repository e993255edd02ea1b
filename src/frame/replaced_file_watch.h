#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <functional>

#include "store/diary_data_file.h"

namespace tl::frame {

// Looks whether the data file's path still names the open file when the
// program regains the focus and when the folder or the file changes on
// disk; every write looks too. Once the file is detached, handle runs once
// the current event is over (the detection may come from inside a save).
class ReplacedFileWatch final : public QObject {
public:
    ReplacedFileWatch(store::CDiaryDataFile& file, std::function<void()> handle,
                      QObject* parent = nullptr);
    ~ReplacedFileWatch() override;
    // Compares the file with its path now; also follows a changed path.
    void check();

private:
    void watchPath();
    void handleSoon();

    store::CDiaryDataFile& m_file;
    std::function<void()> m_handle;
    QFileSystemWatcher m_watcher;
    bool m_pending = false;
};

}  // namespace tl::frame
