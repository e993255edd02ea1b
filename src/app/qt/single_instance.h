#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace tl::app {

// One running program per user session. The first process holds a lock
// file and listens on a local socket, both in the user's runtime folder; a
// later process finds the lock taken, asks the first one through the
// socket to bring its window forward, and ends. The lock file, not the socket, decides who is
// first: it is taken atomically and a stale one left by a crash is
// reclaimed, so two processes started together never both run.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Unreachable: the lock is held (by a process of another session or
    // host that shares the folder, or by one that does not answer) and no
    // first process took the request; the program must not run either.
    enum class Role { First, Second, Unreachable };

    // name: the program's name, DefaultName(); folder: where the lock and
    // the socket go, DefaultFolder().
    explicit SingleInstance(QString name = DefaultName(), QString folder = DefaultFolder(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // First: this process runs and now listens. Second: another one runs
    // and was asked to raise its window (when it could be reached).
    Role acquire();
    // Gives up the guard before the process ends.
    void release();

    static QString DefaultName();
    static QString DefaultFolder();
    QString lockPath() const;

signals:
    // A later process asked for the window.
    void raiseRequested();

private:
    void onNewConnection();
    bool askFirstToRaise();

    QString socketPath() const;

    QString m_name;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

}  // namespace tl::app
