#include "link/exchange.h"

#include "link/answer_check.h"
#include "link/com_port.h"
#include "link/device_state.h"
#include "link/frame.h"

#include <chrono>
#include <thread>
#include <vector>

namespace zorvan::link {
namespace {

LinePacing pacing; // guarded by comPortMutex
constexpr int kReadAttempts = 10;
constexpr int kListenAttempts = 2;

// A worker that owns or waits for the line wants it soon, or the program ends: a running
// exchange then gives up after the attempt under way instead of retrying.
bool commandWaiting() {
    return keyCommandBusy || commandBusy || readsAbandoned;
}

// Reads until `missing` bytes arrived or the attempts are used up; returns the count read.
// The caller holds comPortMutex.
std::size_t readAnswer(std::uint8_t* answer, std::size_t missing, int attempts) {
    if (commandWaiting()) {
        attempts = 1;
    }
    std::size_t received = 0;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        std::this_thread::sleep_for(pacing.beforeRead);
        received += comPortHandle->read(answer + received, missing - received);
        if (received == missing) {
            break;
        }
        if (commandWaiting()) {
            attempts = 1;
        }
    }
    return received;
}

void sendRequest(const std::uint8_t* bytes, std::size_t count) {
    std::this_thread::sleep_for(pacing.beforeRequest);
    comPortHandle->purgeReceive();
    comPortHandle->write(bytes, count);
    std::this_thread::sleep_for(pacing.afterRequest);
}

// Whether the bytes straight after a data answer that passed its check close another answer of
// its length: then the one read was garbage and that answer's head. The caller holds comPortMutex.
bool shiftedByGarbage(const std::uint8_t* answer, std::uint32_t n) {
    const std::size_t size = std::size_t{n} + 3;
    // Room for garbage longer than an answer; a line that babbles on is not listened to for ever.
    std::vector<std::uint8_t> line(answer, answer + size);
    line.resize(4 * size);
    const std::size_t following = ReadFollowingBytes(line.data() + size, line.size() - size);
    return answerClosedBehind(line.data(), following, n);
}

bool portUsable() {
    return comPortHandle && comPortHandle->isOpen();
}

} // namespace

void setLinePacing(const LinePacing& newPacing) {
    const std::lock_guard lock(comPortMutex);
    pacing = newPacing;
}

bool SendCommand(std::uint8_t address, std::uint8_t code, std::uint8_t parameter) {
    const Request request = buildRequest(address, code, parameter);
    const std::lock_guard lock(comPortMutex);
    if (!portUsable()) {
        return false;
    }
    sendRequest(request.data(), request.size());
    std::uint8_t answer[2]{};
    const std::size_t received = readAnswer(answer, sizeof answer, kReadAttempts);
    return acknowledgementValid(answer, received, request[3]);
}

bool ReadData(std::uint8_t address, std::uint8_t code, std::uint32_t n, std::uint8_t* answer) {
    const Request request = buildRequest(address, code, static_cast<std::uint8_t>(n - 1));
    const std::lock_guard lock(comPortMutex);
    if (!portUsable()) {
        return false;
    }
    sendRequest(request.data(), request.size());
    const std::size_t received = readAnswer(answer, std::size_t{n} + 3, kReadAttempts);
    return dataAnswerValid(answer, received, n) && !shiftedByGarbage(answer, n);
}

bool ListenData(std::uint8_t address, std::uint8_t code, std::uint32_t n, std::uint8_t* buffer) {
    const Request expected = buildRequest(address, code, static_cast<std::uint8_t>(n - 1));
    const std::lock_guard lock(comPortMutex);
    if (!portUsable()) {
        return false;
    }
    const std::size_t received = readAnswer(buffer, std::size_t{n} + 7, kListenAttempts);
    return takeListenedAnswer(buffer, received, expected, n);
}

bool WriteBlock(std::uint8_t address, std::uint8_t code, std::uint32_t n,
                const std::uint8_t* data) {
    std::vector<std::uint8_t> request{address, code, static_cast<std::uint8_t>(n - 1)};
    request.insert(request.end(), data, data + n);
    request.push_back(FrameChecksum(request.data(), request.size()));
    const std::lock_guard lock(comPortMutex);
    if (!portUsable()) {
        return false;
    }
    sendRequest(request.data(), request.size());
    std::uint8_t answer[2]{};
    const std::size_t received = comPortHandle->read(answer, sizeof answer);
    std::this_thread::sleep_for(pacing.afterBlock);
    return blockAcknowledgementValid(answer, received, request.back());
}

} // namespace zorvan::link
