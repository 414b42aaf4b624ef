#include "link/serial_port.h"

#include "link/local_serial_port.h"
#include "link/socket_port.h"

namespace zorvan::link {

std::unique_ptr<SerialPort> makeSerialPort(const std::string& name) {
    return isSocketName(name) ? makeSocketPort() : makeLocalSerialPort();
}

} // namespace zorvan::link
