#pragma once

namespace qvr {

class CMavloDlg;

// The card at the top of the left panel: whether the mouse is connected and
// which profile is current, so the user sees at a glance what Save acts on.
void installStatusCard(CMavloDlg& window);

} // namespace qvr
