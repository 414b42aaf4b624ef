#include "sim/bus.h"

#include "sim/protocol.h"

#include <stdexcept>

namespace zorvan::sim {

namespace {
constexpr std::uint8_t kHumiditySampleCount = 11;
} // namespace

void InstrumentHandle::setReading(double humidity, bool drifting) {
    update([&](Instrument& instrument) {
        instrument.reading.humidity = humidity;
        instrument.reading.drifting = drifting;
    });
}

double InstrumentHandle::shownValue() const {
    return inspect([](const Instrument& i) { return i.shownValue(Clock::now()); });
}

std::uint8_t InstrumentHandle::lamps() const {
    return inspect([](const Instrument& i) { return i.lamps(Clock::now()); });
}

IndicatorCodes InstrumentHandle::indicatorCodes() const {
    return inspect([](const Instrument& i) { return i.indicatorCodes(Clock::now()); });
}

void InstrumentHandle::setPanel(std::uint8_t lamps, const IndicatorCodes& codes) {
    update([&](Instrument& i) { i.panelOverride = PanelOverride{lamps, codes}; });
}

void InstrumentHandle::clearPanel() {
    update([](Instrument& i) { i.panelOverride.reset(); });
}

bool InstrumentHandle::keyboardLocked() const {
    return inspect([](const Instrument& i) { return i.keyboardLocked; });
}

bool InstrumentHandle::digitalOut() const {
    return inspect([](const Instrument& i) { return i.digitalOut; });
}

int InstrumentHandle::decimals() const {
    return inspect([](const Instrument& i) { return i.decimals; });
}

void InstrumentHandle::setDecimals(int decimals) {
    update([&](Instrument& i) { i.decimals = decimals; });
}

std::uint8_t InstrumentHandle::mode() const {
    return inspect([](const Instrument& i) { return i.mode; });
}

std::uint16_t InstrumentHandle::setValue() const {
    return inspect([](const Instrument& i) { return i.setValue; });
}

std::uint16_t InstrumentHandle::appliedSetValue() const {
    return inspect([](const Instrument& i) { return i.appliedSetValue; });
}

std::vector<std::uint8_t> InstrumentHandle::keyPresses() const {
    return inspect([](const Instrument& i) { return i.keyPresses; });
}

int InstrumentHandle::keyReleases() const {
    return inspect([](const Instrument& i) { return i.keyReleases; });
}

int InstrumentHandle::restartCount() const {
    return inspect([](const Instrument& i) { return i.restartCount; });
}

std::vector<std::uint8_t> InstrumentHandle::flashPage(std::uint8_t index) const {
    return inspect([&](const Instrument& i) { return i.flash.page(index); });
}

Faults InstrumentHandle::faults() const {
    return inspect([](const Instrument& i) { return i.faults; });
}

void InstrumentHandle::setFaults(const Faults& faults) {
    update([&](Instrument& i) { i.faults = faults; });
}

InstrumentHandle Bus::addInstrument(std::uint8_t address, VersionBytes version) {
    if (address == 0 || address > kAddressMask) {
        throw std::invalid_argument("instrument address must be 1..63");
    }
    std::lock_guard lock(mutex_);
    instruments_.insert_or_assign(address, Instrument(address, version));
    return InstrumentHandle(*this, address);
}

InstrumentHandle Bus::instrument(std::uint8_t address) {
    std::lock_guard lock(mutex_);
    if (instruments_.count(address) == 0) {
        throw std::out_of_range("no instrument at this address");
    }
    return InstrumentHandle(*this, address);
}

std::vector<std::uint8_t> Bus::addresses() const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> result;
    for (const auto& entry : instruments_) {
        result.push_back(entry.first);
    }
    return result;
}

std::vector<Reply> Bus::receive(const std::uint8_t* bytes, std::size_t count,
                                Clock::time_point arrivedAt) {
    std::vector<Reply> replies;
    {
        std::lock_guard lock(mutex_);
        for (const Request& request : parser_.push(bytes, count, arrivedAt)) {
            traffic_.push_back(TrafficRecord{arrivedAt, request.bytes});
            checkQuietGap(request);
            if (auto reply = answer(request, arrivedAt)) {
                replies.push_back(std::move(*reply));
                for (Reply& stray : strayAfterAnswer(request.address())) {
                    replies.push_back(std::move(stray));
                }
            }
        }
    }
    trafficGrew_.notify_all();
    return replies;
}

std::vector<Reply> Bus::secondMasterExchange(std::uint8_t address, Clock::time_point now) {
    const Request request{buildRequest(static_cast<std::uint8_t>(address | kDataReadMode),
                                       kHumiditySampleCode, kHumiditySampleCount - 1)};
    std::vector<Reply> replies{Reply{request.bytes, {}, Reply::Kind::OtherMaster}};
    std::lock_guard lock(mutex_);
    if (auto reply = answer(request, now)) {
        reply->kind = Reply::Kind::OtherMaster;
        replies.push_back(std::move(*reply));
    }
    return replies;
}

void Bus::setFrameGap(Clock::duration gap) {
    std::lock_guard lock(mutex_);
    parser_.setFrameGap(gap);
}

void Bus::answerSent(Clock::time_point at) {
    std::lock_guard lock(mutex_);
    lastAnswerSentAt_ = at;
}

void Bus::setQuietGap(Clock::duration gap) {
    std::lock_guard lock(mutex_);
    quietGap_ = gap;
}

std::vector<TimingViolation> Bus::timingViolations() const {
    std::lock_guard lock(mutex_);
    return violations_;
}

void Bus::checkQuietGap(const Request& request) {
    if (!lastAnswerSentAt_) {
        return;
    }
    const Clock::duration gap = request.startedAt - *lastAnswerSentAt_;
    if (gap < quietGap_) {
        violations_.push_back(TimingViolation{request.startedAt, request.bytes, gap});
    }
}

std::optional<Reply> Bus::answer(const Request& request, Clock::time_point now) {
    const auto found = instruments_.find(request.address());
    if (found == instruments_.end()) {
        return std::nullopt;
    }
    Instrument& instrument = found->second;
    auto bytes = instrument.respond(request, now);
    if (!bytes) {
        return std::nullopt;
    }
    return Reply{std::move(*bytes), instrument.faults.answerDelay};
}

std::vector<Reply> Bus::strayAfterAnswer(std::uint8_t address) const {
    const auto found = instruments_.find(address);
    if (found == instruments_.end() || found->second.faults.strayBytes.empty()) {
        return {};
    }
    const Faults& faults = found->second.faults;
    return {Reply{faults.strayBytes, faults.strayDelay, Reply::Kind::Stray}};
}

std::vector<TrafficRecord> Bus::traffic() const {
    std::lock_guard lock(mutex_);
    return traffic_;
}

void Bus::clearTraffic() {
    std::lock_guard lock(mutex_);
    traffic_.clear();
    violations_.clear();
}

bool Bus::waitForTraffic(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return trafficGrew_.wait_for(lock, timeout, [&] { return traffic_.size() >= count; });
}

} // namespace zorvan::sim
