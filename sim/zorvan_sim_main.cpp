// zorvan-sim: the simulated instruments alone on a pseudo-terminal, for the real program or any
// other serial tool.

#include "sim/bus.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <pthread.h>
#include <thread>

using namespace zorvan::sim;

namespace {

// Appends each request of the server's traffic record to a file as it arrives: the
// microseconds from `origin` to its last byte, then its bytes in hex, flushed line by line so
// that another program can follow the file while the line runs.
class TrafficFile {
public:
    TrafficFile(const PtyServer& server, std::ofstream file, Clock::time_point origin)
        : file_(std::move(file)), thread_([this, &server, origin] { follow(server, origin); }) {}
    ~TrafficFile() {
        stopping_ = true;
        thread_.join();
    }

private:
    void follow(const PtyServer& server, Clock::time_point origin) {
        std::size_t written = 0;
        while (!stopping_) {
            if (!server.waitForTraffic(written + 1, std::chrono::milliseconds(50))) {
                continue;
            }
            const auto traffic = server.traffic();
            for (; written < traffic.size(); ++written) {
                const auto& record = traffic[written];
                file_ << std::dec
                      << std::chrono::duration_cast<std::chrono::microseconds>(record.at - origin)
                             .count();
                for (const std::uint8_t byte : record.bytes) {
                    file_ << ' ' << std::hex << std::uppercase << std::setw(2) << std::setfill('0')
                          << static_cast<int>(byte);
                }
                file_ << '\n';
            }
            file_.flush();
        }
    }

    std::ofstream file_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace

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
    const Clock::time_point started = Clock::now();
    std::ofstream recordFile;
    if (!options.recordPath.empty()) {
        recordFile.open(options.recordPath, std::ios::trunc);
        if (!recordFile) {
            std::cerr << "zorvan-sim: cannot write the record " << options.recordPath << ": "
                      << std::strerror(errno) << '\n';
            return 1;
        }
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
    std::unique_ptr<TrafficFile> record;
    if (recordFile.is_open()) {
        record = std::make_unique<TrafficFile>(*server, std::move(recordFile), started);
    }

    int signal = 0;
    sigwait(&stopSignals, &signal);
    record.reset();
    server.reset();
    std::cout << "zorvan-sim: stopped" << std::endl;
    return 0;
}
