#include "app/user_session.h"

#include "app/profile_session.h"

#include <utility>

namespace qvr {

UserSession::UserSession(UserSessionSetup setup)
    : link_(*setup.link), messages_(*setup.messages), instanceLock_(std::move(setup.instanceLock)),
      profile_(std::move(setup.userFolder), *setup.messages, std::move(setup.factoryFolder)),
      queue_(*setup.link) {}

UserSession::~UserSession() {
    shutDown();
}

ProfileSession& UserSession::openProfiles(ProfileView& view) {
    profiles_ = std::make_unique<ProfileSession>(*this, view);
    return *profiles_;
}

void UserSession::save() {
    if (editCommands_)
        editCommands_->save();
}

void UserSession::reset() {
    if (editCommands_)
        editCommands_->reset();
}

void UserSession::cancel() {
    if (editCommands_)
        editCommands_->cancel();
}

void UserSession::startListener(Listener::Deliver deliver) {
    listener_ = std::make_unique<Listener>(link_, std::move(deliver));
    listener_->start();
}

void UserSession::shutDown() {
    if (ending_)
        return;
    ending_ = true;
    // The listener may be handing an event to a window and asks whether to
    // give up, so it is stopped and joined first. Then the queue drains:
    // searches answered now are moot, but a last Save still reaches the
    // mouse. Only then do the handles close.
    if (listener_)
        listener_->stop();
    listener_.reset();
    queue_.stop();
    link_.closeHandles();
}

} // namespace qvr
