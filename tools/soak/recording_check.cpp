#include "tools/soak/recording_check.h"

namespace zorvan::soak {
namespace {

bool mayBeRecorded(const sim::SampleAnswer& answer) {
    return answer.damage != sim::AnswerDamage::Broken;
}

} // namespace

RecordingCheck checkRecording(std::span<const sim::SampleAnswer> answers,
                              std::span<const std::int32_t> recorded,
                              std::chrono::milliseconds lateFrom) {
    const auto required = [&](std::size_t i) {
        return answers[i].damage == sim::AnswerDamage::None && answers[i].delay < lateFrom;
    };
    RecordingCheck check;
    check.recorded = static_cast<int>(recorded.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        check.required += required(i) ? 1 : 0;
    }
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
