// What a network port adds to an exchange. One panel read, with the simulator pacing bytes at
// 9600 bit/s, over the pty itself and through ser2net serving the same pty as socket:// and as
// rfc2217://, with ser2net's defaults and with those for quick answers. For each: the exchange
// time, back to back, against the pty's; and the poll period as the simulator's record stamps
// the requests when the exchanges start every 50 ms.
#include "link/device_state.h"
#include "link/exchange.h"
#include "tests/support/ser2net_server.h"
#include "tests/support/simulated_line.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using zorvan::testing::NetworkPortKind;
using zorvan::testing::Ser2netTuning;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kBaud = 9600;
constexpr int kTimeoutMs = 200;
constexpr std::uint8_t kAddress = 10;
constexpr int kWarmUp = 10;
constexpr int kExchanges = 400;
constexpr int kPolls = 300;
constexpr auto kPollPeriod = 50ms;

struct Transport {
    const char* name;
    std::optional<NetworkPortKind> kind; // none: the pty itself
    Ser2netTuning tuning = Ser2netTuning::Default;
};

struct Figures {
    std::vector<double> exchangeMs;
    std::vector<double> periodMs;
    std::vector<double> requestDelayMs; // from a poll's tick to its request in the record
    int failed = 0;
    int lateStarts = 0; // polls that woke over 1 ms after their tick: the benchmark's lateness
};

// Nearest rank: the smallest value with at least `share` of the values at or below it.
double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(share * values.size()));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

bool panelRead() {
    std::uint8_t answer[16]{};
    return zorvan::link::ReadData(0x80 | kAddress, 236, 4, answer);
}

void timeExchanges(Figures& figures) {
    for (int i = 0; i < kWarmUp; ++i) {
        panelRead();
    }
    for (int i = 0; i < kExchanges; ++i) {
        const auto start = Clock::now();
        figures.failed += panelRead() ? 0 : 1;
        figures.exchangeMs.push_back(Millis(Clock::now() - start).count());
    }
}

// The gaps between the requests the simulator recorded, each stamped when its last byte
// arrived, while the exchanges start on a fixed tick; and how long after its tick each request
// was recorded (an exchange sends one request, so record i belongs to tick i).
void timePollPeriod(zorvan::testing::SimulatedLine& line, Figures& figures) {
    line.server->clearTraffic();
    std::vector<Clock::time_point> ticks;
    for (auto tick = Clock::now(); ticks.size() < kPolls; tick += kPollPeriod) {
        std::this_thread::sleep_until(tick);
        figures.lateStarts += Clock::now() - tick > 1ms ? 1 : 0;
        figures.failed += panelRead() ? 0 : 1;
        ticks.push_back(tick);
    }
    const auto traffic = line.server->traffic();
    for (std::size_t i = 1; i < traffic.size(); ++i) {
        figures.periodMs.push_back(Millis(traffic[i].at - traffic[i - 1].at).count());
    }
    if (traffic.size() == ticks.size()) {
        for (std::size_t i = 0; i < traffic.size(); ++i) {
            figures.requestDelayMs.push_back(Millis(traffic[i].at - ticks[i]).count());
        }
    }
}

std::optional<Figures> measure(const Transport& transport) {
    zorvan::testing::SimulatedLine line(kBaud);
    line.add(kAddress, {10, 43, 5, 7});
    std::unique_ptr<zorvan::testing::Ser2netServer> server;
    if (transport.kind) {
        server = std::make_unique<zorvan::testing::Ser2netServer>(
            line.server->path(), zorvan::testing::freePort(), *transport.kind, kBaud,
            transport.tuning);
        if (!server->start()) {
            std::printf("%-17s skipped: ser2net did not start\n", transport.name);
            return std::nullopt;
        }
        zorvan::link::comPortName = server->portName();
    }
    if (!line.open(kTimeoutMs)) {
        std::printf("%-17s skipped: %s does not open (no such transport in this build?)\n",
                    transport.name, zorvan::link::comPortName.c_str());
        return std::nullopt;
    }
    if (!panelRead()) {
        std::printf("%-17s skipped: no answer over %s\n", transport.name,
                    zorvan::link::comPortName.c_str());
        return std::nullopt;
    }
    Figures figures;
    timeExchanges(figures);
    timePollPeriod(line, figures);
    return figures;
}

void print(const Transport& transport, const Figures& figures, const Figures& pty) {
    const double median = percentile(figures.exchangeMs, 0.5);
    const double p95 = percentile(figures.exchangeMs, 0.95);
    std::printf("%-17s exchange median %6.2f ms  p95 %6.2f ms  max %6.2f ms  ratio to pty %.3f / "
                "%.3f  failed %d\n",
                transport.name, median, p95, percentile(figures.exchangeMs, 1),
                median / percentile(pty.exchangeMs, 0.5), p95 / percentile(pty.exchangeMs, 0.95),
                figures.failed);
    std::printf("%-17s poll period median %6.2f ms  p5 %6.2f ms  p95 %6.2f ms  min %6.2f  "
                "max %6.2f  (%zu gaps, %d late starts)\n",
                "", percentile(figures.periodMs, 0.5), percentile(figures.periodMs, 0.05),
                percentile(figures.periodMs, 0.95), percentile(figures.periodMs, 0),
                percentile(figures.periodMs, 1), figures.periodMs.size(), figures.lateStarts);
    if (!figures.requestDelayMs.empty()) {
        std::printf("%-17s request recorded after its tick: median %6.2f ms  p95 %6.2f ms\n", "",
                    percentile(figures.requestDelayMs, 0.5),
                    percentile(figures.requestDelayMs, 0.95));
    }
}

} // namespace

int main() {
    if (!zorvan::testing::ser2netInstalled()) {
        std::fprintf(stderr, "ser2net is not installed\n");
        return 1;
    }
    std::printf(
        "ReadData 236, N = 4 at %d bit/s: %d exchanges back to back, then %d every %lld ms\n",
        kBaud, kExchanges, kPolls, static_cast<long long>(kPollPeriod.count()));
    const Transport transports[] = {
        {"pty", std::nullopt},
        {"socket://", NetworkPortKind::RawTcp},
        {"rfc2217://", NetworkPortKind::Rfc2217},
        {"socket:// quick", NetworkPortKind::RawTcp, Ser2netTuning::QuickAnswers},
        {"rfc2217:// quick", NetworkPortKind::Rfc2217, Ser2netTuning::QuickAnswers},
    };
    const auto pty = measure(transports[0]);
    if (!pty) {
        return 1;
    }
    print(transports[0], *pty, *pty);
    for (const auto& transport : std::span(transports).subspan(1)) {
        if (const auto figures = measure(transport)) {
            print(transport, *figures, *pty);
        }
    }
    return 0;
}
