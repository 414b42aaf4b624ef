#include "link/bounded_call.h"
#include "link/socket_port.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>
#include <vector>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace zorvan::link {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kConnectTimeout = std::chrono::seconds(3);
// A server that takes one client per port accepts a second one and closes it at once.
constexpr auto kRefusalWindow = std::chrono::milliseconds(200);
constexpr auto kWriteTimeout = std::chrono::seconds(1);

// Winsock is started once for the process and stays up to its end: 0, or why it did not start
// (WSAGetLastError cannot tell without it).
int startWinsock() {
    static const int failure = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data);
    }();
    return failure;
}

// The connection is over with one of these; only a new one can carry bytes again.
bool connectionLost(int error) {
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAENOTCONN ||
           error == WSAESHUTDOWN || error == WSAENETRESET || error == WSAETIMEDOUT;
}

enum class Readiness { Ready, Failed, TimedOut };
// Only a connect watches the exception set, where its failure shows. Urgent data from the peer
// shows there as well and stays until read out of band: a read watching it would never wait.
enum class Awaited { Readable, Writable, Connected };

// Waits until the socket is as awaited, at most until the deadline and, when `abandonable`, at
// most until readsAbandoned is noticed.
Readiness waitFor(SOCKET socket, Awaited awaited, Clock::time_point deadline, bool abandonable) {
    constexpr auto kNotice = std::chrono::milliseconds(kAbandonNoticeMs);
    for (;;) {
        const bool abandoned = abandonable && readsAbandoned;
        // A deadline already passed still looks once, without waiting: a read with no time
        // left takes what is there, as a purge of the receive buffer relies on.
        auto left = abandoned ? Clock::duration::zero()
                              : std::max(deadline - Clock::now(), Clock::duration::zero());
        if (abandonable && left > kNotice) {
            left = kNotice;
        }
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        timeval timeout{static_cast<long>(us / 1'000'000), static_cast<long>(us % 1'000'000)};
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(socket, &ready);
        FD_SET(socket, &failed);
        const bool connecting = awaited == Awaited::Connected;
        const int count = ::select(0, awaited == Awaited::Readable ? &ready : nullptr,
                                   awaited == Awaited::Readable ? nullptr : &ready,
                                   connecting ? &failed : nullptr, &timeout);
        if (count < 0 || (connecting && FD_ISSET(socket, &failed))) {
            return Readiness::Failed;
        }
        if (count > 0) {
            return Readiness::Ready;
        }
        if (abandoned || Clock::now() >= deadline) {
            return Readiness::TimedOut;
        }
    }
}

int socketError(SOCKET socket) {
    int error = 0;
    int size = sizeof error;
    ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    return error;
}

// A non-blocking connect that gives up at the deadline; the connected socket, or INVALID_SOCKET
// with the reason in `error`.
SOCKET connectBefore(const addrinfo& address, Clock::time_point deadline, int& error) {
    const SOCKET socket = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    u_long nonBlocking = 1;
    if (socket == INVALID_SOCKET || ::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
        error = ::WSAGetLastError();
        if (socket != INVALID_SOCKET) {
            ::closesocket(socket);
        }
        return INVALID_SOCKET;
    }
    if (::connect(socket, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) {
        return socket;
    }
    error = ::WSAGetLastError();
    if (error == WSAEWOULDBLOCK) {
        const Readiness readiness = waitFor(socket, Awaited::Connected, deadline, false);
        error = readiness == Readiness::TimedOut ? WSAETIMEDOUT : socketError(socket);
    }
    if (error != 0) {
        ::closesocket(socket);
        return INVALID_SOCKET;
    }
    return socket;
}

struct FreeAddresses {
    void operator()(addrinfo* found) const { ::freeaddrinfo(found); }
};

struct Lookup {
    int status = 0; // getaddrinfo's: 0 or a WSA error
    std::unique_ptr<addrinfo, FreeAddresses> found;
};

Lookup lookUp(const std::string& host, const std::string& port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    Lookup lookup;
    lookup.status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    lookup.found.reset(found);
    return lookup;
}

class Win32SocketPort final : public SerialPort {
public:
    ~Win32SocketPort() override { close(); }

    OpenResult open(const std::string& name) override {
        close();
        const auto address = parseSocketName(name);
        if (!address) {
            return {OpenStatus::NotFound, 0};
        }
        if (const int failure = startWinsock(); failure != 0) {
            return {OpenStatus::OtherError, failure};
        }
        // The lookup and the connect share one bound.
        const auto deadline = Clock::now() + kConnectTimeout;
        const auto lookup = callBefore<Lookup>(
            [host = address->host, port = std::to_string(address->port)] {
                return lookUp(host, port);
            },
            deadline);
        if (!lookup) {
            return {OpenStatus::OtherError, WSAETIMEDOUT};
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
        early_.clear();
        char discarded[256];
        while (isOpen() && receive(discarded, sizeof discarded) > 0) {
        }
    }

    std::size_t write(const std::uint8_t* bytes, std::size_t count) override {
        std::size_t written = 0;
        const auto deadline = Clock::now() + kWriteTimeout;
        while (isOpen() && written < count) {
            const int sent = ::send(socket_, reinterpret_cast<const char*>(bytes) + written,
                                    static_cast<int>(count - written), 0);
            if (sent > 0) {
                written += static_cast<std::size_t>(sent);
                continue;
            }
            const int error = ::WSAGetLastError();
            if (sent < 0 && error == WSAEWOULDBLOCK &&
                waitFor(socket_, Awaited::Writable, deadline, false) == Readiness::Ready) {
                continue;
            }
            gone_ = sent < 0 && connectionLost(error);
            break;
        }
        return written;
    }

    std::size_t read(std::uint8_t* bytes, std::size_t maxCount) override {
        std::size_t received = takeEarly(bytes, maxCount);
        const auto deadline = Clock::now() + readTimeout_;
        // A failed wait ends the read like a time-out: waiting again would fail at once, for ever.
        while (isOpen() && received < maxCount && !gone_ &&
               waitFor(socket_, Awaited::Readable, deadline, true) == Readiness::Ready) {
            received += receive(reinterpret_cast<char*>(bytes) + received, maxCount - received);
        }
        return received;
    }

    void close() override {
        if (isOpen()) {
            ::closesocket(socket_);
        }
        socket_ = INVALID_SOCKET;
    }

    bool isOpen() const override { return socket_ != INVALID_SOCKET; }
    bool deviceGone() const override { return gone_; }

private:
    OpenResult connectToAny(const addrinfo* found, Clock::time_point deadline) {
        int error = WSAETIMEDOUT;
        for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
            const SOCKET socket = connectBefore(*address, deadline, error);
            if (socket == INVALID_SOCKET) {
                continue;
            }
            // A frame is a few bytes written at once: send it now, in one segment.
            BOOL on = TRUE;
            ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                         sizeof on);
            if (closedAtOnce(socket)) {
                ::closesocket(socket);
                return {OpenStatus::Busy, 0};
            }
            socket_ = socket;
            gone_ = false;
            return {OpenStatus::Opened, 0};
        }
        return {OpenStatus::OtherError, error};
    }

    // Whether the server hangs up on the new connection at once, as one that already serves a
    // client does, maybe after a line of text. Without a peer-closed event to wait for, the bytes
    // are taken to see the end behind them; read() hands them out first.
    bool closedAtOnce(SOCKET socket) {
        const auto deadline = Clock::now() + kRefusalWindow;
        early_.clear();
        for (;;) {
            const Readiness readiness = waitFor(socket, Awaited::Readable, deadline, false);
            if (readiness != Readiness::Ready) {
                return readiness == Readiness::Failed;
            }
            char bytes[256];
            const int got = ::recv(socket, bytes, sizeof bytes, 0);
            if (got > 0) {
                early_.insert(early_.end(), bytes, bytes + got);
            } else if (got == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) {
                return true;
            }
        }
    }

    std::size_t takeEarly(std::uint8_t* bytes, std::size_t maxCount) {
        const std::size_t count = std::min(maxCount, early_.size());
        std::copy_n(early_.begin(), count, bytes);
        early_.erase(early_.begin(), early_.begin() + static_cast<std::ptrdiff_t>(count));
        return count;
    }

    // One receive of what is there: the byte count, or 0 when nothing is (gone_ tells whether
    // the connection ended). The socket is non-blocking.
    std::size_t receive(char* bytes, std::size_t maxCount) {
        const int got =
            ::recv(socket_, bytes, static_cast<int>(std::min<std::size_t>(maxCount, INT_MAX)), 0);
        if (got > 0) {
            return static_cast<std::size_t>(got);
        }
        // A 0 is the server's end of the stream; bytes sent before it were taken first.
        gone_ = got == 0 || connectionLost(::WSAGetLastError());
        return 0;
    }

    SOCKET socket_ = INVALID_SOCKET;
    std::vector<std::uint8_t> early_; // what the server sent while open() watched for its close
    bool gone_ = false;
    std::chrono::milliseconds readTimeout_{200};
};

} // namespace

std::unique_ptr<SerialPort> makeSocketPort() {
    return std::make_unique<Win32SocketPort>();
}

} // namespace zorvan::link
