#pragma once

// What a window opened from the main window may ask of it: the poll, the panel windows and the
// indicator's message. The main window implements it; the settings, graph and sweep windows are
// given it and never see the main window's class.

#include "link/com_port.h"

class QWidget;

namespace zorvan::ui {

class WindowHost {
public:
    virtual ~WindowHost() = default;

    // Stops the poll and keeps it off, also when a cycle under way is drawn after it; starts it
    // again on an open port.
    virtual void suspendPolling() = 0;
    virtual void resumePolling() = 0;

    // Hides and disables the main window and hides the windows of the present instruments 2 to
    // 6; shows them again where they were.
    virtual void hidePanels() = 0;
    virtual void showPanels() = 0;

    // Creates and shows, or closes, the window of instrument index `device` (1..5).
    virtual void openInstrumentWindow(int device) = 0;
    virtual void closeInstrumentWindow(int device) = 0;

    // The main window's indicator message: a port that failed to open, or hidden after it opened.
    virtual void holdIndicatorMessage(const link::PortFailure& failure) = 0;
    virtual void hideIndicatorMessage() = 0;
    // Instrument 1 did not acknowledge after a reopen; returns once the user closed the message.
    virtual void reportNoAnswer() = 0;

    // The window over which modal windows open.
    virtual QWidget* ownerWindow() = 0;
};

// Gives the window of a graph or the sweep the line: the panels go out of sight and the poll
// stops until the returned line is given back.
void lendLine(WindowHost& host);
void takeLineBack(WindowHost& host);

} // namespace zorvan::ui
