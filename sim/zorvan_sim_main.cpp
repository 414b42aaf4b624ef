// zorvan-sim: the simulated instruments alone on a pseudo-terminal, for the real program or any
// other serial tool.

#include "sim/bus.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <pthread.h>

using namespace zorvan::sim;

int main(int argc, char** argv) {
    const SimOptionsResult parsed = parseSimOptions({argv + 1, argv + argc});
    if (!parsed.ok) {
        std::cerr << "zorvan-sim: " << parsed.error << "\n\n" << simUsage();
        return 2;
    }
    const SimOptions& options = parsed.options;
    if (options.help) {
        std::cout << simUsage();
        return 0;
    }

    // Blocked before the server thread exists, so only sigwait() below sees the signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Bus bus;
    for (const InstrumentOption& instrument : options.instruments) {
        bus.addInstrument(instrument.address, instrument.version);
    }
    for (const auto& [address, faults] : options.faults) {
        bus.instrument(address).setFaults(faults);
    }
    PtyServerOptions serverOptions;
    serverOptions.linkPath = options.linkPath;
    serverOptions.baud = options.baud;
    if (options.listenMaster) {
        serverOptions.listenMasterAddress = options.instruments.front().address;
    }
    auto server = PtyServer::start(bus, serverOptions);
    if (!server) {
        std::cerr << "zorvan-sim: cannot serve on a pseudo-terminal"
                  << (options.linkPath.empty() ? "" : " linked at " + options.linkPath) << ": "
                  << std::strerror(errno) << '\n';
        return 1;
    }

    std::cout << "zorvan-sim: " << options.instruments.size() << " instrument(s) listening on "
              << server->path();
    if (!options.linkPath.empty()) {
        std::cout << " -> " << server->devicePath();
    }
    std::cout << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.reset();
    std::cout << "zorvan-sim: stopped" << std::endl;
    return 0;
}
