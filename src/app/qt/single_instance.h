#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace tl::app {

// One running program per user. The first process holds a lock file and
// listens on a local socket under a per-user name; a later process finds
// the lock taken, asks the first one through the socket to bring its
// window forward, and ends. The lock file, not the socket, decides who is
// first: it is taken atomically and a stale one left by a crash is
// reclaimed, so two processes started together never both run.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role { First, Second };

    // name: the per-user name; DefaultName() in the program.
    explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // First: this process runs and now listens. Second: another one runs
    // and was asked to raise its window (when it could be reached).
    Role acquire();
    // Gives up the guard before the process ends.
    void release();

    static QString DefaultName();

signals:
    // A later process asked for the window.
    void raiseRequested();

private:
    void onNewConnection();
    bool askFirstToRaise();

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

}  // namespace tl::app
