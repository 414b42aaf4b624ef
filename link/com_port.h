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

// The program ends: the read in flight stops waiting, and from now on every exchange still sends
// its request but takes only the answer bytes already there. So the keyboard unlock still goes
// out, and a silent instrument no longer holds the process for its read time-outs.
void AbandonReads();

// Closes the port once the exchange on the line, if any, has finished.
void CloseComPort();

// Whether the port handle is open; answers at once, also while an exchange is on the line.
bool comPortOpen();

// Reconnecting after the device went away (a pulled USB adapter). The poll closes such a port
// and, at each of its turns, tries to open the same name with the same settings again. A port
// closed on purpose (CloseComPort, a failed OpenComPort) is never reopened this way.

// Closes the port when its device went away; true when it did.
bool CloseComPortIfGone();
// The port was closed because its device went away and waits to be opened again.
bool comPortLost();
// Opens a lost port again with the name, speed and read time-out it had; true once it is open
// and set up, after which comPortLost() is false.
bool ReopenLostComPort();

// Drops whatever the instruments sent that nobody read, once the line is quiet.
void DiscardReceived();

} // namespace zorvan::link
