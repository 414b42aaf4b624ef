#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace zorvan::sim {

namespace {

// The bus of the demo: a "4.3" instrument at 10 and an "8.0" instrument at 11.
const std::vector<InstrumentOption> kDefaultInstruments{
    {10, {10, 43, 5, 7}},
    {11, {10, 80, 1, 2}},
};

constexpr std::uint8_t kGarbageByte = 0xFF;

template <typename Number> std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint8_t> parseByte(std::string_view text) {
    const auto value = parseNumber<unsigned>(text);
    if (!value || *value > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value);
}

std::optional<std::uint8_t> parseAddress(std::string_view text) {
    const auto address = parseByte(text);
    if (!address || *address == 0 || *address > kAddressMask) {
        return std::nullopt;
    }
    return address;
}

// ADDR:V0,V1,V2,V3
std::optional<InstrumentOption> parseInstrument(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto address = parseAddress(text.substr(0, colon));
    if (!address) {
        return std::nullopt;
    }
    InstrumentOption instrument{*address, {}};
    std::string_view rest = text.substr(colon + 1);
    for (std::size_t i = 0; i < instrument.version.size(); ++i) {
        const auto comma = rest.find(',');
        const auto byte = parseByte(rest.substr(0, comma));
        const bool last = i + 1 == instrument.version.size();
        if (!byte || last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        instrument.version[i] = *byte;
        rest = last ? std::string_view{} : rest.substr(comma + 1);
    }
    return instrument;
}

// NAME or NAME=VALUE, added to `faults`.
bool applyFault(std::string_view text, Faults& faults) {
    const auto equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : text.substr(equals + 1);
    const auto count = parseNumber<int>(value);
    const bool hasCount = count && *count >= 0;
    if (name == "silent" && value.empty()) {
        faults.silent = true;
    } else if (name == "bad-checksum" && value.empty()) {
        faults.corruptChecksum = true;
    } else if (name == "delay" && hasCount) {
        faults.answerDelay = std::chrono::milliseconds(*count);
    } else if (name == "drop-every" && hasCount) {
        faults.dropEveryNth = *count;
    } else if (name == "drop-next" && hasCount) {
        faults.dropNext = *count;
    } else if (name == "truncate" && hasCount) {
        faults.truncateBy = *count;
    } else if (name == "garbage" && hasCount) {
        faults.leadingGarbage.assign(static_cast<std::size_t>(*count), kGarbageByte);
    } else if (name == "flash-fail") {
        const auto comma = value.find(',');
        const auto page = parseByte(value.substr(0, comma));
        const auto result = comma == std::string_view::npos
                                ? std::optional<std::uint8_t>{kPageSequenceError}
                                : parseByte(value.substr(comma + 1));
        if (!page || !result || *result == 0) {
            return false;
        }
        faults.failingPages[*page] = *result;
    } else {
        return false;
    }
    return true;
}

SimOptionsResult refuse(std::string error) {
    return SimOptionsResult{false, std::move(error), {}};
}

bool isListed(const std::vector<InstrumentOption>& instruments, std::uint8_t address) {
    return std::any_of(instruments.begin(), instruments.end(),
                       [&](const InstrumentOption& i) { return i.address == address; });
}

} // namespace

SimOptionsResult parseSimOptions(const std::vector<std::string>& arguments) {
    SimOptions options;
    std::vector<std::string_view> faultTexts;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return SimOptionsResult{true, {}, options};
        }
        if (option == "--listen-master") {
            options.listenMaster = true;
            continue;
        }
        if (i + 1 == arguments.size()) {
            return refuse(option + ": unknown option or missing value");
        }
        const std::string& value = arguments[++i];
        if (option == "--link") {
            options.linkPath = value;
        } else if (option == "--instrument") {
            const auto instrument = parseInstrument(value);
            if (!instrument) {
                return refuse("--instrument " + value + ": expected ADDR:V0,V1,V2,V3");
            }
            options.instruments.push_back(*instrument);
        } else if (option == "--baud") {
            const auto baud = parseNumber<int>(value);
            if (!baud || *baud <= 0) {
                return refuse("--baud " + value + ": expected a positive number");
            }
            options.baud = *baud;
        } else if (option == "--fault") {
            faultTexts.push_back(value);
        } else if (option == "--record") {
            options.recordPath = value;
        } else {
            return refuse(option + ": unknown option");
        }
    }
    if (options.instruments.empty()) {
        options.instruments = kDefaultInstruments;
    }
    for (const std::string_view text : faultTexts) {
        const auto colon = text.find(':');
        const auto address = parseAddress(text.substr(0, colon));
        if (colon == std::string_view::npos || !address ||
            !applyFault(text.substr(colon + 1), options.faults[*address])) {
            return refuse("--fault " + std::string(text) + ": see --help for the fault names");
        }
        if (!isListed(options.instruments, *address)) {
            return refuse("--fault " + std::string(text) + ": no instrument at that address");
        }
    }
    return SimOptionsResult{true, {}, options};
}

std::string simUsage() {
    return R"(Usage: zorvan-sim [options]
Simulates Zorvan 4X, 8X instruments on one serial line, served on a pseudo-terminal.
Runs until interrupted (SIGINT or SIGTERM).

Options:
  --link PATH              create a symbolic link PATH to the pseudo-terminal
                           (without it the device path is printed)
  --instrument ADDR:V0,V1,V2,V3
                           an instrument at address ADDR (1..63) with these four
                           version bytes; repeat for more instruments. Default:
                           10:10,43,5,7 and 11:10,80,1,2
  --baud N                 pace the line at N bit/s (10 bits per byte);
                           default: answer at once
  --fault ADDR:FAULT       switch on a fault of the instrument at ADDR; repeatable:
                             silent            never answers
                             delay=MS          answers MS milliseconds late
                             drop-every=N      loses every N-th answer
                             drop-next=K       loses the next K answers
                             bad-checksum      answers with a wrong checksum
                             truncate=K        answers K bytes short
                             garbage=K         sends K bytes 0xFF before each answer
                             flash-fail=PAGE[,RESULT]
                                               FLASH page PAGE does not burn: its page
                                               result is RESULT (default 1)
  --listen-master          play a second master: once a second put a code-149
                           request for the first instrument and its answer on the line
  --record FILE            write every request the instruments receive to FILE as it
                           arrives, one line each: the microseconds since the start
                           at its last byte, then its bytes in hex
  --help, -h               show this text
)";
}

} // namespace zorvan::sim
