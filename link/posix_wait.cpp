#include "link/posix_wait.h"

#include "link/serial_port.h"

#include <algorithm>
#include <cerrno>

namespace zorvan::link {

using Clock = std::chrono::steady_clock;

bool waitFor(int fd, short events, Clock::time_point deadline, bool abandonable) {
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
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1'000'000'000),
                               static_cast<long>(ns % 1'000'000'000)};
        pollfd request{fd, events, 0};
        const int ready = ::ppoll(&request, 1, &timeout, nullptr);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready != 0) {
            return ready > 0 && (request.revents & events) != 0;
        }
        if (abandoned || Clock::now() >= deadline) {
            return false;
        }
    }
}

std::size_t writeWithin(int fd, const std::uint8_t* bytes, std::size_t count,
                        const std::function<ssize_t(const std::uint8_t*, std::size_t)>& writeOnce,
                        std::optional<int>& failure) {
    constexpr auto kWriteTimeout = std::chrono::seconds(1);
    failure.reset();
    std::size_t written = 0;
    const auto deadline = std::chrono::steady_clock::now() + kWriteTimeout;
    while (written < count) {
        const ssize_t sent = writeOnce(bytes + written, count - written);
        if (sent > 0) {
            written += static_cast<std::size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && errno == EAGAIN) {
            if (!waitFor(fd, POLLOUT, deadline, false)) {
                break;
            }
        } else {
            failure = sent < 0 ? errno : 0;
            break;
        }
    }
    return written;
}

} // namespace zorvan::link
