#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace zorvan::app {

namespace {

const QByteArray kRestoreRequest = QByteArrayLiteral("restore\n");
const QByteArray kRestoreAccepted = QByteArrayLiteral("ok\n");

// A copy that is alive answers at once; one that does not within this time is hung, and
// waiting longer would only delay the second copy's silent exit.
constexpr int kWaitMs = 1000;

// Local server names are shared by all users of the machine (socket files in the
// temporary folder, pipe names), so the user's home folder goes into the name beside the
// executable path. The hash keeps the name short and free of path separators.
QString serverNameFor(const QString& key) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(key.toUtf8());
    hash.addData(QByteArrayView("\n"));
    hash.addData(QDir::homePath().toUtf8());
    return QStringLiteral("zorvan-") + QString::fromLatin1(hash.result().toHex().left(32));
}

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), serverName_(serverNameFor(key)) {
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::becomeFirst() {
    if (sendRestoreRequest()) {
        return false;
    }
    if (listen()) {
        return true;
    }
    // The name is taken. A copy that started at the same moment may have just begun to
    // listen; otherwise a crashed copy left its socket behind and nobody answers on it.
    if (sendRestoreRequest()) {
        return false;
    }
    QLocalServer::removeServer(serverName_);
    // Should the name still be unusable, the program runs unguarded rather than not at all.
    listen();
    return true;
}

bool SingleInstance::sendRestoreRequest() {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kWaitMs)) {
        return false;
    }
    socket.write(kRestoreRequest);
    socket.waitForBytesWritten(kWaitMs);
    // The answer says the request has been read; without it the other copy is hung, but it
    // runs all the same, so this copy still gives way.
    while (socket.bytesAvailable() < kRestoreAccepted.size() && socket.waitForReadyRead(kWaitMs)) {
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kWaitMs);
    }
    return true;
}

bool SingleInstance::listen() {
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName_)) {
        delete server;
        return false;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        // Anything but a short request line is not from a copy of this program.
        if (socket->bytesAvailable() > kRestoreRequest.size()) {
            socket->abort();
        }
        return;
    }
    if (socket->readLine() != kRestoreRequest) {
        socket->abort();
        return;
    }
    socket->write(kRestoreAccepted);
    Q_EMIT restoreRequested();
}

} // namespace zorvan::app
