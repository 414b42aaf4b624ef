#include "tools/soak/recording_check.h"

#include <algorithm>
#include <vector>

namespace zorvan::soak {
namespace {

bool mayBeRecorded(const sim::SampleAnswer& answer) {
    return answer.damage != sim::AnswerDamage::Broken;
}

// Whether each line can be one answer that may be recorded, with its value, in order, passing
// over no required answer. An answer that may or may not have been recorded can carry the same
// value as a required one after it, so every place the lines may have reached is kept, not only
// the first.
template <typename Required>
bool linesFitAnswers(std::span<const sim::SampleAnswer> answers,
                     std::span<const std::int32_t> recorded, const Required& required) {
    std::vector<std::size_t> reachable{0}; // the next answer a line may take
    for (const std::int32_t value : recorded) {
        std::vector<std::size_t> after;
        for (const std::size_t from : reachable) {
            for (std::size_t i = from; i < answers.size(); ++i) {
                if (mayBeRecorded(answers[i]) && answers[i].value == value) {
                    after.push_back(i + 1);
                }
                if (required(i)) {
                    break;
                }
            }
        }
        std::sort(after.begin(), after.end());
        after.erase(std::unique(after.begin(), after.end()), after.end());
        if (after.empty()) {
            return false;
        }
        reachable = std::move(after);
    }
    // The last answer may have come while the run stopped.
    return std::any_of(reachable.begin(), reachable.end(), [&](std::size_t from) {
        for (std::size_t i = from; i + 1 < answers.size(); ++i) {
            if (required(i)) {
                return false;
            }
        }
        return true;
    });
}

} // namespace

RecordingCheck checkRecording(std::span<const sim::SampleAnswer> answers,
                              std::span<const std::int32_t> recorded, const LineExcuses& excuses) {
    const auto lostWithThePort = [&](const sim::SampleAnswer& answer) {
        return std::any_of(excuses.portDepartures.begin(), excuses.portDepartures.end(),
                           [&](sim::Clock::time_point gone) {
                               return answer.at <= gone &&
                                      answer.at + answer.delay + excuses.lostWithin > gone;
                           });
    };
    const auto required = [&](std::size_t i) {
        return answers[i].damage == sim::AnswerDamage::None &&
               answers[i].delay < excuses.lateFrom && !lostWithThePort(answers[i]);
    };
    RecordingCheck check;
    check.recorded = static_cast<int>(recorded.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        check.required += required(i) ? 1 : 0;
    }
    if (linesFitAnswers(answers, recorded, required)) {
        return check;
    }
    // Not exact: the first match of each line shows where it went wrong.
    // Each line takes the next answer that carried its value; the required answers it passes
    // over are missing from the file.
    const auto passOver = [&](std::size_t from, std::size_t to, std::size_t line) {
        for (std::size_t i = from; i < to; ++i) {
            if (!required(i)) {
                continue;
            }
            if (!check.firstMissing) {
                check.firstMissing = i;
            }
            if (check.firstFault.empty()) {
                check.firstFault = "reading " + std::to_string(i + 1) + " (" +
                                   std::to_string(answers[i].value) + ") is not at line " +
                                   std::to_string(line + 1);
            }
            ++check.missing;
        }
    };
    std::size_t next = 0;
    for (std::size_t line = 0; line < recorded.size(); ++line) {
        std::size_t found = next;
        while (found < answers.size() &&
               !(mayBeRecorded(answers[found]) && answers[found].value == recorded[line])) {
            ++found;
        }
        if (found == answers.size()) {
            if (check.firstFault.empty()) {
                check.firstFault = "line " + std::to_string(line + 1) + " (" +
                                   std::to_string(recorded[line]) + ") was not sent there";
            }
            ++check.unsent;
            continue;
        }
        passOver(next, found, line);
        next = found + 1;
    }
    // The last answer may have come while the run stopped.
    passOver(next, answers.empty() ? 0 : answers.size() - 1, recorded.size());
    return check;
}

} // namespace zorvan::soak
