#include "link/serial_port.h"

#include "link/local_serial_port.h"
#include "link/rfc2217_port.h"
#include "link/socket_port.h"

namespace zorvan::link {

std::unique_ptr<SerialPort> makeSerialPort(const std::string& name) {
    const auto transport = networkTransportOf(name);
    if (!transport) {
        return makeLocalSerialPort();
    }
    return *transport == NetworkTransport::Rfc2217 ? makeRfc2217Port(makeSocketPort())
                                                   : makeSocketPort();
}

} // namespace zorvan::link
