#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

SingleInstanceGuard::SingleInstanceGuard(const QString& guardedCaption, QObject* parent)
    : QObject(parent), guarded_(guardedCaption) {}

SingleInstanceGuard::~SingleInstanceGuard() {
    stop();
}

QString SingleInstanceGuard::SocketName(const QString& caption) {
    return QStringLiteral("arm-vesk-") + QString::fromLatin1(caption.toUtf8().toHex());
}

bool SingleInstanceGuard::IsRunning(const QString& caption) {
    QLocalSocket socket;
    socket.connectToServer(SocketName(caption));
    const bool found = socket.waitForConnected(1000);
    socket.abort();
    return found;
}

void SingleInstanceGuard::FollowCaption(const QString& caption) {
    if (caption == guarded_)
        listen();
    else
        stop();
}

bool SingleInstanceGuard::Listening() const {
    return server_ && server_->isListening();
}

bool SingleInstanceGuard::listen() {
    if (Listening()) return true;
    if (!server_) {
        server_ = new QLocalServer(this);
        // A second start only needs to see the listener; drop its connection.
        connect(server_, &QLocalServer::newConnection, server_, [this] {
            while (QLocalSocket* s = server_->nextPendingConnection()) {
                s->disconnectFromServer();
                s->deleteLater();
            }
        });
    }
    const QString name = SocketName(guarded_);
    if (server_->listen(name)) return true;
    // A socket file left by a program that crashed: nobody answers on it.
    if (server_->serverError() == QAbstractSocket::AddressInUseError && !IsRunning(guarded_)) {
        QLocalServer::removeServer(name);
        return server_->listen(name);
    }
    return false;
}

void SingleInstanceGuard::stop() {
    if (server_ && server_->isListening()) server_->close();
}
