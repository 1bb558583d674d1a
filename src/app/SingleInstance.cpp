// The per-user lock and local socket of the running copy.
#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

TSingleInstance* TSingleInstance::current_ = nullptr;

TSingleInstance::TSingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {
    if (folder_.isEmpty())
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder_.isEmpty())
        folder_ = QDir::tempPath();
    current_ = this;
}

TSingleInstance::~TSingleInstance() {
    if (current_ == this)
        current_ = nullptr;
    server_.reset();
    if (lock_)
        lock_->unlock();
}

QString TSingleInstance::LockPath() const {
    return folder_ + "/FBW32.lock";
}

QString TSingleInstance::SocketPath() const {
    return folder_ + "/FBW32.socket";
}

bool TSingleInstance::Acquire() {
    QDir().mkpath(folder_);
    lock_ = std::make_unique<QLockFile>(LockPath());
    // The lock of a running copy never goes stale by age; one whose owner has
    // died is taken over.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return true;
    heldElsewhere_ = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
    return false;
}

bool TSingleInstance::Listen() {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(SocketPath())) {
        // A socket left by a copy that crashed; we hold the lock, so it is ours.
        QLocalServer::removeServer(SocketPath());
        if (!server_->listen(SocketPath()))
            return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &TSingleInstance::Accept);
    return true;
}

void TSingleInstance::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine().trimmed();
                if (line == kMessage)
                    emit PreviousInstance();
            }
        });
    }
}

bool TSingleInstance::Broadcast() const {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(QByteArray(kMessage) + '\n');
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(1000);
    return sent;
}
