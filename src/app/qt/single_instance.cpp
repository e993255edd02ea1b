#include "single_instance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include "app/temp_files.h"

namespace tl::app {

namespace {

constexpr char kRaiseMessage[] = "raise\n";
// How long a second process tries to reach a first one that has taken the
// lock but may not listen yet.
constexpr int kConnectTries = 10;
constexpr int kConnectWaitMs = 200;

}  // namespace

SingleInstance::SingleInstance(QString name, QString folder, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_folder(std::move(folder)) {}

SingleInstance::~SingleInstance() {
    release();
}

QString SingleInstance::DefaultName() {
    return QStringLiteral("tallyleaf");
}

QString SingleInstance::DefaultFolder() {
    return QFile::decodeName(UserRuntimeFolder().c_str());
}

QString SingleInstance::lockPath() const {
    return QDir(m_folder).filePath(m_name + QStringLiteral(".lock"));
}

QString SingleInstance::socketPath() const {
    return QDir(m_folder).filePath(m_name + QStringLiteral(".socket"));
}

SingleInstance::Role SingleInstance::acquire() {
    // Without a folder of this user's there is no guard to be had.
    if (m_folder.isEmpty()) return Role::Unreachable;
    m_lock = std::make_unique<QLockFile>(lockPath());
    // No stale time: a lock is stale only when its process is gone, which
    // QLockFile finds out by itself (and then takes the lock over).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const bool held = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        return held && askFirstToRaise() ? Role::Second : Role::Unreachable;
    }
    // A socket file left by a crashed first process would make listen fail.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    m_server->listen(socketPath());
    return Role::First;
}

void SingleInstance::release() {
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    m_lock.reset();
}

bool SingleInstance::askFirstToRaise() {
    for (int i = 0; i < kConnectTries; ++i) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(kConnectWaitMs)) {
            socket.write(kRaiseMessage);
            const bool sent = socket.waitForBytesWritten(kConnectWaitMs);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(kConnectWaitMs / 2);
    }
    return false;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto readLines = [this, socket] {
            while (socket->canReadLine())
                if (socket->readLine() == kRaiseMessage) emit raiseRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, readLines);
        readLines();  // what arrived before the connection was made
    }
}

}  // namespace tl::app
