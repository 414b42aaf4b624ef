#include "link/com_port.h"

#include "link/device_state.h"

#include <atomic>

namespace zorvan::link {
namespace {

// Mirrors whether comPortHandle is open, so that asking does not wait for an exchange on the line.
std::atomic<bool> handleOpen{false};

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

PortMessage openFailure(const OpenResult& result) {
    const std::string prefix = "Не могу открыть " + quoted(comPortName);
    switch (result.status) {
    case OpenStatus::NotFound:
        return {prefix + ",\nтакого порта не существует.\nОпрос не осуществляется.", 10, 37, 55};
    case OpenStatus::Busy:
        return {prefix + ",\nпорт занят.\nОпрос не осуществляется.", 10, 37, 55};
    default:
        return {prefix + ",\nкод ошибки: " + std::to_string(result.systemCode) +
                    ".\nОпрос не осуществляется.",
                10, 38, 54};
    }
}

PortMessage setupFailure() {
    return {"Необходимые параметры\nпорта" + quoted(comPortName) + "\nне установлены", 12, 36, 56};
}

} // namespace

bool OpenComPort(std::int32_t readTimeoutMs, const PortMessageSink& showMessage) {
    if (comPortName.empty()) {
        showMessage({"COM-порт не задан.", 14, 52, 40});
        return false;
    }
    const std::lock_guard lock(comPortMutex);
    // A forgotten close by a caller must not leak the previous port or keep it locked.
    if (comPortHandle) {
        comPortHandle->close();
    }
    comPortHandle = makeSerialPort();
    const OpenResult result = comPortHandle->open(comPortName);
    handleOpen = comPortHandle->isOpen();
    if (result.status != OpenStatus::Opened) {
        showMessage(openFailure(result));
        return false;
    }
    if (!comPortHandle->setLineFormat(baudRate) || !comPortHandle->setReadTimeout(readTimeoutMs)) {
        showMessage(setupFailure());
        return false;
    }
    return true;
}

void CloseComPort() {
    const std::lock_guard lock(comPortMutex);
    if (comPortHandle) {
        comPortHandle->close();
    }
    handleOpen = false;
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
