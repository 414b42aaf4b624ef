#pragma once

#include "app/window_launchers.h"
#include "graphs/graph_window.h"
#include "link/device_state.h"
#include "tests/support/panel_session.h"

namespace zorvan::graphs {

// What a graph test that failed half-way may leave behind: an open window and the settings it
// changed, which the next test must not inherit.
inline void closeLeftOverGraph() {
    delete FormGraphic.data();
    link::graphWindowOpen = false;
    link::graphReadBusy = false;
}

// Instrument 1 of `kind` (and instrument 2 of the 8.0 kind at address 11 when `second`), the
// poll running fast and the menu able to open the graph windows.
inline panel::TMainFormTestIndZorvan4& startGraphSession(testing::PanelSession& session,
                                                         std::uint8_t kind, bool second,
                                                         const sim::Faults& faults = {}) {
    constexpr std::uint8_t kFirstAddress = 10;
    constexpr std::uint8_t kSecondAddress = 11;
    session.line.add(kFirstAddress, {10, kind, 5, 7}).setFaults(faults);
    testing::SessionSettings wanted;
    wanted.pollPeriodMs = 30;
    wanted.readTimeoutMs = 60;
    if (second) {
        session.line.add(kSecondAddress, {10, 80, 1, 2});
        wanted.addresses[1] = kSecondAddress;
    }
    auto& main = session.start(wanted);
    app::installWindowLaunchers(main);
    session.waitForPollCycles(1);
    return main;
}

} // namespace zorvan::graphs
