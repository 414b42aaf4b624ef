#include "link/port_list.h"

#include <windows.h>

namespace zorvan::link {

std::vector<std::string> listComPorts() {
    constexpr int kHighestPort = 999;
    std::vector<std::string> ports;
    for (int n = 1; n <= kHighestPort; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const std::string device = "\\\\.\\" + name;
        HANDLE handle = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
            ports.push_back(name);
            continue;
        }
        // A port that is open already refuses a second opener: it exists all the same.
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED) {
            ports.push_back(name);
        }
    }
    return ports;
}

} // namespace zorvan::link
