#pragma once

// The port name `rfc2217://HOST:PORT`: Telnet over TCP with the COM-PORT-OPTION, which carries the
// line's settings to the server's own serial port, so the speed set here is the line's speed there.

#include "link/serial_port.h"

#include <memory>

namespace zorvan::link {

// A port that speaks Telnet over `carrier`, a raw TCP port opened with the same name.
std::unique_ptr<SerialPort> makeRfc2217Port(std::unique_ptr<SerialPort> carrier);

} // namespace zorvan::link
