#pragma once

// Raw bytes over TCP behind the serial port interface: the port name `socket://HOST:PORT` reaches
// an instrument on another computer through a serial-to-network server there.

#include "link/serial_port.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zorvan::link {

inline constexpr char kSocketScheme[] = "socket://";

struct SocketAddress {
    std::string host; // a name, an IPv4 address, or an IPv6 address without its brackets
    std::uint16_t port = 0;
    bool operator==(const SocketAddress&) const = default;
};

// Whether the port name asks for the TCP transport.
bool isSocketName(const std::string& name);
// `socket://HOST:PORT` with HOST a name, an IPv4 address or a bracketed IPv6 address and PORT
// 1..65535; nothing for any other name.
std::optional<SocketAddress> parseSocketName(const std::string& name);

std::unique_ptr<SerialPort> makeSocketPort();

} // namespace zorvan::link
