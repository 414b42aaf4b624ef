#include "link/answer_check.h"
#include "link/frame.h"

#include <gtest/gtest.h>
#include <vector>

namespace zorvan::link {
namespace {

std::vector<std::uint8_t> dataAnswer(std::vector<std::uint8_t> data) {
    // Sized once up front: growing a two-byte vector trips a false bounds warning of GCC 12.
    std::vector<std::uint8_t> answer(data.size() + 2);
    answer[0] = 0x12;
    answer[1] = 0x34;
    std::copy(data.begin(), data.end(), answer.begin() + 2);
    answer.push_back(FrameChecksum(answer.data(), answer.size()));
    return answer;
}

TEST(AnswerCheck, AcknowledgementMustRepeatTheRequestChecksum) {
    const std::uint8_t good[2] = {0x00, 0x5A};
    const std::uint8_t wrong[2] = {0x5A, 0x5B};
    EXPECT_TRUE(acknowledgementValid(good, 2, 0x5A));
    EXPECT_FALSE(acknowledgementValid(wrong, 2, 0x5A));
    EXPECT_FALSE(acknowledgementValid(good, 1, 0x5A));
}

TEST(AnswerCheck, DataAnswerNeedsEveryByteAndItsChecksum) {
    auto answer = dataAnswer({1, 2, 3});
    EXPECT_TRUE(dataAnswerValid(answer.data(), answer.size(), 3));
    EXPECT_FALSE(dataAnswerValid(answer.data(), answer.size() - 1, 3)) << "short answer";
    answer[3] ^= 0x01;
    EXPECT_FALSE(dataAnswerValid(answer.data(), answer.size(), 3)) << "corrupted byte";
}

TEST(AnswerCheck, DataAnswerHeaderMayHoldAnything) {
    auto answer = dataAnswer({7});
    answer[0] = 0xFF;
    answer[1] = 0x00;
    answer[3] = FrameChecksum(answer.data(), 3);
    EXPECT_TRUE(dataAnswerValid(answer.data(), answer.size(), 1));
}

TEST(AnswerCheck, BlockAcknowledgementLooksAtTheLastByteOnly) {
    const std::uint8_t one[1] = {0x42};
    const std::uint8_t two[2] = {0x42, 0x41};
    EXPECT_TRUE(blockAcknowledgementValid(one, 1, 0x42));
    EXPECT_FALSE(blockAcknowledgementValid(two, 2, 0x42));
    EXPECT_FALSE(blockAcknowledgementValid(one, 0, 0x42));
}

TEST(AnswerCheck, ListenedAnswerFailsOnAnyDifferingRequestByte) {
    const Request request = buildRequest(0x80 | 10, 149, 10);
    const auto answer = dataAnswer({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    for (int differing = -1; differing < 4; ++differing) {
        std::vector<std::uint8_t> line(request.begin(), request.end());
        line.insert(line.end(), answer.begin(), answer.end());
        if (differing >= 0) {
            line[differing] ^= 0x01;
        }
        const bool taken = takeListenedAnswer(line.data(), line.size(), request, 11);
        EXPECT_EQ(taken, differing < 0) << "byte " << differing;
        if (taken) {
            EXPECT_TRUE(std::equal(answer.begin(), answer.end(), line.begin()));
        }
    }
}

} // namespace
} // namespace zorvan::link
