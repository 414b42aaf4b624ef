#include "tests/support/ser2net_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zorvan::testing {

namespace {

constexpr char kSer2net[] = "/usr/sbin/ser2net";

std::string accepter(NetworkPortKind kind, std::uint16_t port, Ser2netTuning tuning) {
    const std::string tcp = (tuning == Ser2netTuning::QuickAnswers ? "tcp(nodelay)" : "tcp") +
                            std::string(",127.0.0.1,") + std::to_string(port);
    return kind == NetworkPortKind::Rfc2217 ? "telnet(rfc2217)," + tcp : tcp;
}

} // namespace

bool ser2netInstalled() {
    return ::access(kSer2net, X_OK) == 0;
}

std::uint16_t freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool listening(std::uint16_t port) {
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    std::string line;
    while (std::getline(table, line)) {
        constexpr char kListen[] = " 0A ";
        if (line.find(local) != std::string::npos && line.find(kListen) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string networkPortName(NetworkPortKind kind, std::uint16_t port) {
    const char* scheme = kind == NetworkPortKind::Rfc2217 ? "rfc2217://" : "socket://";
    return scheme + std::string("127.0.0.1:") + std::to_string(port);
}

Ser2netServer::Ser2netServer(const std::string& device, std::uint16_t port, NetworkPortKind kind,
                             int baud, Ser2netTuning tuning)
    : port_(port), kind_(kind) {
    char folder[] = "/tmp/zorvan-ser2net-XXXXXX";
    folder_ = ::mkdtemp(folder);
    // local: no modem control lines, which a pty does not have.
    std::ofstream config(folder_ / "ser2net.yaml");
    config << "connection: &instruments\n"
           << "  accepter: " << accepter(kind, port, tuning) << "\n"
           << "  connector: serialdev," << device << "," << baud << "n81,local\n";
    if (tuning == Ser2netTuning::QuickAnswers) {
        config << "  options:\n    chardelay: false\n";
    }
}

Ser2netServer::~Ser2netServer() {
    stop();
    std::filesystem::remove_all(folder_);
}

bool Ser2netServer::start() {
    using namespace std::chrono_literals;
    const std::string config = (folder_ / "ser2net.yaml").string();
    const std::string log = (folder_ / "ser2net.log").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        // -u: no UUCP lock file, which a killed server would leave behind.
        ::execl(kSer2net, "ser2net", "-n", "-u", "-c", config.c_str(), nullptr);
        ::_exit(127);
    }
    for (int i = 0; i < 500 && pid_ > 0; ++i) {
        if (listening(port_)) {
            return true;
        }
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

void Ser2netServer::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

} // namespace zorvan::testing
