#include "link/bounded_call.h"
#include "link/posix_wait.h"
#include "link/socket_port.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zorvan::link {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kConnectTimeout = std::chrono::seconds(3);
// A server that takes one client per port accepts a second one and closes it at once.
constexpr auto kRefusalWindow = std::chrono::milliseconds(200);

// The connection is over with one of these; only a new one can carry bytes again.
bool connectionLost(int error) {
    return error == ECONNRESET || error == EPIPE || error == ENOTCONN || error == ETIMEDOUT ||
           error == ECONNABORTED || error == EHOSTUNREACH || error == ENETUNREACH;
}

// Closes the descriptor and keeps errno for the caller.
void closeKeepingErrno(int fd) {
    const int error = errno;
    ::close(fd);
    errno = error;
}

// A non-blocking connect that gives up at the deadline; the connected descriptor, or -1 with
// errno set.
int connectBefore(const addrinfo& address, Clock::time_point deadline) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            address.ai_protocol);
    if (fd < 0) {
        return -1;
    }
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) {
        return fd;
    }
    if (errno != EINPROGRESS) {
        closeKeepingErrno(fd);
        return -1;
    }
    // A refused connect wakes the wait as well: SO_ERROR tells whether it succeeded.
    const bool finished = waitFor(fd, POLLOUT, deadline, false);
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    if (finished && error == 0) {
        return fd;
    }
    ::close(fd);
    errno = error != 0 ? error : ETIMEDOUT;
    return -1;
}

// Whether the server hangs up on the new connection at once, as one that already serves a client
// does. Bytes it sends meanwhile stay to be read.
bool closedAtOnce(int fd) {
    return waitFor(fd, POLLRDHUP, Clock::now() + kRefusalWindow, false);
}

struct Lookup {
    int status = 0;      // getaddrinfo's
    int systemError = 0; // errno when the status is EAI_SYSTEM
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> found{nullptr, ::freeaddrinfo};
};

Lookup lookUp(const std::string& host, const std::string& port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    Lookup lookup;
    lookup.status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    lookup.systemError = lookup.status == EAI_SYSTEM ? errno : 0;
    lookup.found.reset(found);
    return lookup;
}

class PosixSocketPort final : public SerialPort {
public:
    ~PosixSocketPort() override { close(); }

    OpenResult open(const std::string& name) override {
        close();
        const auto address = parseSocketName(name);
        if (!address) {
            return {OpenStatus::NotFound, 0};
        }
        // The lookup and the connect share one bound.
        const auto deadline = Clock::now() + kConnectTimeout;
        const auto lookup = callBefore<Lookup>(
            [host = address->host, port = std::to_string(address->port)] {
                return lookUp(host, port);
            },
            deadline);
        if (!lookup) {
            return {OpenStatus::OtherError, ETIMEDOUT};
        }
        if (lookup->status == EAI_SYSTEM) {
            return {OpenStatus::OtherError, lookup->systemError};
        }
        if (lookup->status != 0) {
            return {OpenStatus::NotFound, 0};
        }
        return connectToAny(lookup->found.get(), deadline);
    }

    // Raw TCP carries no line settings: the server's own port has them.
    bool setLineFormat(std::int32_t) override { return isOpen(); }

    bool setReadTimeout(std::int32_t milliseconds) override {
        if (!isOpen() || milliseconds < 0) {
            return false;
        }
        readTimeout_ = std::chrono::milliseconds(milliseconds);
        return true;
    }

    void purgeReceive() override {
        std::uint8_t discarded[256];
        while (isOpen() && receive(discarded, sizeof discarded) > 0) {
        }
    }

    std::size_t write(const std::uint8_t* bytes, std::size_t count) override {
        if (!isOpen()) {
            return 0;
        }
        std::optional<int> failure;
        const std::size_t written = writeWithin(
            fd_, bytes, count,
            [this](const std::uint8_t* from, std::size_t size) {
                // MSG_NOSIGNAL: a connection the server dropped must not end the process by
                // SIGPIPE.
                return ::send(fd_, from, size, MSG_NOSIGNAL);
            },
            failure);
        if (failure) {
            gone_ = *failure != 0 && connectionLost(*failure);
        }
        return written;
    }

    std::size_t read(std::uint8_t* bytes, std::size_t maxCount) override {
        std::size_t received = 0;
        const auto deadline = Clock::now() + readTimeout_;
        while (isOpen() && received < maxCount && !gone_ && waitFor(fd_, POLLIN, deadline, true)) {
            const ssize_t got = receive(bytes + received, maxCount - received);
            if (got > 0) {
                received += static_cast<std::size_t>(got);
            }
        }
        return received;
    }

    void close() override {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    bool isOpen() const override { return fd_ >= 0; }
    bool deviceGone() const override { return gone_; }

private:
    OpenResult connectToAny(const addrinfo* found, Clock::time_point deadline) {
        int error = ETIMEDOUT;
        for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
            const int fd = connectBefore(*address, deadline);
            if (fd < 0) {
                error = errno;
                continue;
            }
            // A frame is a few bytes written at once: send it now, in one segment.
            int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            if (closedAtOnce(fd)) {
                ::close(fd);
                return {OpenStatus::Busy, 0};
            }
            fd_ = fd;
            gone_ = false;
            return {OpenStatus::Opened, 0};
        }
        return {OpenStatus::OtherError, error};
    }

    // One non-blocking receive: the byte count, or 0 when nothing is there (gone_ tells whether
    // the connection ended).
    ssize_t receive(std::uint8_t* bytes, std::size_t maxCount) {
        for (;;) {
            const ssize_t got = ::recv(fd_, bytes, maxCount, MSG_DONTWAIT);
            if (got > 0) {
                return got;
            }
            if (got < 0 && errno == EINTR) {
                continue;
            }
            // A 0 is the server's end of the stream; bytes sent before it were taken first.
            gone_ = got == 0 || (errno != EAGAIN && connectionLost(errno));
            return 0;
        }
    }

    int fd_ = -1;
    bool gone_ = false;
    Clock::duration readTimeout_ = std::chrono::milliseconds(200);
};

} // namespace

std::unique_ptr<SerialPort> makeSocketPort() {
    return std::make_unique<PosixSocketPort>();
}

} // namespace zorvan::link
