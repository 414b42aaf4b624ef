#pragma once

// The computer's own serial port (termios or Win32), for a port name without a scheme.

#include "link/serial_port.h"

#include <memory>

namespace zorvan::link {

std::unique_ptr<SerialPort> makeLocalSerialPort();

} // namespace zorvan::link
