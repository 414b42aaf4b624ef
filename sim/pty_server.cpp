#include "sim/pty_server.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace zorvan::sim {

namespace {

// Every wait of the server thread ends after this long, whatever happens on the line.
constexpr auto kLongestWait = std::chrono::milliseconds(100);
// A hung-up master reports readiness at once; look at it again only after this pause.
constexpr auto kHangUpPause = std::chrono::milliseconds(100);
// vanish() and restore() wait at most this long for the server thread.
constexpr auto kPortChangeTimeout = std::chrono::seconds(5);
constexpr int kBitsPerByte = 10; // start bit, 8 data bits, stop bit

Clock::duration byteTimeAt(int baud) {
    if (baud <= 0) {
        return Clock::duration::zero();
    }
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(kBitsPerByte) / baud));
}

// A paced request's bytes arrive one byte time apart; the frame gap must not cut them.
Clock::duration frameGapAt(int baud) {
    return std::max(kDefaultFrameGap, 3 * byteTimeAt(baud));
}

bool setFlag(int fd, int getCommand, int setCommand, int flag) {
    const int flags = fcntl(fd, getCommand);
    return flags >= 0 && fcntl(fd, setCommand, flags | flag) == 0;
}

bool isSymbolicLink(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

bool pathExists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

void closeFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

} // namespace

std::unique_ptr<PtyServer> PtyServer::start(Bus& bus, PtyServerOptions options) {
    std::unique_ptr<PtyServer> server(new PtyServer(bus, std::move(options)));
    int pipeFds[2];
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        return nullptr;
    }
    server->wakeRead_ = pipeFds[0];
    server->wakeWrite_ = pipeFds[1];
    if (!server->openPort()) {
        const int error = errno;
        server.reset();
        errno = error;
        return nullptr;
    }
    server->thread_ = std::thread([raw = server.get()] { raw->serve(); });
    return server;
}

PtyServer::PtyServer(Bus& bus, PtyServerOptions options)
    : bus_(bus), linkPath_(std::move(options.linkPath)), listenPeriod_(options.listenMasterPeriod),
      baud_(std::max(options.baud, 0)), listenAddress_(options.listenMasterAddress) {
    bus_.setFrameGap(frameGapAt(baud_));
}

PtyServer::~PtyServer() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake();
        thread_.join();
    }
    closePort();
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

std::string PtyServer::path() const {
    return linkPath_.empty() ? devicePath() : linkPath_;
}

std::string PtyServer::devicePath() const {
    std::lock_guard lock(mutex_);
    return devicePath_;
}

void PtyServer::setPacing(int baud) {
    {
        std::lock_guard lock(mutex_);
        baud_ = std::max(baud, 0);
    }
    bus_.setFrameGap(frameGapAt(baud));
    wake();
}

void PtyServer::setListenMaster(std::optional<std::uint8_t> address) {
    {
        std::lock_guard lock(mutex_);
        listenAddress_ = address;
    }
    wake();
}

void PtyServer::vanish() {
    requestPortChange(PortRequest::Vanish);
}

bool PtyServer::restore() {
    return requestPortChange(PortRequest::Restore);
}

bool PtyServer::vanished() const {
    return devicePath().empty();
}

bool PtyServer::requestPortChange(PortRequest request) {
    std::lock_guard call(portCallMutex_);
    std::unique_lock lock(mutex_);
    portRequest_ = request;
    lock.unlock();
    wake();
    lock.lock();
    const bool done = portChanged_.wait_for(lock, kPortChangeTimeout,
                                            [&] { return portRequest_ == PortRequest::None; });
    return done && portRequestOk_;
}

void PtyServer::wake() {
    const std::uint8_t signal = 1;
    [[maybe_unused]] const auto written = write(wakeWrite_, &signal, 1);
}

bool PtyServer::openPort() {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        return false;
    }
    std::array<char, PATH_MAX> name{};
    termios raw{};
    const bool ready = setFlag(master, F_GETFD, F_SETFD, FD_CLOEXEC) &&
                       setFlag(slave, F_GETFD, F_SETFD, FD_CLOEXEC) &&
                       setFlag(master, F_GETFL, F_SETFL, O_NONBLOCK) &&
                       ttyname_r(slave, name.data(), name.size()) == 0 &&
                       tcgetattr(slave, &raw) == 0;
    if (ready) {
        cfmakeraw(&raw);
    }
    bool linked = ready && tcsetattr(slave, TCSANOW, &raw) == 0;
    if (linked && !linkPath_.empty()) {
        if (isSymbolicLink(linkPath_)) {
            unlink(linkPath_.c_str());
        }
        linked = !pathExists(linkPath_) && symlink(name.data(), linkPath_.c_str()) == 0;
    }
    if (!linked) {
        const int error = errno;
        close(master);
        close(slave);
        errno = error;
        return false;
    }
    masterFd_ = master;
    slaveFd_ = slave;
    masterHungUp_ = false;
    std::lock_guard lock(mutex_);
    devicePath_ = name.data();
    return true;
}

void PtyServer::closePort() {
    closeFd(masterFd_);
    closeFd(slaveFd_);
    if (!linkPath_.empty() && isSymbolicLink(linkPath_)) {
        unlink(linkPath_.c_str());
    }
    incoming_.clear();
    outgoing_.clear();
    std::lock_guard lock(mutex_);
    devicePath_.clear();
}

void PtyServer::serve() {
    bool listening = false;
    for (;;) {
        std::unique_lock lock(mutex_);
        if (stopping_) {
            return;
        }
        const PortRequest request = portRequest_;
        const Clock::duration byteTime = byteTimeAt(baud_);
        const std::optional<std::uint8_t> listenAddress = listenAddress_;
        lock.unlock();

        if (request != PortRequest::None) {
            carryOutPortRequest(request);
        }
        Clock::time_point now = Clock::now();
        if (listenAddress && !listening) {
            nextListenAt_ = now + listenPeriod_;
        }
        listening = listenAddress.has_value();

        deliverArrivedBytes(now, byteTime);
        if (listening && now >= nextListenAt_ && masterFd_ >= 0) {
            schedule(bus_.secondMasterExchange(*listenAddress, now), now, byteTime);
            nextListenAt_ += listenPeriod_;
            if (nextListenAt_ <= now) {
                nextListenAt_ = now + listenPeriod_; // fell behind: no burst of exchanges
            }
        }
        sendDueBytes(now);

        Clock::time_point deadline = now + kLongestWait;
        if (!incoming_.empty()) {
            deadline = std::min(deadline, incoming_.front().at);
        }
        if (!outgoing_.empty()) {
            deadline = std::min(deadline, outgoing_.front().at);
        }
        if (listening) {
            deadline = std::min(deadline, nextListenAt_);
        }
        waitForLine(deadline);
        readFromMaster(Clock::now(), byteTime);
    }
}

void PtyServer::carryOutPortRequest(PortRequest request) {
    closePort();
    const bool ok = request == PortRequest::Vanish || openPort();
    std::lock_guard lock(mutex_);
    portRequest_ = PortRequest::None;
    portRequestOk_ = ok;
    portChanged_.notify_all();
}

void PtyServer::waitForLine(Clock::time_point deadline) {
    std::array<pollfd, 2> fds{};
    fds[0] = pollfd{wakeRead_, POLLIN, 0};
    nfds_t count = 1;
    if (masterFd_ >= 0 && !masterHungUp_) {
        fds[1] = pollfd{masterFd_, POLLIN, 0};
        count = 2;
    }
    const auto wait = std::max(deadline - Clock::now(), Clock::duration::zero());
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
    const timespec timeout{static_cast<time_t>(nanoseconds / 1'000'000'000),
                           static_cast<long>(nanoseconds % 1'000'000'000)};
    if (ppoll(fds.data(), count, &timeout, nullptr) <= 0) {
        masterHungUp_ = false;
        return;
    }
    if (fds[0].revents & POLLIN) {
        std::array<std::uint8_t, 64> drain{};
        while (read(wakeRead_, drain.data(), drain.size()) > 0) {
        }
    }
    // Only a master with nobody on the slave side hangs up, and ours keeps the slave open; if
    // it happens anyway, the next wait leaves the master out, so the thread never spins.
    masterHungUp_ =
        count == 2 && (fds[1].revents & (POLLHUP | POLLERR)) && !(fds[1].revents & POLLIN);
}

void PtyServer::readFromMaster(Clock::time_point now, Clock::duration byteTime) {
    if (masterFd_ < 0) {
        return;
    }
    std::array<std::uint8_t, 4096> buffer{};
    const ssize_t count = read(masterFd_, buffer.data(), buffer.size());
    for (ssize_t i = 0; i < count; ++i) {
        Clock::time_point at = now;
        if (byteTime > Clock::duration::zero()) {
            receiveLineFreeAt_ = std::max(receiveLineFreeAt_, now) + byteTime;
            at = receiveLineFreeAt_;
        }
        incoming_.push_back(TimedByte{at, buffer[static_cast<std::size_t>(i)]});
    }
}

void PtyServer::deliverArrivedBytes(Clock::time_point now, Clock::duration byteTime) {
    while (!incoming_.empty() && incoming_.front().at <= now) {
        const TimedByte arrived = incoming_.front();
        incoming_.pop_front();
        schedule(bus_.receive(&arrived.byte, 1, arrived.at), arrived.at, byteTime);
    }
}

void PtyServer::schedule(const std::vector<Reply>& replies, Clock::time_point from,
                         Clock::duration byteTime) {
    for (const Reply& reply : replies) {
        const Clock::time_point start =
            (reply.kind == Reply::Kind::Stray ? sendLineFreeAt_ : from) + reply.delay;
        Clock::time_point at = std::max(start, sendLineFreeAt_);
        for (const std::uint8_t byte : reply.bytes) {
            at += byteTime; // a byte is there only once its stop bit has passed
            outgoing_.push_back(TimedByte{at, byte});
        }
        if (reply.kind == Reply::Kind::Answer && !reply.bytes.empty()) {
            outgoing_.back().endsAnswer = true;
        }
        sendLineFreeAt_ = at;
    }
}

void PtyServer::sendDueBytes(Clock::time_point now) {
    std::vector<std::uint8_t> due;
    bool answerEnded = false;
    while (!outgoing_.empty() && outgoing_.front().at <= now) {
        due.push_back(outgoing_.front().byte);
        answerEnded = answerEnded || outgoing_.front().endsAnswer;
        outgoing_.pop_front();
    }
    // Bytes nobody reads are lost, as on a real line: a full pty buffer drops them too.
    if (!due.empty() && masterFd_ >= 0) {
        [[maybe_unused]] const auto written = write(masterFd_, due.data(), due.size());
    }
    // Stamped no later than the write, so a measured quiet gap is never shorter than the real.
    if (answerEnded) {
        bus_.answerSent(now);
    }
}

} // namespace zorvan::sim
