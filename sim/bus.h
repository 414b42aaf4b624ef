#pragma once

// Up to six simulated instruments on one line. The bus cuts request frames out of the master's
// byte stream, records every good one, hands it to the instrument at its address and returns
// the answer to put on the line. A request for an address nobody has is another instrument's
// business: the bus stays silent. Like the instruments' receivers, the bus also watches the
// timing the instruments rely on: the quiet gap between an answer and the next request.
//
// Thread safety: one lock guards the instruments, the frame parser and the records, so
// the transport thread and any test thread may use the bus and its handles at the same time.

#include "sim/frame_parser.h"
#include "sim/instrument.h"
#include "sim/request.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace zorvan::sim {

// A request as it arrived: its complete frame, stamped when its last byte arrived.
struct TrafficRecord {
    Clock::time_point at;
    std::vector<std::uint8_t> bytes;
};

// Bytes for the line. An answer leaves `delay` after the request it answers arrived; stray
// bytes leave `delay` after the reply before them has ended; another master's bytes are put
// on the line as they are.
struct Reply {
    enum class Kind { Answer, Stray, OtherMaster };
    std::vector<std::uint8_t> bytes;
    std::chrono::milliseconds delay{0};
    Kind kind = Kind::Answer;
};

// The instruments rely on the line staying quiet this long after an answer before the next
// request starts: the master's pause before each request.
constexpr Clock::duration kQuietGap = std::chrono::milliseconds(15);

// A request whose first byte arrived only `gap` after the last answer had left.
struct TimingViolation {
    Clock::time_point at;
    std::vector<std::uint8_t> bytes;
    Clock::duration gap;
};

class Bus;

// Reads and changes one instrument of a bus under the bus lock. Cheap to copy; valid while the
// bus lives and the instrument is not replaced.
class InstrumentHandle {
public:
    InstrumentHandle(Bus& bus, std::uint8_t address) : bus_(&bus), address_(address) {}

    std::uint8_t address() const { return address_; }

    // Runs `change(Instrument&)` under the bus lock and returns its result: the way to reach
    // any state the shortcuts below leave out.
    template <typename Change> auto update(Change&& change);
    template <typename Look> auto inspect(Look&& look) const;

    // The reading: the humidity it centres on, and whether it drifts (false: stands still).
    void setReading(double humidity, bool drifting = false);
    double shownValue() const;
    std::uint8_t lamps() const;
    IndicatorCodes indicatorCodes() const;
    // Fixed lamps and indicator codes instead of the live panel; clearPanel() goes back.
    void setPanel(std::uint8_t lamps, const IndicatorCodes& codes);
    void clearPanel();

    bool keyboardLocked() const;
    bool digitalOut() const;
    int decimals() const;
    void setDecimals(int decimals);
    std::uint8_t mode() const;
    std::uint16_t setValue() const;        // as written by codes 5 and 6
    std::uint16_t appliedSetValue() const; // as taken over by 255 with 100
    std::vector<std::uint8_t> keyPresses() const;
    int keyReleases() const;
    int restartCount() const;
    std::vector<std::uint8_t> flashPage(std::uint8_t index) const;

    Faults faults() const;
    void setFaults(const Faults& faults);

private:
    Bus* bus_;
    std::uint8_t address_;
};

class Bus {
public:
    // Adds an instrument (address 1..63; throws std::invalid_argument otherwise), replacing one
    // at the same address.
    InstrumentHandle addInstrument(std::uint8_t address, VersionBytes version);
    // The handle of an instrument on the bus; throws std::out_of_range for an unknown address.
    InstrumentHandle instrument(std::uint8_t address);
    std::vector<std::uint8_t> addresses() const;

    // Bytes from the master that arrived at `arrivedAt`; returns the answers for the line.
    std::vector<Reply> receive(const std::uint8_t* bytes, std::size_t count,
                               Clock::time_point arrivedAt);
    // A second master's exchange: a code-149 request for `address` and the instrument's answer,
    // as they would pass on the line. Not recorded as traffic; the answer obeys the faults.
    std::vector<Reply> secondMasterExchange(std::uint8_t address, Clock::time_point now);
    void setFrameGap(Clock::duration gap);

    // The transport reports when the last byte of an answer left; a request that starts less
    // than the quiet gap later is recorded as a timing violation.
    void answerSent(Clock::time_point at);
    void setQuietGap(Clock::duration gap);
    std::vector<TimingViolation> timingViolations() const;

    std::vector<TrafficRecord> traffic() const;
    // Forgets the recorded traffic and timing violations.
    void clearTraffic();
    // Waits until the record holds at least `count` requests; false when `timeout` ran out.
    bool waitForTraffic(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    friend class InstrumentHandle;

    Instrument& at(std::uint8_t address) { return instruments_.at(address); }
    std::optional<Reply> answer(const Request& request, Clock::time_point now);
    std::vector<Reply> strayAfterAnswer(std::uint8_t address) const;

    void checkQuietGap(const Request& request);

    mutable std::mutex mutex_; // guards every field below
    mutable std::condition_variable trafficGrew_;
    std::map<std::uint8_t, Instrument> instruments_;
    FrameParser parser_;
    std::vector<TrafficRecord> traffic_;
    std::optional<Clock::time_point> lastAnswerSentAt_;
    Clock::duration quietGap_ = kQuietGap;
    std::vector<TimingViolation> violations_;
};

template <typename Change> auto InstrumentHandle::update(Change&& change) {
    std::lock_guard lock(bus_->mutex_);
    return change(bus_->at(address_));
}

template <typename Look> auto InstrumentHandle::inspect(Look&& look) const {
    std::lock_guard lock(bus_->mutex_);
    return look(static_cast<const Instrument&>(bus_->at(address_)));
}

} // namespace zorvan::sim
