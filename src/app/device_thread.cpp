#include "app/device_thread.h"

#include "device/device_events.h"

#include <QCoreApplication>

namespace qvr {

DeviceThread::DeviceThread(DeviceLink& link, QObject* parent)
    : QObject(parent), link_(link), worker_(new QObject) {
    thread_.setObjectName("qvr-device");
    worker_->moveToThread(&thread_);
    // Deleted on its own thread as it ends, before that thread's data goes.
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

DeviceThread::~DeviceThread() {
    stop();
}

void DeviceThread::stop() {
    if (stopped_)
        return;
    stopped_ = true;
    // Queued behind the requests already given, so each of them runs.
    QMetaObject::invokeMethod(
        worker_, [this] { thread_.quit(); }, Qt::QueuedConnection);
    thread_.wait();
    worker_ = nullptr;
    // Answers them here: an answer may give a new request (a pending Save),
    // which now runs here as if the mouse were gone. Each request is answered
    // by two posted events, so this ends.
    while (inFlight_ > 0)
        QCoreApplication::sendPostedEvents(this);
}

void DeviceThread::post(std::function<void()> work) {
    ++inFlight_;
    // After stop() nothing runs on the device thread any more; the request
    // is still answered (work sees stopped_ and skips the mouse).
    if (stopped_ || !worker_) {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
        return;
    }
    if (!QMetaObject::invokeMethod(worker_, std::move(work), Qt::QueuedConnection))
        --inFlight_;
}

void DeviceThread::answer(std::function<void()> result) {
    QMetaObject::invokeMethod(
        this,
        [this, result = std::move(result)] {
            result();
            if (--inFlight_ == 0)
                emit idle();
        },
        Qt::QueuedConnection);
}

int DeviceThread::upload(const ConfigRecord& record) {
    uploading_ = true;
    const int ticket = ++lastTicket_;
    post([this, record, ticket] {
        bool received = false;
        if (QThread::currentThread() == &thread_) {
            MouseProtocol protocol = link_.protocol();
            protocol.setProgress([this](int done, int total) {
                QMetaObject::invokeMethod(
                    this, [this, done, total] { emit uploadProgress(done, total); },
                    Qt::QueuedConnection);
            });
            ConfigRecord sent = record;
            received = protocol.uploadConfiguration(sent);
        }
        answer([this, received, ticket] {
            uploading_ = ticket != lastTicket_;
            emit uploadFinished(ticket, received);
        });
    });
    return ticket;
}

void DeviceThread::readBack(const ConfigRecord& record, std::function<void(const Block&)> done) {
    post([this, record, done = std::move(done)] {
        Block active{};
        if (QThread::currentThread() == &thread_)
            active = readBackForDpiEvent(link_, record);
        answer([done, active] { done(active); });
    });
}

void DeviceThread::run(std::function<void()> work, std::function<void()> done) {
    post([this, work = std::move(work), done = std::move(done)] {
        if (work)
            work();
        answer([done] {
            if (done)
                done();
        });
    });
}

} // namespace qvr
