#include "link/rfc2217_port.h"

#include "link/telnet_codec.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <utility>

namespace zorvan::link {
namespace {

using Clock = std::chrono::steady_clock;
using namespace telnet;

// COM-PORT-OPTION commands of the client; the server acknowledges each with its code + 100.
constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kSetControl = 5;
constexpr std::uint8_t kServerOffset = 100;

constexpr std::uint8_t kNoParity = 1;
constexpr std::uint8_t kOneStopBit = 1;
constexpr std::uint8_t kNoFlowControl = 1;
constexpr std::uint8_t kDtrOff = 9;
constexpr std::uint8_t kRtsOff = 12;

// How long the server may take to acknowledge the line's settings.
constexpr auto kAcknowledgementBound = std::chrono::seconds(2);

// What this end agrees to, option by option, for itself (DO / DONT) and for the server (WILL /
// WONT). Anything else is refused, once per request: a refusal is never answered, so two ends
// never negotiate in a loop.
struct OptionSide {
    bool wanted = false;
    bool enabled = false;
    bool asked = false; // our request is out and unanswered
};

class Rfc2217Port final : public SerialPort {
public:
    explicit Rfc2217Port(std::unique_ptr<SerialPort> carrier) : carrier_(std::move(carrier)) {}
    ~Rfc2217Port() override { close(); }

    OpenResult open(const std::string& name) override {
        const OpenResult result = carrier_->open(name);
        if (result.status != OpenStatus::Opened) {
            return result;
        }
        decoder_ = {};
        received_.clear();
        comPortRefused_ = false;
        ours_ = {};
        theirs_ = {};
        for (const std::uint8_t option : {kBinary, kSuppressGoAhead, kComPortOption}) {
            ours_[option].wanted = true;
        }
        for (const std::uint8_t option : {kBinary, kSuppressGoAhead}) {
            theirs_[option].wanted = true;
        }
        std::vector<std::uint8_t> requests;
        for (const std::uint8_t option : {kComPortOption, kBinary, kSuppressGoAhead}) {
            ask(requests, kWill, option);
        }
        for (const std::uint8_t option : {kBinary, kSuppressGoAhead}) {
            ask(requests, kDo, option);
        }
        send(requests);
        return result;
    }

    // The control settings go first: a server answers in order, so once the last line setting is
    // acknowledged, a control acknowledgement still missing will not come (a server serving a
    // pseudo-terminal sends none) and costs no wait.
    bool setLineFormat(std::int32_t baudRate) override {
        if (!isOpen() || baudRate <= 0) {
            return false;
        }
        const auto speed = static_cast<std::uint32_t>(baudRate);
        expected_ = {
            {kSetBaudRate,
             {std::uint8_t(speed >> 24), std::uint8_t(speed >> 16), std::uint8_t(speed >> 8),
              std::uint8_t(speed)}},
            {kSetDataSize, {8}},
            {kSetParity, {kNoParity}},
            {kSetStopSize, {kOneStopBit}},
        };
        acknowledged_.clear();
        std::vector<std::uint8_t> settings;
        for (const std::uint8_t control : {kNoFlowControl, kDtrOff, kRtsOff}) {
            appendSubnegotiation(settings, kComPortOption, std::array{kSetControl, control});
        }
        for (const auto& [code, value] : expected_) {
            std::vector<std::uint8_t> payload{code};
            payload.insert(payload.end(), value.begin(), value.end());
            appendSubnegotiation(settings, kComPortOption, payload);
        }
        send(settings);
        const auto deadline = Clock::now() + kAcknowledgementBound;
        while (acknowledged_.size() < expected_.size() && !comPortRefused_ &&
               takeOneByteBefore(deadline)) {
        }
        return acknowledged_.size() == expected_.size() &&
               std::all_of(acknowledged_.begin(), acknowledged_.end(),
                           [](const Acknowledgement& ack) { return ack.matches; });
    }

    bool setReadTimeout(std::int32_t milliseconds) override {
        if (!isOpen() || milliseconds < 0) {
            return false;
        }
        readTimeout_ = std::chrono::milliseconds(milliseconds);
        return true;
    }

    // Drops what has arrived. The server is not asked to purge too: ser2net takes some 30 ms
    // over each purge, which before every request would stretch every exchange by as much.
    // Bytes still on their way are left to the answer checks, as on a local line.
    void purgeReceive() override {
        if (!isOpen()) {
            return;
        }
        std::uint8_t discarded[256];
        carrier_->setReadTimeout(0);
        for (std::size_t got; (got = carrier_->read(discarded, sizeof discarded)) > 0;) {
            decode({discarded, got});
        }
        received_.clear();
    }

    std::size_t write(const std::uint8_t* bytes, std::size_t count) override {
        std::vector<std::uint8_t> escaped;
        appendEscaped(escaped, {bytes, count});
        const std::size_t written = send(escaped);
        if (written == escaped.size()) {
            return count;
        }
        // The line bytes whose whole encoding went out.
        std::size_t sent = 0;
        for (std::size_t encoded = 0; sent < count; ++sent) {
            encoded += bytes[sent] == kIac ? 2 : 1;
            if (encoded > written) {
                break;
            }
        }
        return sent;
    }

    // Every raw byte carries at most one line byte, so asking the carrier for no more raw bytes
    // than line bytes are still missing never waits for bytes that were not asked for.
    std::size_t read(std::uint8_t* bytes, std::size_t maxCount) override {
        const auto deadline = Clock::now() + readTimeout_;
        std::size_t taken = 0;
        for (;;) {
            const std::size_t fromQueue = std::min(maxCount - taken, received_.size());
            std::copy_n(received_.begin(), fromQueue, bytes + taken);
            received_.erase(received_.begin(), received_.begin() + std::ptrdiff_t(fromQueue));
            taken += fromQueue;
            if (taken == maxCount || !isOpen()) {
                return taken;
            }
            std::uint8_t raw[256];
            carrier_->setReadTimeout(millisecondsUntil(deadline));
            const std::size_t got = carrier_->read(raw, std::min(maxCount - taken, sizeof raw));
            if (got == 0) {
                return taken;
            }
            decode({raw, got});
        }
    }

    void close() override { carrier_->close(); }
    bool isOpen() const override { return carrier_->isOpen(); }
    bool deviceGone() const override { return carrier_->deviceGone(); }

private:
    struct Acknowledgement {
        std::uint8_t code = 0;
        bool matches = false;
    };

    static std::int32_t millisecondsUntil(Clock::time_point deadline) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return static_cast<std::int32_t>(std::max<decltype(left)>(left, 0));
    }

    std::size_t send(const std::vector<std::uint8_t>& bytes) {
        return bytes.empty() ? 0 : carrier_->write(bytes.data(), bytes.size());
    }

    void ask(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option) {
        OptionSide& side = verb == kWill ? ours_[option] : theirs_[option];
        side.asked = true;
        appendNegotiation(out, verb, option);
    }

    // One raw byte within the deadline, decoded; false when none came.
    bool takeOneByteBefore(Clock::time_point deadline) {
        std::uint8_t byte = 0;
        carrier_->setReadTimeout(millisecondsUntil(deadline));
        if (carrier_->read(&byte, 1) == 0) {
            return false;
        }
        decode({&byte, 1});
        return true;
    }

    void decode(std::span<const std::uint8_t> raw) {
        std::vector<std::uint8_t> data;
        std::vector<Command> commands;
        decoder_.feed(raw, data, commands);
        received_.insert(received_.end(), data.begin(), data.end());
        std::vector<std::uint8_t> replies;
        for (const Command& command : commands) {
            if (command.verb == kSb) {
                takeSubnegotiation(command);
            } else {
                answer(replies, command.verb, command.option);
            }
        }
        send(replies);
    }

    void answer(std::vector<std::uint8_t>& replies, std::uint8_t verb, std::uint8_t option) {
        const bool aboutUs = verb == kDo || verb == kDont;
        const bool agreed = verb == kDo || verb == kWill;
        OptionSide& side = aboutUs ? ours_[option] : theirs_[option];
        const std::uint8_t yes = aboutUs ? kWill : kDo;
        const std::uint8_t no = aboutUs ? kWont : kDont;
        const bool wasAsked = std::exchange(side.asked, false);
        if (agreed && side.wanted) {
            if (!side.enabled && !wasAsked) {
                appendNegotiation(replies, yes, option);
            }
            side.enabled = true;
        } else if (agreed) {
            appendNegotiation(replies, no, option);
        } else {
            if (side.enabled && !wasAsked) {
                appendNegotiation(replies, no, option);
            }
            side.enabled = false;
            if (aboutUs && option == kComPortOption) {
                comPortRefused_ = true;
            }
        }
    }

    // Acknowledgements of the line settings are checked; line and modem state notices and the
    // rest are of no use to a master that times its own exchanges.
    void takeSubnegotiation(const Command& command) {
        if (command.option != kComPortOption || command.payload.empty() ||
            command.payload[0] <= kServerOffset) {
            return;
        }
        const std::uint8_t code = command.payload[0] - kServerOffset;
        const auto expected =
            std::find_if(expected_.begin(), expected_.end(),
                         [code](const auto& setting) { return setting.first == code; });
        const bool already =
            std::any_of(acknowledged_.begin(), acknowledged_.end(),
                        [code](const Acknowledgement& ack) { return ack.code == code; });
        if (expected == expected_.end() || already) {
            return;
        }
        const std::vector<std::uint8_t> value(command.payload.begin() + 1, command.payload.end());
        acknowledged_.push_back({code, value == expected->second});
    }

    std::unique_ptr<SerialPort> carrier_;
    Decoder decoder_;
    std::deque<std::uint8_t> received_;
    std::array<OptionSide, 256> ours_{};
    std::array<OptionSide, 256> theirs_{};
    bool comPortRefused_ = false;
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> expected_;
    std::vector<Acknowledgement> acknowledged_;
    std::chrono::milliseconds readTimeout_{200};
};

} // namespace

std::unique_ptr<SerialPort> makeRfc2217Port(std::unique_ptr<SerialPort> carrier) {
    return std::make_unique<Rfc2217Port>(std::move(carrier));
}

} // namespace zorvan::link
