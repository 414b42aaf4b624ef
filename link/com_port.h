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

// Why the port could not be used; the windows put it into words.
enum class PortFailureKind {
    NoName,      // no port name in the settings: the system was not asked
    NotFound,    // no such port
    Busy,        // another program holds it
    OtherError,  // any other refusal, with the system's error code
    SetupFailed, // opened, but the line settings were refused
};

struct PortFailure {
    PortFailureKind kind = PortFailureKind::NoName;
    std::string portName;
    int systemCode = 0; // OtherError only
};
using PortFailureSink = std::function<void(const PortFailure&)>;

// Opens comPortName at baudRate with the given read time-out. On failure it hands the reason to
// the sink and returns false; after a failed line setup the port stays open.
bool OpenComPort(std::int32_t readTimeoutMs, const PortFailureSink& reportFailure);

// The program ends: the read in flight stops waiting, and from now on every exchange still sends
// its request but takes only the answer bytes already there. So the keyboard unlock still goes
// out, and a silent instrument no longer holds the process for its read time-outs.
void AbandonReads();

// Closes the port once the exchange on the line, if any, has finished.
void CloseComPort();

// Takes the bytes that come straight after an answer, each within two bytes' time of the one
// before, up to maxCount; the caller holds comPortMutex and has an open port.
std::size_t ReadFollowingBytes(std::uint8_t* bytes, std::size_t maxCount);

// Whether the port handle is open; answers at once, also while an exchange is on the line.
bool comPortOpen();

// Reconnecting after the device went away (a pulled USB adapter). The poll closes such a port
// and, at each of its turns, tries to open the same name with the same settings again. A port
// closed on purpose (CloseComPort, a failed OpenComPort) is never reopened this way.

// Closes the port when its device went away; true when it did.
bool CloseComPortIfGone();
// The port was closed because its device went away and waits to be opened again.
bool comPortLost();

enum class PortReadiness {
    Ready,    // it was not lost (a port closed on purpose stays closed)
    Reopened, // it was lost and is open again: the instruments may have restarted meanwhile
    Lost,     // it is still lost
};
// Readies the port for a job's exchanges: a lost port is opened again, once, with the name,
// speed and read time-out it had.
PortReadiness ReadyComPort();

// Drops whatever the instruments sent that nobody read, once the line is quiet.
void DiscardReceived();

} // namespace zorvan::link
