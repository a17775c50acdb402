#include "gui/session/device_thread.h"

#include "core/device/device_events.h"

#include <QCoreApplication>
#include <QThread>
#include <memory>

namespace qvr {

DeviceThread::DeviceThread(DeviceLink& link, QObject* parent)
    : QObject(parent), link_(link), queue_([this](std::function<void()> answer) {
          QMetaObject::invokeMethod(this, std::move(answer), Qt::QueuedConnection);
      }) {}

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
    queue_.stop();
}

void DeviceThread::give(DeviceRequestKind kind, std::function<void()> work,
                        std::function<void(DeviceAnswer)> done) {
    ++inFlight_;
    queue_.give(kind, std::move(work), [this, done = std::move(done)](DeviceAnswer answer) {
        --inFlight_;
        if (done)
            done(answer);
    });
}

void DeviceThread::request(std::function<void()> work, std::function<void()> done) {
    give(DeviceRequestKind::Other, std::move(work), [done = std::move(done)](DeviceAnswer) {
        if (done)
            done();
    });
}

int DeviceThread::upload(const ConfigRecord& record) {
    const int ticket = ++lastTicket_;
    auto received = std::make_shared<bool>(false);
    give(
        DeviceRequestKind::Upload,
        [this, record, received] {
            MouseProtocol protocol = link_.protocol();
            protocol.setProgress([this](int done, int total) {
                QMetaObject::invokeMethod(
                    this, [this, done, total] { emit uploadProgress(done, total); },
                    Qt::QueuedConnection);
            });
            ConfigRecord sent = record;
            *received = protocol.uploadConfiguration(sent);
        },
        [this, ticket, received](DeviceAnswer answer) {
            if (answer == DeviceAnswer::Obsolete)
                emit uploadSkipped(ticket);
            else
                emit uploadFinished(ticket, *received);
        });
    return ticket;
}

void DeviceThread::readBack(const ConfigRecord& record, std::function<void(const Block&)> done) {
    auto active = std::make_shared<Block>();
    give(
        DeviceRequestKind::ReadBack,
        [this, record, active] { *active = readBackForDpiEvent(link_, record); },
        [active, done = std::move(done)](DeviceAnswer answer) {
            if (answer != DeviceAnswer::Obsolete && done)
                done(*active);
        });
}

void DeviceThread::reopen(std::function<void()> work, std::function<void()> done) {
    give(DeviceRequestKind::Reopen, std::move(work), [done = std::move(done)](DeviceAnswer answer) {
        if (answer != DeviceAnswer::Obsolete && done)
            done();
    });
}

} // namespace qvr
