#pragma once

// Serves a bus on a pseudo-terminal, so the program under test opens an ordinary serial device.
// The server keeps the slave side open itself: the pty exists before the program opens it and
// survives the program closing it. Optionally a symbolic link at a fixed path points to the
// slave device, so the path stays the same when the pty is replaced (vanish() then restore()).
//
// With pacing the line runs at a baud rate of 10 bits per byte (8N1): a request counts as
// arrived only after its wire time and answer bytes leave one byte time apart. Without pacing
// answers leave at once.
//
// A thread serves the line; every method may be called from any other thread.

#include "sim/bus.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace zorvan::sim {

struct PtyServerOptions {
    std::string linkPath; // symbolic link to create (an old link there is replaced); empty: none
    int baud = 0;         // 0: no pacing
    // Second master on the line: puts a code-149 request for this instrument and its answer on
    // the line once per period, for the program's listening mode.
    std::optional<std::uint8_t> listenMasterAddress;
    std::chrono::milliseconds listenMasterPeriod{1000};
};

class PtyServer {
public:
    // Opens the pty, creates the link and starts serving; nothing when the pty or the link
    // cannot be made (errno tells why).
    static std::unique_ptr<PtyServer> start(Bus& bus, PtyServerOptions options = {});
    // Stops the thread, closes the pty and removes the link.
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // What the program opens: the link path when there is one, else the slave device.
    std::string path() const;
    // The slave device of the current pty; empty while vanished.
    std::string devicePath() const;

    void setPacing(int baud); // 0: off
    void setListenMaster(std::optional<std::uint8_t> address);

    // The port goes away as an unplugged adapter does: the pty is closed (the program sees a
    // hang-up) and the link removed.
    void vanish();
    // A new pty, reachable through the same link path; false when it cannot be made.
    bool restore();
    bool vanished() const;

    std::vector<TrafficRecord> traffic() const { return bus_.traffic(); }
    void clearTraffic() { bus_.clearTraffic(); }
    bool waitForTraffic(std::size_t count, std::chrono::milliseconds timeout) const {
        return bus_.waitForTraffic(count, timeout);
    }

private:
    enum class PortRequest { None, Vanish, Restore };
    struct TimedByte {
        Clock::time_point at;
        std::uint8_t byte;
        bool endsAnswer = false; // the last byte of an answer to the master
    };

    PtyServer(Bus& bus, PtyServerOptions options);
    bool openPort();
    void closePort();
    bool requestPortChange(PortRequest request);
    void wake();

    void serve();
    void carryOutPortRequest(PortRequest request);
    void readFromMaster(Clock::time_point now, Clock::duration byteTime);
    void deliverArrivedBytes(Clock::time_point now, Clock::duration byteTime);
    void sendDueBytes(Clock::time_point now);
    void schedule(const std::vector<Reply>& replies, Clock::time_point from,
                  Clock::duration byteTime);
    void waitForLine(Clock::time_point deadline);

    Bus& bus_;
    const std::string linkPath_;
    const std::chrono::milliseconds listenPeriod_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    // The pty and the wire: touched by the server thread only while it runs.
    int masterFd_ = -1;
    int slaveFd_ = -1;
    bool masterHungUp_ = false;
    std::deque<TimedByte> incoming_; // read from the master, waiting for their wire time
    std::deque<TimedByte> outgoing_; // answer bytes waiting for their send time
    Clock::time_point receiveLineFreeAt_{};
    Clock::time_point sendLineFreeAt_{};
    Clock::time_point nextListenAt_{};

    mutable std::mutex mutex_; // guards the fields below, shared with the server thread
    std::condition_variable portChanged_;
    bool stopping_ = false;
    PortRequest portRequest_ = PortRequest::None;
    bool portRequestOk_ = false;
    int baud_ = 0;
    std::optional<std::uint8_t> listenAddress_;
    std::string devicePath_;

    std::mutex portCallMutex_; // one vanish() or restore() at a time
    std::thread thread_;
};

} // namespace zorvan::sim
