#include "tests/support/simulated_line.h"

#include "link/device_state.h"

#include <stdexcept>

namespace zorvan::testing {

SimulatedLine::SimulatedLine(int baud) {
    sim::PtyServerOptions options;
    options.baud = baud;
    server = sim::PtyServer::start(bus, options);
    if (!server) {
        throw std::runtime_error("no pseudo-terminal for the simulated line");
    }
    link::comPortName = server->path();
    link::baudRate = 9600;
}

SimulatedLine::~SimulatedLine() {
    link::CloseComPort();
    server.reset();
}

bool SimulatedLine::open(std::int32_t readTimeoutMs) {
    link::readTotalTimeoutConstant = readTimeoutMs;
    return link::OpenComPort(
        readTimeoutMs, [this](const link::PortFailure& failure) { failures.push_back(failure); });
}

sim::InstrumentHandle SimulatedLine::add(std::uint8_t address, sim::VersionBytes version) {
    return bus.addInstrument(address, version);
}

std::vector<std::vector<std::uint8_t>> SimulatedLine::frames() const {
    std::vector<std::vector<std::uint8_t>> result;
    for (const auto& record : server->traffic()) {
        result.push_back(record.bytes);
    }
    return result;
}

std::vector<std::uint8_t> request(std::uint8_t address, std::uint8_t code, std::uint8_t parameter) {
    return sim::buildRequest(address, code, parameter);
}

} // namespace zorvan::testing
