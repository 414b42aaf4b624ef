#include "link/com_port.h"

#include "link/device_state.h"

#include <algorithm>
#include <atomic>

namespace zorvan::link {
namespace {

// Mirrors whether comPortHandle is open, so that asking does not wait for an exchange on the line.
std::atomic<bool> handleOpen{false};
// Set while the port is closed because its device went away; cleared by every deliberate open
// or close.
std::atomic<bool> portLost{false};

// What the last open was asked for; guarded by comPortMutex. A reopen after the device went away
// uses these, not the settings the user-interface thread may be changing meanwhile.
struct PortSetup {
    std::string name;
    std::int32_t baudRate = 0;
    std::int32_t readTimeoutMs = 0;
};
PortSetup lastSetup;

// Replaces the handle by a new one opened as `setup` says; the caller holds comPortMutex.
OpenResult openHandle(const PortSetup& setup) {
    // A forgotten close by a caller must not leak the previous port or keep it locked.
    if (comPortHandle) {
        comPortHandle->close();
    }
    comPortHandle = makeSerialPort(setup.name);
    const OpenResult result = comPortHandle->open(setup.name);
    handleOpen = comPortHandle->isOpen();
    return result;
}

bool setUpLine(const PortSetup& setup) {
    return comPortHandle->setLineFormat(setup.baudRate) &&
           comPortHandle->setReadTimeout(setup.readTimeoutMs);
}

PortFailure openFailure(const OpenResult& result) {
    switch (result.status) {
    case OpenStatus::NotFound:
        return {PortFailureKind::NotFound, comPortName};
    case OpenStatus::Busy:
        return {PortFailureKind::Busy, comPortName};
    default:
        return {PortFailureKind::OtherError, comPortName, result.systemCode};
    }
}

} // namespace

bool OpenComPort(std::int32_t readTimeoutMs, const PortFailureSink& reportFailure) {
    if (comPortName.empty()) {
        reportFailure({PortFailureKind::NoName, comPortName});
        return false;
    }
    const std::lock_guard lock(comPortMutex);
    portLost = false;
    lastSetup = {comPortName, baudRate, readTimeoutMs};
    const OpenResult result = openHandle(lastSetup);
    if (result.status != OpenStatus::Opened) {
        reportFailure(openFailure(result));
        return false;
    }
    if (!setUpLine(lastSetup)) {
        reportFailure({PortFailureKind::SetupFailed, comPortName});
        return false;
    }
    return true;
}

void AbandonReads() {
    readsAbandoned = true;
}

void CloseComPort() {
    const std::lock_guard lock(comPortMutex);
    if (comPortHandle) {
        comPortHandle->close();
    }
    handleOpen = false;
    portLost = false;
}

bool CloseComPortIfGone() {
    const std::lock_guard lock(comPortMutex);
    if (!comPortHandle || !comPortHandle->isOpen() || !comPortHandle->deviceGone()) {
        return false;
    }
    comPortHandle->close();
    handleOpen = false;
    portLost = true;
    return true;
}

bool comPortLost() {
    return portLost;
}

PortReadiness ReadyComPort() {
    const std::lock_guard lock(comPortMutex);
    if (!portLost) {
        return PortReadiness::Ready;
    }
    if (openHandle(lastSetup).status != OpenStatus::Opened || !setUpLine(lastSetup)) {
        comPortHandle->close();
        handleOpen = false;
        return PortReadiness::Lost;
    }
    portLost = false;
    return PortReadiness::Reopened;
}

std::size_t ReadFollowingBytes(std::uint8_t* bytes, std::size_t maxCount) {
    // Two bytes' time at ten bits a byte, rounded up to the whole milliseconds the ports count in.
    const std::int32_t quietMs = 1 + 2 * 10 * 1000 / std::max<std::int32_t>(lastSetup.baudRate, 1);
    comPortHandle->setReadTimeout(quietMs);
    std::size_t received = 0;
    while (received < maxCount) {
        const std::size_t got = comPortHandle->read(bytes + received, maxCount - received);
        if (got == 0) {
            break;
        }
        received += got;
    }
    comPortHandle->setReadTimeout(lastSetup.readTimeoutMs);
    return received;
}

bool comPortOpen() {
    return handleOpen;
}

void DiscardReceived() {
    const std::lock_guard lock(comPortMutex);
    if (comPortHandle && comPortHandle->isOpen()) {
        comPortHandle->purgeReceive();
    }
}

} // namespace zorvan::link
