#include "app/instance_channel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace qvr {

namespace {

constexpr QByteArrayView kShow = "show";
constexpr QByteArrayView kTokenKey = "activation-token=";
constexpr QByteArrayView kStartupKey = "startup-id=";
constexpr QByteArrayView kConfirmed = "shown\n";
// A request is a few short lines; anything longer is not one of ours.
constexpr qsizetype kMaxRequestSize = 4096;
constexpr int kReplyWaitMs = 2000;

QByteArray oneLine(const QString& value) {
    QByteArray bytes = value.toUtf8();
    bytes.replace('\n', "").replace('\r', "");
    return bytes;
}

} // namespace

ActivationRequest ActivationRequest::fromEnvironment() {
    return {qEnvironmentVariable("XDG_ACTIVATION_TOKEN"),
            qEnvironmentVariable("DESKTOP_STARTUP_ID")};
}

QByteArray encodeActivationRequest(const ActivationRequest& request) {
    QByteArray bytes = kShow.toByteArray() + '\n';
    if (!request.activationToken.isEmpty())
        bytes += kTokenKey.toByteArray() + oneLine(request.activationToken) + '\n';
    if (!request.startupId.isEmpty())
        bytes += kStartupKey.toByteArray() + oneLine(request.startupId) + '\n';
    return bytes + '\n';
}

bool decodeActivationRequest(const QByteArray& bytes, ActivationRequest& request) {
    if (!bytes.endsWith("\n\n"))
        return false;
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    if (lines.isEmpty() || lines.front() != kShow)
        return false;
    ActivationRequest decoded;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.startsWith(kTokenKey))
            decoded.activationToken = QString::fromUtf8(line.mid(kTokenKey.size()));
        else if (line.startsWith(kStartupKey))
            decoded.startupId = QString::fromUtf8(line.mid(kStartupKey.size()));
        // Unknown lines are skipped, so a newer start can add its own.
    }
    request = decoded;
    return true;
}

QString instanceSocketPath(const std::filesystem::path& lockFolder) {
    return QString::fromStdString((lockFolder / "ZPVL384-netMutex.socket").string());
}

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer() {
    server_->close();
}

bool InstanceServer::listen(const QString& socketPath) {
    // Whatever is there was left by an instance that no longer holds the
    // lock: we hold it now.
    QLocalServer::removeServer(socketPath);
    return server_->listen(socketPath);
}

QString InstanceServer::errorString() const {
    return server_->errorString();
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        if (socket->bytesAvailable() > 0)
            read(socket);
    }
}

void InstanceServer::read(QLocalSocket* socket) {
    if (socket->bytesAvailable() > kMaxRequestSize) {
        socket->abort();
        return;
    }
    // The whole request is there once its empty line is.
    const QByteArray pending = socket->peek(kMaxRequestSize);
    if (!pending.endsWith("\n\n"))
        return;
    ActivationRequest request;
    const bool understood = decodeActivationRequest(socket->readAll(), request);
    if (understood) {
        socket->write(kConfirmed.toByteArray());
        socket->flush();
    }
    socket->disconnectFromServer();
    if (understood && handler_)
        handler_(request);
}

bool askRunningInstanceToShow(const QString& socketPath, const ActivationRequest& request,
                              std::chrono::milliseconds deadline) {
    const QDeadlineTimer until(deadline);
    do {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(kReplyWaitMs)) {
            socket.write(encodeActivationRequest(request));
            if (!socket.waitForBytesWritten(kReplyWaitMs))
                return false;
            QByteArray reply;
            while (!reply.endsWith('\n') && socket.waitForReadyRead(kReplyWaitMs))
                reply += socket.readAll();
            return reply == kConfirmed;
        }
        // The first instance holds the lock but may not listen yet.
        QThread::msleep(50);
    } while (!until.hasExpired());
    return false;
}

} // namespace qvr
