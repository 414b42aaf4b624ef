#pragma once

// The program's windows against a simulated bus, in a settings file of their own: what the
// window tests, the screenshots tool and the panel benchmarks stand on.

#include "panel/main_form.h"
#include "tests/support/simulated_line.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace zorvan::testing {

struct SessionSettings {
    std::array<int, 6> addresses{10, 0, 0, 0, 0, 0};
    int pollPeriodMs = 1000;
    int readTimeoutMs = 200;
    bool digitalOutAllowed = false;
    std::string portName; // empty: the simulated line's port
};

class PanelSession {
public:
    explicit PanelSession(int baud = 0);
    ~PanelSession();

    // Writes the settings file, creates the main window and runs its opening animation to the
    // end, which opens the port and starts the poll.
    panel::TMainFormTestIndZorvan4& start(const SessionSettings& settings = {});

    // Runs the event loop until the condition holds; false after the bound.
    static bool waitFor(const std::function<bool()>& condition, int boundMs = 5000);
    // Runs the event loop until `cycles` more poll cycles have been drawn.
    bool waitForPollCycles(int cycles, int boundMs = 10000);

    // Every window of the program runs its opening animation to the end.
    static void finishOpening(ui::BorderlessWindow& window);

    QString settingsPath() const;

    SimulatedLine line;
    std::unique_ptr<panel::TMainFormTestIndZorvan4> mainForm;

private:
    QTemporaryDir folder_;
};

} // namespace zorvan::testing
