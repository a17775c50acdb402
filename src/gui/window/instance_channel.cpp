#include "gui/window/instance_channel.h"

#include "platform/single_instance_lock.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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
    return QString::fromStdString(instanceSocketFile(lockFolder).string());
}

namespace {

// The socket's address; false when the path does not fit.
bool addressOf(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

// Waits until fd is ready for events or the time is up.
bool waitFor(int fd, short events, int timeoutMs) {
    pollfd ready{fd, events, 0};
    int result = 0;
    do
        result = ::poll(&ready, 1, timeoutMs);
    while (result < 0 && errno == EINTR);
    return result > 0;
}

} // namespace

struct InstanceServer::Client {
    QSocketNotifier* notifier = nullptr; // a child of the server
    QByteArray received;
    quint64 serial = 0; // tells a waiting client from a later one on the same fd
};

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

InstanceServer::~InstanceServer() {
    while (!clients_.empty())
        drop(clients_.begin()->first);
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
}

bool InstanceServer::listen(const QString& socketPath) {
    path_ = socketPath.toStdString();
    sockaddr_un address;
    if (!addressOf(path_, address)) {
        error_ = "the socket path is too long";
        return false;
    }
    // Whatever is there was left by an instance that no longer holds the
    // lock: we hold it now.
    ::unlink(path_.c_str());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path_.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd_, 8) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        return false;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &InstanceServer::accept);
    return true;
}

QString InstanceServer::errorString() const {
    return error_;
}

void InstanceServer::accept() {
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        auto client = std::make_unique<Client>();
        client->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(client->notifier, &QSocketNotifier::activated, this, [this, fd] { read(fd); });
        clients_.emplace(fd, std::move(client));
    }
}

void InstanceServer::read(int fd) {
    const auto found = clients_.find(fd);
    if (found == clients_.end())
        return;
    QByteArray& received = found->second->received;
    char buffer[512];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            received.append(buffer, got);
            if (received.size() > kMaxRequestSize)
                return drop(fd);
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got < 0 && errno == EINTR)
            continue;
        return drop(fd); // the other side went before its request was whole
    }
    // The whole request is there once its empty line is.
    if (!received.endsWith("\n\n"))
        return;
    if (profileHandler_) {
        if (auto profile = decodeProfileRequest(std::string_view(
                received.constData(), static_cast<std::size_t>(received.size())))) {
            // Nothing more to read; the client waits for the answer.
            found->second->notifier->setEnabled(false);
            const quint64 serial = ++nextSerial_;
            found->second->serial = serial;
            QPointer<InstanceServer> self(this);
            QMetaObject::invokeMethod(
                this,
                [this, self, fd, serial, request = *profile] {
                    profileHandler_(request, [self, fd, serial](const ProfileAnswer& reply) {
                        if (self)
                            self->answer(fd, serial, reply);
                    });
                },
                Qt::QueuedConnection);
            return;
        }
    }
    ActivationRequest request;
    const bool understood = decodeActivationRequest(received, request);
    if (understood)
        ::send(fd, kConfirmed.data(), static_cast<std::size_t>(kConfirmed.size()), MSG_NOSIGNAL);
    drop(fd);
    if (understood && handler_)
        handler_(request);
}

void InstanceServer::answer(int fd, quint64 serial, const ProfileAnswer& reply) {
    const auto found = clients_.find(fd);
    if (found == clients_.end() || found->second->serial != serial)
        return;
    // A few hundred bytes fit the socket's buffer; a client gone by now
    // (it stopped waiting) just misses them.
    const std::string bytes = encodeProfileAnswer(reply);
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    drop(fd);
}

void InstanceServer::drop(int fd) {
    const auto found = clients_.find(fd);
    if (found == clients_.end())
        return;
    found->second->notifier->setEnabled(false);
    found->second->notifier->deleteLater();
    clients_.erase(found);
    ::close(fd);
}

bool askRunningInstanceToShow(const QString& socketPath, const ActivationRequest& request,
                              std::chrono::milliseconds deadline) {
    sockaddr_un address;
    if (!addressOf(socketPath.toStdString(), address))
        return false;
    const QByteArray message = encodeActivationRequest(request);
    const QDeadlineTimer until(deadline);
    do {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const bool sent =
                waitFor(fd, POLLOUT, kReplyWaitMs) &&
                ::send(fd, message.constData(), static_cast<std::size_t>(message.size()),
                       MSG_NOSIGNAL) == message.size();
            QByteArray reply;
            char buffer[64];
            while (sent && !reply.endsWith('\n') && waitFor(fd, POLLIN, kReplyWaitMs)) {
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
                if (got <= 0)
                    break;
                reply.append(buffer, got);
            }
            ::close(fd);
            return reply == kConfirmed;
        }
        if (fd >= 0)
            ::close(fd);
        // The first instance holds the lock but may not listen yet.
        QThread::msleep(50);
    } while (!until.hasExpired());
    return false;
}

} // namespace qvr
