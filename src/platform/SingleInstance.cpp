#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
const QByteArray kShowRequest = "show\n";
const QByteArray kShown = "shown\n";
}  // namespace

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

bool SingleInstanceGuard::AskRunningToShow(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    return socket.readLine() == kShown;
}

void SingleInstanceGuard::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) return;
    if (socket->readLine() == kShowRequest) {
        emit ShowRequested();
        socket->write(kShown);
        socket->flush();
    }
    socket->disconnectFromServer();
}

bool SingleInstanceGuard::Held() const {
    return server_ && server_->isListening();
}

bool SingleInstanceGuard::Claim() {
    if (Held()) return true;
    if (!server_) {
        server_ = new QLocalServer(this);
        // A later start either only looks for the listener or asks for the
        // window; each connection is answered and dropped.
        connect(server_, &QLocalServer::newConnection, server_, [this] {
            while (QLocalSocket* s = server_->nextPendingConnection()) {
                connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QLocalSocket::readyRead, this, [this, s] { answer(s); });
                answer(s);
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
