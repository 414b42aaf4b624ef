#pragma once

// A simulated bus on a pseudo-terminal with the process's port opened on it: what every test
// that talks to an instrument stands on.

#include "link/com_port.h"
#include "sim/bus.h"
#include "sim/pty_server.h"

#include <memory>
#include <string>
#include <vector>

namespace zorvan::testing {

class SimulatedLine {
public:
    // Serves the bus on a new pty and points comPortName at it; the port is not opened yet.
    explicit SimulatedLine(int baud = 0);
    ~SimulatedLine();

    // Opens the process's port on the pty with the given read time-out.
    bool open(std::int32_t readTimeoutMs = 200);

    sim::InstrumentHandle add(std::uint8_t address, sim::VersionBytes version);
    sim::InstrumentHandle instrument(std::uint8_t address) { return bus.instrument(address); }

    // Every request frame received so far, oldest first.
    std::vector<std::vector<std::uint8_t>> frames() const;
    // Requests that started within the quiet gap after an answer.
    std::vector<sim::TimingViolation> timingViolations() const { return bus.timingViolations(); }

    sim::Bus bus;
    std::unique_ptr<sim::PtyServer> server;
    std::vector<link::PortFailure> failures; // what OpenComPort reported
};

// The 4-byte request a master sends, built by the simulator's reading of the protocol, for
// comparing with the recorded traffic.
std::vector<std::uint8_t> request(std::uint8_t address, std::uint8_t code, std::uint8_t parameter);

} // namespace zorvan::testing
