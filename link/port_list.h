#pragma once

// The serial ports of a Windows machine by name, for the connection settings' port list.
// Built on Windows only; elsewhere the list comes from the system's device folder.

#include <string>
#include <vector>

namespace zorvan::link {

// "COM1" .. "COM999" that exist, in number order, those held open by another program or by
// this one included.
std::vector<std::string> listComPorts();

} // namespace zorvan::link
