#pragma once

// A serial line behind one small interface: the computer's own port, or one on another computer
// reached over the network. The exchange routines above it never know which.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zorvan::link {

// Set while the program ends: a read waits no longer for bytes that have not come, but still
// takes those already there. A read in flight notices within kAbandonNoticeMs.
inline std::atomic<bool> readsAbandoned{false};
inline constexpr int kAbandonNoticeMs = 20;

enum class OpenStatus { Opened, NotFound, Busy, OtherError };

struct OpenResult {
    OpenStatus status = OpenStatus::OtherError;
    int systemCode = 0; // errno or GetLastError() of the failed call
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the port for exclusive use: another opener of the same port sees Busy while this
    // handle is open. The hold ends with its holder, also when that program was killed.
    virtual OpenResult open(const std::string& name) = 0;
    // 8 data bits, no parity, one stop bit, DTR and RTS off, at the given speed.
    virtual bool setLineFormat(std::int32_t baudRate) = 0;
    // Longest time one read() waits for its bytes, in milliseconds.
    virtual bool setReadTimeout(std::int32_t milliseconds) = 0;
    virtual void purgeReceive() = 0;
    virtual std::size_t write(const std::uint8_t* bytes, std::size_t count) = 0;
    // Returns what arrived, up to maxCount bytes, within the read time-out (at once while
    // readsAbandoned is set).
    virtual std::size_t read(std::uint8_t* bytes, std::size_t maxCount) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The device went away under the open handle (an adapter pulled out): nothing more can be
    // sent until the port is opened again.
    virtual bool deviceGone() const = 0;
};

// The kind of port the name asks for: `socket://HOST:PORT` is raw TCP, `rfc2217://HOST:PORT`
// Telnet with the line settings carried to the server, any other name a serial port of this
// computer. The name is then given to open().
std::unique_ptr<SerialPort> makeSerialPort(const std::string& name);

} // namespace zorvan::link
