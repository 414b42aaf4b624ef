#pragma once

namespace zorvan::panel {
class TMainFormTestIndZorvan4;
}

namespace zorvan::app {

// Gives the main window's menu the windows it opens above the panels, with the main window as
// their host.
void installWindowLaunchers(panel::TMainFormTestIndZorvan4& mainForm);

} // namespace zorvan::app
