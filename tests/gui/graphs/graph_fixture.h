#pragma once

#include "graphs/graph_window.h"
#include "link/device_state.h"

namespace zorvan::graphs {

// What a graph test that failed half-way may leave behind: an open window and the settings it
// changed, which the next test must not inherit.
inline void closeLeftOverGraph() {
    delete FormGraphic.data();
    link::graphWindowOpen = false;
    link::graphReadBusy = false;
}

} // namespace zorvan::graphs
