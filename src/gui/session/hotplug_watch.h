#pragma once

#include "platform/udev_hotplug.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace qvr {

class VirtualHidBackend;

// Where the window learns that a node of the mouse came or went.
class HotplugSource {
  public:
    using Handler = std::function<void(HotplugKind)>;
    virtual ~HotplugSource() = default;
    // False when the source cannot watch anything.
    virtual bool start(Handler handler) = 0;
};

// udev, watched from the event loop.
class UdevHotplugSource final : public HotplugSource {
  public:
    UdevHotplugSource();
    ~UdevHotplugSource() override;
    bool start(Handler handler) override;

  private:
    UdevHotplugMonitor monitor_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// The virtual backend's plug and unplug, driven from the tray menu or tests.
class VirtualHotplugSource final : public HotplugSource {
  public:
    explicit VirtualHotplugSource(VirtualHidBackend& backend) : backend_(backend) {}
    ~VirtualHotplugSource() override;
    bool start(Handler handler) override;

  private:
    VirtualHidBackend& backend_;
};

// One plug of the mouse shows up as one event per node (it has two), so the
// events of a short burst are folded into one: the last kind seen, run once
// when the burst has been quiet for the settle time.
class HotplugCoalescer : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kSettleTime{300};

    explicit HotplugCoalescer(std::function<void(HotplugKind)> run,
                              std::chrono::milliseconds settle = kSettleTime);
    void add(HotplugKind kind);
    bool pending() const { return timer_.isActive(); }

  private:
    std::function<void(HotplugKind)> run_;
    HotplugKind last_ = HotplugKind::Arrival;
    QTimer timer_;
};

} // namespace qvr
