#pragma once

#include "config/config_record.h"
#include "device/device_images.h"
#include "device/device_link.h"

#include <QObject>
#include <QThread>
#include <functional>

namespace qvr {

// The thread that talks to the mouse's command collection, so the window
// keeps answering through the waits of an upload. Requests are queued and
// run one after another in the order given, which is what keeps an event's
// read-back from falling into an upload. Results come back on the thread
// that owns this object (the window's).
class DeviceThread : public QObject {
    Q_OBJECT

  public:
    explicit DeviceThread(DeviceLink& link, QObject* parent = nullptr);
    ~DeviceThread() override;

    // An upload from a copy of the record; ends with uploadFinished carrying
    // the ticket returned here.
    int upload(const ConfigRecord& record);
    // The read-back after a DPI-stage event; done gets the active slot's
    // block image.
    void readBack(const ConfigRecord& record, std::function<void(const Block&)> done);
    // Work that must not stall the window and needs no handle (the desktop's
    // pointer settings); done runs on the window's thread afterwards.
    void run(std::function<void()> work, std::function<void()> done = {});

    // Requests not yet answered.
    bool busy() const { return inFlight_ > 0; }
    bool uploading() const { return uploading_; }

    // Lets the running request end and joins the thread. Requests still
    // queued are answered as if the mouse were gone, so callers are never
    // left waiting. Later requests are answered that way at once.
    void stop();

  signals:
    void uploadProgress(int done, int total);
    void uploadFinished(int ticket, bool received);
    // Emitted when the last request in flight has been answered.
    void idle();

  private:
    void post(std::function<void()> work);
    void answer(std::function<void()> result);

    DeviceLink& link_;
    QThread thread_;
    QObject* worker_; // lives on thread_
    int inFlight_ = 0;
    bool uploading_ = false;
    int lastTicket_ = 0;
    bool stopped_ = false;
};

} // namespace qvr
