#include "link/graph_exchanges.h"

#include "link/com_port.h"
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/version_read.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;

// Instruments that report no decimals of their own: one decimal.
constexpr std::uint8_t kFixedDecimalsKind = 44;
// From this version byte on the instrument samples with command 254 and is read with code 0.
constexpr std::uint8_t kLargeSampleKind = 100;
constexpr std::uint8_t kModeNormal = 0;
constexpr std::uint8_t kModeSampling = 1;
constexpr std::uint32_t kSampleBytes = 3;
constexpr std::uint32_t kHumidityBytes = 11;

// The kind instrument 1 was prepared with; the reads and a resume keep to it whatever the panels
// come to show meanwhile.
std::atomic<std::uint8_t> preparedKind{0};

std::uint8_t firstAddress() {
    return static_cast<std::uint8_t>(deviceAddress[0]);
}

// Nothing when instrument 1 did not answer.
std::optional<std::int32_t> readDecimals(std::uint8_t kind) {
    if (kind == kFixedDecimalsKind || kind == 0) {
        return 1;
    }
    const std::uint8_t code = kind < kFirstOutputKind ? kDecimalsCode : kDecimalsCodeLarge;
    std::uint8_t answer[1 + 3]{};
    if (ReadData(kRegisterReadBits | firstAddress(), code, 1, answer)) {
        return answer[2] + 1;
    }
    return std::nullopt;
}

void setGraphDecimals(std::int32_t decimals) {
    graphDecimals = decimals;
    // A tenth per decimal, multiplied out as the instrument's own scaling does it.
    double scale = 1.0;
    for (std::int32_t i = 0; i < decimals; ++i) {
        scale *= 0.1;
    }
    graphScale = scale;
}

// Puts instrument 1 back into its normal mode when it is not known to be there; false when it
// did not acknowledge.
bool enterNormalMode() {
    std::this_thread::sleep_for(10ms);
    DiscardReceived();
    if (deviceModeState != kModeNormal) {
        if (!SendCommand(firstAddress(), kModeCode, kModeNormal)) {
            return false;
        }
        deviceModeState = kModeNormal;
    }
    std::this_thread::sleep_for(15ms);
    return true;
}

// Reads one signed sample of the instrument at `address` into `sample`.
bool readSample(std::uint8_t address, std::uint8_t modeBits, std::uint8_t code,
                std::atomic<std::int32_t>& sample) {
    std::uint8_t answer[kSampleBytes + 3]{};
    if (!ReadData(modeBits | address, code, kSampleBytes, answer)) {
        return false;
    }
    sample = decodeSigned24(answer + 2);
    return true;
}

bool readHumidity(bool listen) {
    // Room for another master's request in front of the answer when listening.
    std::uint8_t buffer[kHumidityBytes + 7]{};
    const std::uint8_t address = kDataReadBits | firstAddress();
    const bool read = listen ? ListenData(address, kHumiditySampleCode, kHumidityBytes, buffer)
                             : ReadData(address, kHumiditySampleCode, kHumidityBytes, buffer);
    if (!read) {
        return false;
    }
    const std::uint8_t* data = buffer + 2;
    graphSample3 = decodeSigned24(data);
    graphSample1 = decodeSigned24(data + 3);
    graphSample4 = decodeSigned24(data + 8);
    return true;
}

bool secondPresent() {
    return deviceAddress[1] > 0;
}

bool readDynamic() {
    const bool large = preparedKind >= kLargeSampleKind;
    if (large && deviceModeState != kModeSampling) {
        if (SendCommand(firstAddress(), kModeCode, kModeSampling)) {
            deviceModeState = kModeSampling;
        }
        if (secondPresent()) {
            SendCommand(static_cast<std::uint8_t>(deviceAddress[1]), kModeCode, kModeSampling);
        }
    }
    const std::uint8_t bits = large ? kRegisterReadBits : kDataReadBits;
    const std::uint8_t code = large ? kLargeSampleCode : kSampleCode;
    if (!readSample(firstAddress(), bits, code, graphSample1)) {
        return false;
    }
    if (secondPresent()) {
        readSample(static_cast<std::uint8_t>(deviceAddress[1]), bits, code, graphSample2);
    }
    return true;
}

// A scale guessed for an instrument that reports its decimals would put every value of a
// recording out by a power of ten, so a read lost to the line is tried again.
std::optional<std::int32_t> readDecimalsTrying(std::uint8_t kind) {
    constexpr int kTries = 3;
    for (int i = 0; i < kTries; ++i) {
        if (const auto decimals = readDecimals(kind)) {
            return decimals;
        }
    }
    return std::nullopt;
}

// Instrument 1's kind, taken once: a poll that ended as the graph opened may have found the
// instrument silent, and the panels then forget its version on the interface thread while the
// preparation runs. A graph opened before the panels found the instrument again after a lost
// connection asks the instrument itself, since the kind decides how it is read and scaled.
std::optional<std::uint8_t> firstKind() {
    if (const std::uint8_t known = versionByte1[0]; known != 0 || !FirstVersionUnknown()) {
        return known;
    }
    return ReadVersion(0);
}

} // namespace

bool PrepareGraphReads() {
    const auto kind = firstKind();
    if (!kind || !enterNormalMode()) {
        return false;
    }
    const auto decimals = readDecimalsTrying(*kind);
    if (!decimals) {
        return false;
    }
    preparedKind = *kind;
    setGraphDecimals(*decimals);
    return true;
}

bool StartGraphRequests() {
    const bool acknowledged = SendCommand(firstAddress(), kModeCode, kModeSampling);
    if (acknowledged) {
        deviceModeState = kModeSampling;
    }
    SendCommand(static_cast<std::uint8_t>(deviceAddress[1]), kModeCode, kModeSampling);
    return acknowledged;
}

bool ResumeGraphRequests() {
    if (!enterNormalMode()) {
        return false;
    }
    if (const auto decimals = readDecimalsTrying(preparedKind)) {
        setGraphDecimals(*decimals);
    }
    return StartGraphRequests();
}

bool ReadGraphSamples(GraphReadKind kind, bool listen) {
    const bool read = kind == GraphReadKind::Humidity ? readHumidity(listen) : readDynamic();
    DiscardReceived();
    return read;
}

} // namespace zorvan::link
