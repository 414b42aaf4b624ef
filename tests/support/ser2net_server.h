#pragma once

// Debian's ser2net serving a pseudo-terminal on a loopback TCP port: the other computer that
// the program's network ports (socket://, rfc2217://) reach in tests and benchmarks.

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace zorvan::testing {

// How the server offers the serial line: raw bytes, or Telnet with the COM-PORT-OPTION.
enum class NetworkPortKind { RawTcp, Rfc2217 };

// ser2net's defaults, or the settings that send a short answer on at once: no wait for more
// characters after its last one (chardelay) and no Nagle's algorithm holding it back (nodelay).
enum class Ser2netTuning { Default, QuickAnswers };

bool ser2netInstalled();

// A TCP port of this computer that nothing listens on, for a moment at least.
std::uint16_t freePort();

// Whether the system lists a socket listening on the loopback port. Asked of the system, not by
// connecting: a probe client would take the server's one client slot for a while.
bool listening(std::uint16_t port);

// The program's port name for the loopback port: socket://127.0.0.1:P or rfc2217://127.0.0.1:P.
std::string networkPortName(NetworkPortKind kind, std::uint16_t port);

// ser2net in the foreground, serving one pty on one loopback port; stopped when destroyed.
class Ser2netServer {
public:
    Ser2netServer(const std::string& device, std::uint16_t port,
                  NetworkPortKind kind = NetworkPortKind::RawTcp, int baud = 9600,
                  Ser2netTuning tuning = Ser2netTuning::Default);
    ~Ser2netServer();
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // Starts it and waits until it listens; false when it does not.
    bool start();
    void stop();

    std::uint16_t port() const { return port_; }
    std::string portName() const { return networkPortName(kind_, port_); }

private:
    std::filesystem::path folder_;
    std::uint16_t port_;
    NetworkPortKind kind_;
    pid_t pid_ = -1;
};

} // namespace zorvan::testing
