#pragma once

// The one serial port of the process and the routine that opens it with the user's settings.

#include "link/serial_port.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace zorvan::link {

// Guards comPortHandle; every exchange holds it from its first pause to its last read, so the
// bytes of two exchanges never interleave on the line.
inline std::mutex comPortMutex;
inline std::unique_ptr<SerialPort> comPortHandle;

// A failure text for the indicator's message label, with the label's font size and geometry.
struct PortMessage {
    std::string text;
    int fontSize = 0;
    int top = 0;
    int height = 0;
};
using PortMessageSink = std::function<void(const PortMessage&)>;

// Opens comPortName at baudRate with the given read time-out. On failure it hands the message
// to the sink and returns false; after a failed line setup the port stays open.
bool OpenComPort(std::int32_t readTimeoutMs, const PortMessageSink& showMessage);

// Closes the port once the exchange on the line, if any, has finished.
void CloseComPort();

// Whether the port handle is open; answers at once, also while an exchange is on the line.
bool comPortOpen();

// Drops whatever the instruments sent that nobody read, once the line is quiet.
void DiscardReceived();

} // namespace zorvan::link
