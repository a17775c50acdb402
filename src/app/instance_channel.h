#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>

class QLocalServer;
class QLocalSocket;

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

// Listens for later starts of the program. Only the holder of the
// single-instance lock creates it, so removing a socket left by a crashed
// instance never takes one away from a running program.
class InstanceServer final : public QObject {
    Q_OBJECT

  public:
    using Handler = std::function<void(const ActivationRequest&)>;

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);
    ~InstanceServer() override;

    // False when the socket cannot be created (a path too long, a folder
    // that is not ours); the program then runs without it.
    bool listen(const QString& socketPath);
    QString errorString() const;

  private:
    void accept();
    void read(QLocalSocket* socket);

    Handler handler_;
    QLocalServer* server_ = nullptr;
};

// A later start asks the running instance to show its window. Retries until
// the deadline while the first instance is still starting; true once the
// instance confirmed the request.
bool askRunningInstanceToShow(const QString& socketPath, const ActivationRequest& request,
                              std::chrono::milliseconds deadline = std::chrono::seconds(5));

} // namespace qvr
