// How much an exchange costs beyond what the line itself demands: with the simulator pacing
// bytes at 9600 bit/s, each exchange is timed and divided by its fixed pauses plus the wire
// time of its bytes.
#include "link/device_state.h"
#include "link/exchange.h"
#include "tests/support/simulated_line.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kBaud = 9600;
constexpr int kTimeoutMs = 200;
constexpr std::uint8_t kAddress = 10;

Millis wireTime(int bytes) {
    return Millis(bytes * 10 * 1000.0 / kBaud);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Exchange> std::vector<double> ratios(int runs, Millis ideal, Exchange exchange) {
    std::vector<double> result;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        exchange();
        result.push_back(Millis(Clock::now() - start) / ideal);
    }
    return result;
}

void print(const char* name, const std::vector<double>& values, Millis ideal, double goal) {
    std::printf("%-34s ideal %8.2f ms  median ratio %.3f  max %.3f  (goal <= %.2f)\n", name,
                ideal.count(), median(values), *std::max_element(values.begin(), values.end()),
                goal);
}

} // namespace

int main() {
    zorvan::testing::SimulatedLine line(kBaud);
    auto instrument = line.add(kAddress, {10, 43, 5, 7});
    if (!line.open(kTimeoutMs)) {
        std::fprintf(stderr, "cannot open the simulated line\n");
        return 1;
    }
    std::uint8_t answer[16]{};

    // Answered: 15 + 10 ms around the request, 2 ms before the read; 4 request bytes and 10
    // answer bytes on the wire.
    const Millis answeredIdeal = Millis(27) + wireTime(4 + 10);
    const auto answered =
        ratios(40, answeredIdeal, [&] { zorvan::link::ReadData(0x80 | kAddress, 47, 7, answer); });
    print("ReadData 47, N = 7, answered", answered, answeredIdeal, 1.05);

    // Silent: the same pauses, then ten attempts of 2 ms and a full read time-out each.
    zorvan::sim::Faults silent;
    silent.silent = true;
    instrument.setFaults(silent);
    const Millis silentIdeal = Millis(25 + 10 * (2 + kTimeoutMs)) + wireTime(4);
    const auto unanswered =
        ratios(5, silentIdeal, [&] { zorvan::link::ReadData(0x80 | kAddress, 47, 7, answer); });
    print("ReadData 47, N = 7, silent", unanswered, silentIdeal, 1.02);
    return 0;
}
