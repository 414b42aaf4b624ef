// The soak's judgement of a recording against the answers on the line: what it must catch and
// what a line fault may excuse.
#include "tools/soak/recording_check.h"

#include <gtest/gtest.h>
#include <vector>

namespace zorvan::soak {
namespace {

using namespace std::chrono_literals;
using sim::AnswerDamage;

const LineExcuses kExcuses{50ms, 100ms, {}};

sim::SampleAnswer answer(std::int32_t value, AnswerDamage damage = AnswerDamage::None,
                         std::chrono::milliseconds delay = 0ms) {
    return {{}, value, damage, delay};
}

const std::vector<sim::SampleAnswer> kLine{
    answer(10),
    answer(11, AnswerDamage::Broken),     // must not be recorded
    answer(12, AnswerDamage::Garbage),    // may be recorded
    answer(13, AnswerDamage::None, 90ms), // late: may have been given up
    answer(14),
    answer(15), // under way at "Стоп"
};

TEST(RecordingCheck, WhatTheLineExcusesMayBeMissingAndEverythingElseMustBeThereOnce) {
    EXPECT_TRUE(checkRecording(kLine, std::vector<std::int32_t>{10, 14, 15}, kExcuses).exact());
    EXPECT_TRUE(checkRecording(kLine, std::vector<std::int32_t>{10, 12, 13, 14}, kExcuses).exact());
    EXPECT_EQ(checkRecording(kLine, std::vector<std::int32_t>{10, 14}, kExcuses).required, 3);
}

// The program may have read the clean answer rather than the one behind garbage with the same
// value before it.
TEST(RecordingCheck, AnExcusedAnswerOfTheSameValueDoesNotTakeTheLineOfTheRequiredOne) {
    const std::vector<sim::SampleAnswer> line{answer(20), answer(21, AnswerDamage::Garbage),
                                              answer(21), answer(22), answer(23)};
    EXPECT_TRUE(checkRecording(line, std::vector<std::int32_t>{20, 21, 22}, kExcuses).exact());
    EXPECT_TRUE(checkRecording(line, std::vector<std::int32_t>{20, 21, 21, 22}, kExcuses).exact());
    EXPECT_EQ(checkRecording(line, std::vector<std::int32_t>{20, 22}, kExcuses).missing, 1);
}

// The port went away 30 ms after the second answer and 150 ms after the first.
TEST(RecordingCheck, OnlyAnAnswerGivenJustBeforeThePortWentAwayMayHaveGoneWithIt) {
    const sim::Clock::time_point gone{std::chrono::seconds(10)};
    const std::vector<sim::SampleAnswer> line{{gone - 150ms, 30}, {gone - 30ms, 31}, {gone, 32}};
    const std::vector<sim::Clock::time_point> departures{gone};
    const LineExcuses excuses{50ms, 100ms, departures};
    EXPECT_TRUE(checkRecording(line, std::vector<std::int32_t>{30}, excuses).exact());
    EXPECT_EQ(checkRecording(line, std::vector<std::int32_t>{31}, excuses).missing, 1);
}

TEST(RecordingCheck, ALostReadingABrokenAnswerOrARepeatedLineIsCaught) {
    const RecordingCheck lost = checkRecording(kLine, std::vector<std::int32_t>{14, 15}, kExcuses);
    EXPECT_EQ(lost.missing, 1);
    EXPECT_EQ(lost.firstFault, "reading 1 (10) is not at line 1");
    EXPECT_EQ(checkRecording(kLine, std::vector<std::int32_t>{10, 11, 14}, kExcuses).unsent, 1);
    EXPECT_EQ(checkRecording(kLine, std::vector<std::int32_t>{10, 14, 14}, kExcuses).unsent, 1);
}

} // namespace
} // namespace zorvan::soak
