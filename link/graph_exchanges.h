#pragma once

// What the graph window sends on the line: preparing instrument 1 for graph reads, asking both
// instruments to sample, and one reading. Each runs on the calling thread, which owns the line
// (lineMutex) for the whole call.

#include <cstdint>

namespace zorvan::link {

// Puts instrument 1 back into its normal mode when it is not known to be there, then sets
// graphDecimals and graphScale from the decimals it reports. False when it did not acknowledge
// the mode or never answered the decimals read whole: the instrument is taken as disconnected
// and graphDecimals is left alone.
bool PrepareGraphReads();

// Asks instrument 1, and instrument 2 whatever its address (0 included), to sample for graphs.
// True when instrument 1 acknowledged.
bool StartGraphRequests();

// After the port came back, the instruments may have been powered off with it: prepares
// instrument 1 and asks both to sample again, as at the start. The decimals change only when
// instrument 1 reports them, so a read that fails now cannot rescale a running graph. False when
// instrument 1 did not acknowledge.
bool ResumeGraphRequests();

enum class GraphReadKind {
    Dynamic,  // the signal of instruments 1 and 2
    Humidity, // humidity and two temperatures of instrument 1
};

// One reading into graphSample1..4. False when instrument 1 did not answer: the samples are
// then unchanged. In the dynamic mode a silent instrument 2 keeps its previous sample.
// `listen` takes the humidity answer off the line from another master instead of asking.
bool ReadGraphSamples(GraphReadKind kind, bool listen);

} // namespace zorvan::link
