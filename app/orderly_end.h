#pragma once

// The end the program takes when the system asks it to go (SIGTERM, SIGINT, a Windows log-off),
// whatever window is open: the same steps as its user's own way out of each window.

#include <QPointer>

namespace zorvan::panel {
class TMainFormTestIndZorvan4;
}

namespace zorvan::app {

// Cancels the modal windows (a question is answered as by its cancel), ends the graph and the
// sweep as at "Стоп" and "Выход", then closes the panels as at the close picture. Runs on the
// user-interface thread and returns at once; later calls change nothing.
void endProgramInOrder(const QPointer<panel::TMainFormTestIndZorvan4>& mainWindow);

} // namespace zorvan::app
