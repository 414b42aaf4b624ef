#include "ui/window_host.h"

#include "link/device_state.h"

namespace zorvan::ui {

void lendLine(WindowHost& host) {
    host.hidePanels();
    link::graphWindowOpen = true;
    host.suspendPolling();
}

void takeLineBack(WindowHost& host) {
    host.showPanels();
    link::graphWindowOpen = false;
    host.resumePolling();
}

} // namespace zorvan::ui
