#pragma once

// The other end of the simulator's pty, as bare as a serial tool: open the path, raw mode,
// write a request, read the answer with a bounded poll.

#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace zorvan::sim::testing {

class RawClient {
public:
    explicit RawClient(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
        termios raw{};
        if (fd_ >= 0 && tcgetattr(fd_, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(fd_, TCSANOW, &raw);
        }
    }
    ~RawClient() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    bool write(const std::vector<std::uint8_t>& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Everything that arrives until `count` bytes are there or `timeout` has passed.
    std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout) {
        std::vector<std::uint8_t> bytes;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd wanted{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&wanted, 1, static_cast<int>(left.count())) <= 0 ||
                !(wanted.revents & POLLIN)) {
                break;
            }
            std::uint8_t buffer[256];
            const ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (got <= 0) {
                break;
            }
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        return bytes;
    }

    // True when the port hangs up within `timeout`: poll reports it, or a read ends the file.
    bool seesHangUp(std::chrono::milliseconds timeout) {
        pollfd wanted{fd_, POLLIN, 0};
        if (::poll(&wanted, 1, static_cast<int>(timeout.count())) <= 0) {
            return false;
        }
        if (wanted.revents & (POLLHUP | POLLERR)) {
            return true;
        }
        std::uint8_t byte = 0;
        return ::read(fd_, &byte, 1) <= 0;
    }

private:
    int fd_;
};

// A folder of its own for each test's link, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/zorvan-sim-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace zorvan::sim::testing
