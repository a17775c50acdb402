#include "gui/session/hotplug_watch.h"

#include "core/device/virtual_hid_backend.h"

#include <QSocketNotifier>

namespace qvr {

UdevHotplugSource::UdevHotplugSource() = default;
UdevHotplugSource::~UdevHotplugSource() = default;

bool UdevHotplugSource::start(Handler handler) {
    if (!monitor_.isValid())
        return false;
    notifier_ = std::make_unique<QSocketNotifier>(monitor_.fd(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this, handler = std::move(handler)] {
                         while (auto event = monitor_.readEvent())
                             handler(event->kind);
                     });
    return true;
}

VirtualHotplugSource::~VirtualHotplugSource() {
    backend_.setPlugListener({});
}

bool VirtualHotplugSource::start(Handler handler) {
    backend_.setPlugListener(
        [handler = std::move(handler)](VirtualHidBackend::Plug plug, const std::string&) {
            handler(plug == VirtualHidBackend::Plug::Arrival ? HotplugKind::Arrival
                                                             : HotplugKind::Removal);
        });
    return true;
}

HotplugCoalescer::HotplugCoalescer(std::function<void(HotplugKind)> run,
                                   std::chrono::milliseconds settle)
    : run_(std::move(run)) {
    timer_.setSingleShot(true);
    timer_.setInterval(settle);
    connect(&timer_, &QTimer::timeout, this, [this] { run_(last_); });
}

void HotplugCoalescer::add(HotplugKind kind) {
    last_ = kind;
    timer_.start();
}

} // namespace qvr
