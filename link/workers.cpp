#include "link/workers.h"

#include "link/com_port.h"
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/line_flags.h"
#include "link/version_read.h"
#include "link/worker_threads.h"

#include <mutex>

namespace zorvan::link {
namespace {

constexpr std::uint32_t kPanelBytes = 7;
constexpr int kVersionEvery = 30;

std::mutex reportsMutex;
WorkerReports reports; // guarded by reportsMutex: the windows replace it while workers may run

// Calls a copy of the hook, so that a window taking its hooks away never pulls one from under
// a worker that is calling it.
template <typename Hook, typename... Args> void report(Hook WorkerReports::*which, Args... args) {
    Hook hook;
    {
        const std::lock_guard lock(reportsMutex);
        hook = reports.*which;
    }
    if (hook) {
        hook(args...);
    }
}

std::uint8_t addressOf(int device) {
    return static_cast<std::uint8_t>(deviceAddress[device]);
}

bool present(int device) {
    return device == 0 || deviceAddress[device] != 0;
}

void readPanel(int device) {
    if (ReadData(kDataReadBits | addressOf(device), kPanelCode, kPanelBytes,
                 displayAnswer[device].data())) {
        pollFresh[device].store(true, std::memory_order_release);
    } else {
        pollFailed[device].store(true, std::memory_order_release);
    }
}

void KeyPressWorker(std::int32_t keyCode) {
    std::uint32_t device = activeDevice;
    if (!takeFlag(keyCommandBusy)) {
        keyCommandFailed = true;
        report(&WorkerReports::keyPressFinished, device);
        return;
    }
    {
        const auto line = takeLine();
        device = activeDevice;
        const std::uint8_t address = addressOf(static_cast<int>(device));
        // The instrument only takes the key once it is told the press has ended.
        const bool done = line.owns_lock() &&
                          SendCommand(address, kKeyCode, static_cast<std::uint8_t>(keyCode)) &&
                          SendCommand(address, kServiceCode, kKeyReleased);
        if (!done) {
            keyCommandFailed = true;
        }
    }
    keyCommandBusy = false;
    report(&WorkerReports::keyPressFinished, device);
}

void DigitalOutWorker(std::int32_t parameter) {
    std::uint32_t device = activeDevice;
    if (!takeFlag(keyCommandBusy)) {
        digitalOutFailed = true;
        report(&WorkerReports::digitalOutFinished, device);
        return;
    }
    {
        const auto line = takeLine();
        device = activeDevice;
        if (!line.owns_lock() || !SendCommand(addressOf(static_cast<int>(device)), kDigitalOutCode,
                                              static_cast<std::uint8_t>(parameter))) {
            digitalOutFailed = true;
        }
    }
    keyCommandBusy = false;
    report(&WorkerReports::digitalOutFinished, device);
}

void CommandWorker(std::int32_t address, std::int32_t code, std::int32_t parameter,
                   std::uint32_t device) {
    if (!takeFlag(commandBusy)) {
        report(&WorkerReports::commandFinished, device, code, parameter, false);
        return;
    }
    bool acknowledged = false;
    {
        const auto line = takeLine();
        acknowledged = line.owns_lock() && SendCommand(static_cast<std::uint8_t>(address),
                                                       static_cast<std::uint8_t>(code),
                                                       static_cast<std::uint8_t>(parameter));
    }
    report(&WorkerReports::commandFinished, device, code, parameter, acknowledged);
    commandBusy = false;
}

// A port found again after its device went away is taken into use as at start: the keyboard
// of instrument 1 unlocked and, under the program's control, its output switched off.
bool portReadyForPoll() {
    const PortReadiness port = ReadyComPort();
    if (port == PortReadiness::Reopened) {
        SendCommand(addressOf(0), kServiceCode, kUnlockKeyboard);
        if (digitalOutAllowed) {
            SendCommand(addressOf(0), kDigitalOutCode, kOutputOff);
        }
    }
    return port != PortReadiness::Lost;
}

void pollInstruments() {
    const int cycle = pollCount.fetch_add(1);
    // The version label of instrument 1 is empty exactly while its version is unknown: the
    // display refresh zeroes it after a lost connection.
    if (cycle % kVersionEvery == 0 || FirstVersionUnknown()) {
        for (int device = 0; device < kDeviceCount; ++device) {
            if (present(device)) {
                ReadVersion(device);
            }
        }
    }
    for (int device = 0; device < kDeviceCount; ++device) {
        if (present(device)) {
            readPanel(device);
        }
    }
}

void reportEveryInstrumentFailed() {
    for (int device = 0; device < kDeviceCount; ++device) {
        if (present(device)) {
            pollFailed[device].store(true, std::memory_order_release);
        }
    }
}

} // namespace

void setWorkerReports(WorkerReports newReports) {
    const std::lock_guard lock(reportsMutex);
    reports = std::move(newReports);
}

bool pollMayStart() {
    return !pollInProgress && !keyCommandBusy && !commandBusy;
}

void PollWorker() {
    {
        const auto line = takeLine();
        if (line.owns_lock()) {
            if (portReadyForPoll()) {
                pollInstruments();
            } else {
                // A turn without a port still counts: the panels are drawn with the error.
                ++pollCount;
                reportEveryInstrumentFailed();
            }
            CloseComPortIfGone();
        }
    }
    pollInProgress = false;
    report(&WorkerReports::pollFinished);
}

bool StartPoll() {
    pollInProgress = true;
    if (!tryStartWorker(PollWorker)) {
        pollInProgress = false;
        return false;
    }
    return true;
}

void StartKeyPress(std::int32_t keyCode) {
    if (!startWorker([keyCode] { KeyPressWorker(keyCode); })) {
        keyCommandFailed = true;
        report(&WorkerReports::keyPressFinished, activeDevice.load());
    }
}

void StartDigitalOut(std::int32_t parameter) {
    if (!startWorker([parameter] { DigitalOutWorker(parameter); })) {
        digitalOutFailed = true;
        report(&WorkerReports::digitalOutFinished, activeDevice.load());
    }
}

void StartCommand(std::int32_t address, std::int32_t code, std::int32_t parameter,
                  std::uint32_t device) {
    if (!startWorker([=] { CommandWorker(address, code, parameter, device); })) {
        report(&WorkerReports::commandFinished, device, code, parameter, false);
    }
}

} // namespace zorvan::link
