#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

SingleInstanceGuard::SingleInstanceGuard(QObject* parent) : QObject(parent) {}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (server_) server_->close();
}

QString SingleInstanceGuard::SocketName() {
    // Per user: another user's copy is another desktop, and its socket would
    // not even let this user connect.
    return QStringLiteral("arm-vesk-%1").arg(::getuid());
}

bool SingleInstanceGuard::IsRunning() {
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    const bool found = socket.waitForConnected(1000);
    socket.abort();
    return found;
}

bool SingleInstanceGuard::Held() const {
    return server_ && server_->isListening();
}

bool SingleInstanceGuard::Claim() {
    if (Held()) return true;
    if (!server_) {
        server_ = new QLocalServer(this);
        // A later start only needs to see the listener; drop its connection.
        connect(server_, &QLocalServer::newConnection, server_, [this] {
            while (QLocalSocket* s = server_->nextPendingConnection()) {
                s->disconnectFromServer();
                s->deleteLater();
            }
        });
    }
    const QString name = SocketName();
    if (server_->listen(name)) return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError) return true;
    if (IsRunning()) return false;
    // A socket left by a copy that crashed: nobody answers on it.
    QLocalServer::removeServer(name);
    if (server_->listen(name)) return true;
    // Another copy starting at the same moment took it first.
    return !IsRunning();
}
