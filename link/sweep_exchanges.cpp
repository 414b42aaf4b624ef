#include "link/sweep_exchanges.h"

#include "link/com_port.h"
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/frame.h"

#include <chrono>
#include <thread>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kModeNormal = 0;
constexpr std::uint32_t kSetValueBytes = 2;
constexpr std::uint32_t kHumidityBytes = 3;
// The instrument needs this between the writes of one set value.
constexpr auto kWriteGap = 20ms;
// A refused take-over or restart is tried again after this.
constexpr auto kRetryGap = 100ms;

std::uint8_t firstAddress() {
    return static_cast<std::uint8_t>(deviceAddress[0]);
}

// Sends a service command and, when it is not acknowledged, once more after a pause; true when
// one of them was acknowledged.
bool sendWithOneRetry(std::uint8_t parameter) {
    if (SendCommand(firstAddress(), kServiceCode, parameter)) {
        return true;
    }
    std::this_thread::sleep_for(kRetryGap);
    return SendCommand(firstAddress(), kServiceCode, parameter);
}

} // namespace

SweepPreparation PrepareSweep() {
    std::this_thread::sleep_for(kWriteGap);
    DiscardReceived();
    SweepPreparation result;
    if (deviceModeState != kModeNormal) {
        if (!SendCommand(firstAddress(), kModeCode, kModeNormal)) {
            return result;
        }
        deviceModeState = kModeNormal;
        std::this_thread::sleep_for(kRetryGap);
    }
    std::uint8_t answer[kSetValueBytes + 3]{};
    if (!ReadData(kRegisterReadBits | firstAddress(), kSetValueCode, kSetValueBytes, answer)) {
        return result;
    }
    result.deviceReady = true;
    result.initialSetValue = static_cast<std::uint16_t>(answer[2] | (answer[3] << 8));
    return result;
}

bool WriteSetValue(std::int32_t value) {
    const std::uint8_t address = kWriteBits | firstAddress();
    SendCommand(address, kSetValueCode, static_cast<std::uint8_t>(value & 0xFF));
    std::this_thread::sleep_for(kWriteGap);
    SendCommand(address, kSetValueHighCode, static_cast<std::uint8_t>((value >> 8) & 0xFF));
    std::this_thread::sleep_for(kWriteGap);
    return sendWithOneRetry(kApplySetValue);
}

void StartSweep(std::int32_t startValue) {
    DiscardReceived();
    WriteSetValue(startValue);
    DiscardReceived();
}

std::optional<std::int32_t> ReadSweepHumidity() {
    std::uint8_t answer[kHumidityBytes + 3]{};
    if (!ReadData(kDataReadBits | firstAddress(), kSampleCode, kHumidityBytes, answer)) {
        return std::nullopt;
    }
    const std::int32_t sample = decodeSigned24(answer + 2);
    graphSample1 = sample;
    return sample;
}

bool EndSweep(std::uint16_t initialSetValue, bool restart) {
    const bool taken = WriteSetValue(initialSetValue);
    std::this_thread::sleep_for(kWriteGap);
    if (restart) {
        return sendWithOneRetry(kRestart) && taken;
    }
    return taken;
}

} // namespace zorvan::link
