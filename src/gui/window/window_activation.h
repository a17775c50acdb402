#pragma once

#include "gui/window/instance_channel.h"

class QWidget;

namespace qvr {

// Raises and activates a shown window with the token a launcher gave a later
// start: Wayland compositors let a client take the focus only with an
// xdg-activation token; X11 window managers take the startup id's time.
void activateForRequest(QWidget& window, const ActivationRequest& request);

} // namespace qvr
