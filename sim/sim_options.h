#pragma once

// The command line of zorvan-sim.

#include "sim/faults.h"
#include "sim/instrument.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zorvan::sim {

struct InstrumentOption {
    std::uint8_t address = 0;
    VersionBytes version{};
};

struct SimOptions {
    std::string linkPath;
    std::vector<InstrumentOption> instruments; // the default bus when none is given
    int baud = 0;
    std::map<std::uint8_t, Faults> faults;
    bool listenMaster = false;
    std::string recordPath; // where to write the traffic record; empty: nowhere
    bool help = false;
};

struct SimOptionsResult {
    bool ok = false;
    std::string error; // why the command line was refused
    SimOptions options;
};

// Parses the arguments after the program name.
SimOptionsResult parseSimOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string simUsage();

} // namespace zorvan::sim
