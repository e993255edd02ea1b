#include "single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace tl::app {

namespace {

constexpr char kRaiseMessage[] = "raise\n";
// How long a second process tries to reach a first one that has taken the
// lock but may not listen yet.
constexpr int kConnectTries = 10;
constexpr int kConnectWaitMs = 200;

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() {
    release();
}

QString SingleInstance::DefaultName() {
    return QStringLiteral("Tallyleaf-%1").arg(::getuid());
}

SingleInstance::Role SingleInstance::acquire() {
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_name + QStringLiteral(".lock")));
    // No stale time: a lock is stale only when its process is gone, which
    // QLockFile finds out by itself.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        askFirstToRaise();
        return Role::Second;
    }
    // A socket file left by a crashed first process would make listen fail.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    m_server->listen(m_name);
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
        socket.connectToServer(m_name);
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
