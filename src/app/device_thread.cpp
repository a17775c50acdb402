#include "app/device_thread.h"

#include "device/device_events.h"

#include <QCoreApplication>
#include <memory>

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
    // Every request given runs, and so does one an answer gives (a waiting
    // Save): the user's last press still reaches the mouse.
    while (inFlight_ > 0) {
        QCoreApplication::sendPostedEvents(this);
        if (inFlight_ > 0)
            QThread::msleep(1);
    }
    stopped_ = true;
    QMetaObject::invokeMethod(
        worker_, [this] { thread_.quit(); }, Qt::QueuedConnection);
    thread_.wait();
    worker_ = nullptr;
}

void DeviceThread::request(std::function<void()> work, std::function<void()> done) {
    ++inFlight_;
    auto answer = [this, done = std::move(done)] {
        --inFlight_;
        if (done)
            done();
    };
    if (stopped_) {
        QMetaObject::invokeMethod(this, std::move(answer), Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        worker_,
        [this, work = std::move(work), answer = std::move(answer)]() mutable {
            if (work)
                work();
            QMetaObject::invokeMethod(this, std::move(answer), Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

int DeviceThread::upload(const ConfigRecord& record) {
    const int ticket = ++lastTicket_;
    newestUpload_.store(ticket);
    auto received = std::make_shared<bool>(false);
    auto skipped = std::make_shared<bool>(false);
    request(
        [this, record, ticket, received, skipped] {
            if (ticket != newestUpload_.load()) {
                *skipped = true;
                return;
            }
            MouseProtocol protocol = link_.protocol();
            protocol.setProgress([this](int done, int total) {
                QMetaObject::invokeMethod(
                    this, [this, done, total] { emit uploadProgress(done, total); },
                    Qt::QueuedConnection);
            });
            ConfigRecord sent = record;
            *received = protocol.uploadConfiguration(sent);
        },
        [this, ticket, received, skipped] {
            if (*skipped)
                emit uploadSkipped(ticket);
            else
                emit uploadFinished(ticket, *received);
        });
    return ticket;
}

void DeviceThread::readBack(const ConfigRecord& record, std::function<void(const Block&)> done) {
    auto active = std::make_shared<Block>();
    request([this, record, active] { *active = readBackForDpiEvent(link_, record); },
            [active, done = std::move(done)] { done(*active); });
}

} // namespace qvr
