#pragma once

#include "platform/profile_request.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QSocketNotifier;

namespace qvr {

// What a launcher handed the second start so that the first one may take
// the focus: an xdg-activation token (Wayland) or a startup-notification id
// (X11). Either may be empty.
struct ActivationRequest {
    QString activationToken;
    QString startupId;

    // From XDG_ACTIVATION_TOKEN and DESKTOP_STARTUP_ID of this process.
    static ActivationRequest fromEnvironment();
    bool operator==(const ActivationRequest&) const = default;
};

// The request as it travels: one "key=value" line each, ending with an
// empty line. Values lose their line breaks, which no token holds.
QByteArray encodeActivationRequest(const ActivationRequest& request);
// nullopt-like: false when the bytes are not a complete request.
bool decodeActivationRequest(const QByteArray& bytes, ActivationRequest& request);

// The socket beside the single-instance lock, in the same private folder.
QString instanceSocketPath(const std::filesystem::path& lockFolder);

// Listens for later starts of the program on a Unix socket in the event
// loop. Only the holder of the single-instance lock creates it, so removing a
// socket left by a crashed instance never takes one away from a running
// program. Plain sockets rather than QtNetwork, whose library (and Kerberos
// and proxy libraries behind it) every start would load for this alone.
class InstanceServer final : public QObject {
    Q_OBJECT

  public:
    using Handler = std::function<void(const ActivationRequest&)>;

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);
    // qvrctl's profile requests. The handler runs from the event loop, not
    // inside the socket's read, and may answer later (after a question).
    using Reply = std::function<void(const ProfileAnswer&)>;
    using ProfileHandler = std::function<void(const ProfileRequest&, Reply)>;
    void setProfileHandler(ProfileHandler handler) { profileHandler_ = std::move(handler); }
    ~InstanceServer() override;

    // False when the socket cannot be created (a path too long, a folder
    // that is not ours); the program then runs without it.
    bool listen(const QString& socketPath);
    QString errorString() const;

  private:
    struct Client;
    void accept();
    void read(int fd);
    void drop(int fd);
    void answer(int fd, quint64 serial, const ProfileAnswer& answer);

    Handler handler_;
    ProfileHandler profileHandler_;
    quint64 nextSerial_ = 0;
    int fd_ = -1;
    std::string path_;
    QString error_;
    QSocketNotifier* notifier_ = nullptr;
    std::map<int, std::unique_ptr<Client>> clients_;
};

// A later start asks the running instance to show its window. Retries until
// the deadline while the first instance is still starting; true once the
// instance confirmed the request.
bool askRunningInstanceToShow(const QString& socketPath, const ActivationRequest& request,
                              std::chrono::milliseconds deadline = std::chrono::seconds(5));

} // namespace qvr
