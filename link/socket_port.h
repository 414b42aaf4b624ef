#pragma once

// Bytes over TCP behind the serial port interface: a port name with a network scheme reaches an
// instrument on another computer through a serial-to-network server there.

#include "link/serial_port.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zorvan::link {

inline constexpr char kSocketScheme[] = "socket://";
inline constexpr char kRfc2217Scheme[] = "rfc2217://";

struct SocketAddress {
    std::string host; // a name, an IPv4 address, or an IPv6 address without its brackets
    std::uint16_t port = 0;
    bool operator==(const SocketAddress&) const = default;
};

enum class NetworkTransport {
    RawTcp,  // the line's bytes as they are
    Rfc2217, // Telnet, with the line's settings sent by the COM-PORT-OPTION
};

// The network transport the port name asks for by its scheme; nothing for a local port's name.
std::optional<NetworkTransport> networkTransportOf(const std::string& name);
// `socket://HOST:PORT` or `rfc2217://HOST:PORT` with HOST a name, an IPv4 address or a bracketed
// IPv6 address and PORT 1..65535; nothing for any other name.
std::optional<SocketAddress> parseSocketName(const std::string& name);

std::unique_ptr<SerialPort> makeSocketPort();

} // namespace zorvan::link
