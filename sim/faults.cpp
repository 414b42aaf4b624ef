#include "sim/faults.h"

namespace zorvan::sim {

std::optional<std::vector<std::uint8_t>> damageAnswer(Faults& faults, std::uint64_t answerNumber,
                                                      std::vector<std::uint8_t> answer) {
    if (faults.dropNext > 0) {
        --faults.dropNext;
        return std::nullopt;
    }
    if (faults.dropEveryNth > 0 &&
        answerNumber % static_cast<std::uint64_t>(faults.dropEveryNth) == 0) {
        return std::nullopt;
    }
    if (faults.corruptChecksum && !answer.empty()) {
        answer.back() = static_cast<std::uint8_t>(~answer.back());
    }
    if (faults.truncateBy > 0) {
        const auto keep = answer.size() > static_cast<std::size_t>(faults.truncateBy)
                              ? answer.size() - static_cast<std::size_t>(faults.truncateBy)
                              : 0;
        answer.resize(keep);
    }
    answer.insert(answer.begin(), faults.leadingGarbage.begin(), faults.leadingGarbage.end());
    return answer;
}

} // namespace zorvan::sim
