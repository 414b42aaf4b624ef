#include "link/local_serial_port.h"
#include "link/posix_wait.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zorvan::link {
namespace {

using Clock = std::chrono::steady_clock;

speed_t speedOf(std::int32_t baudRate) {
    switch (baudRate) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return B0;
    }
}

OpenStatus statusOf(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return OpenStatus::NotFound;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenStatus::Busy;
    default:
        return OpenStatus::OtherError;
    }
}

// A terminal that was hung up (a pulled USB adapter, a closed pty master) refuses every write
// with one of these until it is opened anew.
bool deviceRemoved(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

class PosixSerialPort final : public SerialPort {
public:
    ~PosixSerialPort() override { close(); }

    OpenResult open(const std::string& name) override {
        close();
        const std::string path = name.find('/') == std::string::npos ? "/dev/" + name : name;
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return {statusOf(errno), errno};
        }
        // Anything that is not a terminal cannot be a serial port.
        if (::isatty(fd) == 0) {
            const int error = errno;
            ::close(fd);
            return {OpenStatus::OtherError, error};
        }
        // An advisory lock, not the terminal's exclusive mode: the system drops the lock with
        // the last descriptor of its holder, so a port whose program was killed opens again,
        // while the exclusive mode would outlive it and keep every later opener out.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return {statusOf(error), error};
        }
        fd_ = fd;
        gone_ = false;
        return {OpenStatus::Opened, 0};
    }

    bool setLineFormat(std::int32_t baudRate) override {
        const speed_t speed = speedOf(baudRate);
        termios settings{};
        if (fd_ < 0 || speed == B0 || ::tcgetattr(fd_, &settings) != 0) {
            return false;
        }
        // Frames are binary: no character translation, echo or signals on the way.
        ::cfmakeraw(&settings);
        settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = 0;
        if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
            ::tcsetattr(fd_, TCSANOW, &settings) != 0) {
            return false;
        }
        // A pseudo-terminal has no modem lines; a real port gets DTR and RTS dropped.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd_, TIOCMBIC, &lines);
        return true;
    }

    bool setReadTimeout(std::int32_t milliseconds) override {
        if (fd_ < 0 || milliseconds < 0) {
            return false;
        }
        readTimeout_ = std::chrono::milliseconds(milliseconds);
        return true;
    }

    void purgeReceive() override {
        if (fd_ >= 0) {
            ::tcflush(fd_, TCIFLUSH);
        }
    }

    std::size_t write(const std::uint8_t* bytes, std::size_t count) override {
        if (fd_ < 0) {
            return 0;
        }
        std::optional<int> failure;
        const std::size_t written = writeWithin(
            fd_, bytes, count,
            [this](const std::uint8_t* from, std::size_t size) { return ::write(fd_, from, size); },
            failure);
        if (failure) {
            gone_ = *failure != 0 && deviceRemoved(*failure);
        }
        return written;
    }

    std::size_t read(std::uint8_t* bytes, std::size_t maxCount) override {
        std::size_t received = 0;
        const auto deadline = Clock::now() + readTimeout_;
        // Without VMIN and VTIME a terminal read returns 0 both for "nothing yet" and for a
        // hang-up, so readiness is asked of poll() first and a 0 after it means the device
        // went away.
        while (fd_ >= 0 && received < maxCount && waitFor(fd_, POLLIN, deadline, true)) {
            const ssize_t got = ::read(fd_, bytes + received, maxCount - received);
            if (got > 0) {
                received += static_cast<std::size_t>(got);
            } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                // Noticed here too, not only by a failed write: a listener never writes.
                gone_ = got == 0 || deviceRemoved(errno);
                break;
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
    int fd_ = -1;
    bool gone_ = false;
    Clock::duration readTimeout_ = std::chrono::milliseconds(200);
};

} // namespace

std::unique_ptr<SerialPort> makeLocalSerialPort() {
    return std::make_unique<PosixSerialPort>();
}

} // namespace zorvan::link
