#include "platform/SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kShowRequest = "show\n";
const QByteArray kShown = "shown\n";
const QString kSocketFile = QStringLiteral("arm-vesk");

// A folder is private when it is this user's own and closed to everybody
// else: nobody but this user can make a socket there, so whoever listens on
// it is this user's program.
bool isPrivateFolder(const QString& folder) {
    struct stat st {};
    if (folder.isEmpty() || ::stat(QFile::encodeName(folder).constData(), &st) != 0) return false;
    const bool own = S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
    const bool closed = (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
    return own && closed;
}
}  // namespace

SingleInstanceGuard::SingleInstanceGuard(QObject* parent) : QObject(parent) {}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (server_) server_->close();
}

QString SingleInstanceGuard::SocketName() {
    return SocketNameIn(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
}

QString SingleInstanceGuard::SocketNameIn(const QString& runtimeFolder) {
    // Never a bare name: Qt puts that into the shared temporary folder, where
    // another account could make it first and keep this user's program out.
    // Qt checks its runtime folder too; the guard does not lean on that.
    if (!isPrivateFolder(runtimeFolder)) return {};
    return runtimeFolder + QLatin1Char('/') + kSocketFile;
}

bool SingleInstanceGuard::IsRunning() {
    const QString name = SocketName();
    if (name.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    const bool found = socket.waitForConnected(1000);
    socket.abort();
    return found;
}

bool SingleInstanceGuard::AskRunningToShow(int timeoutMs) {
    const QString name = SocketName();
    if (name.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(name);
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
    if (name.isEmpty()) {
        qWarning("No private runtime folder for the single-copy guard: the program runs unguarded");
        return true;
    }
    if (server_->listen(name)) return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError) return true;
    if (IsRunning()) return false;
    // A socket left by a copy that crashed: nobody answers on it.
    QLocalServer::removeServer(name);
    if (server_->listen(name)) return true;
    // Another copy starting at the same moment took it first.
    return !IsRunning();
}
