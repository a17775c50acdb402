#pragma once

#include "core/device/device_images.h"
#include "core/device/device_link.h"
#include "core/device/device_queue.h"
#include "core/record/config_record.h"

#include <QObject>
#include <functional>

namespace qvr {

// The window's side of the device queue: the one thread that talks to the
// mouse's command collection, so the window keeps answering through the
// waits of an upload. Requests run one after another in the order given,
// which keeps an event's read-back or a hotplug search from falling into an
// upload. Answers come back, in the same order, on the thread that owns this
// object (the window's).
class DeviceThread : public QObject {
    Q_OBJECT

  public:
    explicit DeviceThread(DeviceLink& link, QObject* parent = nullptr);
    ~DeviceThread() override;

    // work runs on the device thread, then done on the window's thread. Once
    // stopped, work is skipped and done still runs, so nobody waits forever.
    void request(std::function<void()> work, std::function<void()> done);

    // An upload from a copy of the record; ends with uploadFinished carrying
    // the ticket returned here, or with uploadSkipped when a newer upload was
    // given before its turn came: the mouse ends up with the newest record,
    // so an older one still waiting would only delay it.
    int upload(const ConfigRecord& record);
    // The read-back after a DPI-stage event; done gets the active slot's
    // block image. A read-back still waiting when a newer one is given is
    // dropped without calling done: the newer one answers for it.
    void readBack(const ConfigRecord& record, std::function<void(const Block&)> done);
    // A search for the mouse after a hotplug event. Like a read-back, one
    // still waiting when a newer one is given is dropped without calling
    // done: the newer one finds the mouse as it is by then.
    void reopen(std::function<void()> work, std::function<void()> done);

    // Requests not yet answered.
    bool busy() const { return inFlight_ > 0; }

    // Waits for every request given and those their answers give, handing
    // out the answers, then joins the thread. Later requests are answered
    // without the mouse.
    void stop();

  signals:
    void uploadProgress(int done, int total);
    void uploadFinished(int ticket, bool received);
    void uploadSkipped(int ticket);

  private:
    void give(DeviceRequestKind kind, std::function<void()> work,
              std::function<void(DeviceAnswer)> done);

    DeviceLink& link_;
    DeviceQueue queue_;
    int inFlight_ = 0;
    int lastTicket_ = 0;
    bool stopped_ = false;
};

} // namespace qvr
